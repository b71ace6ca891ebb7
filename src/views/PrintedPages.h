#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "draw/Drawer.h"
#include "model/PatternData.h"
#include "views/SideBySide.h"
#include "views/ViewState.h"

namespace ostrel {

// Print modes: the overlaid page only, one page per pattern, or both.
enum class TPrintMode : std::uint8_t { Overlay, Single, Both };

// Draws the logo image fitted into `box` less 10 units at the top and the bottom, with
// its aspect ratio kept and centred. Nothing for an empty image.
void DrawLogo(TDrawer& drawer, const TRealRect& box, const TGraphic& logo);

// The footer frame every printed page carries: a grey frame across the bottom of the
// sheet, three cells, the left one split in two rows, the logo in the right one. Page
// coordinates are 1/100 inch from the sheet's corner.
class TPageBorder {
public:
    void Draw();

    TDrawer* Drawer = nullptr;       // not owned
    const TGraphic* Logo = nullptr;  // not owned; no logo when null
};

// The page of one pattern: footer frame, a header table of its key figures, and its two
// cuts as polar or Cartesian graphs in blue, with the H cut, floor and scale of View.
class TPatternDataPage {
public:
    void Draw();
    void SetGraphType(TGraphType graphType) { GraphType = graphType; }

    TDrawer* Drawer = nullptr;              // not owned
    const TPatternData* Pattern = nullptr;  // not owned
    const TGraphic* Logo = nullptr;         // not owned
    TGraphType GraphType = TGraphType::Polar;
    TViewState View;

private:
    void DrawHeaderTable();
    void DrawPolarGraphs();
    void DrawCartesianGraphs();
};

// The page with all patterns overlaid: footer frame and the side-by-side view with a
// left-aligned legend below the graphs (linear polar rings whatever the screen shows).
class TOverlayedPatternPage {
public:
    void Draw();
    void SetGraphType(TGraphType graphType) { GraphType = graphType; }

    TPatternDataList Patterns{false};
    TDrawer* Drawer = nullptr;       // not owned
    const TGraphic* Logo = nullptr;  // not owned
    TGraphType GraphType = TGraphType::Polar;
    TViewState View;
};

// Runs one print job over a list of patterns: the document titled after the first
// pattern, then the overlaid page, the single pages or both. The drawer comes from the
// factory for the job and is freed after it; EndDoc is issued even when a page fails, and
// the failure passes on to the caller.
class TPatternDataPagePrinter {
public:
    using TDrawerFactory = std::function<std::unique_ptr<TDeviceDrawer>()>;

    TPatternDataPagePrinter(TDrawerFactory createDrawer, const TGraphic* logo);

    void Print();
    void SetGraphType(TGraphType graphType) { GraphType = graphType; }

    TDeviceDrawer* Drawer = nullptr;  // the job's drawer, only while Print runs
    TPatternDataList Patterns{false};
    TPrintMode PrintMode = TPrintMode::Single;
    TGraphType GraphType = TGraphType::Polar;
    TViewState View;  // handed to every page

private:
    void PrintPages();
    void PrintOverlayedPage();
    void PrintSinglePages();

    TDrawerFactory FCreateDrawer;
    const TGraphic* FLogo;
};

}  // namespace ostrel

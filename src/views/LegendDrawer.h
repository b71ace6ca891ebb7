#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "draw/Drawer.h"
#include "graphs/GraphClasses.h"
#include "model/PatternData.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// How a legend hangs from its anchor's x.
enum TLegendAlign : std::uint8_t { laLeft = 0, laRight = 1, laCenter = 2 };

// Draws `text` from (x, y) downward in the current font, broken between characters into
// lines no wider than `width` (always at least one character per line, so a character wider
// than the limit still gets its own line). Returns the y below the last line.
double DrawWrappedText(TDrawer& drawer, const std::string& text, double x, double y, double width);

// The legend block of the pattern views: one entry per pattern, a colour swatch in the
// pattern's series colour, the pattern's ID in blue and its name in green, wrapped to the
// width limit. Created for one drawing and freed.
class TBasicLegendDrawer {
public:
    TBasicLegendDrawer() = default;
    TBasicLegendDrawer(const TBasicLegendDrawer&) = delete;
    TBasicLegendDrawer& operator=(const TBasicLegendDrawer&) = delete;

    // Draws on Drawer; does nothing when no drawer is set.
    void Draw();

    TDrawer* Drawer = nullptr;  // not owned
    TColorArray Colors;         // carried for callers; swatches take SeriesColor(i)
    double TextSize = 14;       // world units
    double MaxWidth = 300;      // upper bound of the text width
    TPatternDataList Patterns{false};
    TRealPoint Origin;
    std::uint8_t Align = laLeft;  // TLegendAlign; other values hang from the left
    // The lowest y the legend may use: entries that would run below it are left out, and
    // the last line says "… and 940 more" instead. No limit by default.
    double MaxBottom = std::numeric_limits<double>::infinity();
    bool ShowExtensions = false;  // names with their file extension
};

}  // namespace ostrel

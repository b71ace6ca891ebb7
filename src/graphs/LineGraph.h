#pragma once

#include <cstdint>

#include "draw/Drawer.h"
#include "graphs/GraphClasses.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// Which point of the plot rectangle a rectangular graph's Position names.
enum TGraphAnchor : std::uint8_t {
    gaTopLeft = 0,
    gaTopRight = 1,
    gaBottomRight = 2,
    gaBottomLeft = 3,
    gaCenter = 4,
    gaTopCenter = 5
};

// What every rectangular graph needs: where its plot rectangle sits (Position, Anchor,
// Width, Height), the ranges of its axes, the grid pen and the label font. Subclasses
// decide how the plot is laid out and drawn.
class TBaseLineGraph : public TGraph {
public:
    explicit TBaseLineGraph(bool ownsSeries = true);

    void SetHeight(double height) { Height = height; }
    void SetWidth(double width) { Width = width; }
    void SetXMin(double xMin) { XMin = xMin; }
    void SetXMax(double xMax) { XMax = xMax; }
    void SetYMin(double yMin) { YMin = yMin; }
    void SetYMax(double yMax) { YMax = yMax; }
    void SetPosition(const TRealPoint& position) { Position = position; }
    void SetPosition(double x, double y) { Position = {x, y}; }
    // Anchors 0..5 (TGraphAnchor); anything else throws EOstrelError.
    void SetAnchor(std::uint8_t anchor);

    // Top-left corner of the plot rectangle from Position, Anchor, Width and Height. An
    // anchor outside 0..5 (only possible by writing the field directly) counts as top-left.
    TRealPoint TopLeft() const;

    // Grid step for an axis spanning `range`, and the factor that turns a multiple of the
    // step into a whole number (labels are rounded through it).
    static double TickStep(double range, int& divisor);
    static double TickStep(double range) {
        int divisor = 1;
        return TickStep(range, divisor);
    }

    using TGraph::Draw;
    // Draws on Drawer; does nothing when no drawer is set.
    void Draw();

    double Height = 0;          // plot height in world units (anchor mode)
    double Width = 0;           // plot width in world units (anchor mode)
    TDrawer* Drawer = nullptr;  // not owned
    TRealPoint Position;
    double YMax = 0;  // dB
    double XMin = 0;  // degrees
    double YMin = 0;  // dB
    double XMax = 0;  // degrees
    std::uint8_t Anchor = gaTopLeft;
    double LabelGap = 5.0;  // world units between the plot frame and the axis labels
    TGraphLine GridLine;    // width of grid and frame; Draw sets the colour to silver
    // Label font; its Size is only the spacing of the two X label rows, the drawn size
    // follows the plot height.
    TGraphFont Font;
};

// A Cartesian graph of pattern cuts: angle along X, level in dB along Y (linear, or
// logarithmic when the view asks for it), a silver grid, two staggered rows of X labels,
// dB labels on the left, the curves clipped to the plot and a gray frame drawn over them.
class TDatasetRectGraph : public TBaseLineGraph {
public:
    explicit TDatasetRectGraph(bool ownsSeries = true);

    using TBaseLineGraph::Draw;
    // Draws with the level axis LogScale chooses.
    void Draw(TDrawer& drawer) override;
    // Draws with an explicit scale choice instead of LogScale.
    void DrawScaled(TDrawer& drawer, bool logScale);

    // The plot rectangle Draw uses with the current configuration.
    TRealRect PlotRect() const;

    double AspectRatio = 0;  // plot width / height in fit mode; must be positive there
    bool FitToRect = false;  // true: centre the plot in FitRect; false: Position/Anchor
    TRealRect FitRect;
    bool LogScale = false;  // logarithmic (amplitude) level axis instead of linear dB
};

}  // namespace ostrel

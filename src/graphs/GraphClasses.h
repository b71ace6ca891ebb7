#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "draw/Drawer.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// One curve: a point list (X = angle in degrees, Y = value in dB) with its pen. The polar
// graph subtracts Rotation from every angle and adds ValueOffset to every value.
class TSeries {
public:
    explicit TSeries(bool ownsPoints = true);
    TSeries(const TSeries&) = delete;
    TSeries& operator=(const TSeries&) = delete;

    double Width = 1.0;
    TColor Color = 0xFF0000;  // blue
    bool Visible = true;
    TPenStyle PenStyle = psSolid;
    bool OwnsPoints;
    double Rotation = 0;
    double ValueOffset = 0;
    // The series' own list when OwnsPoints; otherwise set by the caller to a list it keeps
    // alive for as long as the series is drawn.
    TRealPointList* Points = nullptr;

private:
    std::unique_ptr<TRealPointList> FOwnedPoints;
};

// The series of a graph, in drawing order.
class TSeriesList : public TBaseObjectList<TSeries> {
public:
    explicit TSeriesList(bool ownsItems = true) : TBaseObjectList(ownsItems) {}
};

// Puts a series' points in world units, as its graph would draw them. Safe to call on
// several threads at once.
using TSeriesPlacer = std::function<void(const TSeries& series, TRealPointArray& points)>;

// Draws all the series of a graph at once, in place of one curve each (the density view of
// many patterns). `area` is the world rectangle the graph keeps its curves to.
class TSeriesPainter {
public:
    virtual ~TSeriesPainter() = default;
    virtual void Paint(TDrawer& drawer, const TSeriesList& series, const TRealRect& area,
                       const TSeriesPlacer& place) = 0;
};

// Angle and ring labels.
using TLabels = std::vector<std::string>;

struct TGraphLine {
    double Width = 1.0;  // world units
    TColor Color = 0;    // black
};

struct TGraphFont {
    double Size = 8.0;  // character cell height in world units
    std::string Name = "Arial";
    TColor Color = 0;
    TFontStyles Style = 0;
};

struct TPolarGraphFont : TGraphFont {
    double RelativeSize = 0;  // font size as a fraction of the polar graph's radius
};

// The base of the graphs: a zoom factor and the series to plot. A graph is short-lived:
// filled, drawn once (or twice) on a drawer it never owns, and freed.
class TGraph {
public:
    explicit TGraph(bool ownsSeries = true);
    TGraph(const TGraph&) = delete;
    TGraph& operator=(const TGraph&) = delete;
    virtual ~TGraph() = default;

    virtual void Draw(TDrawer& drawer) = 0;

    double Scale = 1.0;
    bool OwnsSeries;
    // Present when OwnsSeries.
    std::unique_ptr<TSeriesList> Series;
    // Not owned; when set, it draws the series instead of the graph.
    TSeriesPainter* SeriesPainter = nullptr;
};

using TColorArray = std::vector<TColor>;

// The colour of the n-th pattern: a fixed table of 18 colours, n mod 18.
TColor SeriesColor(int index);
// Colours 0..count-1 from the table.
TColorArray SeriesColorArray(int count);

}  // namespace ostrel

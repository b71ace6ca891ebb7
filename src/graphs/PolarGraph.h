#pragma once

#include <cstdint>
#include <vector>

#include "draw/Drawer.h"
#include "graphs/GraphClasses.h"
#include "model/PrimitiveObjects.h"
#include "model/ViewModes.h"

namespace ostrel {

class TDirectionTable;

// Cosine and sine of a screen angle.
struct TDirection {
    double Cosine = 0;
    double Sine = 0;
};

// Where pattern angle 0 lies on a polar graph.
enum TZeroPosition : std::uint8_t { zpTop = 0, zpBottom = 1, zpRight = 2, zpLeft = 3 };

// A polar diagram of one or more pattern cuts: dB rings with their labels on the vertical
// axis, 10 degree spokes with angle labels around the outside, and one curve per series
// whose distance from the centre is the level. Pattern angles grow clockwise from the zero
// position. The graph knows nothing of patterns or settings: everything it uses is set on it.
class TPolarGraph : public TGraph {
public:
    explicit TPolarGraph(bool ownsSeries = true);

    void SetMinValue(double value) { MinValue = value; }
    void SetMaxValue(double value) { MaxValue = value; }
    void SetLabelRadius(double value) { LabelRadius = value; }
    void SetRadius(double value) { Radius = value; }
    void SetCenter(const TRealPoint& value) { Center = value; }
    void SetCenter(double x, double y) { Center = {x, y}; }
    void SetRelativeFont(bool value) { RelativeFont = value; }
    void SetLogScale(bool value) { LogScale = value; }
    void SetZeroPosition(std::uint8_t value) { ZeroPosition = value; }

    using TGraph::Draw;
    // Draws on Drawer; does nothing when no drawer is set.
    void Draw();
    // Rebuilds both label lists and draws grid, labels, series and markers. Throws
    // EInvalidOp when MinValue is not below MaxValue, or (logarithmic) not below 0 dB,
    // since the radial scale would divide by zero.
    void Draw(TDrawer& drawer) override;

    // The label font size Draw uses.
    double LabelFontSize() const;
    // Distance from the centre (world units, before Scale) of a level in dB, after the floor
    // clamp: linear dB rounded to a whole unit, or the logarithmic amplitude scale.
    double LevelRadius(double levelDb) const;
    // The screen angle (degrees counter-clockwise from +X) of a pattern angle.
    double ScreenAngle(double patternAngleDeg) const;
    // The world point at `distance` (before Scale) from the centre in the direction of a
    // screen angle, rounded to whole units. The only place that knows Y points down.
    TRealPoint PolarPoint(double distance, double screenAngleDeg) const;
    // Where a curve point (pattern angle, level) lands, turned by `rotationDeg`.
    TRealPoint LevelPoint(double patternAngleDeg, double levelDb, double rotationDeg = 0) const {
        return PolarPoint(LevelRadius(levelDb), ScreenAngle(patternAngleDeg) - rotationDeg);
    }

    double MinValue = 0;     // dB at the centre
    double MaxValue = 0;     // dB at the outer ring (linear scale)
    TLabels AngleLabels;     // rebuilt by Draw
    TLabels RingLabels;      // rebuilt by Draw
    double LabelRadius = 0;  // where angle labels are centred, before Scale
    std::uint8_t ZeroPosition = zpTop;
    TDrawer* Drawer = nullptr;  // not owned
    TRealPoint Center;
    double Radius = 0;  // outer ring, before Scale
    TPolarGraphFont Font;
    bool RelativeFont = true;  // label size = Radius * Font.RelativeSize * Scale
    TGraphLine GridLine{1.0, 0xC0C0C0};
    TGraphLine OuterLine{1.0, 0xC0C0C0};  // only its width is used, for the outer ring
    // (angle, level) points drawn as small red circles after the series.
    TRealPointList Markers;
    // Short radial strokes across the curves, drawn after the series, each 6 % of Radius long.
    struct TTick {
        double AngleDeg = 0;
        double LevelDb = 0;
        double RotationDeg = 0;  // as the series' Rotation
        TColor Color = 0;
    };
    std::vector<TTick> Ticks;
    bool LogScale = false;

private:
    void CheckScale() const;
    void DrawAngleGrid(TDrawer& drawer);
    void DrawRings(TDrawer& drawer);
    void DrawSeries(TDrawer& drawer, const TSeries& series, TDirectionTable& directions) const;
    void PlaceSeries(const TSeries& series, TDirectionTable& directions,
                     TRealPointArray& points) const;
    // PlaceSeries on a linear scale for a curve with as many points as the table remembers
    // angles; false when an angle is not the remembered one or some value would need
    // RoundToDevice's limits (the points are then unfinished).
    bool PlaceOnSharedAngles(const std::vector<TRealPoint>& source, double offset,
                             const TDirectionTable& directions, TRealPoint* out) const;
    void DrawMarkers(TDrawer& drawer) const;
    void DrawTicks(TDrawer& drawer) const;
    double ClampToFloor(double levelDb) const;
    TRealPoint PointInDirection(double distance, const TDirection& direction) const;
    double LinearRadius(double levelDb) const;
    double LogRadius(double levelDb) const;
};

// Screen angle of pattern angle 0 for a zero position: top 90, bottom 270, right 0, left 180;
// any other position 0.
int ZeroAngle(std::uint8_t zeroPosition);
double PolarX(double radius, double angleDeg);
double PolarY(double radius, double angleDeg);

// The lowest level of the radial scale for a scale mode: "25 dB" -25, "40 dB" -40,
// logarithmic -20.
double ScaleFloor(TScaleMode mode);

}  // namespace ostrel

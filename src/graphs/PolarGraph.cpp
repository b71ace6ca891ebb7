#include "graphs/PolarGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "draw/FourLanes.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

constexpr double kMarkerRadius = 5;
// A scale with more rings than this is a configuration fault, not a diagram.
constexpr double kMaxRingCount = 10000;

double Amplitude(double levelDb) {
    return std::pow(10.0, levelDb / 20);
}

// The distance from the centre of a level already clamped to the floor, on a linear scale.
inline double LinearDistance(double levelDb, double minValue, double maxValue, double radius) {
    return RoundToDevice((1 - (maxValue - levelDb) / (maxValue - minValue)) * radius);
}

}  // namespace

// Cosine and sine of whole screen angles, each worked out once per drawing: the cuts of all
// patterns share their angles, so fifty curves would otherwise evaluate the same few
// hundred values fifty times.
class TDirectionTable {
public:
    TDirection At(double screenAngleDeg) {
        const double whole = RoundHalfEven(screenAngleDeg);
        if (whole != screenAngleDeg || std::fabs(whole) > kLimitDeg) return Compute(screenAngleDeg);
        TDirection& slot = FWhole[static_cast<size_t>(whole + kLimitDeg)];
        // No whole angle has a NaN cosine: NaN marks a slot not worked out yet.
        if (std::isnan(slot.Cosine)) slot = Compute(screenAngleDeg);
        return slot;
    }

    // Works out every whole angle now; At then only reads, also on several threads.
    void FillWhole() {
        for (size_t i = 0; i < FWhole.size(); ++i) {
            FWhole[i] = Compute(static_cast<double>(i) - kLimitDeg);
        }
    }

    // Keeps the directions of one curve's angles, turned by `rotationDeg`: the cuts of
    // thousands of patterns share their angles, and a curve with these angles takes its
    // directions from here by index, without rounding or looking up an angle.
    void RememberAngles(const std::vector<TRealPoint>& points, double zeroDeg, double rotationDeg) {
        FAngles.clear();
        FCosines.clear();
        FSines.clear();
        FRotation = rotationDeg;
        for (const TRealPoint& point : points) {
            const TDirection direction = At(zeroDeg - point.X - rotationDeg);
            FAngles.push_back(point.X);
            FCosines.push_back(direction.Cosine);
            FSines.push_back(direction.Sine);
        }
    }
    // True when a curve of `count` points turned by `rotationDeg` may have the remembered
    // angles; whether each one is the same, Angles tells.
    bool MayHaveAngles(size_t count, double rotationDeg) const {
        return count == FAngles.size() && rotationDeg == FRotation;
    }
    const double* Angles() const { return FAngles.data(); }
    const double* Cosines() const { return FCosines.data(); }
    const double* Sines() const { return FSines.data(); }

    // As PolarX and PolarY compute them.
    static TDirection Compute(double angleDeg) {
        return {std::cos(angleDeg * std::numbers::pi / 180),
                std::sin(angleDeg * std::numbers::pi / 180)};
    }

private:
    static constexpr double kLimitDeg = 1080;

    std::vector<TDirection> FWhole = std::vector<TDirection>(
        2 * static_cast<size_t>(kLimitDeg) + 1, TDirection{std::nan(""), std::nan("")});
    std::vector<double> FAngles;
    std::vector<double> FCosines;
    std::vector<double> FSines;
    double FRotation = 0;
};

int ZeroAngle(std::uint8_t zeroPosition) {
    switch (zeroPosition) {
        case zpTop:
            return 90;
        case zpBottom:
            return 270;
        case zpRight:
            return 0;
        case zpLeft:
            return 180;
        default:
            return 0;
    }
}

double PolarX(double radius, double angleDeg) {
    return radius * std::cos(angleDeg * std::numbers::pi / 180);
}

double PolarY(double radius, double angleDeg) {
    return radius * std::sin(angleDeg * std::numbers::pi / 180);
}

double ScaleFloor(TScaleMode mode) {
    switch (mode) {
        case TScaleMode::Range25Db:
            return -25;
        case TScaleMode::Range40Db:
            return -40;
        case TScaleMode::Logarithmic:
            break;
    }
    return -20;
}

TPolarGraph::TPolarGraph(bool ownsSeries) : TGraph(ownsSeries) {}

void TPolarGraph::Draw() {
    if (Drawer) Draw(*Drawer);
}

double TPolarGraph::LabelFontSize() const {
    return RelativeFont ? Radius * Font.RelativeSize * Scale : Font.Size;
}

double TPolarGraph::ScreenAngle(double patternAngleDeg) const {
    return ZeroAngle(ZeroPosition) - patternAngleDeg;
}

TRealPoint TPolarGraph::PolarPoint(double distance, double screenAngleDeg) const {
    return PointInDirection(distance, TDirectionTable::Compute(screenAngleDeg));
}

TRealPoint TPolarGraph::PointInDirection(double distance, const TDirection& direction) const {
    // Screen angles count counter-clockwise while world Y grows downward.
    return {Center.X + RoundToDevice(distance * direction.Cosine * Scale),
            Center.Y - RoundToDevice(distance * direction.Sine * Scale)};
}

double TPolarGraph::ClampToFloor(double levelDb) const {
    return levelDb < MinValue ? MinValue : levelDb;
}

double TPolarGraph::LinearRadius(double levelDb) const {
    return LinearDistance(levelDb, MinValue, MaxValue, Radius);
}

double TPolarGraph::LogRadius(double levelDb) const {
    const double floorAmplitude = Amplitude(MinValue);
    return (Amplitude(levelDb) - floorAmplitude) / (1 - floorAmplitude) * Radius;
}

double TPolarGraph::LevelRadius(double levelDb) const {
    const double level = ClampToFloor(levelDb);
    return LogScale ? LogRadius(level) : LinearRadius(level);
}

void TPolarGraph::CheckScale() const {
    if (!std::isfinite(MinValue) || !std::isfinite(MaxValue) || !(MinValue < MaxValue)) {
        throw EInvalidOp("Polar graph: the lowest level " + FormatGeneral(MinValue) +
                         " dB must lie below the highest level " + FormatGeneral(MaxValue) + " dB");
    }
    if (LogScale && !(MinValue < 0)) {
        throw EInvalidOp("Polar graph: the logarithmic scale needs a floor below 0 dB");
    }
    if ((MaxValue - MinValue) / 5 > kMaxRingCount) {
        throw EInvalidOp("Polar graph: too many rings between " + FormatGeneral(MinValue) +
                         " and " + FormatGeneral(MaxValue) + " dB");
    }
}

void TPolarGraph::Draw(TDrawer& drawer) {
    CheckScale();

    AngleLabels.clear();
    for (int angle = 0; angle <= 180; angle += 10) AngleLabels.push_back(std::to_string(angle));
    for (int angle = -170; angle <= -10; angle += 10) {
        AngleLabels.push_back(std::to_string(angle));
    }

    drawer.SetPen(clWhite, psSolid, 1.0);
    drawer.SetBrush(clWhite, bsClear);
    drawer.Circle(Center.X, Center.Y, Radius * Scale);

    DrawAngleGrid(drawer);
    DrawRings(drawer);

    if (Series && SeriesPainter) {
        // Every direction worked out before the threads start, so that they only read it.
        TDirectionTable directions;
        directions.FillWhole();
        for (int i = 0; i < Series->Count(); ++i) {
            const TSeries& series = Series->Items(i);
            if (series.Visible && series.Points) {
                directions.RememberAngles(series.Points->Points(), ZeroAngle(ZeroPosition),
                                          series.Rotation);
                break;
            }
        }
        const double reach = Radius * Scale + 1;
        SeriesPainter->Paint(
            drawer, *Series,
            {Center.X - reach, Center.Y - reach, Center.X + reach, Center.Y + reach},
            [this, &directions](const TSeries& series, TRealPointArray& points) {
                PlaceSeries(series, directions, points);
            });
    } else if (Series) {
        TDirectionTable directions;
        for (int i = 0; i < Series->Count(); ++i) {
            const TSeries& series = Series->Items(i);
            if (series.Visible) DrawSeries(drawer, series, directions);
        }
    }
    DrawTicks(drawer);
    DrawMarkers(drawer);
}

void TPolarGraph::DrawAngleGrid(TDrawer& drawer) {
    drawer.SetFont(Font.Name, Font.Color, Font.Style, LabelFontSize());
    drawer.SetBrush(clWhite, bsClear);
    drawer.SetPen(GridLine.Color, psSolid, GridLine.Width);
    const int count = static_cast<int>(AngleLabels.size());
    for (int i = 0; i < count; ++i) {
        const double theta = ScreenAngle(static_cast<double>(i) / count * 360);
        const TRealPoint rim = PolarPoint(Radius, theta);
        drawer.Line(Center.X, Center.Y, rim.X, rim.Y);
        const TRealPoint labelPoint = PolarPoint(LabelRadius, theta);
        drawer.AlignedTextOut(AngleLabels[static_cast<size_t>(i)], taCenter, labelPoint.X,
                              labelPoint.Y, taCenter);
    }
}

void TPolarGraph::DrawRings(TDrawer& drawer) {
    std::vector<double> ringLevels;
    if (LogScale) {
        ringLevels = {-20, -10, -3, 0};
    } else {
        const double lowest = std::floor(MinValue / 5) * 5;
        const double highest = std::ceil(MaxValue / 5) * 5;
        const int steps = static_cast<int>(std::nearbyint((highest - lowest) / 5));
        for (int k = 0; k <= steps; ++k) ringLevels.push_back(lowest + 5.0 * k);
    }
    RingLabels.clear();
    for (double level : ringLevels) RingLabels.push_back(FormatGeneral(level));

    drawer.SetBrush(clWhite, bsClear);
    drawer.SetPen(GridLine.Color, psSolid, GridLine.Width);
    const int count = static_cast<int>(RingLabels.size());
    for (int i = 0; i < count; ++i) {
        const std::string& label = RingLabels[static_cast<size_t>(i)];
        // Linear rings are spaced evenly by index; CheckScale guarantees at least two.
        const double distance = LogScale ? LogRadius(ringLevels[static_cast<size_t>(i)])
                                         : static_cast<double>(i) / (count - 1) * Radius;
        const double labelY = Center.Y - distance * Scale;
        if (i == count - 1) drawer.SetPen(clGray, psSolid, OuterLine.Width);
        if (i > 0) drawer.Circle(Center.X, Center.Y, distance * Scale);
        drawer.AlignedTextOut(label + " dB", taCenter, Center.X, labelY, taNear);
    }
}

void TPolarGraph::DrawSeries(TDrawer& drawer, const TSeries& series,
                             TDirectionTable& directions) const {
    TRealPointArray points;
    PlaceSeries(series, directions, points);
    drawer.SetPen(series.Color, series.PenStyle, series.Width);
    drawer.Polyline(points);
}

OSTREL_VECTOR_CLONES bool TPolarGraph::PlaceOnSharedAngles(const std::vector<TRealPoint>& source,
                                                           double offset,
                                                           const TDirectionTable& directions,
                                                           TRealPoint* out) const {
    // PlaceSeries' general loop for a linear scale and the remembered directions, four
    // points at a time without a branch. The rounding shift rounds as RoundToDevice does while
    // a value stays well inside the device range and is no NaN; whether every value did, and
    // whether every angle is a remembered one (the same angle gives the same direction, bit for
    // bit), is checked on the side, and the caller places the curve the general way when one is
    // not. The angles are compared in the same pass: a curve's points come from far away in
    // memory, and the placing hides their arrival where a pass of its own would wait on it. Each
    // lane does the scalar operations in the scalar order, so the points are the same to the
    // last bit.
    using TLanes = TFourDoubles;
    constexpr double kRounder = kRoundingShift;
    constexpr double kSafe = 1 << 29;
    const double minValue = MinValue;
    const double maxValue = MaxValue;
    const double span = MaxValue - MinValue;
    const double radius = Radius;
    const double scale = Scale;
    const TRealPoint center = Center;
    const double* const cosines = directions.Cosines();
    const double* const sines = directions.Sines();
    const double* const angles = directions.Angles();
    const TRealPoint* const in = source.data();
    const size_t count = source.size();
    TFourMasks usable = {-1, -1, -1, -1};
    for (size_t k = 0; k < count; k += 4) {
        // Past the end, lanes repeat the last point.
        const size_t k1 = std::min(k + 1, count - 1);
        const size_t k2 = std::min(k + 2, count - 1);
        const size_t k3 = std::min(k + 3, count - 1);
        const TLanes level = TLanes{in[k].Y, in[k1].Y, in[k2].Y, in[k3].Y} + offset;
        const TLanes clamped = level < minValue ? minValue : level;
        const TLanes unrounded = (1 - (maxValue - clamped) / span) * radius;
        const TLanes distance = (unrounded + kRounder) - kRounder;
        const TLanes x =
            distance * TLanes{cosines[k], cosines[k1], cosines[k2], cosines[k3]} * scale;
        const TLanes y = distance * TLanes{sines[k], sines[k1], sines[k2], sines[k3]} * scale;
        // NaN fails every comparison.
        usable &= (TLanes{in[k].X, in[k1].X, in[k2].X, in[k3].X} ==
                   TLanes{angles[k], angles[k1], angles[k2], angles[k3]}) &
                  (unrounded < kSafe) & (unrounded > -kSafe) & (x < kSafe) & (x > -kSafe) &
                  (y < kSafe) & (y > -kSafe);
        const TLanes placedX = center.X + ((x + kRounder) - kRounder);
        const TLanes placedY = center.Y - ((y + kRounder) - kRounder);
        out[k] = {placedX[0], placedY[0]};
        out[k1] = {placedX[1], placedY[1]};
        out[k2] = {placedX[2], placedY[2]};
        out[k3] = {placedX[3], placedY[3]};
    }
    return usable[0] && usable[1] && usable[2] && usable[3];
}

void TPolarGraph::PlaceSeries(const TSeries& series, TDirectionTable& directions,
                              TRealPointArray& points) const {
    if (!series.Points) return;
    // LevelPoint for every point, with the direction taken from the table, written out here
    // so that the loop needs no calls: tens of thousands of curves pass through it.
    const std::vector<TRealPoint>& source = series.Points->Points();
    const size_t first = points.size();
    points.resize(first + source.size());
    TRealPoint* out = points.data() + first;
    const double zero = ZeroAngle(ZeroPosition);
    const double scale = Scale;
    const TRealPoint center = Center;
    const double offset = series.ValueOffset;
    const double rotation = series.Rotation;
    if (!LogScale && directions.MayHaveAngles(source.size(), rotation) &&
        PlaceOnSharedAngles(source, offset, directions, out)) {
        return;
    }
    for (const TRealPoint& point : source) {
        const double distance = LevelRadius(point.Y + offset);
        const TDirection direction = directions.At(zero - point.X - rotation);
        *out++ = {center.X + RoundToDevice(distance * direction.Cosine * scale),
                  center.Y - RoundToDevice(distance * direction.Sine * scale)};
    }
}

void TPolarGraph::DrawTicks(TDrawer& drawer) const {
    const double halfLength = 0.03 * Radius;
    for (const TTick& tick : Ticks) {
        const double distance = LevelRadius(tick.LevelDb);
        const double theta = ScreenAngle(tick.AngleDeg) - tick.RotationDeg;
        const TRealPoint inner = PolarPoint(std::max(0.0, distance - halfLength), theta);
        const TRealPoint outer = PolarPoint(distance + halfLength, theta);
        drawer.SetPen(tick.Color, psSolid, 1.0);
        drawer.Line(inner.X, inner.Y, outer.X, outer.Y);
    }
}

void TPolarGraph::DrawMarkers(TDrawer& drawer) const {
    if (Markers.Count() == 0) return;
    drawer.SetPen(clRed, psSolid, 1.0);
    for (const TRealPoint& marker : Markers.Points()) {
        const TRealPoint at =
            PolarPoint(LinearRadius(ClampToFloor(marker.Y)), ScreenAngle(marker.X));
        drawer.Circle(at.X, at.Y, kMarkerRadius);
    }
}

}  // namespace ostrel

#include "views/CoverageView.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
#include <functional>
#include <limits>
#include <numbers>

#include "graphs/DensityImage.h"
#include "model/NumberText.h"
#include "views/PrintedPages.h"

namespace ostrel {

namespace {

constexpr const char* kFont = "Arial";
constexpr double kRadPerDeg = std::numbers::pi / 180;
// The colour scale runs over this part of cubehelix: light for the weakest level shown, dark
// for the strongest, so that the footprint stands out from the page and reads in grey too.
constexpr double kWeakFraction = 0.93;
constexpr double kStrongFraction = 0.12;
constexpr int kBarSteps = 64;
constexpr TColor kProfileColor = RgbColor(0, 40, 140);

// Rounds down or up to whole tens.
double FloorTen(double value) {
    return std::floor(value / 10) * 10;
}
double CeilTen(double value) {
    return std::ceil(value / 10) * 10;
}

// The plan position of grid column `index` (or row, counted upward), centred on the mast.
double GridOffsetM(const TCoverage& coverage, int index) {
    return (index - (coverage.GridSide - 1) / 2.0) * coverage.StepM;
}

double LevelAt(const TCoverage& coverage, int row, int column) {
    const double level =
        coverage.GridLevelDbm[static_cast<size_t>(row) * static_cast<size_t>(coverage.GridSide) +
                              static_cast<size_t>(column)];
    return std::isfinite(level) ? level : -std::numeric_limits<double>::infinity();
}

bool HasGrid(const TCoverage& coverage) {
    return coverage.GridSide > 1 && coverage.StepM > 0 &&
           coverage.GridLevelDbm.size() ==
               static_cast<size_t>(coverage.GridSide) * static_cast<size_t>(coverage.GridSide);
}

// Where a plan point lands in a map square whose centre is the mast.
struct TPlanPlacer {
    double CenterX = 0;
    double CenterY = 0;
    double UnitsPerMetre = 1;
    TRealPoint Place(double xM, double yM) const {
        return {CenterX + xM * UnitsPerMetre, CenterY - yM * UnitsPerMetre};
    }
    TRealPoint AtBearing(double bearingDeg, double distanceM) const {
        return Place(distanceM * std::sin(bearingDeg * kRadPerDeg),
                     distanceM * std::cos(bearingDeg * kRadPerDeg));
    }
};

// The half-width of the map's square in metres: the grid's cells, each a step wide.
double MapHalfWidthM(const TCoverage& coverage) {
    return coverage.GridSide * coverage.StepM / 2;
}

double ProfileReachM(const TCoverage& coverage) {
    if (!coverage.ProfileDistanceM.empty()) return coverage.ProfileDistanceM.back();
    return (coverage.GridSide - 1) / 2.0 * coverage.StepM;
}

std::string LevelText(double levelDbm) {
    return FormatGeneral(std::round(levelDbm));
}

// An arrow from `from` to `to` with an open head.
void Arrow(TDrawer& drawer, TRealPoint from, TRealPoint to, double headLength) {
    drawer.Line(from.X, from.Y, to.X, to.Y);
    const double angle = std::atan2(to.Y - from.Y, to.X - from.X);
    for (const double side : {-1.0, 1.0}) {
        const double a = angle + std::numbers::pi + side * 0.45;
        drawer.Line(to.X, to.Y, to.X + headLength * std::cos(a), to.Y + headLength * std::sin(a));
    }
}

// The map's colour of a level on a scale from `low` to `high` dBm.
TColor ScaleColor(double levelDbm, double low, double high) {
    const double share = std::clamp((levelDbm - low) / (high - low), 0.0, 1.0);
    return CubehelixColor(kWeakFraction + share * (kStrongFraction - kWeakFraction));
}

struct TKeyMark {
    const TGroundDistance* Distance;
    const char* Label;
    TPenStyle Style;
};

// One entry of the key distances' legend under the profile: a sample of its line's style
// (none when the distance has no line on the graph) and its text, at its place.
struct TKeyEntry {
    std::string Text;
    TPenStyle Style = psSolid;
    bool OnGraph = false;
    double Metres = 0;
    double Left = 0;
    double Top = 0;
};

}  // namespace

TColor ThresholdColor(int index) {
    static constexpr TColor kColors[3] = {RgbColor(200, 0, 0), RgbColor(235, 140, 0),
                                          RgbColor(0, 110, 220)};
    return kColors[std::clamp(index, 0, 2)];
}

std::string KeyDistanceText(const TGroundDistance& distance) {
    const std::string text = GroundDistanceText(distance);
    return distance.Kind == TGroundDistance::TKind::Metres ? text + " m" : text;
}

std::string CoverageDistanceText(double metres) {
    if (std::fabs(metres) < 1000) return FormatGeneral(std::round(metres)) + " m";
    return FormatGeneral(std::round(metres / 100) / 10) + " km";
}

double RingStepM(double radiusM) {
    double step = 1;
    if (!(radiusM > 3)) return step;
    // 1, 2, 5, 10, 20, ...: the last that still fits three times.
    for (double decade = 1;; decade *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (decade * factor * 3 > radiusM) return step;
            step = decade * factor;
        }
    }
}

std::vector<TRealPointArray> ContourLines(const TCoverage& coverage, double levelDbm) {
    std::vector<TRealPointArray> lines;
    if (!HasGrid(coverage)) return lines;
    const int side = coverage.GridSide;
    // Edges are numbered 2 * (row * side + column), plus 1 for the one going down from a
    // point; the other goes right.
    const auto edgeId = [side](int row, int column, bool down) {
        return 2 * (row * side + column) + (down ? 1 : 0);
    };
    const auto crossing = [&](int edge) {
        const int point = edge / 2;
        const int row = point / side;
        const int column = point % side;
        const bool down = edge % 2 == 1;
        const int row2 = down ? row + 1 : row;
        const int column2 = down ? column : column + 1;
        const double v1 = LevelAt(coverage, row, column);
        const double v2 = LevelAt(coverage, row2, column2);
        double t = 0.5;
        if (std::isfinite(v1) && std::isfinite(v2) && v1 != v2) t = (levelDbm - v1) / (v2 - v1);
        t = std::clamp(t, 0.0, 1.0);
        const double x = GridOffsetM(coverage, column) + t * (column2 - column) * coverage.StepM;
        // Rows run from +radius down.
        const double y = -GridOffsetM(coverage, row) - t * (row2 - row) * coverage.StepM;
        return TRealPoint{x, y};
    };

    struct TSegment {
        int From, To;
    };
    std::vector<TSegment> segments;
    for (int row = 0; row + 1 < side; ++row) {
        for (int column = 0; column + 1 < side; ++column) {
            const bool a = LevelAt(coverage, row, column) >= levelDbm;
            const bool b = LevelAt(coverage, row, column + 1) >= levelDbm;
            const bool c = LevelAt(coverage, row + 1, column + 1) >= levelDbm;
            const bool d = LevelAt(coverage, row + 1, column) >= levelDbm;
            // Edges around the cell: top, right, bottom, left.
            const int top = edgeId(row, column, false);
            const int right = edgeId(row, column + 1, true);
            const int bottom = edgeId(row + 1, column, false);
            const int left = edgeId(row, column, true);
            int crossed[4];
            int count = 0;
            if (a != b) crossed[count++] = top;
            if (b != c) crossed[count++] = right;
            if (c != d) crossed[count++] = bottom;
            if (d != a) crossed[count++] = left;
            if (count == 2) {
                segments.push_back({crossed[0], crossed[1]});
            } else if (count == 4) {
                const double centre =
                    (LevelAt(coverage, row, column) + LevelAt(coverage, row, column + 1) +
                     LevelAt(coverage, row + 1, column + 1) + LevelAt(coverage, row + 1, column)) /
                    4;
                if (a != (centre >= levelDbm)) {
                    // The top-left and bottom-right corners are cut off.
                    segments.push_back({top, left});
                    segments.push_back({right, bottom});
                } else {
                    segments.push_back({top, right});
                    segments.push_back({bottom, left});
                }
            }
        }
    }

    // Each crossed edge belongs to at most two segments: join them through it.
    std::vector<std::array<int, 2>> byEdge(static_cast<size_t>(2 * side * side), {-1, -1});
    for (int i = 0; i < static_cast<int>(segments.size()); ++i) {
        for (const int edge :
             {segments[static_cast<size_t>(i)].From, segments[static_cast<size_t>(i)].To}) {
            auto& slot = byEdge[static_cast<size_t>(edge)];
            (slot[0] < 0 ? slot[0] : slot[1]) = i;
        }
    }
    std::vector<bool> used(segments.size(), false);
    const auto other = [&](int segment, int edge) {
        const auto& slot = byEdge[static_cast<size_t>(edge)];
        const int next = slot[0] == segment ? slot[1] : slot[0];
        return (next >= 0 && !used[static_cast<size_t>(next)]) ? next : -1;
    };
    for (int start = 0; start < static_cast<int>(segments.size()); ++start) {
        if (used[static_cast<size_t>(start)]) continue;
        used[static_cast<size_t>(start)] = true;
        std::deque<int> edges{segments[static_cast<size_t>(start)].From,
                              segments[static_cast<size_t>(start)].To};
        // Forward from the end, then backward from the start.
        for (const bool forward : {true, false}) {
            int segment = start;
            for (;;) {
                const int edge = forward ? edges.back() : edges.front();
                const int next = other(segment, edge);
                if (next < 0) break;
                used[static_cast<size_t>(next)] = true;
                const TSegment& s = segments[static_cast<size_t>(next)];
                const int far = s.From == edge ? s.To : s.From;
                if (forward) {
                    edges.push_back(far);
                } else {
                    edges.push_front(far);
                }
                segment = next;
            }
        }
        TRealPointArray line;
        line.reserve(edges.size());
        for (const int edge : edges) line.push_back(crossing(edge));
        lines.push_back(std::move(line));
    }
    return lines;
}

const char* CoverageLevelsText(TCoverageLevels levels) {
    switch (levels) {
        case TCoverageLevels::Measured:
            return "Measured sphere";
        case TCoverageLevels::CutSum:
            return "Cut-sum estimate";
        case TCoverageLevels::WeightedBilinear:
            break;
    }
    return "Weighted bilinear estimate";
}

std::vector<std::pair<std::string, std::string>> CoverageSiteRows(
    const std::string& patternName, const TCoverageSite& site, const TCoverage& coverage,
    const TCoverageThresholds& thresholds) {
    std::string levels;
    for (const double threshold : thresholds) {
        levels += (levels.empty() ? "" : ", ") + FormatGeneral(threshold);
    }
    std::vector<std::pair<std::string, std::string>> rows = {
        {"Pattern", patternName},
        {"Frequency", FormatGeneral(coverage.FrequencyMhz) + " MHz"},
        {"Height", FormatGeneral(site.HeightM) + " m"},
        {"Rx height", FormatGeneral(site.RxHeightM) + " m"},
        {"Mech. tilt",
         FormatGeneral(site.MechTiltDeg) + "\u00B0 down" +
             (coverage.DownTiltDeg != site.MechTiltDeg
                  ? " (" + FormatGeneral(coverage.DownTiltDeg) + "\u00B0 with the vertical offset)"
                  : std::string())},
        {"Power", FormatGeneral(site.PowerDbm) + " dBm"},
        {"Gain", coverage.GainStated ? FormatGeneral(coverage.GainDbi) + " dBi"
                                     : "none stated: levels relative to the peak (0 dBi)"},
        {"Model", PathModelName(coverage.Model)},
        {"Levels", CoverageLevelsText(coverage.Levels)},
        {"Radius", FormatGeneral(site.RadiusKm) + " km"},
        {"Step", FormatGeneral(site.StepM) + " m"},
        {"Thresholds", levels + " dBm"},
        {"Beam hit", KeyDistanceText(coverage.BeamHit)},
        {"-3 dB inner", KeyDistanceText(coverage.Inner3Db)},
        {"-3 dB outer", KeyDistanceText(coverage.Outer3Db)},
        {"First null", KeyDistanceText(coverage.FirstNull)},
    };
    if (!coverage.RangeNote.empty()) rows.emplace_back("Note", coverage.RangeNote);
    return rows;
}

std::pair<double, double> TCoverageView::LevelRange() const {
    const auto [weakest, strongest] = std::minmax_element(Thresholds.begin(), Thresholds.end());
    double top = *strongest + 10;
    if (Coverage) {
        // The top is the level only 1% of the ground exceeds: right under the mast the level
        // climbs tens of dB more, and would leave the rest of the map in a few pale tones.
        std::vector<float> levels;
        levels.reserve(Coverage->GridLevelDbm.size());
        for (const float level : Coverage->GridLevelDbm) {
            if (std::isfinite(level)) levels.push_back(level);
        }
        if (!levels.empty()) {
            const auto at = levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 100);
            std::nth_element(levels.begin(), at, levels.end(), std::greater<float>());
            top = std::max(top, static_cast<double>(*at));
        }
    }
    return {FloorTen(*weakest) - 20, CeilTen(top)};
}

TColor TCoverageView::LevelColor(double levelDbm) const {
    const auto [low, high] = LevelRange();
    return ScaleColor(levelDbm, low, high);
}

TRealRect TCoverageView::MapSquare(const TRealRect& bounds) const {
    // Room for the bearing labels around the square and for the colour bar at its right.
    const double margin = 1.6 * TextSize;
    const double legend = 6 * TextSize;
    const double width = bounds.Right - bounds.Left - 2 * margin - legend;
    const double side = std::max(0.0, std::min(width, bounds.Bottom - bounds.Top - 2 * margin));
    const double left = bounds.Left + margin + (width - side) / 2;
    const double top = bounds.Top + margin + (bounds.Bottom - bounds.Top - 2 * margin - side) / 2;
    return {left, top, left + side, top + side};
}

void TCoverageView::Draw(TDrawer& drawer, const TRealRect& bounds) const {
    TRealRect area = bounds;
    if (!Note.empty()) {
        drawer.SetFont(kFont, clRed, fsBold, TextSize);
        drawer.TextOut(Note, bounds.Left + 4, bounds.Top + 2);
        area.Top += 1.6 * TextSize;
    }
    if (!Coverage) return;
    const double width = area.Right - area.Left;
    const double height = area.Bottom - area.Top;
    // The profile beside the map or under it, whichever leaves the map larger; the map takes
    // at most 60% of the width or the height, so that the profile stays readable beside it.
    const double beside = 0.6 * width;
    const double under = 0.6 * height;
    const double marginSide = 3.2 * TextSize;
    const double legend = 6 * TextSize;
    const double besideSide = std::min(beside - marginSide - legend, height - marginSide);
    const double underSide = std::min(width - marginSide - legend, under - marginSide);
    if (besideSide >= underSide) {
        const double mapWidth = std::min(beside, height + legend);
        DrawMap(drawer, {area.Left, area.Top, area.Left + mapWidth, area.Bottom});
        // Somewhat taller than wide at most: a level against distance reads best wide.
        const double profileHeight = std::min(height, 1.2 * (width - mapWidth));
        const double top = area.Top + (height - profileHeight) / 2;
        DrawProfile(drawer, {area.Left + mapWidth, top, area.Right, top + profileHeight});
    } else {
        const double mapHeight = std::min(under, width - legend);
        DrawMap(drawer, {area.Left, area.Top, area.Right, area.Top + mapHeight});
        DrawProfile(drawer, {area.Left, area.Top + mapHeight, area.Right, area.Bottom});
    }
}

void TCoverageView::DrawMap(TDrawer& drawer, const TRealRect& bounds) const {
    if (!Coverage || !HasGrid(*Coverage)) return;
    const TCoverage& coverage = *Coverage;
    const TRealRect square = MapSquare(bounds);
    const double side = square.Right - square.Left;
    if (side <= 0) return;
    const TPlanPlacer plan{(square.Left + square.Right) / 2, (square.Top + square.Bottom) / 2,
                           side / (2 * MapHalfWidthM(coverage))};

    const std::pair<double, double> range = LevelRange();
    const double low = range.first;
    const double high = range.second;
    // The levels, one pixel per grid point, their colours from a table of steps far finer
    // than the eye tells apart.
    constexpr int kTableSteps = 512;
    std::vector<std::uint32_t> table(kTableSteps);
    for (int step = 0; step < kTableSteps; ++step) {
        const TColor color = ScaleColor(low + (high - low) * step / (kTableSteps - 1), low, high);
        table[static_cast<size_t>(step)] =
            0xFF000000u | (static_cast<std::uint32_t>(ColorRed(color)) << 16) |
            (static_cast<std::uint32_t>(ColorGreen(color)) << 8) | ColorBlue(color);
    }
    const double stepsPerDb = (kTableSteps - 1) / (high - low);
    TPixelGraphic image(coverage.GridSide, coverage.GridSide);
    for (size_t i = 0; i < coverage.GridLevelDbm.size(); ++i) {
        const double level = coverage.GridLevelDbm[i];
        if (!std::isfinite(level)) continue;
        const double step = std::clamp((level - low) * stepsPerDb, 0.0, kTableSteps - 1.0);
        image.SetPixelAt(i, table[static_cast<size_t>(step + 0.5)]);
    }
    drawer.StretchDraw(square, image);

    drawer.SetClipRect(square);
    const double radiusM = ProfileReachM(coverage);
    const double ringStep = RingStepM(radiusM);
    // Bearing axes through the mast, then the distance rings, labelled down to the right
    // where the back of a sector leaves room.
    drawer.SetPen(clGray, psDot, 1);
    drawer.Line(square.Left, plan.CenterY, square.Right, plan.CenterY);
    drawer.Line(plan.CenterX, square.Top, plan.CenterX, square.Bottom);
    drawer.SetBrush(clWhite, bsClear);
    drawer.SetPen(clGray, psDash, 1);
    for (double ring = ringStep; ring <= radiusM * (1 + 1e-9); ring += ringStep) {
        const double r = ring * plan.UnitsPerMetre;
        drawer.Ellipse({plan.CenterX - r, plan.CenterY - r, plan.CenterX + r, plan.CenterY + r});
    }

    // The contours: a white halo under each so that they read on every colour.
    for (int i = 0; i < static_cast<int>(Thresholds.size()); ++i) {
        const std::vector<TRealPointArray> lines =
            ContourLines(coverage, Thresholds[static_cast<size_t>(i)]);
        for (const bool halo : {true, false}) {
            drawer.SetPen(halo ? clWhite : ThresholdColor(i), psSolid, halo ? 3.5 : 1.5);
            for (const TRealPointArray& line : lines) {
                TRealPointArray placed;
                placed.reserve(line.size());
                for (const TRealPoint& p : line) placed.push_back(plan.Place(p.X, p.Y));
                drawer.Polyline(placed);
            }
        }
    }

    // The rings' distances over the contours.
    drawer.SetFont(kFont, clBlack, 0, 0.85 * TextSize);
    for (double ring = ringStep; ring <= radiusM * (1 + 1e-9); ring += ringStep) {
        const TRealPoint at = plan.AtBearing(135, ring);
        drawer.AlignedTextOut(CoverageDistanceText(ring), taNear, at.X + 2, at.Y, taNear);
    }

    // The mast and the boresight as the pattern's offset turns it.
    const double arrowLength = std::min(0.3 * side, ringStep * plan.UnitsPerMetre);
    const TRealPoint mast = plan.Place(0, 0);
    const TRealPoint tip =
        plan.AtBearing(coverage.BoresightBearingDeg, arrowLength / plan.UnitsPerMetre);
    for (const bool halo : {true, false}) {
        drawer.SetPen(halo ? clWhite : clBlack, psSolid, halo ? 4.5 : 2);
        Arrow(drawer, mast, tip, 0.8 * TextSize);
    }
    drawer.SetPen(clWhite, psSolid, 1);
    drawer.SetBrush(clBlack, bsSolid);
    drawer.Circle(mast.X, mast.Y, 0.3 * TextSize);

    // The scale bar, one ring step long, on a white plate in the lower left corner.
    const double barLength = ringStep * plan.UnitsPerMetre;
    const double barLeft = square.Left + 0.8 * TextSize;
    const double barY = square.Bottom - 0.8 * TextSize;
    drawer.SetPen(clWhite, psClear, 1);
    drawer.SetBrush(clWhite, bsSolid);
    drawer.FillRect({barLeft - 0.4 * TextSize, barY - 1.9 * TextSize,
                     barLeft + barLength + 0.4 * TextSize, barY + 0.4 * TextSize});
    drawer.SetPen(clBlack, psSolid, 2);
    drawer.Line(barLeft, barY, barLeft + barLength, barY);
    drawer.Line(barLeft, barY - 0.4 * TextSize, barLeft, barY);
    drawer.Line(barLeft + barLength, barY - 0.4 * TextSize, barLeft + barLength, barY);
    drawer.SetFont(kFont, clBlack, 0, 0.85 * TextSize);
    drawer.AlignedTextOut(CoverageDistanceText(ringStep), taCenter, barLeft + barLength / 2,
                          barY - 0.5 * TextSize, taFar);
    drawer.ResetClip();

    drawer.SetPen(clBlack, psSolid, 1);
    drawer.SetBrush(clWhite, bsClear);
    drawer.Rectangle(square);
    // Bearings from the pattern's 0 degrees, clockwise, as the polar graphs count them.
    drawer.SetFont(kFont, clBlack, 0, TextSize);
    const double gap = 0.25 * TextSize;
    drawer.AlignedTextOut("0\u00B0", taCenter, plan.CenterX, square.Top - gap, taFar);
    drawer.AlignedTextOut("180\u00B0", taCenter, plan.CenterX, square.Bottom + gap, taNear);
    drawer.VerticalTextOut("90\u00B0", taCenter, square.Right + gap, plan.CenterY, taNear);
    drawer.VerticalTextOut("-90\u00B0", taCenter, square.Left - gap, plan.CenterY, taFar);

    // The colour bar, strongest at the top, the thresholds marked across it.
    const double barX = square.Right + 1.6 * TextSize;
    const double barWidth = 1.2 * TextSize;
    const double barTop = square.Top + 1.5 * TextSize;
    const double barBottom = square.Bottom;
    const auto levelY = [&](double level) {
        return barBottom - (level - low) / (high - low) * (barBottom - barTop);
    };
    drawer.SetFont(kFont, clBlack, fsBold, TextSize);
    drawer.AlignedTextOut("dBm", taNear, barX, square.Top, taNear);
    drawer.SetPen(clWhite, psClear, 1);
    for (int step = 0; step < kBarSteps; ++step) {
        const double from = low + (high - low) * step / kBarSteps;
        const double to = low + (high - low) * (step + 1) / kBarSteps;
        drawer.SetBrush(ScaleColor((from + to) / 2, low, high), bsSolid);
        drawer.FillRect({barX, levelY(to), barX + barWidth, levelY(from)});
    }
    drawer.SetPen(clGray, psSolid, 1);
    drawer.SetBrush(clWhite, bsClear);
    drawer.Rectangle({barX, barTop, barX + barWidth, barBottom});
    drawer.SetFont(kFont, clBlack, 0, 0.85 * TextSize);
    const double tickStep = high - low > 100 ? 20 : 10;
    for (double level = high; level >= low - 1e-9; level -= tickStep) {
        const double y = levelY(level);
        drawer.Line(barX + barWidth, y, barX + barWidth + 3, y);
        drawer.AlignedTextOut(LevelText(level), taNear, barX + barWidth + 5, y, taCenter);
    }
    for (int i = 0; i < static_cast<int>(Thresholds.size()); ++i) {
        const double y = levelY(Thresholds[static_cast<size_t>(i)]);
        drawer.SetPen(clWhite, psSolid, 4);
        drawer.Line(barX - 3, y, barX + barWidth, y);
        drawer.SetPen(ThresholdColor(i), psSolid, 2);
        drawer.Line(barX - 3, y, barX + barWidth, y);
    }
}

void TCoverageView::DrawProfile(TDrawer& drawer, const TRealRect& bounds) const {
    if (!Coverage || Coverage->ProfileDistanceM.empty() ||
        Coverage->ProfileDistanceM.size() != Coverage->ProfileLevelDbm.size()) {
        return;
    }
    const TCoverage& coverage = *Coverage;
    const double reach = ProfileReachM(coverage);
    drawer.SetFont(kFont, clBlack, 0, 0.85 * TextSize);
    const double labelHeight = drawer.TextHeight("0");
    const double plotLeft = bounds.Left + drawer.TextWidth("-100") + 2 * TextSize;

    // The key distances are named in a legend under the distance axis, where they can
    // neither cover the curve nor crowd each other when their lines stand close: an entry
    // per distance, its line's style shown before the text, in rows from the left.
    const TKeyMark marks[] = {
        {&coverage.BeamHit, "beam", psSolid},
        {&coverage.Inner3Db, "\u22123 dB inner", psDash},
        {&coverage.Outer3Db, "\u22123 dB outer", psDash},
        {&coverage.FirstNull, "null", psDot},
    };
    // Long enough to show a dash and its gap, shorter where the graph is narrow.
    const double sample = std::min(3 * TextSize, 0.12 * (bounds.Right - bounds.Left));
    const double rowHeight = labelHeight + 3;
    std::vector<TKeyEntry> entries;
    double rowLeft = bounds.Left;
    double rowTop = 0;
    for (const TKeyMark& mark : marks) {
        const TGroundDistance& distance = *mark.Distance;
        TKeyEntry entry;
        entry.Style = mark.Style;
        entry.Metres = distance.Metres;
        // The horizon, none, behind the mast (an angle steeper than straight down) or past
        // the graph: named without a line.
        entry.OnGraph = distance.Kind == TGroundDistance::TKind::Metres && distance.Metres >= 0 &&
                        distance.Metres <= reach;
        if (distance.Kind != TGroundDistance::TKind::Metres) {
            entry.Text = std::string(mark.Label) + ": " + GroundDistanceText(distance);
        } else {
            entry.Text = std::string(mark.Label) + " " + CoverageDistanceText(distance.Metres) +
                         (entry.OnGraph ? "" : " (off the graph)");
        }
        const double width =
            (entry.OnGraph ? sample + 0.4 * TextSize : 0) + drawer.TextWidth(entry.Text);
        if (rowLeft > bounds.Left && rowLeft + width > bounds.Right) {
            rowLeft = bounds.Left;
            rowTop += rowHeight;
        }
        entry.Left = rowLeft;
        entry.Top = rowTop;
        rowLeft += width + 1.2 * TextSize;
        entries.push_back(std::move(entry));
    }
    const double legendHeight = rowTop + rowHeight;
    const TRealRect plot{plotLeft, bounds.Top + 1.6 * TextSize, bounds.Right - 1.0 * TextSize,
                         bounds.Bottom - 2 * labelHeight - 1.0 * TextSize - legendHeight};
    if (plot.Right - plot.Left < 20 || plot.Bottom - plot.Top < 20) return;
    const double legendTop = bounds.Bottom - legendHeight;

    double strongest = -std::numeric_limits<double>::infinity();
    double weakest = std::numeric_limits<double>::infinity();
    for (const double level : coverage.ProfileLevelDbm) {
        if (!std::isfinite(level)) continue;
        strongest = std::max(strongest, level);
        weakest = std::min(weakest, level);
    }
    const auto [weakThreshold, strongThreshold] =
        std::minmax_element(Thresholds.begin(), Thresholds.end());
    const double high = CeilTen(std::max(strongest, *strongThreshold + 5));
    const double low = std::max(FloorTen(std::min(weakest, *weakThreshold - 10)), high - 150);
    const auto px = [&](double metres) {
        return plot.Left + metres / reach * (plot.Right - plot.Left);
    };
    const auto py = [&](double level) {
        return plot.Bottom - (level - low) / (high - low) * (plot.Bottom - plot.Top);
    };

    drawer.SetFont(kFont, clBlack, fsBold, TextSize);
    const char* const title = "Level along boresight";
    const double titleLeft =
        std::max(bounds.Left, std::min(plot.Left, bounds.Right - drawer.TextWidth(title)));
    drawer.AlignedTextOut(title, taNear, titleLeft, bounds.Top, taNear);

    // Grid and axis labels: dBm every 10 (or 20), distance at the ring step.
    drawer.SetFont(kFont, clBlack, 0, 0.85 * TextSize);
    drawer.SetPen(clSilver, psSolid, 1);
    const double levelStep = high - low > 100 ? 20 : 10;
    for (double level = high; level >= low - 1e-9; level -= levelStep) {
        drawer.Line(plot.Left, py(level), plot.Right, py(level));
        drawer.AlignedTextOut(LevelText(level), taFar, plot.Left - 4, py(level), taCenter);
    }
    const double distanceStep = RingStepM(reach) / 2;
    const auto distanceText = [&](double d) {
        return reach >= 2000 ? FormatGeneral(d / 1000) : FormatGeneral(d);
    };
    // Every grid line labelled where the labels fit, else every second, fourth, ...
    double widestLabel = 0;
    for (double d = 0; d <= reach * (1 + 1e-9); d += distanceStep) {
        widestLabel = std::max(widestLabel, drawer.TextWidth(distanceText(d)));
    }
    int labelEvery = 1;
    while (labelEvery < 64 &&
           px(labelEvery * distanceStep) - px(0) < widestLabel + 0.5 * TextSize) {
        labelEvery *= 2;
    }
    int line = 0;
    for (double d = 0; d <= reach * (1 + 1e-9); d += distanceStep, ++line) {
        drawer.Line(px(d), plot.Top, px(d), plot.Bottom);
        if (line % labelEvery != 0) continue;
        drawer.AlignedTextOut(distanceText(d), taCenter, px(d), plot.Bottom + 3, taNear);
    }
    drawer.AlignedTextOut(reach >= 2000 ? "Distance, km" : "Distance, m", taCenter,
                          (plot.Left + plot.Right) / 2, plot.Bottom + 3 + labelHeight, taNear);
    drawer.VerticalTextOut("dBm", taCenter, bounds.Left, (plot.Top + plot.Bottom) / 2, taNear);

    drawer.SetClipRect(plot);
    for (int i = 0; i < static_cast<int>(Thresholds.size()); ++i) {
        const double y = py(Thresholds[static_cast<size_t>(i)]);
        drawer.SetPen(ThresholdColor(i), psDash, 1);
        drawer.Line(plot.Left, y, plot.Right, y);
    }
    TRealPointArray curve;
    curve.reserve(coverage.ProfileDistanceM.size());
    for (size_t i = 0; i < coverage.ProfileDistanceM.size(); ++i) {
        const double level = coverage.ProfileLevelDbm[i];
        if (!std::isfinite(level)) continue;
        curve.push_back({px(coverage.ProfileDistanceM[i]), py(level)});
    }
    drawer.SetPen(kProfileColor, psSolid, 1.5);
    drawer.Polyline(curve);

    // The key distances' lines, then their legend.
    for (const TKeyEntry& entry : entries) {
        if (!entry.OnGraph) continue;
        drawer.SetPen(clBlack, entry.Style, 1);
        drawer.Line(px(entry.Metres), plot.Top, px(entry.Metres), plot.Bottom);
    }
    drawer.ResetClip();
    drawer.SetPen(clGray, psSolid, 1);
    drawer.SetBrush(clWhite, bsClear);
    drawer.Rectangle(plot);
    drawer.SetFont(kFont, clBlack, 0, 0.85 * TextSize);
    for (const TKeyEntry& entry : entries) {
        const double top = legendTop + entry.Top;
        double left = entry.Left;
        if (entry.OnGraph) {
            drawer.SetPen(clBlack, entry.Style, 1);
            drawer.Line(left, top + labelHeight / 2, left + sample, top + labelHeight / 2);
            left += sample + 0.4 * TextSize;
        }
        drawer.AlignedTextOut(entry.Text, taNear, left, top, taNear);
    }
}

void TCoveragePage::Draw() const {
    if (!Drawer || !Coverage) return;
    TDrawer& drawer = *Drawer;
    TPageBorder border;
    border.Drawer = Drawer;
    border.Logo = Logo;
    border.Draw();

    drawer.SetFont(kFont, clBlack, fsBold, 18);
    drawer.TextOut("Coverage on flat ground", 50, 40);
    double y = 80;
    for (const auto& [label, value] : CoverageSiteRows(PatternName, Site, *Coverage, Thresholds)) {
        // The model's range note can be long: it runs across the page under the profile.
        const bool note = label == "Note";
        const double top = note ? 338 : y;
        drawer.SetFont(kFont, clBlack, fsBold, 11);
        drawer.TextOut(label + ":", 50, top);
        drawer.SetFont(kFont, note ? clMaroon : clBlack, 0, 11);
        const double bottom = drawer.TextOut(value, 135, top) + 3;
        if (!note) y = bottom;
    }

    TCoverageView view;
    view.Coverage = Coverage;
    view.Thresholds = Thresholds;
    view.TextSize = 11;
    view.DrawProfile(drawer, {430, 75, 810, 330});
    view.DrawMap(drawer, {60, 358, 800, 985});
}

}  // namespace ostrel

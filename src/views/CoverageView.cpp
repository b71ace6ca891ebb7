#include "views/CoverageView.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "graphs/DensityImage.h"
#include "model/NumberText.h"
#include "views/CoverageParts.h"

namespace ostrel {

using namespace coverage_parts;

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180;
// The colour scale runs over this part of cubehelix: light for the weakest level shown, dark
// for the strongest, so that the footprint stands out from the page and reads in grey too.
constexpr double kWeakFraction = 0.93;
constexpr double kStrongFraction = 0.12;
constexpr int kBarSteps = 64;

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

}  // namespace ostrel
#include "views/CoverageView.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/NumberText.h"
#include "views/CoverageParts.h"

namespace ostrel {

using namespace coverage_parts;

namespace {

constexpr TColor kProfileColor = RgbColor(0, 40, 140);

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

}  // namespace ostrel

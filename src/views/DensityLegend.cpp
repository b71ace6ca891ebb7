#include "views/DensityLegend.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "graphs/DensityImage.h"
#include "model/NumberText.h"
#include "views/LegendDrawer.h"

namespace ostrel {

namespace {

constexpr const char* kLegendFont = "Arial";
constexpr int kBarSteps = 96;
// A short title still gets a bar long enough to read: this many text sizes.
constexpr double kMinBarWidth = 9;
constexpr double kBarHeight = 0.7;  // of a line
constexpr double kBarGap = 0.25;    // of a line, above the bar
constexpr double kCountSize = 0.8;  // of the title's text size
constexpr double kTickLength = 3;
constexpr double kLabelGap = 4;  // least room between two counts

// Where a count sits along the bar, 0 .. 1.
double SharePosition(long long count, long long total) {
    if (total <= 1 || count <= 1) return 0;
    return std::min(1.0,
                    std::log(static_cast<double>(count)) / std::log(static_cast<double>(total)));
}

}  // namespace

std::string DensityLegendTitle(int patternCount) {
    return GroupedCountText(patternCount) +
           (patternCount == 1 ? " pattern, density" : " patterns, density");
}

void TDensityLegendDrawer::Draw() {
    if (!Drawer) return;
    TDrawer& drawer = *Drawer;
    const long long total = std::max(1, PatternCount);

    drawer.SetFont(kLegendFont, clGreen, fsBold, TextSize);
    const std::string title = DensityLegendTitle(PatternCount);
    const double lineHeight = drawer.TextHeight("H");
    const double width = std::max(drawer.TextWidth(title), kMinBarWidth * TextSize);
    double left = Origin.X;
    if (Align == laRight) left = Origin.X - width;
    if (Align == laCenter) left = Origin.X - width / 2;
    const double right = left + width;

    const double barTop = drawer.TextOut(title, left, Origin.Y) + kBarGap * lineHeight;
    const double barBottom = barTop + kBarHeight * lineHeight;
    for (int step = 0; step < kBarSteps; ++step) {
        const double from = left + width * step / kBarSteps;
        const double to = left + width * (step + 1) / kBarSteps;
        drawer.SetBrush(DensityScaleColor((step + 0.5) / kBarSteps), bsSolid);
        drawer.FillRect({from, barTop, to, barBottom});
    }
    drawer.SetBrush(clWhite, bsClear);
    drawer.SetPen(clGray, psSolid, 1.0);
    drawer.Rectangle({left, barTop, right, barBottom});

    // 1, the powers of ten below the total, and the total.
    std::vector<long long> counts{1};
    for (long long power = 10; power < total; power *= 10) counts.push_back(power);
    if (total > 1) counts.push_back(total);
    drawer.SetFont(kLegendFont, clGray, 0, kCountSize * TextSize);
    const double labelTop = barBottom + kTickLength;
    const double lastWidth = drawer.TextWidth(GroupedCountText(counts.back()));
    double usedUpTo = -std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < counts.size(); ++i) {
        const std::string text = GroupedCountText(counts[i]);
        const double x = left + width * SharePosition(counts[i], total);
        const double textWidth = drawer.TextWidth(text);
        // The ends stay inside the bar's width; counts between are centred on their place.
        const bool first = i == 0;
        const bool last = i + 1 == counts.size() && total > 1;
        const double textLeft = first ? left : last ? right - textWidth : x - textWidth / 2;
        if (!first && !last &&
            (textLeft < usedUpTo + kLabelGap ||
             textLeft + textWidth > right - lastWidth - kLabelGap)) {
            continue;
        }
        drawer.Line(x, barBottom, x, labelTop);
        drawer.TextOut(text, textLeft, labelTop);
        usedUpTo = textLeft + textWidth;
    }
}

}  // namespace ostrel

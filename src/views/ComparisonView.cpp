#include "views/ComparisonView.h"

#include <algorithm>
#include <cmath>

#include "model/NumberText.h"

namespace ostrel {

namespace {

constexpr double kPadding = 10;
constexpr double kPanelGap = 10;
constexpr double kLabelGap = 5;
constexpr double kBandDb = 1;
constexpr double kAngleStepDeg = 30;
constexpr TColor kBandColor = RgbColor(214, 238, 214);
constexpr TColor kZeroColor = RgbColor(96, 96, 96);
constexpr TColor kNoteColor = RgbColor(90, 90, 90);
constexpr const char* kFont = "Arial";

double AngleOf(size_t index) {
    return static_cast<double>(index) - 180;
}

std::string Fixed3(double value) {
    // A difference too small to show has no sign either.
    std::string text = FormatFixed(3, value);
    if (text == "-0.000") text.erase(0, 1);
    return text;
}

// The height of one line of text at the view's size.
double LineHeight(TDrawer& drawer) {
    return drawer.TextHeight("Ag") * 1.25;
}

struct TViewLayout {
    double TitleTop = 0;
    double NoteTop = 0;
    double LegendTop = 0;  // the legend's line: the note's, or its own when they do not fit
    std::array<double, 3> CaptionTops{};
    std::array<TRealRect, 3> Plots{};
};

double LegendWidth(TDrawer& drawer, const std::array<TComparedCut, 3>& cuts, double sample) {
    double width = 0;
    for (const TComparedCut& cut : cuts) width += sample + 4 + drawer.TextWidth(cut.Name) + 14;
    return width + sample + 4 + drawer.TextWidth("±1 dB");
}

std::string NoteText(const TPatternComparison& comparison) {
    return comparison.Relative ? "d = level of B − level of A in dB (relative: gains left out)"
                               : "d = (gain + level) of B − (gain + level) of A in dB";
}

}  // namespace

TDifferenceScale DifferenceScale(double largestDifferenceDb) {
    // Room for the ±1 dB band to read as a band, then round steps with at most five grid
    // lines on either side of zero.
    constexpr double kSlack = 1e-9;
    const double largest = std::isfinite(largestDifferenceDb) ? largestDifferenceDb : 0;
    if (largest <= 2 + kSlack) return {2, 1};
    for (double decade = 1;; decade *= 10) {
        for (const double step : {1.0, 2.0, 5.0}) {
            const double stepDb = step * decade;
            const double steps = std::ceil(largest / stepDb - kSlack);
            if (steps <= 5) return {steps * stepDb, stepDb};
        }
        if (decade > 1e6) return {largest, largest};
    }
}

double LargestDifference(const TPatternComparison& comparison) {
    double largest = 0;
    for (const TComparedCut& cut : ComparedCuts(comparison)) {
        for (const double d : cut.Cut->DifferenceDb) {
            if (std::isfinite(d)) largest = std::max(largest, std::fabs(d));
        }
    }
    return largest;
}

std::array<TComparedCut, 3> ComparedCuts(const TPatternComparison& comparison) {
    return {TComparedCut{"Azimuth", &comparison.Azimuth, clBlue},
            TComparedCut{"Vertical", &comparison.Vertical, clRed},
            TComparedCut{"Horizontal", &comparison.Horizontal, clGreen}};
}

std::string ComparisonTableText(const TPatternComparison& comparison) {
    const auto cuts = ComparedCuts(comparison);
    std::string text = "Angle";
    for (const TComparedCut& cut : cuts) text.append("\t").append(cut.Name).append(" d, dB");
    text += "\r\n";
    size_t angles = 0;
    for (const TComparedCut& cut : cuts) angles = std::max(angles, cut.Cut->DifferenceDb.size());
    for (size_t i = 0; i < angles; ++i) {
        text += FormatGeneral(AngleOf(i));
        for (const TComparedCut& cut : cuts) {
            const std::vector<double>& d = cut.Cut->DifferenceDb;
            text += '\t';
            if (i < d.size()) text += Fixed3(d[i]);
        }
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> ComparisonStatisticsHeader() {
    return {"Cut", "Max difference, dB", "At angle, °", "RMS, dB", "Main-lobe RMS, dB"};
}

std::vector<std::vector<std::string>> ComparisonStatisticsRows(
    const TPatternComparison& comparison) {
    std::vector<std::vector<std::string>> rows;
    for (const TComparedCut& cut : ComparedCuts(comparison)) {
        rows.push_back({cut.Name, Fixed3(cut.Cut->MaxDifferenceDb),
                        FormatGeneral(cut.Cut->MaxDifferenceAngleDeg), Fixed3(cut.Cut->RmsDb),
                        Fixed3(cut.Cut->RmsMainLobeDb)});
    }
    return rows;
}

std::array<TRealRect, 3> TComparisonView::PlotRects(TDrawer& drawer) const {
    drawer.SetFont(kFont, clBlack, 0, kTextSize);
    const double line = LineHeight(drawer);
    const double left = Bounds.Left + kPadding + drawer.TextWidth("-50 dB") + kLabelGap;
    const double right = Bounds.Right - kPadding - drawer.TextWidth("180") / 2;
    double top = Bounds.Top + kPadding + 3 * line;
    if (Comparison) {
        const double sample = 2 * kTextSize;
        const bool ownLegendLine = drawer.TextWidth(NoteText(*Comparison)) + 24 +
                                       LegendWidth(drawer, ComparedCuts(*Comparison), sample) >
                                   right - (Bounds.Left + kPadding);
        if (ownLegendLine) top += line;
    }
    const double bottom = Bounds.Bottom - kPadding - line;
    const double plotHeight = std::max(10.0, (bottom - top - 2 * kPanelGap) / 3 - line);
    std::array<TRealRect, 3> plots{};
    for (TRealRect& plot : plots) {
        plot = {left, top + line, std::max(left + 10, right), top + line + plotHeight};
        top = plot.Bottom + kPanelGap;
    }
    return plots;
}

void TComparisonView::Draw(TDrawer& drawer) const {
    const TRealRect bounds{static_cast<double>(Bounds.Left), static_cast<double>(Bounds.Top),
                           static_cast<double>(Bounds.Right), static_cast<double>(Bounds.Bottom)};
    drawer.SetPen(clWhite, psSolid, 1);
    drawer.SetBrush(clWhite, bsSolid);
    drawer.FillRect(bounds);
    if (Comparison == nullptr) return;
    const auto cuts = ComparedCuts(*Comparison);
    const std::array<TRealRect, 3> plots = PlotRects(drawer);
    const double line = LineHeight(drawer);
    const double textLeft = bounds.Left + kPadding;

    // Title, the definition of d, and the legend.
    drawer.SetBrush(clWhite, bsClear);
    double y = bounds.Top + kPadding;
    drawer.SetFont(kFont, clBlack, fsBold, kTextSize + 1);
    // Named as A and B, the letters the definition of d and the window's swap use.
    drawer.TextOut("B " + OtherName + "  −  A " + ReferenceName + " (reference)", textLeft, y);
    y += 1.4 * line;
    drawer.SetFont(kFont, kNoteColor, 0, kTextSize);
    const std::string note = NoteText(*Comparison);
    drawer.TextOut(note, textLeft, y);
    const double sample = 2 * kTextSize;
    const double legendWidth = LegendWidth(drawer, cuts, sample);
    const double right = plots[0].Right;
    if (textLeft + drawer.TextWidth(note) + 24 + legendWidth > right) y += line;
    double x = std::max(textLeft, right - legendWidth);
    const double middle = y + line / 2 - 1;
    for (const TComparedCut& cut : cuts) {
        drawer.SetPen(cut.Color, psSolid, 2);
        drawer.Line(x, middle, x + sample, middle);
        x += sample + 4;
        drawer.SetFont(kFont, clBlack, 0, kTextSize);
        drawer.TextOut(cut.Name, x, y);
        x += drawer.TextWidth(cut.Name) + 14;
    }
    drawer.SetPen(kBandColor, psSolid, 1);
    drawer.SetBrush(kBandColor, bsSolid);
    drawer.FillRect({x, middle - kTextSize / 3, x + sample, middle + kTextSize / 3});
    drawer.SetBrush(clWhite, bsClear);
    drawer.TextOut("±1 dB", x + sample + 4, y);

    const TDifferenceScale scale = DifferenceScale(LargestDifference(*Comparison));
    for (size_t panel = 0; panel < plots.size(); ++panel) {
        const TRealRect& plot = plots[panel];
        const TComparedCut& cut = cuts[panel];
        const auto px = [&plot](double angleDeg) {
            return plot.Left + (angleDeg + 180) / 360 * (plot.Right - plot.Left);
        };
        const auto py = [&plot, &scale](double db) {
            return plot.Top + (scale.LimitDb - db) / (2 * scale.LimitDb) * (plot.Bottom - plot.Top);
        };

        // The caption: the cut's name and its largest difference.
        drawer.SetFont(kFont, cut.Color, fsBold, kTextSize);
        const double captionTop = plot.Top - line;
        drawer.TextOut(cut.Name, plot.Left, captionTop);
        drawer.SetFont(kFont, kNoteColor, 0, kTextSize);
        drawer.TextOut("max " + Fixed3(cut.Cut->MaxDifferenceDb) + " dB at " +
                           FormatGeneral(cut.Cut->MaxDifferenceAngleDeg) + "°,  RMS " +
                           Fixed3(cut.Cut->RmsDb) + " dB,  main lobe " +
                           Fixed3(cut.Cut->RmsMainLobeDb) + " dB",
                       plot.Left + drawer.TextWidth(cut.Name) + 12, captionTop);

        drawer.SetPen(kBandColor, psSolid, 1);
        drawer.SetBrush(kBandColor, bsSolid);
        drawer.FillRect({plot.Left, py(kBandDb), plot.Right, py(-kBandDb)});
        drawer.SetBrush(clWhite, bsClear);

        // Grid: every 30 degrees, and every step of the scale with its label (every other
        // one when the graph is too low for all).
        drawer.SetPen(clSilver, psSolid, 1);
        for (double a = -180 + kAngleStepDeg; a < 180; a += kAngleStepDeg) {
            drawer.Line(px(a), plot.Top, px(a), plot.Bottom);
        }
        const int steps = static_cast<int>(std::lround(scale.LimitDb / scale.StepDb));
        const double stepHeight = (plot.Bottom - plot.Top) / (2.0 * steps);
        // Labels a line and a half apart at least, so that they read as a scale.
        const double roomy = 1.5 * line;
        const int labelEvery = stepHeight >= roomy ? 1 : (2 * stepHeight >= roomy ? 2 : steps);
        drawer.SetFont(kFont, clBlack, 0, kTextSize - 1);
        for (int k = -steps; k <= steps; ++k) {
            const double db = k * scale.StepDb;
            if (k != -steps && k != steps && k != 0)
                drawer.Line(plot.Left, py(db), plot.Right, py(db));
            if (k % labelEvery == 0) {
                drawer.AlignedTextOut(FormatGeneral(db) + " dB", taFar, plot.Left - kLabelGap,
                                      py(db), taCenter);
            }
        }
        drawer.SetPen(kZeroColor, psSolid, 1);
        drawer.Line(plot.Left, py(0), plot.Right, py(0));

        // The curve, broken where a difference is not a number.
        drawer.SetClipRect(plot);
        drawer.SetPen(cut.Color, psSolid, 1.5);
        TRealPointArray run;
        const std::vector<double>& d = cut.Cut->DifferenceDb;
        for (size_t i = 0; i <= d.size(); ++i) {
            if (i < d.size() && std::isfinite(d[i])) {
                run.push_back({px(AngleOf(i)), py(d[i])});
            } else if (!run.empty()) {
                drawer.Polyline(run);
                run.clear();
            }
        }
        drawer.ResetClip();
        if (!d.empty() && std::isfinite(cut.Cut->MaxDifferenceDb)) {
            drawer.SetBrush(cut.Color, bsSolid);
            drawer.Circle(px(cut.Cut->MaxDifferenceAngleDeg),
                          py(std::clamp(cut.Cut->MaxDifferenceDb, -scale.LimitDb, scale.LimitDb)),
                          3);
            drawer.SetBrush(clWhite, bsClear);
        }
        drawer.SetPen(clGray, psSolid, 1);
        drawer.Rectangle(plot);
    }

    // Angles under the lowest graph; every other one when they would crowd.
    const TRealRect& last = plots.back();
    drawer.SetFont(kFont, clBlack, 0, kTextSize - 1);
    const double angleWidth = (last.Right - last.Left) / (360 / kAngleStepDeg);
    const int every = angleWidth >= 1.6 * drawer.TextWidth("-180") ? 1 : 2;
    for (int k = 0; k * kAngleStepDeg <= 360; k += every) {
        const double a = -180 + k * kAngleStepDeg;
        drawer.AlignedTextOut(FormatGeneral(a), taCenter,
                              last.Left + (a + 180) / 360 * (last.Right - last.Left),
                              last.Bottom + kLabelGap / 2, taNear);
    }
}

}  // namespace ostrel

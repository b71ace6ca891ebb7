#include "views/CoverageView.h"

#include <string>
#include <utility>
#include <vector>

#include "model/NumberText.h"
#include "views/CoverageParts.h"
#include "views/PrintedPages.h"

namespace ostrel {

using namespace coverage_parts;

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

#include "cli/CoverageReport.h"

#include <ostream>

#include "model/NumberText.h"
#include "model/PatternData.h"

namespace ostrel {

namespace {

std::string StoreNumber(const std::string& text, double& value) {
    const std::optional<double> number = ParseNumber(text);
    if (!number) return "not a number: '" + text + "'";
    value = *number;
    return {};
}

std::string LevelText(double levelDbm) {
    std::string text = FormatFixed(2, levelDbm);
    // A level that rounds to nothing is 0, whatever side it came from.
    if (text == "-0.00") text.erase(0, 1);
    return text;
}

}  // namespace

std::string TCoverageRequest::SetHeight(const std::string& text) {
    return StoreNumber(text, Site.HeightM);
}

std::string TCoverageRequest::SetRxHeight(const std::string& text) {
    return StoreNumber(text, Site.RxHeightM);
}

std::string TCoverageRequest::SetMechTilt(const std::string& text) {
    return StoreNumber(text, Site.MechTiltDeg);
}

std::string TCoverageRequest::SetPower(const std::string& text) {
    return StoreNumber(text, Site.PowerDbm);
}

std::string TCoverageRequest::SetFrequency(const std::string& text) {
    double frequency = 0;
    std::string problem = StoreNumber(text, frequency);
    if (problem.empty()) Site.FrequencyMhz = frequency;
    return problem;
}

std::string TCoverageRequest::SetRadius(const std::string& text) {
    return StoreNumber(text, Site.RadiusKm);
}

std::string TCoverageRequest::SetStep(const std::string& text) {
    return StoreNumber(text, Site.StepM);
}

std::string TCoverageRequest::SetModel(const std::string& name) {
    Site.Model = PathModelFromName(name);
    if (!Site.Model) return "unknown model '" + name + "'";
    return {};
}

std::string WriteCoverage(const TPatternData& pattern, const TCoverageSite& site,
                          std::ostream& out) {
    std::string problem = CoverageSiteProblem(pattern, site);
    if (!problem.empty()) return problem;
    const TCoverage coverage = ComputeCoverage(pattern, site);
    std::string text = "model: ";
    text += PathModelName(coverage.Model);
    text += '\n';
    if (!coverage.RangeNote.empty()) text += "note: " + coverage.RangeNote + '\n';
    if (!coverage.GainStated) text += "note: the file states no gain; levels assume 0 dBi\n";
    const std::pair<const char*, const TGroundDistance*> distances[] = {
        {"beam_hit_m: ", &coverage.BeamHit},
        {"inner_3db_m: ", &coverage.Inner3Db},
        {"outer_3db_m: ", &coverage.Outer3Db},
        {"first_null_m: ", &coverage.FirstNull}};
    for (const auto& [key, distance] : distances)
        text += key + GroundDistanceText(*distance) + '\n';
    for (size_t k = 0; k < coverage.ProfileDistanceM.size(); ++k) {
        text += "profile " + FormatGeneral(coverage.ProfileDistanceM[k]) + ' ' +
                LevelText(coverage.ProfileLevelDbm[k]) + '\n';
    }
    out << text;
    for (int row = 0; row < coverage.GridSide; ++row) {
        text.clear();
        const std::string y = ' ' + FormatGeneral(coverage.GridY(row)) + ' ';
        for (int column = 0; column < coverage.GridSide; ++column) {
            text += FormatGeneral(coverage.GridX(column));
            text += y;
            text += LevelText(coverage.GridLevel(row, column));
            text += '\n';
        }
        out << text;
    }
    return {};
}

namespace {

// An option's handler that stores the value and counts the option as given.
TArgumentHandler Setter(TCoverageRequest& request,
                        std::string (TCoverageRequest::*set)(const std::string&)) {
    return [&request, set](const std::string& value) {
        ++request.OptionsGiven;
        return (request.*set)(value);
    };
}

}  // namespace

std::vector<TOptionSpec> CoverageSiteOptions(TCoverageRequest& request) {
    return {{"height", 0, "M", "with --coverage: antenna height above ground (default 30)",
             Setter(request, &TCoverageRequest::SetHeight)},
            {"rx-height", 0, "M", "with --coverage: receiver height above ground (default 1.5)",
             Setter(request, &TCoverageRequest::SetRxHeight)},
            {"mech-tilt", 0, "DEG", "with --coverage: mechanical down-tilt (default 0)",
             Setter(request, &TCoverageRequest::SetMechTilt)},
            {"power", 0, "DBM", "with --coverage: power into the antenna (default 43)",
             Setter(request, &TCoverageRequest::SetPower)},
            {"frequency", 0, "MHZ", "with --coverage: frequency (default the file's, else 1800)",
             Setter(request, &TCoverageRequest::SetFrequency)},
            {"model", 0, "MODEL",
             "with --coverage: path loss, one of free, hata-urban, hata-suburban,\n"
             "hata-open, cost231, cost231-metro (default by frequency: cost231\n"
             "above 1500 MHz, hata-urban from 150 MHz, free below)",
             Setter(request, &TCoverageRequest::SetModel)},
            {"radius", 0, "KM", "with --coverage: radius of the profile and grid (default 5)",
             Setter(request, &TCoverageRequest::SetRadius)},
            {"step", 0, "M", "with --coverage: grid step (default 25)",
             Setter(request, &TCoverageRequest::SetStep)}};
}

}  // namespace ostrel

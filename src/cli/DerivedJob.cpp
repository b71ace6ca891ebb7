#include "cli/DerivedJob.h"

#include <ostream>

#include "formats/PatternLoaders.h"
#include "model/Errors.h"
#include "model/NumberText.h"
#include "model/PatternFigures.h"

namespace ostrel {

namespace {

// Every pattern of the files, in order; the first file that does not load ends it.
std::vector<std::unique_ptr<TPatternData>> LoadAll(const std::vector<std::string>& paths) {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    for (const std::string& path : paths) {
        TLoadedFile loaded = LoadPatternFile(path);
        if (!loaded.Loaded()) throw EFileError(path + ": " + loaded.Failure);
        for (auto& pattern : loaded.Patterns) patterns.push_back(std::move(pattern));
    }
    return patterns;
}

std::vector<const TPatternData*> Views(const std::vector<std::unique_ptr<TPatternData>>& owned) {
    std::vector<const TPatternData*> views;
    for (const auto& pattern : owned) views.push_back(pattern.get());
    return views;
}

// A and B of an interpolation or a comparison: exactly two patterns in all.
std::vector<std::unique_ptr<TPatternData>> LoadPair(const std::vector<std::string>& paths,
                                                    const char* option) {
    std::vector<std::unique_ptr<TPatternData>> patterns = LoadAll(paths);
    if (patterns.size() != 2) {
        throw EInvalidOp(std::string(option) + " needs exactly two patterns; the files hold " +
                         std::to_string(patterns.size()));
    }
    return patterns;
}

void WriteCutStatistics(const char* prefix, const TCutComparison& cut, std::ostream& out) {
    out << prefix << "_max_diff: " << FigureText(cut.MaxDifferenceDb, 3) << " at "
        << FormatGeneral(cut.MaxDifferenceAngleDeg) << '\n';
    out << prefix << "_rms: " << FigureText(cut.RmsDb, 3) << '\n';
    out << prefix << "_rms_main: " << FigureText(cut.RmsMainLobeDb, 3) << '\n';
}

}  // namespace

std::vector<TOptionSpec> DerivedOptions(TDerivedRequest& request, bool withCompare) {
    std::vector<TOptionSpec> options{
        {"envelope", 0, nullptr,
         "the envelope of every pattern of the FILEs (two or more): per angle the\n"
         "highest gain + level",
         SetFlag(request.Envelope)},
        {"interpolate", 0, "AXIS",
         "'freq' or 'tilt': the pattern at X between the patterns A and B\n"
         "(operands X A B), linear in dB",
         [&request](const std::string& axis) {
             if (axis != "freq" && axis != "tilt") return "'" + axis + "' is not freq or tilt";
             request.InterpolateAxis = axis;
             return std::string();
         }}};
    if (withCompare) {
        options.push_back({"compare", 0, nullptr,
                           "compare B with the reference A (operands A B): the largest\n"
                           "difference, its RMS and its RMS over A's main lobe per cut",
                           SetFlag(request.Compare)});
        options.push_back({"relative", 0, nullptr, "with --compare: leave the gains out",
                           SetFlag(request.Relative)});
    }
    return options;
}

std::string DerivedUsageProblem(const TDerivedRequest& request,
                                const std::vector<std::string>& operands) {
    const int operations =
        int{request.Envelope} + int{request.Compare} + int{!request.InterpolateAxis.empty()};
    if (operations > 1) return "--envelope, --interpolate and --compare go one at a time";
    if (request.Relative && !request.Compare) return "--relative goes with --compare";
    if (request.Envelope && operands.empty()) return "--envelope needs files";
    if (request.Compare && (operands.empty() || operands.size() > 2)) {
        return "--compare takes the files A and B";
    }
    if (!request.InterpolateAxis.empty()) {
        if (operands.size() < 2 || operands.size() > 3) {
            return "--interpolate takes a value X and the files A and B";
        }
        if (!ParseNumber(operands.front())) {
            return "--interpolate: '" + operands.front() + "' is not a number";
        }
    }
    return std::string();
}

std::unique_ptr<TPatternData> MakeDerivedPattern(const TDerivedRequest& request,
                                                 const std::vector<std::string>& operands) {
    if (request.Envelope) {
        const auto patterns = LoadAll(operands);
        return EnvelopePattern(Views(patterns));
    }
    const double value = *ParseNumber(operands.front());
    const auto patterns =
        LoadPair(std::vector<std::string>(operands.begin() + 1, operands.end()), "--interpolate");
    const TInterpolationAxis axis = request.InterpolateAxis == "freq"
                                        ? TInterpolationAxis::Frequency
                                        : TInterpolationAxis::ElectricalTilt;
    return InterpolatePattern(*patterns[0], *patterns[1], axis, value);
}

void WriteComparison(const TDerivedRequest& request, const std::vector<std::string>& operands,
                     bool withCuts, std::ostream& out) {
    const auto patterns = LoadPair(operands, "--compare");
    const TPatternComparison comparison =
        ComparePatterns(*patterns[0], *patterns[1], request.Relative);
    out << "reference: " << DisplayName(*patterns[0], false) << '\n';
    out << "compared: " << DisplayName(*patterns[1], false) << '\n';
    out << "relative: " << (request.Relative ? "yes" : "no") << '\n';
    WriteCutStatistics("az", comparison.Azimuth, out);
    WriteCutStatistics("v", comparison.Vertical, out);
    WriteCutStatistics("h", comparison.Horizontal, out);
    if (!withCuts) return;
    out << "diff: angle az v h\n";
    for (size_t k = 0; k < comparison.Azimuth.DifferenceDb.size(); ++k) {
        out << FormatGeneral(static_cast<double>(k) - 180) << '\t'
            << FigureText(comparison.Azimuth.DifferenceDb[k], 3) << '\t'
            << FigureText(comparison.Vertical.DifferenceDb[k], 3) << '\t'
            << FigureText(comparison.Horizontal.DifferenceDb[k], 3) << '\n';
    }
}

}  // namespace ostrel

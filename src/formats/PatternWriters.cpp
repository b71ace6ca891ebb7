#include "formats/PatternWriters.h"

#include <sys/stat.h>

#include <array>
#include <cmath>

#include "formats/NsmaFile.h"
#include "formats/PlanningFiles.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"
#include "model/SafeFile.h"

namespace ostrel {

namespace {

constexpr std::array<std::pair<TPatternFormat, std::string_view>, 4> kFormatNames = {{
    {TPatternFormat::Ostrel, "msi"},
    {TPatternFormat::Verizon, "vwa"},
    {TPatternFormat::Nsma, "nsm"},
    {TPatternFormat::Csv, "csv"},
}};

// The cut's levels at X = 0..359, as the Ostrel file lists them.
TRealPointList WholeTurn(const TRealPointList& cut) {
    TRealPointList turned;
    RotateHalfTurn(cut, turned);
    return turned;
}

std::string OstrelText(const TPatternData& pattern, const std::string& name) {
    TOstrelFile file;
    file.Frequency = pattern.Frequency.IsNull ? 0 : pattern.Frequency.Value;
    file.Gain = pattern.Gain.IsNull ? 0 : pattern.Gain.Value;
    file.HWidth = pattern.HorzWidth.IsNull ? 0 : pattern.HorzWidth.Value;
    file.VWidth = pattern.VertWidth.IsNull ? 0 : pattern.VertWidth.Value;
    file.HorizontalPoints = WholeTurn(pattern.AzimuthCut);
    file.VerticalPoints = WholeTurn(pattern.VerticalCut);
    return file.SaveToText(name + ".msi");
}

std::string VerizonText(const TPatternData& pattern, const std::string& name) {
    TVerizonFile file;
    file.ModelName = name;
    file.Frequency = pattern.Frequency.IsNull ? 0 : pattern.Frequency.Value;
    file.MaxGainDbd = pattern.Gain.IsNull ? 0 : pattern.Gain.Value - 2.14;
    file.HorzBeamwidth = pattern.HorzWidth.IsNull ? 0 : pattern.HorzWidth.Value;
    file.HorizontalPoints.Assign(pattern.AzimuthCut);
    // The writer lists the vertical cut from its last angle down, and the reader takes the
    // lines by position in the opposite sense: handing it the cut mirrored makes the file's
    // angle labels true and brings the cut back unchanged.
    const std::vector<TRealPoint>& vertical = pattern.VerticalCut.Points();
    std::vector<TRealPoint> mirrored(vertical.size());
    for (size_t k = 0; k < vertical.size(); ++k) {
        mirrored[k] = {vertical[k].X, vertical[vertical.size() - 1 - k].Y};
    }
    file.VerticalPoints.Assign(std::move(mirrored));
    return file.SaveToText(TodayText());
}

std::string CsvText(const TPatternData& pattern) {
    std::string text = "angle_deg,azimuth_db,vertical_db,horizontal_db\r\n";
    for (int k = 0; k < pattern.AzimuthCut.Count(); ++k) {
        text += FormatGeneral(pattern.AzimuthCut.PointAt(k).X) + "," +
                WrittenLevel(pattern.AzimuthCut.PointAt(k).Y) + "," +
                WrittenLevel(pattern.VerticalCut.PointAt(k).Y) + "," +
                WrittenLevel(pattern.HorizontalCut.PointAt(k).Y) + "\r\n";
    }
    return text;
}

}  // namespace

std::string WrittenLevel(double levelDb) {
    std::string text = FormatFixed(3, levelDb);
    if (text == "-0.000") text.erase(0, 1);
    return text;
}

std::string_view FormatExtension(TPatternFormat format) {
    for (const auto& [known, name] : kFormatNames) {
        if (known == format) return name;
    }
    return {};
}

bool FormatFromName(std::string_view name, TPatternFormat& format) {
    for (const auto& [known, text] : kFormatNames) {
        if (SameIgnoringAsciiCase(name, text)) {
            format = known;
            return true;
        }
    }
    return false;
}

std::string PatternFileText(const TPatternData& pattern, TPatternFormat format,
                            const std::string& name) {
    switch (format) {
        case TPatternFormat::Ostrel:
            return OstrelText(pattern, name);
        case TPatternFormat::Verizon:
            return VerizonText(pattern, name);
        case TPatternFormat::Nsma:
            return NsmaTextOf(pattern, name);
        case TPatternFormat::Csv:
            return CsvText(pattern);
    }
    return {};
}

}  // namespace ostrel

namespace ostrel {

bool IsSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string SavePatternFile(const TPatternData& pattern, TPatternFormat format,
                            const std::string& target) {
    // A pattern of a file of several frequencies is named "path@frequency".
    const size_t at = pattern.FileName.find_last_of('@');
    const std::string source =
        at == std::string::npos ? pattern.FileName : pattern.FileName.substr(0, at);
    if (IsSameFile(target, pattern.FileName) || IsSameFile(target, source)) {
        return "Not written: " + target + " is the file the pattern was read from.";
    }
    try {
        return WriteWholeFile(
            target, PatternFileText(pattern, format, RemoveExtension(FileNamePart(target))));
    } catch (const std::exception& error) {
        return error.what();
    }
}

}  // namespace ostrel

#include "formats/PatternWriters.h"

#include <sys/stat.h>

#include <array>
#include <cmath>
#include <optional>

#include "formats/BastaWriter.h"
#include "formats/NsmaFile.h"
#include "formats/PlanningFiles.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"
#include "model/SafeFile.h"

namespace ostrel {

namespace {

constexpr std::array<std::pair<TPatternFormat, std::string_view>, 5> kFormatNames = {{
    {TPatternFormat::Ostrel, "msi"},
    {TPatternFormat::Verizon, "vwa"},
    {TPatternFormat::Nsma, "nsm"},
    {TPatternFormat::Csv, "csv"},
    {TPatternFormat::Json, "json"},
}};

// The cut's levels at X = 0..359, as the Ostrel file lists them.
TRealPointList WholeTurn(const TRealPointList& cut) {
    TRealPointList turned;
    RotateHalfTurn(cut, turned);
    return turned;
}

std::optional<double> Known(const TDoubleObject& value) {
    if (value.GetIsNull()) return std::nullopt;
    return value.Value;
}

std::string NoPlaceNote(const std::string& what, const char* fileKind) {
    return what + " is not written: " + fileKind + " file has no place for it";
}

// Notes for the figures a format has no record for. A stated width of 0 is no figure.
void NoteFiguresWithoutPlace(const TPatternData& pattern, bool vertWidth, bool frontToBack,
                             const char* fileKind, std::vector<std::string>& notes) {
    if (vertWidth && !pattern.VertWidth.GetIsNull() && pattern.VertWidth.Value != 0) {
        notes.push_back(
            NoPlaceNote("the vertical width " + FormatGeneral(pattern.VertWidth.Value), fileKind));
    }
    if (frontToBack && !pattern.FrontToBack.GetIsNull()) {
        notes.push_back(NoPlaceNote(
            "the front-to-back ratio " + FormatGeneral(pattern.FrontToBack.Value), fileKind));
    }
    if (!pattern.AzimuthPolarization.empty() || !pattern.VerticalPolarization.empty()) {
        notes.push_back(NoPlaceNote("the polarisation (H " + pattern.AzimuthPolarization + ", V " +
                                        pattern.VerticalPolarization + ")",
                                    fileKind));
    }
}

TWrittenPattern OstrelText(const TPatternData& pattern, const std::string& name) {
    TOstrelFile file;
    TWrittenPattern written;
    if (const auto frequency = Known(pattern.Frequency)) {
        file.Frequency = *frequency;
        file.FrequencyStated = true;
    }
    if (const auto gain = Known(pattern.Gain)) {
        file.Gain = *gain;
        file.GainStated = true;
    }
    file.HWidth = Known(pattern.HorzWidth).value_or(0);
    file.VWidth = Known(pattern.VertWidth).value_or(0);
    file.FrontToBack = Known(pattern.FrontToBack).value_or(0);
    if (const auto tilt = Known(pattern.ElectricalTilt)) file.Tilt = FormatGeneral(*tilt);
    file.HorizontalPoints = WholeTurn(pattern.AzimuthCut);
    file.VerticalPoints = WholeTurn(pattern.VerticalCut);
    NoteFiguresWithoutPlace(pattern, false, false, "an Ostrel", written.Notes);
    written.Text = file.SaveToText(name + ".msi");
    return written;
}

TWrittenPattern VerizonText(const TPatternData& pattern, const std::string& name) {
    TVerizonFile file;
    TWrittenPattern written;
    file.ModelName = name;
    if (const auto frequency = Known(pattern.Frequency)) {
        file.Frequency = *frequency;
        file.FrequencyStated = true;
    }
    if (const auto gain = Known(pattern.Gain)) {
        // The file states the gain in dBd, to which readers add kVerizonDbdToDbi; written so,
        // the gain comes back as it was. A dBd gain of 0 or less reads as "not known".
        const std::string dbd = FormatFixed(2, *gain - kVerizonDbdToDbi);
        const double dbdWritten = ParseNumber(dbd).value_or(0);
        if (dbdWritten > 0) {
            file.MaxGainDbd = dbdWritten;
            file.MaxGainDbdStated = true;
        } else {
            written.Notes.push_back("the gain " + FormatFixed(2, *gain) +
                                    " dBi is not written: a Verizon file holds only gains above " +
                                    FormatGeneral(kVerizonDbdToDbi) + " dBi");
        }
    }
    file.HorzBeamwidth = Known(pattern.HorzWidth).value_or(0);
    if (const auto tilt = Known(pattern.ElectricalTilt)) {
        file.ElectricalTilt = *tilt;
        file.ElectricalTiltStated = true;
    }
    NoteFiguresWithoutPlace(pattern, true, true, "a Verizon", written.Notes);
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
    written.Text = file.SaveToText(TodayText());
    return written;
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

TWrittenPattern PatternFileText(const TPatternData& pattern, TPatternFormat format,
                                const std::string& name) {
    switch (format) {
        case TPatternFormat::Ostrel:
            return OstrelText(pattern, name);
        case TPatternFormat::Verizon:
            return VerizonText(pattern, name);
        case TPatternFormat::Nsma:
            return NsmaTextOf(pattern, name);
        case TPatternFormat::Csv:
            // A table of the cuts: it holds no header figures by design.
            return {CsvText(pattern), {}, {}};
        case TPatternFormat::Json:
            return BastaJsonText(pattern, name, PatternSphereLevels(pattern), IsoDateToday());
    }
    return {};
}

std::string SafeFileName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || byte < 0x20 || byte == 0x7F) c = '_';
    }
    if (safe.empty() || safe == ".") return "_";
    if (safe == "..") return "__";
    return safe;
}

}  // namespace ostrel

namespace ostrel {

bool IsSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

TWrittenPattern SavePatternFile(const TPatternData& pattern, TPatternFormat format,
                                const std::string& target) {
    TWrittenPattern written;
    if (IsSameFile(target, std::string(SourcePath(pattern)))) {
        written.Failure = "Not written: " + target + " is the file the pattern was read from.";
        return written;
    }
    try {
        written = PatternFileText(pattern, format, RemoveExtension(FileNamePart(target)));
        if (!written.Failure.empty()) {
            written.Failure = "Not written: " + target + ": " + written.Failure + ".";
        } else {
            written.Failure = WriteWholeFile(target, written.Text);
        }
    } catch (const std::exception& error) {
        written.Failure = error.what();
    }
    written.Text.clear();
    return written;
}

}  // namespace ostrel

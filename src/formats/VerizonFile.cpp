#include "formats/PlanningFiles.h"

#include <optional>
#include <utility>

#include "formats/CircularCuts.h"
#include "formats/HeaderTokens.h"
#include "formats/LineMatchers.h"
#include "formats/PlanningText.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

// Reads data lines ("angle gain ...") after the cursor's place up to the first line that is
// exactly "END". A section that is never closed fails the read.
void ReadVerizonSection(TLineCursor cursor, const char* sectionName, TRealPointList& points) {
    std::string_view raw;
    std::string_view angle;
    std::string_view gain;
    while (cursor.Next(raw)) {
        const std::string_view line = TrimLine(raw);
        if (line == "END") return;
        if (MatchTwoTokens(line, angle, gain)) {
            const double x = TextToFloat(angle, cursor.Number());
            const double y = TextToFloat(gain, cursor.Number());
            points.Add(x, y);
        }
    }
    throw EFormatError(std::string("Cannot find END of ") + sectionName + " section.");
}

}  // namespace

std::string_view TVerizonFile::FindValue(std::string_view key,
                                         const std::vector<std::string_view>& lines,
                                         int lastIndex) {
    const std::string upperKey = AsciiUpperCase(key);
    std::string_view value;
    std::string_view first;
    std::string_view second;
    const int last = LastIndexWithin(lines, lastIndex);
    for (int i = 0; i <= last; ++i) {
        if (MatchTwoTokens(lines[static_cast<size_t>(i)], first, second) &&
            EqualsNoCase(first, upperKey)) {
            value = second;
        }
    }
    return value;
}

void TVerizonFile::LoadFromFile(const std::string& fileName) {
    FileName = fileName;
    LoadFromText(ReadFileBytes(fileName));
}

template <class TFind>
void TVerizonFile::ReadHeader(TFind&& find) {
    auto text = [&](const char* key) { return std::string(find(key)); };
    auto number = [&](const char* key) { return TextToFloatDef(find(key), 0); };
    ModelName = text("MODEL_NAME:");
    Manufacturer = text("MANUFACTURER:");
    Description = text("DESCRIPTION:");
    AntennaType = text("ANTENNA_TYPE:");
    DateMeasured = text("DATE_MEASURED:");
    Frequency = number("FREQ_MEASURED_MHZ:");
    FrequencyStated = IsNumber(find("FREQ_MEASURED_MHZ:"));
    LowerFreq = number("LOWER_FREQ_MHZ:");
    UpperFreq = number("UPPER_FREQ_MHZ:");
    ElectricalTilt = number("ELECTRICAL_TILT:");
    ElectricalTiltStated = ParseNumber(find("ELECTRICAL_TILT:")).has_value();
    HorzBeamwidth = number("HORZ_3DB_BEAMWIDTH:");
    HeightM = number("HEIGHT_M:");
    WidthM = number("WIDTH_M:");
    DepthM = number("DEPTH_M:");
    WeightKg = number("WEIGHT_KG:");
    const double gainDbd = number("MAX_GAIN_DBD:");
    const double gainDbi = number("MAX_GAIN_DBI:");
    if (gainDbi > 0) {
        MaxGainDbi = gainDbi;
    } else if (gainDbd > 0) {
        MaxGainDbi = gainDbd + kVerizonDbdToDbi;
    } else {
        MaxGainDbi = 0;
    }
}

void TVerizonFile::LoadFromText(std::string_view text) {
    if (!LoadUsualText(text)) LoadFromTextLineByLine(text);
}

namespace {

constexpr std::string_view kVerizonKeys[] = {
    "MODEL_NAME:",      "MANUFACTURER:",       "DESCRIPTION:",    "ANTENNA_TYPE:",
    "DATE_MEASURED:",   "FREQ_MEASURED_MHZ:",  "LOWER_FREQ_MHZ:", "UPPER_FREQ_MHZ:",
    "ELECTRICAL_TILT:", "HORZ_3DB_BEAMWIDTH:", "HEIGHT_M:",       "WIDTH_M:",
    "DEPTH_M:",         "WEIGHT_KG:",          "MAX_GAIN_DBD:",   "MAX_GAIN_DBI:"};

bool IsVerizonHorizontalStart(std::string_view line) {
    return StartsWithNoCase(line, "HORIZONTAL_GAINS");
}

bool IsVerizonVerticalStart(std::string_view line) {
    return StartsWithNoCase(line, "VERTICAL_GAINS");
}

}  // namespace

void TVerizonFile::LoadFromTextLineByLine(std::string_view text) {
    const TSectionStarts sections =
        FindSectionStarts(text, IsVerizonHorizontalStart, IsVerizonVerticalStart);
    if (!sections.First) throw EFormatError("Cannot find Horizontal section.");
    if (!sections.Second) throw EFormatError("Cannot find Vertical section.");

    const THeaderTokens tokens(sections.Header, kVerizonKeys, THeaderTokens::LastLineWins);
    ReadHeader([&](std::string_view key) { return tokens.Value(key); });

    HorizontalPoints.Clear();
    VerticalPoints.Clear();
    ReadVerizonSection(*sections.First, "Horizontal", HorizontalPoints);
    TRealPointList rows;
    ReadVerizonSection(*sections.Second, "Vertical", rows);
    AdoptVerticalRows(rows);
}

void TVerizonFile::RefuseRepeatedDegree(std::string_view text) const {
    const TSectionStarts sections =
        FindSectionStarts(text, IsVerizonHorizontalStart, IsVerizonVerticalStart);
    if (sections.First) RefuseZeroWidth<MatchTwoTokens>(HorizontalPoints, *sections.First);
}

void TVerizonFile::AdoptVerticalRows(const TRealPointList& rows) {
    if (rows.Count() < 360) {
        throw EFormatError("Vertical section has " + std::to_string(rows.Count()) +
                           " data lines; at least 360 are needed.");
    }
    if (HorizontalPoints.Count() == 0) throw EFormatError("Horizontal section is empty.");

    // Line 180 of the vertical section (index 179) is the 0-degree direction. The rows
    // number at least 360, so their first 360 are read without index checks.
    const std::vector<TRealPoint>& row = rows.Points();
    std::vector<TRealPoint> vertical360(360);
    for (size_t k = 179; k <= 359; ++k)
        vertical360[k - 179] = {static_cast<double>(k - 179), row[k].Y};
    for (size_t k = 0; k <= 178; ++k)
        vertical360[k + 181] = {static_cast<double>(k + 181), row[k].Y};

    SubtractFromValues(HorizontalPoints, HorizontalPoints.MaxY());
    VerticalPoints.Assign(std::move(vertical360));
    SubtractFromValues(VerticalPoints, VerticalPoints.MaxY());
}

// The usual shape in one pass: header lines, "HORIZONTAL_GAINS", data lines, "END", any
// lines, "VERTICAL_GAINS", data lines, "END". Anything else returns false with nothing
// changed, and the line-by-line reading gives the result or the error.
bool TVerizonFile::LoadUsualText(std::string_view text) {
    if (!StartsPlain(text)) return false;
    TLineCursor cursor(text);
    std::string_view header;
    if (!cursor.ReadHeaderLines(header, IsVerizonHorizontalStart, IsVerizonVerticalStart)) {
        return false;
    }
    TRealPointList horizontal = UsualPointList();
    TRealPointList rows = UsualPointList();
    bool closed = false;
    while (!closed && !cursor.AtEnd()) {
        cursor.ReadNumberPairs<false>(horizontal);
        if (cursor.AtEnd()) break;
        const std::string_view line = cursor.NextTrimmed();
        closed = line == "END";
        if (closed) break;
        if (IsVerizonVerticalStart(line) || !ReadDataLine<MatchTwoTokens>(line, horizontal)) {
            return false;
        }
    }
    bool found = false;
    while (closed && !found && !cursor.AtEnd())
        found = IsVerizonVerticalStart(cursor.NextTrimmed());
    closed = false;
    while (found && !closed && !cursor.AtEnd()) {
        cursor.ReadNumberPairs<false>(rows);
        if (cursor.AtEnd()) break;
        const std::string_view line = cursor.NextTrimmed();
        closed = line == "END";
        if (!closed && !ReadDataLine<MatchTwoTokens>(line, rows)) return false;
    }
    if (!closed || rows.Count() < 360 || horizontal.Count() == 0) return false;

    const THeaderTokens tokens(header, kVerizonKeys, THeaderTokens::LastLineWins);
    ReadHeader([&](std::string_view key) { return tokens.Value(key); });
    HorizontalPoints = std::move(horizontal);
    AdoptVerticalRows(rows);
    return true;
}

std::string TVerizonFile::SaveToText(const std::string& dateMeasured) const {
    std::string text;
    text += LineEnd("VERIZON WIRELESS RFTOOLS ANTENNA");
    text += LineEnd("V2");
    text += LineEnd("model_name:\t" + OneLineText(ModelName));
    text += LineEnd("manufacturer:\tVelmor");
    text += LineEnd("description:");
    text += LineEnd("antenna_type:\t0");
    text += StatedLine("max_gain_dbd:", MaxGainDbdStated || MaxGainDbd != 0, "\t",
                       FormatFixed(2, MaxGainDbd));
    text += KeywordLine("horz_3db_beamwidth:", HorzBeamwidth, "\t");
    text += LineEnd("date_measured:\t" + OneLineText(dateMeasured));
    text += StatedLine("freq_measured_mhz:", FrequencyStated || Frequency != 0, "\t",
                       FormatGeneral(Frequency));
    text += LineEnd("lower_freq_mhz:");
    text += LineEnd("upper_freq_mhz:");
    text += StatedLine("electrical_tilt:", ElectricalTiltStated || ElectricalTilt != 0, "\t",
                       FormatFixed(2, ElectricalTilt));
    text += LineEnd("height_m:");
    text += LineEnd("width_m:");
    text += LineEnd("depth_m:");
    text += LineEnd("weight_kg:");
    text += LineEnd("HORIZONTAL_GAINS");
    TRealPointList turned;
    RotateHalfTurn(HorizontalPoints, turned);
    for (int i = 0; i < turned.Count(); ++i) {
        text +=
            LineEnd(std::to_string(i) + ".0\t" + FormatFixed(3, turned.PointAt(i).Y + MaxGainDbd));
    }
    text += LineEnd("END");
    text += LineEnd("VERTICAL_GAINS");
    for (int n = VerticalPoints.Count() - 2; n >= 0; --n) {
        const TRealPoint& point = VerticalPoints.PointAt(n);
        // Negating 0 gives -0, which would print as "-0.0".
        const double angle = point.X == 0 ? 0.0 : -point.X;
        text += LineEnd(FormatFixed(1, angle) + "\t" + FormatFixed(3, point.Y + MaxGainDbd));
    }
    text += LineEnd("END");
    return text;
}

void TVerizonFile::SaveToFile(const std::string& fileName) {
    WriteFileBytes(fileName, SaveToText(TodayText()));
}

}  // namespace ostrel

#include "formats/PlanningFiles.h"

#include <cmath>
#include <ctime>

#include "formats/LineMatchers.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

// The lines of a pattern file as the readers examine them: without leading and trailing
// blanks and control characters.
std::vector<std::string_view> TrimmedLines(std::string_view text) {
    std::vector<std::string_view> lines = SplitLines(text);
    for (auto& line : lines) line = TrimLine(line);
    return lines;
}

int FindSectionStart(const std::vector<std::string_view>& lines, std::string_view prefix1,
                     std::string_view prefix2 = {}) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (StartsWithNoCase(lines[i], prefix1) ||
            (!prefix2.empty() && StartsWithNoCase(lines[i], prefix2))) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int LastIndexWithin(const std::vector<std::string_view>& lines, int lastIndex) {
    return std::min(lastIndex, static_cast<int>(lines.size()) - 1);
}

// Reads lines first..last (inclusive) as data lines: "angle level" where the level is the
// whole rest of the line. A line that matches but does not convert fails the read.
void ReadOstrelDataLines(const std::vector<std::string_view>& lines, int first, int last,
                         TRealPointList& points) {
    points.Reserve(last - first + 1);
    std::string_view angle;
    std::string_view level;
    for (int i = first; i <= last; ++i) {
        if (MatchTokenAndRest(lines[static_cast<size_t>(i)], angle, level)) {
            const double x = TextToFloat(angle, i + 1);
            const double y = TextToFloat(level, i + 1);
            points.Add(x, y);
        }
    }
}

// Reads data lines ("angle gain ...") from line `first` up to the first line that is exactly
// "END"; returns the index of that line. A section that is never closed fails the read.
int ReadVerizonSection(const std::vector<std::string_view>& lines, int first,
                       const char* sectionName, TRealPointList& points) {
    std::string_view angle;
    std::string_view gain;
    for (size_t i = static_cast<size_t>(first); i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line == "END") return static_cast<int>(i);
        if (MatchTwoTokens(line, angle, gain)) {
            const double x = TextToFloat(angle, static_cast<long long>(i) + 1);
            const double y = TextToFloat(gain, static_cast<long long>(i) + 1);
            points.Add(x, y);
        }
    }
    throw EFormatError(std::string("Cannot find END of ") + sectionName + " section.");
}

std::string LineEnd(std::string text) {
    return text + "\r\n";
}

// "KEYWORD value" or the keyword alone when the value is exactly 0.
std::string KeywordLine(const std::string& keyword, double value, const char* separator,
                        const std::string& suffix = {}) {
    if (value == 0) return LineEnd(keyword);
    return LineEnd(keyword + separator + FormatFixed(2, value) + suffix);
}

}  // namespace

void TPlanningFile::SaveToFile(const std::string&) {}

void TPlanningFile::LoadFromFile(const std::string& fileName) {
    FileName = fileName;
}

int TPlanningFile::FindLine(std::string_view keyword, const std::vector<std::string_view>& lines,
                            int lastIndex) {
    std::string_view first;
    std::string_view second;
    const int last = LastIndexWithin(lines, lastIndex);
    for (int i = 0; i <= last; ++i) {
        if (MatchTwoTokens(lines[static_cast<size_t>(i)], first, second) &&
            EqualsNoCase(first, keyword)) {
            return i;
        }
    }
    return -1;
}

std::string_view TPlanningFile::FindValue(std::string_view keyword,
                                          const std::vector<std::string_view>& lines,
                                          int lastIndex) {
    const int index = FindLine(keyword, lines, lastIndex);
    if (index < 0) return {};
    std::string_view first;
    std::string_view second;
    MatchTwoTokens(lines[static_cast<size_t>(index)], first, second);
    return second;
}

// ---------------------------------------------------------------------------------------
// Ostrel format

void TOstrelFile::LoadFromFile(const std::string& fileName) {
    FileName = fileName;
    LoadFromText(ReadFileBytes(fileName));
}

TOstrelFile::TGainLine TOstrelFile::ParseGain(const std::vector<std::string_view>& lines) {
    TGainLine result;
    const int index = FindLine("GAIN", lines, static_cast<int>(lines.size()) - 1);
    if (index < 0) return result;
    const std::string upper = AsciiUpperCase(lines[static_cast<size_t>(index)]);
    const std::vector<std::string_view> tokens = SplitAtWhitespace(upper);
    result.Found = true;
    result.Value = tokens.size() > 1 ? TextToFloatDef(tokens[1], 0) : 0;
    if (tokens.size() > 2) {
        if (tokens[2] == "DBI") {
            result.Unit = guDbi;
        } else if (tokens[2] == "DBD") {
            result.Unit = guDbd;
        }
    }
    return result;
}

void TOstrelFile::LoadFromText(std::string_view text) {
    const std::vector<std::string_view> lines = TrimmedLines(text);
    const int horizontal = FindSectionStart(lines, "HORIZONTAL", "HOR_LOBE");
    if (horizontal < 0) throw EFormatError("Cannot find Horizontal section.");
    const int vertical = FindSectionStart(lines, "VERTICAL", "VER_LOBE");
    if (vertical < 0) throw EFormatError("Cannot find Vertical section.");

    const int headerLast = horizontal - 1;
    Make = std::string(FindValue("MAKE", lines, headerLast));
    Frequency = TextToFloatDef(FindValue("FREQUENCY", lines, headerLast), 0);
    std::string_view width = FindValue("H_WIDTH", lines, headerLast);
    if (width.empty()) width = FindValue("BEAM_WIDTH", lines, headerLast);
    HWidth = TextToFloatDef(width, 0);
    VWidth = TextToFloatDef(FindValue("V_WIDTH", lines, headerLast), 0);
    FrontToBack = TextToFloatDef(FindValue("FRONT_TO_BACK", lines, headerLast), 0);
    const TGainLine gain = ParseGain(lines);
    Gain = gain.Unit == guDbd ? gain.Value + 2.14 : gain.Value;
    Tilt = std::string(FindValue("TILT", lines, headerLast));

    HorizontalPoints.Clear();
    VerticalPoints.Clear();
    ReadOstrelDataLines(lines, horizontal + 1, vertical - 1, HorizontalPoints);
    ReadOstrelDataLines(lines, vertical + 1, static_cast<int>(lines.size()) - 1, VerticalPoints);
}

std::string TOstrelFile::SaveToText(const std::string& fileName) const {
    std::string text;
    auto writePoints = [&text](const TRealPointList& points) {
        for (const TRealPoint& point : points.Points()) {
            text += FormatFixed(0, point.X);
            text += '\t';
            text += FormatFixed(3, std::fabs(point.Y));
            text += "\r\n";
        }
    };
    text += LineEnd("FILENAME " + RemoveExtension(FileNamePart(fileName)));
    text += LineEnd("MAKE " + Make);
    text += LineEnd("FREQUENCY " + FormatGeneral(Frequency));
    text += KeywordLine("H_WIDTH", HWidth, " ");
    text += KeywordLine("V_WIDTH", VWidth, " ");
    text += KeywordLine("FRONT_TO_BACK", FrontToBack, " ");
    text += Gain == 0 ? LineEnd("GAIN") : LineEnd("GAIN " + FormatFixed(2, Gain - 2.14) + " dBd");
    text += LineEnd("TILT " + Tilt);
    text += LineEnd("HORIZONTAL 360");
    writePoints(HorizontalPoints);
    text += LineEnd("VERTICAL 360");
    writePoints(VerticalPoints);
    return text;
}

void TOstrelFile::SaveToFile(const std::string& fileName) {
    WriteFileBytes(fileName, SaveToText(fileName));
}

// ---------------------------------------------------------------------------------------
// Verizon format

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

void TVerizonFile::LoadFromText(std::string_view text) {
    const std::vector<std::string_view> lines = TrimmedLines(text);
    const int horizontal = FindSectionStart(lines, "HORIZONTAL_GAINS");
    if (horizontal < 0) throw EFormatError("Cannot find Horizontal section.");
    const int vertical = FindSectionStart(lines, "VERTICAL_GAINS");
    if (vertical < 0) throw EFormatError("Cannot find Vertical section.");

    const int last = horizontal - 1;
    auto text_ = [&](const char* key) { return std::string(FindValue(key, lines, last)); };
    auto number = [&](const char* key) { return TextToFloatDef(FindValue(key, lines, last), 0); };
    ModelName = text_("model_name:");
    Manufacturer = text_("manufacturer:");
    Description = text_("description:");
    AntennaType = text_("antenna_type:");
    DateMeasured = text_("date_measured:");
    Frequency = number("freq_measured_mhz:");
    LowerFreq = number("lower_freq_mhz:");
    UpperFreq = number("upper_freq_mhz:");
    ElectricalTilt = number("electrical_tilt:");
    HorzBeamwidth = number("horz_3db_beamwidth:");
    HeightM = number("height_m:");
    WidthM = number("width_m:");
    DepthM = number("depth_m:");
    WeightKg = number("weight_kg:");
    const double gainDbd = number("max_gain_dbd:");
    const double gainDbi = number("max_gain_dbi:");
    if (gainDbi > 0) {
        MaxGainDbi = gainDbi;
    } else if (gainDbd > 0) {
        MaxGainDbi = gainDbd + 2.1;
    } else {
        MaxGainDbi = 0;
    }

    HorizontalPoints.Clear();
    VerticalPoints.Clear();
    ReadVerizonSection(lines, horizontal + 1, "Horizontal", HorizontalPoints);
    TRealPointList rows;
    ReadVerizonSection(lines, vertical + 1, "Vertical", rows);
    if (rows.Count() < 360) {
        throw EFormatError("Vertical section has " + std::to_string(rows.Count()) +
                           " data lines; at least 360 are needed.");
    }
    if (HorizontalPoints.Count() == 0) throw EFormatError("Horizontal section is empty.");

    // Line 180 of the vertical section (index 179) is the 0-degree direction.
    TRealPointList vertical360;
    vertical360.Reserve(360);
    for (int k = 179; k <= 359; ++k) vertical360.Add(k - 179, rows.PointAt(k).Y);
    for (int k = 0; k <= 178; ++k) vertical360.Add(k + 181, rows.PointAt(k).Y);

    SubtractFromValues(HorizontalPoints, HorizontalPoints.MaxY());
    SubtractFromValues(vertical360, vertical360.MaxY());
    VerticalPoints.Assign(vertical360);
}

std::string TVerizonFile::SaveToText(const std::string& dateMeasured) const {
    std::string text;
    text += LineEnd("VERIZON WIRELESS RFTOOLS ANTENNA");
    text += LineEnd("V2");
    text += LineEnd("model_name:\t" + ModelName);
    text += LineEnd("manufacturer:\tVelmor");
    text += LineEnd("description:");
    text += LineEnd("antenna_type:\t0");
    text += LineEnd("max_gain_dbd:\t" + FormatFixed(2, MaxGainDbd));
    text += KeywordLine("horz_3db_beamwidth:", HorzBeamwidth, "\t");
    text += LineEnd("date_measured:\t" + dateMeasured);
    text += LineEnd("freq_measured_mhz:\t" + FormatGeneral(Frequency));
    text += LineEnd("lower_freq_mhz:");
    text += LineEnd("upper_freq_mhz:");
    text += LineEnd("electrical_tilt:\t" + FormatFixed(2, ElectricalTilt));
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

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%m-%d-%Y", &local);
    return buffer;
}

}  // namespace ostrel

#include "formats/PlanningFiles.h"

#include <cmath>
#include <ctime>
#include <optional>
#include <utility>

#include "formats/LineCursor.h"
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

// An empty point list with room for a usual cut.
TRealPointList UsualPointList() {
    TRealPointList points;
    points.Reserve(361);
    return points;
}

// A text that opens with a byte above ASCII (a byte-order mark, say) takes the
// line-by-line reading, which knows how the first line is to be treated.
bool StartsPlain(std::string_view text) {
    return text.empty() || static_cast<unsigned char>(text.front()) < 0x80;
}

// One data line outside the fast scan, with the reading of the line-by-line path; false
// when the line matches but a number does not convert (the load then takes that path,
// which reports the line).
template <bool (*Match)(std::string_view, std::string_view&, std::string_view&)>
bool ReadDataLine(std::string_view line, TRealPointList& points) {
    std::string_view angle;
    std::string_view level;
    if (!Match(line, angle, level)) return true;
    const std::optional<double> x = ParseNumber(angle);
    const std::optional<double> y = ParseNumber(level);
    if (!x || !y) return false;
    points.Add(*x, *y);
    return true;
}

bool IsOstrelHorizontalStart(std::string_view line) {
    return StartsWithNoCase(line, "HORIZONTAL") || StartsWithNoCase(line, "HOR_LOBE");
}

bool IsOstrelVerticalStart(std::string_view line) {
    return StartsWithNoCase(line, "VERTICAL") || StartsWithNoCase(line, "VER_LOBE");
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

// "KEYWORD value", or the keyword alone when the value is not stated.
std::string StatedLine(const std::string& keyword, bool stated, const char* separator,
                       const std::string& value) {
    return LineEnd(stated ? keyword + separator + value : keyword);
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
    result.Stated = tokens.size() > 1 && IsNumber(tokens[1]);
    if (tokens.size() > 2) {
        if (tokens[2] == "DBI") {
            result.Unit = guDbi;
        } else if (tokens[2] == "DBD") {
            result.Unit = guDbd;
        }
    }
    return result;
}

template <class TFind, class TGain>
void TOstrelFile::ReadHeader(TFind&& find, TGain&& gain) {
    Make = std::string(find("MAKE"));
    Frequency = TextToFloatDef(find("FREQUENCY"), 0);
    FrequencyStated = IsNumber(find("FREQUENCY"));
    std::string_view width = find("H_WIDTH");
    if (width.empty()) width = find("BEAM_WIDTH");
    HWidth = TextToFloatDef(width, 0);
    VWidth = TextToFloatDef(find("V_WIDTH"), 0);
    FrontToBack = TextToFloatDef(find("FRONT_TO_BACK"), 0);
    const TGainLine gainLine = gain();
    Gain = gainLine.Unit == guDbd ? gainLine.Value + 2.14 : gainLine.Value;
    GainStated = gainLine.Stated;
    Tilt = std::string(find("TILT"));
    ElectricalTilt = std::string(find("ELECTRICAL_TILT"));
}

void TOstrelFile::LoadFromText(std::string_view text) {
    if (!LoadUsualText(text)) LoadFromTextLineByLine(text);
}

void TOstrelFile::LoadFromTextLineByLine(std::string_view text) {
    const std::vector<std::string_view> lines = TrimmedLines(text);
    const int horizontal = FindSectionStart(lines, "HORIZONTAL", "HOR_LOBE");
    if (horizontal < 0) throw EFormatError("Cannot find Horizontal section.");
    const int vertical = FindSectionStart(lines, "VERTICAL", "VER_LOBE");
    if (vertical < 0) throw EFormatError("Cannot find Vertical section.");

    const int headerLast = horizontal - 1;
    ReadHeader([&](std::string_view keyword) { return FindValue(keyword, lines, headerLast); },
               [&] { return ParseGain(lines); });

    HorizontalPoints.Clear();
    VerticalPoints.Clear();
    ReadOstrelDataLines(lines, horizontal + 1, vertical - 1, HorizontalPoints);
    ReadOstrelDataLines(lines, vertical + 1, static_cast<int>(lines.size()) - 1, VerticalPoints);
}

// The usual shape in one pass: header lines, the horizontal section's line, its data lines,
// the vertical section's line, its data lines. Any other shape (sections missing or out of
// order, a level that does not convert) returns false with nothing changed, and the
// line-by-line reading gives the result or the error.
bool TOstrelFile::LoadUsualText(std::string_view text) {
    if (!StartsPlain(text)) return false;
    TLineCursor cursor(text);
    std::vector<std::string_view> header;
    if (!cursor.ReadHeaderLines(header, IsOstrelHorizontalStart, IsOstrelVerticalStart)) {
        return false;
    }
    TRealPointList horizontal = UsualPointList();
    TRealPointList vertical = UsualPointList();
    bool found = false;
    while (!found && !cursor.AtEnd()) {
        cursor.ReadNumberPairs<true>(horizontal);
        if (cursor.AtEnd()) break;
        const std::string_view line = cursor.Next();
        found = IsOstrelVerticalStart(line);
        if (!found && !ReadDataLine<MatchTokenAndRest>(line, horizontal)) return false;
    }
    if (!found) return false;
    while (!cursor.AtEnd()) {
        cursor.ReadNumberPairs<true>(vertical);
        if (cursor.AtEnd()) break;
        if (!ReadDataLine<MatchTokenAndRest>(cursor.Next(), vertical)) return false;
    }

    // Past the header every line is a section line, a data line whose first token is a
    // number, or a line of one token: the first "GAIN" line can only be a header line.
    const THeaderTokens tokens(header);
    ReadHeader([&](std::string_view keyword) { return tokens.First(keyword); },
               [&] { return ParseGain(header); });
    HorizontalPoints = std::move(horizontal);
    VerticalPoints = std::move(vertical);
    return true;
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
    // A line break in a text would end its header line and spoil the file.
    text += LineEnd("FILENAME " + OneLineText(RemoveExtension(FileNamePart(fileName))));
    text += LineEnd("MAKE " + OneLineText(Make));
    text +=
        StatedLine("FREQUENCY", FrequencyStated || Frequency != 0, " ", FormatGeneral(Frequency));
    text += KeywordLine("H_WIDTH", HWidth, " ");
    text += KeywordLine("V_WIDTH", VWidth, " ");
    text += KeywordLine("FRONT_TO_BACK", FrontToBack, " ");
    text += StatedLine("GAIN", GainStated || Gain != 0, " ", FormatFixed(2, Gain - 2.14) + " dBd");
    text += LineEnd("TILT " + OneLineText(Tilt));
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

void TVerizonFile::LoadFromTextLineByLine(std::string_view text) {
    const std::vector<std::string_view> lines = TrimmedLines(text);
    const int horizontal = FindSectionStart(lines, "HORIZONTAL_GAINS");
    if (horizontal < 0) throw EFormatError("Cannot find Horizontal section.");
    const int vertical = FindSectionStart(lines, "VERTICAL_GAINS");
    if (vertical < 0) throw EFormatError("Cannot find Vertical section.");

    const int last = horizontal - 1;
    ReadHeader([&](std::string_view key) { return FindValue(key, lines, last); });

    HorizontalPoints.Clear();
    VerticalPoints.Clear();
    ReadVerizonSection(lines, horizontal + 1, "Horizontal", HorizontalPoints);
    TRealPointList rows;
    ReadVerizonSection(lines, vertical + 1, "Vertical", rows);
    AdoptVerticalRows(rows);
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
    auto isVerticalStart = [](std::string_view line) {
        return StartsWithNoCase(line, "VERTICAL_GAINS");
    };
    TLineCursor cursor(text);
    std::vector<std::string_view> header;
    const auto isHorizontalStart = [](std::string_view line) {
        return StartsWithNoCase(line, "HORIZONTAL_GAINS");
    };
    if (!cursor.ReadHeaderLines(header, isHorizontalStart, isVerticalStart)) return false;
    TRealPointList horizontal = UsualPointList();
    TRealPointList rows = UsualPointList();
    bool closed = false;
    while (!closed && !cursor.AtEnd()) {
        cursor.ReadNumberPairs<false>(horizontal);
        if (cursor.AtEnd()) break;
        const std::string_view line = cursor.Next();
        closed = line == "END";
        if (closed) break;
        if (isVerticalStart(line) || !ReadDataLine<MatchTwoTokens>(line, horizontal)) {
            return false;
        }
    }
    bool found = false;
    while (closed && !found && !cursor.AtEnd()) found = isVerticalStart(cursor.Next());
    closed = false;
    while (found && !closed && !cursor.AtEnd()) {
        cursor.ReadNumberPairs<false>(rows);
        if (cursor.AtEnd()) break;
        const std::string_view line = cursor.Next();
        closed = line == "END";
        if (!closed && !ReadDataLine<MatchTwoTokens>(line, rows)) return false;
    }
    if (!closed || rows.Count() < 360 || horizontal.Count() == 0) return false;

    const THeaderTokens tokens(header);
    ReadHeader([&](std::string_view key) { return tokens.Last(key); });
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

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%m-%d-%Y", &local);
    return buffer;
}

}  // namespace ostrel

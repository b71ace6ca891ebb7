#include "formats/PlanningFiles.h"

#include <cmath>
#include <ctime>
#include <limits>
#include <optional>
#include <utility>

#include "formats/CircularCuts.h"
#include "formats/LineCursor.h"
#include "formats/LineMatchers.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

int LastIndexWithin(const std::vector<std::string_view>& lines, int lastIndex) {
    return std::min(lastIndex, static_cast<int>(lines.size()) - 1);
}

// Where the two sections of a file start, found in one walk: a walker standing just past each
// section's first line, that line's number, and the text before the first section's line.
struct TSectionStarts {
    std::optional<TTextLineWalker> First;
    std::optional<TTextLineWalker> Second;
    long long SecondLine = 0;
    std::string_view Header;
};

template <class TFirst, class TSecond>
TSectionStarts FindSectionStarts(std::string_view text, TFirst&& isFirst, TSecond&& isSecond) {
    TSectionStarts starts;
    TTextLineWalker walker(text);
    std::string_view raw;
    while ((!starts.First || !starts.Second) && walker.Next(raw)) {
        const std::string_view line = TrimLine(raw);
        if (!starts.First && isFirst(line)) {
            starts.First = walker;
            starts.Header = text.substr(0, static_cast<size_t>(raw.data() - text.data()));
        } else if (!starts.Second && isSecond(line)) {
            starts.Second = walker;
            starts.SecondLine = walker.Number();
        }
    }
    return starts;
}

// Reads the lines after the walker's place and before line `endLine` as data lines: "angle
// level" where the level is the whole rest of the line. A line that matches but does not
// convert fails the read.
void ReadOstrelDataLines(TTextLineWalker walker, long long endLine, TRealPointList& points) {
    std::string_view raw;
    std::string_view angle;
    std::string_view level;
    while (walker.Number() + 1 < endLine && walker.Next(raw)) {
        if (MatchTokenAndRest(TrimLine(raw), angle, level)) {
            const double x = TextToFloat(angle, walker.Number());
            const double y = TextToFloat(level, walker.Number());
            points.Add(x, y);
        }
    }
}

// Reads data lines ("angle gain ...") after the walker's place up to the first line that is
// exactly "END". A section that is never closed fails the read.
void ReadVerizonSection(TTextLineWalker walker, const char* sectionName, TRealPointList& points) {
    std::string_view raw;
    std::string_view angle;
    std::string_view gain;
    while (walker.Next(raw)) {
        const std::string_view line = TrimLine(raw);
        if (line == "END") return;
        if (MatchTwoTokens(line, angle, gain)) {
            const double x = TextToFloat(angle, walker.Number());
            const double y = TextToFloat(gain, walker.Number());
            points.Add(x, y);
        }
    }
    throw EFormatError(std::string("Cannot find END of ") + sectionName + " section.");
}

// Resampling divides by the width of the interval that first holds each whole degree; one of
// no width, two points in a row at that degree, fails the load. The failure names the angle
// and the lines of both points, which a walk over the section's data lines (after the
// walker's place, `Match` telling them) finds.
template <bool (*Match)(std::string_view, std::string_view&, std::string_view&)>
void RefuseZeroWidth(const TRealPointList& points, TTextLineWalker walker) {
    const int interval = ZeroWidthInterval(points);
    if (interval < 0) return;
    std::string_view raw;
    std::string_view first;
    std::string_view second;
    long long earlierLine = 0;
    for (int index = -1; index <= interval && walker.Next(raw);) {
        if (!Match(TrimLine(raw), first, second)) continue;
        if (++index == interval) earlierLine = walker.Number();
    }
    const double angle = points.PointAt(interval).X;
    throw EFormatError(RepeatedAngleMessage("Angle", angle, angle, earlierLine, walker.Number()));
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
    const int index = FindLine("GAIN", lines, static_cast<int>(lines.size()) - 1);
    return index < 0 ? TGainLine{} : ParseGainLine(lines[static_cast<size_t>(index)]);
}

TOstrelFile::TGainLine TOstrelFile::ParseGainLine(std::string_view line) {
    TGainLine result;
    if (line.empty()) return result;
    const std::string upper = AsciiUpperCase(line);
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
    Gain = gainLine.Unit == guDbd ? gainLine.Value + kDipoleGainDbi : gainLine.Value;
    GainStated = gainLine.Stated;
    Tilt = std::string(find("TILT"));
    ElectricalTilt = std::string(find("ELECTRICAL_TILT"));
}

void TOstrelFile::LoadFromText(std::string_view text) {
    if (!LoadUsualText(text)) LoadFromTextLineByLine(text);
}

namespace {

constexpr std::string_view kOstrelKeywords[] = {"MAKE",       "FREQUENCY", "H_WIDTH",
                                                "BEAM_WIDTH", "V_WIDTH",   "FRONT_TO_BACK",
                                                "GAIN",       "TILT",      "ELECTRICAL_TILT"};

// The first line of the text whose first token is "GAIN" and which has a second token.
std::string_view FirstGainLine(std::string_view text) {
    constexpr std::string_view kGain[] = {"GAIN"};
    return THeaderTokens(text, kGain, THeaderTokens::FirstLineWins).Line("GAIN");
}

}  // namespace

void TOstrelFile::LoadFromTextLineByLine(std::string_view text) {
    const TSectionStarts sections =
        FindSectionStarts(text, IsOstrelHorizontalStart, IsOstrelVerticalStart);
    if (!sections.First) throw EFormatError("Cannot find Horizontal section.");
    if (!sections.Second) throw EFormatError("Cannot find Vertical section.");

    const THeaderTokens tokens(sections.Header, kOstrelKeywords, THeaderTokens::FirstLineWins);
    ReadHeader([&](std::string_view keyword) { return tokens.Value(keyword); },
               [&] { return ParseGainLine(FirstGainLine(text)); });

    HorizontalPoints.Clear();
    VerticalPoints.Clear();
    ReadOstrelDataLines(*sections.First, sections.SecondLine, HorizontalPoints);
    ReadOstrelDataLines(*sections.Second, std::numeric_limits<long long>::max(), VerticalPoints);
}

void TOstrelFile::RefuseRepeatedDegree(std::string_view text) const {
    const TSectionStarts sections =
        FindSectionStarts(text, IsOstrelHorizontalStart, IsOstrelVerticalStart);
    if (!sections.First || !sections.Second) return;
    RefuseZeroWidth<MatchTokenAndRest>(HorizontalPoints, *sections.First);
    RefuseZeroWidth<MatchTokenAndRest>(VerticalPoints, *sections.Second);
}

// The usual shape in one pass: header lines, the horizontal section's line, its data lines,
// the vertical section's line, its data lines. Any other shape (sections missing or out of
// order, a level that does not convert) returns false with nothing changed, and the
// line-by-line reading gives the result or the error.
bool TOstrelFile::LoadUsualText(std::string_view text) {
    if (!StartsPlain(text)) return false;
    TLineCursor cursor(text);
    std::string_view header;
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
    const THeaderTokens tokens(header, kOstrelKeywords, THeaderTokens::FirstLineWins);
    ReadHeader([&](std::string_view keyword) { return tokens.Value(keyword); },
               [&] { return ParseGainLine(tokens.Line("GAIN")); });
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
    text += StatedLine("GAIN", GainStated || Gain != 0, " ",
                       FormatFixed(2, Gain - kDipoleGainDbi) + " dBd");
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
        const std::string_view line = cursor.Next();
        closed = line == "END";
        if (closed) break;
        if (IsVerizonVerticalStart(line) || !ReadDataLine<MatchTwoTokens>(line, horizontal)) {
            return false;
        }
    }
    bool found = false;
    while (closed && !found && !cursor.AtEnd()) found = IsVerizonVerticalStart(cursor.Next());
    closed = false;
    while (found && !closed && !cursor.AtEnd()) {
        cursor.ReadNumberPairs<false>(rows);
        if (cursor.AtEnd()) break;
        const std::string_view line = cursor.Next();
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

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%m-%d-%Y", &local);
    return buffer;
}

}  // namespace ostrel

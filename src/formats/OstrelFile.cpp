#include "formats/PlanningFiles.h"

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "formats/HeaderTokens.h"
#include "formats/LineMatchers.h"
#include "formats/PlanningText.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

// Reads the lines after the cursor's place and before line `endLine` as data lines: "angle
// level" where the level is the whole rest of the line. A line that matches but does not
// convert fails the read.
void ReadOstrelDataLines(TLineCursor cursor, long long endLine, TRealPointList& points) {
    std::string_view raw;
    std::string_view angle;
    std::string_view level;
    while (cursor.Number() + 1 < endLine && cursor.Next(raw)) {
        if (MatchTokenAndRest(TrimLine(raw), angle, level)) {
            const double x = TextToFloat(angle, cursor.Number());
            const double y = TextToFloat(level, cursor.Number());
            points.Add(x, y);
        }
    }
}

bool IsOstrelHorizontalStart(std::string_view line) {
    return StartsWithNoCase(line, "HORIZONTAL") || StartsWithNoCase(line, "HOR_LOBE");
}

bool IsOstrelVerticalStart(std::string_view line) {
    return StartsWithNoCase(line, "VERTICAL") || StartsWithNoCase(line, "VER_LOBE");
}

}  // namespace

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
        const std::string_view line = cursor.NextTrimmed();
        found = IsOstrelVerticalStart(line);
        if (!found && !ReadDataLine<MatchTokenAndRest>(line, horizontal)) return false;
    }
    if (!found) return false;
    while (!cursor.AtEnd()) {
        cursor.ReadNumberPairs<true>(vertical);
        if (cursor.AtEnd()) break;
        if (!ReadDataLine<MatchTokenAndRest>(cursor.NextTrimmed(), vertical)) return false;
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

}  // namespace ostrel

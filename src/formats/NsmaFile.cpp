#include "formats/NsmaFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <optional>

#include "formats/CircularCuts.h"
#include "formats/PatternWriters.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

// A header key, whether the file must have it, and the longest record it may make (key,
// ":,", value; 0 when the format sets no limit that matters here).
struct TNsmaKey {
    const char* Name;
    bool Required;
    size_t MaxRecord;
};

// The header records of WG16.99.050 in their order, NOFREQ last.
constexpr TNsmaKey kHeaderKeys[] = {
    {"REVNUM", true, 42},  {"REVDAT", true, 16},  {"COMNT1", false, 80}, {"COMNT2", false, 80},
    {"ANTMAN", true, 42},  {"MODNUM", true, 42},  {"PATNUM", false, 42}, {"FILNUM", false, 42},
    {"FEDORN", false, 42}, {"DESCR1", false, 80}, {"DESCR2", false, 80}, {"DESCR3", false, 80},
    {"DESCR4", false, 80}, {"DESCR5", false, 80}, {"DTDATA", false, 16}, {"LOWFRQ", true, 21},
    {"HGHFRQ", true, 21},  {"GUNITS", true, 15},  {"LWGAIN", false, 0},  {"MDGAIN", true, 0},
    {"HGGAIN", false, 0},  {"AZWIDT", false, 0},  {"ELWIDT", false, 0},  {"CONTYP", false, 80},
    {"ATVSWR", false, 0},  {"FRTOBA", false, 0},  {"ELTILT", true, 0},   {"RADCTR", false, 0},
    {"POTOPO", false, 0},  {"MAXPOW", false, 0},  {"ANTLEN", false, 0},  {"ANTWID", false, 0},
    {"ANTDEP", false, 0},  {"ANTWGT", false, 0},  {"FIELD1", false, 80}, {"FIELD2", false, 80},
    {"FIELD3", false, 80}, {"FIELD4", false, 80}, {"FIELD5", false, 80}, {"PATTYP", true, 16},
    {"NOFREQ", true, 0},
};

static_assert(std::string_view(std::end(kHeaderKeys)[-1].Name) == "NOFREQ");

constexpr size_t kMaxPointRecord = 28;

// The index of the header key `name` names in any case, -1 when it names none. Records
// come in the keys' order, so the search starts past the record before (`after`) and only
// a record out of order needs the keys before it.
int HeaderIndex(std::string_view name, int after) {
    const int count = static_cast<int>(std::size(kHeaderKeys));
    for (int k = 0; k < count; ++k) {
        const int i = (after + 1 + k) % count;
        if (EqualsNoCase(name, kHeaderKeys[i].Name)) return i;
    }
    return -1;
}

// "KEY:,value": the key as written and the value trimmed. False for any other line.
bool SplitRecord(std::string_view line, std::string_view& key, std::string_view& value) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    const std::string_view name = TrimLine(line.substr(0, colon));
    for (char c : name) {
        const bool alnum =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alnum) return false;
    }
    std::string_view rest = TrimLine(line.substr(colon + 1));
    if (!rest.empty() && rest.front() == ',') rest = TrimLine(rest.substr(1));
    key = name;
    value = rest;
    return true;
}

// The usual point record read from the untrimmed line at p: blanks, "angle,value" or
// "angle,value," with plain decimals, blanks, then the line end or `end`. Returns where the
// record ends (its line end or `end`), or null for any other line, which Point then reads
// (and refuses, when it must) as the trimmed line it is: the values are the same.
const char* ScanPointRecord(const char* p, const char* end, bool lineEndFollows, double& angle,
                            double& level) {
    auto isBlank = [](char c) {
        return static_cast<unsigned char>(c) <= ' ' && c != '\n' && c != '\r';
    };
    auto scan = [end, lineEndFollows](const char* from, double& value) {
        return lineEndFollows ? ScanPlainDecimalBeforeLineEnd(from, value)
                              : ScanPlainDecimal(from, end, value);
    };
    while (p < end && isBlank(*p)) ++p;
    p = scan(p, angle);
    if (p == nullptr || p == end || *p != ',') return nullptr;
    p = scan(p + 1, level);
    if (p == nullptr) return nullptr;
    if (p < end && *p == ',') ++p;
    while (p < end && isBlank(*p)) ++p;
    if (p < end && *p != '\n' && *p != '\r') return nullptr;
    if (!(std::fabs(angle) <= 360)) return nullptr;
    return p;
}

// Reads the records after the header one by one, each failure naming what was expected.
class TNsmaBodyReader {
public:
    TNsmaBodyReader(TNonBlankLines& lines, std::string_view text)
        : FLines(lines), FTextEnd(text.data() + text.size()) {}

    // The value of the next record, which must be `key`.
    std::string_view Expect(const char* key) {
        const TNumberedLine line = NextLine(key, " record");
        std::string_view found;
        std::string_view value;
        if (!SplitRecord(line.Text, found, value) || !EqualsNoCase(found, key)) {
            throw EFormatError(std::string("Expected the ") + key + " record, found " +
                               QuotedFileText(line.Text) + LineSuffix(line.Number));
        }
        FLastLine = line.Number;
        return value;
    }
    // The next record's value when it is `key`; nothing moves otherwise.
    bool Optional(const char* key) {
        if (FLines.AtEnd()) return false;
        std::string_view found;
        std::string_view value;
        if (!SplitRecord(FLines.Peek().Text, found, value) || !EqualsNoCase(found, key))
            return false;
        FLines.Take();
        return true;
    }
    int Count(const char* key) {
        const std::string_view value = Expect(key);
        const std::optional<double> count = ParseNumber(value);
        if (!count || *count < 0 || *count != std::floor(*count) || *count > 1e6) {
            throw EFormatError(std::string(key) + " " + QuotedFileText(value) + " is not a count" +
                               LineSuffix(FLastLine));
        }
        return static_cast<int>(*count);
    }
    double Number(const char* key, std::string_view text) const {
        const std::optional<double> value = ParseNumber(text);
        if (!value) {
            throw EFormatError(std::string(key) + " " + QuotedFileText(text) + " is not a number" +
                               LineSuffix(FLastLine));
        }
        return *value;
    }
    // `count` "angle,value," records of the cut `cutName`, added to `points` with their line
    // numbers in `pointLines`.
    void Points(const std::string& cutName, int count, TRealPointList& points,
                std::vector<long long>& pointLines) {
        int read = 0;
        auto readRecord = [&](const char* p, const char* end, bool lineEndFollows,
                              long long number) -> const char* {
            if (read == count) return nullptr;
            double angle = 0;
            double level = 0;
            const char* const recordEnd = ScanPointRecord(p, end, lineEndFollows, angle, level);
            if (recordEnd == nullptr) return nullptr;
            points.Add(angle, level);
            pointLines.push_back(number);
            FLastLine = number;
            ++read;
            return recordEnd;
        };
        while (read < count) {
            FLines.ReadRecords(readRecord);
            if (read == count) break;
            // Any other line (blanks inside, a long number, an error) is read field by field.
            const TRealPoint point = Point(cutName);
            points.Add(point.X, point.Y);
            pointLines.push_back(FLastLine);
            ++read;
        }
    }
    // One "angle,value," record of the cut `cutName`.
    TRealPoint Point(const std::string& cutName) {
        const TNumberedLine line = NextLine("point of cut ", cutName);
        // The usual record, "angle,value" or "angle,value," with plain decimals and no
        // blanks, read straight from the bytes; the same values the field by field reading
        // below gives, which takes every other record.
        const char* const end = line.Text.data() + line.Text.size();
        double angle = 0;
        double level = 0;
        // A line with text after it ends in a blank, which stops the scan as the line's end
        // would, so the scan need not test every position; only the file's last line needs it.
        const bool blankFollows = end < FTextEnd;
        auto scan = [end, blankFollows](const char* from, double& value) {
            return blankFollows ? ScanPlainDecimalBeforeLineEnd(from, value)
                                : ScanPlainDecimal(from, end, value);
        };
        const char* p = scan(line.Text.data(), angle);
        if (p != nullptr && p < end && *p == ',') {
            p = scan(p + 1, level);
            const bool closed = p != nullptr && (p == end || (*p == ',' && p + 1 == end));
            if (closed && std::fabs(angle) <= 360) return {angle, level};
        }
        return PointByFields(cutName, line);
    }
    long long LastLine() const { return FLastLine; }

private:
    TRealPoint PointByFields(const std::string& cutName, const TNumberedLine& line) const {
        std::string_view fields[3];
        size_t count = 0;
        std::string_view rest = line.Text;
        for (;;) {
            const size_t comma = rest.find(',');
            if (count == 3) {
                count = 4;
                break;
            }
            fields[count++] = TrimLine(rest.substr(0, comma));
            if (comma == std::string_view::npos) break;
            rest = rest.substr(comma + 1);
        }
        const bool shapeOk = count == 2 || (count == 3 && fields[2].empty());
        const std::optional<double> angle = shapeOk ? ParseNumber(fields[0]) : std::nullopt;
        const std::optional<double> level = shapeOk ? ParseNumber(fields[1]) : std::nullopt;
        if (!angle || !level || std::fabs(*angle) > 360) {
            throw EFormatError("Point of cut " + cutName + " is not 'angle,value,': " +
                               QuotedFileText(line.Text) + LineSuffix(line.Number));
        }
        return {*angle, *level};
    }

    // The next line; at the end of the file, the error names what was expected there (the
    // text of `what` and `name`, joined only then: this runs for every point).
    TNumberedLine NextLine(std::string_view what, std::string_view name) {
        if (FLines.AtEnd()) {
            throw EFormatError("The file ends where the " + std::string(what) + std::string(name) +
                               " should be" + LineSuffix(FLines.EndLine()));
        }
        FLastLine = FLines.Peek().Number;
        return FLines.Take();
    }

    TNonBlankLines& FLines;
    const char* FTextEnd;
    long long FLastLine = 0;
};

bool SameAngle(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

std::string Record(const std::string& key, const std::string& value, size_t maxRecord) {
    const std::string line = key + ":," + OneLineText(value);
    if (maxRecord == 0) return line + "\r\n";
    return std::string(CutAtCharacter(line, maxRecord)) + "\r\n";
}

}  // namespace

void TNsmaFile::LoadFromFile(const std::string& fileName) {
    LoadFromText(ReadFileBytes(fileName));
}

void TNsmaFile::LoadFromText(std::string_view text) {
    TNonBlankLines lines(text);
    std::vector<std::pair<std::string, std::string>> header;
    header.reserve(std::size(kHeaderKeys));
    std::array<bool, std::size(kHeaderKeys)> seen{};
    int order = -1;
    long long noFreqLine = 0;
    while (noFreqLine == 0) {
        if (lines.AtEnd()) {
            throw EFormatError("The file ends before the NOFREQ record" +
                               LineSuffix(lines.EndLine()));
        }
        const TNumberedLine line = lines.Take();
        std::string_view name;
        std::string_view value;
        if (!SplitRecord(line.Text, name, value)) {
            throw EFormatError("Expected a 'KEY:,value' header record, found " +
                               QuotedFileText(line.Text) + LineSuffix(line.Number));
        }
        const int index = HeaderIndex(name, order);
        if (index < 0) {
            throw EFormatError("Unknown header record " + AsciiUpperCase(name) +
                               LineSuffix(line.Number));
        }
        const std::string_view key = kHeaderKeys[static_cast<size_t>(index)].Name;
        if (index <= order) {
            throw EFormatError("The " + std::string(key) + " record is out of order or repeated" +
                               LineSuffix(line.Number));
        }
        order = index;
        seen[static_cast<size_t>(index)] = true;
        header.emplace_back(key, value);
        if (index == static_cast<int>(std::size(kHeaderKeys)) - 1) noFreqLine = line.Number;
    }
    for (size_t i = 0; i < std::size(kHeaderKeys); ++i) {
        if (kHeaderKeys[i].Required && !seen[i]) {
            throw EFormatError(std::string("The required ") + kHeaderKeys[i].Name +
                               " record is missing before NOFREQ" + LineSuffix(noFreqLine));
        }
    }
    const std::string& noFreqText = header.back().second;
    TNsmaBodyReader body(lines, text);
    const std::optional<double> frequencies = ParseNumber(noFreqText);
    if (!frequencies || *frequencies < 1 || *frequencies != std::floor(*frequencies) ||
        *frequencies > 1000) {
        throw EFormatError("NOFREQ " + QuotedFileText(noFreqText) +
                           " is not a count of frequencies" + LineSuffix(noFreqLine));
    }

    std::vector<TNsmaFrequency> read(static_cast<size_t>(*frequencies));
    std::vector<long long> pointLines;
    for (TNsmaFrequency& frequency : read) {
        // A PATFRE that is no number leaves the pattern at the mid-band frequency.
        frequency.FrequencyText = std::string(body.Expect("PATFRE"));
        const int cuts = body.Count("NUMCUT");
        for (int c = 0; c < cuts; ++c) {
            TNsmaCut cut;
            cut.Name = AsciiUpperCase(body.Expect("PATCUT"));
            cut.Line = body.LastLine();
            cut.Polarization = AsciiUpperCase(body.Expect("POLARI"));
            const int points = body.Count("NUPOIN");
            const std::string_view range = body.Expect("FSTLST");
            const long long rangeLine = body.LastLine();
            const size_t comma = range.find(',');
            const double first = body.Number("FSTLST", FirstField(range));
            const double last = body.Number("FSTLST", comma == std::string_view::npos
                                                          ? std::string_view()
                                                          : FirstField(range.substr(comma + 1)));
            for (const char* orientation : {"XORIEN", "YORIEN", "ZORIEN"})
                body.Optional(orientation);
            const std::string cutName =
                VisibleControlBytes(cut.Name + " at " + frequency.FrequencyText);
            cut.Points.Reserve(points);
            pointLines.clear();
            pointLines.reserve(static_cast<size_t>(points));
            body.Points(cutName, points, cut.Points, pointLines);
            if (points == 0 || !SameAngle(cut.Points.GetPoint(0).X, first) ||
                !SameAngle(cut.Points.GetPoint(points - 1).X, last)) {
                throw EFormatError("FSTLST " + QuotedFileText(range) + " of cut " + cutName +
                                   " does not match its first and last points" +
                                   LineSuffix(rangeLine));
            }
            RefuseRepeatedDirection(cut.Points, pointLines, "Angle");
            frequency.Cuts.push_back(std::move(cut));
        }
    }
    if (!SameIgnoringAsciiCase(body.Expect("ENDFIL"), "EOF")) {
        throw EFormatError("ENDFIL must say EOF" + LineSuffix(body.LastLine()));
    }
    if (!lines.AtEnd()) {
        throw EFormatError("Text follows the ENDFIL record" + LineSuffix(lines.Peek().Number));
    }
    Header = std::move(header);
    Frequencies = std::move(read);
}

std::string TNsmaFile::Value(std::string_view key) const {
    for (const auto& [name, value] : Header) {
        if (name == key) return value;
    }
    return {};
}

void TNsmaFile::SetValue(const std::string& key, const std::string& value) {
    for (auto& [name, text] : Header) {
        if (name == key) {
            text = value;
            return;
        }
    }
    Header.emplace_back(key, value);
}

std::string TNsmaFile::SaveToText() const {
    std::string text;
    for (const TNsmaKey& key : kHeaderKeys) {
        const std::string name = key.Name;
        if (name == "NOFREQ") {
            text += Record(name, std::to_string(Frequencies.size()), 0);
            continue;
        }
        const bool present = std::any_of(Header.begin(), Header.end(),
                                         [&](const auto& entry) { return entry.first == name; });
        if (present || key.Required) text += Record(name, Value(name), key.MaxRecord);
    }
    for (const TNsmaFrequency& frequency : Frequencies) {
        text += Record("PATFRE", frequency.FrequencyText, kMaxFrequencyRecord);
        text += Record("NUMCUT", std::to_string(frequency.Cuts.size()), 0);
        for (const TNsmaCut& cut : frequency.Cuts) {
            const std::vector<TRealPoint>& points = cut.Points.Points();
            if (points.empty()) throw EFormatError("The cut " + cut.Name + " has no points.");
            text += Record("PATCUT", cut.Name, 11);
            text += Record("POLARI", cut.Polarization, 15);
            text += Record("NUPOIN", std::to_string(points.size()), 0);
            text +=
                Record("FSTLST",
                       FormatGeneral(points.front().X) + "," + FormatGeneral(points.back().X), 0);
            for (const TRealPoint& point : points) {
                std::string line = FormatGeneral(point.X) + "," + WrittenLevel(point.Y) + ",";
                if (line.size() > kMaxPointRecord) {
                    throw EFormatError("The point '" + line + "' is too long for an NSMA file.");
                }
                text += line + "\r\n";
            }
        }
    }
    text += "ENDFIL:,EOF\r\n";
    return text;
}

std::string_view FirstField(std::string_view value) {
    return TrimLine(value.substr(0, value.find(',')));
}

bool LooksLikeNsmaText(std::string_view text) {
    const TNonBlankLines lines(text.substr(0, 4096));
    if (lines.AtEnd()) return false;
    const std::string_view line = lines.Peek().Text;
    return StartsWithNoCase(line, "REVNUM") && TrimLine(line.substr(6)).substr(0, 1) == ":";
}

}  // namespace ostrel

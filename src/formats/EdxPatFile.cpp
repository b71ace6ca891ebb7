#include "formats/EdxPatFile.h"

#include <cmath>
#include <optional>

#include "formats/CircularCuts.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

// A field strength of 0 has no level in dB; it is taken as this deep null.
constexpr double kFloorDb = -100.0;

// The fields of a line, separated by commas and/or blanks.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ',' || static_cast<unsigned char>(line[i]) <= ' ')) {
            ++i;
        }
        const size_t start = i;
        while (i < line.size() && line[i] != ',' && static_cast<unsigned char>(line[i]) > ' ') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// The non-blank lines of the file in order, each with its 1-based number.
class TEdxLines {
public:
    explicit TEdxLines(std::string_view text) : FLines(text) {}

    bool AtEnd() const { return FLines.AtEnd(); }
    // The next non-blank line; `expected` names it in the error when the file ends first.
    std::string_view Next(const std::string& expected) {
        if (AtEnd()) {
            throw EFormatError("The file ends where " + expected + " should be" +
                               LineSuffix(FLines.EndLine()));
        }
        const TNumberedLine line = FLines.Take();
        FLine = line.Number;
        return line.Text;
    }
    // True when the line after the last one read holds a single number, as a slice's
    // azimuth line does.
    bool NextIsOneNumber() const {
        if (AtEnd()) return false;
        const std::vector<std::string_view> fields = Fields(FLines.Peek().Text);
        return fields.size() == 1 && ParseNumber(fields[0]).has_value();
    }
    long long Line() const { return FLine; }

    // Two numbers on the next line.
    TRealPoint Pair(const std::string& expected) {
        const std::string_view line = Next(expected);
        const std::vector<std::string_view> fields = Fields(line);
        std::optional<double> x;
        std::optional<double> y;
        if (fields.size() == 2) {
            x = ParseNumber(fields[0]);
            y = ParseNumber(fields[1]);
        }
        if (!x || !y) {
            throw EFormatError("Expected " + expected + ", found " + QuotedFileText(line) +
                               LineSuffix(FLine));
        }
        return {*x, *y};
    }

private:
    TNonBlankLines FLines;
    long long FLine = 0;
};

// A value of the file as a level in dB.
double LevelDb(double value, int kyPat, long long line) {
    if (kyPat == 2) return value;
    if (value < 0) {
        throw EFormatError("A relative field strength cannot be negative" + LineSuffix(line));
    }
    return value == 0 ? kFloorDb : std::max(kFloorDb, 20 * std::log10(value));
}

bool IsWhole(double value, double low, double high) {
    return value == std::floor(value) && value >= low && value <= high;
}

}  // namespace

void TEdxPatFile::LoadFromFile(const std::string& fileName) {
    LoadFromText(ReadFileBytes(fileName));
}

void TEdxPatFile::LoadFromText(std::string_view text) {
    TEdxLines lines(text);
    const std::string_view title = lines.Next("the line 'name', gain, kypat");
    const size_t close = title.find('\'', 1);
    if (title.empty() || title.front() != '\'' || close == std::string_view::npos) {
        throw EFormatError("The first line must be 'name', gain, kypat, not " +
                           QuotedFileText(title) + LineSuffix(lines.Line()));
    }
    const std::vector<std::string_view> figures = Fields(title.substr(close + 1));
    const std::optional<double> gain = figures.size() == 2 ? ParseNumber(figures[0]) : std::nullopt;
    const std::optional<double> kyPat =
        figures.size() == 2 ? ParseNumber(figures[1]) : std::nullopt;
    if (!gain || !kyPat || (*kyPat != 1 && *kyPat != 2)) {
        throw EFormatError("The first line needs a gain and kypat 1 or 2 after the name" +
                           LineSuffix(lines.Line()));
    }
    const int key = static_cast<int>(*kyPat);

    TRealPointList horizontal;
    std::vector<long long> pointLines;
    for (;;) {
        const std::string_view line = lines.Next("the azimuth pattern's closing 999");
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.size() == 1 && ParseNumber(fields[0]) == 999.0) break;
        const std::optional<double> angle =
            fields.size() == 2 ? ParseNumber(fields[0]) : std::nullopt;
        const std::optional<double> value =
            fields.size() == 2 ? ParseNumber(fields[1]) : std::nullopt;
        if (!angle || !value || *angle < -180 || *angle > 360) {
            throw EFormatError("Expected an azimuth 'angle, value' line or 999, found " +
                               QuotedFileText(line) + LineSuffix(lines.Line()));
        }
        if (horizontal.Count() > 0) {
            const double step = *angle - horizontal.Points().back().X;
            // The slice counts read as an azimuth line, with a slice's azimuth after them.
            if ((step <= 0 || step > 45) && lines.NextIsOneNumber()) {
                throw EFormatError(
                    "The azimuth pattern's closing 999 is missing: this line and the next "
                    "read as the slice counts and a slice's azimuth" +
                    LineSuffix(lines.Line()));
            }
            if (step <= 0) {
                throw EFormatError("Azimuth angles must ascend" + LineSuffix(lines.Line()));
            }
            if (step > 45) {
                throw EFormatError("Azimuth step larger than 45 degrees" +
                                   LineSuffix(lines.Line()));
            }
        }
        horizontal.Add(*angle, LevelDb(*value, key, lines.Line()));
        pointLines.push_back(lines.Line());
    }
    if (horizontal.Count() < 2) {
        throw EFormatError("The azimuth pattern needs two points at least" +
                           LineSuffix(lines.Line()));
    }
    RefuseRepeatedDirection(horizontal, pointLines, "Azimuth");

    const TRealPoint counts = lines.Pair("the line 'slices, points'");
    if (!IsWhole(counts.X, 0, 360) || !IsWhole(counts.Y, 0, 100000)) {
        throw EFormatError("The slice counts must be whole numbers" + LineSuffix(lines.Line()));
    }
    std::vector<TEdxSlice> slices(static_cast<size_t>(counts.X));
    for (TEdxSlice& slice : slices) {
        const std::string_view line = lines.Next("a slice's azimuth");
        const std::vector<std::string_view> fields = Fields(line);
        const std::optional<double> azimuth =
            fields.size() == 1 ? ParseNumber(fields[0]) : std::nullopt;
        if (!azimuth) {
            throw EFormatError("Expected a slice's azimuth, found " + QuotedFileText(line) +
                               LineSuffix(lines.Line()));
        }
        slice.Azimuth = *azimuth;
        slice.Line = lines.Line();
        const std::string what =
            "an 'elevation, value' line of the slice at " + FormatGeneral(*azimuth);
        pointLines.clear();
        for (int k = 0; k < static_cast<int>(counts.Y); ++k) {
            const TRealPoint point = lines.Pair(what);
            if (std::fabs(point.X) > 90) {
                throw EFormatError("Elevation beyond 90 degrees" + LineSuffix(lines.Line()));
            }
            slice.Points.Add(point.X, LevelDb(point.Y, key, lines.Line()));
            pointLines.push_back(lines.Line());
        }
        RefuseRepeatedDirection(slice.Points, pointLines, "Elevation");
    }
    if (!lines.AtEnd()) {
        lines.Next({});
        throw EFormatError("Text follows the last slice" + LineSuffix(lines.Line()));
    }
    Name = std::string(title.substr(1, close - 1));
    GainDbi = *gain;
    KyPat = key;
    HorizontalPoints = std::move(horizontal);
    Slices = std::move(slices);
}

bool LooksLikeEdxPatText(std::string_view text) {
    const TNonBlankLines lines(text.substr(0, 4096));
    if (lines.AtEnd()) return false;
    const std::string_view line = lines.Peek().Text;
    const size_t close = line.find('\'', 1);
    return line.front() == '\'' && close != std::string_view::npos &&
           line.find(',', close) != std::string_view::npos;
}

namespace {

bool SameDirection(double azimuth, double direction) {
    const double turned = std::fmod(std::fabs(azimuth - direction), 360.0);
    return turned < 1e-9 || turned > 360 - 1e-9;
}

TRealPointList LevelledToPeak(TRealPointList points, const std::string& cutName) {
    TRealPointList folded = FoldedCircularCut(points, cutName);
    SubtractFromValues(folded, folded.MaxY());
    return folded;
}

}  // namespace

std::unique_ptr<TPatternData> MakeEdxPatPattern(const TEdxPatFile& file,
                                                const std::string& fileName,
                                                std::vector<std::string>* ignoredSlices) {
    const TEdxSlice* front = nullptr;
    const TEdxSlice* back = nullptr;
    for (const TEdxSlice& slice : file.Slices) {
        if (!front && SameDirection(slice.Azimuth, 0)) {
            front = &slice;
        } else if (!back && SameDirection(slice.Azimuth, 180)) {
            back = &slice;
        } else if (ignoredSlices) {
            ignoredSlices->push_back("slice at azimuth " + FormatGeneral(slice.Azimuth) +
                                     LineSuffix(slice.Line));
        }
    }
    if (!front) throw EFormatError("The file has no vertical slice at azimuth 0.");
    if (!back) throw EFormatError("The file has no vertical slice at azimuth 180.");
    TRealPointList vertical;
    for (const TRealPoint& point : front->Points.Points()) vertical.Add(-point.X, point.Y);
    for (const TRealPoint& point : back->Points.Points()) vertical.Add(180 + point.X, point.Y);

    auto pattern = std::make_unique<TPatternData>();
    pattern->FileName = fileName;
    pattern->Gain.SetValue(file.GainDbi);
    BuildPatternCuts(LevelledToPeak(file.HorizontalPoints, "azimuth"),
                     LevelledToPeak(vertical, "vertical"), *pattern);
    return pattern;
}

}  // namespace ostrel

#include "formats/EdxFile.h"

#include <algorithm>
#include <array>

#include "formats/LineMatchers.h"
#include "formats/TextLines.h"
#include "model/Errors.h"
#include "model/MainModel.h"
#include "model/NumberText.h"
#include "model/PlatformServices.h"

namespace ostrel {

namespace {

constexpr int kFirstAzimuthLine = 1;
constexpr int kLastAzimuthLine = 360;
constexpr int kCutCountLine = 362;
constexpr int kBlockLines = 182;  // a label line and 181 data lines
constexpr int kCutPoints = 181;
constexpr int kExpandedPoints = 360;
constexpr double kBackHalfLevelDb = -60;
constexpr char kCutNamePrefix[] = "az_angle_ref_";

// Lines 0..361: the title, then the azimuth pattern, where a line counts only when it matches
// and both parts are numbers; anything else (a unit after the level, a blank line, a missing
// line) is passed over. Line 361 is not read.
void ReadAzimuthLines(TLineCursor& walker, TRealPointList& points) {
    std::string_view line;
    std::string_view angle;
    std::string_view level;
    while (walker.Number() < kCutCountLine && walker.Next(line)) {
        const long long index = walker.Number() - 1;
        if (index < kFirstAzimuthLine || index > kLastAzimuthLine) continue;
        if (!MatchCommaPair(line, angle, level)) continue;
        const auto x = ParseNumber(angle);
        const auto y = ParseNumber(level);
        if (x && y) points.Add(*x, *y);
    }
}

// Line 362, the walker standing before it.
int ReadCutCount(TLineCursor& walker) {
    std::string_view line;
    std::string_view count;
    std::string_view rest;
    if (walker.Number() != kCutCountLine || !walker.Next(line) ||
        !MatchCommaPair(line, count, rest)) {
        throw EConvertError("The number of vertical cuts is missing (line " +
                            std::to_string(kCutCountLine + 1) + ")");
    }
    return TextToInt(count, kCutCountLine + 1);
}

// Block `index` (0-based), the walker standing before it: its label line and the points of
// its matching data lines, every one of which must convert.
std::string ReadCutBlock(TLineCursor& walker, int index, TRealPointList& points) {
    const long long labelLine = kCutCountLine + 1 + static_cast<long long>(kBlockLines) * index;
    const long long lastLine = labelLine + kCutPoints;
    std::array<std::string_view, kBlockLines> block;
    for (std::string_view& line : block) {
        if (!walker.Next(line)) {
            throw EListError("The file ends at line " + std::to_string(walker.Number()) +
                             "; vertical cut " + std::to_string(index + 1) + " needs lines " +
                             std::to_string(labelLine + 1) + " to " + std::to_string(lastLine + 1));
        }
    }
    std::string_view angle;
    std::string_view level;
    points.Clear();
    points.Reserve(kCutPoints);
    for (size_t k = 1; k < block.size(); ++k) {
        if (MatchCommaPair(block[k], angle, level)) {
            const long long lineNumber = labelLine + static_cast<long long>(k) + 1;
            const double x = TextToFloat(angle, lineNumber);
            const double y = TextToFloat(level, lineNumber);
            points.Add(x, y);
        }
    }
    if (points.Count() < kCutPoints) {
        throw EListError("Vertical cut " + std::to_string(index + 1) + " (line " +
                         std::to_string(labelLine + 1) + ") has " + std::to_string(points.Count()) +
                         " data lines; " + std::to_string(kCutPoints) + " are needed");
    }
    return std::string(block[0]);
}

// Cut 36 opens and closes the table: 36..71, then 0..36.
std::vector<int> TableColumnOrder() {
    std::vector<int> order;
    for (int c = 36; c < TEdxFileEx::kTableCuts; ++c) order.push_back(c);
    for (int c = 0; c <= 36; ++c) order.push_back(c);
    return order;
}

using TCutFiles = std::vector<std::unique_ptr<TOstrelFile>>;

std::string BuildCutTable(const TCutFiles& cuts, const std::vector<std::string>& labels) {
    if (cuts.size() < static_cast<size_t>(TEdxFileEx::kTableCuts)) {
        throw EListError("The file has " + std::to_string(cuts.size()) +
                         " vertical cuts; the cut table needs at least " +
                         std::to_string(TEdxFileEx::kTableCuts));
    }
    const std::vector<int> order = TableColumnOrder();
    std::string text;
    for (int c : order) {
        text += '\t';
        text += labels[static_cast<size_t>(c)];
    }
    text += "\r\n";
    for (int elevation = -90; elevation <= 90; ++elevation) {
        const int position = elevation < 0 ? elevation + kExpandedPoints : elevation;
        text += FormatGeneral(elevation);
        for (int c : order) {
            text += '\t';
            text += FormatGeneral(cuts[static_cast<size_t>(c)]->VerticalPoints.PointAt(position).Y);
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace

void ExpandVerticalCut(const TRealPointList& source, TRealPointList& dest) {
    if (source.Count() < kCutPoints) {
        throw EListError("A vertical cut needs " + std::to_string(kCutPoints) + " points; it has " +
                         std::to_string(source.Count()));
    }
    dest.Clear();
    dest.Reserve(kExpandedPoints);
    for (int k = 90; k >= 0; --k) dest.AddPoint(source.PointAt(k));
    for (int x = 91; x <= 269; ++x) dest.Add(x, kBackHalfLevelDb);
    for (int k = 180; k >= 91; --k) dest.Add(450 - k, source.PointAt(k).Y);
}

void TEdxFileEx::LoadFromFile(const std::string& fileName) {
    const std::string bytes = ReadFileBytes(fileName);
    LoadFromText(bytes);
    FileName = fileName;
}

void TEdxFileEx::LoadFromText(std::string_view text) {
    TLineCursor walker(text);
    TRealPointList azimuth;
    ReadAzimuthLines(walker, azimuth);
    const int cutCount = ReadCutCount(walker);

    TCutFiles cuts;
    std::vector<std::string> labels;
    TRealPointList block;
    for (int b = 0; b < cutCount; ++b) {
        labels.push_back(ReadCutBlock(walker, b, block));
        auto cut = std::make_unique<TOstrelFile>();
        cut->FileName = kCutNamePrefix + labels.back();
        cut->HorizontalPoints.Assign(azimuth);
        ExpandVerticalCut(block, cut->VerticalPoints);
        cuts.push_back(std::move(cut));
    }
    std::string table = BuildCutTable(cuts, labels);

    // Only a file that read completely replaces what this object held.
    HorizontalPoints.Assign(azimuth);
    Cuts.Clear();
    for (auto& cut : cuts) Cuts.Add(std::move(cut));
    FCutTable = std::move(table);
}

std::vector<std::unique_ptr<TPatternData>> MakeEdxPatterns(const TEdxFileEx& file) {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    patterns.reserve(static_cast<size_t>(file.Cuts.Count()));
    for (int b = 0; b < file.Cuts.Count(); ++b) {
        const TOstrelFile& cut = file.Cuts.Items(b);
        auto pattern = std::make_unique<TPatternData>();
        pattern->FileName = cut.FileName;
        BuildPatternCuts(cut.HorizontalPoints, cut.VerticalPoints, *pattern);
        patterns.push_back(std::move(pattern));
    }
    return patterns;
}

void ImportEdxFile(const std::string& fileName, TMainModel& model, TClipboardService& clipboard) {
    model.Clear();
    TEdxFileEx file;
    file.LoadFromFile(fileName);
    // Every pattern is built before the first is shown or the clipboard changes, so a cut
    // that cannot be built leaves nothing half-imported behind.
    std::vector<std::unique_ptr<TPatternData>> patterns = MakeEdxPatterns(file);
    clipboard.SetText(file.CutTableText());
    for (auto& pattern : patterns) model.AddPattern(std::move(pattern));
}

}  // namespace ostrel

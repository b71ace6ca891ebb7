#include "model/PatternData.h"
#include "model/AsciiText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "model/NumberText.h"
#include "model/PlatformServices.h"

namespace ostrel {

void TPatternData::Assign(const TPatternData& source) {
    FileName = source.FileName;
    PartName = source.PartName;
    Frequency.Assign(source.Frequency);
    Gain.Assign(source.Gain);
    HorzWidth.Assign(source.HorzWidth);
    VertWidth.Assign(source.VertWidth);
    FrontToBack.Assign(source.FrontToBack);
    ElectricalTilt.Assign(source.ElectricalTilt);
    AzimuthPolarization = source.AzimuthPolarization;
    VerticalPolarization = source.VerticalPolarization;
    Make = source.Make;
    Model = source.Model;
    Sphere = source.Sphere;
    Derived = source.Derived;
    AzimuthCut.Assign(source.AzimuthCut);
    VerticalCut.Assign(source.VerticalCut);
    VRotationOffset = source.VRotationOffset;
    HRotationOffset = source.HRotationOffset;
    Id = source.Id;
    CutsChanged();
}

void TPatternData::AssignWhole(const TPatternData& source) {
    Assign(source);
    HorizontalCut.Assign(source.HorizontalCut);
    if (source.FiguresKnown()) {
        AdoptFigures(source.Figures(THCut::Azimuth), source.Figures(THCut::Horizontal));
    }
}

const TPatternFigures& TPatternData::Figures(THCut hCut) const {
    if (!FFiguresKnown.load(std::memory_order_acquire)) {
        const std::lock_guard lock(FFiguresLock);
        if (!FFiguresKnown.load(std::memory_order_relaxed)) {
            FAzimuthFigures = ComputePatternFigures(*this, true);
            // The vertical figures are the same for both horizontal cuts.
            FHorizontalFigures = FAzimuthFigures;
            FHorizontalFigures.Horz = ComputeHorzFigures(HorizontalCut);
            FFiguresKnown.store(true, std::memory_order_release);
        }
    }
    return hCut == THCut::Azimuth ? FAzimuthFigures : FHorizontalFigures;
}

void TPatternData::CutsChanged() {
    FFiguresKnown.store(false, std::memory_order_release);
}

void TPatternData::AdoptFigures(const TPatternFigures& azimuth, const TPatternFigures& horizontal) {
    const std::lock_guard lock(FFiguresLock);
    FAzimuthFigures = azimuth;
    FHorizontalFigures = horizontal;
    FFiguresKnown.store(true, std::memory_order_release);
}

std::unique_ptr<TPatternData> TPatternData::Clone() const {
    auto copy = std::make_unique<TPatternData>();
    copy->AssignWhole(*this);
    return copy;
}

void TPatternDataList::CopyFrom(const TPatternDataList& source) {
    if (&source == this) return;
    Clear();
    for (int i = 0; i < source.Count(); ++i) Add(source.Items(i));
}

std::string_view TrimmedPath(std::string_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

int TPatternDataList::IndexOfFileName(const std::string& path) const {
    const std::string_view wanted = TrimmedPath(path);
    for (int i = 0; i < Count(); ++i) {
        if (TrimmedPath(SourcePath(Items(i))) == wanted) return i;
    }
    return -1;
}

void TPatternDataList::SortById() {
    auto& items = RawItems();
    auto byId = [](const TPatternData* a, const TPatternData* b) { return a->Id < b->Id; };
    // A selection taken from the table in its first order is sorted already; a merge sort
    // would still compare every item at every level.
    if (std::is_sorted(items.begin(), items.end(), byId)) return;
    std::stable_sort(items.begin(), items.end(), byId);
}

std::string TPatternDataList::PointsTableText(bool useAzimuth) const {
    std::string text;
    for (int p = 0; p < Count(); ++p) {
        text += '\t';
        text += DisplayName(Items(p), false);
    }
    text += "\r\n";
    if (Count() == 0) return text;
    const TRealPointList& angles = Items(0).AzimuthCut;
    for (int k = 0; k < angles.Count(); ++k) {
        text += FormatGeneral(angles.PointAt(k).X);
        for (int p = 0; p < Count(); ++p) {
            const TPatternData& pattern = Items(p);
            const TRealPointList& cut = useAzimuth ? pattern.AzimuthCut : pattern.VerticalCut;
            text += '\t';
            text += FormatGeneral(cut.PointAt(k).Y);
        }
        text += "\r\n";
    }
    return text;
}

void TPatternDataList::CopyPointsToClipboard(bool useAzimuth, TClipboardService& clipboard) const {
    clipboard.SetText(PointsTableText(useAzimuth));
}

std::string GainText(const TPatternData& pattern) {
    const double gain = pattern.Gain.Value;
    return FormatFixed(1, gain) + " (" + FormatFixed(1, gain - kDipoleGainDbi) + ")";
}

std::string_view FileNamePartView(std::string_view path) {
    // No slash: npos + 1 is 0, the whole path.
    return path.substr(path.find_last_of('/') + 1);
}

std::string FileNamePart(const std::string& path) {
    return std::string(FileNamePartView(path));
}

std::string RemoveExtension(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void NamePattern(TPatternData& pattern, const std::string& path, const std::string& partName) {
    pattern.FileName = partName.empty() ? path : path + "@" + partName;
    pattern.PartName = partName;
}

std::string_view SourcePath(const TPatternData& pattern) {
    const std::string_view name = pattern.FileName;
    const size_t suffix = pattern.PartName.size() + 1;
    if (pattern.PartName.empty() || name.size() < suffix || !name.ends_with(pattern.PartName) ||
        name[name.size() - suffix] != '@') {
        return name;
    }
    return name.substr(0, name.size() - suffix);
}

std::string DisplayName(const TPatternData& pattern, bool withExtension) {
    // A derived pattern's name is no path: "A \u2194 B at 1930.5 MHz" keeps its ".5 MHz".
    if (pattern.Derived) return pattern.FileName;
    // The part name may hold dots or slashes of its own ("1850.5"): only the file's name
    // loses its extension.
    const std::string file(FileNamePartView(SourcePath(pattern)));
    std::string name = withExtension ? file : RemoveExtension(file);
    if (!pattern.PartName.empty()) name += "@" + pattern.PartName;
    return name;
}

namespace {

constexpr int kResampleAngles = 360;
using TIntervalTable = std::array<int, kResampleAngles>;

bool AnglesNeverDecrease(const std::vector<TRealPoint>& points) {
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        if (!(points[i].X <= points[i + 1].X)) return false;
    }
    return true;
}

// For angles that never decrease, the first interval containing a degree is the first one
// whose upper end reaches it, provided its lower end does not lie beyond; as the degrees
// grow, that interval only moves forward, so one walk finds them all.
void FindIntervalsInOrder(const std::vector<TRealPoint>& points, TIntervalTable& interval) {
    size_t i = 0;
    for (int a = 0; a < kResampleAngles; ++a) {
        while (i + 1 < points.size() && points[i + 1].X < a) ++i;
        if (i + 1 >= points.size()) break;
        if (points[i].X <= a) interval[static_cast<size_t>(a)] = static_cast<int>(i);
    }
}

// Any order: walk the intervals once and give each one the degrees it covers that no
// earlier interval took; `nextFree` skips taken degrees so wide overlapping intervals cost
// no more than narrow ones.
void FindIntervalsAnyOrder(const std::vector<TRealPoint>& points, TIntervalTable& interval) {
    std::array<int, kResampleAngles + 1> nextFree;
    for (int a = 0; a <= kResampleAngles; ++a) nextFree[static_cast<size_t>(a)] = a;
    auto findFree = [&nextFree](int a) {
        int root = a;
        while (nextFree[static_cast<size_t>(root)] != root) {
            root = nextFree[static_cast<size_t>(root)];
        }
        while (nextFree[static_cast<size_t>(a)] != root) {
            const int next = nextFree[static_cast<size_t>(a)];
            nextFree[static_cast<size_t>(a)] = root;
            a = next;
        }
        return root;
    };

    const size_t count = points.size();
    int assigned = 0;
    for (size_t i = 0; i + 1 < count && assigned < kResampleAngles; ++i) {
        const double low = points[i].X;
        const double high = points[i + 1].X;
        if (!(low <= high)) continue;
        const double first = std::max(std::ceil(low), 0.0);
        const double last = std::min(std::floor(high), static_cast<double>(kResampleAngles - 1));
        if (first > last) continue;
        for (int a = findFree(static_cast<int>(first)); a <= static_cast<int>(last);
             a = findFree(a)) {
            interval[static_cast<size_t>(a)] = static_cast<int>(i);
            nextFree[static_cast<size_t>(a)] = a + 1;
            ++assigned;
        }
    }
}

// For every whole degree, the first interval (in list order) that contains it, -1 when
// none does.
void FindIntervals(const std::vector<TRealPoint>& points, TIntervalTable& interval) {
    interval.fill(-1);
    if (AnglesNeverDecrease(points)) {
        FindIntervalsInOrder(points, interval);
    } else {
        FindIntervalsAnyOrder(points, interval);
    }
}

}  // namespace

int ZeroWidthInterval(const TRealPointList& source) {
    const auto& points = source.Points();
    bool repeats = false;
    for (size_t i = 0; i + 1 < points.size() && !repeats; ++i)
        repeats = points[i].X == points[i + 1].X;
    if (!repeats) return -1;
    TIntervalTable interval;
    FindIntervals(points, interval);
    for (const int i : interval) {
        if (i >= 0 && points[static_cast<size_t>(i)].X == points[static_cast<size_t>(i) + 1].X)
            return i;
    }
    return -1;
}

namespace {

using TResampledLevels = std::array<double, kResampleAngles>;

// The degrees 0..359 as doubles, read from a table: converting a counter, or counting in
// doubles, would chain every step of the loops below to the previous one.
constexpr std::array<double, kResampleAngles> kDegrees = [] {
    std::array<double, kResampleAngles> degrees{};
    for (int a = 0; a < kResampleAngles; ++a) degrees[static_cast<size_t>(a)] = a;
    return degrees;
}();

// A double is infinite or NaN when its 11 exponent bits are all ones, that is when the
// exponent plus one reaches bit 11. OR-ing these sums over many values and testing that bit
// once is integer arithmetic the compiler runs several values at a time, where isfinite in
// the loop would keep it to one.
std::uint64_t ExponentPlusOne(double value) {
    return ((std::bit_cast<std::uint64_t>(value) >> 52) & 0x7FF) + 1;
}

bool AllFinite(std::uint64_t exponentsPlusOne) {
    return (exponentsPlusOne & 0x800) == 0;
}

// True when the list opens with the angles 0, 1, ..., 359, as a cut written in one-degree
// steps does; what follows them does not matter.
bool OpensWithWholeDegrees(const std::vector<TRealPoint>& points) {
    // Cuts in other steps are mostly told by their second angle.
    if (points.size() < kDegrees.size() || points[1].X != 1) return false;
    // Bit for bit, which the compiler runs several points at a time; an angle of -0 is
    // merely left to the general walk.
    std::uint64_t differ = 0;
    for (size_t k = 0; k < kDegrees.size(); ++k) {
        differ |=
            std::bit_cast<std::uint64_t>(points[k].X) ^ std::bit_cast<std::uint64_t>(kDegrees[k]);
    }
    return differ == 0;
}

// The levels at whole degrees 0..359 as ResampleCut gives them.
void ResampleLevels(const TRealPointList& source, TResampledLevels& levels) {
    const auto& points = source.Points();
    if (OpensWithWholeDegrees(points)) {
        // Degree 0 lies first in the interval from 0 to 1, every later degree first in the
        // interval ending at it; all spans are 1. The arithmetic below is the general one
        // with those intervals, so results agree to the last bit, and without searching or
        // branching it runs several degrees at once. An overflow anywhere fails the same
        // way as in the general walk, which stops at the first one.
        auto interpolate = [](const TRealPoint& p, const TRealPoint& q, double degree) {
            const double offset = degree - p.X;
            return p.Y + offset * (q.Y - p.Y);
        };
        levels[0] = interpolate(points[0], points[1], 0);
        for (size_t a = 1; a < kDegrees.size(); ++a) {
            levels[a] = interpolate(points[a - 1], points[a], kDegrees[a]);
        }
        // Checked apart, so that the loop above stays plain arithmetic.
        std::uint64_t exponentsPlusOne = 0;
        for (size_t a = 0; a < levels.size(); ++a) exponentsPlusOne |= ExponentPlusOne(levels[a]);
        if (!AllFinite(exponentsPlusOne)) throw EInvalidOp("Floating point overflow");
        return;
    }

    TIntervalTable interval;
    FindIntervals(points, interval);

    double value = 0;
    for (int a = 0; a < kResampleAngles; ++a) {
        const int i = interval[static_cast<size_t>(a)];
        if (i >= 0) {
            // The same arithmetic as InterpolateAt, so results agree to the last bit.
            const TRealPoint& p = points[static_cast<size_t>(i)];
            const TRealPoint& q = points[static_cast<size_t>(i) + 1];
            const double span = q.X - p.X;
            if (span == 0) throw EInvalidOp("Invalid floating point operation");
            // One-degree steps divide by 1, which changes nothing and costs a division.
            const double offset = a - p.X;
            const double result = p.Y + (span == 1 ? offset : offset / span) * (q.Y - p.Y);
            if (!std::isfinite(result)) throw EInvalidOp("Floating point overflow");
            value = result;
        }
        levels[static_cast<size_t>(a)] = value;
    }
}

}  // namespace

void ResampleCut(const TRealPointList& source, TRealPointList& dest) {
    TResampledLevels levels;
    ResampleLevels(source, levels);
    std::vector<TRealPoint> points(kResampleAngles);
    for (int a = 0; a < kResampleAngles; ++a) {
        points[static_cast<size_t>(a)] = {static_cast<double>(a), levels[static_cast<size_t>(a)]};
    }
    dest.Assign(std::move(points));
}

namespace {

// The angles of a normalized cut, -180..180, from a table like kDegrees.
constexpr std::array<double, 361> kCutAngles = [] {
    std::array<double, 361> angles{};
    for (int k = 0; k <= 360; ++k) angles[static_cast<size_t>(k)] = k - 180;
    return angles;
}();

}  // namespace

void NormalizeCut(const TRealPointList& source, TRealPointList& dest) {
    TResampledLevels levels;
    ResampleLevels(source, levels);
    std::vector<TRealPoint> points(kCutAngles.size());
    for (size_t k = 0; k < 180; ++k) points[k] = {kCutAngles[k], -std::fabs(levels[k + 180])};
    for (size_t k = 180; k <= 360; ++k) points[k] = {kCutAngles[k], -std::fabs(levels[k - 180])};
    dest.Assign(std::move(points));
}

void BuildHorizontalCut(const TRealPointList& azimuth, const TRealPointList& vertical,
                        TRealPointList& dest) {
    const double verticalLevel = std::fabs(vertical.PointAt(180).Y);
    const double azimuthLevel = std::fabs(azimuth.PointAt(180).Y);
    // Levels near the largest double can overflow to -inf here; such a cut would poison
    // every graph, so it fails like an overflow in the interpolation, before anything is
    // appended.
    // The points are built beside the list and adopted only when all are finite.
    const std::vector<TRealPoint>& source = azimuth.Points();
    std::vector<TRealPoint> points;
    points.reserve(dest.Points().size() + source.size());
    points = dest.Points();
    const size_t first = points.size();
    points.resize(first + source.size());
    std::uint64_t exponentsPlusOne = 0;
    for (size_t k = 0; k < source.size(); ++k) {
        const double level = source[k].Y - verticalLevel + azimuthLevel;
        exponentsPlusOne |= ExponentPlusOne(level);
        points[first + k] = {source[k].X, level};
    }
    if (!AllFinite(exponentsPlusOne)) throw EInvalidOp("Floating point overflow");
    dest.Assign(std::move(points));
}

void BuildPatternCuts(const TRealPointList& horizontalPoints, const TRealPointList& verticalPoints,
                      TPatternData& pattern) {
    NormalizeCut(horizontalPoints, pattern.AzimuthCut);
    NormalizeCut(verticalPoints, pattern.VerticalCut);
    BuildHorizontalCut(pattern.AzimuthCut, pattern.VerticalCut, pattern.HorizontalCut);
    pattern.CutsChanged();
}

}  // namespace ostrel

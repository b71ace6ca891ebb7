#include "shell/WindowPlacement.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "model/ProfileFile.h"

namespace ostrel {

namespace {

constexpr int kMaxColumnWidth = 10000;

// No window manager draws a border or title bar this thick; a larger measured frame is a
// size read in the middle of the window manager's work.
constexpr int kMaxFrameExtent = 256;

long long OverlapArea(const TRect& a, const TRect& b) {
    const long long width =
        std::min<long long>(a.Right, b.Right) - std::max<long long>(a.Left, b.Left);
    const long long height =
        std::min<long long>(a.Bottom, b.Bottom) - std::max<long long>(a.Top, b.Top);
    return width > 0 && height > 0 ? width * height : 0;
}

// One axis of ClampToScreen: the start and length of the window along it.
std::pair<int, int> ClampSpan(long long start, long long length, int screenStart, int screenEnd) {
    const long long room = std::max(0, screenEnd - screenStart);
    length = std::clamp<long long>(length, 0, room);
    start = std::clamp<long long>(start, screenStart, screenEnd - length);
    return {static_cast<int>(start), static_cast<int>(length)};
}

int PlausibleFrame(int outer, int client) {
    const int frame = outer - client;
    return frame >= 0 && frame <= kMaxFrameExtent ? frame : 0;
}

std::string JoinNumbers(const std::vector<int>& numbers) {
    std::string text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) text += ',';
        text += std::to_string(numbers[i]);
    }
    return text;
}

// "1,2,3" as numbers; empty when any part is not a whole number.
std::vector<int> SplitNumbers(const std::string& text) {
    std::vector<int> numbers;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        std::optional<int> value = ParseProfileInteger(part);
        if (!value) return {};
        numbers.push_back(*value);
        start = comma + 1;
    }
    return numbers;
}

}  // namespace

std::optional<TWindowPlacement> TWindowPlacement::Load(const std::string& iniPath) {
    try {
        TProfileFile ini;
        ini.Load(iniPath);
        if (!ini.SectionExists(kSection)) return std::nullopt;
        TWindowPlacement placement;
        const std::pair<const char*, int*> rectangle[] = {{"Left", &placement.Left},
                                                          {"Top", &placement.Top},
                                                          {"Width", &placement.Width},
                                                          {"Height", &placement.Height}};
        for (const auto& [key, field] : rectangle) {
            const std::optional<int> value = ParseProfileInteger(ini.ReadString(kSection, key, ""));
            if (!value) return std::nullopt;
            *field = *value;
        }
        placement.Maximized = ini.ReadBool(kSection, "Maximized", false);
        placement.TableHeight = ini.ReadInteger(kSection, "TableHeight", 0);
        placement.ColumnOrder = SplitNumbers(ini.ReadString(kSection, "ColumnOrder", ""));
        placement.ColumnWidths = SplitNumbers(ini.ReadString(kSection, "ColumnWidths", ""));
        if (ini.ValueExists(kSection, "HiddenColumns")) {
            placement.HiddenColumns = SplitNumbers(ini.ReadString(kSection, "HiddenColumns", ""));
        }
        placement.FiguresWidth = std::max(0, ini.ReadInteger(kSection, "FiguresWidth", 0));
        return placement;
    } catch (...) {
        return std::nullopt;
    }
}

void TWindowPlacement::Save(const std::string& iniPath) const {
    try {
        TProfileFile ini;
        ini.Load(iniPath);
        ini.EraseSection(kSection);
        ini.WriteInteger(kSection, "Left", Left);
        ini.WriteInteger(kSection, "Top", Top);
        ini.WriteInteger(kSection, "Width", Width);
        ini.WriteInteger(kSection, "Height", Height);
        ini.WriteBool(kSection, "Maximized", Maximized);
        ini.WriteInteger(kSection, "TableHeight", TableHeight);
        ini.WriteString(kSection, "ColumnOrder", JoinNumbers(ColumnOrder));
        ini.WriteString(kSection, "ColumnWidths", JoinNumbers(ColumnWidths));
        if (HiddenColumns) ini.WriteString(kSection, "HiddenColumns", JoinNumbers(*HiddenColumns));
        if (FiguresWidth > 0) ini.WriteInteger(kSection, "FiguresWidth", FiguresWidth);
        ini.Save(iniPath);
    } catch (...) {
        // The window simply opens at its default place next time.
    }
}

int ScreenShowing(const TRect& window, const std::vector<TRect>& screens) {
    int best = screens.empty() ? -1 : 0;
    long long bestArea = 0;
    for (size_t i = 0; i < screens.size(); ++i) {
        const long long area = OverlapArea(window, screens[i]);
        if (area > bestArea) {
            bestArea = area;
            best = static_cast<int>(i);
        }
    }
    return best;
}

TRect ClampToScreen(const TRect& window, const TRect& screen) {
    const auto [left, width] = ClampSpan(
        window.Left, static_cast<long long>(window.Right) - window.Left, screen.Left, screen.Right);
    const auto [top, height] = ClampSpan(
        window.Top, static_cast<long long>(window.Bottom) - window.Top, screen.Top, screen.Bottom);
    return {left, top, left + width, top + height};
}

TWindowPlacement PlacementOnScreens(TWindowPlacement placement, const std::vector<TRect>& screens) {
    const long long right = static_cast<long long>(placement.Left) + placement.Width;
    const long long bottom = static_cast<long long>(placement.Top) + placement.Height;
    const TRect window = {placement.Left, placement.Top,
                          static_cast<int>(std::min<long long>(right, INT_MAX)),
                          static_cast<int>(std::min<long long>(bottom, INT_MAX))};
    const int screen = ScreenShowing(window, screens);
    if (screen < 0) return placement;
    const TRect clamped = ClampToScreen(window, screens[static_cast<size_t>(screen)]);
    placement.Left = clamped.Left;
    placement.Top = clamped.Top;
    placement.Width = clamped.Right - clamped.Left;
    placement.Height = clamped.Bottom - clamped.Top;
    return placement;
}

TWindowSize MinimumClientSize(TWindowSize outer, TWindowSize client, TWindowSize minOuter,
                              TWindowSize screen) {
    const int frameWidth = PlausibleFrame(outer.Width, client.Width);
    const int frameHeight = PlausibleFrame(outer.Height, client.Height);
    auto axis = [](int minimum, int frame, int room) {
        return std::max(0, std::min(minimum, room) - frame);
    };
    return {axis(minOuter.Width, frameWidth, screen.Width),
            axis(minOuter.Height, frameHeight, screen.Height)};
}

bool IsColumnOrder(const std::vector<int>& order, int columnCount) {
    if (static_cast<int>(order.size()) != columnCount) return false;
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < columnCount; ++i) {
        if (sorted[static_cast<size_t>(i)] != i) return false;
    }
    return true;
}

bool AreColumnWidths(const std::vector<int>& widths, int columnCount) {
    return static_cast<int>(widths.size()) == columnCount &&
           std::all_of(widths.begin(), widths.end(),
                       [](int width) { return width > 0 && width <= kMaxColumnWidth; });
}

}  // namespace ostrel

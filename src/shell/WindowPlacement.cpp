#include "shell/WindowPlacement.h"

#include <algorithm>
#include <utility>

#include "model/ProfileFile.h"

namespace ostrel {

namespace {

constexpr int kMaxColumnWidth = 10000;

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
        ini.Save(iniPath);
    } catch (...) {
        // The window simply opens at its default place next time.
    }
}

bool PlacementFitsScreens(const TWindowPlacement& placement, const std::vector<TRect>& screens) {
    if (placement.Width <= 0 || placement.Height <= 0) return false;
    const long long right = static_cast<long long>(placement.Left) + placement.Width;
    const long long bottom = static_cast<long long>(placement.Top) + placement.Height;
    return std::any_of(screens.begin(), screens.end(), [&](const TRect& screen) {
        return placement.Left >= screen.Left && placement.Top >= screen.Top &&
               right <= screen.Right && bottom <= screen.Bottom;
    });
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

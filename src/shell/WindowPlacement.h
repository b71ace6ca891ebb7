#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/PrimitiveObjects.h"

namespace ostrel {

// Where the main window was and how its table looked when the program last ended, kept in a
// section of its own in settings.ini so that the window comes back as the user left it.
struct TWindowPlacement {
    static constexpr const char* kSection = "Window";

    // The window's normal (not maximised) client rectangle on the desktop.
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Maximized = false;
    int TableHeight = 0;
    // Column at each visual position ("2,0,1,...") and each column's width, by column.
    std::vector<int> ColumnOrder;
    std::vector<int> ColumnWidths;
    // The columns the user hid; nothing when the file does not say (the table's defaults).
    std::optional<std::vector<int>> HiddenColumns;

    // Reads the section; nothing when the section is missing, a rectangle value is missing or
    // not a number, or the file cannot be read. Malformed column lists read as empty.
    static std::optional<TWindowPlacement> Load(const std::string& iniPath);
    // Rewrites the section, leaving every other section as it is. Never raises.
    void Save(const std::string& iniPath) const;
};

// Whether the rectangle lies wholly on one of the screens' available areas (Right and Bottom
// exclusive), so a window restored there can be seen and moved.
bool PlacementFitsScreens(const TWindowPlacement& placement, const std::vector<TRect>& screens);

// Whether an order is a permutation of 0..columnCount-1, and widths are one sensible width
// per column.
bool IsColumnOrder(const std::vector<int>& order, int columnCount);
bool AreColumnWidths(const std::vector<int>& widths, int columnCount);

}  // namespace ostrel

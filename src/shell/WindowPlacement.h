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
    // The docked Figures panel's width; 0 when the user never showed it (it then opens at a
    // width that fits its content).
    int FiguresWidth = 0;

    // Reads the section; nothing when the section is missing, a rectangle value is missing or
    // not a number, or the file cannot be read. Malformed column lists read as empty.
    static std::optional<TWindowPlacement> Load(const std::string& iniPath);
    // Rewrites the section, leaving every other section as it is. Never raises.
    void Save(const std::string& iniPath) const;
};

// A width and height of the window or its parts.
struct TWindowSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TWindowSize&) const = default;
};

// The screen (an index into `screens`, available areas, Right and Bottom exclusive) that
// shows most of the rectangle; the first screen when it lies on none, -1 without screens.
int ScreenShowing(const TRect& window, const std::vector<TRect>& screens);
// The rectangle shrunk to the screen where it is larger, then moved the least distance that
// puts it wholly on the screen, so that every edge of the window can be seen and reached.
TRect ClampToScreen(const TRect& window, const TRect& screen);
// The placement with its rectangle clamped to the screen that shows it (a restored window
// larger than its screen, or on a screen that is gone, would be out of reach). Unchanged
// without screens.
TWindowPlacement PlacementOnScreens(TWindowPlacement placement, const std::vector<TRect>& screens);

// The client size below which the window may not shrink so that its outer size (with the
// frame the window manager draws) stays at least `minOuter`, and never larger than what
// fits on `screen`. The frame is outer minus client; while the window manager has not sized
// its frame yet the outer size can read smaller than the client (1 x 1 under some window
// managers), and such a frame, or an implausibly thick one, counts as no frame at all.
TWindowSize MinimumClientSize(TWindowSize outer, TWindowSize client, TWindowSize minOuter,
                              TWindowSize screen);

// Whether an order is a permutation of 0..columnCount-1, and widths are one sensible width
// per column.
bool IsColumnOrder(const std::vector<int>& order, int columnCount);
bool AreColumnWidths(const std::vector<int>& widths, int columnCount);

}  // namespace ostrel

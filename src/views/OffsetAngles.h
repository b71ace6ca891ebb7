#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// The screenless rules of the offset angles dialog: what its grid shows, how texts become
// angles, how long file names wrap, and how the collected angles reach the patterns.

// Offsets are whole degrees in -180..180; there is no wrap-around.
constexpr int kOffsetAngleLimit = 180;

enum TRotateColumn { rcId = 0, rcFileName, rcHorzOffset, rcVertOffset, rcColumnCount };

struct TRotateColumnInfo {
    const char* Header;
    int Width;  // pixels
};

constexpr int kRotateRowHeight = 22;

const TRotateColumnInfo& RotateColumnInfo(int column);

// Whether the column holds an angle the user edits.
inline bool IsAngleColumn(int column) {
    return column == rcHorzOffset || column == rcVertOffset;
}

// The text of the pattern's cell in that column.
std::string RotateCellText(const TPatternData& pattern, int column);

// The angle a cell or editor text stands for: a whole number (optional sign, decimal digits,
// blanks around) cut back to -180..180; 0 for anything else ("12.5", "", "-").
int AngleFromText(std::string_view text);

// Whether the text is a whole number (of any size) as AngleFromText reads it.
bool IsWholeNumberText(std::string_view text);

// While the user types: a whole number beyond the limits becomes the limit's text. Returns
// whether the text changed.
bool CutBackAngleText(std::string& text);

// Clears `angles` and appends one (horizontal, vertical) point per data row, read from the
// two angle columns with AngleFromText.
void CollectAngles(int rowCount, const std::function<std::string(int row, int column)>& cellText,
                   TRealPointList& angles);

// Pair i becomes the i-th pattern's horizontal and vertical offset. A list of pairs shorter
// than the patterns raises the list-index error before any pattern changes.
void ApplyOffsets(const TPatternDataList& patterns, const TRealPointList& angles);

// A text broken between characters (not words) into lines no wider than the given width.
struct TWrappedText {
    std::vector<std::string> Lines;
    bool Wrapped = false;  // more than one line
    int Height = 0;        // lines times the line height
};

// One line when the text fits; otherwise as many lines as needed, each holding at least one
// character (so a column narrower than one letter still ends). UTF-8 sequences stay whole.
TWrappedText WrapBetweenCharacters(const std::string& text, int width, int lineHeight,
                                   const std::function<int(const std::string&)>& textWidth);

// The height of a grid row that shows the wrapped text: the default row height, or more
// when the text needs it (rows grow, never shrink below the default).
inline int WrappedRowHeight(const TWrappedText& wrapped, int defaultHeight) {
    return wrapped.Height > defaultHeight ? wrapped.Height : defaultHeight;
}

}  // namespace ostrel

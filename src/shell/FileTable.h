#pragma once

#include <string>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// The columns of the main window's file table, in their initial order.
enum TFileColumn {
    fcId = 0,
    fcFileName,
    fcFrequency,
    fcGain,
    fcHorzWidth,
    fcVertWidth,
    fcHRotationOffset,
    fcVRotationOffset,
    fcColumnCount
};

enum TColumnAlign { caLeft, caRight };

struct TFileColumnInfo {
    const char* Header;
    int Width;  // pixels; 0 = the table's default
    TColumnAlign Align;
};

const TFileColumnInfo& FileColumnInfo(int column);

// The text a cell shows.
std::string FileCellText(const TPatternData& pattern, int column, bool showExtensions);

// Row 1 against row 2 under the column's sort rule: negative, zero or positive. The
// frequency and offset columns compare the difference rounded to a whole number (halves to
// even), so values less than half a unit apart are equal.
int CompareFileRows(const TPatternData& row1, const TPatternData& row2, int column);

// Sorts the rows by the column, ascending or descending, keeping the order of rows that
// compare equal. A merge sort that only ever reads within the list, because the rounded
// comparisons are not transitive (850.2 = 850.6 = 851.0 but 850.2 < 851.0) and a quick sort
// given such a comparison may run past the ends.
void SortFileRows(std::vector<TPatternData*>& rows, int column, bool ascending);

// The table with the computed figures: the file columns, then one column per figure of
// FigureColumns() (hidden at first in the viewer). Figures follow the horizontal cut shown
// (azimuth or horizontal).
int TableColumnCount();
// The figure a table column shows; nullptr for a file column.
const TFigureColumn* FigureColumnOf(int tableColumn);
const char* TableColumnHeader(int tableColumn);
std::string TableCellText(const TPatternData& pattern, int tableColumn, bool showExtensions,
                          THCut hCut);
// As SortFileRows; figure columns sort by value, empty cells last in either direction.
void SortTableRows(std::vector<TPatternData*>& rows, int tableColumn, bool ascending, THCut hCut);

}  // namespace ostrel

namespace ostrel {

// The splitter rule of the main window: the file table may take a new height only when it is
// more than 100 pixels and less than the window's outer height minus 300.
bool SplitterAllowsTableHeight(int newTableHeight, int windowOuterHeight);

}  // namespace ostrel

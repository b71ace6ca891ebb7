#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// One CSV field as RFC 4180 writes it: in double quotes (inner quotes doubled) when it holds
// a comma, a double quote, CR or LF; as it is otherwise.
std::string CsvField(std::string_view text);

// The header check as reports show it: "ok", or the disagreements.
std::string HeaderCheckCell(const TPatternData& pattern, THCut hCut);

// The file table for spreadsheets: a header row, then one row per pattern with the table's
// file columns, every computed figure and the header check; CR LF line ends. Text cells that
// a spreadsheet would take for a formula (starting with =, +, -, @, tab or CR) get a leading
// "'"; numbers stay as they are. A frequency or gain the file does not give is empty.
std::string TableCsvText(const std::vector<const TPatternData*>& patterns, bool showExtensions,
                         THCut hCut);

// The figures of several patterns side by side: a header row (an empty corner, then each
// pattern's display name), then one row per figure (its caption, then each pattern's value;
// the figures of a measured sphere only when some pattern has one) and a last row with the
// header check.
std::vector<std::vector<std::string>> FiguresGrid(const std::vector<const TPatternData*>& patterns,
                                                  bool showExtensions, THCut hCut);
// Cells joined by tabs, rows by CR LF, as spreadsheets take them from the clipboard.
std::string TabSeparatedText(const std::vector<std::vector<std::string>>& grid);

}  // namespace ostrel

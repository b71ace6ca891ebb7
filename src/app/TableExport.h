#pragma once

#include <QString>
#include <string>

namespace ostrel {

class TFileTableModel;

// File > Export Table: the table's rows, in table order, as CSV (every file column and every
// computed figure, shown or not; file names with their extension, as ostrel-inspect --csv
// writes them) written safely to `path` (bytes). Returns "" or the reason it failed.
QString ExportTableCsv(const TFileTableModel& table, const std::string& path);

}  // namespace ostrel

#pragma once

#include <QString>

namespace ostrel {

class TFileTableModel;

// File > Export Table: the table's rows, in table order, as CSV (every file column and every
// computed figure, shown or not) written safely to `path`. Returns "" or the reason it failed.
QString ExportTableCsv(const TFileTableModel& table, const QString& path);

}  // namespace ostrel

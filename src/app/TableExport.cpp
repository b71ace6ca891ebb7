#include "app/TableExport.h"

#include "app/FileTableModel.h"
#include "model/SafeFile.h"
#include "model/Settings.h"
#include "shell/FigureTables.h"

namespace ostrel {

QString ExportTableCsv(const TFileTableModel& table, const std::string& path) {
    const std::vector<const TPatternData*> rows(table.Rows().begin(), table.Rows().end());
    const std::string text = TableCsvText(rows, true, GetSettings().FHCut);
    return QString::fromStdString(WriteWholeFile(path, text));
}

}  // namespace ostrel

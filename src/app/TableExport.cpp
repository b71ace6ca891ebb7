#include "app/TableExport.h"

#include <QFile>

#include "app/FileTableModel.h"
#include "model/SafeFile.h"
#include "model/Settings.h"
#include "shell/FigureTables.h"

namespace ostrel {

QString ExportTableCsv(const TFileTableModel& table, const QString& path) {
    const std::vector<const TPatternData*> rows(table.Rows().begin(), table.Rows().end());
    const TSettings& settings = GetSettings();
    const std::string text = TableCsvText(rows, settings.FShowExtensions, settings.FUseAzimuth);
    return QString::fromStdString(WriteWholeFile(QFile::encodeName(path).toStdString(), text));
}

}  // namespace ostrel

#include "app/SaveAsCommand.h"

#include <QFileDialog>
#include <QFileInfo>

#include "formats/PatternWriters.h"

namespace ostrel {

namespace {

constexpr TPatternFormat kFilterFormats[] = {TPatternFormat::Ostrel, TPatternFormat::Verizon,
                                             TPatternFormat::Nsma, TPatternFormat::Csv};

}  // namespace

const QStringList TSaveAsCommand::kSaveFilters = {
    "Ostrel Files (*.msi)",
    "Verizon Files (*.vwa)",
    "NSMA Files (*.nsm)",
    "CSV Files (*.csv)",
};

QString TQtSaveDialogService::GetSaveFileName(QWidget* parent, const QString& proposedPath,
                                              const QStringList& filters, QString& selectedFilter) {
    QFileDialog dialog(parent, "Save As", proposedPath, filters.join(";;"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectNameFilter(selectedFilter);
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().front();
}

std::string TSaveAsCommand::Run(const TPatternDataList& selection, const std::string& folder) {
    if (selection.Count() == 0) return "Select the patterns to save first.";
    int saved = 0;
    std::string failures;
    std::string notes;
    for (int i = 0; i < selection.Count(); ++i) {
        const TPatternData& pattern = selection.Items(i);
        const std::string proposed = folder + DisplayName(pattern, false);
        QString filter = FFilter;
        QString path = FDialogs.GetSaveFileName(FParent, QString::fromStdString(proposed),
                                                kSaveFilters, filter);
        if (path.isEmpty()) break;
        const qsizetype index = std::max<qsizetype>(0, kSaveFilters.indexOf(filter));
        FFilter = kSaveFilters.at(index);
        const TPatternFormat format = kFilterFormats[index];
        const QString extension = QString::fromLatin1(FormatExtension(format));
        if (QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) != 0) {
            path += "." + extension;
        }
        const std::string target = path.toStdString();
        const TWrittenPattern written = SavePatternFile(pattern, format, target);
        if (written.Failure.empty()) {
            ++saved;
            // What the format could not hold is said, not dropped silently.
            for (const std::string& note : written.Notes) {
                notes += " " + FileNamePart(target) + ": " + note + ".";
            }
        } else {
            failures += (failures.empty() ? "" : " ") + written.Failure;
        }
    }
    std::string status =
        std::to_string(saved) + (saved == 1 ? " pattern saved." : " patterns saved.");
    return (failures.empty() ? status : status + " " + failures) + notes;
}

}  // namespace ostrel

#include "app/SaveAsCommand.h"

#include <QFileDialog>
#include <QMessageBox>

#include <filesystem>
#include <set>

#include "app/PathText.h"
#include "formats/PatternWriters.h"
#include "shell/SaveTargets.h"

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
    QFileDialog dialog(parent, FTitle, proposedPath, filters.join(";;"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectNameFilter(selectedFilter);
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().front();
}

bool TQtSaveDialogService::ConfirmReplace(QWidget* parent, const QString& question) {
    return QMessageBox::warning(parent, FTitle, question, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

std::string TSaveAsCommand::Run(const TPatternDataList& selection, const std::string& folder) {
    if (selection.Count() == 0) return "Select the patterns to save first.";
    std::set<std::string> written;
    std::string failures;
    for (int i = 0; i < selection.Count(); ++i) {
        const TPatternData& pattern = selection.Items(i);
        std::string proposed = folder + ProposedSaveName(pattern);
        std::string target;
        TPatternFormat format = TPatternFormat::Nsma;
        while (target.empty()) {
            QString filter = FFilter;
            const QString chosen =
                FDialogs.GetSaveFileName(FParent, PathText(proposed), kSaveFilters, filter);
            if (chosen.isEmpty()) break;
            const qsizetype index = std::max<qsizetype>(0, kSaveFilters.indexOf(filter));
            FFilter = kSaveFilters.at(index);
            format = kFilterFormats[index];
            const std::string path = ResolveShownSavePath(PathBytes(chosen));
            target = WithExtension(path, FormatExtension(format));
            // The dialog asked about the name it returned; the one we made is ours to ask about.
            std::error_code error;
            if (target != path && std::filesystem::exists(target, error) &&
                !FDialogs.ConfirmReplace(FParent, PathText(ReplaceQuestion(target)))) {
                proposed = target;
                target.clear();
            }
        }
        if (target.empty()) break;
        const std::string reason = SavePatternFile(pattern, format, target);
        if (reason.empty()) {
            written.insert(AbsolutePath(target));
        } else {
            failures += (failures.empty() ? "" : " ") + reason;
        }
    }
    return PatternsSavedText(static_cast<int>(written.size()), failures);
}

}  // namespace ostrel

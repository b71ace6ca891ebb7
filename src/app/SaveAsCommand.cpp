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
                                             TPatternFormat::Nsma, TPatternFormat::Csv,
                                             TPatternFormat::Json};

}  // namespace

const QStringList TSaveAsCommand::kSaveFilters = {
    "Ostrel Files (*.msi)", "Verizon Files (*.vwa)",        "NSMA Files (*.nsm)",
    "CSV Files (*.csv)",    "BASTA 3D JSON Files (*.json)",
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

std::string AskSaveTarget(
    TSaveDialogService& dialogs, QWidget* parent, std::string proposed, const QStringList& filters,
    QString& filter,
    const std::function<std::string(const std::string& path, const QString& filter)>& complete) {
    for (;;) {
        const QString chosen = dialogs.GetSaveFileName(parent, PathText(proposed), filters, filter);
        if (chosen.isEmpty()) return {};
        const std::string path = ResolveShownSavePath(PathBytes(chosen));
        const std::string target = complete(path, filter);
        std::error_code error;
        if (target == path || !std::filesystem::exists(target, error) ||
            dialogs.ConfirmReplace(parent, PathText(ReplaceQuestion(target)))) {
            return target;
        }
        proposed = target;
    }
}

std::string TSaveAsCommand::Run(const TPatternDataList& selection, const std::string& folder) {
    if (selection.Count() == 0) return "Select the patterns to save first.";
    auto indexOf = [](const QString& filter) {
        return static_cast<size_t>(std::max<qsizetype>(0, kSaveFilters.indexOf(filter)));
    };
    std::set<std::string> written;
    std::string failures;
    std::string notes;
    for (int i = 0; i < selection.Count(); ++i) {
        const TPatternData& pattern = selection.Items(i);
        QString filter = FFilter;
        const std::string target = AskSaveTarget(
            FDialogs, FParent, folder + ProposedSaveName(pattern), kSaveFilters, filter,
            [&indexOf](const std::string& path, const QString& chosen) {
                return WithExtension(path, FormatExtension(kFilterFormats[indexOf(chosen)]));
            });
        if (target.empty()) break;
        FFilter = kSaveFilters.at(static_cast<qsizetype>(indexOf(filter)));
        const TPatternFormat format = kFilterFormats[indexOf(filter)];
        const TWrittenPattern result = SavePatternFile(pattern, format, target);
        if (result.Failure.empty()) {
            written.insert(AbsolutePath(target));
            // What the format could not hold is said, not dropped silently.
            for (const std::string& note : result.Notes) {
                notes.append(" ").append(FileNamePart(target)).append(": ").append(note) += '.';
            }
        } else {
            failures += (failures.empty() ? "" : " ") + result.Failure;
        }
    }
    return PatternsSavedText(static_cast<int>(written.size()), failures) + notes;
}

}  // namespace ostrel

// The main window's commands that open and close patterns: Open, Open Folder, Save As,
// the EDX import, Close All, Delete, dropped files.
#include "app/MainFrm.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <filesystem>

#include "app/FigureCommands.h"
#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/FilterBar.h"
#include "app/Launches.h"
#include "app/OpenFilesFlow.h"
#include "app/PathText.h"
#include "app/PatternArea.h"
#include "app/RecentFilesMenu.h"
#include "app/SaveAsCommand.h"
#include "app/ScreenAreas.h"
#include "app/TableColumns.h"
#include "dialogs/AboutFrm.h"
#include "dialogs/AniFrm.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/PatPointsDlg.h"
#include "dialogs/PrintOptionsDlg.h"
#include "dialogs/RotateDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "formats/EdxFile.h"
#include "formats/PatternLoaders.h"
#include "graphs/PolarGraph.h"
#include "model/Errors.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasDrawer.h"
#include "qtdraw/CanvasPainter.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "shell/Branding.h"
#include "shell/FileTable.h"
#include "shell/WindowPlacement.h"
#include "views/OffsetAngles.h"
#include "views/PrintedPages.h"
#include "views/SideBySide.h"
#include "widgets/AppIcons.h"
#include "widgets/ClipboardService.h"
#include "widgets/EdgePanel.h"

namespace ostrel {

void TMainForm::ActOpen() {
    QString filter = FOpenFilter;
    const QStringList paths = ChosenPaths(FFileDialog->GetOpenFileNames(
        this, PathText(GetSettings().FOpenPath), kOpenFilters, filter));
    if (!filter.isEmpty()) FOpenFilter = filter;
    if (paths.isEmpty()) return;
    OpenFiles(paths);
}

void TMainForm::OpenFiles(const QStringList& paths) {
    FOpenFlow->Open(paths);
}

void TMainForm::FinishLoading() {
    FOpenFlow->FinishNow();
}

void TMainForm::ActOpenFolder() {
    const QString folder = FFileDialog->GetExistingFolder(this, PathText(GetSettings().FOpenPath));
    if (!folder.isEmpty()) OpenFiles({folder});
}

void TMainForm::OpenPatternFile(const QString& path) {
    TOpenReport report;
    OpenPatternFile(path, report);
    ShowStatus(report.Message());
}

void TMainForm::LoadPatternFile(const QString& path) {
    TOpenReport report;
    LoadPatternFile(path, report);
    ShowStatus(report.Message());
}

void TMainForm::OpenPatternFile(const QString& path, TOpenReport& report) {
    if (!GetSettings().FAllowDuplicates && FModel->Patterns.IndexOfFileName(PathBytes(path)) >= 0) {
        report.Duplicate(PathBytes(path));
        return;
    }
    LoadPatternFile(path, report);
}

void TMainForm::LoadPatternFile(const QString& path, TOpenReport& report) {
    const std::string bytes = PathBytes(path);
    // Remembered before anything is read, so a file that fails still sets the folder.
    GetSettings().FOpenPath = AbsoluteFolderOf(bytes);
    std::string error;
    std::vector<std::unique_ptr<TPatternData>> patterns = ostrel::LoadPatternFile(bytes, &error);
    if (patterns.empty()) {
        report.Failed(bytes, error);
        return;
    }
    for (auto& pattern : patterns) FModel->AddPattern(std::move(pattern));
    report.Opened(bytes);
    FRecent->Add(bytes);
    FRecent->Rebuild();
}

void TMainForm::ActSaveAs() {
    TQtSaveDialogService dialogs;
    TSaveAsCommand command(this, dialogs);
    ShowStatus({command.Run(FModel->Selection, GetSettings().FOpenPath), {}});
}

void TMainForm::ActOpenEdx() {
    QString filter = kOpenFilters.at(2);
    const QStringList paths = ChosenPaths(FFileDialog->GetOpenFileNames(
        this, PathText(GetSettings().FOpenPath), kOpenFilters, filter));
    if (paths.isEmpty()) return;
    const std::string path = PathBytes(paths.front());
    TQtClipboardService clipboard;
    // The cuts are named after their labels, not files: they stay off the Reopen list, as
    // only opened files go on it.
    try {
        ImportEdxFile(path, *FModel, clipboard);
        ShowStatus(CutsImportedMessage(path, FModel->Patterns.Count()));
    } catch (const std::exception& error) {
        TOpenReport report;
        report.Failed(path, error.what());
        ShowStatus(report.Message());
        FErrors->ShowError(this, ToQString(error.what()));
    }
}

void TMainForm::ActAnimate() {
    TAnimateForm animation(this);
    animation.Patterns.CopyFrom(FModel->Selection);
    animation.Run();
}

void TMainForm::ActCloseAll() {
    const TStatusMessage closed = ClosedMessage(FModel->Patterns);
    FModel->Clear();
    ShowStatus(closed);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
}

void TMainForm::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        // The encoded form keeps a name's bytes that are not UTF-8 ("%E9").
        const std::string path =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
        std::error_code error;
        if (IsExistingFile(path) || std::filesystem::is_directory(path, error)) {
            paths.push_back(PathText(path));
        }
    }
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    OpenFiles(paths);
}

}  // namespace ostrel

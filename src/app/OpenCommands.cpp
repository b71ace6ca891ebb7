#include "app/OpenCommands.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMainWindow>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/Launches.h"
#include "app/OpenFilesFlow.h"
#include "app/PathText.h"
#include "app/RecentFilesMenu.h"
#include "formats/EdxFile.h"
#include "formats/PatternLoaders.h"
#include "model/MainModel.h"
#include "model/Settings.h"
#include "qtdraw/CanvasPainter.h"
#include "shell/OpenBatch.h"
#include "shell/PathNames.h"
#include "shell/StatusReasons.h"
#include "widgets/ClipboardService.h"

namespace ostrel {

namespace {

class TQtFileDialogService : public TFileDialogService {
public:
    QStringList GetOpenFileNames(QWidget* parent, const QString& folder, const QStringList& filters,
                                 QString& selectedFilter) override {
        QFileDialog dialog(parent, QString(), folder, filters.join(";;"));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setSizeGripEnabled(true);
        dialog.selectFile(QString());
        if (!selectedFilter.isEmpty()) dialog.selectNameFilter(selectedFilter);
        if (dialog.exec() != QDialog::Accepted) return {};
        selectedFilter = dialog.selectedNameFilter();
        return dialog.selectedFiles();
    }
    QString GetExistingFolder(QWidget* parent, const QString& folder) override {
        return QFileDialog::getExistingDirectory(parent, QObject::tr("Open Folder"), folder);
    }
};

}  // namespace

const QStringList TOpenCommands::kOpenFilters = {
    "Ostrel Files (*.txt *.pln *.msi)",
    "Kavrel Files (*.doc)",
    "Verizon Files (*.vwa)",
    "NSMA Files (*.adf *.nsm *.nsma)",
    "EDX Pattern Files (*.pat)",
    "BASTA 3D Files (*.json)",
    "All Files (*)",
};

TOpenCommands::TOpenCommands(QMainWindow& window, TMainModel& model, TRecentFilesMenu& recent,
                             std::function<void(const TStatusMessage&)> showStatus)
    : QObject(&window),
      FWindow(window),
      FModel(model),
      FRecent(recent),
      FShowStatus(std::move(showStatus)),
      FFileDialog(std::make_unique<TQtFileDialogService>()),
      FErrors(&MessageBoxErrorReporter()),
      FOpenFilter(kOpenFilters.front()) {
    FOpen = new QAction("&Open", this);
    FOpen->setObjectName("actOpen");
    FOpen->setShortcut(QKeySequence("Ctrl+O"));
    FOpen->setToolTip("Open File");
    FOpen->setIcon(QIcon(":/icons/open.svg"));
    connect(FOpen, &QAction::triggered, this, &TOpenCommands::Open);
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

TOpenCommands::~TOpenCommands() {
    // The readers of a batch still loading stop before the model they fill goes.
    delete FFlow;
}

void TOpenCommands::CreateFlow(QStatusBar& bar, TFileTableModel& table) {
    TOpenFilesFlow::THooks hooks;
    // The file itself, not its patterns: a file of several frequencies is one entry.
    hooks.FileOpened = [this](const std::string& path) { FRecent.Add(path); };
    // A batch of files rebuilds the menu once, at its end.
    hooks.Finished = [this](const TOpenReport& report, bool cancelled) {
        FRecent.Rebuild();
        FShowStatus(OpenBatchMessage(report, cancelled));
    };
    FFlow = new TOpenFilesFlow(FWindow, bar, FModel, table, std::move(hooks));
}

void TOpenCommands::SetFileDialogService(std::unique_ptr<TFileDialogService> service) {
    if (service) FFileDialog = std::move(service);
}

void TOpenCommands::Open() {
    QString filter = FOpenFilter;
    const QStringList paths = ChosenPaths(FFileDialog->GetOpenFileNames(
        &FWindow, PathText(GetSettings().FOpenPath), kOpenFilters, filter));
    if (!filter.isEmpty()) FOpenFilter = filter;
    if (paths.isEmpty()) return;
    OpenFiles(paths);
}

void TOpenCommands::OpenFiles(const QStringList& paths) {
    FFlow->Open(paths);
}

void TOpenCommands::FinishLoading() {
    FFlow->FinishNow();
}

void TOpenCommands::OpenFolder() {
    const QString folder =
        FFileDialog->GetExistingFolder(&FWindow, PathText(GetSettings().FOpenPath));
    if (!folder.isEmpty()) OpenFiles({folder});
}

void TOpenCommands::OpenPatternFile(const QString& path) {
    TOpenReport report;
    if (!GetSettings().FAllowDuplicates && FModel.Patterns.IndexOfFileName(PathBytes(path)) >= 0) {
        report.Duplicate(PathBytes(path));
    } else {
        LoadPatternFile(path, report);
    }
    FShowStatus(report.Message());
}

void TOpenCommands::LoadPatternFile(const QString& path) {
    TOpenReport report;
    LoadPatternFile(path, report);
    FShowStatus(report.Message());
}

void TOpenCommands::LoadPatternFile(const QString& path, TOpenReport& report) {
    const std::string bytes = PathBytes(path);
    // Remembered before anything is read, so a file that fails still sets the folder.
    GetSettings().FOpenPath = AbsoluteFolderOf(bytes);
    TLoadedFile loaded = ostrel::LoadPatternFile(bytes);
    if (!loaded.Loaded()) {
        report.Failed(bytes, loaded.Failure);
        return;
    }
    for (auto& pattern : loaded.Patterns) FModel.AddPattern(std::move(pattern));
    report.Opened(bytes);
    FRecent.Add(bytes);
    FRecent.Rebuild();
}

void TOpenCommands::OpenEdx() {
    QString filter = kOpenFilters.at(2);
    const QStringList paths = ChosenPaths(FFileDialog->GetOpenFileNames(
        &FWindow, PathText(GetSettings().FOpenPath), kOpenFilters, filter));
    if (paths.isEmpty()) return;
    const std::string path = PathBytes(paths.front());
    TQtClipboardService clipboard;
    // The cuts are named after their labels, not files: they stay off the Reopen list, as
    // only opened files go on it.
    try {
        ImportEdxFile(path, FModel, clipboard);
        FShowStatus(CutsImportedMessage(path, FModel.Patterns.Count()));
    } catch (const std::exception& error) {
        TOpenReport report;
        report.Failed(path, error.what());
        FShowStatus(report.Message());
        FErrors->ShowError(&FWindow, ToQString(error.what()));
    }
}

void TOpenCommands::CloseAll() {
    const TStatusMessage closed = ClosedMessage(FModel.Patterns);
    FModel.Clear();
    FShowStatus(closed);
}

bool TOpenCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &FWindow) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter) {
        auto* enter = static_cast<QDragEnterEvent*>(event);
        const QList<QUrl> urls =
            enter->mimeData()->hasUrls() ? enter->mimeData()->urls() : QList<QUrl>();
        if (std::any_of(urls.begin(), urls.end(),
                        [](const QUrl& url) { return url.isLocalFile(); })) {
            enter->acceptProposedAction();
        }
        return true;
    }
    if (event->type() != QEvent::Drop) return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    QStringList paths;
    for (const QUrl& url : drop->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        // The encoded form keeps a name's bytes that are not UTF-8 ("%E9").
        const std::string path =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
        std::error_code error;
        if (IsExistingFile(path) || std::filesystem::is_directory(path, error)) {
            paths.push_back(PathText(path));
        }
    }
    if (!paths.isEmpty()) {
        drop->acceptProposedAction();
        OpenFiles(paths);
    }
    return true;
}

}  // namespace ostrel

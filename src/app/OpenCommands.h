#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QMainWindow;
class QStatusBar;
class QWidget;

namespace ostrel {

class TErrorReporter;
class TFileTableModel;
class TMainModel;
class TOpenFilesFlow;
class TOpenReport;
class TRecentFilesMenu;
struct TStatusMessage;

// How the Open command asks for files; tests supply the paths instead of a dialog.
class TFileDialogService {
public:
    virtual ~TFileDialogService() = default;
    // The chosen paths in dialog order, empty when cancelled. `selectedFilter` comes in as
    // the filter to preselect and goes out as the one the user last chose.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& folder,
                                         const QStringList& filters, QString& selectedFilter) = 0;
    // The folder chosen for Open Folder, empty when cancelled.
    virtual QString GetExistingFolder(QWidget*, const QString&) { return {}; }
};

// The main window's commands that bring patterns in and take them all out: Open, Open
// Folder, files dropped on the window, the EDX import and Close All; the files are read by
// the open flow, which keeps the window usable.
class TOpenCommands : public QObject {
    Q_OBJECT

public:
    static const QStringList kOpenFilters;

    // `showStatus` puts a line in the status bar.
    TOpenCommands(QMainWindow& window, TMainModel& model, TRecentFilesMenu& recent,
                  std::function<void(const TStatusMessage&)> showStatus);
    ~TOpenCommands() override;

    // The flow shows its progress and Cancel button in `bar` and adds the rows to `table`.
    void CreateFlow(QStatusBar& bar, TFileTableModel& table);
    QAction* OpenAction() const { return FOpen; }
    TOpenFilesFlow& Flow() const { return *FFlow; }
    void SetFileDialogService(std::unique_ptr<TFileDialogService> service);
    // Where errors of the EDX import go (a message box by default; not owned).
    void SetErrorReporter(TErrorReporter& errors) { FErrors = &errors; }

    void Open();
    void OpenFolder();
    void OpenEdx();
    void CloseAll();
    // Opens files, and every pattern file below each folder, as the Open command does: read
    // on worker threads while the window stays usable, with progress and Cancel in the status
    // bar; the status bar then tells how many opened and why the others did not.
    void OpenFiles(const QStringList& paths);
    // Waits for the files still loading and adds them now.
    void FinishLoading();
    // Opens one file unless it is open already and duplicates are not allowed; the status
    // bar tells what happened.
    void OpenPatternFile(const QString& path);
    // Loads one file and adds it to the model; no duplicate check.
    void LoadPatternFile(const QString& path);

protected:
    // Files and folders dropped on the window open as if chosen in the dialog.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadPatternFile(const QString& path, TOpenReport& report);

    QMainWindow& FWindow;
    TMainModel& FModel;
    TRecentFilesMenu& FRecent;
    std::function<void(const TStatusMessage&)> FShowStatus;
    std::unique_ptr<TFileDialogService> FFileDialog;
    TErrorReporter* FErrors;
    QString FOpenFilter;
    QAction* FOpen = nullptr;
    TOpenFilesFlow* FFlow = nullptr;
};

}  // namespace ostrel

#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <vector>

#include "app/Launches.h"
#include "model/MainModel.h"
#include "shell/StatusReasons.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QScrollArea;
class QSplitter;
class QToolButton;

namespace ostrel {

class TErrorReporter;
class TFigureCommands;
class TFileTablePanel;
class TOpenCommands;
class TPrintOptionsDialog;
class TLauncher;
class TPatternArea;
class TRecentFilesMenu;
class TRotateDialog;
class TvkEdgePanel;
class TViewModeActions;
class TWindowGeometry;

// How the Print command asks for the print mode and the printer; tests answer instead of
// the modal dialogs.
class TPrintDialogService {
public:
    virtual ~TPrintDialogService() = default;
    // Runs the print options dialog; returns QDialog::Accepted or QDialog::Rejected.
    virtual int RunPrintOptions(TPrintOptionsDialog& dialog) = 0;
    // Runs the platform print dialog on `printer`; true when the user chose to print.
    virtual bool RunPrintDialog(QWidget* parent, QPrinter& printer) = 0;
};

// The program's main window: the file table over the graph area, the commands of the
// menus and toolbar, the view modes, the recent-files list, and the main model it owns.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Start-up: recent files from `iniPath`, the model and its events, the command states and
    // the initial view modes.
    // `launcher` finds and starts the other programs (the real one when none is given).
    explicit TMainForm(const std::string& iniPath, std::unique_ptr<TLauncher> launcher = nullptr,
                       QWidget* parent = nullptr);
    // Frees the model and writes the recent-files list.
    ~TMainForm() override;

    TMainModel& Model() { return *FModel; }
    TFileTablePanel& Table() { return *FTable; }
    QWidget* PatternBox() const;
    TRecentFilesMenu& Recent() { return *FRecent; }
    void SetPrintDialogService(std::unique_ptr<TPrintDialogService> service);
    // Where errors of the commands go (a message box by default; not owned).
    void SetErrorReporter(TErrorReporter& errors);

    // The Print command: print options for two or more selected patterns, then the print
    // dialog, then the job; a failure reaches the user through the error reporter.
    void ActPrint();

    // Opens the files and folders as the Open command does (the command line's files).
    void OpenFiles(const QStringList& paths);
    TOpenCommands& Opening() { return *FOpening; }
    TViewModeActions& ViewModes() { return *FViewModes; }

    TFigureCommands& Figures() { return *FFigures; }
    TWindowGeometry& Geometry() { return *FGeometry; }

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateCentralArea();
    void CreateStatusBar();
    void BindModelEvents();

    void UpdateCommandStates();
    // The graph area follows the graph type and the scale mode.
    void ShowViewMode();
    // The outcome of the last command that opened, closed or launched something.
    void ShowStatus(const TStatusMessage& message);

    void ActSaveAs();
    void ActAnimate();
    void ActShowSource();
    void ActAngles();
    void ActShowPoints();
    // "&Apply" of the offset angles dialog: its angles take effect while it stays open.
    void OnApplyAngles(TRotateDialog& dialog);
    // Pair i becomes the offsets of the i-th selected pattern; graphs and table show them.
    void ApplyOffsets(const TRealPointList& angles);
    void ActView3d();
    void ActOptions();
    void ActAbout();
    void ActLicense();
    void ActQuickGuide();

    std::unique_ptr<TMainModel> FModel;
    TRecentFilesMenu* FRecent = nullptr;
    std::string FIniPath;
    std::unique_ptr<TPrintDialogService> FPrintDialogs;
    TErrorReporter* FErrors = nullptr;
    std::unique_ptr<TLauncher> FLauncher;

    bool FView3dShown = false;

    TFileTablePanel* FTable = nullptr;
    TFigureCommands* FFigures = nullptr;
    TWindowGeometry* FGeometry = nullptr;
    QSplitter* FTableSplitter = nullptr;
    QWidget* pnlMain = nullptr;
    QWidget* pnlHeader = nullptr;
    QToolButton* btnSwap = nullptr;
    QWidget* pnlGraph = nullptr;
    TPatternArea* pbPattern = nullptr;
    TOpenCommands* FOpening = nullptr;
    TViewModeActions* FViewModes = nullptr;

    QMenu* FFileMenu = nullptr;
    QMenu* FViewMenu = nullptr;

    QAction* actPrint = nullptr;
    QAction* actAngles = nullptr;
    QAction* actShowSource = nullptr;
    QAction* actShowPoints = nullptr;
    QAction* actView3d = nullptr;
};

}  // namespace ostrel

#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>

#include "app/Launches.h"
#include "model/MainModel.h"

class QMenu;
class QSplitter;

namespace ostrel {

class TDerivedCommands;
class TFigureCommands;
class TFileTablePanel;
class TOpenCommands;
class TPatternArea;
class TRecentFilesMenu;
class TSelectionCommands;
class TViewModeActions;
class TWindowGeometry;
struct TStatusMessage;

// The program's main window: the file table over the graph area, with the menus and the
// toolbar. It owns the main model and the parts that do the work, each with its own actions
// and state: the file table, the window's geometry, the recent files, the view modes and
// status bar, the commands that open patterns, the ones that act on the selection, and the
// figures. The window builds them in the order they rely on and lays out their actions.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Start-up: recent files from `iniPath`, the model and its events, the command states and
    // the initial view modes, then the saved place of the window.
    // `launcher` finds and starts the other programs (the real one when none is given).
    explicit TMainForm(const std::string& iniPath, std::unique_ptr<TLauncher> launcher = nullptr,
                       QWidget* parent = nullptr);
    // Stops loading, frees the model, and writes the window's place and the recent files.
    ~TMainForm() override;

    // Opens the files and folders as the Open command does (the command line's files).
    void OpenFiles(const QStringList& paths);

    TMainModel& Model() { return *FModel; }
    TFileTablePanel& Table() { return *FTable; }
    TWindowGeometry& Geometry() { return *FGeometry; }
    TRecentFilesMenu& Recent() { return *FRecent; }
    TViewModeActions& ViewModes() { return *FViewModes; }
    TOpenCommands& Opening() { return *FOpening; }
    TSelectionCommands& Commands() { return *FCommands; }
    TFigureCommands& Figures() { return *FFigures; }
    TDerivedCommands& Derived() { return *FDerived; }
    QWidget* PatternBox() const;

private:
    void CreateParts(std::unique_ptr<TLauncher> launcher);
    void CreateMenus();
    void CreateToolBar();
    void CreateCentralArea();
    // The graph area follows the graph type and the scale mode.
    void ShowViewMode();
    void ShowStatus(const TStatusMessage& message);

    std::string FIniPath;
    std::unique_ptr<TMainModel> FModel;

    TRecentFilesMenu* FRecent = nullptr;
    TViewModeActions* FViewModes = nullptr;
    TOpenCommands* FOpening = nullptr;
    TSelectionCommands* FCommands = nullptr;
    TFileTablePanel* FTable = nullptr;
    TFigureCommands* FFigures = nullptr;
    TDerivedCommands* FDerived = nullptr;
    TWindowGeometry* FGeometry = nullptr;

    QMenu* FFileMenu = nullptr;
    QMenu* FViewMenu = nullptr;
    QSplitter* FTableSplitter = nullptr;
    TPatternArea* FPatternArea = nullptr;
};

}  // namespace ostrel

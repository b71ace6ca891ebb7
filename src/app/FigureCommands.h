#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

namespace ostrel {

class TFiguresPanel;
class TFileTableModel;
class TPatternDataList;
class TSaveDialogService;

// The main window's commands about computed figures: View > Figures (a dock), View > -3 dB
// Ticks, and File > Export Table.
class TFigureCommands : public QObject {
    Q_OBJECT

public:
    // `repaint` redraws the graphs; `showStatus` puts a line in the status bar.
    TFigureCommands(QMainWindow& window, TFileTableModel& table, std::function<void()> repaint,
                    std::function<void(const std::string&)> showStatus);
    ~TFigureCommands() override;

    // Adds "Export Table..." before `before` in the File menu, and the View menu's entries.
    void AddToFileMenu(QMenu& file, QAction* before);
    void AddToViewMenu(QMenu& view);
    // The selection to list in the panel, in table order.
    void OnSelectionChanged(const TPatternDataList& selection);
    // The H cut changed: the table and the panel show the other cut's figures.
    void OnHCutChanged(const TPatternDataList& selection);

    // The docked panel's width as the user left it; 0 while it has never been shown. A
    // width set before the panel is shown is the one it opens at; without one it opens wide
    // enough for its content.
    int PanelWidth() const;
    void SetPanelWidth(int width) { FPanelWidth = width; }

    TFiguresPanel& Panel() { return *FPanel; }
    QAction* ExportAction() const { return FExport; }
    QAction* TicksAction() const { return FTicks; }
    // How Export Table asks for its file (the desktop's save dialog unless replaced).
    void SetSaveDialogService(std::unique_ptr<TSaveDialogService> dialogs);

private:
    void ActExportTable();
    void OnPanelShown(bool visible);
    // The selection's figures into the panel.
    void FillPanel();

    QMainWindow& FWindow;
    TFileTableModel& FTable;
    std::function<void()> FRepaint;
    std::function<void(const std::string&)> FShowStatus;
    std::unique_ptr<TSaveDialogService> FDialogs;
    TFiguresPanel* FPanel = nullptr;
    QAction* FExport = nullptr;
    QAction* FTicks = nullptr;
    int FPanelWidth = 0;
    // The model's selection, as last handed over (it lives as long as the window), and
    // whether the hidden panel still shows an older one.
    const TPatternDataList* FSelection = nullptr;
    bool FPanelStale = false;
};

}  // namespace ostrel

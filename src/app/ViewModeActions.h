#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "views/SideBySide.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QStatusBar;

namespace ostrel {

struct TStatusMessage;

// What the graph area shows: the graph type and the radial scale. The H cut is a setting,
// since the figures and the files' reading use it.
struct TViewMode {
    TGraphType Graph = TGraphType::Polar;
    TScaleMode Scale = TScaleMode::Range40Db;
};

// The view modes and the status bar that names them: F5 swaps the graph type, F6 the H cut,
// F7 steps through the scales, each also a checked entry of the View menu; the status bar's
// four panels are the web address, the last command's outcome, the H cut and the scale.
class TViewModeActions : public QObject {
    Q_OBJECT

public:
    // The function keys work anywhere in `window`.
    explicit TViewModeActions(QMainWindow& window);

    // The View menu's submenus "H Cut (F6)", "Rad Scale (F7)" and "Graph Type (F5)".
    void AddToViewMenu(QMenu& view);
    // The graph header's swap button shows this action.
    QAction* SwapGraphAction() const { return FSwapGraph; }
    void CreateStatusPanels(QStatusBar& bar);

    void SetGraphType(TGraphType graph);
    void SetHCut(THCut hCut);
    void ToggleHCut();
    void SetScaleMode(TScaleMode mode);
    const TViewMode& Mode() const { return FMode; }

    // The outcome of the last command that opened, closed or launched something.
    void ShowStatus(const TStatusMessage& message);
    QString StatusPanelText(int panel) const;

signals:
    void GraphChanged();
    // The radial floor in the settings changed, even if to the same value.
    void ScaleChanged();
    void HCutChanged();

private:
    TViewMode FMode;
    QAction* FSwapGraph = nullptr;
    QAction* FAzimuth = nullptr;
    QAction* FHorizontal = nullptr;
    QAction* FScales[3] = {};
    QAction* FCartesian = nullptr;
    QAction* FPolar = nullptr;
    std::vector<QLabel*> FStatusPanels;
};

}  // namespace ostrel

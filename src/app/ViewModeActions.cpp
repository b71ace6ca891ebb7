#include "app/ViewModeActions.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <cstdint>
#include <functional>

#include "app/PathText.h"
#include "graphs/PolarGraph.h"
#include "model/Settings.h"
#include "shell/Branding.h"
#include "shell/StatusReasons.h"

namespace ostrel {

TViewModeActions::TViewModeActions(QMainWindow& window) : QObject(&window) {
    auto key = [this, &window](const char* name, Qt::Key key, std::function<void()> handler) {
        auto* action = new QAction(this);
        action->setObjectName(name);
        action->setShortcut(QKeySequence(key));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, std::move(handler));
        window.addAction(action);
        return action;
    };
    FSwapGraph = key("actSwapGraph", Qt::Key_F5,
                     [this] { SetGraphType(FMode.Graph == gtPolar ? gtCartesian : gtPolar); });
    FSwapGraph->setToolTip("Change graph type");
    FSwapGraph->setIcon(QIcon(":/icons/swap-graph.svg"));
    key("actSwapAzimuth", Qt::Key_F6, [this] { ToggleHCut(); });
    key("actSwapRadScale", Qt::Key_F7, [this] { SetScaleMode((FMode.Scale + 1) % 3); });

    auto checkable = [this](const char* name, const QString& text, QActionGroup* group,
                            std::function<void()> handler) {
        auto* action = new QAction(text, group);
        action->setObjectName(name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, std::move(handler));
        return action;
    };
    auto* hCut = new QActionGroup(this);
    FAzimuth = checkable("mmiAzimuth", "Azimuth", hCut, [this] { SetHCut(true); });
    FHorizontal = checkable("mmiHorizontal", "Horizontal", hCut, [this] { SetHCut(false); });
    auto* scale = new QActionGroup(this);
    FScales[0] = checkable("mmi25dB", "25 dB", scale, [this] { SetScaleMode(0); });
    FScales[1] = checkable("mmi40dB", "40 dB", scale, [this] { SetScaleMode(1); });
    FScales[2] = checkable("mmiLogarithmic", "Logarithmic", scale, [this] { SetScaleMode(2); });
    auto* graph = new QActionGroup(this);
    FCartesian =
        checkable("mmiCartesian", "Cartesian", graph, [this] { SetGraphType(gtCartesian); });
    FPolar = checkable("mmiPolar", "Polar", graph, [this] { SetGraphType(gtPolar); });
}

void TViewModeActions::AddToViewMenu(QMenu& view) {
    QMenu* hCut = view.addMenu("H Cut (F6)");
    hCut->addAction(FAzimuth);
    hCut->addAction(FHorizontal);
    view.addSeparator();
    QMenu* scale = view.addMenu("Rad Scale (F7)");
    scale->addAction(FScales[0]);
    scale->addAction(FScales[1]);
    scale->addSeparator();
    scale->addAction(FScales[2]);
    view.addSeparator();
    QMenu* graph = view.addMenu("Graph Type (F5)");
    graph->addAction(FCartesian);
    graph->addAction(FPolar);
}

void TViewModeActions::CreateStatusPanels(QStatusBar& bar) {
    // No fixed height: the panels size themselves from their font's ascent and descent, so
    // underscores and descenders show at any font the desktop uses.
    bar.setSizeGripEnabled(true);
    const Qt::Alignment alignments[4] = {Qt::AlignCenter, Qt::AlignLeft | Qt::AlignVCenter,
                                         Qt::AlignCenter, Qt::AlignCenter};
    for (int panel = 0; panel < 4; ++panel) {
        auto* label = new QLabel(&bar);
        label->setObjectName(QString("StatusPanel%1").arg(panel));
        label->setAlignment(alignments[panel]);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        bar.addWidget(label, panel == 1 ? 1 : 0);
        FStatusPanels.push_back(label);
    }
    FStatusPanels[0]->setText(branding::kWebAddress);
    FStatusPanels[0]->setFixedWidth(130);
    FStatusPanels[2]->setFixedWidth(120);
    FStatusPanels[3]->setFixedWidth(120);
}

void TViewModeActions::SetGraphType(TGraphType graph) {
    FMode.Graph = graph;
    FPolar->setChecked(graph == gtPolar);
    FCartesian->setChecked(graph == gtCartesian);
    emit GraphChanged();
}

void TViewModeActions::SetHCut(bool azimuth) {
    GetSettings().FUseAzimuth = azimuth;
    FStatusPanels[2]->setText(azimuth ? "H Cut: Azimuth" : "H Cut: Horizontal");
    FAzimuth->setChecked(azimuth);
    FHorizontal->setChecked(!azimuth);
    emit HCutChanged();
}

void TViewModeActions::ToggleHCut() {
    SetHCut(!GetSettings().FUseAzimuth);
}

void TViewModeActions::SetScaleMode(int mode) {
    if (mode < 0 || mode > 2) mode = 1;
    FMode.Scale = mode;
    static const char* const kTexts[3] = {"Scale: -25 dB", "Scale: -40 dB", "Scale: Logarithmic"};
    GetSettings().FRadialFloor = ScaleFloor(static_cast<std::uint8_t>(mode));
    GetSettings().FLogScale = mode == 2;
    FStatusPanels[3]->setText(kTexts[mode]);
    for (int i = 0; i < 3; ++i) FScales[i]->setChecked(mode == i);
    emit ScaleChanged();
}

void TViewModeActions::ShowStatus(const TStatusMessage& message) {
    QLabel* panel = FStatusPanels[1];
    panel->setText(ShownPathText(message.Text));
    panel->setToolTip(ShownPathText(message.ToolTip));
}

QString TViewModeActions::StatusPanelText(int panel) const {
    if (panel < 0 || panel >= static_cast<int>(FStatusPanels.size())) return QString();
    return FStatusPanels[static_cast<size_t>(panel)]->text();
}

}  // namespace ostrel

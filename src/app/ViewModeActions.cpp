#include "app/ViewModeActions.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <array>
#include <functional>

#include "app/PathText.h"
#include "graphs/PolarGraph.h"
#include "model/Settings.h"
#include "shell/Branding.h"
#include "shell/StatusReasons.h"

namespace ostrel {

namespace {

// The scales in the order of the menu, the status texts and F7's round.
constexpr std::array<TScaleMode, 3> kScaleModes = {TScaleMode::Range25Db, TScaleMode::Range40Db,
                                                   TScaleMode::Logarithmic};

size_t ScaleIndex(TScaleMode mode) {
    return static_cast<size_t>(mode);
}

}  // namespace

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
    FSwapGraph = key("actSwapGraph", Qt::Key_F5, [this] {
        SetGraphType(FMode.Graph == TGraphType::Polar ? TGraphType::Cartesian : TGraphType::Polar);
    });
    FSwapGraph->setToolTip("Change graph type");
    FSwapGraph->setIcon(QIcon(":/icons/swap-graph.svg"));
    key("actSwapAzimuth", Qt::Key_F6, [this] { ToggleHCut(); });
    key("actSwapRadScale", Qt::Key_F7,
        [this] { SetScaleMode(kScaleModes[(ScaleIndex(FMode.Scale) + 1) % kScaleModes.size()]); });

    auto checkable = [this](const char* name, const QString& text, QActionGroup* group,
                            std::function<void()> handler) {
        auto* action = new QAction(text, group);
        action->setObjectName(name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, std::move(handler));
        return action;
    };
    auto* hCut = new QActionGroup(this);
    FAzimuth = checkable("mmiAzimuth", "Azimuth", hCut, [this] { SetHCut(THCut::Azimuth); });
    FHorizontal =
        checkable("mmiHorizontal", "Horizontal", hCut, [this] { SetHCut(THCut::Horizontal); });
    auto* scale = new QActionGroup(this);
    const char* const names[] = {"mmi25dB", "mmi40dB", "mmiLogarithmic"};
    const char* const texts[] = {"25 dB", "40 dB", "Logarithmic"};
    for (size_t i = 0; i < kScaleModes.size(); ++i) {
        const TScaleMode mode = kScaleModes[i];
        FScales[i] = checkable(names[i], texts[i], scale, [this, mode] { SetScaleMode(mode); });
    }
    auto* graph = new QActionGroup(this);
    FCartesian = checkable("mmiCartesian", "Cartesian", graph,
                           [this] { SetGraphType(TGraphType::Cartesian); });
    FPolar = checkable("mmiPolar", "Polar", graph, [this] { SetGraphType(TGraphType::Polar); });
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
    FPolar->setChecked(graph == TGraphType::Polar);
    FCartesian->setChecked(graph == TGraphType::Cartesian);
    emit GraphChanged();
}

void TViewModeActions::SetHCut(THCut hCut) {
    GetSettings().FHCut = hCut;
    const bool azimuth = hCut == THCut::Azimuth;
    FStatusPanels[2]->setText(azimuth ? "H Cut: Azimuth" : "H Cut: Horizontal");
    FAzimuth->setChecked(azimuth);
    FHorizontal->setChecked(!azimuth);
    emit HCutChanged();
}

void TViewModeActions::ToggleHCut() {
    SetHCut(GetSettings().FHCut == THCut::Azimuth ? THCut::Horizontal : THCut::Azimuth);
}

void TViewModeActions::SetScaleMode(TScaleMode mode) {
    FMode.Scale = mode;
    static const char* const kTexts[3] = {"Scale: -25 dB", "Scale: -40 dB", "Scale: Logarithmic"};
    GetSettings().FRadialFloor = ScaleFloor(mode);
    GetSettings().FLogScale = mode == TScaleMode::Logarithmic;
    const size_t index = ScaleIndex(mode);
    FStatusPanels[3]->setText(kTexts[index]);
    for (size_t i = 0; i < kScaleModes.size(); ++i) FScales[i]->setChecked(index == i);
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

#include "app/MainFrm.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <utility>

#include "app/DerivedCommands.h"
#include "app/FigureCommands.h"
#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/FilterBar.h"
#include "app/Launches.h"
#include "app/OpenCommands.h"
#include "app/PatternArea.h"
#include "app/RecentFilesMenu.h"
#include "app/SelectionCommands.h"
#include "app/ViewModeActions.h"
#include "app/WindowGeometry.h"
#include "model/Settings.h"
#include "shell/Branding.h"
#include "shell/StatusReasons.h"
#include "widgets/AppIcons.h"

namespace ostrel {

TMainForm::TMainForm(const std::string& iniPath, std::unique_ptr<TLauncher> launcher,
                     QWidget* parent)
    : QMainWindow(parent), FIniPath(iniPath) {
    setWindowTitle(branding::kWindowCaption);
    setWindowIcon(ProgramIcon());
    QFont font("Tahoma");
    font.setPixelSize(11);
    setFont(font);

    // Start-up, in the order the rest of the program relies on.
    FRecent = new TRecentFilesMenu(
        *this, FIniPath, [this](const QString& path) { FOpening->OpenPatternFile(path); },
        [this](const TStatusMessage& message) { ShowStatus(message); });
    FModel = std::make_unique<TMainModel>();
    FModel->OnSelectionChanged = [this](TMainModel&) {
        if (FFigures) FFigures->OnSelectionChanged(FModel->Selection);
        FPatternArea->Invalidate();
        FCommands->OnSelectionChanged();
        FDerived->OnSelectionChanged();
    };

    CreateParts(std::move(launcher));
    CreateMenus();
    CreateToolBar();
    CreateCentralArea();
    // The comparison windows close before the rows of their patterns go; the windows that
    // follow one pattern close after the table has heard of it.
    FModel->OnPatternRemoved = [this, table = FModel->OnPatternRemoved](TMainModel& model,
                                                                        TPatternData& pattern) {
        FDerived->OnPatternRemoved(pattern);
        if (table) table(model, pattern);
        FCommands->PatternClosed(&pattern);
    };
    FModel->OnCleared = [this, table = FModel->OnCleared](TMainModel& model) {
        FDerived->OnCleared();
        if (table) table(model);
        FCommands->PatternClosed(nullptr);
    };
    const auto repaint = [this] { FPatternArea->Invalidate(); };
    const auto showStatus = [this](const std::string& text) { ShowStatus({text, {}}); };
    FFigures = new TFigureCommands(*this, FTable->Model(), repaint, showStatus);
    FFigures->AddToFileMenu(*FFileMenu, FCommands->PrintAction());
    FFigures->AddToViewMenu(*FViewMenu);
    FGeometry = new TWindowGeometry(*this, *FTableSplitter, *FTable, *FFigures, FIniPath);
    FViewModes->CreateStatusPanels(*statusBar());
    FOpening->CreateFlow(*statusBar(), FTable->Model());
    FRecent->Rebuild();
    // Said once: a read-only settings file keeps this run's changes from being saved.
    if (const std::string problem = PrepareSettingsFile(FIniPath); !problem.empty()) {
        ShowStatus(SettingsNotSavedMessage(FIniPath, problem));
    }

    FTable->FilterBar().SetText(QString::fromStdString(GetSettings().FFilterText));
    FViewModes->SetHCut(THCut::Azimuth);
    FViewModes->SetScaleMode(TScaleMode::Range40Db);
    FViewModes->SetGraphType(TGraphType::Polar);

    // The minimum outer size needs the window manager's real frame, known once shown.
    resize(667, 541 + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    FGeometry->Restore();
}

TMainForm::~TMainForm() {
    // The readers of a batch still loading stop before the model they fill goes.
    delete FOpening;
    FOpening = nullptr;
    // The table refers to the patterns: empty it before the model frees them.
    FModel->OnSelectionChanged = nullptr;
    FDerived->OnCleared();
    FTable->Detach();
    FModel.reset();
    FGeometry->Save();
    FRecent->Save();
}

void TMainForm::CreateParts(std::unique_ptr<TLauncher> launcher) {
    const auto showStatus = [this](const TStatusMessage& message) { ShowStatus(message); };
    FDerived = new TDerivedCommands(
        *this, *FModel, [this] { return FTable->Model().Rows(); }, showStatus);
    FOpening = new TOpenCommands(*this, *FModel, *FRecent, showStatus);
    FViewModes = new TViewModeActions(*this);
    const auto refresh = [this] {
        FTable->View().viewport()->update();
        FPatternArea->Invalidate();
        FDerived->OnPatternsChanged();
    };
    FCommands = new TSelectionCommands(*this, *FModel, *FViewModes, std::move(launcher), refresh,
                                       showStatus);

    connect(FViewModes, &TViewModeActions::GraphChanged, this, &TMainForm::ShowViewMode);
    connect(FViewModes, &TViewModeActions::ScaleChanged, this, [this] {
        ShowViewMode();
        // The floor lives in the settings, which the area cannot watch.
        FPatternArea->Invalidate();
    });
    connect(FViewModes, &TViewModeActions::HCutChanged, this, [this] {
        if (FFigures) FFigures->OnHCutChanged(FModel->Selection);
        FPatternArea->Invalidate();
    });
}

void TMainForm::CreateCentralArea() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    FTable = new TFileTablePanel(*this, *central, *FModel,
                                 [this](const TStatusMessage& message) { ShowStatus(message); });

    auto* graphScroll = new QScrollArea(central);
    graphScroll->setObjectName("graphScroll");
    graphScroll->setWidgetResizable(true);
    graphScroll->setFrameShape(QFrame::NoFrame);
    auto* pnlMain = new QWidget;
    pnlMain->setObjectName("pnlMain");
    pnlMain->setAutoFillBackground(true);
    QPalette white = pnlMain->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlMain->setPalette(white);
    auto* mainLayout = new QVBoxLayout(pnlMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    auto* pnlHeader = new QWidget(pnlMain);
    pnlHeader->setObjectName("pnlHeader");
    pnlHeader->setFixedHeight(33);
    auto* btnSwap = new QToolButton(pnlHeader);
    btnSwap->setObjectName("btnSwap");
    btnSwap->setGeometry(8, 6, 23, 22);
    btnSwap->setAutoRaise(true);
    btnSwap->setDefaultAction(FViewModes->SwapGraphAction());
    auto* pnlGraph = new QWidget(pnlMain);
    pnlGraph->setObjectName("pnlGraph");
    auto* graphLayout = new QVBoxLayout(pnlGraph);
    graphLayout->setContentsMargins(0, 0, 0, 0);
    FPatternArea = new TPatternArea(pnlGraph, FModel->Selection);
    ShowViewMode();
    FPatternArea->setObjectName("pbPattern");
    graphLayout->addWidget(FPatternArea);
    mainLayout->addWidget(pnlHeader);
    mainLayout->addWidget(pnlGraph, 1);
    graphScroll->setWidget(pnlMain);

    FTableSplitter = new QSplitter(Qt::Vertical, central);
    FTableSplitter->setObjectName("tableSplitter");
    FTableSplitter->setHandleWidth(3);
    FTableSplitter->setChildrenCollapsible(false);
    FTableSplitter->addWidget(&FTable->View());
    FTableSplitter->addWidget(graphScroll);
    FTableSplitter->setStretchFactor(0, 0);
    FTableSplitter->setStretchFactor(1, 1);
    FTableSplitter->setSizes({TWindowGeometry::kDefaultTableHeight, 400});
    layout->addWidget(&FTable->CreateFilterBar(*central));
    layout->addWidget(FTableSplitter);
    setCentralWidget(central);
}

void TMainForm::ShowViewMode() {
    FPatternArea->SetView(FViewModes->Mode().Graph,
                          FViewModes->Mode().Scale == TScaleMode::Logarithmic);
}

void TMainForm::ShowStatus(const TStatusMessage& message) {
    FViewModes->ShowStatus(message);
}

void TMainForm::OpenFiles(const QStringList& paths) {
    FOpening->OpenFiles(paths);
}

QWidget* TMainForm::PatternBox() const {
    return FPatternArea;
}

}  // namespace ostrel

// The main window's menus and toolbar: where each part's commands appear.
#include "app/MainFrm.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

#include "app/DerivedCommands.h"
#include "app/OpenCommands.h"
#include "app/PatternArea.h"
#include "app/RecentFilesMenu.h"
#include "app/SelectionCommands.h"
#include "app/ViewModeActions.h"

namespace ostrel {

namespace {

QIcon ActionIcon(const char* name) {
    return QIcon(QString(":/icons/%1.svg").arg(name));
}

}  // namespace

void TMainForm::CreateMenus() {
    FFileMenu = menuBar()->addMenu("File");
    FFileMenu->setObjectName("mmiFile");
    FFileMenu->addAction(FOpening->OpenAction());
    auto* openFolder =
        FFileMenu->addAction("Open &Folder...", FOpening, &TOpenCommands::OpenFolder);
    openFolder->setObjectName("actOpenFolder");
    openFolder->setShortcut(QKeySequence("Ctrl+Shift+O"));
    QAction* openEdx = FFileMenu->addAction("Open EDX (Special)");
    openEdx->setObjectName("mmiOpenEdx");
    openEdx->setVisible(false);
    connect(openEdx, &QAction::triggered, FOpening, &TOpenCommands::OpenEdx);
    FFileMenu->addAction("Save &As...", FCommands, &TSelectionCommands::SaveAs)
        ->setObjectName("mmiSaveAs");
    FFileMenu->addSeparator();
    QAction* closeAll = FFileMenu->addAction("&Close All", FOpening, &TOpenCommands::CloseAll);
    closeAll->setObjectName("mmiCloseAll");
    FFileMenu->addSeparator();
    QAction* copy = FFileMenu->addAction("Copy Image", this, [this] { FPatternArea->CopyImage(); });
    copy->setObjectName("mmiCopyImage");
    FFileMenu->addSeparator();
    FFileMenu->addAction(FCommands->PrintAction());
    FFileMenu->addSeparator();
    FRecent->AttachTo(*FFileMenu, FFileMenu->addSeparator());
    QAction* exit = FFileMenu->addAction("&Exit", this, &QWidget::close);
    exit->setObjectName("mmiExit");

    QMenu* options = menuBar()->addMenu("&Options");
    options->addAction("&Options", FCommands, &TSelectionCommands::Options)
        ->setObjectName("mmiOptions");
    options->addAction(FCommands->AnglesAction());
    QAction* copyPattern =
        options->addAction("&Copy Pattern as Image", this, [this] { FPatternArea->CopyImage(); });
    copyPattern->setObjectName("mmiCopyPattern");
    copyPattern->setVisible(false);

    QMenu* view = menuBar()->addMenu("&View");
    FViewMenu = view;
    view->addAction(FCommands->ShowSourceAction());
    view->addAction(FCommands->ShowPointsAction());
    view->addSeparator();
    FViewModes->AddToViewMenu(*view);
    view->addSeparator();
    view->addAction(FCommands->View3dAction());
    view->addAction(FCommands->CoverageAction());

    QMenu* pattern = menuBar()->addMenu("&Pattern");
    pattern->setObjectName("mmiPattern");
    FDerived->AddToMenu(*pattern);

    QMenu* about = menuBar()->addMenu("&About");
    about->addAction("&About", FCommands, &TSelectionCommands::About)->setObjectName("mmiAbout");
    about->addSeparator();
    about->addAction("&License Agreement", FCommands, &TSelectionCommands::License)
        ->setObjectName("mmiLicense");
    about->addSeparator();
    QAction* guide = about->addAction("&Quick Guide", FCommands, &TSelectionCommands::QuickGuide);
    guide->setObjectName("mmiQuickGuide");
    guide->setVisible(false);
}

void TMainForm::CreateToolBar() {
    QToolBar* bar = addToolBar("Toolbar");
    bar->setObjectName("mainToolBar");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setFixedHeight(26);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addAction(FOpening->OpenAction());
    QAction* edx = bar->addAction(ActionIcon("edx"), "Open EDX (Special)");
    edx->setObjectName("tbOpenEdx");
    edx->setVisible(false);
    connect(edx, &QAction::triggered, FOpening, &TOpenCommands::OpenEdx);
    bar->addSeparator();
    bar->addAction(FCommands->PrintAction());
    bar->addSeparator();
    bar->addAction(FCommands->AnglesAction());
    bar->addSeparator();
    bar->addAction(FCommands->ShowSourceAction());
    bar->addAction(FCommands->ShowPointsAction());
    bar->addAction(FCommands->View3dAction());
    QAction* animation = bar->addAction(ActionIcon("animation"), "Animation");
    animation->setObjectName("tbAnimation");
    animation->setVisible(false);
    connect(animation, &QAction::triggered, FCommands, &TSelectionCommands::Animate);
    QAction* toggle =
        bar->addAction(ActionIcon("toggle-azimuth"), "Toggle between Azimuth and Horizontal H Cut");
    toggle->setObjectName("toolToggleAz");
    toggle->setVisible(false);
    connect(toggle, &QAction::triggered, FViewModes, &TViewModeActions::ToggleHCut);
}

}  // namespace ostrel

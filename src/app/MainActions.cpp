// The main window's actions, menus and toolbar: what each command is called, its keys,
// icon and place.
#include "app/MainFrm.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QToolBar>

#include <algorithm>
#include <filesystem>

#include "app/FigureCommands.h"
#include "app/Launches.h"
#include "app/OpenCommands.h"
#include "app/PatternArea.h"
#include "app/RecentFilesMenu.h"
#include "app/SaveAsCommand.h"
#include "app/ScreenAreas.h"
#include "app/TableColumns.h"
#include "app/ViewModeActions.h"
#include "dialogs/RotateDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "model/Settings.h"
#include "shell/WindowPlacement.h"
#include "views/PrintedPages.h"

namespace ostrel {

namespace {

QIcon ActionIcon(const char* name) {
    return QIcon(QString(":/icons/%1.svg").arg(name));
}

}  // namespace

void TMainForm::CreateActions() {
    auto make = [this](const char* name, const QString& text, const QKeySequence& shortcut,
                       const QString& hint, const char* icon, void (TMainForm::*handler)()) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        if (!hint.isEmpty()) action->setToolTip(hint);
        if (icon) action->setIcon(ActionIcon(icon));
        if (handler) connect(action, &QAction::triggered, this, handler);
        return action;
    };
    FOpening = new TOpenCommands(*this, *FModel, *FRecent,
                                 [this](const TStatusMessage& message) { ShowStatus(message); });
    actPrint =
        make("actPrint", "&Print", QKeySequence("Ctrl+P"), "Print", "print", &TMainForm::ActPrint);
    actAngles = make("actAngles", "Offset Angles", QKeySequence("Ctrl+W"), "Set offset angles",
                     "offset-angles", &TMainForm::ActAngles);
    actShowSource = make("actShowSource", "&Source File", QKeySequence("Ctrl+S"),
                         "View source file", "source", &TMainForm::ActShowSource);
    actShowPoints = make("actShowPoints", "&Pattern Points", QKeySequence("Ctrl+E"),
                         "View pattern points", "points", &TMainForm::ActShowPoints);
    actView3d = make("actView3d", "&View 3D", QKeySequence(), "View 3D model", "view3d",
                     &TMainForm::ActView3d);

    FViewModes = new TViewModeActions(*this);
    connect(FViewModes, &TViewModeActions::GraphChanged, this, &TMainForm::ShowViewMode);
    connect(FViewModes, &TViewModeActions::ScaleChanged, this, [this] {
        ShowViewMode();
        // The floor lives in the settings, which the area cannot watch.
        pbPattern->Invalidate();
    });
    connect(FViewModes, &TViewModeActions::HCutChanged, this, [this] {
        if (FFigures) FFigures->OnHCutChanged(FModel->Selection);
        pbPattern->Invalidate();
    });
}

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
    FFileMenu->addAction("Save &As...", this, &TMainForm::ActSaveAs)->setObjectName("mmiSaveAs");
    FFileMenu->addSeparator();
    QAction* closeAll = FFileMenu->addAction("&Close All", FOpening, &TOpenCommands::CloseAll);
    closeAll->setObjectName("mmiCloseAll");
    FFileMenu->addSeparator();
    QAction* copy = FFileMenu->addAction("Copy Image", this, [this] { pbPattern->CopyImage(); });
    copy->setObjectName("mmiCopyImage");
    FFileMenu->addSeparator();
    FFileMenu->addAction(actPrint);
    FFileMenu->addSeparator();
    FRecent->AttachTo(*FFileMenu, FFileMenu->addSeparator());
    QAction* exit = FFileMenu->addAction("&Exit", this, &QWidget::close);
    exit->setObjectName("mmiExit");

    QMenu* options = menuBar()->addMenu("&Options");
    options->addAction("&Options", this, &TMainForm::ActOptions)->setObjectName("mmiOptions");
    options->addAction(actAngles);
    QAction* copyPattern =
        options->addAction("&Copy Pattern as Image", this, [this] { pbPattern->CopyImage(); });
    copyPattern->setObjectName("mmiCopyPattern");
    copyPattern->setVisible(false);

    QMenu* view = menuBar()->addMenu("&View");
    FViewMenu = view;
    view->addAction(actShowSource);
    view->addAction(actShowPoints);
    view->addSeparator();
    FViewModes->AddToViewMenu(*view);
    view->addSeparator();
    view->addAction(actView3d);

    QMenu* about = menuBar()->addMenu("&About");
    about->addAction("&About", this, &TMainForm::ActAbout)->setObjectName("mmiAbout");
    about->addSeparator();
    about->addAction("&License Agreement", this, &TMainForm::ActLicense)
        ->setObjectName("mmiLicense");
    about->addSeparator();
    QAction* guide = about->addAction("&Quick Guide", this, &TMainForm::ActQuickGuide);
    guide->setObjectName("mmiQuickGuide");
    guide->setVisible(false);
}

void TMainForm::CreateToolBar() {
    QToolBar* bar = addToolBar("ToolBar1");
    bar->setObjectName("ToolBar1");
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
    bar->addAction(actPrint);
    bar->addSeparator();
    bar->addAction(actAngles);
    bar->addSeparator();
    bar->addAction(actShowSource);
    bar->addAction(actShowPoints);
    bar->addAction(actView3d);
    QAction* animation = bar->addAction(ActionIcon("animation"), "Animation");
    animation->setObjectName("tbAnimation");
    animation->setVisible(false);
    connect(animation, &QAction::triggered, this, &TMainForm::ActAnimate);
    QAction* toggle =
        bar->addAction(ActionIcon("toggle-azimuth"), "Toggle between Azimuth and Horizontal H Cut");
    toggle->setObjectName("toolToggleAz");
    toggle->setVisible(false);
    connect(toggle, &QAction::triggered, FViewModes, &TViewModeActions::ToggleHCut);
}

}  // namespace ostrel

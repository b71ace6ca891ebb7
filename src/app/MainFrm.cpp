#include "app/MainFrm.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

#include "app/FigureCommands.h"
#include "app/FileTablePanel.h"
#include "app/FilterBar.h"
#include "app/Launches.h"
#include "app/OpenCommands.h"
#include "app/PathText.h"
#include "app/PatternArea.h"
#include "app/RecentFilesMenu.h"
#include "app/SaveAsCommand.h"
#include "app/ScreenAreas.h"
#include "app/TableColumns.h"
#include "app/ViewModeActions.h"
#include "app/WindowGeometry.h"
#include "dialogs/AboutFrm.h"
#include "dialogs/AniFrm.h"
#include "dialogs/PatPointsDlg.h"
#include "dialogs/PrintOptionsDlg.h"
#include "dialogs/RotateDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "formats/EdxFile.h"
#include "formats/PatternLoaders.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasPainter.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "shell/Branding.h"
#include "shell/FileTable.h"
#include "shell/WindowPlacement.h"
#include "views/PrintedPages.h"
#include "widgets/AppIcons.h"
#include "widgets/ClipboardService.h"
#include "widgets/EdgePanel.h"

namespace ostrel {

namespace {

class TQtPrintDialogService : public TPrintDialogService {
public:
    int RunPrintOptions(TPrintOptionsDialog& dialog) override { return dialog.exec(); }
    bool RunPrintDialog(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

}  // namespace

TMainForm::TMainForm(const std::string& iniPath, std::unique_ptr<TLauncher> launcher,
                     QWidget* parent)
    : QMainWindow(parent),
      FIniPath(iniPath),
      FPrintDialogs(std::make_unique<TQtPrintDialogService>()),
      FErrors(&MessageBoxErrorReporter()),
      FLauncher(launcher ? std::move(launcher) : std::make_unique<TLauncher>()) {
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
    BindModelEvents();

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateCentralArea();
    const auto repaint = [this] { pbPattern->Invalidate(); };
    const auto showStatus = [this](const std::string& text) { ShowStatus({text, {}}); };
    FFigures = new TFigureCommands(*this, FTable->View(), FTable->Model(), repaint, showStatus);
    FFigures->AddToFileMenu(*FFileMenu, actPrint);
    FFigures->AddToViewMenu(*FViewMenu);
    FGeometry = new TWindowGeometry(*this, *FTableSplitter, *FTable, *FFigures, FIniPath);
    CreateStatusBar();
    FRecent->Rebuild();
    // Said once: a read-only settings file keeps this run's changes from being saved.
    if (const std::string problem = PrepareSettingsFile(FIniPath); !problem.empty()) {
        ShowStatus(SettingsNotSavedMessage(FIniPath, problem));
    }

    UpdateCommandStates();
    FTable->FilterBar().SetText(QString::fromStdString(GetSettings().FFilterText));
    FViewModes->SetHCut(true);
    FView3dShown = FLauncher->View3dAvailable();
    // Without the companion viewer the command opens the built-in 3D window.
    actView3d->setVisible(true);
    FViewModes->SetScaleMode(1);
    FViewModes->SetGraphType(gtPolar);

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
    FTable->Detach();
    FModel.reset();
    FGeometry->Save();
    FRecent->Save();
}

void TMainForm::SetPrintDialogService(std::unique_ptr<TPrintDialogService> service) {
    if (service) FPrintDialogs = std::move(service);
}

void TMainForm::SetErrorReporter(TErrorReporter& errors) {
    FErrors = &errors;
    FOpening->SetErrorReporter(errors);
}

// ---------------------------------------------------------------------------------------
// Building the window

void TMainForm::CreateCentralArea() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const auto showStatus = [this](const TStatusMessage& message) { ShowStatus(message); };
    FTable = new TFileTablePanel(*this, *central, *FModel, showStatus);

    auto* graphScroll = new QScrollArea(central);
    graphScroll->setObjectName("graphScroll");
    graphScroll->setWidgetResizable(true);
    graphScroll->setFrameShape(QFrame::NoFrame);
    pnlMain = new QWidget;
    pnlMain->setObjectName("pnlMain");
    pnlMain->setAutoFillBackground(true);
    QPalette white = pnlMain->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlMain->setPalette(white);
    auto* mainLayout = new QVBoxLayout(pnlMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    pnlHeader = new QWidget(pnlMain);
    pnlHeader->setObjectName("pnlHeader");
    pnlHeader->setFixedHeight(33);
    btnSwap = new QToolButton(pnlHeader);
    btnSwap->setObjectName("btnSwap");
    btnSwap->setGeometry(8, 6, 23, 22);
    btnSwap->setAutoRaise(true);
    btnSwap->setDefaultAction(FViewModes->SwapGraphAction());
    pnlGraph = new QWidget(pnlMain);
    pnlGraph->setObjectName("pnlGraph");
    auto* graphLayout = new QVBoxLayout(pnlGraph);
    graphLayout->setContentsMargins(0, 0, 0, 0);
    pbPattern = new TPatternArea(pnlGraph, FModel->Selection);
    ShowViewMode();
    pbPattern->setObjectName("pbPattern");
    graphLayout->addWidget(pbPattern);
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

void TMainForm::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    FViewModes->CreateStatusPanels(*bar);
    FOpening->CreateFlow(*bar, FTable->Model());
}

void TMainForm::BindModelEvents() {
    FModel->OnSelectionChanged = [this](TMainModel&) {
        if (FFigures) FFigures->OnSelectionChanged(FModel->Selection);
        pbPattern->Invalidate();
        UpdateCommandStates();
    };
}

void TMainForm::ShowViewMode() {
    pbPattern->SetView(FViewModes->Mode().Graph, FViewModes->Mode().Scale == 2);
}

void TMainForm::ShowStatus(const TStatusMessage& message) {
    FViewModes->ShowStatus(message);
}

// ---------------------------------------------------------------------------------------
// Commands and view modes

void TMainForm::UpdateCommandStates() {
    const int n = FModel->Selection.Count();
    actShowSource->setEnabled(n == 1);
    actAngles->setEnabled(n >= 1);
    actPrint->setEnabled(n >= 1);
    actShowPoints->setEnabled(n >= 1);
    actView3d->setEnabled(FView3dShown ? n == 1 : n >= 1);
}

void TMainForm::OpenFiles(const QStringList& paths) {
    FOpening->OpenFiles(paths);
}

QWidget* TMainForm::PatternBox() const {
    return pbPattern;
}

}  // namespace ostrel

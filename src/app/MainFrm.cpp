#include "app/MainFrm.h"

#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "app/FigureCommands.h"
#include "app/FileTableDelegate.h"
#include "app/FileTableModel.h"
#include "app/FilterBar.h"
#include "app/Launches.h"
#include "app/OpenFilesFlow.h"
#include "app/PathText.h"
#include "app/PatternArea.h"
#include "app/SaveAsCommand.h"
#include "app/ScreenAreas.h"
#include "app/TableColumns.h"
#include "dialogs/AboutFrm.h"
#include "dialogs/AniFrm.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/PatPointsDlg.h"
#include "dialogs/PrintOptionsDlg.h"
#include "dialogs/RotateDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "formats/EdxFile.h"
#include "formats/PatternLoaders.h"
#include "graphs/PolarGraph.h"
#include "model/Errors.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasDrawer.h"
#include "qtdraw/CanvasPainter.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "shell/Branding.h"
#include "shell/FileTable.h"
#include "shell/WindowPlacement.h"
#include "views/OffsetAngles.h"
#include "views/PrintedPages.h"
#include "views/SideBySide.h"
#include "widgets/AppIcons.h"
#include "widgets/ClipboardService.h"
#include "widgets/EdgePanel.h"

namespace ostrel {

namespace {

constexpr int kMinOuterWidth = 640;
constexpr int kMinOuterHeight = 580;

class TQtFileDialogService : public TFileDialogService {
public:
    QStringList GetOpenFileNames(QWidget* parent, const QString& folder, const QStringList& filters,
                                 QString& selectedFilter) override {
        QFileDialog dialog(parent, QString(), folder, filters.join(";;"));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setSizeGripEnabled(true);
        dialog.selectFile(QString());
        if (!selectedFilter.isEmpty()) dialog.selectNameFilter(selectedFilter);
        if (dialog.exec() != QDialog::Accepted) return {};
        selectedFilter = dialog.selectedNameFilter();
        return dialog.selectedFiles();
    }
    QString GetExistingFolder(QWidget* parent, const QString& folder) override {
        return QFileDialog::getExistingDirectory(parent, QObject::tr("Open Folder"), folder);
    }
};

class TQtPrintDialogService : public TPrintDialogService {
public:
    int RunPrintOptions(TPrintOptionsDialog& dialog) override { return dialog.exec(); }
    bool RunPrintDialog(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

QIcon ActionIcon(const char* name) {
    return QIcon(QString(":/icons/%1.svg").arg(name));
}

// Menu texts use "&" for access keys; a path shown in a menu must keep its own "&".
QString MenuSafe(const QString& text) {
    QString escaped = text;
    return escaped.replace('&', "&&");
}

}  // namespace

const QStringList TMainForm::kOpenFilters = {
    "Ostrel Files (*.txt *.pln *.msi)", "Kavrel Files (*.doc)",      "Verizon Files (*.vwa)",
    "NSMA Files (*.adf *.nsm *.nsma)",  "EDX Pattern Files (*.pat)", "All Files (*)",
};

TMainForm::TMainForm(const std::string& iniPath, std::unique_ptr<TLauncher> launcher,
                     QWidget* parent)
    : QMainWindow(parent),
      FIniPath(iniPath),
      FFileDialog(std::make_unique<TQtFileDialogService>()),
      FPrintDialogs(std::make_unique<TQtPrintDialogService>()),
      FErrors(&MessageBoxErrorReporter()),
      FLauncher(launcher ? std::move(launcher) : std::make_unique<TLauncher>()),
      FOpenFilter(kOpenFilters.front()) {
    setWindowTitle(branding::kWindowCaption);
    setWindowIcon(ProgramIcon());
    QFont font("Tahoma");
    font.setPixelSize(11);
    setFont(font);
    setAcceptDrops(true);

    // Start-up, in the order the rest of the program relies on.
    FMru.Load(FIniPath);
    FModel = std::make_unique<TMainModel>();
    BindModelEvents();

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateCentralArea();
    FFigures =
        new TFigureCommands(*this, *tvFiles, *FFileTable, [this] { pbPattern->Invalidate(); });
    FFigures->AddToFileMenu(*FFileMenu, actPrint);
    FFigures->AddToViewMenu(*FViewMenu);
    CreateStatusBar();
    RebuildRecentFilesMenu();
    // Said once: a read-only settings file keeps this run's changes from being saved.
    if (const std::string problem = PrepareSettingsFile(FIniPath); !problem.empty()) {
        ShowStatus(SettingsNotSavedMessage(FIniPath, problem));
    }

    UpdateCommandStates();
    FFilterBar->SetText(QString::fromStdString(GetSettings().FFilterText));
    SetHCut(true);
    FView3dShown = FLauncher->View3dAvailable();
    // Without the companion viewer the command opens the built-in 3D window.
    actView3d->setVisible(true);
    SetScaleMode(1);
    SetGraphType(gkPolar);

    // The minimum outer size needs the window manager's real frame, known once shown.
    resize(667, 541 + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    RestorePlacement();
}

TMainForm::~TMainForm() {
    // The readers of a batch still loading stop before the model they fill goes.
    delete FOpenFlow;
    FOpenFlow = nullptr;
    // The table refers to the patterns: empty it before the model frees them.
    FModel->OnCleared = nullptr;
    FModel->OnPatternRemoved = nullptr;
    FModel->OnSelectionChanged = nullptr;
    FFileTable->ClearRows();
    FModel.reset();
    if (FWasShown) SavePlacement();
    FMru.Save(FIniPath);
}

void TMainForm::RestorePlacement() {
    const std::optional<TWindowPlacement> saved = TWindowPlacement::Load(FIniPath);
    TWindowPlacement placement;
    if (saved) {
        placement = *saved;
        QHeaderView* header = tvFiles->header();
        // Files written before the figure columns existed list the file columns only.
        const int order = static_cast<int>(placement.ColumnOrder.size());
        if ((order == fcColumnCount || order == TableColumnCount()) &&
            IsColumnOrder(placement.ColumnOrder, order)) {
            for (int visual = 0; visual < order; ++visual) {
                const int column = placement.ColumnOrder[static_cast<size_t>(visual)];
                header->moveSection(header->visualIndex(column), visual);
            }
        }
        const int widths = static_cast<int>(placement.ColumnWidths.size());
        if ((widths == fcColumnCount || widths == TableColumnCount()) &&
            AreColumnWidths(placement.ColumnWidths, widths)) {
            for (int column = 0; column < widths; ++column) {
                header->resizeSection(column, placement.ColumnWidths[static_cast<size_t>(column)]);
            }
        }
        FFigures->Columns().Restore(placement.HiddenColumns);
    } else {
        placement.Left = x();
        placement.Top = y();
        placement.Width = width();
        placement.Height = height();
    }
    // Saved on a screen that is gone or larger than this one, or the default size on a small
    // screen: every edge of the window stays in reach.
    placement = PlacementOnScreens(placement, AvailableScreenAreas());
    setGeometry(placement.Left, placement.Top, placement.Width, placement.Height);
    if (!saved) return;
    if (placement.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
    if (TryTableHeight(placement.TableHeight)) {
        Splitter1->setSizes({FLastTableHeight, std::max(1, height() - FLastTableHeight)});
    }
}

void TMainForm::SavePlacement() const {
    TWindowPlacement placement;
    const QRect normal = normalGeometry();
    placement.Left = normal.left();
    placement.Top = normal.top();
    placement.Width = normal.width();
    placement.Height = normal.height();
    placement.Maximized = isMaximized();
    placement.TableHeight = Splitter1->sizes().value(0);
    const QHeaderView* header = tvFiles->header();
    for (int visual = 0; visual < TableColumnCount(); ++visual) {
        placement.ColumnOrder.push_back(header->logicalIndex(visual));
    }
    placement.HiddenColumns = FFigures->Columns().Hidden();
    for (int column = 0; column < TableColumnCount(); ++column) {
        // A hidden column has no size; it comes back at the usual width.
        placement.ColumnWidths.push_back(
            header->isSectionHidden(column) ? 75 : header->sectionSize(column));
    }
    // A window grown past its screen is not worth restoring at that size.
    PlacementOnScreens(placement, AvailableScreenAreas()).Save(FIniPath);
}

void TMainForm::SetFileDialogService(std::unique_ptr<TFileDialogService> service) {
    if (service) FFileDialog = std::move(service);
}

void TMainForm::SetPrintDialogService(std::unique_ptr<TPrintDialogService> service) {
    if (service) FPrintDialogs = std::move(service);
}

void TMainForm::SetErrorReporter(TErrorReporter& errors) {
    FErrors = &errors;
}

// ---------------------------------------------------------------------------------------
// Building the window

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
    actOpen =
        make("actOpen", "&Open", QKeySequence("Ctrl+O"), "Open File", "open", &TMainForm::ActOpen);
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

    actSwapGrap = make("actSwapGrap", QString(), QKeySequence(Qt::Key_F5), "Change graph type",
                       "swap-graph", nullptr);
    connect(actSwapGrap, &QAction::triggered, this,
            [this] { SetGraphType(FGraphType == gkPolar ? gkCartesian : gkPolar); });
    actSwapAzimuth =
        make("actSwapAzimuth", QString(), QKeySequence(Qt::Key_F6), QString(), nullptr, nullptr);
    connect(actSwapAzimuth, &QAction::triggered, this,
            [this] { SetHCut(!GetSettings().FUseAzimuth); });
    actSwapRadScale =
        make("actSwapRadScale", QString(), QKeySequence(Qt::Key_F7), QString(), nullptr, nullptr);
    connect(actSwapRadScale, &QAction::triggered, this,
            [this] { SetScaleMode((FScaleMode + 1) % 3); });
    for (QAction* action : {actSwapGrap, actSwapAzimuth, actSwapRadScale}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }

    auto checkable = [this](const char* name, const QString& text, QActionGroup* group,
                            std::function<void()> handler) {
        auto* action = new QAction(text, group);
        action->setObjectName(name);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto* hCut = new QActionGroup(this);
    mmiAzimuth = checkable("mmiAzimuth", "Azimuth", hCut, [this] { SetHCut(true); });
    mmiHorizontal = checkable("mmiHorizontal", "Horizontal", hCut, [this] { SetHCut(false); });
    auto* scale = new QActionGroup(this);
    mmi25dB = checkable("mmi25dB", "25 dB", scale, [this] { SetScaleMode(0); });
    mmi40dB = checkable("mmi40dB", "40 dB", scale, [this] { SetScaleMode(1); });
    mmiLogarithmic = checkable("mmiLogarithmic", "Logarithmic", scale, [this] { SetScaleMode(2); });
    auto* graph = new QActionGroup(this);
    mmiCartesian =
        checkable("mmiCartesian", "Cartesian", graph, [this] { SetGraphType(gkCartesian); });
    mmiPolar = checkable("mmiPolar", "Polar", graph, [this] { SetGraphType(gkPolar); });
}

void TMainForm::CreateMenus() {
    FFileMenu = menuBar()->addMenu("File");
    FFileMenu->setObjectName("mmiFile");
    FFileMenu->addAction(actOpen);
    auto* openFolder = FFileMenu->addAction("Open &Folder...", this, &TMainForm::ActOpenFolder);
    openFolder->setObjectName("actOpenFolder");
    openFolder->setShortcut(QKeySequence("Ctrl+Shift+O"));
    QAction* openEdx = FFileMenu->addAction("Open EDX (Special)");
    openEdx->setObjectName("mmiOpenEdx");
    openEdx->setVisible(false);
    connect(openEdx, &QAction::triggered, this, &TMainForm::ActOpenEdx);
    FFileMenu->addAction("Save &As...", this, &TMainForm::ActSaveAs)->setObjectName("mmiSaveAs");
    FFileMenu->addSeparator();
    QAction* closeAll = FFileMenu->addAction("&Close All", this, &TMainForm::ActCloseAll);
    closeAll->setObjectName("mmiCloseAll");
    FFileMenu->addSeparator();
    QAction* copy = FFileMenu->addAction("Copy Image", this, &TMainForm::CopyImage);
    copy->setObjectName("mmiCopyImage");
    FFileMenu->addSeparator();
    FFileMenu->addAction(actPrint);
    FFileMenu->addSeparator();
    FRecentFilesAnchor = FFileMenu->addSeparator();
    QAction* exit = FFileMenu->addAction("&Exit", this, &QWidget::close);
    exit->setObjectName("mmiExit");

    QMenu* options = menuBar()->addMenu("&Options");
    options->addAction("&Options", this, &TMainForm::ActOptions)->setObjectName("mmiOptions");
    options->addAction(actAngles);
    QAction* copyPattern =
        options->addAction("&Copy Pattern as Image", this, &TMainForm::CopyImage);
    copyPattern->setObjectName("mmiCopyPattern");
    copyPattern->setVisible(false);

    QMenu* view = menuBar()->addMenu("&View");
    FViewMenu = view;
    view->addAction(actShowSource);
    view->addAction(actShowPoints);
    view->addSeparator();
    QMenu* hCut = view->addMenu("H Cut (F6)");
    hCut->addAction(mmiAzimuth);
    hCut->addAction(mmiHorizontal);
    view->addSeparator();
    QMenu* scale = view->addMenu("Rad Scale (F7)");
    scale->addAction(mmi25dB);
    scale->addAction(mmi40dB);
    scale->addSeparator();
    scale->addAction(mmiLogarithmic);
    view->addSeparator();
    QMenu* graph = view->addMenu("Graph Type (F5)");
    graph->addAction(mmiCartesian);
    graph->addAction(mmiPolar);
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
    bar->addAction(actOpen);
    QAction* edx = bar->addAction(ActionIcon("edx"), "Open EDX (Special)");
    edx->setObjectName("tbOpenEdx");
    edx->setVisible(false);
    connect(edx, &QAction::triggered, this, &TMainForm::ActOpenEdx);
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
    connect(toggle, &QAction::triggered, this, [this] { SetHCut(!GetSettings().FUseAzimuth); });
}

void TMainForm::CreateCentralArea() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    FFileTable = new TFileTableModel(this);
    tvFiles = new QTreeView(central);
    tvFiles->setObjectName("tvFiles");
    tvFiles->setModel(FFileTable);
    tvFiles->setRootIsDecorated(false);
    tvFiles->setItemsExpandable(false);
    tvFiles->setUniformRowHeights(true);
    tvFiles->setAllColumnsShowFocus(true);
    tvFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvFiles->setSortingEnabled(false);
    tvFiles->setItemDelegate(new TFileTableDelegate(tvFiles));
    QHeaderView* header = tvFiles->header();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < fcColumnCount; ++column) {
        const int width = FileColumnInfo(column).Width;
        header->resizeSection(column, width > 0 ? width : 50);
    }
    connect(header, &QHeaderView::sectionClicked, this, &TMainForm::SortByColumn);
    header->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionHandleDoubleClicked, tvFiles,
            &QTreeView::resizeColumnToContents);
    connect(tvFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnTableSelectionChanged(); });
    tvFiles->installEventFilter(this);

    ScrollBox1 = new QScrollArea(central);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
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
    btnSwap->setDefaultAction(actSwapGrap);
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
    ScrollBox1->setWidget(pnlMain);

    Splitter1 = new QSplitter(Qt::Vertical, central);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(tvFiles);
    Splitter1->addWidget(ScrollBox1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({FLastTableHeight, 400});
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
        const int proposed = Splitter1->sizes().value(0);
        if (!TryTableHeight(proposed)) {
            const QList<int> sizes = Splitter1->sizes();
            const int total = sizes.value(0) + sizes.value(1);
            Splitter1->setSizes({FLastTableHeight, total - FLastTableHeight});
        }
    });
    FFilterBar =
        new TFilterBar(central, *tvFiles, *FFileTable, [this] { OnTableSelectionChanged(); });
    layout->addWidget(FFilterBar);
    layout->addWidget(Splitter1);
    setCentralWidget(central);
}

void TMainForm::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    // No fixed height: the panels size themselves from their font's ascent and descent, so
    // underscores and descenders show at any font the desktop uses.
    bar->setSizeGripEnabled(true);
    const Qt::Alignment alignments[4] = {Qt::AlignCenter, Qt::AlignLeft | Qt::AlignVCenter,
                                         Qt::AlignCenter, Qt::AlignCenter};
    for (int panel = 0; panel < 4; ++panel) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString("StatusPanel%1").arg(panel));
        label->setAlignment(alignments[panel]);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addWidget(label, panel == 1 ? 1 : 0);
        FStatusPanels.push_back(label);
    }
    FStatusPanels[0]->setText(branding::kWebAddress);
    FStatusPanels[0]->setFixedWidth(130);
    FStatusPanels[2]->setFixedWidth(120);
    FStatusPanels[3]->setFixedWidth(120);
    TOpenFilesFlow::THooks hooks;
    hooks.Finished = [this](const TOpenReport& report, bool cancelled) {
        RebuildRecentFilesMenu();
        ShowStatus(OpenBatchMessage(report, cancelled));
    };
    FOpenFlow = new TOpenFilesFlow(*this, *bar, *FModel, *FFileTable, std::move(hooks));
}

void TMainForm::BindModelEvents() {
    FModel->OnPatternAdded = [this](TMainModel&, TPatternData& pattern) {
        FFileTable->AddRow(pattern);
        if (!FImportingCuts) FMru.Add(pattern.FileName);
        // A batch of files rebuilds the menu once, at its end.
        if (!FFileTable->InBatch()) RebuildRecentFilesMenu();
    };
    FModel->OnPatternRemoved = [this](TMainModel&, TPatternData& pattern) {
        FFileTable->RemoveRow(pattern);
    };
    FModel->OnCleared = [this](TMainModel&) { FFileTable->ClearRows(); };
    FModel->OnSelectionChanged = [this](TMainModel&) {
        if (FFigures) FFigures->OnSelectionChanged(FModel->Selection);
        pbPattern->Invalidate();
        UpdateCommandStates();
    };
}

// ---------------------------------------------------------------------------------------
// Files

void TMainForm::ActOpen() {
    QString filter = FOpenFilter;
    const QStringList paths = ChosenPaths(FFileDialog->GetOpenFileNames(
        this, QString::fromStdString(GetSettings().FOpenPath), kOpenFilters, filter));
    if (!filter.isEmpty()) FOpenFilter = filter;
    if (paths.isEmpty()) return;
    OpenFiles(paths);
}

void TMainForm::OpenFiles(const QStringList& paths) {
    FOpenFlow->Open(paths);
}

void TMainForm::FinishLoading() {
    FOpenFlow->FinishNow();
}

void TMainForm::ActOpenFolder() {
    const QString folder =
        FFileDialog->GetExistingFolder(this, QString::fromStdString(GetSettings().FOpenPath));
    if (!folder.isEmpty()) OpenFiles({folder});
}

void TMainForm::OpenPatternFile(const QString& path) {
    TOpenReport report;
    OpenPatternFile(path, report);
    ShowStatus(report.Message());
}

void TMainForm::LoadPatternFile(const QString& path) {
    TOpenReport report;
    LoadPatternFile(path, report);
    ShowStatus(report.Message());
}

void TMainForm::OpenPatternFile(const QString& path, TOpenReport& report) {
    if (!GetSettings().FAllowDuplicates && FModel->Patterns.IndexOfFileName(PathBytes(path)) >= 0) {
        report.Duplicate(PathBytes(path));
        return;
    }
    LoadPatternFile(path, report);
}

void TMainForm::LoadPatternFile(const QString& path, TOpenReport& report) {
    const std::string bytes = PathBytes(path);
    // Remembered before anything is read, so a file that fails still sets the folder.
    GetSettings().FOpenPath = AbsoluteFolderOf(bytes);
    std::string error;
    std::vector<std::unique_ptr<TPatternData>> patterns = ostrel::LoadPatternFile(bytes, &error);
    if (patterns.empty()) {
        report.Failed(bytes, error);
        return;
    }
    for (auto& pattern : patterns) FModel->AddPattern(std::move(pattern));
    report.Opened(bytes);
}

void TMainForm::ActSaveAs() {
    TQtSaveDialogService dialogs;
    TSaveAsCommand command(this, dialogs);
    ShowStatus({command.Run(FModel->Selection, GetSettings().FOpenPath), {}});
}

void TMainForm::ShowStatus(const TStatusMessage& message) {
    QLabel* panel = FStatusPanels[1];
    panel->setText(ShownPathText(message.Text));
    panel->setToolTip(ShownPathText(message.ToolTip));
}

void TMainForm::ActOpenEdx() {
    QString filter = kOpenFilters.at(2);
    const QStringList paths = ChosenPaths(FFileDialog->GetOpenFileNames(
        this, QString::fromStdString(GetSettings().FOpenPath), kOpenFilters, filter));
    if (paths.isEmpty()) return;
    const std::string path = PathBytes(paths.front());
    TQtClipboardService clipboard;
    // The cuts are named after their labels, not files: reopening one could only fail, and
    // each would push a real file off the Reopen list.
    FImportingCuts = true;
    try {
        ImportEdxFile(path, *FModel, clipboard);
        FImportingCuts = false;
        ShowStatus(CutsImportedMessage(path, FModel->Patterns.Count()));
    } catch (const std::exception& error) {
        FImportingCuts = false;
        TOpenReport report;
        report.Failed(path, error.what());
        ShowStatus(report.Message());
        FErrors->ShowError(this, ToQString(error.what()));
    }
}

void TMainForm::ActAnimate() {
    TAnimateForm animation(this);
    animation.Patterns.CopyFrom(FModel->Selection);
    animation.Run();
}

void TMainForm::ActCloseAll() {
    const TStatusMessage closed = ClosedMessage(FModel->Patterns);
    FModel->Clear();
    ShowStatus(closed);
}

void TMainForm::DeleteSelectedPatterns() {
    if (FModel->Selection.Count() == 0) return;
    ShowStatus(ClosedMessage(FModel->Selection));
    TPatternDataList removed(false);
    removed.CopyFrom(FModel->Selection);
    {
        // The table's selection is taken once at the end, not after every removed row: with
        // thousands of rows selected that would cost a pass over all of them per row.
        const QSignalBlocker quiet(tvFiles->selectionModel());
        for (int i = removed.Count() - 1; i >= 0; --i) FModel->RemovePattern(removed.Items(i));
    }
    OnTableSelectionChanged();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
}

void TMainForm::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        // The encoded form keeps a name's bytes that are not UTF-8 ("%E9").
        const std::string path =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
        std::error_code error;
        if (IsExistingFile(path) || std::filesystem::is_directory(path, error)) {
            paths.push_back(PathText(path));
        }
    }
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    OpenFiles(paths);
}

// ---------------------------------------------------------------------------------------
// Table

void TMainForm::SortByColumn(int column) {
    if (FModel->Patterns.Count() == 0) {
        // The header has already moved its arrow to the clicked column: put it back.
        if (FFileTable->SortColumn() >= 0) {
            tvFiles->header()->setSortIndicator(
                FFileTable->SortColumn(),
                FSortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
        }
        return;
    }
    if (column == FFileTable->SortColumn()) {
        FSortAscending = !FSortAscending;
    } else {
        FSortAscending = true;
    }
    FFileTable->SetSortColumn(column);
    FFileTable->SortRows(column, FSortAscending);
    QHeaderView* header = tvFiles->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, FSortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

int TMainForm::SortColumn() const {
    return FFileTable->SortColumn();
}

void TMainForm::OnTableSelectionChanged() {
    QModelIndexList rows = tvFiles->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    TPatternDataList selected(false);
    for (const QModelIndex& index : rows) {
        if (TPatternData* pattern = FFileTable->PatternAt(index.row())) selected.Add(*pattern);
    }
    FModel->SetSelection(selected);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // The header reports clicks of the left button only; the others sort as well.
    if (event->type() == QEvent::MouseButtonRelease && watched == tvFiles->header()->viewport()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) {
            const int column = tvFiles->header()->logicalIndexAt(mouse->position().toPoint());
            if (column >= 0) SortByColumn(column);
        }
    }
    if (watched == tvFiles && event->type() == QEvent::KeyPress) {
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
            DeleteSelectedPatterns();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::TryTableHeight(int height) {
    if (!SplitterAllowsTableHeight(height, frameGeometry().height())) return false;
    FLastTableHeight = height;
    return true;
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

void TMainForm::SetGraphType(TGraphKind kind) {
    FGraphType = kind;
    ShowViewMode();
    mmiPolar->setChecked(kind == gkPolar);
    mmiCartesian->setChecked(kind == gkCartesian);
}

void TMainForm::SetHCut(bool azimuth) {
    GetSettings().FUseAzimuth = azimuth;
    FStatusPanels[2]->setText(azimuth ? "H Cut: Azimuth" : "H Cut: Horizontal");
    mmiAzimuth->setChecked(azimuth);
    mmiHorizontal->setChecked(!azimuth);
    if (FFigures) FFigures->OnHCutChanged(FModel->Selection);
    pbPattern->Invalidate();
}

void TMainForm::SetScaleMode(int mode) {
    if (mode < 0 || mode > 2) mode = 1;
    FScaleMode = mode;
    static const char* const kTexts[3] = {"Scale: -25 dB", "Scale: -40 dB", "Scale: Logarithmic"};
    GetSettings().FRadialFloor = ScaleFloor(static_cast<std::uint8_t>(mode));
    GetSettings().FLogScale = mode == 2;
    FStatusPanels[3]->setText(kTexts[mode]);
    mmi25dB->setChecked(mode == 0);
    mmi40dB->setChecked(mode == 1);
    mmiLogarithmic->setChecked(mode == 2);
    ShowViewMode();
    // The floor lives in the settings, which the area cannot watch.
    pbPattern->Invalidate();
}

QString TMainForm::StatusPanelText(int panel) const {
    if (panel < 0 || panel >= static_cast<int>(FStatusPanels.size())) return QString();
    return FStatusPanels[static_cast<size_t>(panel)]->text();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (FStatusPanels.size() == 4) {
        FStatusPanels[3]->setFixedWidth(120);
        FStatusPanels[2]->setFixedWidth(120);
    }
    ApplyMinimumOuterSize();
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    ApplyMinimumOuterSize();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FWasShown = true;
    ApplyMinimumOuterSize();
}

void TMainForm::ApplyMinimumOuterSize() {
    // The outer size (with the frame the window manager draws) is what may not shrink below
    // 640 x 580; the frame is measured, since it differs between window managers and themes.
    if (!isVisible()) return;
    const QSize outer = frameGeometry().size();
    const TWindowSize minimum =
        MinimumClientSize({outer.width(), outer.height()}, {width(), height()},
                          {kMinOuterWidth, kMinOuterHeight}, AvailableScreenSize(*this));
    if (minimumSize() != QSize(minimum.Width, minimum.Height)) {
        setMinimumSize(minimum.Width, minimum.Height);
    }
}

bool TMainForm::IsProgressVisible() const {
    return FOpenFlow->IsProgressVisible();
}
int TMainForm::ProgressValue() const {
    return FOpenFlow->ProgressValue();
}
int TMainForm::ProgressMaximum() const {
    return FOpenFlow->ProgressMaximum();
}
bool TMainForm::IsView3dShown() const {
    return FView3dShown;
}

QWidget* TMainForm::PatternBox() const {
    return pbPattern;
}

void TMainForm::ShowViewMode() {
    pbPattern->SetView(FGraphType == gkPolar ? gtPolar : gtCartesian, FScaleMode == 2);
}

void TMainForm::CopyImage() {
    pbPattern->CopyImage();
}

void TMainForm::ActPrint() {
    if (FModel->Selection.Count() == 0) return;
    std::uint8_t mode = pmSingle;
    if (FModel->Selection.Count() >= 2) {
        TPrintOptionsDialog options(this);
        const bool confirmed = FPrintDialogs->RunPrintOptions(options) == QDialog::Accepted;
        if (!confirmed) return;
        mode = options.PrintMode();
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!FPrintDialogs->RunPrintDialog(this, printer)) return;
    try {
        TCanvasPdfOutput pdfFile(printer);
        const std::unique_ptr<TGraphic> logo = LoadLogoGraphic();
        TPatternDataPagePrinter pages(
            [&printer] { return std::make_unique<TPrinterDrawer>(printer); }, logo.get());
        pages.Patterns.CopyFrom(FModel->Selection);
        pages.PrintMode = mode;
        pages.SetGraphType(FGraphType == gkPolar ? gtPolar : gtCartesian);
        pages.Print();
        if (const std::string failure = pdfFile.Finish(); !failure.empty()) {
            throw EPrintError("The PDF could not be written to '" + pdfFile.TargetPath() +
                              "': " + failure);
        }
    } catch (const std::exception& error) {
        FErrors->ShowError(this, QString::fromUtf8(error.what()));
    }
}

void TMainForm::ActShowSource() {
    if (FModel->Selection.Count() == 0) return;
    TQtEditorService editor;
    const TPatternData& pattern = FModel->Selection.Items(0);
    FModel->ShowSource(pattern, editor);
    ShowStatus(editor.Started() ? TStatusMessage{} : NoEditorMessage(pattern.FileName));
}

void TMainForm::ActAngles() {
    TRotateDialog dialog(this);
    // The selection itself: "&Apply" changes the very patterns the dialog lists.
    dialog.SetPatterns(&FModel->Selection);
    dialog.OnApplyAngles = [this](TRotateDialog& sender) { OnApplyAngles(sender); };
    if (dialog.Run()) ApplyOffsets(dialog.Angles());
}

void TMainForm::OnApplyAngles(TRotateDialog& dialog) {
    ApplyOffsets(dialog.Angles());
}

void TMainForm::ApplyOffsets(const TRealPointList& angles) {
    ostrel::ApplyOffsets(FModel->Selection, angles);
    for (auto* window : findChildren<TSurface3dForm*>()) window->ApplyOffsets(FModel->Selection);
    tvFiles->viewport()->update();
    pbPattern->Invalidate();
}

void TMainForm::ActShowPoints() {
    TQtClipboardService clipboard;
    TPatPointsDialog dialog(this, clipboard);
    dialog.Patterns.CopyFrom(FModel->Selection);
    dialog.Run();
}

void TMainForm::ActView3d() {
    if (FModel->Selection.Count() == 0) return;
    if (!FView3dShown) {
        OpenSurface3dWindow(this, FModel->Selection, static_cast<std::uint8_t>(FScaleMode));
        ShowStatus({});
        return;
    }
    const bool hadModule = FLauncher->Has3dModule();
    const bool started = FLauncher->Launch3dViewer(
        this, QString::fromStdString(FModel->Selection.Items(0).FileName));
    if (started) {
        ShowStatus({});
    } else {
        ShowStatus(hadModule ? No3dRuntimeMessage() : No3dModuleMessage());
    }
}

void TMainForm::ActOptions() {
    ExecuteOptionsDialog(this, GetSettings());
    tvFiles->viewport()->update();
    pbPattern->Invalidate();
}

void TMainForm::ActAbout() {
    TAboutForm about(this);
    about.exec();
}

void TMainForm::ActLicense() {
    const bool opened = FLauncher->OpenPrivacyPage();
    ShowStatus(opened ? TStatusMessage{} : NoBrowserMessage(branding::kPrivacyUrl));
}

void TMainForm::ActQuickGuide() {
    const QString guide = FLauncher->GuidePath();
    if (!QFileInfo(guide).isFile()) {
        ShowStatus(MissingGuideMessage(guide.toStdString()));
        return;
    }
    const bool opened = FLauncher->OpenQuickGuide();
    ShowStatus(opened ? TStatusMessage{} : NoBrowserMessage(guide.toStdString()));
}

// ---------------------------------------------------------------------------------------
// Recent files

void TMainForm::RebuildRecentFilesMenu() {
    // A click on an entry that loads its file rebuilds the submenu while the submenu is still
    // handling that click: take the old items out now and free them later. The submenu owns
    // its own action; the separator goes by itself.
    if (FRecentFilesSeparator) {
        FFileMenu->removeAction(FRecentFilesSeparator);
        FRecentFilesSeparator->deleteLater();
    }
    if (FReopenMenu) {
        FFileMenu->removeAction(FReopenMenu->menuAction());
        FReopenMenu->setObjectName(QString());
        FReopenMenu->deleteLater();
    }
    FRecentFilesSeparator = nullptr;
    FReopenMenu = nullptr;
    if (FMru.Items().empty()) return;

    auto* separator = new QAction(FFileMenu);
    separator->setSeparator(true);
    auto* reopen = new QMenu("Reopen", FFileMenu);
    reopen->setObjectName("mmiReopen");
    const QFontMetrics metrics(reopen->font());
    auto width = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(ShownPathText(text));
    };
    const std::vector<std::string>& items = FMru.Items();
    for (size_t i = 0; i < items.size(); ++i) {
        const QString path = PathText(items[i]);
        const std::string shortened = ShortenPath(items[i], 200, width);
        const QString caption = "&" +
                                QString::fromStdString(RecentFileAccessKey(static_cast<int>(i))) +
                                " " + MenuSafe(ShownPathText(shortened));
        QAction* entry = reopen->addAction(caption);
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { ReopenRecentFile(path); });
    }
    reopen->addSeparator();
    QAction* clearAll = reopen->addAction("&Clear All");
    clearAll->setObjectName("mmiClearAll");
    connect(clearAll, &QAction::triggered, this, [this] {
        FMru.Clear();
        RebuildRecentFilesMenu();
    });
    FFileMenu->insertAction(FRecentFilesAnchor, separator);
    FFileMenu->insertAction(FRecentFilesAnchor, reopen->menuAction());
    FRecentFilesSeparator = separator;
    FReopenMenu = reopen;
}

void TMainForm::ReopenRecentFile(const QString& path) {
    const std::string bytes = PathBytes(path);
    if (IsExistingFile(bytes)) {
        OpenPatternFile(path);
        return;
    }
    FMru.Remove(bytes);
    RebuildRecentFilesMenu();
    ShowStatus(MissingRecentFileMessage(bytes));
}

}  // namespace ostrel

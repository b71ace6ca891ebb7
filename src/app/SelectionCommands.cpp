#include "app/SelectionCommands.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "app/Launches.h"
#include "app/PathText.h"
#include "app/SaveAsCommand.h"
#include "app/ViewModeActions.h"
#include "dialogs/AboutFrm.h"
#include "dialogs/AniFrm.h"
#include "dialogs/CoverageFrm.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/PatPointsDlg.h"
#include "dialogs/PrintOptionsDlg.h"
#include "dialogs/RotateDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "model/Errors.h"
#include "model/MainModel.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "shell/Branding.h"
#include "shell/StatusReasons.h"
#include "views/OffsetAngles.h"
#include "views/PrintedPages.h"
#include "views/ViewState.h"
#include "widgets/AppIcons.h"
#include "widgets/ClipboardService.h"

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

TSelectionCommands::TSelectionCommands(QMainWindow& window, TMainModel& model,
                                       const TViewModeActions& viewModes,
                                       std::unique_ptr<TLauncher> launcher,
                                       std::function<void()> refresh,
                                       std::function<void(const TStatusMessage&)> showStatus)
    : QObject(&window),
      FWindow(window),
      FModel(model),
      FViewModes(viewModes),
      FLauncher(launcher ? std::move(launcher) : std::make_unique<TLauncher>()),
      FRefresh(std::move(refresh)),
      FShowStatus(std::move(showStatus)),
      FPrintDialogs(std::make_unique<TQtPrintDialogService>()),
      FErrors(&MessageBoxErrorReporter()) {
    auto make = [this](const char* name, const QString& text, const char* shortcut,
                       const QString& hint, const char* icon,
                       void (TSelectionCommands::*handler)()) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        if (shortcut) action->setShortcut(QKeySequence(shortcut));
        action->setToolTip(hint);
        action->setIcon(QIcon(QString(":/icons/%1.svg").arg(icon)));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    FPrint = make("actPrint", "&Print", "Ctrl+P", "Print", "print", &TSelectionCommands::Print);
    FAngles = make("actAngles", "Offset Angles", "Ctrl+W", "Set offset angles", "offset-angles",
                   &TSelectionCommands::Angles);
    FShowSource = make("actShowSource", "&Source File", "Ctrl+S", "View source file", "source",
                       &TSelectionCommands::ShowSource);
    FShowPoints = make("actShowPoints", "&Pattern Points", "Ctrl+E", "View pattern points",
                       "points", &TSelectionCommands::ShowPoints);
    FView3d = make("actView3d", "&View 3D", nullptr, "View 3D model", "view3d",
                   &TSelectionCommands::View3d);
    FCoverage = make("actCoverage", "&Coverage...", nullptr,
                     "Where the signal of the selected pattern lands on flat ground", "coverage",
                     &TSelectionCommands::Coverage);
    OnSelectionChanged();
    FView3dShown = FLauncher->View3dAvailable();
    // Without the companion viewer the command opens the built-in 3D window.
    FView3d->setVisible(true);
}

TSelectionCommands::~TSelectionCommands() = default;

void TSelectionCommands::SetPrintDialogService(std::unique_ptr<TPrintDialogService> service) {
    if (service) FPrintDialogs = std::move(service);
}

void TSelectionCommands::OnSelectionChanged() {
    const int n = FModel.Selection.Count();
    // A pattern made from others has no file to show.
    FShowSource->setEnabled(n == 1 && !FModel.Selection.Items(0).Derived);
    FAngles->setEnabled(n >= 1);
    FPrint->setEnabled(n >= 1);
    FShowPoints->setEnabled(n >= 1);
    FView3d->setEnabled(FView3dShown ? n == 1 : n >= 1);
    FCoverage->setEnabled(n == 1);
}

void TSelectionCommands::Print() {
    if (FModel.Selection.Count() == 0) return;
    TPrintMode mode = TPrintMode::Single;
    if (FModel.Selection.Count() >= 2) {
        TPrintOptionsDialog options(&FWindow);
        const bool confirmed = FPrintDialogs->RunPrintOptions(options) == QDialog::Accepted;
        if (!confirmed) return;
        mode = options.PrintMode();
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!FPrintDialogs->RunPrintDialog(&FWindow, printer)) return;
    try {
        TCanvasPdfOutput pdfFile(printer);
        const std::unique_ptr<TGraphic> logo = LoadLogoGraphic();
        TPatternDataPagePrinter pages(
            [&printer] { return std::make_unique<TPrinterDrawer>(printer); }, logo.get());
        pages.Patterns.CopyFrom(FModel.Selection);
        pages.PrintMode = mode;
        pages.SetGraphType(FViewModes.Mode().Graph);
        pages.View = CurrentViewState();
        pages.Print();
        if (const std::string failure = pdfFile.Finish(); !failure.empty()) {
            throw EPrintError("The PDF could not be written to '" + pdfFile.TargetPath() +
                              "': " + failure);
        }
    } catch (const std::exception& error) {
        FErrors->ShowError(&FWindow, QString::fromUtf8(error.what()));
    }
}

void TSelectionCommands::SaveAs() {
    TQtSaveDialogService dialogs;
    TSaveAsCommand command(&FWindow, dialogs);
    FShowStatus({command.Run(FModel.Selection, GetSettings().FOpenPath), {}});
}

void TSelectionCommands::Animate() {
    TAnimateForm animation(&FWindow);
    animation.Patterns.CopyFrom(FModel.Selection);
    animation.Run();
}

void TSelectionCommands::ShowSource() {
    if (FModel.Selection.Count() == 0) return;
    TQtEditorService editor;
    const TPatternData& pattern = FModel.Selection.Items(0);
    FModel.ShowSource(pattern, editor);
    // Not started: said in the status bar, naming the file itself.
    FShowStatus(editor.Started() ? TStatusMessage{}
                                 : NoEditorMessage(std::string(SourcePath(pattern))));
}

void TSelectionCommands::Angles() {
    TRotateDialog dialog(&FWindow);
    // The selection itself: "&Apply" changes the very patterns the dialog lists.
    dialog.SetPatterns(&FModel.Selection);
    dialog.OnApplyAngles = [this](TRotateDialog& sender) { ApplyOffsets(sender.Angles()); };
    if (dialog.Run()) ApplyOffsets(dialog.Angles());
}

void TSelectionCommands::ApplyOffsets(const TRealPointList& angles) {
    ostrel::ApplyOffsets(FModel.Selection, angles);
    for (auto* window : FWindow.findChildren<TSurface3dForm*>())
        window->ApplyOffsets(FModel.Selection);
    for (auto* window : FWindow.findChildren<TCoverageForm*>())
        window->ApplyOffsets(FModel.Selection);
    FRefresh();
}

void TSelectionCommands::ShowPoints() {
    TQtClipboardService clipboard;
    TPatPointsDialog dialog(&FWindow, clipboard);
    dialog.Patterns.CopyFrom(FModel.Selection);
    dialog.Run();
}

void TSelectionCommands::View3d() {
    if (FModel.Selection.Count() == 0) return;
    // The companion viewer reads files; a pattern made from others has none.
    if (!FView3dShown || FModel.Selection.Items(0).Derived) {
        OpenSurface3dWindow(&FWindow, FModel.Selection, FViewModes.Mode().Scale);
        FShowStatus({});
        return;
    }
    const bool hadModule = FLauncher->Has3dModule();
    const bool started = FLauncher->Launch3dViewer(
        &FWindow, PathText(std::string(SourcePath(FModel.Selection.Items(0)))));
    if (started) {
        FShowStatus({});
    } else {
        FShowStatus(hadModule ? No3dRuntimeMessage() : No3dModuleMessage());
    }
}

void TSelectionCommands::Coverage() {
    if (FModel.Selection.Count() != 1) {
        FShowStatus({"Coverage shows one pattern: select exactly one.", {}});
        return;
    }
    OpenCoverageWindow(&FWindow, FModel.Selection.Items(0));
    FShowStatus({});
}

void TSelectionCommands::PatternClosed(const TPatternData* pattern) {
    for (auto* window : FWindow.findChildren<TCoverageForm*>()) window->PatternClosed(pattern);
}

void TSelectionCommands::Options() {
    ExecuteOptionsDialog(&FWindow, GetSettings());
    FRefresh();
}

void TSelectionCommands::About() {
    TAboutForm about(&FWindow);
    about.exec();
}

void TSelectionCommands::License() {
    const bool opened = FLauncher->OpenPrivacyPage();
    FShowStatus(opened ? TStatusMessage{} : NoBrowserMessage(branding::kPrivacyUrl));
}

void TSelectionCommands::QuickGuide() {
    const QString guide = FLauncher->GuidePath();
    if (!QFileInfo(guide).isFile()) {
        FShowStatus(MissingGuideMessage(PathBytes(guide)));
        return;
    }
    const bool opened = FLauncher->OpenQuickGuide();
    FShowStatus(opened ? TStatusMessage{} : NoBrowserMessage(PathBytes(guide)));
}

}  // namespace ostrel

// The main window's commands that act on the selected patterns through a dialog, a
// window or another program: print, offsets, points, 3D, source, options, about.
#include "app/MainFrm.h"

#include <QFileInfo>
#include <QPrinter>
#include <QTreeView>

#include <algorithm>
#include <filesystem>

#include "app/FileTablePanel.h"
#include "app/Launches.h"
#include "app/OpenFilesFlow.h"
#include "app/PathText.h"
#include "app/PatternArea.h"
#include "app/SaveAsCommand.h"
#include "app/ViewModeActions.h"
#include "dialogs/AboutFrm.h"
#include "dialogs/AniFrm.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/PatPointsDlg.h"
#include "dialogs/PrintOptionsDlg.h"
#include "dialogs/RotateDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "model/Errors.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "shell/Branding.h"
#include "shell/SaveTargets.h"
#include "views/OffsetAngles.h"
#include "views/PrintedPages.h"
#include "views/SideBySide.h"
#include "widgets/AppIcons.h"
#include "widgets/ClipboardService.h"

namespace ostrel {

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
        pages.SetGraphType(FViewModes->Mode().Graph);
        pages.Print();
        if (const std::string failure = pdfFile.Finish(); !failure.empty()) {
            throw EPrintError("The PDF could not be written to '" + pdfFile.TargetPath() +
                              "': " + failure);
        }
    } catch (const std::exception& error) {
        FErrors->ShowError(this, QString::fromUtf8(error.what()));
    }
}

void TMainForm::ActSaveAs() {
    TQtSaveDialogService dialogs;
    TSaveAsCommand command(this, dialogs);
    ShowStatus({command.Run(FModel->Selection, GetSettings().FOpenPath), {}});
}

void TMainForm::ActAnimate() {
    TAnimateForm animation(this);
    animation.Patterns.CopyFrom(FModel->Selection);
    animation.Run();
}

void TMainForm::ActShowSource() {
    if (FModel->Selection.Count() == 0) return;
    TQtEditorService editor;
    // The file itself: one of several patterns of a file is named "path@frequency".
    const std::string source(SourcePath(FModel->Selection.Items(0)));
    try {
        editor.OpenInTextEditor(source);
    } catch (...) {
        // Not started: said in the status bar below.
    }
    ShowStatus(editor.Started() ? TStatusMessage{} : NoEditorMessage(source));
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
    FTable->View().viewport()->update();
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
        OpenSurface3dWindow(this, FModel->Selection,
                            static_cast<std::uint8_t>(FViewModes->Mode().Scale));
        ShowStatus({});
        return;
    }
    const bool hadModule = FLauncher->Has3dModule();
    const bool started = FLauncher->Launch3dViewer(
        this, PathText(std::string(SourcePath(FModel->Selection.Items(0)))));
    if (started) {
        ShowStatus({});
    } else {
        ShowStatus(hadModule ? No3dRuntimeMessage() : No3dModuleMessage());
    }
}

void TMainForm::ActOptions() {
    ExecuteOptionsDialog(this, GetSettings());
    FTable->View().viewport()->update();
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
        ShowStatus(MissingGuideMessage(PathBytes(guide)));
        return;
    }
    const bool opened = FLauncher->OpenQuickGuide();
    ShowStatus(opened ? TStatusMessage{} : NoBrowserMessage(PathBytes(guide)));
}

}  // namespace ostrel

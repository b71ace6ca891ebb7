#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMainWindow;
class QPrinter;
class QWidget;

namespace ostrel {

class TErrorReporter;
class TLauncher;
class TMainModel;
class TPatternData;
class TPrintOptionsDialog;
class TRealPointList;
class TRotateDialog;
class TViewModeActions;
struct TStatusMessage;

// How the Print command asks for the print mode and the printer; tests answer instead of
// the modal dialogs.
class TPrintDialogService {
public:
    virtual ~TPrintDialogService() = default;
    // Runs the print options dialog; returns QDialog::Accepted or QDialog::Rejected.
    virtual int RunPrintOptions(TPrintOptionsDialog& dialog) = 0;
    // Runs the platform print dialog on `printer`; true when the user chose to print.
    virtual bool RunPrintDialog(QWidget* parent, QPrinter& printer) = 0;
};

// The main window's commands that act on the selected patterns through a dialog, a window
// or another program (print, offset angles, points, 3D, source file, save as, animation),
// and the ones that show the program's own dialogs and pages (options, about, license,
// quick guide). The selection-bound actions are enabled for the selections they can serve.
class TSelectionCommands : public QObject {
    Q_OBJECT

public:
    // `refresh` redraws the table and the graphs after the patterns changed in place;
    // `showStatus` puts a line in the status bar.
    TSelectionCommands(QMainWindow& window, TMainModel& model, const TViewModeActions& viewModes,
                       std::unique_ptr<TLauncher> launcher, std::function<void()> refresh,
                       std::function<void(const TStatusMessage&)> showStatus);
    ~TSelectionCommands() override;

    QAction* PrintAction() const { return FPrint; }
    QAction* AnglesAction() const { return FAngles; }
    QAction* ShowSourceAction() const { return FShowSource; }
    QAction* ShowPointsAction() const { return FShowPoints; }
    QAction* View3dAction() const { return FView3d; }
    QAction* CoverageAction() const { return FCoverage; }
    // The actions follow the size of the model's selection.
    void OnSelectionChanged();

    void SetPrintDialogService(std::unique_ptr<TPrintDialogService> service);
    // Where errors of the commands go (a message box by default; not owned).
    void SetErrorReporter(TErrorReporter& errors) { FErrors = &errors; }

    // Print options for two or more selected patterns, then the print dialog, then the job;
    // a failure reaches the user through the error reporter.
    void Print();
    void SaveAs();
    void Animate();
    void ShowSource();
    void Angles();
    void ShowPoints();
    void View3d();
    // The coverage window of the one selected pattern.
    void Coverage();
    // Coverage windows close with their pattern; nullptr: all patterns were closed.
    void PatternClosed(const TPatternData* pattern);
    void Options();
    void About();
    void License();
    void QuickGuide();

private:
    // Pair i becomes the offsets of the i-th selected pattern; graphs and table show them.
    void ApplyOffsets(const TRealPointList& angles);

    QMainWindow& FWindow;
    TMainModel& FModel;
    const TViewModeActions& FViewModes;
    std::unique_ptr<TLauncher> FLauncher;
    std::function<void()> FRefresh;
    std::function<void(const TStatusMessage&)> FShowStatus;
    std::unique_ptr<TPrintDialogService> FPrintDialogs;
    TErrorReporter* FErrors;
    // The companion 3D viewer is there: the command starts it for one pattern.
    bool FView3dShown = false;
    QAction* FPrint = nullptr;
    QAction* FAngles = nullptr;
    QAction* FShowSource = nullptr;
    QAction* FShowPoints = nullptr;
    QAction* FView3d = nullptr;
    QAction* FCoverage = nullptr;
};

}  // namespace ostrel

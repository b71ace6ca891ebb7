#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

namespace ostrel {

class TCompareForm;
class TErrorReporter;
class TInterpolateDialog;
class TMainModel;
class TPatternData;
struct TStatusMessage;

// The Pattern menu: patterns made from the selected ones. Envelope (two or more selected)
// and Interpolate (two) add a new row for the result, which keeps its own data; Compare (two)
// opens a comparison window, kept up to date with its two patterns and closed when one of
// them is. A and B are the selected patterns in table order. What the computations refuse
// is said in a message box and in the status bar.
class TDerivedCommands : public QObject {
    Q_OBJECT

public:
    // `tableOrder` gives the table's rows in their order; `showStatus` puts a line in the
    // status bar.
    TDerivedCommands(QMainWindow& window, TMainModel& model,
                     std::function<std::vector<TPatternData*>()> tableOrder,
                     std::function<void(const TStatusMessage&)> showStatus);

    void AddToMenu(QMenu& menu);
    // The actions follow the size of the model's selection.
    void OnSelectionChanged();
    // The patterns changed in place: the comparison windows compute again.
    void OnPatternsChanged();
    // A pattern is about to go: the comparison windows that show it close.
    void OnPatternRemoved(const TPatternData& pattern);
    void OnCleared();

    void Envelope();
    void Interpolate();
    void Compare();

    QAction* EnvelopeAction() const { return FEnvelope; }
    QAction* InterpolateAction() const { return FInterpolate; }
    QAction* CompareAction() const { return FCompare; }
    // The comparison windows open now.
    std::vector<TCompareForm*> CompareWindows() const;

    // Where errors go (a message box by default; not owned).
    void SetErrorReporter(TErrorReporter& errors) { FErrors = &errors; }
    // How the Interpolate dialog is run: QDialog::exec unless a test answers instead.
    void SetDialogRunner(std::function<int(TInterpolateDialog&)> run);

private:
    // The selection in table order.
    std::vector<const TPatternData*> SelectedInTableOrder() const;
    void Report(const std::string& problem);
    // Adds what `make` returns as a new row, or reports why it could not be made.
    void AddMadePattern(const std::function<std::unique_ptr<TPatternData>()>& make);

    QMainWindow& FWindow;
    TMainModel& FModel;
    std::function<std::vector<TPatternData*>()> FTableOrder;
    std::function<void(const TStatusMessage&)> FShowStatus;
    std::function<int(TInterpolateDialog&)> FRunDialog;
    TErrorReporter* FErrors;
    std::vector<QPointer<TCompareForm>> FCompareWindows;
    QAction* FEnvelope = nullptr;
    QAction* FInterpolate = nullptr;
    QAction* FCompare = nullptr;
};

}  // namespace ostrel

#include "app/DerivedCommands.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

#include "app/Launches.h"
#include "dialogs/CompareFrm.h"
#include "dialogs/InterpolateDlg.h"
#include "model/DerivedPatterns.h"
#include "model/MainModel.h"
#include "shell/StatusReasons.h"

namespace ostrel {

TDerivedCommands::TDerivedCommands(QMainWindow& window, TMainModel& model,
                                   std::function<std::vector<TPatternData*>()> tableOrder,
                                   std::function<void(const TStatusMessage&)> showStatus)
    : QObject(&window),
      FWindow(window),
      FModel(model),
      FTableOrder(std::move(tableOrder)),
      FShowStatus(std::move(showStatus)),
      FRunDialog([](TInterpolateDialog& dialog) { return dialog.exec(); }),
      FErrors(&MessageBoxErrorReporter()) {
    auto make = [this](const char* name, const QString& text, const QString& hint,
                       void (TDerivedCommands::*handler)()) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        action->setStatusTip(hint);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    FEnvelope = make("actEnvelope", "&Envelope",
                     "The highest gain of the selected patterns at every angle, as a new pattern",
                     &TDerivedCommands::Envelope);
    FInterpolate = make("actInterpolate", "&Interpolate...",
                        "The pattern between the two selected at a frequency or tilt",
                        &TDerivedCommands::Interpolate);
    FCompare =
        make("actCompare", "&Compare", "How the second selected pattern differs from the first",
             &TDerivedCommands::Compare);
    OnSelectionChanged();
}

void TDerivedCommands::AddToMenu(QMenu& menu) {
    menu.addAction(FEnvelope);
    menu.addAction(FInterpolate);
    menu.addSeparator();
    menu.addAction(FCompare);
}

void TDerivedCommands::SetDialogRunner(std::function<int(TInterpolateDialog&)> run) {
    if (run) FRunDialog = std::move(run);
}

void TDerivedCommands::OnSelectionChanged() {
    const int n = FModel.Selection.Count();
    FEnvelope->setEnabled(n >= 2);
    FInterpolate->setEnabled(n == 2);
    FCompare->setEnabled(n == 2);
}

std::vector<const TPatternData*> TDerivedCommands::SelectedInTableOrder() const {
    std::vector<const TPatternData*> selected;
    for (const TPatternData* pattern : FTableOrder()) {
        for (int i = 0; i < FModel.Selection.Count(); ++i) {
            if (&FModel.Selection.Items(i) == pattern) selected.push_back(pattern);
        }
    }
    // Rows the filter hides are not selected; the selection never holds them.
    return selected;
}

void TDerivedCommands::Report(const std::string& problem) {
    FShowStatus({problem, {}});
    FErrors->ShowError(&FWindow, QString::fromStdString(problem));
}

void TDerivedCommands::AddMadePattern(const std::function<std::unique_ptr<TPatternData>()>& make) {
    try {
        TPatternData& added = FModel.AddPattern(make());
        FShowStatus({DisplayName(added, true) + " added.", {}});
    } catch (const std::exception& error) {
        Report(error.what());
    }
}

void TDerivedCommands::Envelope() {
    const std::vector<const TPatternData*> patterns = SelectedInTableOrder();
    if (patterns.size() < 2) return;
    AddMadePattern([&patterns] { return EnvelopePattern(patterns); });
}

void TDerivedCommands::Interpolate() {
    const std::vector<const TPatternData*> patterns = SelectedInTableOrder();
    if (patterns.size() != 2) return;
    TInterpolateDialog dialog(&FWindow, *patterns[0], *patterns[1]);
    if (FRunDialog(dialog) != QDialog::Accepted) return;
    AddMadePattern([&] {
        return InterpolatePattern(*patterns[0], *patterns[1], dialog.Axis(), dialog.Value());
    });
}

void TDerivedCommands::Compare() {
    const std::vector<const TPatternData*> patterns = SelectedInTableOrder();
    if (patterns.size() != 2) return;
    auto* window = new TCompareForm(&FWindow, *patterns[0], *patterns[1]);
    if (const std::string problem = window->Recompute(); !problem.empty()) {
        delete window;
        Report(problem);
        return;
    }
    // Said in the window too: why the gains were left out.
    FShowStatus({window->Notice().toStdString(), {}});
    FCompareWindows.emplace_back(window);
    window->show();
    window->raise();
    window->activateWindow();
}

std::vector<TCompareForm*> TDerivedCommands::CompareWindows() const {
    std::vector<TCompareForm*> open;
    for (const QPointer<TCompareForm>& window : FCompareWindows) {
        if (window) open.push_back(window.data());
    }
    return open;
}

void TDerivedCommands::OnPatternsChanged() {
    for (TCompareForm* window : CompareWindows()) {
        if (const std::string problem = window->Recompute(); !problem.empty()) {
            window->close();
            Report(problem);
        }
    }
}

void TDerivedCommands::OnPatternRemoved(const TPatternData& pattern) {
    // Closed at once, not later: the window must never draw a pattern that is gone.
    for (TCompareForm* window : CompareWindows()) {
        if (window->Refers(pattern)) delete window;
    }
    std::erase_if(FCompareWindows, [](const QPointer<TCompareForm>& window) { return !window; });
}

void TDerivedCommands::OnCleared() {
    for (TCompareForm* window : CompareWindows()) delete window;
    FCompareWindows.clear();
}

}  // namespace ostrel

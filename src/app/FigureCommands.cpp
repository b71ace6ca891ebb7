#include "app/FigureCommands.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>
#include <utility>

#include "app/FiguresPanel.h"
#include "app/FileTableModel.h"
#include "app/PathText.h"
#include "app/SaveAsCommand.h"
#include "app/TableExport.h"
#include "model/PatternData.h"
#include "model/Settings.h"
#include "shell/SaveTargets.h"

namespace ostrel {

TFigureCommands::TFigureCommands(QMainWindow& window, TFileTableModel& table,
                                 std::function<void()> repaint,
                                 std::function<void(const std::string&)> showStatus)
    : QObject(&window),
      FWindow(window),
      FTable(table),
      FRepaint(std::move(repaint)),
      FShowStatus(std::move(showStatus)),
      FDialogs(std::make_unique<TQtSaveDialogService>("Export Table")) {
    FPanel = new TFiguresPanel(&window);
    FPanel->setAllowedAreas(Qt::AllDockWidgetAreas);
    window.addDockWidget(Qt::RightDockWidgetArea, FPanel);
    FPanel->hide();
    connect(FPanel, &QDockWidget::visibilityChanged, this, &TFigureCommands::OnPanelShown);

    FExport = new QAction("Export &Table...", this);
    FExport->setObjectName("mmiExportTable");
    FExport->setToolTip("Save the table with every computed figure as CSV");
    connect(FExport, &QAction::triggered, this, &TFigureCommands::ActExportTable);

    FTicks = new QAction("-3 dB &Ticks", this);
    FTicks->setObjectName("mmiBeamTicks");
    FTicks->setCheckable(true);
    FTicks->setChecked(GetSettings().FShowBeamTicks);
    connect(FTicks, &QAction::toggled, this, [this](bool checked) {
        GetSettings().FShowBeamTicks = checked;
        FRepaint();
    });
}

TFigureCommands::~TFigureCommands() = default;

void TFigureCommands::SetSaveDialogService(std::unique_ptr<TSaveDialogService> dialogs) {
    FDialogs = std::move(dialogs);
}

void TFigureCommands::AddToFileMenu(QMenu& file, QAction* before) {
    file.insertAction(before, FExport);
}

void TFigureCommands::AddToViewMenu(QMenu& view) {
    view.addSeparator();
    QAction* figures = FPanel->toggleViewAction();
    figures->setObjectName("mmiFigures");
    figures->setText("&Figures");
    view.addAction(figures);
    view.addAction(FTicks);
}

void TFigureCommands::OnPanelShown(bool visible) {
    if (visible && FPanelStale) FillPanel();
    if (FPanel->isFloating()) return;
    if (!visible) {
        // The width the user gave it, for the next time it is shown and the next start.
        FPanelWidth = FPanel->width();
        return;
    }
    // Many patterns side by side would take the whole window: then it scrolls.
    const int width =
        FPanelWidth > 0 ? FPanelWidth : std::min(FPanel->FittingWidth(), FWindow.width() / 2);
    FWindow.resizeDocks({FPanel}, {width}, Qt::Horizontal);
    FPanelWidth = width;
}

int TFigureCommands::PanelWidth() const {
    return FPanel->isVisible() && !FPanel->isFloating() ? FPanel->width() : FPanelWidth;
}

void TFigureCommands::OnSelectionChanged(const TPatternDataList& selection) {
    FSelection = &selection;
    // A hidden panel is filled when it is shown: with thousands of patterns selected, the
    // text of all their figures would otherwise be made at every change of the selection.
    FPanelStale = true;
    if (FPanel->isVisible()) FillPanel();
}

void TFigureCommands::FillPanel() {
    FPanelStale = false;
    std::vector<const TPatternData*> patterns;
    if (FSelection) {
        for (int i = 0; i < FSelection->Count(); ++i) patterns.push_back(&FSelection->Items(i));
    }
    FPanel->SetPatterns(patterns);
}

void TFigureCommands::OnHCutChanged(const TPatternDataList& selection) {
    FTable.RefreshFigures();
    OnSelectionChanged(selection);
}

void TFigureCommands::ActExportTable() {
    static const QStringList filters = {"CSV files (*.csv)", "All files (*)"};
    QString filter = filters.front();
    // What --csv writes is a .csv file; "All files" takes the name as typed.
    const std::string target =
        AskSaveTarget(*FDialogs, &FWindow, GetSettings().FOpenPath + "table.csv", filters, filter,
                      [](const std::string& path, const QString& chosen) {
                          return chosen == filters.front() ? WithExtension(path, "csv") : path;
                      });
    if (target.empty()) return;
    const QString error = ExportTableCsv(FTable, target);
    if (!error.isEmpty()) {
        QMessageBox::warning(&FWindow, "Export Table",
                             ShownPathText("Cannot write " + target + ": ") + error);
        return;
    }
    FShowStatus(TableExportedText(target, FTable.RowCount(), FTable.TotalCount()));
}

}  // namespace ostrel

// The main window's file table: sorting, the selection that becomes the model's, the
// splitter rule for the table height, and the window's saved place and columns.
#include "app/MainFrm.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSplitter>
#include <QTreeView>

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
        FFigures->SetPanelWidth(placement.FiguresWidth);
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
    placement.FiguresWidth = FFigures->PanelWidth();
    for (int column = 0; column < TableColumnCount(); ++column) {
        // A hidden column has no size; it comes back at the usual width.
        placement.ColumnWidths.push_back(
            header->isSectionHidden(column) ? 75 : header->sectionSize(column));
    }
    // A window grown past its screen is not worth restoring at that size.
    PlacementOnScreens(placement, AvailableScreenAreas()).Save(FIniPath);
}

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

void TMainForm::ClearSortOrder() {
    // Rows opened later join at the end, in the order they were opened: an arrow left on a
    // column would claim an order the table no longer has.
    FSortAscending = true;
    FFileTable->SetSortColumn(-1);
    tvFiles->header()->setSortIndicatorShown(false);
    tvFiles->header()->setSortIndicator(-1, Qt::AscendingOrder);
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

}  // namespace ostrel

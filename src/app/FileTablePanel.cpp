#include "app/FileTablePanel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>
#include <algorithm>
#include <utility>
#include <vector>

#include "app/FileTableDelegate.h"
#include "app/FileTableModel.h"
#include "app/FilterBar.h"
#include "app/TableColumns.h"
#include "model/MainModel.h"
#include "shell/FileTable.h"
#include "shell/StatusReasons.h"
#include "shell/WindowPlacement.h"

namespace ostrel {

namespace {

// The rows selected whole, in table order. The table selects whole rows, so its ranges say
// which rows directly; the selection model's own list looks at every column of every row,
// which for Select All in a large library costs more than drawing it. Anything else, such as
// a range of a few columns, still goes through that list.
std::vector<int> SelectedRows(const QItemSelectionModel& selection) {
    const int columns = selection.model()->columnCount();
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selection.selection()) {
        if (range.parent().isValid() || range.left() != 0 || range.right() != columns - 1) {
            rows.clear();
            for (const QModelIndex& index : selection.selectedRows()) rows.push_back(index.row());
            break;
        }
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
    }
    // Ranges may overlap and come in the order they were made.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

}  // namespace

TFileTablePanel::TFileTablePanel(QObject& owner, QWidget& viewParent, TMainModel& model,
                                 std::function<void(const TStatusMessage&)> showStatus)
    : QObject(&owner), FModel(model), FShowStatus(std::move(showStatus)) {
    FTable = new TFileTableModel(this);
    FView = new QTreeView(&viewParent);
    FView->setObjectName("tvFiles");
    FView->setModel(FTable);
    FView->setRootIsDecorated(false);
    FView->setItemsExpandable(false);
    FView->setUniformRowHeights(true);
    FView->setAllColumnsShowFocus(true);
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FView->setSortingEnabled(false);
    FView->setItemDelegate(new TFileTableDelegate(FView));
    QHeaderView* header = FView->header();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < fcColumnCount; ++column) {
        const int width = FileColumnInfo(column).Width;
        header->resizeSection(column, width > 0 ? width : 50);
    }
    connect(header, &QHeaderView::sectionClicked, this, &TFileTablePanel::SortByColumn);
    header->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionHandleDoubleClicked, FView,
            &QTreeView::resizeColumnToContents);
    connect(FView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { TakeSelection(); });
    FView->installEventFilter(this);
    FColumns = new TTableColumns(*header);

    model.OnPatternAdded = [this](TMainModel&, TPatternData& pattern) { FTable->AddRow(pattern); };
    model.OnPatternRemoved = [this](TMainModel&, TPatternData& pattern) {
        FTable->RemoveRow(pattern);
    };
    model.OnCleared = [this](TMainModel&) {
        FTable->ClearRows();
        ClearSortOrder();
    };
}

TFilterBar& TFileTablePanel::CreateFilterBar(QWidget& parent) {
    FFilterBar = new TFilterBar(&parent, *FView, *FTable, [this] { TakeSelection(); });
    return *FFilterBar;
}

void TFileTablePanel::Detach() {
    FModel.OnCleared = nullptr;
    FModel.OnPatternRemoved = nullptr;
    FTable->ClearRows();
}

void TFileTablePanel::SortByColumn(int column) {
    QHeaderView* header = FView->header();
    const auto order = [this] { return FSortAscending ? Qt::AscendingOrder : Qt::DescendingOrder; };
    if (FModel.Patterns.Count() == 0) {
        // The header has already moved its arrow to the clicked column: put it back.
        if (FTable->SortColumn() >= 0) header->setSortIndicator(FTable->SortColumn(), order());
        return;
    }
    FSortAscending = column == FTable->SortColumn() ? !FSortAscending : true;
    FTable->SetSortColumn(column);
    FTable->SortRows(column, FSortAscending);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, order());
}

void TFileTablePanel::ClearSortOrder() {
    // Rows opened later join at the end, in the order they were opened: an arrow left on a
    // column would claim an order the table no longer has.
    FSortAscending = true;
    FTable->SetSortColumn(-1);
    FView->header()->setSortIndicatorShown(false);
    FView->header()->setSortIndicator(-1, Qt::AscendingOrder);
}

int TFileTablePanel::SortColumn() const {
    return FTable->SortColumn();
}

void TFileTablePanel::TakeSelection() {
    TPatternDataList selected(false);
    for (int row : SelectedRows(*FView->selectionModel())) {
        if (TPatternData* pattern = FTable->PatternAt(row)) selected.Add(*pattern);
    }
    FModel.SetSelection(selected);
}

void TFileTablePanel::DeleteSelectedPatterns() {
    if (FModel.Selection.Count() == 0) return;
    FShowStatus(ClosedMessage(FModel.Selection));
    TPatternDataList removed(false);
    removed.CopyFrom(FModel.Selection);
    {
        // The table's selection is taken once at the end, not after every removed row: with
        // thousands of rows selected that would cost a pass over all of them per row.
        const QSignalBlocker quiet(FView->selectionModel());
        for (int i = removed.Count() - 1; i >= 0; --i) FModel.RemovePattern(removed.Items(i));
    }
    TakeSelection();
}

bool TFileTablePanel::eventFilter(QObject* watched, QEvent* event) {
    // The header reports clicks of the left button only; the others sort as well.
    if (event->type() == QEvent::MouseButtonRelease && watched == FView->header()->viewport()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) {
            const int column = FView->header()->logicalIndexAt(mouse->position().toPoint());
            if (column >= 0) SortByColumn(column);
        }
    }
    if (watched == FView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteSelectedPatterns();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TFileTablePanel::RestoreColumns(const TWindowPlacement& placement) {
    QHeaderView* header = FView->header();
    // Files written before the figure columns existed list the file columns only; those
    // written before the later figure columns existed list fewer figures: the columns they
    // list keep their places, widths and visibility, the later ones follow as they start.
    const int order = static_cast<int>(placement.ColumnOrder.size());
    const bool olderFigures = order > fcColumnCount && order < TableColumnCount();
    if ((order == fcColumnCount || olderFigures || order == TableColumnCount()) &&
        IsColumnOrder(placement.ColumnOrder, order)) {
        for (int visual = 0; visual < order; ++visual) {
            const int column = placement.ColumnOrder[static_cast<size_t>(visual)];
            header->moveSection(header->visualIndex(column), visual);
        }
    }
    const int widths = static_cast<int>(placement.ColumnWidths.size());
    if (widths >= fcColumnCount && widths <= TableColumnCount() &&
        AreColumnWidths(placement.ColumnWidths, widths)) {
        for (int column = 0; column < widths; ++column) {
            header->resizeSection(column, placement.ColumnWidths[static_cast<size_t>(column)]);
        }
    }
    FColumns->Restore(
        placement.HiddenColumns,
        olderFigures && IsColumnOrder(placement.ColumnOrder, order) ? order : TableColumnCount());
}

void TFileTablePanel::SaveColumns(TWindowPlacement& placement) const {
    const QHeaderView* header = FView->header();
    for (int visual = 0; visual < TableColumnCount(); ++visual) {
        placement.ColumnOrder.push_back(header->logicalIndex(visual));
    }
    placement.HiddenColumns = FColumns->Hidden();
    for (int column = 0; column < TableColumnCount(); ++column) {
        // A hidden column has no size; it comes back at the usual width.
        placement.ColumnWidths.push_back(
            header->isSectionHidden(column) ? 75 : header->sectionSize(column));
    }
}

}  // namespace ostrel

#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <vector>

class QTreeView;
class QWidget;

namespace ostrel {

class TFileTableModel;
class TFilterBar;
class TMainModel;
class TTableColumns;
struct TStatusMessage;
struct TWindowPlacement;

// The main window's file table: the view, its model and delegate, the sort order the header
// clicks choose, the selection that becomes the main model's, the Delete key, the filter bar
// above it, and which columns it shows in what order and width.
class TFileTablePanel : public QObject {
    Q_OBJECT

public:
    // The view is a child of `viewParent`; the rows follow `model`'s events from now on.
    // `showStatus` puts a line in the status bar.
    TFileTablePanel(QObject& owner, QWidget& viewParent, TMainModel& model,
                    std::function<void(const TStatusMessage&)> showStatus);
    // The filter bar, a child of `parent`: made after the graph area so that Tab keeps
    // going from the table to the graphs and then to the filter.
    TFilterBar& CreateFilterBar(QWidget& parent);
    // The model stops reaching the table, and the table lets go of the patterns, before
    // the model frees them.
    void Detach();

    QTreeView& View() const { return *FView; }
    TFileTableModel& Model() const { return *FTable; }
    TFilterBar& FilterBar() const { return *FFilterBar; }
    // Which columns are shown, and the header's menu that chooses them.
    TTableColumns& Columns() const { return *FColumns; }

    // The header click on a column: sorts by it, the second click the other way round.
    void SortByColumn(int column);
    int SortColumn() const;
    bool SortAscending() const { return FSortAscending; }
    // The table's selected rows become the model's selection.
    void TakeSelection();

    // The saved order, widths and hidden columns, when they fit this table.
    void RestoreColumns(const TWindowPlacement& placement);
    void SaveColumns(TWindowPlacement& placement) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // No column sorted, no arrow: the rows are in the order they were opened.
    void ClearSortOrder();
    void DeleteSelectedPatterns();

    TMainModel& FModel;
    std::function<void(const TStatusMessage&)> FShowStatus;
    TFileTableModel* FTable = nullptr;
    QTreeView* FView = nullptr;
    TFilterBar* FFilterBar = nullptr;
    TTableColumns* FColumns = nullptr;
    bool FSortAscending = true;
};

}  // namespace ostrel

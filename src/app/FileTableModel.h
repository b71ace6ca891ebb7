#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QString>
#include <unordered_map>
#include <vector>

#include "model/PatternData.h"
#include "shell/PatternFilter.h"

namespace ostrel {

// The file table's rows: one per pattern of the main model, in table order, referring to
// the patterns (never owning them). Rows are added and removed only through the model's
// events, so table and model always hold the same patterns. Sorting reorders the rows with
// the core's comparison rules. A filter hides the patterns it does not match: the rows are
// then only the shown ones, so whatever acts on rows (selection, Select All, Delete) acts
// on what is shown.
class TFileTableModel : public QAbstractItemModel {
    Q_OBJECT

public:
    explicit TFileTableModel(QObject* parent = nullptr);

    void AddRow(TPatternData& pattern);
    // Rows added between BeginBatch and EndBatch reach the views as one insertion when the
    // batch ends, so a table on screen lays itself out once for a thousand files, not once
    // per file. Until then the rows are not part of the table. Batches may nest; removing,
    // clearing or sorting first adds the rows waiting.
    void BeginBatch() { ++FBatchDepth; }
    void EndBatch();
    bool InBatch() const { return FBatchDepth > 0; }
    void RemoveRow(const TPatternData& pattern);
    void ClearRows();
    // Sorts all rows by the column; the column is then drawn with the sort background.
    void SortRows(int column, bool ascending);
    // The column drawn with the light grey sort background, -1 for none.
    void SetSortColumn(int column);
    int SortColumn() const { return FSortColumn; }

    // The figure columns and header-check marks follow the H cut shown; called when it changes.
    void RefreshFigures();
    // The header check's disagreements of a pattern ("" when it agrees), kept per pattern.
    const QString& HeaderCheck(const TPatternData& pattern) const;
    // The rows in table order.
    const std::vector<TPatternData*>& Rows() const { return FRows; }
    // Shows only the patterns the filter matches, in table order.
    void SetFilter(TPatternFilter filter);
    const TPatternFilter& Filter() const { return FFilter; }

    TPatternData* PatternAt(int row) const;
    // The shown row of the pattern, -1 when it is not shown.
    int RowOf(const TPatternData& pattern) const;
    // Shown rows.
    int RowCount() const { return static_cast<int>(FRows.size()); }
    // Every pattern of the table, shown or hidden by the filter.
    int TotalCount() const { return static_cast<int>(FAllRows.size() + FWaitingRows.size()); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // RowCount or TotalCount changed: rows came or went, shown or hidden by the filter.
    void CountsChanged();

private:
    void AddWaitingRows();

    void ShowFilteredRows();

    std::vector<TPatternData*> FAllRows;  // table order
    std::vector<TPatternData*> FRows;     // the shown part of FAllRows, in the same order
    std::vector<TPatternData*> FWaitingRows;
    TPatternFilter FFilter;
    int FBatchDepth = 0;
    int FSortColumn = -1;
    QIcon FRowIcon;
    QIcon FDerivedIcon;  // in the ID cell of a pattern made from others
    QIcon FWarningIcon;
    mutable std::unordered_map<const TPatternData*, QString> FHeaderChecks;
};

// One batch of the table for the lifetime of the object, ended however the scope is left.
class TFileTableBatch {
public:
    explicit TFileTableBatch(TFileTableModel& table) : FTable(table) { FTable.BeginBatch(); }
    ~TFileTableBatch() { FTable.EndBatch(); }
    TFileTableBatch(const TFileTableBatch&) = delete;
    TFileTableBatch& operator=(const TFileTableBatch&) = delete;

private:
    TFileTableModel& FTable;
};

}  // namespace ostrel

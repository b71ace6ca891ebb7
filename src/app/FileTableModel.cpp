#include "app/FileTableModel.h"

#include <QApplication>
#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <algorithm>
#include <unordered_map>

#include "model/Settings.h"
#include "shell/FileTable.h"

namespace ostrel {

namespace {

// The row icon: a small sheet with a polar lobe, drawn once.
QIcon MakeRowIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(120, 120, 120));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(2.5, 1.5, 11, 13));
    painter.setPen(QPen(QColor(0, 0, 255), 1.2));
    painter.setBrush(QColor(0, 0, 255, 60));
    painter.drawEllipse(QRectF(5, 3.5, 6, 8));
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(QPointF(8, 12.5), QPointF(8, 13.5));
    return QIcon(pixmap);
}

// The mark of a pattern made from others: two lobes that meet.
QIcon MakeDerivedIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 255), 1.2));
    painter.setBrush(QColor(0, 0, 255, 50));
    painter.drawEllipse(QRectF(1.5, 3.5, 8, 9));
    painter.setPen(QPen(QColor(220, 0, 0), 1.2));
    painter.setBrush(QColor(220, 0, 0, 50));
    painter.drawEllipse(QRectF(6.5, 3.5, 8, 9));
    return QIcon(pixmap);
}

}  // namespace

TFileTableModel::TFileTableModel(QObject* parent)
    : QAbstractItemModel(parent),
      FRowIcon(MakeRowIcon()),
      FDerivedIcon(MakeDerivedIcon()),
      FWarningIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)) {}

void TFileTableModel::RefreshFigures() {
    FHeaderChecks.clear();
    if (!FRows.empty())
        emit dataChanged(index(0, 0), index(RowCount() - 1, TableColumnCount() - 1));
}

const QString& TFileTableModel::HeaderCheck(const TPatternData& pattern) const {
    auto found = FHeaderChecks.find(&pattern);
    if (found == FHeaderChecks.end()) {
        found = FHeaderChecks
                    .emplace(&pattern, QString::fromStdString(HeaderCheckText(
                                           pattern, pattern.Figures(GetSettings().FHCut))))
                    .first;
    }
    return found->second;
}

void TFileTableModel::AddRow(TPatternData& pattern) {
    if (InBatch()) {
        FWaitingRows.push_back(&pattern);
        return;
    }
    FAllRows.push_back(&pattern);
    if (FFilter.Matches(pattern)) {
        const int row = RowCount();
        beginInsertRows(QModelIndex(), row, row);
        FRows.push_back(&pattern);
        endInsertRows();
    }
    emit CountsChanged();
}

void TFileTableModel::EndBatch() {
    if (FBatchDepth > 0 && --FBatchDepth == 0) AddWaitingRows();
}

void TFileTableModel::AddWaitingRows() {
    if (FWaitingRows.empty()) return;
    FAllRows.insert(FAllRows.end(), FWaitingRows.begin(), FWaitingRows.end());
    std::vector<TPatternData*> shown;
    shown.reserve(FWaitingRows.size());
    for (TPatternData* pattern : FWaitingRows) {
        if (FFilter.Matches(*pattern)) shown.push_back(pattern);
    }
    FWaitingRows.clear();
    if (!shown.empty()) {
        const int first = RowCount();
        beginInsertRows(QModelIndex(), first, first + static_cast<int>(shown.size()) - 1);
        FRows.insert(FRows.end(), shown.begin(), shown.end());
        endInsertRows();
    }
    emit CountsChanged();
}

void TFileTableModel::RemoveRow(const TPatternData& pattern) {
    AddWaitingRows();
    auto stored = std::find(FAllRows.begin(), FAllRows.end(), &pattern);
    if (stored != FAllRows.end()) FAllRows.erase(stored);
    const int row = RowOf(pattern);
    if (row >= 0) {
        beginRemoveRows(QModelIndex(), row, row);
        FRows.erase(FRows.begin() + row);
        FHeaderChecks.erase(&pattern);
        endRemoveRows();
    }
    emit CountsChanged();
}

void TFileTableModel::ClearRows() {
    AddWaitingRows();
    FAllRows.clear();
    if (!FRows.empty()) {
        beginRemoveRows(QModelIndex(), 0, RowCount() - 1);
        FRows.clear();
        FHeaderChecks.clear();
        endRemoveRows();
    }
    emit CountsChanged();
}

void TFileTableModel::SortRows(int column, bool ascending) {
    AddWaitingRows();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<TPatternData*> patterns;
    patterns.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before) patterns.push_back(PatternAt(index.row()));
    SortTableRows(FAllRows, column, ascending, GetSettings().FHCut);
    ShowFilteredRows();
    // Map every persistent index to the new row of its pattern.
    std::unordered_map<const TPatternData*, int> rowOf;
    rowOf.reserve(FRows.size());
    for (size_t i = 0; i < FRows.size(); ++i) rowOf.emplace(FRows[i], static_cast<int>(i));
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        auto found = rowOf.find(patterns[static_cast<size_t>(i)]);
        after.push_back(found == rowOf.end() ? QModelIndex()
                                             : index(found->second, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TFileTableModel::SetSortColumn(int column) {
    FSortColumn = column;
    if (!FRows.empty())
        emit dataChanged(index(0, 0), index(RowCount() - 1, TableColumnCount() - 1));
}

void TFileTableModel::SetFilter(TPatternFilter filter) {
    AddWaitingRows();
    beginResetModel();
    FFilter = std::move(filter);
    ShowFilteredRows();
    endResetModel();
    emit CountsChanged();
}

void TFileTableModel::ShowFilteredRows() {
    if (FFilter.IsEmpty()) {
        FRows = FAllRows;
        return;
    }
    FRows.clear();
    for (TPatternData* pattern : FAllRows) {
        if (FFilter.Matches(*pattern)) FRows.push_back(pattern);
    }
}

TPatternData* TFileTableModel::PatternAt(int row) const {
    if (row < 0 || row >= RowCount()) return nullptr;
    return FRows[static_cast<size_t>(row)];
}

int TFileTableModel::RowOf(const TPatternData& pattern) const {
    auto found = std::find(FRows.begin(), FRows.end(), &pattern);
    return found == FRows.end() ? -1 : static_cast<int>(found - FRows.begin());
}

QModelIndex TFileTableModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= RowCount() || column < 0 ||
        column >= TableColumnCount()) {
        return QModelIndex();
    }
    return createIndex(row, column);
}

QModelIndex TFileTableModel::parent(const QModelIndex&) const {
    return QModelIndex();
}

int TFileTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int TFileTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TableColumnCount();
}

QVariant TFileTableModel::data(const QModelIndex& index, int role) const {
    const TPatternData* pattern = index.isValid() ? PatternAt(index.row()) : nullptr;
    if (!pattern) return QVariant();
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(TableCellText(
                *pattern, column, GetSettings().FShowExtensions, GetSettings().FHCut));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                Qt::AlignVCenter |
                (FigureColumnOf(column) || FileColumnInfo(column).Align == caRight
                     ? Qt::AlignRight
                     : Qt::AlignLeft));
        case Qt::DecorationRole:
            if (column == fcId && !HeaderCheck(*pattern).isEmpty()) return FWarningIcon;
            if (column == fcId && pattern->Derived) return FDerivedIcon;
            return column == fcFileName ? QVariant(FRowIcon) : QVariant();
        case Qt::ToolTipRole:
            if (column != fcId) return QVariant();
            if (HeaderCheck(*pattern).isEmpty()) {
                return pattern->Derived
                           ? QVariant(QStringLiteral("Made from other patterns: no file behind it"))
                           : QVariant();
            }
            return QStringLiteral("The header disagrees with the pattern (header vs cuts): ") +
                   HeaderCheck(*pattern);
        case Qt::BackgroundRole:
            return column == FSortColumn ? QVariant(QColor(247, 247, 247)) : QVariant();
        default:
            return QVariant();
    }
}

QVariant TFileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= TableColumnCount()) {
        return QVariant();
    }
    if (role == Qt::DisplayRole) return QString::fromUtf8(TableColumnHeader(section));
    return QVariant();
}

Qt::ItemFlags TFileTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace ostrel

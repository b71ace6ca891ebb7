#pragma once

#include <QStyledItemDelegate>

namespace ostrel {

// Draws the file table's cells with grid lines on their right and bottom edges, and shows
// a cell's full text as a tool tip only when the cell is too narrow for it.
class TFileTableDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Whether the cell's text is cut off at the cell's current size.
    bool IsTextCutOff(const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

}  // namespace ostrel

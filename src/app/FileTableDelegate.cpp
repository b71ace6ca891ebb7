#include "app/FileTableDelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace ostrel {

void TFileTableDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(QColor(216, 216, 216));
    const QRect cell = option.rect;
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    painter->restore();
}

bool TFileTableDelegate::IsTextCutOff(const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (cell.text.isEmpty()) return false;
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : nullptr;
    const QRect textRect =
        style ? style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget) : cell.rect;
    // The item view keeps a small margin on each side of the text.
    const int margin =
        style ? style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1 : 3;
    return cell.fontMetrics.horizontalAdvance(cell.text) > textRect.width() - 2 * margin;
}

bool TFileTableDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event && event->type() == QEvent::ToolTip && index.isValid()) {
        // A cell's own hint (the header check's warning) comes first.
        const QString hint = index.data(Qt::ToolTipRole).toString();
        if (!hint.isEmpty()) {
            QToolTip::showText(event->globalPos(), hint, view);
        } else if (IsTextCutOff(option, index)) {
            QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

}  // namespace ostrel

#include "app/TableColumns.h"

#include <QHeaderView>
#include <QMenu>
#include <algorithm>

#include "shell/FileTable.h"

namespace ostrel {

TTableColumns::TTableColumns(QHeaderView& header) : QObject(&header), FHeader(header) {
    HideFigureColumns();
    FHeader.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&FHeader, &QHeaderView::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = BuildMenu(&FHeader);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(FHeader.viewport()->mapToGlobal(at));
    });
}

void TTableColumns::HideFigureColumns() {
    for (int column = 0; column < TableColumnCount(); ++column) {
        FHeader.setSectionHidden(column, FigureColumnOf(column) != nullptr);
    }
}

void TTableColumns::Restore(const std::optional<std::vector<int>>& hidden, int knownColumns) {
    if (!hidden) return;
    std::vector<bool> hide(static_cast<size_t>(TableColumnCount()), false);
    if (knownColumns >= 0) {
        for (int column = knownColumns; column < TableColumnCount(); ++column)
            hide[static_cast<size_t>(column)] = FHeader.isSectionHidden(column);
    }
    for (int column : *hidden) {
        if (column >= 0 && column < TableColumnCount() &&
            (knownColumns < 0 || column < knownColumns)) {
            hide[static_cast<size_t>(column)] = true;
        }
    }
    // A file that hides every column would leave no header to bring them back with.
    if (std::find(hide.begin(), hide.end(), false) == hide.end()) return;
    for (int column = 0; column < TableColumnCount(); ++column) {
        FHeader.setSectionHidden(column, hide[static_cast<size_t>(column)]);
    }
}

std::vector<int> TTableColumns::Hidden() const {
    std::vector<int> hidden;
    for (int column = 0; column < TableColumnCount(); ++column) {
        if (FHeader.isSectionHidden(column)) hidden.push_back(column);
    }
    return hidden;
}

void TTableColumns::SetColumnShown(int column, bool shown) {
    if (column < 0 || column >= TableColumnCount()) return;
    if (!shown && static_cast<int>(Hidden().size()) >= TableColumnCount() - 1) return;
    FHeader.setSectionHidden(column, !shown);
    // A column shown for the first time has no width yet: as wide as its caption, with its
    // unit, or the usual 75.
    if (shown && FHeader.sectionSize(column) < 10) {
        constexpr int kCaptionPadding = 16;
        const int caption =
            FHeader.fontMetrics().horizontalAdvance(QString::fromUtf8(TableColumnHeader(column)));
        FHeader.resizeSection(column, std::max(75, caption + kCaptionPadding));
    }
}

QMenu* TTableColumns::BuildMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (int column = 0; column < TableColumnCount(); ++column) {
        QAction* action = menu->addAction(QString::fromUtf8(TableColumnHeader(column)));
        action->setCheckable(true);
        action->setChecked(!FHeader.isSectionHidden(column));
        connect(action, &QAction::toggled, this,
                [this, column](bool checked) { SetColumnShown(column, checked); });
    }
    return menu;
}

}  // namespace ostrel

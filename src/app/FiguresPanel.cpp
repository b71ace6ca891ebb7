#include "app/FiguresPanel.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/Settings.h"
#include "shell/FigureTables.h"
#include "widgets/ClipboardService.h"

namespace ostrel {

TFiguresPanel::TFiguresPanel(QWidget* parent) : QDockWidget("Figures", parent) {
    setObjectName("dockFigures");
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    FTable = new QTableWidget(content);
    FTable->setObjectName("tblFigures");
    FTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTable->verticalHeader()->setDefaultSectionSize(18);
    auto* copy = new QPushButton("&Copy", content);
    copy->setObjectName("btnCopyFigures");
    copy->setToolTip("Copy the figures as tab-separated text");
    connect(copy, &QPushButton::clicked, this, [this] { CopyToClipboard(); });
    auto* copyKey = new QAction(FTable);
    copyKey->setShortcut(QKeySequence::Copy);
    copyKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copyKey, &QAction::triggered, this, [this] { CopyToClipboard(); });
    FTable->addAction(copyKey);
    layout->addWidget(FTable);
    layout->addWidget(copy, 0, Qt::AlignRight);
    setWidget(content);
    SetPatterns({});
}

void TFiguresPanel::SetPatterns(const std::vector<const TPatternData*>& patterns) {
    const TSettings& settings = GetSettings();
    FGrid = FiguresGrid(patterns, settings.FShowExtensions, settings.FHCut);
    const auto& grid = FGrid;
    const int rows = static_cast<int>(grid.size()) - 1;
    const int columns = static_cast<int>(patterns.size());
    FTable->clear();
    FTable->setRowCount(rows);
    FTable->setColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        FTable->setHorizontalHeaderItem(
            c, new QTableWidgetItem(QString::fromStdString(grid[0][static_cast<size_t>(c) + 1])));
    }
    for (int r = 0; r < rows; ++r) {
        const auto& row = grid[static_cast<size_t>(r) + 1];
        FTable->setVerticalHeaderItem(r, new QTableWidgetItem(QString::fromStdString(row[0])));
        for (int c = 0; c < columns; ++c) {
            auto* item =
                new QTableWidgetItem(QString::fromStdString(row[static_cast<size_t>(c) + 1]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            FTable->setItem(r, c, item);
        }
    }
}

int TFiguresPanel::FittingWidth() const {
    constexpr int kColumnsShown = 2;
    const QHeaderView* columns = FTable->horizontalHeader();
    int width = FTable->verticalHeader()->sizeHint().width();
    for (int c = 0; c < std::max(kColumnsShown, FTable->columnCount()); ++c) {
        width += c < FTable->columnCount() ? FTable->columnWidth(c) : columns->defaultSectionSize();
    }
    // The table's frame and vertical scroll bar, the margins of the content and of the dock.
    width += 2 * FTable->frameWidth() + FTable->verticalScrollBar()->sizeHint().width();
    const QMargins margins = widget()->layout()->contentsMargins();
    return width + margins.left() + margins.right() +
           2 * style()->pixelMetric(QStyle::PM_DockWidgetFrameWidth, nullptr, this);
}

QString TFiguresPanel::CopyText() const {
    return QString::fromStdString(TabSeparatedText(FGrid));
}

void TFiguresPanel::CopyToClipboard() const {
    TQtClipboardService clipboard;
    clipboard.SetText(CopyText().toStdString());
}

}  // namespace ostrel

#include "app/FiguresPanel.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "model/Settings.h"
#include "shell/FigureTables.h"
#include "widgets/ClipboardService.h"

namespace ostrel {

// The panel's grid as a table: row 0 and column 0 of the grid are the headers.
class TFiguresPanel::TGridModel : public QAbstractTableModel {
public:
    TGridModel(const std::vector<std::vector<std::string>>& grid, QObject* parent)
        : QAbstractTableModel(parent), FGrid(grid) {}

    // Replaces the grid, through `change`, as a reset of the model.
    template <class TChange>
    void Replace(const TChange& change) {
        beginResetModel();
        change();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || FGrid.empty() ? 0 : static_cast<int>(FGrid.size()) - 1;
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() || FGrid.empty() ? 0 : static_cast<int>(FGrid[0].size()) - 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole) return {};
        return Cell(index.row() + 1, index.column() + 1);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        return orientation == Qt::Horizontal ? Cell(0, section + 1) : Cell(section + 1, 0);
    }

private:
    QVariant Cell(int row, int column) const {
        if (row < 0 || static_cast<size_t>(row) >= FGrid.size()) return {};
        const auto& cells = FGrid[static_cast<size_t>(row)];
        if (column < 0 || static_cast<size_t>(column) >= cells.size()) return {};
        return QString::fromStdString(cells[static_cast<size_t>(column)]);
    }

    const std::vector<std::vector<std::string>>& FGrid;
};

TFiguresPanel::TFiguresPanel(QWidget* parent) : QDockWidget("Figures", parent) {
    setObjectName("dockFigures");
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    FTable = new QTableView(content);
    FTable->setObjectName("tblFigures");
    FModel = new TGridModel(FGrid, this);
    FTable->setModel(FModel);
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
    FModel->Replace(
        [&] { FGrid = FiguresGrid(patterns, settings.FShowExtensions, settings.FHCut); });
}

int TFiguresPanel::FittingWidth() const {
    constexpr int kColumnsShown = 2;
    const QHeaderView* columns = FTable->horizontalHeader();
    int width = FTable->verticalHeader()->sizeHint().width();
    for (int c = 0; c < std::max(kColumnsShown, FModel->columnCount({})); ++c) {
        width +=
            c < FModel->columnCount({}) ? FTable->columnWidth(c) : columns->defaultSectionSize();
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

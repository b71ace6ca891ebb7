#include "dialogs/PatPointsDlg.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "model/PlatformServices.h"
#include "views/PatternPoints.h"
#include "widgets/AppFonts.h"
#include "widgets/HintDelay.h"

namespace ostrel {

namespace {

constexpr int kClientWidth = 428;
constexpr int kClientHeight = 423;
constexpr int kRowHeight = 20;
constexpr int kColumnWidth = 64;
// Short enough that the full name of a shortened header shows almost at once.
constexpr int kShortHintDelayMs = 100;
// Text keeps this distance from the left and right edges of its cell.
constexpr int kTextMargin = 2;

const QColor kFixedBackground(196, 217, 230);
const QColor kFixedText(0, 0, 255);
const QColor kGridText(0, 128, 0);
const QColor kGridLine(160, 160, 160);

// One line at the right of the cell, vertically centred, shortened at its end when needed.
void DrawCellText(QPainter& painter, const QRect& cell, const QString& text) {
    const QRect area = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Model

TPatternPointsModel::TPatternPointsModel(const TPatternDataList& patterns, bool useAzimuth,
                                         QObject* parent)
    : QAbstractTableModel(parent), FPatterns(patterns), FUseAzimuth(useAzimuth) {}

void TPatternPointsModel::Reload() {
    beginResetModel();
    endResetModel();
}

int TPatternPointsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPointsRowCount - 1;
}

int TPatternPointsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PointsColumnCount(FPatterns) - 1;
}

QVariant TPatternPointsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(
                PointsCellText(FPatterns, FUseAzimuth, index.row() + 1, index.column() + 1));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant TPatternPointsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (orientation == Qt::Horizontal) {
        // The hint is the whole name, which the header may show shortened.
        return QString::fromStdString(PointsCellText(FPatterns, FUseAzimuth, 0, section + 1));
    }
    if (role != Qt::DisplayRole) return {};
    return QString::fromStdString(PointsCellText(FPatterns, FUseAzimuth, section + 1, 0));
}

// ---------------------------------------------------------------------------------------
// Drawing

void TPointsHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid() || !model()) return;
    painter->save();
    painter->fillRect(rect, kFixedBackground);
    painter->setPen(kGridLine);
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setFont(font());
    painter->setPen(kFixedText);
    DrawCellText(*painter, rect,
                 model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString());
    painter->restore();
}

void TPointsCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    painter->save();
    if (style) style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    painter->setFont(option.font);
    // A selected cell takes the highlight's own text colour, as its background does.
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(selected ? option.palette.color(QPalette::HighlightedText) : kGridText);
    DrawCellText(*painter, option.rect, text);
    painter->restore();
}

// ---------------------------------------------------------------------------------------
// The dialog

TPatPointsDialog::TPatPointsDialog(QWidget* parent, TClipboardService& clipboard)
    : QDialog(parent), FClipboard(clipboard) {
    FSavedHintDelay = ApplicationHintDelay();
    SetApplicationHintDelay(kShortHintDelayMs);

    setWindowTitle(QStringLiteral("Pattern Points"));
    setWindowFlags(windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint);
    setFont(TahomaFont());
    setMinimumSize(300, 400);
    resize(kClientWidth, kClientHeight);

    lblTitle = new QLabel(QStringLiteral("Pattern Points"), this);
    lblTitle->adjustSize();
    lblTitle->move(8, 8);

    FHorzModel = new TPatternPointsModel(Patterns, true, this);
    FVertModel = new TPatternPointsModel(Patterns, false, this);
    pcPoints = new QTabWidget(this);
    pcPoints->setObjectName(QStringLiteral("pcPoints"));
    HorzGrid = MakeGrid(FHorzModel);
    HorzGrid->setObjectName(QStringLiteral("HorzGrid"));
    VertGrid = MakeGrid(FVertModel);
    VertGrid->setObjectName(QStringLiteral("VertGrid"));
    pcPoints->addTab(HorzGrid->parentWidget(), QStringLiteral("Horz. data"));
    pcPoints->addTab(VertGrid->parentWidget(), QStringLiteral("Vert.Data"));
    pcPoints->setCurrentIndex(0);

    lblTip =
        new QLabel(QStringLiteral("Tip:  Copied data can be pasted directly into Excel"), this);
    lblTip->setFont(TahomaFont(11, true));
    QPalette tipPalette = lblTip->palette();
    tipPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lblTip->setPalette(tipPalette);
    lblTip->adjustSize();

    btnCopy = new QPushButton(QStringLiteral("Copy Table Data"), this);
    btnCopy->setAutoDefault(false);
    btnClose = new QPushButton(QStringLiteral("&Close"), this);
    btnClose->setAutoDefault(false);

    connect(btnCopy, &QPushButton::clicked, this, [this] { CopyTableData(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(HorzGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { FollowCurrentCell(VertGrid, current); });
    connect(VertGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { FollowCurrentCell(HorzGrid, current); });
    // The grid that comes to the front shows its current cell.
    connect(pcPoints, &QTabWidget::currentChanged, this, [this](int page) {
        QTableView* grid = page == 0 ? HorzGrid : VertGrid;
        if (grid->currentIndex().isValid()) grid->scrollTo(grid->currentIndex());
    });
}

TPatPointsDialog::~TPatPointsDialog() {
    SetApplicationHintDelay(FSavedHintDelay);
}

QTableView* TPatPointsDialog::MakeGrid(TPatternPointsModel* model) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QTableView(page);
    layout->addWidget(grid);

    const QFont font = TahomaFont(11, true);
    grid->setFont(font);
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Button, kFixedBackground);
    grid->setPalette(palette);
    auto* columns = new TPointsHeaderView(Qt::Horizontal, grid);
    auto* rows = new TPointsHeaderView(Qt::Vertical, grid);
    grid->setHorizontalHeader(columns);
    grid->setVerticalHeader(rows);
    grid->setModel(model);
    grid->setItemDelegate(new TPointsCellDelegate(grid));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setTabKeyNavigation(false);
    grid->setWordWrap(false);

    columns->setFont(font);
    columns->setMinimumSectionSize(8);
    columns->setDefaultSectionSize(kColumnWidth);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setSectionsClickable(false);
    columns->setHighlightSections(false);
    columns->setFixedHeight(kRowHeight);
    rows->setFont(font);
    rows->setMinimumSectionSize(8);
    rows->setDefaultSectionSize(kRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setSectionsClickable(false);
    rows->setHighlightSections(false);
    rows->setFixedWidth(kColumnWidth);
    return grid;
}

void TPatPointsDialog::Run() {
    FSynchronising = false;
    FillGrids();
    exec();
}

void TPatPointsDialog::FillGrids() {
    FHorzModel->Reload();
    FVertModel->Reload();
}

void TPatPointsDialog::CopyTableData() {
    Patterns.CopyPointsToClipboard(pcPoints->currentIndex() == 0, FClipboard);
}

void TPatPointsDialog::FollowCurrentCell(QTableView* target, const QModelIndex& current) {
    if (FSynchronising || !current.isValid()) return;
    FSynchronising = true;
    const QModelIndex same = target->model()->index(current.row(), current.column());
    if (target->currentIndex() != same) target->setCurrentIndex(same);
    FSynchronising = false;
}

void TPatPointsDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The tabs follow the window; the tip and the buttons stay at the bottom.
    const int w = width();
    const int h = height();
    pcPoints->setGeometry(8, 32, w - 18, h - 97);
    lblTip->move(8, h - 59);
    btnCopy->setGeometry(8, h - 33, 105, 25);
    btnClose->setGeometry(w - 83, h - 33, 75, 25);
}

}  // namespace ostrel

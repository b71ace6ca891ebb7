#include "dialogs/RotateDlg.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <algorithm>

#include "views/OffsetAngles.h"
#include "widgets/AppFonts.h"

namespace ostrel {

namespace {

constexpr int kClientWidth = 455;
constexpr int kClientHeight = 390;
// Text keeps this distance from the left and right edges of its cell.
constexpr int kTextMargin = 2;

const QColor kDataText(72, 72, 72);
const QColor kEvenRow(240, 240, 240);

int TextWidthIn(const QFontMetrics& metrics, const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text));
}

TWrappedText WrappedName(const QFontMetrics& metrics, const QString& name, int cellWidth) {
    return WrapBetweenCharacters(
        name.toStdString(), cellWidth - 2 * kTextMargin, metrics.height(),
        [&metrics](const std::string& text) { return TextWidthIn(metrics, text); });
}

// The sunken two-pixel edge of an edit box around the cell.
void DrawSunkenEdge(QPainter& painter, const QRect& cell) {
    auto frame = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    frame(cell, QColor(128, 128, 128), Qt::white);
    frame(cell.adjusted(1, 1, -1, -1), Qt::black, QColor(192, 192, 192));
}

QPushButton* MakeButton(const QString& text, QWidget* parent, const QRect& geometry) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    // Enter belongs to the angle editor; it must never close the dialog.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The angle editor

TAngleSpinEdit::TAngleSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(-kOffsetAngleLimit, kOffsetAngleLimit);
    setSingleStep(1);
    setWrapping(false);
    setValue(0);
}

QValidator::State TAngleSpinEdit::validate(QString& input, int& pos) const {
    std::string text = input.toStdString();
    if (CutBackAngleText(text)) {
        input = QString::fromStdString(text);
        pos = static_cast<int>(input.size());
        return QValidator::Acceptable;
    }
    // Any other text may stand while typing; committing reads it as 0.
    return IsWholeNumberText(text) ? QValidator::Acceptable : QValidator::Intermediate;
}

int TAngleSpinEdit::valueFromText(const QString& text) const {
    return AngleFromText(text.toStdString());
}

QString TAngleSpinEdit::textFromValue(int value) const {
    return QString::number(value);
}

void TAngleSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit Committed();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        // Only the edit is abandoned; the dialog would otherwise take Esc as Cancel.
        event->accept();
        emit Cancelled();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

void TAngleSpinEdit::focusOutEvent(QFocusEvent* event) {
    // Before the spin box puts its last valid value back over a text such as "12.5".
    emit Committed();
    QSpinBox::focusOutEvent(event);
}

void TAngleSpinEdit::wheelEvent(QWheelEvent* event) {
    event->accept();
}

// ---------------------------------------------------------------------------------------
// Cell drawing

void TRotateCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const QModelIndex current = view ? view->currentIndex() : QModelIndex();
    const QRect cell = option.rect;
    const int row = index.row();
    const int column = index.column();

    painter->save();
    // The row of the focused cell keeps the grid's own colour; the others alternate, the
    // first data row white.
    QColor background = option.palette.color(QPalette::Base);
    if (!current.isValid() || current.row() != row) {
        background = row % 2 == 0 ? QColor(Qt::white) : kEvenRow;
    }
    painter->fillRect(cell, background);
    if (IsAngleColumn(column)) DrawSunkenEdge(*painter, cell.adjusted(0, 0, -1, -1));

    painter->setFont(option.font);
    painter->setPen(kDataText);
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect textRect = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QFontMetrics metrics(option.font);
    const TWrappedText wrapped =
        column == rcFileName ? WrappedName(metrics, text, RotateColumnInfo(rcFileName).Width)
                             : TWrappedText{};
    if (wrapped.Wrapped) {
        int y = cell.top();
        for (const std::string& line : wrapped.Lines) {
            painter->drawText(QRect(textRect.left(), y, textRect.width(), metrics.height()),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                              QString::fromStdString(line));
            y += metrics.height();
        }
    } else {
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    if (index == current && view && view->hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(view);
        focus.rect = cell.adjusted(1, 1, -1, -1);
        focus.backgroundColor = background;
        view->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
    }
    painter->restore();
}

// ---------------------------------------------------------------------------------------
// The dialog

TRotateDialog::TRotateDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Rotate Patterns"));
    setFont(TahomaFont());
    setFixedSize(kClientWidth, kClientHeight);
    setSizeGripEnabled(false);

    lblTitle = new QLabel(QStringLiteral("Rotate Patterns"), this);
    lblTitle->setFont(TahomaFont(11, true));
    lblTitle->adjustSize();
    lblTitle->move(8, 16);

    btnResetH = MakeButton(QStringLiteral("Reset (H)"), this, QRect(264, 16, 75, 20));
    btnResetV = MakeButton(QStringLiteral("Reset (V)"), this, QRect(345, 16, 75, 20));

    Grid = new QTableWidget(1, rcColumnCount, this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setGeometry(8, 40, 440, 273);
    Grid->setFont(TahomaFont(11, true));
    Grid->setItemDelegate(new TRotateCellDelegate(Grid));
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid->setTabKeyNavigation(false);
    Grid->setWordWrap(false);
    Grid->setShowGrid(true);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->verticalHeader()->setDefaultSectionSize(kRotateRowHeight);
    QHeaderView* header = Grid->horizontalHeader();
    header->setFont(TahomaFont(11, true));
    header->setFixedHeight(kRotateRowHeight);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QStringList headers;
    for (int column = 0; column < rcColumnCount; ++column) {
        headers << QString::fromLatin1(RotateColumnInfo(column).Header);
    }
    Grid->setHorizontalHeaderLabels(headers);
    header->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < rcColumnCount; ++column) {
        header->resizeSection(column, RotateColumnInfo(column).Width);
    }

    AngleEditor = new TAngleSpinEdit(Grid->viewport());
    AngleEditor->setObjectName(QStringLiteral("AngleEditor"));
    AngleEditor->setFont(Grid->font());
    AngleEditor->hide();

    lblNote = new QLabel(
        QStringLiteral("Note: Offset values are referenced from main lobe, not from 0\u00B0"),
        this);
    lblNote->setFont(TahomaFont(11, true));
    QPalette notePalette = lblNote->palette();
    notePalette.setColor(QPalette::WindowText, QColor(0, 128, 0));
    lblNote->setPalette(notePalette);
    lblNote->adjustSize();
    lblNote->move(8, 320);

    btnOK = MakeButton(QStringLiteral("&OK"), this, QRect(208, 352, 75, 25));
    btnApply = MakeButton(QStringLiteral("&Apply"), this, QRect(288, 352, 75, 25));
    btnCancel = MakeButton(QStringLiteral("&Cancel"), this, QRect(374, 352, 75, 25));

    // The grid never moves by the wheel, wherever over it the wheel turns.
    for (QObject* part :
         std::initializer_list<QObject*>{Grid, Grid->viewport(), Grid->verticalScrollBar(),
                                         Grid->horizontalScrollBar(), header->viewport()}) {
        part->installEventFilter(this);
    }

    connect(Grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        // The row colours follow the focused cell.
        Grid->viewport()->update();
        if (row >= 0 && IsAngleColumn(column)) OpenEditor(row, column);
    });
    // A click on the cell that is already current opens the editor again.
    connect(Grid, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (!FEditing && IsAngleColumn(column)) OpenEditor(row, column);
    });
    connect(Grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceEditor(); });
    connect(Grid->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { PlaceEditor(); });
    connect(AngleEditor, &TAngleSpinEdit::Committed, this, [this] { CommitEditor(); });
    connect(AngleEditor, &TAngleSpinEdit::Cancelled, this, [this] { CancelEditor(); });

    connect(btnResetH, &QPushButton::clicked, this, [this] { ResetColumn(rcHorzOffset); });
    connect(btnResetV, &QPushButton::clicked, this, [this] { ResetColumn(rcVertOffset); });
    connect(btnOK, &QPushButton::clicked, this, [this] {
        CollectAngles();
        accept();
    });
    connect(btnApply, &QPushButton::clicked, this, [this] {
        CollectAngles();
        if (OnApplyAngles) OnApplyAngles(*this);
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TRotateDialog::Run() {
    FillGrid();
    return exec() == QDialog::Accepted;
}

void TRotateDialog::FillGrid() {
    const int count = PatternCount();
    Grid->clearContents();
    Grid->setRowCount(std::max(1, count));
    const QFontMetrics metrics(Grid->font());
    for (int row = 0; row < Grid->rowCount(); ++row) {
        for (int column = 0; column < rcColumnCount; ++column) {
            const QString text =
                row < count ? QString::fromStdString(RotateCellText(FPatterns->Items(row), column))
                            : QString();
            Grid->setItem(row, column, new QTableWidgetItem(text));
        }
        const TWrappedText name = WrappedName(metrics, Grid->item(row, rcFileName)->text(),
                                              RotateColumnInfo(rcFileName).Width);
        Grid->setRowHeight(row, WrappedRowHeight(name, kRotateRowHeight));
    }
}

void TRotateDialog::CollectAngles() {
    ostrel::CollectAngles(
        PatternCount(),
        [this](int row, int column) {
            const QTableWidgetItem* item = Grid->item(row, column);
            return item ? item->text().toStdString() : std::string();
        },
        FAngles);
}

void TRotateDialog::ResetColumn(int column) {
    for (int row = 0; row < Grid->rowCount(); ++row) {
        if (QTableWidgetItem* item = Grid->item(row, column)) item->setText(QStringLiteral("0"));
    }
}

void TRotateDialog::OpenEditor(int row, int column) {
    // An editor still open elsewhere (the current cell moved from code) keeps its value.
    if (FEditing) CommitEditor();
    const QTableWidgetItem* item = Grid->item(row, column);
    if (!item) return;
    FEditing = true;
    FEditCell = Grid->model()->index(row, column);
    AngleEditor->setValue(AngleFromText(item->text().toStdString()));
    PlaceEditor();
    AngleEditor->show();
    AngleEditor->setFocus();
    AngleEditor->selectAll();
}

void TRotateDialog::PlaceEditor() {
    if (!FEditing) return;
    AngleEditor->setGeometry(Grid->visualRect(FEditCell));
}

void TRotateDialog::CommitEditor() {
    if (!FEditing) return;
    FEditing = false;
    const int angle = AngleFromText(AngleEditor->text().toStdString());
    Grid->setFocus();
    AngleEditor->hide();
    if (FEditCell.isValid()) {
        Grid->model()->setData(FEditCell, QString::number(angle), Qt::DisplayRole);
    }
}

void TRotateDialog::CancelEditor() {
    if (!FEditing) return;
    // Cleared first: hiding the editor takes its focus, which would commit it.
    FEditing = false;
    Grid->setFocus();
    AngleEditor->hide();
}

void TRotateDialog::keyPressEvent(QKeyEvent* event) {
    // The buttons are not default buttons (Enter belongs to the angle editor), so the
    // dialog would ignore Enter on them: a focused button is pressed as by Space.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        for (QPushButton* button : {btnOK, btnApply, btnCancel, btnResetH, btnResetV}) {
            if (button->hasFocus()) {
                event->accept();
                button->click();
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}

bool TRotateDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) return true;
    return QDialog::eventFilter(watched, event);
}

}  // namespace ostrel

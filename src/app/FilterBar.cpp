#include "app/FilterBar.h"

#include <QHBoxLayout>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeView>
#include <algorithm>

#include "app/FileTableModel.h"
#include "app/OpenFilesFlow.h"
#include "model/Settings.h"
#include "shell/PatternFilter.h"

namespace ostrel {

namespace {

const char kFilterHelp[] =
    "Shows the patterns that match every term:\n"
    "  word  or  \"two words\"   the file name contains it\n"
    "  freq:1710-2170        a range, ends included\n"
    "  gain:>=17             also >, <, <=, =\n"
    "  hbw:65                rounds to 65 (64.5 up to 65.5)\n"
    "Keys: %1, or a column's name (horzwidth, frequency, h10dbwidth).\n"
    "Ctrl+F to type here, Esc to clear.";

constexpr int kMinimumFieldWidth = 160;
constexpr int kMinimumCountWidth = 110;

}  // namespace

TFilterBar::TFilterBar(QWidget* parent, QTreeView& view, TFileTableModel& table,
                       std::function<void()> selectionReplaced)
    : QWidget(parent),
      FView(view),
      FTable(table),
      FSelectionReplaced(std::move(selectionReplaced)) {
    setObjectName("pnlFilter");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(6);
    auto* caption = new QLabel(tr("&Filter:"), this);
    FEdit = new QLineEdit(this);
    FEdit->setObjectName("edFilter");
    FEdit->setPlaceholderText(tr("name  freq:1710-2170  gain:>=17  hbw:60-70"));
    FEdit->setClearButtonEnabled(true);
    FEdit->setToolTip(
        QString(kFilterHelp).arg(QString::fromStdString(TPatternFilter::KnownKeys())));
    caption->setBuddy(FEdit);
    // A long message must not squeeze the field in a narrow window: the field keeps room
    // for a few terms, the message takes at most a third of the bar and is elided, in full
    // in its tool tip.
    FEdit->setMinimumWidth(kMinimumFieldWidth);
    FCount = new QLabel(this);
    FCount->setObjectName("lblFilterCount");
    FCount->setMinimumWidth(kMinimumCountWidth);
    layout->addWidget(caption);
    layout->addWidget(FEdit, 1);
    layout->addWidget(FCount);
    FEdit->installEventFilter(this);
    connect(FEdit, &QLineEdit::textChanged, this, &TFilterBar::Apply);

    auto* find = new QShortcut(QKeySequence::Find, parent ? parent->window() : this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        FEdit->setFocus(Qt::ShortcutFocusReason);
        FEdit->selectAll();
    });
    // Rows hidden by the filter change the total without any row of the view changing.
    connect(&FTable, &TFileTableModel::CountsChanged, this, &TFilterBar::UpdateCount);
    connect(&FTable, &QAbstractItemModel::modelReset, this, &TFilterBar::UpdateCount);
    UpdateCount();
}

bool TFilterBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FEdit && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !FEdit->text().isEmpty()) {
        FEdit->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFilterBar::SetText(const QString& text) {
    FEdit->setText(text);
    Apply(text);
}

QString TFilterBar::Text() const {
    return FEdit->text();
}

void TFilterBar::Apply(const QString& text) {
    GetSettings().FFilterText = text.toStdString();
    TPatternFilter filter;
    try {
        filter = TPatternFilter::Parse(text.toStdString());
        FError.clear();
    } catch (const EFilterError& error) {
        FError = QString::fromStdString(error.what());
        FEdit->setStyleSheet("QLineEdit { color: #c00000; }");
        FEdit->setToolTip(FError);
        UpdateCount();
        return;
    }
    FEdit->setStyleSheet(QString());
    FEdit->setToolTip(
        QString(kFilterHelp).arg(QString::fromStdString(TPatternFilter::KnownKeys())));
    // The selected patterns that stay shown stay selected.
    std::vector<TPatternData*> selected;
    for (const QModelIndex& index : FView.selectionModel()->selectedRows()) {
        if (TPatternData* pattern = FTable.PatternAt(index.row())) selected.push_back(pattern);
    }
    FTable.SetFilter(std::move(filter));
    QItemSelection keep;
    for (TPatternData* pattern : selected) {
        const int row = FTable.RowOf(*pattern);
        if (row >= 0)
            keep.select(FTable.index(row, 0), FTable.index(row, FTable.columnCount() - 1));
    }
    // The reset emptied the selection without a word; selecting what is kept announces it,
    // an empty selection has to be announced here.
    FView.selectionModel()->select(keep, QItemSelectionModel::ClearAndSelect);
    if (keep.isEmpty() && FSelectionReplaced) FSelectionReplaced();
    UpdateCount();
}

QString TFilterBar::CountText() const {
    return FCount->text();
}

void TFilterBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!FError.isEmpty()) UpdateCount();
}

void TFilterBar::UpdateCount() {
    if (!FError.isEmpty()) {
        const int room = std::max(kMinimumCountWidth, width() / 3);
        FCount->setStyleSheet("QLabel { color: #c00000; }");
        FCount->setFixedWidth(room);
        FCount->setText(
            FCount->fontMetrics().elidedText(FError, Qt::ElideRight, room - 2 * FCount->margin()));
        FCount->setToolTip(FError);
        return;
    }
    FCount->setMinimumWidth(kMinimumCountWidth);
    FCount->setMaximumWidth(QWIDGETSIZE_MAX);
    FCount->setToolTip(QString());
    FCount->setStyleSheet(QString());
    if (FTable.Filter().IsEmpty()) {
        FCount->setText(QString());
    } else {
        FCount->setText(
            tr("%1 of %2").arg(GroupedCount(FTable.RowCount()), GroupedCount(FTable.TotalCount())));
    }
}

}  // namespace ostrel

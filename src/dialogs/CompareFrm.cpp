#include "dialogs/CompareFrm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "qtdraw/CanvasDrawer.h"
#include "views/ComparisonView.h"
#include "widgets/AppFonts.h"
#include "widgets/ClipboardService.h"
#include "widgets/PaintBox.h"

namespace ostrel {

TCompareForm::TCompareForm(QWidget* parent, const TPatternData& a, const TPatternData& b)
    : QWidget(parent, Qt::Window), FA(&a), FB(&b) {
    setObjectName("CompareForm");
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(TahomaFont());
    resize(860, 720);

    chkRelative = new QCheckBox("&Relative (gains left out)", this);
    chkRelative->setObjectName("chkRelative");
    connect(chkRelative, &QCheckBox::toggled, this, &TCompareForm::SetRelative);
    btnSwap = new QPushButton("&Swap A and B", this);
    btnSwap->setObjectName("btnSwap");
    btnSwap->setToolTip("Make the other pattern the reference");
    connect(btnSwap, &QPushButton::clicked, this, &TCompareForm::Swap);
    btnCopyImage = new QPushButton("Copy &Image", this);
    btnCopyImage->setObjectName("btnCopyImage");
    connect(btnCopyImage, &QPushButton::clicked, this, &TCompareForm::CopyImage);
    btnCopy = new QPushButton("&Copy", this);
    btnCopy->setObjectName("btnCopy");
    btnCopy->setToolTip("Copy the differences per angle as a tab-separated table");
    connect(btnCopy, &QPushButton::clicked, this, &TCompareForm::CopyText);
    lblNotice = new QLabel(this);
    lblNotice->setObjectName("lblNotice");
    lblNotice->setStyleSheet("color: #b00000");
    lblNotice->setWordWrap(true);
    lblNotice->hide();

    FPaintArea = new TPaintBox(
        this, [this](QPainter& painter, QSize size) { Paint(painter, size); }, QSize(320, 300));
    FPaintArea->setObjectName("pbComparison");

    const std::vector<std::string> header = ComparisonStatisticsHeader();
    tblStatistics = new QTableWidget(3, static_cast<int>(header.size()), this);
    tblStatistics->setObjectName("tblStatistics");
    for (int column = 0; column < tblStatistics->columnCount(); ++column) {
        tblStatistics->setHorizontalHeaderItem(
            column,
            new QTableWidgetItem(QString::fromStdString(header[static_cast<size_t>(column)])));
    }
    tblStatistics->verticalHeader()->hide();
    tblStatistics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblStatistics->setSelectionMode(QAbstractItemView::ContiguousSelection);
    tblStatistics->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tblStatistics->verticalHeader()->setDefaultSectionSize(20);
    tblStatistics->setFixedHeight(tblStatistics->horizontalHeader()->sizeHint().height() + 3 * 20 +
                                  2 * tblStatistics->frameWidth());

    auto* controls = new QHBoxLayout;
    controls->addWidget(chkRelative);
    controls->addWidget(btnSwap);
    controls->addStretch(1);
    controls->addWidget(btnCopyImage);
    controls->addWidget(btnCopy);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(lblNotice);
    layout->addWidget(FPaintArea, 1);
    layout->addWidget(tblStatistics);
}

std::string TCompareForm::Recompute() {
    FValid = false;
    std::string problem;
    try {
        FComparison = ComparePatterns(*FA, *FB, FRelativeAsked);
        FValid = true;
    } catch (const std::exception& error) {
        problem = error.what();
    }
    lblNotice->clear();
    if (!FValid && !FRelativeAsked) {
        // Without a gain the levels can still be compared.
        try {
            FComparison = ComparePatterns(*FA, *FB, true);
            FValid = true;
            lblNotice->setText(QString::fromStdString(problem + " Compared without the gains."));
            problem.clear();
        } catch (const std::exception&) {
        }
    }
    {
        const QSignalBlocker quiet(chkRelative);
        chkRelative->setChecked(FValid && FComparison.Relative);
    }
    lblNotice->setVisible(!lblNotice->text().isEmpty());
    ShowNames();
    FillStatistics();
    btnCopy->setEnabled(FValid);
    btnCopyImage->setEnabled(FValid);
    FPaintArea->update();
    return problem;
}

void TCompareForm::ShowNames() {
    setWindowTitle(QString::fromStdString("Compare - " + DisplayName(*FB, false) + " − " +
                                          DisplayName(*FA, false)));
}

void TCompareForm::FillStatistics() {
    const auto rows =
        FValid ? ComparisonStatisticsRows(FComparison) : std::vector<std::vector<std::string>>{};
    tblStatistics->clearContents();
    for (size_t row = 0; row < rows.size(); ++row) {
        for (size_t column = 0; column < rows[row].size(); ++column) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[row][column]));
            if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblStatistics->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
}

QString TCompareForm::Notice() const {
    return lblNotice->text();
}

void TCompareForm::SetRelative(bool relative) {
    FRelativeAsked = relative;
    Recompute();
}

void TCompareForm::Swap() {
    std::swap(FA, FB);
    Recompute();
}

void TCompareForm::Paint(QPainter& painter, QSize size) const {
    TCanvasDrawer drawer;
    drawer.SetCanvas(&painter, 1, 1);
    TComparisonView view;
    view.Comparison = FValid ? &FComparison : nullptr;
    view.ReferenceName = DisplayName(*FA, false);
    view.OtherName = DisplayName(*FB, false);
    view.Bounds = TRect{0, 0, size.width(), size.height()};
    view.Draw(drawer);
}

QByteArray TCompareForm::SvgImage(QSize size) {
    return SvgPicture(size, logicalDpiY(),
                      [this, size](QPainter& painter) { Paint(painter, size); });
}

QImage TCompareForm::PngImage(QSize size) {
    return PngPicture(size, [this, size](QPainter& painter) { Paint(painter, size); });
}

void TCompareForm::CopyImage() {
    const QSize size = FPaintArea->size();
    CopyPicture(size, logicalDpiY(), [this, size](QPainter& painter) { Paint(painter, size); });
}

void TCompareForm::CopyText() {
    if (!FValid) return;
    TQtClipboardService clipboard;
    clipboard.SetText(ComparisonTableText(FComparison));
}

}  // namespace ostrel

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include "dialogs/PatPointsDlg.h"
#include "formats/PatternLoaders.h"
#include "model/NumberText.h"
#include "uisupport/UiImageFiles.h"
#include "uisupport/UiPatternFiles.h"
#include "widgets/ClipboardService.h"
#include "widgets/HintDelay.h"

namespace ostrel {
namespace {

// The dialog on its own over two patterns read from files, shown as the command shows it.
class PatPointsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<std::string> files = ShownPatternFiles();
        for (int i = 0; i < 2; ++i) {
            TLoadedFile loaded = LoadPatternFile(files[static_cast<size_t>(i)]);
            const std::string& error = loaded.Failure;
            auto pattern = loaded.TakeFirst();
            ASSERT_TRUE(pattern) << error;
            pattern->Id = i;
            Owned.push_back(std::move(pattern));
        }
    }
    void Show(TPatPointsDialog& dialog) {
        for (auto& pattern : Owned) dialog.Patterns.Add(*pattern);
        dialog.FillGrids();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
    }
    std::string Name(int i) const { return DisplayName(*Owned[static_cast<size_t>(i)], false); }

    std::vector<std::unique_ptr<TPatternData>> Owned;
    TQtClipboardService Clipboard;
};

TEST_F(PatPointsDialogTest, CopiesTheTableOfTheActiveTabForASpreadsheet) {
    TPatPointsDialog dialog(nullptr, Clipboard);
    Show(dialog);
    ASSERT_EQ(dialog.pcPoints->currentIndex(), 0);
    EXPECT_EQ(dialog.pcPoints->tabText(0), "Horz. data");
    EXPECT_EQ(dialog.pcPoints->tabText(1), "Vert.Data");

    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(dialog.btnCopy, Qt::LeftButton);
    const QString horizontal = QGuiApplication::clipboard()->text();
    QStringList lines = horizontal.split("\r\n");
    ASSERT_EQ(lines.size(), 363) << "362 lines, each ended by CR LF";
    EXPECT_EQ(lines.last(), "");
    EXPECT_EQ(horizontal.count('\n'), 362) << "no bare LF";
    EXPECT_EQ(lines[0].toStdString(), "\t" + Name(0) + "\t" + Name(1));
    for (int k = 0; k < 361; ++k) {
        const QStringList fields = lines[k + 1].split('\t');
        ASSERT_EQ(fields.size(), 3) << k;
        EXPECT_EQ(fields[0], QString::number(k - 180));
        // Each copied level is the one the grid shows, in the general number form.
        for (int p = 0; p < 2; ++p) {
            const QModelIndex cell = dialog.HorzGrid->model()->index(k, p);
            EXPECT_EQ(fields[p + 1], cell.data().toString()) << k;
            EXPECT_EQ(fields[p + 1].toStdString(),
                      FormatGeneral(Owned[static_cast<size_t>(p)]->AzimuthCut.GetPoint(k).Y));
        }
    }

    dialog.pcPoints->setCurrentIndex(1);
    QTest::mouseClick(dialog.btnCopy, Qt::LeftButton);
    lines = QGuiApplication::clipboard()->text().split("\r\n");
    ASSERT_EQ(lines.size(), 363);
    EXPECT_EQ(lines[0].toStdString(), "\t" + Name(0) + "\t" + Name(1));
    EXPECT_EQ(lines[1].section('\t', 0, 0), "-180");
    EXPECT_EQ(lines[361].section('\t', 0, 0), "180");
    EXPECT_EQ(lines[91].section('\t', 1, 1).toStdString(),
              FormatGeneral(Owned[0]->VerticalCut.GetPoint(90).Y))
        << "the vertical levels on the vertical tab";
    EXPECT_EQ(lines[91].section('\t', 1, 1),
              dialog.VertGrid->model()->index(90, 0).data().toString());
    EXPECT_NE(QGuiApplication::clipboard()->text(), horizontal);

    QTest::mouseClick(dialog.btnClose, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PatPointsDialogTest, GridsShowEveryDegreeAndKeepTheirCurrentCellsInStep) {
    TPatPointsDialog dialog(nullptr, Clipboard);
    Show(dialog);
    QAbstractItemModelTester tester(dialog.HorzGrid->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    QAbstractItemModel* horizontal = dialog.HorzGrid->model();
    ASSERT_EQ(horizontal->rowCount(), 361);
    ASSERT_EQ(horizontal->columnCount(), 2);
    EXPECT_EQ(horizontal->headerData(0, Qt::Vertical).toString(), "-180");
    EXPECT_EQ(horizontal->headerData(360, Qt::Vertical).toString(), "180");
    EXPECT_EQ(horizontal->headerData(1, Qt::Horizontal).toString().toStdString(), Name(1));
    EXPECT_EQ(dialog.HorzGrid->verticalHeader()->defaultSectionSize(), 20);
    EXPECT_EQ(dialog.HorzGrid->horizontalHeader()->sectionSize(0), 64);
    EXPECT_EQ(dialog.HorzGrid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);

    // Row 200 of the grid (angle 19) clicked on the first tab is row 200 on the second.
    const QModelIndex clicked = horizontal->index(199, 1);
    dialog.HorzGrid->scrollTo(clicked);
    QTest::mouseClick(dialog.HorzGrid->viewport(), Qt::LeftButton, {},
                      dialog.HorzGrid->visualRect(clicked).center());
    ASSERT_EQ(dialog.HorzGrid->currentIndex(), clicked);
    dialog.pcPoints->setCurrentIndex(1);
    const QModelIndex followed = dialog.VertGrid->currentIndex();
    EXPECT_EQ(followed.row(), 199);
    EXPECT_EQ(followed.column(), 1);
    EXPECT_TRUE(dialog.VertGrid->selectionModel()->isSelected(followed));
    EXPECT_TRUE(
        dialog.VertGrid->viewport()->rect().intersects(dialog.VertGrid->visualRect(followed)))
        << "scrolled into view";

    // And back, from the vertical grid.
    dialog.VertGrid->setCurrentIndex(dialog.VertGrid->model()->index(12, 0));
    EXPECT_EQ(dialog.HorzGrid->currentIndex(), horizontal->index(12, 0));

    // A screenshot of the horizontal tab with the cell of row 200 selected.
    dialog.pcPoints->setCurrentIndex(0);
    dialog.resize(560, 480);
    dialog.HorzGrid->setCurrentIndex(clicked);
    dialog.HorzGrid->scrollTo(horizontal->index(185, 0), QAbstractItemView::PositionAtTop);
    const QImage image = dialog.grab().toImage();
    SaveTestPng(image, "views/pattern_points_dialog.png");
    const QPoint header = dialog.HorzGrid->horizontalHeader()->mapTo(&dialog, QPoint(3, 3));
    EXPECT_EQ(QColor(image.pixel(header)), QColor(196, 217, 230)) << "fixed cells' colour";
    auto countPixels = [&image](const QRect& area, QColor color) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixelColor(x, y) == color;
        }
        return count;
    };
    const QRect headerArea(dialog.HorzGrid->horizontalHeader()->mapTo(&dialog, QPoint(0, 0)),
                           dialog.HorzGrid->horizontalHeader()->size());
    const QRect cellArea(dialog.HorzGrid->viewport()->mapTo(&dialog, QPoint(0, 0)),
                         dialog.HorzGrid->viewport()->size());
    EXPECT_GT(countPixels(headerArea, QColor(0, 0, 255)), 20) << "blue names";
    EXPECT_GT(countPixels(cellArea, QColor(0, 128, 0)), 100) << "green levels";
}

TEST_F(PatPointsDialogTest, HeaderHintsShowTheWholeNameAfterTheShortDelayWhileOpen) {
    SetApplicationHintDelay(650);
    Owned[0]->FileName = "/data/VLM-PX1917-DualSlant-1900MHz.final.msi";
    {
        TPatPointsDialog dialog(nullptr, Clipboard);
        EXPECT_EQ(ApplicationHintDelay(), 100);
        Show(dialog);
        QHeaderView* header = dialog.HorzGrid->horizontalHeader();
        EXPECT_EQ(header->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, header), 100)
            << "what the header's hints wait for";
        const QPoint inFirst(header->sectionViewportPosition(0) + 10, header->height() / 2);
        QHelpEvent help(QEvent::ToolTip, inFirst, header->viewport()->mapToGlobal(inFirst));
        QApplication::sendEvent(header->viewport(), &help);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), "VLM-PX1917-DualSlant-1900MHz.final");
        QToolTip::hideText();
    }
    EXPECT_EQ(ApplicationHintDelay(), 650) << "the application's delay is back";
}

}  // namespace
}  // namespace ostrel

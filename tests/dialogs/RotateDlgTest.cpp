#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

#include "dialogs/RotateDlg.h"
#include "formats/PatternLoaders.h"
#include "uisupport/UiImageFiles.h"
#include "uisupport/UiPatternFiles.h"
#include "views/OffsetAngles.h"

namespace ostrel {
namespace {

// The dialog on its own, shown and active, over patterns read from files.
class RotateDialogTest : public ::testing::Test {
protected:
    void Load(const std::vector<std::string>& files) {
        for (const std::string& file : files) {
            TLoadedFile loaded = LoadPatternFile(file);
            const std::string& error = loaded.Failure;
            auto pattern = loaded.TakeFirst();
            ASSERT_TRUE(pattern) << file << ": " << error;
            pattern->Id = static_cast<int>(Owned.size());
            Owned.push_back(std::move(pattern));
            List.Add(*Owned.back());
        }
    }
    void Show() {
        Dialog.SetPatterns(&List);
        Dialog.FillGrid();
        Dialog.show();
        QApplication::setActiveWindow(&Dialog);
    }
    QString Cell(int row, int column) const { return Dialog.Grid->item(row, column)->text(); }
    // Selects the cell as a click would, so that the editor opens over it.
    void Edit(int row, int column) {
        Dialog.Grid->setFocus();
        Dialog.Grid->setCurrentCell(row, column);
    }
    // Replaces the editor's text by typing, as the user does after the editor selected it.
    void Type(const QString& text) {
        Dialog.AngleEditor->selectAll();
        QTest::keyClick(Dialog.AngleEditor, Qt::Key_Delete);
        QTest::keyClicks(Dialog.AngleEditor, text);
    }

    std::vector<std::unique_ptr<TPatternData>> Owned;
    TPatternDataList List{false};
    TRotateDialog Dialog;
};

TEST_F(RotateDialogTest, EditorCommitsWholeDegreesCutBackToTheLimits) {
    Load(ShownPatternFiles());
    Show();
    ASSERT_EQ(Dialog.Grid->rowCount(), 3);
    EXPECT_EQ(Cell(0, rcHorzOffset), "0");

    Edit(1, rcFileName);
    EXPECT_FALSE(Dialog.AngleEditor->isVisible()) << "names and IDs are not edited";

    const QRect firstOffset = Dialog.Grid->visualItemRect(Dialog.Grid->item(0, rcHorzOffset));
    QTest::mouseClick(Dialog.Grid->viewport(), Qt::LeftButton, {}, firstOffset.center());
    ASSERT_TRUE(Dialog.AngleEditor->isVisible());
    EXPECT_TRUE(Dialog.AngleEditor->hasFocus());
    EXPECT_EQ(Dialog.AngleEditor->geometry(), firstOffset);
    Type("45");
    QTest::keyClick(Dialog.AngleEditor, Qt::Key_Return);
    EXPECT_EQ(Cell(0, rcHorzOffset), "45");
    EXPECT_FALSE(Dialog.AngleEditor->isVisible());
    EXPECT_TRUE(Dialog.Grid->hasFocus());
    EXPECT_TRUE(Dialog.isVisible()) << "Enter belongs to the editor, not to a button";

    struct TCase {
        const char* Typed;
        const char* Shown;      // the editor's text before Enter
        const char* Committed;  // the cell's text after Enter
    };
    const TCase cases[] = {{"12.5", "12.5", "0"},
                           {"", "", "0"},
                           {"200", "180", "180"},
                           {"-200", "-180", "-180"},
                           {"-7", "-7", "-7"}};
    for (const TCase& c : cases) {
        Edit(1, rcHorzOffset);
        Edit(1, rcVertOffset);
        Type(QString::fromLatin1(c.Typed));
        EXPECT_EQ(Dialog.AngleEditor->text(), c.Shown) << c.Typed;
        QTest::keyClick(Dialog.AngleEditor, Qt::Key_Enter);
        EXPECT_EQ(Cell(1, rcVertOffset), c.Committed) << c.Typed;
    }

    // Leaving the editor by Tab commits as well.
    Edit(2, rcVertOffset);
    Type("30");
    QTest::keyClick(Dialog.AngleEditor, Qt::Key_Tab);
    EXPECT_EQ(Cell(2, rcVertOffset), "30");
    EXPECT_FALSE(Dialog.AngleEditor->isVisible());

    // Arrow keys and spin buttons step by one and stop at the limits.
    auto clickSpinButton = [this](QStyle::SubControl button) {
        QStyleOptionSpinBox option;
        option.initFrom(Dialog.AngleEditor);
        option.rect = Dialog.AngleEditor->rect();
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown |
                             QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
        option.frame = Dialog.AngleEditor->hasFrame();
        option.buttonSymbols = Dialog.AngleEditor->buttonSymbols();
        const QRect area = Dialog.AngleEditor->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                                       button, Dialog.AngleEditor);
        QTest::mouseClick(Dialog.AngleEditor, Qt::LeftButton, {}, area.center());
    };
    Dialog.Grid->item(2, rcHorzOffset)->setText("178");
    Edit(2, rcHorzOffset);
    QTest::keyClick(Dialog.AngleEditor, Qt::Key_Up);
    EXPECT_EQ(Dialog.AngleEditor->text(), "179");
    clickSpinButton(QStyle::SC_SpinBoxUp);
    EXPECT_EQ(Dialog.AngleEditor->text(), "180");
    clickSpinButton(QStyle::SC_SpinBoxUp);
    QTest::keyClick(Dialog.AngleEditor, Qt::Key_Up);
    EXPECT_EQ(Dialog.AngleEditor->text(), "180") << "no wrap-around";
    clickSpinButton(QStyle::SC_SpinBoxDown);
    EXPECT_EQ(Dialog.AngleEditor->text(), "179");
    Type("-179");
    QTest::keyClick(Dialog.AngleEditor, Qt::Key_Down);
    EXPECT_EQ(Dialog.AngleEditor->text(), "-180");
    clickSpinButton(QStyle::SC_SpinBoxDown);
    QTest::keyClick(Dialog.AngleEditor, Qt::Key_Down);
    EXPECT_EQ(Dialog.AngleEditor->text(), "-180");
    QTest::keyClick(Dialog.AngleEditor, Qt::Key_Return);
    EXPECT_EQ(Cell(2, rcHorzOffset), "-180");

    // Nothing reached the patterns; only the buttons collect.
    EXPECT_EQ(Owned[0]->HRotationOffset, 0);
    Dialog.btnApply->click();
    ASSERT_EQ(Dialog.Angles().Count(), 3);
    EXPECT_EQ(Dialog.Angles().GetPoint(0).X, 45);
    EXPECT_EQ(Dialog.Angles().GetPoint(1).Y, -7);
    EXPECT_EQ(Dialog.Angles().GetPoint(2).X, -180);
    EXPECT_EQ(Dialog.Angles().GetPoint(2).Y, 30);
    EXPECT_EQ(Owned[0]->HRotationOffset, 0) << "the dialog never writes to the patterns";
}

TEST_F(RotateDialogTest, EnterPressesTheFocusedButtonAndEscCancelsOnlyTheEdit) {
    Load(ShownPatternFiles());
    Show();
    Edit(0, rcHorzOffset);
    Type("33");
    QTest::keyClick(Dialog.AngleEditor, Qt::Key_Escape);
    EXPECT_TRUE(Dialog.isVisible()) << "Esc in the editor leaves the dialog open";
    EXPECT_EQ(Cell(0, rcHorzOffset), "0") << "the edit is dropped";

    int applied = 0;
    Dialog.OnApplyAngles = [&applied](TRotateDialog&) { ++applied; };
    const struct {
        QPushButton* Button;
        Qt::Key Key;
        int Applied;
        bool Open;
    } presses[] = {{Dialog.btnApply, Qt::Key_Return, 1, true},
                   {Dialog.btnApply, Qt::Key_Enter, 2, true},
                   {Dialog.btnOK, Qt::Key_Return, 2, false},
                   {Dialog.btnCancel, Qt::Key_Return, 2, false}};
    for (const auto& p : presses) {
        Show();
        p.Button->setFocus();
        QTest::keyClick(p.Button, p.Key);
        EXPECT_EQ(applied, p.Applied) << p.Button->text().toStdString();
        EXPECT_EQ(Dialog.isVisible(), p.Open) << p.Button->text().toStdString();
    }
    EXPECT_EQ(Dialog.result(), QDialog::Rejected) << "the last Enter was on Cancel";
}

TEST_F(RotateDialogTest, LongNamesWrapInTheirOwnRowAndTheWheelMovesNothing) {
    const std::vector<std::string> files = ShownPatternFiles();
    for (int i = 0; i < 8; ++i) Load(files);
    Owned[1]->FileName = "/data/VLM-PX1917-DualSlant-1900MHz-ElectricalTilt2-Measured.msi";
    Owned[2]->HRotationOffset = 15;
    Owned[2]->VRotationOffset = -30;
    Show();
    ASSERT_EQ(Dialog.Grid->rowCount(), 24);
    EXPECT_EQ(Cell(1, rcFileName), "VLM-PX1917-DualSlant-1900MHz-ElectricalTilt2-Measured");
    EXPECT_EQ(Cell(2, rcHorzOffset), "15");
    EXPECT_EQ(Cell(2, rcVertOffset), "-30");
    EXPECT_EQ(Dialog.Grid->columnWidth(rcFileName), 200);
    const int lineHeight = QFontMetrics(Dialog.Grid->font()).height();
    EXPECT_GE(Dialog.Grid->rowHeight(1), 2 * lineHeight) << "lines in the 200-pixel column";
    EXPECT_EQ(Dialog.Grid->rowHeight(1) % lineHeight, 0) << "whole lines";
    EXPECT_GT(Dialog.Grid->rowHeight(1), 22);
    EXPECT_EQ(Dialog.Grid->rowHeight(0), 22);
    EXPECT_EQ(Dialog.Grid->rowHeight(2), 22);

    // The editor stays over its cell when the grid scrolls.
    Edit(9, rcHorzOffset);
    ASSERT_TRUE(Dialog.AngleEditor->isVisible());
    QScrollBar* scroll = Dialog.Grid->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 8);
    scroll->setValue(scroll->maximum());
    EXPECT_EQ(Dialog.AngleEditor->geometry(), Dialog.Grid->visualItemRect(Dialog.Grid->item(9, 2)));
    scroll->setValue(2);

    // The wheel, over the cells, the scroll bar or the editor, moves nothing.
    auto turnWheel = [](QWidget* target) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    };
    for (QWidget* target : {Dialog.Grid->viewport(), static_cast<QWidget*>(scroll),
                            static_cast<QWidget*>(Dialog.AngleEditor)}) {
        turnWheel(target);
        EXPECT_EQ(scroll->value(), 2);
        EXPECT_EQ(Dialog.Grid->currentRow(), 9);
        EXPECT_EQ(Dialog.AngleEditor->text(), "0");
    }

    // What a person sees: alternating rows, edit-box edges, the wrapped name, an open editor.
    scroll->setValue(0);
    Edit(2, rcVertOffset);
    const QImage image = Dialog.grab().toImage();
    SaveTestPng(image, "views/rotate_dialog.png");
    const QPoint grid = Dialog.Grid->viewport()->mapTo(&Dialog, QPoint(0, 0));
    auto pixel = [&](int row, int column, int dx, int dy) {
        const QRect cell = Dialog.Grid->visualItemRect(Dialog.Grid->item(row, column));
        return QColor(image.pixel(grid + cell.topLeft() + QPoint(dx, dy)));
    };
    EXPECT_EQ(pixel(0, rcId, 30, 4), QColor(Qt::white)) << "first data row";
    EXPECT_EQ(pixel(1, rcId, 30, 4), QColor(240, 240, 240)) << "second data row";
    EXPECT_EQ(pixel(3, rcHorzOffset, 40, 0), QColor(128, 128, 128)) << "outer edge, top";
    EXPECT_EQ(pixel(3, rcHorzOffset, 40, 1), QColor(Qt::black)) << "inner edge, top";
}

}  // namespace
}  // namespace ostrel

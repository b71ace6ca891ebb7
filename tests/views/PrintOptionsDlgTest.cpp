#include "views/PrintOptionsDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <vector>

#include "support/UiImageFiles.h"

namespace ostrel {
namespace {

TEST(PrintOptionsDialog, StartsOnSinglePagesAndFollowsTheButtons) {
    TPrintOptionsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Print Options");
    EXPECT_EQ(dialog.size(), QSize(314, 179));
    EXPECT_EQ(dialog.gbOptions->title(), "Print Options ");
    EXPECT_EQ(dialog.PrintMode(), 1);
    EXPECT_TRUE(dialog.rbSingle->isChecked());
    EXPECT_EQ(dialog.rbSingle->text(), "Print single format (Each file on it's own page)");
    EXPECT_EQ(dialog.rbOverlay->text(), "Print overlay format (All on single page)");
    EXPECT_EQ(dialog.rbBoth->text(), "Print both formats");
    // Top to bottom: single, overlay, both.
    EXPECT_LT(dialog.rbSingle->y(), dialog.rbOverlay->y());
    EXPECT_LT(dialog.rbOverlay->y(), dialog.rbBoth->y());

    const struct {
        QRadioButton* Button;
        int Mode;
    } clicks[] = {{dialog.rbBoth, 2}, {dialog.rbOverlay, 0}, {dialog.rbSingle, 1}};
    for (const auto& c : clicks) {
        c.Button->click();
        EXPECT_EQ(dialog.PrintMode(), c.Mode);
    }
    // Setting a mode checks its button; another value changes only the stored mode.
    dialog.SetPrintMode(2);
    EXPECT_TRUE(dialog.rbBoth->isChecked());
    dialog.SetPrintMode(9);
    EXPECT_EQ(dialog.PrintMode(), 9);
    EXPECT_TRUE(dialog.rbBoth->isChecked());

    // Keyboard order of the choices: overlay, single, both.
    EXPECT_EQ(dialog.rbOverlay->nextInFocusChain(), dialog.rbSingle);
    EXPECT_EQ(dialog.rbSingle->nextInFocusChain(), dialog.rbBoth);

    SaveTestPng(dialog.grab().toImage(), "views/print-options.png");
    dialog.btnCancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(PrintOptionsDialog, TabAndArrowsReachEveryChoiceInTheirOrder) {
    TPrintOptionsDialog dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    const std::vector<QRadioButton*> order = {dialog.rbOverlay, dialog.rbSingle, dialog.rbBoth};
    const std::vector<int> modes = {0, 1, 2};
    // Tab from the first choice, and Backtab back from OK.
    dialog.rbOverlay->setFocus();
    for (size_t i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << "Tab " << i;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.btnOK);
    for (size_t i = order.size(); i-- > 0;) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << "Backtab " << i;
    }
    // Down and Right select the next choice, Up and Left the one before.
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right}) {
        dialog.rbOverlay->setFocus();
        for (size_t i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
            EXPECT_EQ(QApplication::focusWidget(), order[i]);
            EXPECT_TRUE(order[i]->isChecked());
            EXPECT_EQ(dialog.PrintMode(), modes[i]);
        }
    }
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Left}) {
        dialog.rbBoth->setFocus();
        for (size_t i = order.size() - 1; i-- > 0;) {
            QTest::keyClick(QApplication::focusWidget(), key);
            EXPECT_EQ(QApplication::focusWidget(), order[i]);
            EXPECT_EQ(dialog.PrintMode(), modes[i]);
        }
    }
}

}  // namespace
}  // namespace ostrel

#include "dialogs/PrintOptionsDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <vector>

#include "uisupport/UiImageFiles.h"

namespace ostrel {
namespace {

TEST(PrintOptionsDialog, StartsOnSinglePagesAndFollowsTheButtons) {
    TPrintOptionsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Print Options");
    EXPECT_EQ(dialog.size(), QSize(314, 179));
    EXPECT_EQ(dialog.gbOptions->title(), "Print Options ");
    EXPECT_EQ(dialog.PrintMode(), TPrintMode::Single);
    EXPECT_TRUE(dialog.rbSingle->isChecked());
    EXPECT_EQ(dialog.rbSingle->text(), "Print single format (Each file on it's own page)");
    EXPECT_EQ(dialog.rbOverlay->text(), "Print overlay format (All on single page)");
    EXPECT_EQ(dialog.rbBoth->text(), "Print both formats");
    // Top to bottom: single, overlay, both.
    EXPECT_LT(dialog.rbSingle->y(), dialog.rbOverlay->y());
    EXPECT_LT(dialog.rbOverlay->y(), dialog.rbBoth->y());

    const struct {
        QRadioButton* Button;
        TPrintMode Mode;
    } clicks[] = {{dialog.rbBoth, TPrintMode::Both},
                  {dialog.rbOverlay, TPrintMode::Overlay},
                  {dialog.rbSingle, TPrintMode::Single}};
    for (const auto& c : clicks) {
        c.Button->click();
        EXPECT_EQ(dialog.PrintMode(), c.Mode);
    }
    // Setting a mode checks its button; another value changes only the stored mode.
    dialog.SetPrintMode(TPrintMode::Both);
    EXPECT_TRUE(dialog.rbBoth->isChecked());
    dialog.SetPrintMode(static_cast<TPrintMode>(9));
    EXPECT_EQ(dialog.PrintMode(), static_cast<TPrintMode>(9));
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
    auto press = [](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
        return QApplication::focusWidget();
    };
    const std::vector<QWidget*> tabs = {dialog.rbOverlay, dialog.rbSingle, dialog.rbBoth,
                                        dialog.btnOK};
    dialog.rbOverlay->setFocus();
    for (size_t i = 1; i < tabs.size(); ++i) EXPECT_EQ(press(Qt::Key_Tab), tabs[i]) << i;
    for (size_t i = tabs.size() - 1; i-- > 0;) EXPECT_EQ(press(Qt::Key_Backtab), tabs[i]) << i;
    // Down and Right select the next choice, Up and Left the one before.
    const struct {
        Qt::Key Key;
        QRadioButton* Choice;
        TPrintMode Mode;
    } steps[] = {{Qt::Key_Down, dialog.rbSingle, TPrintMode::Single},
                 {Qt::Key_Right, dialog.rbBoth, TPrintMode::Both},
                 {Qt::Key_Up, dialog.rbSingle, TPrintMode::Single},
                 {Qt::Key_Left, dialog.rbOverlay, TPrintMode::Overlay}};
    for (const auto& step : steps) {
        EXPECT_EQ(press(step.Key), step.Choice);
        EXPECT_EQ(dialog.PrintMode(), step.Mode);
    }
}

}  // namespace
}  // namespace ostrel

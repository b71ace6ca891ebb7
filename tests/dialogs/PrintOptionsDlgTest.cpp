#include "dialogs/PrintOptionsDlg.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "uisupport/UiImageFiles.h"

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

}  // namespace
}  // namespace ostrel

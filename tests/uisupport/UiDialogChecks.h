#pragma once

#include <gtest/gtest.h>

#include <QDialog>

namespace ostrel {

// A fixed dialog border: one size, a title and a close box, no minimise or maximise button.
inline void ExpectFixedDialogBorder(const QDialog& dialog) {
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)) << "only the hints asked for";
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(dialog.isSizeGripEnabled());
}

}  // namespace ostrel

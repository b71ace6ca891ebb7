#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "dialogs/OptionsDlg.h"
#include "model/Settings.h"
#include "uisupport/UiDialogChecks.h"
#include "uisupport/UiImageFiles.h"

namespace ostrel {
namespace {

// Clicks both boxes as the user would, then closes the dialog with the given button.
TOptionsDialogRunner ToggleBothThen(QPushButton* TOptionsDialog::*button) {
    return [button](TOptionsDialog& dialog) {
        QTest::mouseClick(dialog.chkDuplicateFiles, Qt::LeftButton, {}, QPoint(6, 8));
        QTest::mouseClick(dialog.chkShowExtensions, Qt::LeftButton, {}, QPoint(6, 8));
        dialog.seDensityThreshold->selectAll();
        QTest::keyClicks(dialog.seDensityThreshold, "2000");
        (dialog.*button)->click();
        return dialog.result();
    };
}

TEST(OptionsDialog, ShowsTheCurrentOptions) {
    TSettings settings;
    settings.FAllowDuplicates = true;
    settings.FShowExtensions = false;
    bool seen = false;
    ExecuteOptionsDialog(nullptr, settings, [&](TOptionsDialog& dialog) {
        seen = true;
        EXPECT_TRUE(dialog.chkDuplicateFiles->isChecked());
        EXPECT_FALSE(dialog.chkShowExtensions->isChecked());
        EXPECT_TRUE(dialog.AllowDuplicates());
        EXPECT_FALSE(dialog.ShowExtensions());
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(seen);
}

TEST(OptionsDialog, OkCopiesTheClickedValuesAndCancelKeepsTheOldOnes) {
    TSettings settings;
    settings.FAllowDuplicates = false;
    settings.FShowExtensions = true;
    settings.FOpenPath = "/data/";
    settings.FDensityThreshold = 700;

    EXPECT_FALSE(
        ExecuteOptionsDialog(nullptr, settings, ToggleBothThen(&TOptionsDialog::btnCancel)));
    EXPECT_FALSE(settings.FAllowDuplicates);
    EXPECT_TRUE(settings.FShowExtensions);
    EXPECT_EQ(settings.FDensityThreshold, 700);

    EXPECT_TRUE(ExecuteOptionsDialog(nullptr, settings, ToggleBothThen(&TOptionsDialog::btnOK)));
    EXPECT_TRUE(settings.FAllowDuplicates);
    EXPECT_FALSE(settings.FShowExtensions);
    EXPECT_EQ(settings.FDensityThreshold, 2000);
    EXPECT_EQ(settings.FOpenPath, "/data/") << "nothing else changes";

    // Closed by the window's close box or Esc: as Cancel.
    EXPECT_FALSE(ExecuteOptionsDialog(nullptr, settings, [](TOptionsDialog& dialog) {
        dialog.chkDuplicateFiles->click();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        return dialog.result();
    }));
    EXPECT_TRUE(settings.FAllowDuplicates);
}

// The dialog as the command runs it: modal, closed by a click on OK.
TEST(OptionsDialog, RunsModallyUntilOk) {
    TSettings settings;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TOptionsDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal options dialog";
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
            return;
        }
        dialog->chkShowExtensions->click();
        QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    });
    EXPECT_TRUE(ExecuteOptionsDialog(nullptr, settings));
    EXPECT_TRUE(settings.FShowExtensions);
    EXPECT_FALSE(settings.FAllowDuplicates);
}

TEST(OptionsDialog, LayoutHasEveryControlVisibleAndInside) {
    TOptionsDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Options");
    EXPECT_EQ(dialog.size(), QSize(337, 253));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed size";
    ExpectFixedDialogBorder(dialog);
    ASSERT_EQ(dialog.pcOptions->count(), 1);
    EXPECT_EQ(dialog.pcOptions->tabText(0), "Options");
    EXPECT_EQ(dialog.chkDuplicateFiles->text(), "Allow duplicate files to be opened");
    EXPECT_EQ(dialog.chkShowExtensions->text(), "Show filename extensions in list");
    EXPECT_EQ(dialog.btnOK->text(), "&OK");
    EXPECT_EQ(dialog.btnCancel->text(), "&Cancel");

    QStringList headings;
    QStringList texts;
    for (QLabel* label : dialog.pcOptions->widget(0)->findChildren<QLabel*>()) {
        (label->font().bold() ? headings : texts) << label->text();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    }
    EXPECT_EQ(headings, QStringList({"Files", "Screen"}));
    EXPECT_EQ(texts, QStringList({"One density image when more than", "patterns are selected"}));

    // No text is cut: every control gets at least the size its text asks for and lies
    // inside its parent.
    for (QWidget* widget : {static_cast<QWidget*>(dialog.chkDuplicateFiles),
                            static_cast<QWidget*>(dialog.chkShowExtensions),
                            static_cast<QWidget*>(dialog.seDensityThreshold)}) {
        EXPECT_GE(widget->width(), widget->sizeHint().width());
        EXPECT_LE(widget->geometry().right(), widget->parentWidget()->width() - 1);
        EXPECT_LE(widget->geometry().bottom(), widget->parentWidget()->height() - 1);
    }
    for (QPushButton* button : {dialog.btnOK, dialog.btnCancel}) {
        EXPECT_EQ(button->size(), QSize(75, 25));
        EXPECT_LE(button->geometry().right(), 336);
        EXPECT_LE(button->geometry().bottom(), 252);
        EXPECT_GE(button->y(), dialog.pcOptions->geometry().bottom()) << "below the page";
    }
    EXPECT_FALSE(SaveTestPng(dialog.grab().toImage(), "app/options-dialog.png").empty());
}

}  // namespace
}  // namespace ostrel

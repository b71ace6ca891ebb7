#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <functional>
#include <memory>

#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/MainFrm.h"
#include "app/OpenCommands.h"
#include "app/PathText.h"
#include "app/RecentFilesMenu.h"
#include "app/SelectionCommands.h"
#include "app/ViewModeActions.h"
#include "formats/TextLines.h"
#include "model/Settings.h"
#include "shell/FileTable.h"
#include "shell/PathNames.h"
#include "shell/WindowPlacement.h"
#include "support/TempDir.h"
#include "uisupport/MainWindowFixture.h"

namespace ostrel {
namespace {

// The window given names that are not UTF-8, table changes and sizes beyond the screen.
class MainFormOddInputTest : public TMainWindowFixture {
protected:
    std::string PatternFile(const std::string& name) {
        return Folder.Write(name, ReadFileBytes(OSTREL_SAMPLES_DIR "/sector65_dbd.txt"));
    }
};

TEST_F(MainFormOddInputTest, NamesThatAreNotUtf8OpenListAndReopen) {
    const std::string bytes = PatternFile("caf\xE9.txt");
    const QString shown = QString::fromUtf8("caf\uFFFD");
    // The Open dialog can only hand back the name as it showed it.
    Choose("actOpen", {QString::fromUtf8(bytes.c_str())});
    ASSERT_EQ(Form->Table().Model().RowCount(), 1) << Status().toStdString();
    EXPECT_EQ(Form->Table().Model().index(0, fcFileName).data().toString(), shown);
    EXPECT_EQ(Status(), shown + ".txt opened");
    EXPECT_EQ(Form->Recent().Files().Items(), std::vector<std::string>{bytes});

    // Reopen finds it (it is not "missing"), as do a drop and the program's arguments.
    QMimeData data;
    data.setUrls(
        {QUrl::fromEncoded("file://" + QByteArray::fromStdString(bytes).toPercentEncoding("/"))});
    const std::function<void()> ways[] = {
        [&] { Form->findChild<QMenu*>("mmiReopen")->actions().front()->trigger(); },
        [&] {
            QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
            QDropEvent drop({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(Form.get(), &enter);
            QApplication::sendEvent(Form.get(), &drop);
        },
        [&] { Form->Opening().OpenFiles({QString::fromStdU16String(PathToUtf16(bytes))}); }};
    for (const auto& open : ways) {
        Form->findChild<QAction*>("mmiCloseAll")->trigger();
        open();
        Form->Opening().FinishLoading();
        EXPECT_EQ(Form->Table().Model().RowCount(), 1) << Status().toStdString();
    }
    Form.reset();
    EXPECT_NE(ReadFileBytes(Folder.File("settings.ini")).find("=" + bytes + "\r\n"),
              std::string::npos)
        << "settings.ini keeps the bytes";
}

TEST_F(MainFormOddInputTest, EveryCommandThatChangesTheTableRefreshesTheLoadMessage) {
    Form->Opening().OpenFiles({QString::fromStdString(PatternFile("a.msi")),
                               QString::fromStdString(PatternFile("b.msi"))});
    Form->Opening().FinishLoading();
    EXPECT_EQ(Status(), "2 files opened");
    Choose("mmiOpenEdx", {OSTREL_SAMPLES_DIR "/sector65_edx.doc"});
    EXPECT_EQ(Status(), "72 cuts imported from sector65_edx.doc");
    // The cuts are no files: the Reopen list still holds the files opened before.
    EXPECT_EQ(Form->Recent().Files().Items(),
              (std::vector<std::string>{Folder.File("b.msi"), Folder.File("a.msi")}));

    Form->Table().View().selectionModel()->select(
        Form->Table().Model().index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete);
    EXPECT_EQ(Status(), "az_angle_ref_15 closed");
    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    EXPECT_EQ(Status(), "71 files closed");

    Choose("mmiOpenEdx", {OSTREL_SAMPLES_DIR "/broken/edx_ends_in_third_cut.doc"});
    EXPECT_TRUE(Status().startsWith("edx_ends_in_third_cut.doc: The file ends at line 777"))
        << Status().toStdString();
}

TEST_F(MainFormOddInputTest, StatusPanelsHoldTheirFontsDescent) {
    Form->show();
    for (int pixels : {11, 16, 24, 40}) {
        QFont font = Form->font();
        font.setPixelSize(pixels);
        Form->setFont(font);
        // The new heights travel up one layout per round.
        for (int round = 0; round < 4; ++round) QApplication::processEvents();
        for (int panel = 0; panel < 4; ++panel) {
            const auto* label = Form->findChild<QLabel*>(QString("StatusPanel%1").arg(panel));
            EXPECT_GE(label->contentsRect().height(), label->fontMetrics().height())
                << pixels << " px, panel " << panel;
        }
    }
}

TEST_F(MainFormOddInputTest, RecentFilesAreTheFilesThemselvesAndSurviveARestart) {
    const std::string twoFrequencies =
        Folder.Write("two.nsm", ReadFileBytes(OSTREL_SAMPLES_DIR "/sector65_2freq.nsm"));
    const std::string lineBreak = PatternFile("two\nlines.txt");
    const std::string blank = PatternFile("blank.txt ");
    PatternFile("blank.txt");
    Form->Opening().OpenFiles({QString::fromStdString(twoFrequencies)});
    Form->Opening().FinishLoading();
    ASSERT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_EQ(Form->Recent().Files().Items(), std::vector<std::string>{twoFrequencies});
    for (const std::string& path : {lineBreak, blank})
        Form->Opening().OpenPatternFile(PathText(path));
    const std::vector<std::string> expected = {blank, lineBreak, twoFrequencies};
    EXPECT_EQ(Form->Recent().Files().Items(), expected);

    Form.reset();
    DiscardSettings();
    Restart();
    EXPECT_EQ(Form->Recent().Files().Items(), expected);
    QMenu* reopen = Form->findChild<QMenu*>("mmiReopen");
    ASSERT_NE(reopen, nullptr);
    for (int i = 0; i < 3; ++i) {  // the last entry each time
        reopen->actions()[2]->trigger();
        QApplication::processEvents();
        reopen = Form->findChild<QMenu*>("mmiReopen");
    }
    EXPECT_EQ(Form->Table().Model().RowCount(), 4) << Status().toStdString();
    EXPECT_EQ(Form->Model().Patterns.Items(3).FileName, blank) << "not blank.txt";
    EXPECT_EQ(Form->Recent().Files().Items(), expected);
}

TEST_F(MainFormOddInputTest, AWindowLargerThanItsScreenIsNeverSaved) {
    Form->show();
    Form->resize(1306 * 4, 1159 * 4);
    QApplication::processEvents();
    Form.reset();
    const auto saved = TWindowPlacement::Load(Folder.File("settings.ini"));
    ASSERT_TRUE(saved);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(QRect(saved->Left, saved->Top, saved->Width, saved->Height)))
        << saved->Width << " x " << saved->Height;
}

}  // namespace
}  // namespace ostrel

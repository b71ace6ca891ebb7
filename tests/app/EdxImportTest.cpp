#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTimer>
#include <QTreeView>
#include <memory>

#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/MainFrm.h"
#include "app/OpenCommands.h"
#include "app/RecentFilesMenu.h"
#include "app/SelectionCommands.h"
#include "dialogs/AniFrm.h"
#include "formats/EdxFile.h"
#include "model/Settings.h"
#include "support/PatternText.h"
#include "support/TempDir.h"
#include "uisupport/MainWindowFixture.h"

namespace ostrel {
namespace {

// The window's hidden commands: the EDX import and the animation window.
class HiddenCommandsTest : public TMainWindowFixture {
protected:
    TFakeFileDialog* ImportThrough(const char* command, const QStringList& paths) {
        auto dialog = std::make_unique<TFakeFileDialog>(paths);
        TFakeFileDialog* raw = dialog.get();
        Form->Opening().SetFileDialogService(std::move(dialog));
        QAction* action = Form->findChild<QAction*>(command);
        EXPECT_NE(action, nullptr) << command;
        EXPECT_FALSE(action->isVisible()) << command << " is never shown";
        action->trigger();
        return raw;
    }
};

TEST_F(HiddenCommandsTest, OpenEdxAddsEveryCutAndPutsTheTableOnTheClipboard) {
    const QString sample = OSTREL_SAMPLES_DIR "/sector65_edx.doc";
    Form->Opening().LoadPatternFile(OSTREL_SAMPLES_DIR "/sector65_dbd.txt");
    ASSERT_EQ(Form->Model().Patterns.Count(), 1);

    // Cancelling changes nothing.
    QApplication::clipboard()->setText("before");
    ImportThrough("mmiOpenEdx", {});
    EXPECT_EQ(Form->Model().Patterns.Count(), 1);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");

    const TFakeFileDialog* dialog = ImportThrough("tbOpenEdx", {sample});
    EXPECT_EQ(dialog->PreselectedFilter, "Verizon Files (*.vwa)");
    EXPECT_EQ(dialog->AskedFilters, TOpenCommands::kOpenFilters);
    ASSERT_EQ(Form->Model().Patterns.Count(), 72);
    EXPECT_EQ(Form->Table().Model().rowCount(), 72);
    EXPECT_EQ(Form->Model().Patterns.Items(0).Id, 0);
    EXPECT_EQ(Form->Model().Patterns.Items(71).Id, 71);
    EXPECT_EQ(Form->Model().Patterns.Items(71).FileName, "az_angle_ref_355");
    EXPECT_EQ(Form->Recent().Files().Items().front(), OSTREL_SAMPLES_DIR "/sector65_dbd.txt")
        << "cut names are no files to reopen";
    TEdxFileEx file;
    file.LoadFromFile(sample.toStdString());
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), file.CutTableText());
    EXPECT_TRUE(Errors.Shown.isEmpty());

    // A label in a single-byte code page keeps its letters on the clipboard.
    std::string latin1 = EdxText(
        72, [](int) { return 0.0; }, [](int, int) { return 3.0; });
    const std::string label = "\r\n" + EdxLabel(36) + "\r\n";
    latin1.replace(latin1.find(label), label.size(),
                   "\r\nR\xE9"
                   "f 180\r\n");
    ImportThrough("mmiOpenEdx", {QString::fromStdString(Folder.Write("latin1.doc", latin1))});
    EXPECT_TRUE(
        QApplication::clipboard()->text().startsWith(QString::fromUtf8("\tR\u00e9f 180\tAZ 185\t")))
        << QApplication::clipboard()->text().left(20).toStdString();

    // A broken file: the model was cleared, the error shown, the clipboard left alone.
    QApplication::clipboard()->setText("before");
    ImportThrough("mmiOpenEdx", {OSTREL_SAMPLES_DIR "/broken/edx_ends_in_third_cut.doc"});
    EXPECT_EQ(Form->Model().Patterns.Count(), 0);
    EXPECT_EQ(Form->Table().Model().rowCount(), 0);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    ASSERT_EQ(Errors.Shown.size(), 1);
    EXPECT_TRUE(Errors.Shown.front().startsWith("The file ends at line 777; vertical cut 3"))
        << Errors.Shown.front().toStdString();
}

TEST_F(HiddenCommandsTest, AnimationRunsModallyOnACopyOfTheSelection) {
    Form->Opening().LoadPatternFile(OSTREL_SAMPLES_DIR "/sector65_dbd.txt");
    Form->Opening().LoadPatternFile(OSTREL_SAMPLES_DIR "/omni_850.msi");
    Form->Opening().LoadPatternFile(OSTREL_SAMPLES_DIR "/tilted_6deg.msi");
    QTreeView* view = &Form->Table().View();
    for (int row : {0, 2}) {
        view->selectionModel()->select(Form->Table().Model().index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    ASSERT_EQ(Form->Model().Selection.Count(), 2);
    QAction* animation = Form->findChild<QAction*>("tbAnimation");
    ASSERT_NE(animation, nullptr);
    EXPECT_FALSE(animation->isVisible());
    std::vector<std::string> shown;
    int frameAtStart = 0;
    // Runs once the modal window's event loop is up; closing it ends the command.
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<TAnimateForm*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        frameAtStart = window->FrameIndex();
        for (int i = 0; i < window->Patterns.Count(); ++i) {
            shown.push_back(window->Patterns.Items(i).FileName);
        }
        window->reject();
    });
    animation->trigger();
    EXPECT_EQ(frameAtStart, -1);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], OSTREL_SAMPLES_DIR "/sector65_dbd.txt");
    EXPECT_EQ(shown[1], OSTREL_SAMPLES_DIR "/tilted_6deg.msi");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Form->Model().Patterns.Count(), 3);
}

}  // namespace
}  // namespace ostrel

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <memory>

#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/MainFrm.h"
#include "app/OpenCommands.h"
#include "dialogs/CoverageFrm.h"
#include "dialogs/PatPointsDlg.h"
#include "dialogs/RotateDlg.h"
#include "model/NumberText.h"
#include "model/Settings.h"
#include "shell/FileTable.h"
#include "support/TempDir.h"
#include "uisupport/MainWindowFixture.h"
#include "uisupport/UiImageFiles.h"
#include "uisupport/UiPatternFiles.h"
#include "views/OffsetAngles.h"
#include "widgets/HintDelay.h"

namespace ostrel {
namespace {

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Paints;
        return false;
    }
    int Paints = 0;
};

// The window with two patterns read from files, both selected, shown and active: the
// dialogs' commands run from their shortcuts as a user starts them.
class PatternDialogCommands : public TMainWindowFixture {
protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        const std::vector<std::string> files = ShownPatternFiles();
        Form->Opening().LoadPatternFile(QString::fromStdString(files[0]));
        Form->Opening().LoadPatternFile(QString::fromStdString(files[1]));
        ASSERT_EQ(Form->Table().Model().RowCount(), 2);
        Form->Table().View().selectAll();
        ASSERT_EQ(Form->Model().Selection.Count(), 2);
        Form->show();
        QApplication::setActiveWindow(Form.get());
        QApplication::processEvents();
    }
    TPatternData& Selected(int i) { return Form->Model().Selection.Items(i); }

    // Runs `drive` on the command's modal dialog once it shows, then presses the key that
    // starts the command; a dialog left open is cancelled so that the test goes on.
    template <class TDialog>
    void RunCommand(int key, const std::function<void(TDialog&)>& drive) {
        bool driven = false;
        // A timer of this call only: it never fires into a later test.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* dialog = qobject_cast<TDialog*>(modal);
            if (!dialog) {
                ADD_FAILURE() << "no modal dialog of the command";
                if (modal) modal->close();
                return;
            }
            driven = true;
            QApplication::setActiveWindow(dialog);
            drive(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        timer.start(0);
        QApplication::setActiveWindow(Form.get());
        QTest::keyClick(Form.get(), static_cast<Qt::Key>(key), Qt::ControlModifier);
        EXPECT_TRUE(driven) << "the shortcut opened no dialog";
    }
};

TEST_F(PatternDialogCommands, ApplyTurnsTheCurveAtOnceAndCancelKeepsIt) {
    TPaintCounter counter(Form->PatternBox());
    RunCommand<TRotateDialog>(Qt::Key_W, [&](TRotateDialog& dialog) {
        ASSERT_EQ(dialog.Grid->rowCount(), 2);
        EXPECT_EQ(dialog.Grid->item(1, rcFileName)->text().toStdString(),
                  DisplayName(Selected(1), false));
        dialog.Grid->setFocus();
        dialog.Grid->setCurrentCell(0, rcHorzOffset);
        QTest::keyClicks(dialog.AngleEditor, "45");
        QTest::keyClick(dialog.AngleEditor, Qt::Key_Return);

        const QImage before = Form->PatternBox()->grab().toImage();
        const int paints = counter.Paints;
        QTest::mouseClick(dialog.btnApply, Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible()) << "Apply keeps the dialog open";
        EXPECT_EQ(Selected(0).HRotationOffset, 45);
        EXPECT_EQ(Cell(0, fcHRotationOffset), "45");
        QApplication::processEvents();
        EXPECT_GT(counter.Paints, paints) << "the graphs are repainted while the dialog is open";
        const QImage after = Form->PatternBox()->grab().toImage();
        EXPECT_NE(after, before) << "the curve turned";
        SaveTestPng(after, "views/offset_angles_applied.png");
        QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    });
    EXPECT_EQ(Selected(0).HRotationOffset, 45) << "Cancel keeps what Apply sent";
    EXPECT_EQ(Selected(0).VRotationOffset, 0);
    EXPECT_EQ(Selected(1).HRotationOffset, 0);
}

TEST_F(PatternDialogCommands, ResetThenCancelChangesNothingAndOkApplies) {
    Selected(0).HRotationOffset = 10;
    Selected(0).VRotationOffset = 20;
    Selected(1).HRotationOffset = -5;
    Selected(1).VRotationOffset = 7;
    RunCommand<TRotateDialog>(Qt::Key_W, [](TRotateDialog& dialog) {
        EXPECT_EQ(dialog.Grid->item(0, rcHorzOffset)->text(), "10");
        EXPECT_EQ(dialog.Grid->item(1, rcVertOffset)->text(), "7");
        QTest::mouseClick(dialog.btnResetH, Qt::LeftButton);
        EXPECT_EQ(dialog.Grid->item(0, rcHorzOffset)->text(), "0");
        EXPECT_EQ(dialog.Grid->item(1, rcHorzOffset)->text(), "0");
        EXPECT_EQ(dialog.Grid->item(0, rcVertOffset)->text(), "20");
        QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    });
    EXPECT_EQ(Selected(0).HRotationOffset, 10);
    EXPECT_EQ(Selected(1).HRotationOffset, -5);

    RunCommand<TRotateDialog>(Qt::Key_W, [](TRotateDialog& dialog) {
        QTest::mouseClick(dialog.btnResetV, Qt::LeftButton);
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    });
    EXPECT_EQ(Selected(0).HRotationOffset, 10);
    EXPECT_EQ(Selected(0).VRotationOffset, 0);
    EXPECT_EQ(Selected(1).HRotationOffset, -5);
    EXPECT_EQ(Selected(1).VRotationOffset, 0);
    EXPECT_EQ(Cell(1, fcVRotationOffset), "0");
}

TEST_F(PatternDialogCommands, PatternPointsShowsTheSelectionWithoutExtensions) {
    GetSettings().FShowExtensions = true;
    const std::string name = DisplayName(Selected(0), false);
    ASSERT_EQ(Cell(0, fcFileName).toStdString(), DisplayName(Selected(0), true));
    SetApplicationHintDelay(650);
    RunCommand<TPatPointsDialog>(Qt::Key_E, [&](TPatPointsDialog& dialog) {
        EXPECT_EQ(ApplicationHintDelay(), 100);
        const QAbstractItemModel* horizontal = dialog.HorzGrid->model();
        ASSERT_EQ(horizontal->columnCount(), 2);
        EXPECT_EQ(horizontal->headerData(0, Qt::Horizontal).toString().toStdString(), name);
        EXPECT_EQ(
            horizontal->headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString().toStdString(),
            name);
        EXPECT_EQ(horizontal->index(180, 1).data().toString().toStdString(),
                  FormatGeneral(Selected(1).AzimuthCut.GetPoint(180).Y));
        EXPECT_EQ(dialog.VertGrid->model()->index(90, 0).data().toString().toStdString(),
                  FormatGeneral(Selected(0).VerticalCut.GetPoint(90).Y));
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(dialog.btnCopy, Qt::LeftButton);
        EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(
            QString::fromStdString("\t" + name + "\t")))
            << "the desktop's clipboard holds the table";
        QTest::mouseClick(dialog.btnClose, Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(ApplicationHintDelay(), 650) << "the application's delay is back";
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST_F(PatternDialogCommands, CoverageOpensOnOnePatternFollowsItsOffsetsAndClosesWithIt) {
    QAction* coverage = Form->findChild<QAction*>("actCoverage");
    ASSERT_NE(coverage, nullptr);
    EXPECT_FALSE(coverage->isEnabled()) << "two patterns selected";
    SelectRows({1});
    ASSERT_TRUE(coverage->isEnabled());
    coverage->trigger();
    const auto windows = Form->findChildren<TCoverageForm*>();
    ASSERT_EQ(windows.size(), 1);
    QPointer<TCoverageForm> window = windows[0];
    EXPECT_EQ(window->Source(), &Selected(0));
    window->Settle();
    ASSERT_NE(window->Coverage(), nullptr);
    const std::vector<float> before = window->Coverage()->GridLevelDbm;

    RunCommand<TRotateDialog>(Qt::Key_W, [](TRotateDialog& dialog) {
        dialog.Grid->setFocus();
        dialog.Grid->setCurrentCell(0, rcHorzOffset);
        QTest::keyClicks(dialog.AngleEditor, "60");
        QTest::keyClick(dialog.AngleEditor, Qt::Key_Return);
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    });
    ASSERT_FALSE(window.isNull());
    window->Settle();
    EXPECT_NE(window->Coverage()->GridLevelDbm, before) << "the footprint turned";

    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace ostrel

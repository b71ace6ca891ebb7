#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>
#include <deque>

#include "app/DerivedCommands.h"
#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/RecentFilesMenu.h"
#include "app/SaveAsCommand.h"
#include "dialogs/CompareFrm.h"
#include "dialogs/InterpolateDlg.h"
#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "model/PatternData.h"
#include "shell/FileTable.h"
#include "uisupport/MainWindowFixture.h"
#include "uisupport/UiImageFiles.h"

namespace ostrel {
namespace {

const QString kSamples = QStringLiteral(OSTREL_SAMPLES_DIR "/");

// Answers each save dialog with the next path and filter.
class TListedSaveDialogs : public TSaveDialogService {
public:
    QString GetSaveFileName(QWidget*, const QString& proposed, const QStringList&,
                            QString& filter) override {
        Proposed << proposed;
        if (Answers.empty()) return {};
        const auto [path, chosen] = Answers.front();
        Answers.pop_front();
        filter = chosen;
        return path;
    }
    bool ConfirmReplace(QWidget*, const QString&) override { return true; }
    std::deque<std::pair<QString, QString>> Answers;
    QStringList Proposed;
};

class DerivedCommandsTest : public TMainWindowFixture {
protected:
    TDerivedCommands& Derived() { return Form->Derived(); }
    int Rows() const { return Form->Table().Model().RowCount(); }
    const TPatternData& Row(int row) const { return *Form->Table().Model().PatternAt(row); }
    void Trigger(const char* action) { Form->findChild<QAction*>(action)->trigger(); }
};

TEST_F(DerivedCommandsTest, EnvelopeAddsAMarkedRowThatOutlivesItsSourcesAndIsNeverReopened) {
    Derived().SetErrorReporter(Errors);
    Open({kSamples + "panel_1900.vwa", kSamples + "tilted_6deg.msi", kSamples + "omni_850.msi"});
    QMenu* menu = Form->menuBar()->findChild<QMenu*>("mmiPattern");
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->actions().front(), Derived().EnvelopeAction());
    struct TCase {
        std::initializer_list<int> Rows;
        bool Envelope, Two;
    };
    for (const TCase& c :
         {TCase{{0}, false, false}, TCase{{0, 2}, true, true}, TCase{{0, 1, 2}, true, false}}) {
        SelectRows(c.Rows);
        EXPECT_EQ(Derived().EnvelopeAction()->isEnabled(), c.Envelope) << c.Rows.size();
        EXPECT_EQ(Derived().InterpolateAction()->isEnabled(), c.Two) << c.Rows.size();
        EXPECT_EQ(Derived().CompareAction()->isEnabled(), c.Two) << c.Rows.size();
    }

    SelectRows({0, 1});
    Trigger("actEnvelope");
    ASSERT_EQ(Rows(), 4);
    EXPECT_EQ(Cell(3, fcId), "3");
    EXPECT_EQ(Cell(3, fcFileName), "Envelope of 2");
    EXPECT_EQ(Status(), "Envelope of 2 added.");
    const QModelIndex markCell = Form->Table().Model().index(3, fcId);
    EXPECT_FALSE(markCell.data(Qt::DecorationRole).isNull()) << "the derived row is marked";
    EXPECT_FALSE(Form->Table().Model().index(0, fcId).data(Qt::DecorationRole).isValid());
    // Its gain is the higher source's (17.5 dBi at the boresight of panel_1900).
    EXPECT_EQ(Cell(3, fcGain), "17.5 (15.4)");
    const std::vector<std::string> recent = Form->Recent().Files().Items();
    EXPECT_EQ(recent.size(), 3u) << "only the opened files are on Reopen";

    // Closing the sources leaves the envelope whole; a file without a gain is refused.
    SelectRows({0, 1});
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, fcFileName), "Envelope of 2");
    EXPECT_EQ(Row(1).AzimuthCut.Count(), 361);
    EXPECT_EQ(Row(1).VerticalCut.Count(), 361);
    SelectRows({1});
    EXPECT_FALSE(Form->findChild<QAction*>("actShowSource")->isEnabled()) << "no file to show";

    std::string text = ReadFileBytes((kSamples + "omni_850.msi").toStdString());
    text.erase(text.find("GAIN"), text.find('\n', text.find("GAIN")) + 1 - text.find("GAIN"));
    Open({QString::fromStdString(Folder.Write("no_gain.msi", text))});
    ASSERT_EQ(Rows(), 3);
    SelectRows({0, 2});
    Trigger("actEnvelope");
    EXPECT_EQ(Rows(), 3);
    ASSERT_EQ(Errors.Shown.size(), 1);
    EXPECT_TRUE(Errors.Shown[0].contains("no_gain")) << Errors.Shown[0].toStdString();
    EXPECT_EQ(Status(), Errors.Shown[0]);
}

TEST_F(DerivedCommandsTest, SaveAsWritesADerivedRowInEveryFormatUnderItsOwnName) {
    Open({kSamples + "sector65_2freq.nsm"});
    SelectRows({0, 1});
    Derived().SetDialogRunner([](TInterpolateDialog& dialog) {
        dialog.SetValueText("1930.5");
        return dialog.TryAccept() ? QDialog::Accepted : QDialog::Rejected;
    });
    Trigger("actInterpolate");
    ASSERT_EQ(Rows(), 3);
    const TPatternData& made = Row(2);
    EXPECT_TRUE(made.Derived);
    EXPECT_EQ(Cell(2, fcFrequency), "1930.5");
    SelectRows({2});

    TListedSaveDialogs dialogs;
    const QString out = QString::fromStdString(Folder.Path()) + "/";
    const QStringList& filters = TSaveAsCommand::kSaveFilters;
    TSaveAsCommand command(Form.get(), dialogs);
    for (int format = 0; format < filters.size(); ++format) {
        dialogs.Answers = {{out + "made" + QString::number(format), filters[format]}};
        EXPECT_TRUE(command.Run(Form->Model().Selection, Folder.Path() + "/")
                        .starts_with("1 pattern saved."))
            << filters[format].toStdString();
    }
    EXPECT_EQ(dialogs.Proposed.front(), out + QString::fromStdString(DisplayName(made, false)));
    // The formats that are read back give the same pattern (to the written decimals); the
    // sphere of a BASTA file, estimated from the cuts, holds the horizontal cut at the
    // horizon, and its vertical cut only approximately.
    for (const char* name : {"made0.msi", "made1.vwa", "made2.nsm", "made4.json"}) {
        auto read = LoadPatternFile(Folder.File(name)).TakeFirst();
        ASSERT_TRUE(read) << name;
        EXPECT_NEAR(read->Frequency.Value, 1930.5, 1e-6) << name;
        EXPECT_NEAR(read->Gain.Value, made.Gain.Value, 0.01) << name;
        const bool sphere = std::string(name).ends_with(".json");
        const TRealPointList& azimuth = sphere ? made.HorizontalCut : made.AzimuthCut;
        for (int i = 0; i < 361; i += 7) {
            EXPECT_NEAR(read->AzimuthCut.PointAt(i).Y, azimuth.PointAt(i).Y, 0.01) << name;
            if (sphere) continue;
            EXPECT_NEAR(read->VerticalCut.PointAt(i).Y, made.VerticalCut.PointAt(i).Y, 0.01)
                << name;
        }
    }
}

TEST_F(DerivedCommandsTest, InterpolateRefusesValuesOutsideTheTwoPatterns) {
    Derived().SetErrorReporter(Errors);
    Open({kSamples + "sector65_2freq.nsm", kSamples + "sector90_edx.pat"});
    std::vector<QString> messages;
    Derived().SetDialogRunner([&messages](TInterpolateDialog& dialog) {
        messages.push_back(dialog.Message());
        for (const char* text : {"2100.5", "1849", "abc", ""}) {
            dialog.SetValueText(text);
            EXPECT_FALSE(dialog.TryAccept()) << text;
            messages.push_back(dialog.Message());
        }
        dialog.SetAxis(TInterpolationAxis::ElectricalTilt);
        messages.push_back(dialog.Message());
        return QDialog::Rejected;
    });
    SelectRows({0, 1});
    Trigger("actInterpolate");
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0], "Allowed: 1850 … 2100 MHz");
    EXPECT_TRUE(messages[1].startsWith("2100.5 MHz is outside 1850 … 2100 MHz"));
    EXPECT_TRUE(messages[2].startsWith("1849 MHz is outside"));
    EXPECT_EQ(messages[3], "\"abc\" is not a number.");
    EXPECT_EQ(messages[4], "Enter the frequency of the new pattern.");
    EXPECT_EQ(messages[5], "Both patterns are at 2°: there is nothing between them.");
    EXPECT_EQ(Rows(), 3) << "a cancelled dialog adds nothing";

    // A pattern without a frequency: the dialog says so and cannot be accepted.
    SelectRows({0, 2});
    messages.clear();
    Derived().SetDialogRunner([&messages](TInterpolateDialog& dialog) {
        messages.push_back(dialog.Message());
        dialog.SetValueText("1900");
        EXPECT_FALSE(dialog.TryAccept());
        return QDialog::Rejected;
    });
    Trigger("actInterpolate");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("has no frequency")) << messages[0].toStdString();
    EXPECT_TRUE(Errors.Shown.isEmpty());
}

TEST_F(DerivedCommandsTest, CompareWindowCopiesEveryAngleSwapsAndFollowsItsPatterns) {
    Open({kSamples + "sector65_2freq.nsm", kSamples + "panel_1900.vwa"});
    // Sorted by frequency descending, the 2100 MHz pattern comes first in table order: A.
    Form->Table().SortByColumn(fcFrequency);
    Form->Table().SortByColumn(fcFrequency);
    SelectRows({0, 1});
    Trigger("actCompare");
    ASSERT_EQ(Derived().CompareWindows().size(), 1u);
    TCompareForm& window = *Derived().CompareWindows().front();
    EXPECT_EQ(window.Reference().Frequency.Value, 2100);
    EXPECT_EQ(window.tblStatistics->rowCount(), 3);
    EXPECT_EQ(window.tblStatistics->item(0, 0)->text(), "Azimuth");
    const QImage picture = window.PngImage(QSize(900, 640));
    EXPECT_FALSE(SaveTestPng(picture, "dialogs/compare_sector65_panel1900.png").empty());

    window.CopyText();
    const QStringList lines = QApplication::clipboard()->text().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 362);
    EXPECT_EQ(lines[0], "Angle\tAzimuth d, dB\tVertical d, dB\tHorizontal d, dB");
    EXPECT_TRUE(lines[1].startsWith("-180\t"));
    EXPECT_TRUE(lines[361].startsWith("180\t"));

    // Swap: B is the reference, every difference changes sign.
    const TPatternComparison before = window.Comparison();
    window.btnSwap->click();
    EXPECT_EQ(window.Reference().Frequency.Value, 1900);
    for (size_t i = 0; i < 361; ++i) {
        EXPECT_NEAR(window.Comparison().Azimuth.DifferenceDb[i], -before.Azimuth.DifferenceDb[i],
                    1e-9);
        EXPECT_NEAR(window.Comparison().Vertical.DifferenceDb[i], -before.Vertical.DifferenceDb[i],
                    1e-9);
    }
    EXPECT_NEAR(window.Comparison().Horizontal.MaxDifferenceDb, -before.Horizontal.MaxDifferenceDb,
                1e-9);
    // Relative: the gains (17.74 and 17.5 dBi) are left out.
    const TPatternComparison withGains = window.Comparison();
    window.chkRelative->click();
    ASSERT_TRUE(window.Comparison().Relative);
    for (size_t i = 0; i < 361; i += 10) {
        EXPECT_NEAR(window.Comparison().Vertical.DifferenceDb[i],
                    withGains.Vertical.DifferenceDb[i] - 0.24, 1e-9);
    }

    // Closing one of its patterns closes it; closing another pattern does not.
    SelectRows({2});
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete);
    EXPECT_EQ(Derived().CompareWindows().size(), 1u);
    SelectRows({0});
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete);
    EXPECT_TRUE(Derived().CompareWindows().empty());
}

}  // namespace
}  // namespace ostrel

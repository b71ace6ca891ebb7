#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/FigureCommands.h"
#include "app/FiguresPanel.h"
#include "app/FileTableDelegate.h"
#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/FilterBar.h"
#include "app/MainFrm.h"
#include "app/OpenCommands.h"
#include "app/OpenFilesFlow.h"
#include "app/PathText.h"
#include "app/RecentFilesMenu.h"
#include "app/SaveAsCommand.h"
#include "app/SelectionCommands.h"
#include "app/TableColumns.h"
#include "app/TableExport.h"
#include "app/ViewModeActions.h"
#include "app/WindowGeometry.h"
#include "dialogs/PrintOptionsDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "formats/TextLines.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"
#include "shell/FileTable.h"
#include "support/PatternText.h"
#include "support/TempDir.h"
#include "uisupport/MainWindowFixture.h"
#include "uisupport/UiImageFiles.h"

namespace ostrel {
namespace {

// The window with pattern files of its own making.
class MainFormTest : public TMainWindowFixture {
protected:
    QString Pattern(const std::string& name, double frequency, double gain, double width = 0) {
        std::string header = "FREQUENCY " + std::to_string(frequency) + "\r\nGAIN " +
                             std::to_string(gain) + " dBi\r\n";
        if (width != 0) header += "H_WIDTH " + std::to_string(width) + "\r\n";
        return QString::fromStdString(Folder.Write(
            name, OstrelText(
                      header, [gain](double a) { return std::fabs(std::sin(a / 57.3)) * gain; },
                      [](double a) { return a / 36; })));
    }
};

TEST_F(MainFormTest, DuplicatesAreSkippedUnlessAllowed) {
    const QString panel = Pattern("panel.msi", 1850, 17);
    Open({panel});
    Open({panel});
    EXPECT_EQ(Form->Table().Model().RowCount(), 1);
    // The rule compares trimmed paths, letter case included: two spellings are two files.
    Form->Opening().OpenPatternFile(" " + panel + "\t");
    EXPECT_EQ(Form->Table().Model().RowCount(), 1);
    const QString upper = Pattern("Panel.msi", 900, 12);
    Open({upper});
    Open({upper});
    ASSERT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_EQ(Cell(1, fcFileName), "Panel");
    EXPECT_EQ(Form->Recent().Files().Items(),
              (std::vector<std::string>{upper.toStdString(), panel.toStdString()}));
    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    Open({panel});
    GetSettings().FAllowDuplicates = true;
    Open({panel});
    ASSERT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_EQ(Cell(0, fcId), "0");
    EXPECT_EQ(Cell(1, fcId), "1");
    EXPECT_EQ(Cell(1, fcFileName), "panel");
}

TEST_F(MainFormTest, OpenRemembersFolderAndFilterAndShowsProgressForSeveralFiles) {
    const QString good1 = Pattern("a.txt", 850, 10);
    const QString bad = QString::fromStdString(Folder.Write("b.msi", "HORIZONTAL\n0 0\n"));
    const QString good2 = Pattern("c.pln", 900, 12);
    auto dialog = std::make_unique<TFakeFileDialog>(QStringList{good1, bad, good2},
                                                    TOpenCommands::kOpenFilters[2]);
    TFakeFileDialog* asked = dialog.get();
    Form->Opening().SetFileDialogService(std::move(dialog));
    Form->findChild<QAction*>("actOpen")->trigger();
    EXPECT_TRUE(Form->Opening().Flow().IsProgressVisible());
    Form->Opening().FinishLoading();
    EXPECT_EQ(asked->AskedFilters, TOpenCommands::kOpenFilters);
    EXPECT_EQ(asked->PreselectedFilter, TOpenCommands::kOpenFilters[0]);
    ASSERT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_EQ(Cell(0, fcId), "0");
    EXPECT_EQ(Cell(1, fcId), "1");
    EXPECT_EQ(Cell(1, fcFileName), "c");
    EXPECT_EQ(Form->Opening().Flow().ProgressMaximum(), 3);
    EXPECT_EQ(Form->Opening().Flow().ProgressValue(), 3);
    EXPECT_FALSE(Form->Opening().Flow().IsProgressVisible());
    EXPECT_EQ(GetSettings().FOpenPath, Folder.Path() + "/");

    // The next Open starts in the remembered folder with the filter last chosen.
    Form->Opening().SetFileDialogService(std::make_unique<TFakeFileDialog>(QStringList{}));
    auto second = std::make_unique<TFakeFileDialog>(QStringList{});
    TFakeFileDialog* secondAsked = second.get();
    Form->Opening().SetFileDialogService(std::move(second));
    Form->findChild<QAction*>("actOpen")->trigger();
    EXPECT_EQ(secondAsked->AskedFolder.toStdString(), Folder.Path() + "/");
    EXPECT_EQ(secondAsked->PreselectedFilter, TOpenCommands::kOpenFilters[2]);

    // A failed single file still moves the remembered folder, and never shows the panel.
    TTempDir other;
    Form->Opening().OpenFiles({QString::fromStdString(other.Write("x.msi", "nothing"))});
    Form->Opening().FinishLoading();
    EXPECT_EQ(GetSettings().FOpenPath, other.Path() + "/");
    EXPECT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_EQ(Form->Opening().Flow().ProgressMaximum(), 3)
        << "one file does not touch the progress bar";
}

// The graphs get the rows selected whole, each once, in table order, however the ranges
// were made.
TEST_F(MainFormTest, SelectionTakesWholeRowsOnceInTableOrder) {
    Open({Pattern("a.txt", 1, 1), Pattern("b.txt", 2, 2), Pattern("c.txt", 3, 3),
          Pattern("d.txt", 4, 4)});
    const TFileTableModel& table = Form->Table().Model();
    const int last = table.columnCount() - 1;
    struct TRange {
        int Top, Bottom, Left, Right;
    };
    const struct {
        std::vector<TRange> Ranges;
        std::vector<int> Rows;
    } cases[] = {
        {{{2, 3, 0, last}, {0, 2, 0, last}}, {0, 1, 2, 3}},
        {{{3, 3, 0, last}, {1, 1, 0, last}}, {1, 3}},
        {{{0, 0, 0, last}, {2, 2, 0, 1}}, {0}},
        {{{1, 1, 0, 1}, {1, 1, 2, last}}, {1}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        QItemSelection selection;
        for (const TRange& r : c.Ranges) {
            selection.select(table.index(r.Top, r.Left), table.index(r.Bottom, r.Right));
        }
        Form->Table().View().clearSelection();
        Form->Table().View().selectionModel()->select(selection, QItemSelectionModel::Select);
        std::vector<int> ids;
        std::vector<int> expected;
        for (int i = 0; i < Form->Model().Selection.Count(); ++i) {
            ids.push_back(Form->Model().Selection.Items(i).Id);
        }
        for (int row : c.Rows) expected.push_back(Cell(row, fcId).toInt());
        EXPECT_EQ(ids, expected) << c.Ranges.size() << " ranges";
    }
}

TEST_F(MainFormTest, DeleteKeyAndCloseAllKeepTheIdRules) {
    Open({Pattern("a.txt", 1, 1), Pattern("b.txt", 2, 2), Pattern("c.txt", 3, 3)});
    SelectRows({0, 2});
    EXPECT_EQ(Form->Model().Selection.Count(), 2);
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete);
    ASSERT_EQ(Form->Table().Model().RowCount(), 1);
    EXPECT_EQ(Cell(0, fcFileName), "b");
    EXPECT_EQ(Form->Model().Selection.Count(), 0);
    Open({Pattern("d.txt", 4, 4)});
    EXPECT_EQ(Cell(1, fcId), "3") << "deleting does not reuse IDs";
    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    EXPECT_EQ(Form->Table().Model().RowCount(), 0);
    EXPECT_EQ(Form->Model().Patterns.Count(), 0);
    Open({Pattern("e.txt", 5, 5)});
    EXPECT_EQ(Cell(0, fcId), "0") << "Close All starts the IDs again";
}

TEST_F(MainFormTest, HeaderClicksSortEveryColumnAndFlipTheDirection) {
    Form->Table().SortByColumn(fcGain);
    EXPECT_EQ(Form->Table().SortColumn(), -1) << "nothing happens without patterns";
    Open({Pattern("b.txt", 850.4, 12, 65), Pattern("A.msi", 850.2, 17.5),
          Pattern("c.vwa.txt", 1900, 3, 33)});
    auto names = [this] {
        QStringList list;
        for (int row = 0; row < Form->Table().Model().RowCount(); ++row)
            list << Cell(row, fcFileName);
        return list;
    };
    Form->Table().SortByColumn(fcFileName);
    EXPECT_EQ(names(), (QStringList{"A", "b", "c.vwa"}));
    EXPECT_TRUE(Form->Table().SortAscending());
    Form->Table().SortByColumn(fcFileName);
    EXPECT_EQ(names(), (QStringList{"c.vwa", "b", "A"}));
    EXPECT_FALSE(Form->Table().SortAscending());
    Form->Table().SortByColumn(fcFrequency);
    EXPECT_TRUE(Form->Table().SortAscending());
    EXPECT_EQ(names(), (QStringList{"b", "A", "c.vwa"})) << "850.2 and 850.4 tie and keep order";
    Form->Table().SortByColumn(fcGain);
    EXPECT_EQ(names(), (QStringList{"c.vwa", "b", "A"}));
    Form->Table().SortByColumn(fcHorzWidth);
    EXPECT_EQ(names(), (QStringList{"A", "c.vwa", "b"})) << "an empty width sorts as 0";
    Form->Table().SortByColumn(fcId);
    EXPECT_EQ(names(), (QStringList{"b", "A", "c.vwa"}));
    Form->Table().SortByColumn(fcVRotationOffset);
    EXPECT_EQ(names(), (QStringList{"b", "A", "c.vwa"}));
    EXPECT_EQ(Form->Table().Model().index(0, fcVRotationOffset).data(Qt::BackgroundRole),
              QVariant(QColor(247, 247, 247)));
    EXPECT_FALSE(Form->Table().Model().index(0, fcId).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(Form->Table().View().header()->sortIndicatorSection(), fcVRotationOffset);
    // New rows go to the end; the table does not re-sort.
    Open({Pattern("0first.txt", 1, 1)});
    EXPECT_EQ(names().back(), "0first");
}

TEST_F(MainFormTest, CommandsFollowTheSizeOfTheSelection) {
    // A 3D viewer that can run, so that its command is shown at start-up.
    const std::string viewer = ProgramFolder.Write("Ostrel3d.exe", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
    CreateForm();
    auto enabled = [this](const char* name) {
        return Form->findChild<QAction*>(name)->isEnabled();
    };
    EXPECT_FALSE(enabled("actShowSource"));
    EXPECT_FALSE(enabled("actPrint"));
    EXPECT_FALSE(enabled("actAngles"));
    EXPECT_FALSE(enabled("actShowPoints"));
    EXPECT_FALSE(enabled("actView3d"));
    EXPECT_TRUE(enabled("actOpen"));
    Open({Pattern("a.txt", 1, 1), Pattern("b.txt", 2, 2)});
    SelectRows({1});
    EXPECT_TRUE(enabled("actShowSource"));
    EXPECT_TRUE(enabled("actPrint"));
    EXPECT_TRUE(enabled("actAngles"));
    EXPECT_TRUE(enabled("actShowPoints"));
    EXPECT_TRUE(enabled("actView3d"));
    SelectRows({0, 1});
    EXPECT_FALSE(enabled("actShowSource"));
    EXPECT_FALSE(enabled("actView3d"));
    EXPECT_TRUE(enabled("actPrint"));
    EXPECT_EQ(Form->Model().Selection.Count(), 2);

    // Show Source and View 3D start their programs on the one selected file.
    SelectRows({0});
    Form->findChild<QAction*>("actView3d")->trigger();
    ASSERT_EQ(Starter.Starts.size(), 1u);
    EXPECT_TRUE(Starter.Starts[0].first.endsWith("Ostrel3d.exe"))
        << Starter.Starts[0].first.toStdString();
    EXPECT_EQ(Starter.Starts[0].second,
              (QStringList{"mortex31", QString::fromStdString(Folder.File("a.txt"))}));
    std::filesystem::remove(viewer);
    Form->findChild<QAction*>("actView3d")->trigger();
    EXPECT_EQ(Errors.Shown, QStringList{"Unable to locate 3D module"});
    Form->findChild<QAction*>("mmiLicense")->trigger();
    EXPECT_EQ(Urls.Opened.size(), 1u);
}

TEST_F(MainFormTest, FunctionKeysSwitchTheViewModesWithChecksAndStatusTexts) {
    auto checked = [this](const char* name) {
        return Form->findChild<QAction*>(name)->isChecked();
    };
    EXPECT_EQ(Form->ViewModes().StatusPanelText(2), "H Cut: Azimuth");
    EXPECT_EQ(Form->ViewModes().StatusPanelText(3), "Scale: -40 dB");
    EXPECT_TRUE(checked("mmiPolar"));
    EXPECT_TRUE(checked("mmi40dB"));
    EXPECT_TRUE(checked("mmiAzimuth"));
    QAction* f7 = Form->findChild<QAction*>("actSwapRadScale");
    EXPECT_EQ(f7->shortcut(), QKeySequence(Qt::Key_F7));
    f7->trigger();
    EXPECT_EQ(Form->ViewModes().StatusPanelText(3), "Scale: Logarithmic");
    EXPECT_TRUE(checked("mmiLogarithmic"));
    EXPECT_TRUE(GetSettings().FLogScale);
    EXPECT_EQ(GetSettings().FRadialFloor, -20);
    f7->trigger();
    EXPECT_EQ(Form->ViewModes().StatusPanelText(3), "Scale: -25 dB");
    EXPECT_EQ(GetSettings().FRadialFloor, -25);
    EXPECT_FALSE(GetSettings().FLogScale);
    f7->trigger();
    EXPECT_EQ(Form->ViewModes().StatusPanelText(3), "Scale: -40 dB");

    QAction* f6 = Form->findChild<QAction*>("actSwapAzimuth");
    f6->trigger();
    EXPECT_EQ(Form->ViewModes().StatusPanelText(2), "H Cut: Horizontal");
    EXPECT_EQ(GetSettings().FHCut, THCut::Horizontal);
    EXPECT_TRUE(checked("mmiHorizontal"));
    f6->trigger();
    EXPECT_EQ(Form->ViewModes().StatusPanelText(2), "H Cut: Azimuth");

    const QString before =
        Form->ViewModes().StatusPanelText(3) + Form->ViewModes().StatusPanelText(2);
    Form->findChild<QAction*>("actSwapGraph")->trigger();
    EXPECT_EQ(Form->ViewModes().Mode().Graph, TGraphType::Cartesian);
    EXPECT_TRUE(checked("mmiCartesian"));
    EXPECT_FALSE(checked("mmiPolar"));
    EXPECT_EQ(Form->ViewModes().StatusPanelText(3) + Form->ViewModes().StatusPanelText(2), before);
    Form->findChild<QAction*>("mmiPolar")->trigger();
    EXPECT_EQ(Form->ViewModes().Mode().Graph, TGraphType::Polar);
}

TEST_F(MainFormTest, CopyImagePutsAnSvgAndAPngOfThePaintBoxWithoutLegend) {
    Open({Pattern("panel.msi", 1850, 17)});
    SelectRows({0});
    Form->show();
    QApplication::processEvents();
    Form->ViewModes().SetScaleMode(TScaleMode::Logarithmic);
    Form->findChild<QAction*>("mmiCopyImage")->trigger();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    ASSERT_TRUE(mime->hasFormat("image/svg+xml"));
    const QString svg = QString::fromUtf8(mime->data("image/svg+xml"));
    const QSize size = Form->PatternBox()->size();
    EXPECT_TRUE(svg.contains(QString("viewBox=\"0 0 %1 %2\"").arg(size.width()).arg(size.height())))
        << svg.left(400).toStdString();
    EXPECT_FALSE(svg.contains("(0) panel")) << "no legend on the clipboard";
    EXPECT_TRUE(svg.contains(">-40<") || svg.contains(">-40 <") || svg.contains("-40"))
        << "linear rings even in logarithmic mode";
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    EXPECT_EQ(image.size(), size);
    SaveTestPng(image, "app/clipboard_image.png");
    Form->hide();
}

// The graph area keeps its picture between paints: the picture holds while the patterns
// change behind its back, and every command that changes what it shows makes it paint anew.
TEST_F(MainFormTest, GraphAreaKeepsItsPictureUntilTheViewChanges) {
    Open({QString(OSTREL_SAMPLES_DIR "/tilted_6deg.msi"), Pattern("panel.msi", 1850, 17)});
    SelectRows({0});
    Form->show();
    QApplication::processEvents();
    QWidget* area = Form->PatternBox();
    QImage shown = area->grab().toImage();
    TPatternData& pattern = Form->Model().Selection.Items(0);
    pattern.HRotationOffset = 90;
    EXPECT_EQ(area->grab().toImage(), shown) << "an expose only copies the kept picture";

    const std::pair<const char*, std::function<void()>> changes[] = {
        {"selection",
         [&] {
             SelectRows({0, 1});
         }},
        {"graph type", [&] { Form->ViewModes().SetGraphType(TGraphType::Cartesian); }},
        {"scale", [&] { Form->ViewModes().SetScaleMode(TScaleMode::Range25Db); }},
        {"H cut", [&] { Form->ViewModes().SetHCut(THCut::Horizontal); }},
        {"size", [&] { Form->resize(1100, 800); }},
    };
    for (const auto& [name, change] : changes) {
        change();
        QApplication::processEvents();
        const QImage now = area->grab().toImage();
        EXPECT_NE(now, shown) << name;
        shown = now;
    }
    Form->hide();
}

TEST_F(MainFormTest, RecentFilesAndSettingsSurviveARestart) {
    const QString a = Pattern("a.txt", 1, 1);
    const QString b = Pattern("b.txt", 2, 2);
    Open({a, b});
    GetSettings().FShowExtensions = true;
    Form.reset();
    SaveAndFreeSettings();
    const std::string ini = ReadFileBytes(Folder.File("settings.ini"));
    EXPECT_NE(ini.find("[MRU Items]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("F0=" + b.toStdString()), std::string::npos) << ini;
    EXPECT_NE(ini.find("FShowExtensions=1"), std::string::npos) << ini;

    SetSettingsFilePath(Folder.File("settings.ini"));
    Restart();
    EXPECT_EQ(Form->Recent().Files().Items(),
              (std::vector<std::string>{b.toStdString(), a.toStdString()}));
    EXPECT_TRUE(GetSettings().FShowExtensions);
    EXPECT_EQ(GetSettings().FOpenPath, Folder.Path() + "/");
    EXPECT_EQ(Form->ViewModes().StatusPanelText(3), "Scale: -40 dB") << "view modes are not kept";
    QMenu* reopen = Form->findChild<QMenu*>("mmiReopen");
    ASSERT_NE(reopen, nullptr);
    const QList<QAction*> entries = reopen->actions();
    ASSERT_GE(entries.size(), 4);
    EXPECT_TRUE(entries[0]->text().startsWith("&1 "));
    EXPECT_TRUE(entries[1]->text().startsWith("&2 "));
    entries[1]->trigger();  // reopening a moves it to the top
    EXPECT_EQ(Form->Recent().Files().Items().front(), a.toStdString());
    EXPECT_EQ(Form->Table().Model().RowCount(), 1);
    QFile::remove(b);
    QApplication::processEvents();
    reopen = Form->findChild<QMenu*>("mmiReopen");
    ASSERT_NE(reopen, nullptr);
    reopen->actions()[1]->trigger();  // b is gone: removed, nothing opened
    QApplication::processEvents();
    EXPECT_EQ(Form->Recent().Files().Items(), (std::vector<std::string>{a.toStdString()}));
    EXPECT_EQ(Form->Table().Model().RowCount(), 1);
    reopen = Form->findChild<QMenu*>("mmiReopen");
    reopen->findChild<QAction*>("mmiClearAll")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Form->findChild<QMenu*>("mmiReopen"), nullptr);
}

TEST_F(MainFormTest, SplitterRefusesTooSmallOrTooLargeTables) {
    Form->show();
    const int outer = Form->frameGeometry().height();
    EXPECT_FALSE(Form->Geometry().TryTableHeight(100));
    EXPECT_TRUE(Form->Geometry().TryTableHeight(101));
    EXPECT_TRUE(Form->Geometry().TryTableHeight(outer - 301));
    EXPECT_FALSE(Form->Geometry().TryTableHeight(outer - 300));
    Form->hide();
}

TEST_F(MainFormTest, TableModelPassesTheItemModelTester) {
    TFileTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    TPatternData a;
    TPatternData b;
    a.Id = 1;
    b.Id = 0;
    model.AddRow(a);
    model.AddRow(b);
    model.SortRows(fcId, true);
    EXPECT_EQ(model.PatternAt(0), &b);
    model.SetSortColumn(fcId);
    model.RemoveRow(b);
    model.ClearRows();
    EXPECT_EQ(model.RowCount(), 0);

    // A batch: rows wait, then arrive together; removing a row adds the waiting ones first.
    TPatternData c;
    {
        const TFileTableBatch outer(model);
        model.AddRow(a);
        {
            const TFileTableBatch inner(model);
            model.AddRow(b);
        }
        EXPECT_EQ(model.RowCount(), 0) << "the outer batch still holds the rows";
        model.AddRow(c);
    }
    ASSERT_EQ(model.RowCount(), 3);
    EXPECT_EQ(model.PatternAt(2), &c);
    model.BeginBatch();
    model.AddRow(c);
    model.RemoveRow(a);
    EXPECT_EQ(model.RowCount(), 3);
    EXPECT_EQ(model.PatternAt(2), &c);
    model.EndBatch();
    EXPECT_EQ(model.RowCount(), 3);
}

// Opening many files lays the table out once: the views hear of one insertion of all the
// rows, in the order chosen, and the recent-files menu is rebuilt for the last file.
TEST_F(MainFormTest, OpeningManyFilesInsertsTheRowsAtOnce) {
    Form->show();
    QSignalSpy inserted(&Form->Table().Model(), &QAbstractItemModel::rowsInserted);
    const QStringList paths = {Pattern("a.txt", 1, 1), Pattern("b.txt", 2, 2),
                               Pattern("broken.txt", 0, 0), Pattern("c.txt", 3, 3)};
    Folder.Write("broken.txt", "no sections");
    Open(paths);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 2);
    ASSERT_EQ(Form->Table().Model().RowCount(), 3);
    EXPECT_EQ(Cell(0, fcFileName), "a");
    EXPECT_EQ(Cell(2, fcFileName), "c");
    QMenu* reopen = Form->findChild<QMenu*>("mmiReopen");
    ASSERT_NE(reopen, nullptr);
    EXPECT_TRUE(reopen->actions()[0]->text().endsWith("c.txt"))
        << reopen->actions()[0]->text().toStdString();
    Open({Pattern("d.txt", 4, 4)});
    EXPECT_EQ(inserted.count(), 2) << "a single file is a batch of one";
    EXPECT_EQ(Form->Table().Model().RowCount(), 4);
}

TEST_F(MainFormTest, AFileOfTwoFrequenciesOpensAsTwoPatternsAndOnlyOnce) {
    const QString nsma(OSTREL_SAMPLES_DIR "/sector65_2freq.nsm");
    Open({nsma, QString(OSTREL_SAMPLES_DIR "/sector90_edx.pat"), nsma});
    ASSERT_EQ(Form->Model().Patterns.Count(), 3);
    EXPECT_EQ(Form->Model().Patterns.Items(1).FileName, nsma.toStdString() + "@2100");
    EXPECT_EQ(Form->Table().Model().RowCount(), 3);
}

TEST_F(MainFormTest, BastaFilesOpenLikeAnyOtherWithTheirFigures) {
    EXPECT_TRUE(TOpenCommands::kOpenFilters.contains("BASTA 3D Files (*.json)"));
    Open({QString(OSTREL_SAMPLES_DIR "/panel65_polar_shuffled.json"),
          QString(OSTREL_SAMPLES_DIR "/panel65_co_cr.json")});
    ASSERT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_EQ(Cell(0, fcFileName), "panel65_polar_shuffled");
    EXPECT_EQ(Cell(0, fcFrequency), "1850");
    int directivity = -1;
    for (int column = 0; column < TableColumnCount(); ++column) {
        if (std::string(TableColumnHeader(column)) == "Directivity (dBi)") directivity = column;
    }
    ASSERT_GE(directivity, 0);
    EXPECT_TRUE(Form->Table().View().header()->isSectionHidden(directivity));
    EXPECT_TRUE(Cell(1, directivity).contains(QRegularExpression("^1[0-9]\\.[0-9]{3}$")))
        << Cell(1, directivity).toStdString();
    Form->resize(1100, 800);
    Form->show();
    SelectRows({0, 1});
    Form->findChild<QAction*>("mmiFigures")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(Form->Figures().Panel().CopyText().contains("\r\nEAS cell (%)\t"));
    SaveTestPng(Form->grab().toImage(), "app/main_window_basta.png");
}

TEST_F(MainFormTest, ScreenshotsOfTheWindow) {
    Open({QString(OSTREL_SAMPLES_DIR "/sector65_dbd.txt"),
          QString(OSTREL_SAMPLES_DIR "/omni_850.msi"),
          QString(OSTREL_SAMPLES_DIR "/tilted_6deg.msi"),
          QString(OSTREL_SAMPLES_DIR "/panel_1900.vwa")});
    Form->resize(1100, 800);
    Form->show();
    SelectRows({0, 2, 3});
    QApplication::processEvents();
    SaveTestPng(Form->grab().toImage(), "app/main_window_polar.png");
    Form->Table().SortByColumn(fcGain);
    Form->ViewModes().SetGraphType(TGraphType::Cartesian);
    QApplication::processEvents();
    SaveTestPng(Form->grab().toImage(), "app/main_window_cartesian_sorted.png");
    Form->ViewModes().SetScaleMode(TScaleMode::Logarithmic);
    Form->ViewModes().SetGraphType(TGraphType::Polar);
    QApplication::processEvents();
    SaveTestPng(Form->grab().toImage(), "app/main_window_logarithmic.png");
    Form->hide();
    // Sorting the table moved the rows; the selection still names the same patterns.
    std::vector<int> selectedIds;
    for (int i = 0; i < Form->Model().Selection.Count(); ++i) {
        selectedIds.push_back(Form->Model().Selection.Items(i).Id);
    }
    EXPECT_EQ(selectedIds, (std::vector<int>{0, 2, 3}));
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST_F(MainFormTest, CutOffCellsOfferTheirTextAsToolTip) {
    Open({Pattern("a-long-name-of-a-pattern-file.txt", 1850, 17.5)});
    Form->show();
    QTreeView* view = &Form->Table().View();
    auto* delegate = qobject_cast<TFileTableDelegate*>(view->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    const QModelIndex name = Form->Table().Model().index(0, fcFileName);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.widget = view;
    option.rect = view->visualRect(name);
    EXPECT_FALSE(delegate->IsTextCutOff(option, name));
    view->header()->resizeSection(fcFileName, 40);
    option.rect = view->visualRect(name);
    EXPECT_TRUE(delegate->IsTextCutOff(option, name));
    Form->hide();
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST_F(MainFormTest, DroppedFilesOpenAsIfChosenInTheDialog) {
    const QString a = Pattern("a.txt", 850, 10);
    const QString b = Pattern("b.vwa.txt", 900, 12);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b),
                  QUrl::fromLocalFile(QString::fromStdString(Folder.Path())),
                  QUrl("https://example.invalid/c.msi")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(Form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &drop);
    Form->Opening().FinishLoading();
    // The folder brings its pattern files (the same two again), remote addresses nothing.
    ASSERT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_EQ(Cell(0, fcFileName), "a");
    EXPECT_EQ(Form->Opening().Flow().ProgressMaximum(), 4);
    EXPECT_FALSE(Form->Opening().Flow().IsProgressVisible());

    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(Form.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST_F(MainFormTest, HeaderClicksWithAnyMouseButtonSortButNeverWithoutPatterns) {
    Form->show();
    QHeaderView* header = Form->Table().View().header();
    auto click = [header](int column, Qt::MouseButton button) {
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), button, Qt::NoModifier, at);
    };
    click(fcGain, Qt::LeftButton);
    click(fcGain, Qt::RightButton);
    EXPECT_EQ(Form->Table().SortColumn(), -1);
    EXPECT_FALSE(header->isSortIndicatorShown());

    Open({Pattern("b.txt", 900, 12), Pattern("a.txt", 850, 17.5)});
    click(fcGain, Qt::RightButton);
    EXPECT_EQ(Form->Table().SortColumn(), fcGain);
    EXPECT_TRUE(Form->Table().SortAscending());
    EXPECT_EQ(Cell(0, fcFileName), "b");
    click(fcGain, Qt::MiddleButton);
    EXPECT_FALSE(Form->Table().SortAscending());
    EXPECT_EQ(Cell(0, fcFileName), "a");
    click(fcFrequency, Qt::LeftButton);
    EXPECT_TRUE(Form->Table().SortAscending());
    EXPECT_EQ(Cell(0, fcFileName), "a");

    // Close All forgets the order; a click on the empty table changes nothing.
    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    EXPECT_EQ(Form->Table().SortColumn(), -1);
    EXPECT_FALSE(header->isSortIndicatorShown());
    click(fcGain, Qt::LeftButton);
    EXPECT_EQ(Form->Table().SortColumn(), -1);
    EXPECT_FALSE(header->isSortIndicatorShown());
    Open({Pattern("b.txt", 900, 12), Pattern("a.txt", 850, 17.5)});
    EXPECT_EQ(Cell(0, fcFileName), "b");
    click(fcFrequency, Qt::LeftButton);
    EXPECT_TRUE(Form->Table().SortAscending());
    EXPECT_EQ(Cell(0, fcFileName), "a");
    Form->hide();
}

TEST_F(MainFormTest, OuterSizeNeverShrinksBelow640By580WithTheRealFrame) {
    // The offscreen platform draws no frame: the whole 640 x 580 is then client area.
    Form->show();
    QApplication::processEvents();
    const QSize frame = Form->frameGeometry().size() - Form->geometry().size();
    EXPECT_EQ(Form->minimumSize() + frame, QSize(640, 580));
    Form->resize(100, 100);
    QApplication::processEvents();
    EXPECT_EQ(Form->frameGeometry().size(), QSize(640, 580));
    Form->hide();
}

TEST_F(MainFormTest, StatusBarSaysWhyFilesWereNotOpenedUntilTheNextCommand) {
    auto* reasons = Form->findChild<QLabel*>("StatusPanel1");
    ASSERT_NE(reasons, nullptr);
    const QString good = Pattern("good.msi", 900, 10);
    const QString broken =
        QString::fromStdString(Folder.Write("009_freq.t.msi", "FREQUENCY 900\nVERTICAL\n"));
    Open({good, broken, good});
    EXPECT_EQ(Form->Table().Model().RowCount(), 1);
    EXPECT_EQ(reasons->text(), QString::fromUtf8("1 of 3 files opened \u2014 009_freq.t.msi: "
                                                 "Cannot find Horizontal section.; good.msi is "
                                                 "already open"));
    EXPECT_EQ(reasons->toolTip(),
              "009_freq.t.msi: Cannot find Horizontal section.\ngood.msi is already open");
    EXPECT_TRUE(Errors.Shown.isEmpty()) << "no message box";

    // A recent file that has gone says so; Close All says what it closed.
    const QString gone = Pattern("gone.msi", 900, 10);
    Open({gone});
    EXPECT_EQ(reasons->text(), "gone.msi opened");
    QFile::remove(gone);
    QMenu* reopen = Form->findChild<QMenu*>("mmiReopen");
    ASSERT_NE(reopen, nullptr);
    reopen->actions()[0]->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(reasons->text().startsWith(gone + " no longer exists"))
        << reasons->text().toStdString();
    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    EXPECT_EQ(reasons->text(), "2 files closed");

    // Without the 3D module beside the program View 3D opens the built-in window, one per
    // command, with the selected patterns; nothing to report.
    Open({good, Pattern("second.msi", 900, 12)});
    SelectRows({0, 1});
    QAction* view3d = Form->findChild<QAction*>("actView3d");
    EXPECT_TRUE(view3d->isVisible());
    EXPECT_TRUE(view3d->isEnabled());
    view3d->trigger();
    view3d->trigger();
    const auto windows = Form->findChildren<TSurface3dForm*>();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0]->PatternCount(), 2);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_EQ(reasons->text(), "");
    for (TSurface3dForm* window : windows) window->close();
}

TEST_F(MainFormTest, FolderLoadsInTheBackgroundAndCancelOrCloseStopsIt) {
    Form->show();
    QApplication::processEvents();
    auto* status = Form->findChild<QLabel*>("StatusPanel1");
    std::filesystem::create_directories(Folder.File("lib/b"));
    for (const char* name : {"lib/b/2.msi", "lib/a.pln", "lib/b/1.txt", "lib/c.txt"}) {
        Pattern(name, 900, 10);
    }
    Folder.Write("lib/notes.doc", "not a pattern");
    Form->Opening().SetFileDialogService(
        std::make_unique<TFakeFileDialog>(QStringList{}, QString(), Folder.File("lib")));
    Form->findChild<QAction*>("actOpenFolder")->trigger();
    // Nothing is added before the window's event loop comes round; the folder is listed on
    // a worker thread, and the progress shows at once.
    EXPECT_EQ(Form->Table().Model().RowCount(), 0);
    EXPECT_TRUE(Form->Opening().Flow().IsProgressVisible());
    SaveTestPng(Form->grab().toImage(), "app/loading-folder.png");
    Form->Opening().FinishLoading();
    EXPECT_EQ(Form->Opening().Flow().ProgressText(), "4 of 4");
    ASSERT_EQ(Form->Table().Model().RowCount(), 4);
    const QStringList order = {"a", "1", "2", "c"};  // path order: lib/a, lib/b/1, lib/b/2, lib/c
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Cell(row, fcFileName), order[row]);
        EXPECT_EQ(Cell(row, fcId), QString::number(row));
    }
    EXPECT_FALSE(Form->Opening().Flow().IsProgressVisible());
    EXPECT_EQ(status->text(), "4 files opened");
    EXPECT_EQ(GetSettings().FOpenPath, Folder.File("lib") + "/");

    // Cancel keeps what was added (nothing yet here) and says so.
    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    Form->Opening().OpenFiles({QString::fromStdString(Folder.File("lib"))});
    auto* cancel = Form->findChild<QToolButton*>("btnCancelLoading");
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_FALSE(Form->Opening().Flow().IsLoading());
    EXPECT_EQ(status->text(), QString::fromUtf8("Cancelled \u2014 no file opened"));
    QApplication::processEvents();
    EXPECT_EQ(Form->Table().Model().RowCount(), 0) << "nothing arrives after a cancel";

    // Closing the window stops the load at once.
    Form->Opening().OpenFiles({QString::fromStdString(Folder.File("lib"))});
    EXPECT_TRUE(Form->Opening().Flow().IsLoading());
    Form->close();
    EXPECT_FALSE(Form->Opening().Flow().IsLoading());
}

// A folder that gives no file still says why, in the status bar beside the files' reasons.
TEST_F(MainFormTest, OpenFolderSaysWhichFoldersGaveNothing) {
    auto* status = Form->findChild<QLabel*>("StatusPanel1");
    std::filesystem::create_directories(Folder.File("empty/sub"));
    Form->Opening().OpenFiles({QString::fromStdString(Folder.File("empty"))});
    // The folder is listed on a worker thread: the reason comes when the listing is done.
    Form->Opening().FinishLoading();
    EXPECT_EQ(status->text().toStdString(), "no pattern files below " + Folder.File("empty"));
}

// Files dropped or chosen while a folder loads are neither lost nor silent: they open as the
// next batch, whose failures reach the status bar like any other.
TEST_F(MainFormTest, FilesGivenWhileAFolderLoadsOpenNext) {
    auto* status = Form->findChild<QLabel*>("StatusPanel1");
    std::filesystem::create_directories(Folder.File("lib"));
    for (const char* name : {"lib/a.msi", "lib/b.msi"}) Pattern(name, 900, 10);
    const QString later = Pattern("later.msi", 1800, 12);
    const QString broken = QString::fromStdString(Folder.Write("broken.msi", "VERTICAL\n"));
    Form->Opening().OpenFiles({QString::fromStdString(Folder.File("lib"))});
    ASSERT_TRUE(Form->Opening().Flow().IsLoading());
    Form->Opening().OpenFiles({later, broken});
    Form->Opening().FinishLoading();
    EXPECT_FALSE(Form->Opening().Flow().IsLoading());
    ASSERT_EQ(Form->Table().Model().RowCount(), 3);
    EXPECT_EQ(Cell(2, fcFileName), "later");
    EXPECT_EQ(status->text(),
              QString::fromUtf8("1 of 2 files opened \u2014 broken.msi: Cannot find Horizontal "
                                "section."));
}

TEST_F(MainFormTest, FilterBarShowsMatchingRowsAndCommandsActOnThem) {
    Open({Pattern("a.txt", 850, 10, 65), Pattern("b.txt", 1850, 17.5, 65),
          Pattern("c.txt", 2100, 18, 90)});
    TFilterBar& bar = Form->Table().FilterBar();
    SelectRows({0, 1, 2});
    bar.SetText("freq:1710-2170 gain:>=17");
    ASSERT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_EQ(Cell(0, fcFileName), "b");
    EXPECT_EQ(bar.CountText(), "2 of 3");
    EXPECT_EQ(Form->Model().Selection.Count(), 2) << "the hidden row left the selection";
    EXPECT_EQ(GetSettings().FFilterText, "freq:1710-2170 gain:>=17");
    Form->show();
    SaveTestPng(Form->grab().toImage(), "app/filter-bar.png");

    // A text the filter cannot read leaves the table as it was and says why.
    bar.SetText("freq:1710-2170 slope:6");
    EXPECT_EQ(Form->Table().Model().RowCount(), 2);
    EXPECT_TRUE(bar.ErrorText().startsWith("Unknown column 'slope'"));
    SaveTestPng(Form->grab().toImage(), "app/filter-bar-error.png");

    // Select All and Delete act on what is shown.
    bar.SetText("hbw:65");
    Form->Table().View().selectAll();
    EXPECT_EQ(Form->Model().Selection.Count(), 2);
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete);
    EXPECT_EQ(Form->Model().Patterns.Count(), 1);
    EXPECT_EQ(bar.CountText(), "0 of 1");

    // Esc in the bar clears the filter; the text is remembered for the next start.
    QTest::keyClick(bar.Edit(), Qt::Key_Escape);
    EXPECT_EQ(Form->Table().Model().RowCount(), 1);
    EXPECT_EQ(bar.CountText(), "");
    bar.SetText("c");
    CreateForm();
    EXPECT_EQ(Form->Table().FilterBar().Text(), "c");
}

TEST_F(MainFormTest, FilterCountFollowsEveryRowAndAnErrorLeavesTheFieldUsable) {
    Open({Pattern("a.txt", 850, 10), Pattern("b.txt", 1850, 17)});
    TFilterBar& bar = Form->Table().FilterBar();
    bar.SetText("freq:>1000");
    EXPECT_EQ(bar.CountText(), "1 of 2");
    // Rows the filter hides still count: one file, a batch, a closed hidden pattern.
    Open({Pattern("c.txt", 900, 12)});
    EXPECT_EQ(bar.CountText(), "1 of 3");
    Open({Pattern("d.txt", 2100, 12), Pattern("e.txt", 700, 1)});
    EXPECT_EQ(bar.CountText(), "2 of 5");
    Form->Model().RemovePattern(Form->Model().Patterns.Items(0));
    EXPECT_EQ(bar.CountText(), "2 of 4");

    // In the narrowest window a long message is cut short (whole in its tool tip).
    Form->show();
    Form->resize(640, 600);
    bar.SetText("freq:>1000 slope:6");
    QApplication::processEvents();
    auto* count = bar.findChild<QLabel*>("lblFilterCount");
    EXPECT_GE(bar.Edit()->width(), 160);
    EXPECT_EQ(count->toolTip(), bar.ErrorText());
    EXPECT_TRUE(count->text().endsWith(QChar(0x2026))) << count->text().toStdString();
    EXPECT_LE(count->fontMetrics().horizontalAdvance(count->text()), count->contentsRect().width());
    SaveTestPng(Form->grab().toImage(), "app/filter-bar-error-narrow.png");
    bar.SetText("freq:>1000");
    EXPECT_EQ(count->text(), "2 of 4");
}

TEST_F(MainFormTest, WindowPlaceTableHeightAndColumnsComeBackAfterARestart) {
    Form->show();
    QApplication::processEvents();
    Form->setGeometry(30, 5, 700, 590);
    QHeaderView* header = Form->Table().View().header();
    header->moveSection(header->visualIndex(fcGain), 0);
    header->resizeSection(fcFileName, 250);
    auto* splitter = Form->findChild<QSplitter*>();
    ASSERT_NE(splitter, nullptr);
    splitter->setSizes({150, 300});
    QApplication::processEvents();
    const int tableHeight = splitter->sizes().value(0);
    Form.reset();
    const std::string ini = ReadFileBytes(Folder.File("settings.ini"));
    EXPECT_NE(ini.find("[Window]\r\nLeft=30\r\nTop=5\r\nWidth=700\r\nHeight=590\r\n"),
              std::string::npos)
        << ini;

    Restart();
    Form->show();
    QApplication::processEvents();
    EXPECT_EQ(Form->geometry(), QRect(30, 5, 700, 590));
    header = Form->Table().View().header();
    EXPECT_EQ(header->logicalIndex(0), fcGain);
    EXPECT_EQ(header->logicalIndex(1), fcId);
    EXPECT_EQ(header->sectionSize(fcFileName), 250);
    EXPECT_EQ(Form->findChild<QSplitter*>()->sizes().value(0), tableHeight);
    Form.reset();

    // A place that no screen holds any more is moved onto the screen; the columns still come
    // back.
    TProfileFile profile;
    profile.Load(Folder.File("settings.ini"));
    profile.WriteInteger("Window", "Left", 5000);
    profile.Save(Folder.File("settings.ini"));
    Restart();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(Form->geometry()));
    EXPECT_EQ(Form->size(), QSize(700, 590));
    EXPECT_EQ(Form->Table().View().header()->logicalIndex(0), fcGain);
    Form.reset();

    // A file written when the table had 11 figure columns: those keep their order, widths
    // and visibility; the figures added since start hidden.
    const int older = fcColumnCount + 11;
    const int firstFigure = fcColumnCount;
    std::string order = std::to_string(fcGain) + "," + std::to_string(fcId);
    std::string widths = "40,250";
    for (int column = 0; column < older; ++column) {
        if (column != fcGain && column != fcId) order += "," + std::to_string(column);
        if (column > 1) widths += ",75";
    }
    profile.Load(Folder.File("settings.ini"));
    profile.WriteString("Window", "ColumnOrder", order);
    profile.WriteString("Window", "ColumnWidths", widths);
    profile.WriteString("Window", "HiddenColumns", std::to_string(firstFigure + 1));
    profile.Save(Folder.File("settings.ini"));
    Restart();
    QHeaderView* restored = Form->Table().View().header();
    EXPECT_EQ(restored->logicalIndex(0), fcGain);
    EXPECT_EQ(restored->sectionSize(fcFileName), 250);
    EXPECT_FALSE(restored->isSectionHidden(firstFigure));
    EXPECT_TRUE(restored->isSectionHidden(firstFigure + 1));
    EXPECT_FALSE(restored->isSectionHidden(firstFigure + 2));
    for (int column = older; column < TableColumnCount(); ++column)
        EXPECT_TRUE(restored->isSectionHidden(column)) << column;
}

TEST_F(MainFormTest, CloseAllAndDeleteWithModifiersLeaveNoSelectionBehind) {
    Open({Pattern("a.txt", 1, 1), Pattern("b.txt", 2, 2), Pattern("c.txt", 3, 3)});
    auto enabled = [this](const char* name) {
        return Form->findChild<QAction*>(name)->isEnabled();
    };
    SelectRows({1});
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete, Qt::ShiftModifier);
    SelectRows({0});
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(Form->Table().Model().RowCount(), 1);
    EXPECT_EQ(Cell(0, fcFileName), "c");
    EXPECT_FALSE(enabled("actPrint"));
    SelectRows({0});
    EXPECT_TRUE(enabled("actPrint"));
    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    EXPECT_EQ(Form->Model().Selection.Count(), 0);
    EXPECT_FALSE(enabled("actPrint"));
    EXPECT_FALSE(enabled("actAngles"));
    // With nothing selected the commands that need a pattern do nothing.
    for (const char* name :
         {"actShowSource", "actView3d", "actPrint", "actAngles", "actShowPoints", "mmiCopyImage"}) {
        Form->findChild<QAction*>(name)->trigger();
    }
    QTest::keyClick(&Form->Table().View(), Qt::Key_Delete);
    EXPECT_EQ(Form->Table().Model().RowCount(), 0);
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST_F(MainFormTest, ReopenSubmenuSitsBeforeExitWithShortenedCaptions) {
    QMenu* file = Form->findChild<QMenu*>("mmiFile");
    ASSERT_NE(file, nullptr);
    auto visibleTexts = [file] {
        QStringList texts;
        for (QAction* action : file->actions()) {
            if (action->isVisible()) texts << (action->isSeparator() ? "-" : action->text());
        }
        return texts;
    };
    EXPECT_EQ(visibleTexts(),
              (QStringList{"&Open", "Open &Folder...", "Save &As...", "-", "&Close All", "-",
                           "Copy Image", "-", "Export &Table...", "&Print", "-", "-", "&Exit"}));
    const std::string deep = Folder.Path() + "/a-rather-long-folder-name/another-long-folder-name";
    std::filesystem::create_directories(deep);
    const QString path = QString::fromStdString(deep + "/panel.txt");
    QFile::copy(Pattern("panel.txt", 1, 1), path);
    Open({path});
    EXPECT_EQ(visibleTexts(), (QStringList{"&Open", "Open &Folder...", "Save &As...", "-",
                                           "&Close All", "-", "Copy Image", "-", "Export &Table...",
                                           "&Print", "-", "-", "Reopen", "-", "&Exit"}));
    QMenu* reopen = Form->findChild<QMenu*>("mmiReopen");
    ASSERT_NE(reopen, nullptr);
    const QString caption = reopen->actions().value(0)->text();
    ASSERT_TRUE(caption.startsWith("&1 ")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith("/panel.txt")) << caption.toStdString();
    EXPECT_TRUE(caption.contains(".../")) << caption.toStdString();
    EXPECT_LE(QFontMetrics(reopen->font()).horizontalAdvance(caption.mid(3)), 200);
    EXPECT_EQ(reopen->actions().back()->text(), "&Clear All");

    // Clicking an entry in the open submenu loads the file, which rebuilds that very submenu.
    Form->findChild<QAction*>("mmiCloseAll")->trigger();
    Form->show();
    reopen->popup(QPoint(20, 20));
    QApplication::processEvents();
    const QPoint entry = reopen->actionGeometry(reopen->actions().value(0)).center();
    QTest::mouseClick(reopen, Qt::LeftButton, Qt::NoModifier, entry);
    QApplication::processEvents();
    EXPECT_EQ(Form->Table().Model().RowCount(), 1);
    EXPECT_NE(Form->findChild<QMenu*>("mmiReopen"), nullptr);
    Form->hide();
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST_F(MainFormTest, FunctionKeysWorkFromTheKeyboardWithTheTableFocused) {
    Form->show();
    QApplication::setActiveWindow(Form.get());
    Form->Table().View().setFocus();
    QApplication::processEvents();
    QTest::keyClick(&Form->Table().View(), Qt::Key_F7);
    EXPECT_EQ(Form->ViewModes().StatusPanelText(3), "Scale: Logarithmic");
    QTest::keyClick(&Form->Table().View(), Qt::Key_F6);
    EXPECT_EQ(Form->ViewModes().StatusPanelText(2), "H Cut: Horizontal");
    QTest::keyClick(&Form->Table().View(), Qt::Key_F5);
    EXPECT_EQ(Form->ViewModes().Mode().Graph, TGraphType::Cartesian);
    Form->hide();
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

// Answers the Print command's dialogs as a user would: clicks a print-mode button (or none)
// and OK or Cancel, then picks "Print to File (PDF)" with a path, or cancels.
class TFakePrintDialogs : public TPrintDialogService {
public:
    int RunPrintOptions(TPrintOptionsDialog& dialog) override {
        ++OptionsShown;
        StartMode = dialog.PrintMode();
        if (!Click.isEmpty()) dialog.findChild<QRadioButton*>(Click)->click();
        return ConfirmOptions ? QDialog::Accepted : QDialog::Rejected;
    }
    bool RunPrintDialog(QWidget*, QPrinter& printer) override {
        ++PrintDialogShown;
        if (PdfPath.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PdfPath);
        return true;
    }
    QString Click;
    bool ConfirmOptions = true;
    QString PdfPath;
    int OptionsShown = 0;
    std::optional<TPrintMode> StartMode;
    int PrintDialogShown = 0;
};

int PdfPages(const QString& path) {
    QProcess info;
    info.start("pdfinfo", {path});
    info.waitForFinished(-1);
    const QRegularExpression pages("^Pages:\\s*(\\d+)", QRegularExpression::MultilineOption);
    return pages.match(QString::fromUtf8(info.readAllStandardOutput())).captured(1).toInt();
}

TEST_F(MainFormTest, PrintAsksForTheModeOnlyForSeveralPatternsAndWritesThePages) {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) GTEST_SKIP() << "no pdfinfo";
    Open({Pattern("a.txt", 1, 1), Pattern("b.txt", 2, 2), Pattern("c.txt", 3, 3)});
    struct TCase {
        std::initializer_list<int> Rows;
        const char* Click;
        bool ConfirmOptions;
        bool ChoosePrinter;
        int Options;       // options dialogs shown
        int PrintDialogs;  // print dialogs shown
        int Pages;         // 0: no PDF
    } cases[] = {
        {{1}, "", true, true, 0, 1, 1},
        {{0, 1}, "", true, true, 1, 1, 2},
        {{0, 1, 2}, "rbBoth", true, true, 1, 1, 4},
        {{0, 1, 2}, "rbOverlay", true, true, 1, 1, 1},
        {{0, 2}, "rbBoth", false, true, 1, 0, 0},
        {{2}, "", true, false, 0, 1, 0},
    };
    int n = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(n);
        SelectRows(c.Rows);
        auto dialogs = std::make_unique<TFakePrintDialogs>();
        TFakePrintDialogs& fake = *dialogs;
        fake.Click = c.Click;
        fake.ConfirmOptions = c.ConfirmOptions;
        const QString pdf =
            QString::fromStdString(Folder.File("job" + std::to_string(n++) + ".pdf"));
        if (c.ChoosePrinter) fake.PdfPath = pdf;
        Form->Commands().SetPrintDialogService(std::move(dialogs));
        Form->findChild<QAction*>("actPrint")->trigger();
        EXPECT_EQ(fake.OptionsShown, c.Options);
        if (c.Options > 0) {
            EXPECT_EQ(fake.StartMode, TPrintMode::Single) << "single pages are preselected";
        }
        EXPECT_EQ(fake.PrintDialogShown, c.PrintDialogs);
        if (c.Pages == 0) {
            EXPECT_FALSE(QFileInfo::exists(pdf));
        } else {
            EXPECT_EQ(PdfPages(pdf), c.Pages);
        }
    }
    EXPECT_TRUE(Errors.Shown.isEmpty());
}

TEST_F(MainFormTest, PipesAndDevicesGivenToOpenAreRefusedAtOnceWithTheReason) {
    const std::string pipe = Folder.File("p.txt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    Form->Opening().OpenFiles({QString::fromStdString(pipe), "/dev/zero"});
    Form->Opening().FinishLoading();
    EXPECT_EQ(Form->Table().Model().rowCount(), 0);
    EXPECT_EQ(Status().toStdString(),
              "0 of 2 files opened \u2014 p.txt: Cannot open file \"" + pipe +
                  "\". Not a regular file (named pipe); zero: Cannot open file \"/dev/zero\". Not "
                  "a regular file (character device)");
}

TEST_F(MainFormTest, AReadOnlySettingsFileIsNamedInTheStatusBarAndLeftAsItIs) {
    EXPECT_EQ(Status(), "");
    Form.reset();
    const std::string ini = Folder.File("settings.ini");
    const std::string text = ReadFileBytes(ini);
    ::chmod(ini.c_str(), 0444);
    CreateForm();
    EXPECT_EQ(Status().toStdString(),
              "Settings changed in this session will not be saved: " + ini + ": Permission denied");
    Form.reset();
    EXPECT_EQ(ReadFileBytes(ini), text);
}

TEST_F(MainFormTest, PrintFailureReachesTheUserAsAnErrorMessage) {
    Open({Pattern("a.txt", 1, 1)});
    SelectRows({0});
    const std::pair<std::string, const char*> cases[] = {
        {Folder.File("no such folder/job.pdf"), "No such file or directory"},
        {"/dev/full", "No space left on device"},
    };
    for (const auto& [path, reason] : cases) {
        auto dialogs = std::make_unique<TFakePrintDialogs>();
        dialogs->PdfPath = QString::fromStdString(path);
        Form->Commands().SetPrintDialogService(std::move(dialogs));
        Errors.Shown.clear();
        Form->findChild<QAction*>("actPrint")->trigger();
        ASSERT_EQ(Errors.Shown.size(), 1);
        EXPECT_EQ(Errors.Shown[0].toStdString(),
                  "The PDF could not be written to '" + path + "': " + reason);
    }
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST_F(MainFormTest, FigureColumnsPanelTicksAndExportAsAUserFindsThem) {
    auto beam = [](double slope) {
        return [slope](double a) { return slope * std::min(a, 360 - a); };
    };
    const QString wide = QString::fromStdString(
        Folder.Write("wide.txt", OstrelText("H_WIDTH 30\r\n", beam(0.2), beam(0.4))));
    const QString narrow = QString::fromStdString(
        Folder.Write("narrow.txt", OstrelText("H_WIDTH 65\r\n", beam(0.4), beam(0.4))));
    Open({wide, narrow});
    Form->show();
    QHeaderView* header = Form->Table().View().header();
    ASSERT_EQ(Form->Table().Model().columnCount(), TableColumnCount());
    for (int column = fcColumnCount; column < TableColumnCount(); ++column) {
        EXPECT_TRUE(header->isSectionHidden(column)) << "the table looks as it always did";
    }
    const int width3 = fcColumnCount;
    EXPECT_EQ(Form->Table().Model().headerData(width3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QString::fromUtf8("H 3 dB width (\u00b0)"));
    EXPECT_EQ(Cell(0, width3), "30.0");
    EXPECT_EQ(Cell(1, width3), "15.0");
    // Only the second file's header disagrees: a mark with a tool tip on its row.
    EXPECT_FALSE(Form->Table().Model().index(0, fcId).data(Qt::ToolTipRole).isValid());
    EXPECT_TRUE(Form->Table()
                    .Model()
                    .index(1, fcId)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .endsWith("h_width 65 vs 15.0"));
    EXPECT_FALSE(Form->Table().Model().index(1, fcId).data(Qt::DecorationRole).isNull());

    // The header's context menu shows the column; the choice survives a restart.
    std::unique_ptr<QMenu> menu(Form->Table().Columns().BuildMenu(nullptr));
    ASSERT_EQ(menu->actions().size(), TableColumnCount());
    menu->actions()[width3]->trigger();
    EXPECT_FALSE(header->isSectionHidden(width3));
    Form->Table().SortByColumn(width3);
    EXPECT_EQ(Cell(0, fcFileName), "narrow");

    // View > Figures lists the selection side by side and copies it as tab-separated text.
    SelectRows({0, 1});
    Form->findChild<QAction*>("mmiFigures")->trigger();
    EXPECT_TRUE(Form->Figures().Panel().isVisible());
    EXPECT_TRUE(Form->Figures().Panel().CopyText().startsWith(
        "\twide\tnarrow\r\nH 3 dB width (\u00b0)\t30.0\t15.0\r\n"));
    Form->Figures().Panel().CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), Form->Figures().Panel().CopyText());

    QAction* ticks = Form->findChild<QAction*>("mmiBeamTicks");
    EXPECT_FALSE(ticks->isChecked());
    ticks->trigger();
    EXPECT_TRUE(GetSettings().FShowBeamTicks);
    Form->resize(1100, 800);
    QApplication::processEvents();
    SaveTestPng(Form->grab().toImage(), "app/main_window_figures.png");
    ticks->trigger();

    const std::string csv = Folder.File("table.csv");
    EXPECT_EQ(ExportTableCsv(Form->Table().Model(), csv), "");
    const std::string text = ReadFileBytes(csv);
    EXPECT_NE(text.find("\r\n1,narrow.txt,"), std::string::npos) << text;
    EXPECT_NE(text.find(",h_width 65 vs 15.0\r\n"), std::string::npos) << text;

    Form.reset();
    CreateForm();
    EXPECT_FALSE(Form->Table().View().header()->isSectionHidden(width3));
    EXPECT_TRUE(Form->Table().View().header()->isSectionHidden(width3 + 1));
}

// Answers Export Table's save dialog and its replace question.
class TAnsweringSaveDialog : public TSaveDialogService {
public:
    QString GetSaveFileName(QWidget*, const QString& proposedPath, const QStringList&,
                            QString& selectedFilter) override {
        Proposed << proposedPath;
        selectedFilter = Filter;
        return Answers.isEmpty() ? QString() : Answers.takeFirst();
    }
    bool ConfirmReplace(QWidget*, const QString& question) override {
        Questions << question;
        return Replace;
    }
    QStringList Answers;
    QString Filter = "CSV files (*.csv)";
    bool Replace = false;
    QStringList Proposed;
    QStringList Questions;
};

TEST_F(MainFormTest, ExportTableWritesACsvFileAndSaysWhatItWrote) {
    Open({Pattern("a.txt", 850, 10), Pattern("b.txt", 1850, 17.5), Pattern("c.txt", 2100, 18)});
    auto owned = std::make_unique<TAnsweringSaveDialog>();
    TAnsweringSaveDialog& dialog = *owned;
    Form->Figures().SetSaveDialogService(std::move(owned));
    QAction* exportTable = Form->findChild<QAction*>("mmiExportTable");
    const QString folder = QString::fromStdString(Folder.Path());

    dialog.Answers = {folder + "/all"};
    exportTable->trigger();
    EXPECT_EQ(dialog.Proposed, QStringList{folder + "/table.csv"});
    EXPECT_EQ(Status(), "Table of 3 patterns exported to all.csv");
    EXPECT_NE(ReadFileBytes(Folder.File("all.csv")).find("\r\n2,c.txt,2100,"), std::string::npos);

    // The name we completed exists: asked as the dialog asks; "no" writes nothing.
    Form->Table().FilterBar().SetText("gain:>=17");
    dialog.Answers = {folder + "/all", QString()};
    exportTable->trigger();
    EXPECT_EQ(dialog.Questions, QStringList{"all.csv already exists.\nDo you want to replace it?"});
    EXPECT_EQ(dialog.Proposed.last(), folder + "/all.csv");
    EXPECT_NE(ReadFileBytes(Folder.File("all.csv")).find("\r\n0,a.txt"), std::string::npos);
    dialog.Answers = {folder + "/all"};
    dialog.Replace = true;
    exportTable->trigger();
    EXPECT_EQ(Status(), "Table of 2 patterns exported to all.csv (2 of 3 shown by the filter)");
    EXPECT_EQ(ReadFileBytes(Folder.File("all.csv")).find("\r\n0,a.txt"), std::string::npos);

    // "All files" takes the name as typed.
    dialog.Filter = "All files (*)";
    dialog.Answers = {folder + "/shown.txt"};
    exportTable->trigger();
    EXPECT_TRUE(std::filesystem::exists(Folder.File("shown.txt")));
}

TEST_F(MainFormTest, FilesWrittenKeepNamesThatAreNotUtf8) {
    Open({Pattern("a.txt", 850, 10)});
    SelectRows({0});
    const std::string latin = Folder.File("caf\xE9");
    std::filesystem::create_directory(latin);
    // As the folder travels in the window, and as a file dialog can only show it.
    const QString escaped = PathText(latin);
    const QString shown = QString::fromStdString(Folder.File("caf\uFFFD"));

    auto owned = std::make_unique<TAnsweringSaveDialog>();
    TAnsweringSaveDialog& dialog = *owned;
    Form->Figures().SetSaveDialogService(std::move(owned));
    dialog.Answers = {escaped + "/t", shown + "/u"};
    for (int i = 0; i < 2; ++i) Form->findChild<QAction*>("mmiExportTable")->trigger();
    EXPECT_TRUE(IsExistingFile(latin + "/t.csv")) << Status().toStdString();
    EXPECT_TRUE(IsExistingFile(latin + "/u.csv"));

    for (const QString& folder : {escaped, shown}) {
        auto print = std::make_unique<TFakePrintDialogs>();
        print->PdfPath = folder + "/job.pdf";
        Form->Commands().SetPrintDialogService(std::move(print));
        Form->findChild<QAction*>("actPrint")->trigger();
        EXPECT_TRUE(Errors.Shown.empty()) << Errors.Shown.join("").toStdString();
        EXPECT_TRUE(ReadFileBytes(latin + "/job.pdf").starts_with("%PDF"));
        std::filesystem::remove(latin + "/job.pdf");
    }
}

TEST_F(MainFormTest, FiguresPanelOpensWideEnoughForItsContentAndKeepsItsWidth) {
    Open({Pattern("a.txt", 850, 10, 65), Pattern("b.txt", 1850, 17, 65)});
    Form->show();
    SelectRows({0, 1});
    Form->findChild<QAction*>("mmiFigures")->trigger();
    QApplication::processEvents();
    TFiguresPanel& panel = Form->Figures().Panel();
    EXPECT_EQ(panel.width(), panel.FittingWidth());
    EXPECT_EQ(panel.Table()->horizontalScrollBar()->maximum(), 0)
        << "every caption and both patterns fit";
    Form->resizeDocks({&panel}, {panel.width() + 90}, Qt::Horizontal);
    QApplication::processEvents();
    const int chosen = panel.width();
    EXPECT_GT(chosen, panel.FittingWidth());
    Form.reset();
    EXPECT_NE(
        ReadFileBytes(Folder.File("settings.ini")).find("FiguresWidth=" + std::to_string(chosen)),
        std::string::npos);

    CreateForm();
    Form->show();
    Form->findChild<QAction*>("mmiFigures")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Form->Figures().Panel().width(), chosen);
    // Widened further with many patterns shown, the graphs keep out of the legend's way.
    for (int i = 0; i < 8; ++i)
        Open({Pattern("band_" + std::to_string(1850 + i) + ".txt", 1850, 17)});
    Form->Table().View().selectAll();
    Form->resizeDocks({&Form->Figures().Panel()}, {560}, Qt::Horizontal);
    QApplication::processEvents();
    SaveTestPng(Form->grab().toImage(), "app/figures-panel-wide.png");
}

}  // namespace
}  // namespace ostrel

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "formats/EdxFile.h"
#include "model/Errors.h"
#include "model/MainModel.h"
#include "model/NumberText.h"
#include "model/PlatformServices.h"
#include "support/PatternText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

class TFakeClipboard : public TClipboardService {
public:
    void SetText(const std::string& text) override { Text = text; }
    std::string Text;
};

// Every level tells its cut and elevation apart: cut c at elevation e is c + (e + 90) / 1000.
double Level(int cut, int elevation) {
    return cut + (elevation + 90) / 1000.0;
}
double Azimuth(int angle) {
    return angle / 10.0;
}

std::vector<std::vector<std::string>> TableRows(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    size_t start = 0;
    for (size_t end = table.find("\r\n"); end != std::string::npos;
         start = end + 2, end = table.find("\r\n", start)) {
        std::vector<std::string> fields;
        std::istringstream line(table.substr(start, end - start));
        std::string field;
        while (std::getline(line, field, '\t')) fields.push_back(field);
        if (!table.empty() && table[end - 1] == '\t') fields.emplace_back();
        rows.push_back(fields);
    }
    EXPECT_EQ(start, table.size()) << "the table ends with CR LF";
    return rows;
}

TEST(EdxFile, ImportAddsOnePatternPerCutWithTheSharedAzimuthCutAndItsOwnVerticalCut) {
    TTempDir folder;
    const std::string path = folder.Write("site.doc", EdxText(72, Azimuth, Level));
    TMainModel model;
    model.AddPattern(std::make_unique<TPatternData>());
    std::vector<std::string> added;
    model.OnPatternAdded = [&](TMainModel&, TPatternData& pattern) {
        added.push_back(pattern.FileName);
    };
    TFakeClipboard clipboard;
    ImportEdxFile(path, model, clipboard);

    ASSERT_EQ(model.Patterns.Count(), 72) << "the pattern open before is closed";
    ASSERT_EQ(added.size(), 72u);
    for (int c = 0; c < 72; ++c) {
        const TPatternData& pattern = model.Patterns.Items(c);
        EXPECT_EQ(pattern.Id, c);
        EXPECT_EQ(pattern.FileName, "az_angle_ref_" + EdxLabel(c));
        EXPECT_EQ(added[static_cast<size_t>(c)], pattern.FileName);
        EXPECT_TRUE(pattern.Frequency.IsNull);
        EXPECT_TRUE(pattern.Gain.IsNull);
        ASSERT_EQ(pattern.AzimuthCut.Count(), 361);
        // Azimuth 10 degrees is line 11 of the file, level 1 for every cut; -170 is 190.
        EXPECT_DOUBLE_EQ(pattern.AzimuthCut.PointAt(190).Y, -1.0);
        EXPECT_DOUBLE_EQ(pattern.AzimuthCut.PointAt(10).Y, -19.0);
        // Vertical: 0 degrees is the horizon, +30 is elevation 30, -30 elevation -30 (at
        // 330), and the back half is -60.
        EXPECT_DOUBLE_EQ(pattern.VerticalCut.PointAt(180).Y, -Level(c, 0));
        EXPECT_DOUBLE_EQ(pattern.VerticalCut.PointAt(210).Y, -Level(c, 30));
        EXPECT_DOUBLE_EQ(pattern.VerticalCut.PointAt(150).Y, -Level(c, -30));
        EXPECT_DOUBLE_EQ(pattern.VerticalCut.PointAt(0).Y, -60);
        EXPECT_DOUBLE_EQ(pattern.HorizontalCut.PointAt(180).Y, -Level(c, 0));
    }
    EXPECT_EQ(clipboard.Text.substr(0, 8), "\tAZ 180\t");
}

TEST(EdxFile, ExpandedCutKeepsTheFrontHalfAndSetsTheBackHalfToMinus60) {
    TRealPointList block;
    for (int j = 0; j <= 180; ++j) block.Add(90 - j, Level(3, 90 - j));
    TRealPointList cut;
    cut.Add(1, 1);
    ExpandVerticalCut(block, cut);
    ASSERT_EQ(cut.Count(), 360);
    for (int p = 0; p <= 90; ++p) {
        EXPECT_EQ(cut.PointAt(p).X, p);
        EXPECT_DOUBLE_EQ(cut.PointAt(p).Y, Level(3, p));
    }
    for (int p = 91; p <= 269; ++p) {
        EXPECT_EQ(cut.PointAt(p).X, p);
        EXPECT_EQ(cut.PointAt(p).Y, -60) << p;
    }
    for (int p = 270; p <= 359; ++p) {
        EXPECT_EQ(cut.PointAt(p).X, p);
        EXPECT_DOUBLE_EQ(cut.PointAt(p).Y, Level(3, p - 360));
    }
    // The angles written on the front-half lines are kept as they are.
    block.PointAt(90).X = 0.25;
    ExpandVerticalCut(block, cut);
    EXPECT_EQ(cut.PointAt(0).X, 0.25);
    TRealPointList shortBlock;
    for (int j = 0; j < 180; ++j) shortBlock.Add(90 - j, 0);
    EXPECT_THROW(ExpandVerticalCut(shortBlock, cut), EListError);
}

TEST(EdxFile, CutTableHas182LinesOf74FieldsFromTheMiddleCutRoundToItAgain) {
    TEdxFileEx file;
    file.LoadFromText(EdxText(74, Azimuth, Level));
    EXPECT_EQ(file.Cuts.Count(), 74);
    const auto rows = TableRows(file.CutTableText());
    ASSERT_EQ(rows.size(), 182u);
    std::vector<int> order;
    for (int c = 36; c <= 71; ++c) order.push_back(c);
    for (int c = 0; c <= 36; ++c) order.push_back(c);
    ASSERT_EQ(rows[0].size(), 74u);
    EXPECT_EQ(rows[0][0], "");
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(rows[0][i + 1], EdxLabel(order[i]));
    for (int a = -90; a <= 90; ++a) {
        const auto& row = rows[static_cast<size_t>(a + 91)];
        ASSERT_EQ(row.size(), 74u) << a;
        EXPECT_EQ(row[0], std::to_string(a));
        for (size_t i = 0; i < order.size(); ++i) {
            EXPECT_EQ(row[i + 1], FormatGeneral(Level(order[i], a))) << a << " " << order[i];
        }
    }
    EXPECT_EQ(rows[1][1], "36");
    EXPECT_EQ(rows[181][73], "36.18");
}

TEST(EdxFile, UnitAfterALevelIsSkippedInTheAzimuthPatternButFailsAVerticalCut) {
    std::string text = EdxText(72, Azimuth, Level);
    // Line 11 is azimuth 10.
    const std::string azimuthLine = "\r\n10, 1\r\n";
    ASSERT_NE(text.find(azimuthLine), std::string::npos);
    std::string withUnit = text;
    withUnit.replace(withUnit.find(azimuthLine), azimuthLine.size(), "\r\n10, 1 dB\r\n");
    TEdxFileEx file;
    file.LoadFromText(withUnit);
    EXPECT_EQ(file.HorizontalPoints.Count(), 359);
    EXPECT_EQ(file.Cuts.Items(5).HorizontalPoints.Count(), 359);
    EXPECT_EQ(file.HorizontalPoints.PointAt(10).X, 11);

    // The first data line of the second cut: line 363 + 182 + 1 (1-based 547).
    const std::string verticalLine = "\r\n" + EdxLabel(1) + "\r\n90,  1.18\r\n";
    ASSERT_NE(text.find(verticalLine), std::string::npos);
    withUnit = text;
    withUnit.replace(withUnit.find(verticalLine), verticalLine.size(),
                     "\r\n" + EdxLabel(1) + "\r\n90,  1.18 dB\r\n");
    try {
        file.LoadFromText(withUnit);
        FAIL() << "a unit in a vertical cut must fail";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'1.18 dB' is not a valid floating point value (line 547)");
    }
    EXPECT_EQ(file.HorizontalPoints.Count(), 359) << "a failed read keeps what was there";
    EXPECT_EQ(file.Cuts.Count(), 72);
}

TEST(EdxFile, ShortFilesAndBadCountsFailWithTheModelEmptyAndTheClipboardUntouched) {
    std::string badCount = EdxText(72, Azimuth, Level);
    badCount.replace(badCount.find("\r\n72, cuts\r\n"), 12, "\r\nseventy-two, cuts\r\n");
    std::string nulInCount = EdxText(72, Azimuth, Level);
    nulInCount.replace(nulInCount.find("\r\n72, cuts\r\n"), 12,
                       std::string("\r\n70\0\x1b"
                                   "2, cuts\r\n",
                                   15));
    std::string noComma = EdxText(72, Azimuth, Level);
    noComma.replace(noComma.find("\r\n72, cuts\r\n"), 12, "\r\n72 cuts\r\n");
    std::string oneShortBlock = EdxText(72, Azimuth, Level);
    oneShortBlock.replace(oneShortBlock.find("\r\n0,  3.09\r\n"), 12, "\r\nhorizon\r\n");
    const std::string header = EdxText(0, Azimuth, Level);
    struct TCase {
        const char* Name;
        std::string Text;
        std::string Message;
    } cases[] = {
        {"71 cuts", EdxText(71, Azimuth, Level),
         "The file has 71 vertical cuts; the cut table needs at least 72"},
        {"negative count", EdxText(-3, Azimuth, Level),
         "The file has 0 vertical cuts; the cut table needs at least 72"},
        {"blocks missing", EdxText(72, Azimuth, Level, 40),
         "The file ends at line 7643; vertical cut 41 needs lines 7644 to 7825"},
        {"last block cut short", EdxText(72, Azimuth, Level).substr(0, header.size() + 100),
         "The file ends at line"},
        {"count not a number", badCount, "'seventy-two' is not a valid integer value (line 363)"},
        {"NUL and ESC in the count are shown, the rest kept", nulInCount,
         "'70\\x00\\x1B2' is not a valid integer value (line 363)"},
        {"count line without comma", noComma, "The number of vertical cuts is missing (line 363)"},
        {"count line missing", header.substr(0, header.find("Vertical cuts\r\n") + 15),
         "The number of vertical cuts is missing (line 363)"},
        {"empty file", "", "The number of vertical cuts is missing (line 363)"},
        {"a data line of a block is text", oneShortBlock,
         "Vertical cut 4 (line 910) has 180 data lines; 181 are needed"},
    };
    TTempDir folder;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = folder.Write("broken.doc", c.Text);
        TMainModel model;
        model.AddPattern(std::make_unique<TPatternData>());
        TFakeClipboard clipboard;
        clipboard.Text = "before";
        try {
            ImportEdxFile(path, model, clipboard);
            ADD_FAILURE() << "the import must fail";
        } catch (const EOstrelError& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, c.Message.size()), c.Message);
        }
        EXPECT_EQ(model.Patterns.Count(), 0);
        EXPECT_EQ(clipboard.Text, "before");
    }
}

}  // namespace
}  // namespace ostrel

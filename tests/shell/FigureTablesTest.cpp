#include "shell/FigureTables.h"

#include <gtest/gtest.h>

#include "formats/PatternLoaders.h"
#include "shell/FileTable.h"

namespace ostrel {
namespace {

// Texts a spreadsheet would run as formulas get a leading "'", numbers stay numbers, and a
// frequency or gain the file does not give is empty (the table shows 0 for it).
TEST(FigureTables, CsvCellsNeverStartFormulasAndLeaveUnknownValuesEmpty) {
    const auto pattern = LoadPatternFile(OSTREL_SAMPLES_DIR "/tilted_6deg.msi").TakeFirst();
    ASSERT_TRUE(pattern);
    pattern->Id = 0;
    pattern->HRotationOffset = -3.5;
    const std::pair<std::string, std::string> cases[] = {
        {"=1+1.msi", "'=1+1.msi,"},     {"@SUM(A1).msi", "'@SUM(A1).msi,"},
        {"+49 a.msi", "'+49 a.msi,"},   {"-3.5.msi", "'-3.5.msi,"},
        {"\tcmd.msi", "'\tcmd.msi,"},   {"\rcmd.msi", "\"'\rcmd.msi\","},
        {"=A,B.msi", "\"'=A,B.msi\","}, {"a=2.msi", "a=2.msi,"},
    };
    for (const auto& [name, cell] : cases) {
        pattern->FileName = "/lib/" + name;
        pattern->Gain.SetValue(name == "a=2.msi" ? -2 : 17);
        const std::string gain = name == "a=2.msi" ? "'-2.0 (-4.1)" : "17.0 (14.9)";
        EXPECT_NE(TableCsvText({pattern.get()}, true, THCut::Azimuth)
                      .find("\r\n0," + cell + "1960," + gain + ",90,9,-3.5,0,89.8,"),
                  std::string::npos)
            << name;
    }
    TPatternData unknown;
    unknown.Id = 0;
    unknown.FileName = "az_angle_ref_AZ 0";
    EXPECT_NE(TableCsvText({&unknown}, true, THCut::Azimuth).find("\r\n0,az_angle_ref_AZ 0,,,"),
              std::string::npos);
}

// The figures of a measured sphere: their own decimals in the table, blank for two cuts and
// sorted after the values, rows of the Figures panel only when some pattern has a sphere.
TEST(FigureTables, SphereFiguresOnlyWhereThereIsASphere) {
    const auto sphere =
        LoadPatternFile(OSTREL_SAMPLES_DIR "/panel65_polar_shuffled.json").TakeFirst();
    const auto twoCuts = LoadPatternFile(OSTREL_SAMPLES_DIR "/tilted_6deg.msi").TakeFirst();
    ASSERT_TRUE(sphere && twoCuts);
    int directivity = -1;
    for (int column = 0; column < TableColumnCount(); ++column) {
        if (std::string(TableColumnHeader(column)) == "Directivity (dBi)") directivity = column;
    }
    ASSERT_GE(directivity, 0);
    const std::string text = TableCellText(*sphere, directivity, true, THCut::Azimuth);
    EXPECT_EQ(text.size() - text.find('.'), 4u) << text;
    EXPECT_EQ(TableCellText(*twoCuts, directivity, true, THCut::Azimuth), "");
    std::vector<TPatternData*> rows = {twoCuts.get(), sphere.get()};
    SortTableRows(rows, directivity, false, THCut::Azimuth);
    EXPECT_EQ(rows.front(), sphere.get());

    auto hasRow = [](const std::vector<std::vector<std::string>>& grid, const char* caption) {
        return std::any_of(grid.begin(), grid.end(),
                           [caption](const auto& row) { return row.front() == caption; });
    };
    EXPECT_FALSE(hasRow(FiguresGrid({twoCuts.get()}, true, THCut::Azimuth), "EAS cell (%)"));
    const auto both = FiguresGrid({twoCuts.get(), sphere.get()}, true, THCut::Azimuth);
    EXPECT_TRUE(hasRow(both, "EAS cell (%)"));
    EXPECT_TRUE(hasRow(both, "H 3 dB width (\u00b0)"));
}

}  // namespace
}  // namespace ostrel

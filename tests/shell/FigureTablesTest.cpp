#include "shell/FigureTables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/PatternLoaders.h"
#include "shell/FileTable.h"

namespace ostrel {
namespace {

// The cells of a CSV row up to the first figure: ID, file name, frequency, gain, widths,
// offsets, then h_width_3db; and the row's last cell, the header check.
std::vector<std::string> RowStart(const std::string& csv, size_t cells) {
    const size_t rowStart = csv.find("\r\n") + 2;
    std::vector<std::string> row;
    size_t at = rowStart;
    for (size_t i = 0; i < cells; ++i) {
        if (csv[at] == '"') {
            const size_t close = csv.find("\",", at + 1);
            row.push_back(csv.substr(at, close + 1 - at));
            at = close + 2;
        } else {
            const size_t comma = csv.find(',', at);
            row.push_back(csv.substr(at, comma - at));
            at = comma + 1;
        }
    }
    return row;
}

// Texts a spreadsheet would run as formulas get a leading "'", numbers (negative ones too)
// stay numbers, and a frequency or gain the file does not give is an empty cell, although
// the table shows 0 for it.
TEST(FigureTables, CsvCellsNeverStartFormulasAndLeaveUnknownValuesEmpty) {
    const std::unique_ptr<TPatternData> pattern =
        LoadPatternData(OSTREL_SAMPLES_DIR "/tilted_6deg.msi");
    ASSERT_TRUE(pattern);
    pattern->Id = 0;
    pattern->HRotationOffset = -3.5;
    struct TCase {
        std::string Name;
        double Gain;
        std::string NameCell;
        std::string GainCell;
    } const cases[] = {
        {"=1+1.msi", 17, "'=1+1.msi", "17.0 (14.9)"},
        {"@SUM(A1).msi", 17, "'@SUM(A1).msi", "17.0 (14.9)"},
        {"+49 panel.msi", 17, "'+49 panel.msi", "17.0 (14.9)"},
        {"-3.5.msi", 17, "'-3.5.msi", "17.0 (14.9)"},
        {"\tcmd.msi", 17, "'\tcmd.msi", "17.0 (14.9)"},
        {"\rcmd.msi", 17, "\"'\rcmd.msi\"", "17.0 (14.9)"},
        {"=A1,B2.msi", -2, "\"'=A1,B2.msi\"", "'-2.0 (-4.1)"},
        {"panel=2.msi", 0, "panel=2.msi", "0.0 (-2.1)"},
    };
    for (const TCase& c : cases) {
        pattern->FileName = "/lib/" + c.Name;
        pattern->Gain.SetValue(c.Gain);
        const std::string csv = TableCsvText({pattern.get()}, true, true);
        EXPECT_EQ(RowStart(csv, 9), (std::vector<std::string>{"0", c.NameCell, "1960", c.GainCell,
                                                              "90", "9", "-3.5", "0", "89.8"}))
            << csv;
    }
    int negativeFigures = 0;
    for (int column = fcColumnCount; column < TableColumnCount(); ++column) {
        const std::string figure = TableCellText(*pattern, column, true, true);
        if (figure.empty() || figure[0] != '-') continue;
        ++negativeFigures;
        EXPECT_NE(TableCsvText({pattern.get()}, true, true).find("," + figure + ","),
                  std::string::npos);
    }
    EXPECT_GT(negativeFigures, 0);

    TPatternData unknown;
    unknown.Id = 0;
    unknown.FileName = "/lib/az_angle_ref_AZ 0";
    EXPECT_EQ(TableCellText(unknown, fcFrequency, true, true), "0");
    EXPECT_EQ(TableCellText(unknown, fcGain, true, true), "0.0 (-2.1)");
    EXPECT_EQ(RowStart(TableCsvText({&unknown}, true, true), 4),
              (std::vector<std::string>{"0", "az_angle_ref_AZ 0", "", ""}));
}

}  // namespace
}  // namespace ostrel

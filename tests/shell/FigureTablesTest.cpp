#include "shell/FigureTables.h"

#include <gtest/gtest.h>

#include "formats/PatternLoaders.h"

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
        EXPECT_NE(TableCsvText({pattern.get()}, true, true)
                      .find("\r\n0," + cell + "1960," + gain + ",90,9,-3.5,0,89.8,"),
                  std::string::npos)
            << name;
    }
    TPatternData unknown;
    unknown.Id = 0;
    unknown.FileName = "az_angle_ref_AZ 0";
    EXPECT_NE(TableCsvText({&unknown}, true, true).find("\r\n0,az_angle_ref_AZ 0,,,"),
              std::string::npos);
}

}  // namespace
}  // namespace ostrel

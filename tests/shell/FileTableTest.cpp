#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "shell/FileTable.h"

namespace ostrel {
namespace {

std::unique_ptr<TPatternData> Row(int id, const std::string& file, double frequency, double gain) {
    auto row = std::make_unique<TPatternData>();
    row->Id = id;
    row->FileName = file;
    row->Frequency.SetValue(frequency);
    row->Gain.SetValue(gain);
    return row;
}

TEST(FileTable, CellTextsFollowTheColumns) {
    auto row = Row(12, "/sites/north/Panel.A.msi", 850.5, 17.5);
    row->HorzWidth.SetValue(65);
    row->HRotationOffset = 12.5;
    EXPECT_EQ(FileCellText(*row, fcId, false), "12");
    EXPECT_EQ(FileCellText(*row, fcFileName, false), "Panel.A");
    EXPECT_EQ(FileCellText(*row, fcFileName, true), "Panel.A.msi");
    EXPECT_EQ(FileCellText(*row, fcFrequency, false), "850.5");
    EXPECT_EQ(FileCellText(*row, fcGain, false), "17.5 (15.4)");
    EXPECT_EQ(FileCellText(*row, fcHorzWidth, false), "65");
    EXPECT_EQ(FileCellText(*row, fcVertWidth, false), "");
    EXPECT_EQ(FileCellText(*row, fcHRotationOffset, false), "12.5");
    EXPECT_EQ(FileCellText(*row, fcVRotationOffset, false), "0");
    EXPECT_EQ(FileCellText(*row, 99, false), "");
    TPatternData empty;
    EXPECT_EQ(FileCellText(empty, fcFrequency, false), "0") << "a null frequency shows its value";
    EXPECT_EQ(FileCellText(empty, fcGain, false), "0.0 (-2.1)");

    EXPECT_STREQ(FileColumnInfo(fcGain).Header, "Gain, dBi (dBd)");
    EXPECT_EQ(FileColumnInfo(fcFileName).Width, 300);
    EXPECT_EQ(FileColumnInfo(fcId).Align, caRight);
    EXPECT_THROW(FileColumnInfo(fcColumnCount), EListError);
}

TEST(FileTable, ComparisonRulesOfEachColumn) {
    auto a = Row(3, "/x/A.msi", 850.2, 17.5);
    auto b = Row(5, "/y/b.txt", 850.4, 17.5);
    EXPECT_LT(CompareFileRows(*a, *b, fcId), 0);
    EXPECT_LT(CompareFileRows(*a, *b, fcFileName), 0) << "A.msi before b.txt";
    EXPECT_EQ(CompareFileRows(*a, *b, fcFrequency), 0) << "850.2 and 850.4 tie";
    EXPECT_EQ(CompareFileRows(*a, *b, fcGain), 0);
    a->Frequency.SetValue(850.5);
    b->Frequency.SetValue(850.0);
    EXPECT_EQ(CompareFileRows(*a, *b, fcFrequency), 0) << "half rounds to even";
    a->Frequency.SetValue(851.5);
    EXPECT_EQ(CompareFileRows(*a, *b, fcFrequency), 2);
    EXPECT_EQ(CompareFileRows(*b, *a, fcFrequency), -2);
    a->Gain.SetValue(17.51);
    EXPECT_EQ(CompareFileRows(*a, *b, fcGain), 1);
    b->HorzWidth.SetValue(-5);
    EXPECT_EQ(CompareFileRows(*a, *b, fcHorzWidth), 1) << "a missing width counts as 0";
    a->HorzWidth.SetValue(65);
    a->HorzWidth.SetIsNull(true);
    EXPECT_EQ(CompareFileRows(*a, *b, fcHorzWidth), 1);
    a->VRotationOffset = 0.4;
    EXPECT_EQ(CompareFileRows(*a, *b, fcVRotationOffset), 0);
    a->VRotationOffset = 1e300;
    EXPECT_GT(CompareFileRows(*a, *b, fcVRotationOffset), 0);
}

TEST(FileTable, SortingIsStableInBothDirectionsAndSafeOnIntransitiveTies) {
    std::vector<std::unique_ptr<TPatternData>> owned;
    std::vector<TPatternData*> rows;
    const std::vector<double> frequencies = {851.0, 850.2, 850.6, 900, 850.4, 700};
    for (size_t i = 0; i < frequencies.size(); ++i) {
        owned.push_back(Row(static_cast<int>(i), "f" + std::to_string(i), frequencies[i], 0));
        rows.push_back(owned.back().get());
    }
    SortFileRows(rows, fcId, false);
    EXPECT_EQ(rows.front()->Id, 5);
    EXPECT_EQ(rows.back()->Id, 0);
    SortFileRows(rows, fcId, true);
    SortFileRows(rows, fcGain, true);
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i]->Id, static_cast<int>(i));

    std::mt19937 random(3);
    for (int trial = 0; trial < 200; ++trial) {
        std::shuffle(rows.begin(), rows.end(), random);
        SortFileRows(rows, fcFrequency, trial % 2 == 0);
        ASSERT_EQ(rows.size(), frequencies.size());
        const bool ascending = trial % 2 == 0;
        EXPECT_EQ((ascending ? rows.front() : rows.back())->Id, 5);
        EXPECT_EQ((ascending ? rows.back() : rows.front())->Id, 3);
    }
    std::vector<TPatternData*> none;
    SortFileRows(none, fcFileName, true);
    EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

TEST(FileTable, SplitterKeepsTheTableBetween100AndTheWindowHeightLess300) {
    EXPECT_FALSE(SplitterAllowsTableHeight(100, 580));
    EXPECT_TRUE(SplitterAllowsTableHeight(101, 580));
    EXPECT_TRUE(SplitterAllowsTableHeight(279, 580));
    EXPECT_FALSE(SplitterAllowsTableHeight(280, 580));
    EXPECT_FALSE(SplitterAllowsTableHeight(150, 300));
}

// Figure columns sort by value with empty cells last, ascending or descending.
TEST(FileTable, FigureColumnsSortNumericallyWithEmptyCellsLast) {
    std::vector<std::unique_ptr<TPatternData>> owned;
    std::vector<TPatternData*> rows;
    for (double squint : {10.0, -20.0, 99.0, 5.0}) {
        owned.push_back(Row(static_cast<int>(owned.size()), "p.txt", 850, 0));
        if (squint != 99.0) {  // the third has no cuts, so no figures
            for (int a = -180; a <= 180; ++a) {
                owned.back()->HorizontalCut.Add(a, -std::fabs(std::remainder(a - squint, 360.0)));
            }
            owned.back()->VerticalCut = owned.back()->HorizontalCut;
            owned.back()->AzimuthCut = owned.back()->HorizontalCut;
            owned.back()->CutsChanged();
        }
        rows.push_back(owned.back().get());
    }
    int squintColumn = -1;
    for (int column = fcColumnCount; column < TableColumnCount(); ++column) {
        if (std::string(TableColumnHeader(column)) == "Squint (\u00b0)") squintColumn = column;
    }
    ASSERT_GT(squintColumn, 0);
    EXPECT_EQ(TableCellText(*rows[1], squintColumn, false, THCut::Horizontal), "-20.0");
    EXPECT_EQ(TableCellText(*rows[2], squintColumn, false, THCut::Horizontal), "");
    auto ids = [&rows] {
        std::vector<int> result;
        for (const TPatternData* row : rows) result.push_back(row->Id);
        return result;
    };
    SortTableRows(rows, squintColumn, true, THCut::Horizontal);
    EXPECT_EQ(ids(), (std::vector<int>{1, 3, 0, 2}));
    SortTableRows(rows, squintColumn, false, THCut::Azimuth);
    EXPECT_EQ(ids(), (std::vector<int>{0, 3, 1, 2}));
}

}  // namespace
}  // namespace ostrel

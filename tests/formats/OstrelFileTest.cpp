#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "formats/PlanningFiles.h"
#include "formats/TextLines.h"
#include "model/Errors.h"
#include "support/PatternText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

const char kSections[] = "HORIZONTAL 360\r\n0\t0\r\n1\t1.5\r\nVERTICAL 360\r\n0 0\r\n1 -2\r\n";

std::unique_ptr<TOstrelFile> Read(const std::string& text) {
    auto file = std::make_unique<TOstrelFile>();
    file->LoadFromText(text);
    return file;
}

TEST(OstrelFile, GainLineUnitsAndPlacement) {
    EXPECT_NEAR(Read("gain 15.85 dbd\n" + std::string(kSections))->Gain, 17.99, 1e-12);
    EXPECT_DOUBLE_EQ(Read("GAIN 17.99 DBI\n" + std::string(kSections))->Gain, 17.99);
    EXPECT_DOUBLE_EQ(Read("GAIN 17.99\n" + std::string(kSections))->Gain, 17.99);
    EXPECT_DOUBLE_EQ(Read("GAIN 17.99 dBm\n" + std::string(kSections))->Gain, 17.99);
    EXPECT_DOUBLE_EQ(Read("GAIN\n" + std::string(kSections))->Gain, 0);
    EXPECT_DOUBLE_EQ(Read("GAIN high dBd\n" + std::string(kSections))->Gain, 2.14);
    EXPECT_DOUBLE_EQ(Read("GAIN\nGAIN 12 dBd\nGAIN 20\n" + std::string(kSections))->Gain, 14.14)
        << "the first GAIN line with a value wins";
    EXPECT_DOUBLE_EQ(Read("GAIN\t  3.43 dBi\n" + std::string(kSections))->Gain, 3.43);
    EXPECT_DOUBLE_EQ(Read(kSections)->Gain, 0);
}

TEST(OstrelFile, HeaderKeywordsTakeTheirFirstTokenFromTheFirstLineWithAValue) {
    const auto file = Read(
        "FILENAME panel\r\nMAKE Big Antenna\r\nmake Small\r\nFREQUENCY 1850.5 MHz\r\n"
        "H_WIDTH\r\nBEAM_WIDTH 65\r\nV_WIDTH 7.5\r\nFRONT_TO_BACK x\r\nTILT 2 deg\r\n"
        "COMMENT HORIZONTAL is not at the start\r\n" +
        std::string(kSections));
    EXPECT_EQ(file->Make, "Big");
    EXPECT_DOUBLE_EQ(file->Frequency, 1850.5);
    EXPECT_DOUBLE_EQ(file->HWidth, 65);
    EXPECT_DOUBLE_EQ(file->VWidth, 7.5);
    EXPECT_DOUBLE_EQ(file->FrontToBack, 0) << "not a number reads as 0";
    EXPECT_EQ(file->Tilt, "2");

    EXPECT_DOUBLE_EQ(Read("H_WIDTH 0\nBEAM_WIDTH 65\n" + std::string(kSections))->HWidth, 0)
        << "a value of 0 is a value: BEAM_WIDTH is not consulted";
    // Only lines up to the last index given are header lines.
    const std::vector<std::string_view> lines = {"MAKE Velmor", "FREQUENCY 900", "FREQUENCY"};
    EXPECT_EQ(TPlanningFile::FindValue("FREQUENCY", lines, 0), "");
    EXPECT_EQ(TPlanningFile::FindValue("FREQUENCY", lines, 5), "900");
    EXPECT_EQ(TPlanningFile::FindLine("FREQUENCY", lines, 2), 1);
    EXPECT_EQ(TPlanningFile::FindLine("MAKE VELMOR", lines, 2), -1);
}

TEST(OstrelFile, SectionsHoldTheirDataLinesInFileOrder) {
    const auto file = Read(
        "  horizontally speaking 360  \n\n 10\t-3.5 \n5 2\n\t\nlonely\n-5 1e1\n"
        "ver_lobe\n0 0\n\n359 -1\n");
    ASSERT_EQ(file->HorizontalPoints.Count(), 3);
    EXPECT_EQ(file->HorizontalPoints.GetPoint(0), (TRealPoint{10, -3.5}));
    EXPECT_EQ(file->HorizontalPoints.GetPoint(1), (TRealPoint{5, 2}));
    EXPECT_EQ(file->HorizontalPoints.GetPoint(2), (TRealPoint{-5, 10}));
    ASSERT_EQ(file->VerticalPoints.Count(), 2);
    EXPECT_EQ(file->VerticalPoints.GetPoint(1), (TRealPoint{359, -1}));
}

TEST(OstrelFile, LineEndsMayBeCrLfLfOrCr) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const auto file = Read(OstrelText(
            std::string("FREQUENCY 900") + end, [](double a) { return a / 10; },
            [](double a) { return a / 20; }, 1, end));
        EXPECT_EQ(file->HorizontalPoints.Count(), 360) << end;
        EXPECT_EQ(file->VerticalPoints.Count(), 360);
        EXPECT_DOUBLE_EQ(file->Frequency, 900);
    }
}

void ExpectFailure(const std::string& text, const std::string& message) {
    try {
        Read(text);
        ADD_FAILURE() << "no error for: " << text;
    } catch (const EOstrelError& error) {
        EXPECT_EQ(error.what(), message);
    }
}

TEST(OstrelFile, StructuralFaultsAndBadDataLinesFailWithAClearMessage) {
    ExpectFailure("", "Cannot find Horizontal section.");
    ExpectFailure("VERTICAL\n0 0\n", "Cannot find Horizontal section.");
    ExpectFailure("HORIZONTAL\n0 0\n", "Cannot find Vertical section.");
    ExpectFailure("HORIZONTAL\n0 0\n10 3.5 dB\nVERTICAL\n",
                  "'3.5 dB' is not a valid floating point value (line 3)");
    ExpectFailure("HORIZONTAL\n0 0\nVERTICAL\nGAIN 10 dBd\n",
                  "'GAIN' is not a valid floating point value (line 4)");
    ExpectFailure("HORIZONTAL\n1,5 0\nVERTICAL\n",
                  "'1,5' is not a valid floating point value (line 2)");
    // A vertical header before the horizontal one runs the vertical data over it.
    ExpectFailure("VERTICAL 360\n0 0\nHORIZONTAL 360\n0 0\n",
                  "'HORIZONTAL' is not a valid floating point value (line 3)");
    const auto swapped = Read("VERTICAL\n0 1\nHORIZONTAL\n0 2\n");
    EXPECT_EQ(swapped->HorizontalPoints.Count(), 0);
    EXPECT_EQ(swapped->VerticalPoints.Count(), 2);
}

TEST(OstrelFile, HeaderWordsAndGainUnitsAreMatchedExactly) {
    // Each row: file text, frequency, gain and horizontal point count it must read as.
    struct TCase {
        std::string Text;
        double Frequency;
        double Gain;
        int HorizontalCount;
    } const cases[] = {
        {"HOR_LOBE 360\n0 0\n1 1\n2 2\nVERTICAL\n0 0\n", 0, 0, 3},
        {"hor_lobe\n0 0\nVER_LOBE\n0 0\n", 0, 0, 1},
        {"GAIN 10 DBD\n" + std::string(kSections), 0, 12.14, 2},
        {"GAIN 10 DBDX\n" + std::string(kSections), 0, 10, 2},
        {"GAIN 10 DB\n" + std::string(kSections), 0, 10, 2},
        {"GAIN 10 XDBD\n" + std::string(kSections), 0, 10, 2},
        {"GAIN 10 DBI\n" + std::string(kSections), 0, 10, 2},
        // Editors that write UTF-8 put a byte-order mark before the first line.
        {"\xEF\xBB\xBF"
         "FREQUENCY 900\nGAIN 10 dBd\n" +
             std::string(kSections),
         900, 12.14, 2},
        {"\xEF\xBB\xBF"
         "HORIZONTAL\n0 0\nVERTICAL\n0 0\n",
         0, 0, 1},
    };
    for (const TCase& c : cases) {
        const auto file = Read(c.Text);
        EXPECT_DOUBLE_EQ(file->Frequency, c.Frequency) << c.Text;
        EXPECT_NEAR(file->Gain, c.Gain, 1e-12) << c.Text;
        EXPECT_EQ(file->HorizontalPoints.Count(), c.HorizontalCount) << c.Text;
    }
    // Only the mark at the very start is skipped; SplitLines leaves other bytes alone.
    const std::string mark = "\xEF\xBB\xBF";
    const std::string text = mark + "a\n" + mark;
    const auto lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], mark);
}

TEST(OstrelFile, NonAsciiBytesAreKeptNotRejected) {
    const auto file = Read(
        "MAKE M\xFC"
        "ller\nTILT 5\xB0\n" +
        std::string(kSections));
    EXPECT_EQ(file->Make, "M\xFCller");
    EXPECT_EQ(file->Tilt, "5\xB0");
}

TEST(OstrelFile, WriterOutputReadsBack) {
    TOstrelFile file;
    file.Make = "Velmor";
    file.Frequency = 1850.5;
    file.HWidth = 0;
    file.VWidth = 7.25;
    file.FrontToBack = 30;
    file.Gain = 17.99;
    file.Tilt = "ELECTRICAL";
    file.HorizontalPoints.Add(10, -3.5);
    file.HorizontalPoints.Add(-1, 2.0004);
    file.VerticalPoints.Add(0, 0);
    const std::string text = file.SaveToText("/tmp/site/Panel A.msi");
    EXPECT_EQ(text,
              "FILENAME Panel A\r\nMAKE Velmor\r\nFREQUENCY 1850.5\r\nH_WIDTH\r\n"
              "V_WIDTH 7.25\r\nFRONT_TO_BACK 30.00\r\nGAIN 15.85 dBd\r\nTILT ELECTRICAL\r\n"
              "HORIZONTAL 360\r\n10\t3.500\r\n-1\t2.000\r\nVERTICAL 360\r\n0\t0.000\r\n");
    const auto back = Read(text);
    EXPECT_NEAR(back->Gain, 17.99, 1e-9);
    EXPECT_EQ(back->HWidth, 0);
    EXPECT_EQ(back->Make, "Velmor");
    EXPECT_EQ(back->HorizontalPoints.GetPoint(0), (TRealPoint{10, 3.5}));

    TOstrelFile empty;
    const std::string emptyText = empty.SaveToText("x");
    for (const char* bare :
         {"\r\nH_WIDTH\r\n", "\r\nV_WIDTH\r\n", "\r\nFRONT_TO_BACK\r\n", "\r\nGAIN\r\n"}) {
        EXPECT_NE(emptyText.find(bare), std::string::npos) << "a zero value writes " << bare;
    }
}

TEST(OstrelFile, FilesAreReadFromAndWrittenToDisk) {
    TTempDir folder;
    const std::string path = folder.Write("a.pln", "GAIN 3 dBi\n" + std::string(kSections));
    TOstrelFile file;
    file.LoadFromFile(path);
    EXPECT_EQ(file.FileName, path);
    EXPECT_DOUBLE_EQ(file.Gain, 3);
    file.SaveToFile(folder.File("b.pln"));
    EXPECT_EQ(ReadFileBytes(folder.File("b.pln")).substr(0, 12), "FILENAME b\r\n");
    TOstrelFile missing;
    EXPECT_THROW(missing.LoadFromFile(folder.File("none.txt")), EFileError);
    EXPECT_THROW(missing.LoadFromFile(folder.Path()), EFileError) << "a folder is no file";
    EXPECT_THROW(file.SaveToFile(folder.File("no/such/folder.txt")), EFileError);
}

TEST(TextLines, SplitLinesKeepsEmptyLinesButNoPhantomLastLine) {
    EXPECT_EQ(SplitLines("a\r\n\r\nb\rc\n").size(), 4u);
    EXPECT_EQ(SplitLines("a\n\n").size(), 2u);
    EXPECT_EQ(SplitLines("a").size(), 1u);
    EXPECT_EQ(SplitLines("").size(), 0u);
    EXPECT_EQ(SplitLines("\r\r\n").size(), 2u);
    EXPECT_EQ(TrimLine("\x01\t x y \x1F"), "x y");
}

}  // namespace
}  // namespace ostrel

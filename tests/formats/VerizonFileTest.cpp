#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "formats/PlanningFiles.h"
#include "model/Errors.h"
#include "support/PatternText.h"

namespace ostrel {
namespace {

std::unique_ptr<TVerizonFile> Read(const std::string& text) {
    auto file = std::make_unique<TVerizonFile>();
    file->LoadFromText(text);
    return file;
}

std::string Body() {
    return VerizonText(
        "", [](int a) { return 10 - a / 36.0; },
        [](int k) { return k == 179 ? 15 : 5 + k / 100.0; });
}

TEST(VerizonFile, GainFallsBackFromDbiToDbdPlus2Point1) {
    EXPECT_DOUBLE_EQ(Read("max_gain_dbd:\t15\n" + Body())->MaxGainDbi, 17.1);
    EXPECT_DOUBLE_EQ(Read("max_gain_dbi:\t17.5\nmax_gain_dbd:\t15\n" + Body())->MaxGainDbi, 17.5);
    EXPECT_DOUBLE_EQ(Read("max_gain_dbi:\t0\n" + Body())->MaxGainDbi, 0);
    EXPECT_DOUBLE_EQ(Read("max_gain_dbi:\t-3\nmax_gain_dbd:\t-1\n" + Body())->MaxGainDbi, 0);
    EXPECT_DOUBLE_EQ(Read("MAX_GAIN_DBI: 12\n" + Body())->MaxGainDbi, 12) << "keys ignore case";
    EXPECT_EQ(Read("max_gain_dbd:\t15\n" + Body())->MaxGainDbd, 0) << "reading never fills dBd";
}

TEST(VerizonFile, HeaderKeysTakeTheFirstTokenOfTheLastLine) {
    const auto file = Read(
        "VERIZON WIRELESS RFTOOLS ANTENNA\nV2\nmodel_name:\tOld\nmodel_name:\tNew Panel\n"
        "manufacturer:\nmanufacturer: Velmor\ndescription:\tDual slant\nantenna_type:\t0\n"
        "freq_measured_mhz:\t1900.5\nlower_freq_mhz:\t1710\nupper_freq_mhz:\t2180\n"
        "electrical_tilt:\t2\nhorz_3db_beamwidth:\t63.5\nheight_m:\t1.4\nwidth_m:\t0.3\n"
        "depth_m:\tdeep\nweight_kg:\t12.5\ndate_measured:\t03-14-2025\n" +
        Body() + "model_name:\tAfterTheHeader\n");
    EXPECT_EQ(file->ModelName, "New");
    EXPECT_EQ(file->Manufacturer, "Velmor");
    EXPECT_EQ(file->Description, "Dual");
    EXPECT_EQ(file->AntennaType, "0");
    EXPECT_EQ(file->DateMeasured, "03-14-2025");
    EXPECT_DOUBLE_EQ(file->Frequency, 1900.5);
    EXPECT_DOUBLE_EQ(file->LowerFreq, 1710);
    EXPECT_DOUBLE_EQ(file->UpperFreq, 2180);
    EXPECT_DOUBLE_EQ(file->ElectricalTilt, 2);
    EXPECT_DOUBLE_EQ(file->HorzBeamwidth, 63.5);
    EXPECT_DOUBLE_EQ(file->HeightM, 1.4);
    EXPECT_DOUBLE_EQ(file->WidthM, 0.3);
    EXPECT_DOUBLE_EQ(file->DepthM, 0);
    EXPECT_DOUBLE_EQ(file->WeightKg, 12.5);
}

TEST(VerizonFile, CutsAreNormalisedToTheirPeakAndTheVerticalReindexed) {
    const auto file = Read(Body());
    ASSERT_EQ(file->HorizontalPoints.Count(), 360);
    EXPECT_DOUBLE_EQ(file->HorizontalPoints.GetPoint(0).Y, 0);
    EXPECT_DOUBLE_EQ(file->HorizontalPoints.GetPoint(36).Y, -1);
    EXPECT_EQ(file->HorizontalPoints.GetPoint(36).X, 36);
    ASSERT_EQ(file->VerticalPoints.Count(), 360);
    EXPECT_EQ(file->VerticalPoints.GetPoint(0), (TRealPoint{0, 0})) << "line 180 is 0 degrees";
    EXPECT_EQ(file->VerticalPoints.GetPoint(1).X, 1);
    EXPECT_DOUBLE_EQ(file->VerticalPoints.GetPoint(1).Y, 5 + 180 / 100.0 - 15);
    EXPECT_DOUBLE_EQ(file->VerticalPoints.GetPoint(181).Y, 5 - 15) << "line 1 comes at 181";
    EXPECT_DOUBLE_EQ(file->VerticalPoints.GetPoint(359).Y, 5 + 178 / 100.0 - 15);

    const auto small = Read("HORIZONTAL_GAINS\n0 10\n1 12\n2 15 dBi extra\nEND\n" +
                            Body().substr(Body().find("VERTICAL_GAINS")));
    ASSERT_EQ(small->HorizontalPoints.Count(), 3);
    EXPECT_DOUBLE_EQ(small->HorizontalPoints.GetPoint(0).Y, -5);
    EXPECT_DOUBLE_EQ(small->HorizontalPoints.GetPoint(1).Y, -3);
    EXPECT_DOUBLE_EQ(small->HorizontalPoints.GetPoint(2).Y, 0);
}

TEST(VerizonFile, AnUnclosedHorizontalSectionRunsOnToTheVerticalEnd) {
    std::string text = Body();
    text.erase(text.find("END\r\nVERTICAL_GAINS"), 5);
    const auto file = Read(text);
    EXPECT_EQ(file->HorizontalPoints.Count(), 720);
    EXPECT_EQ(file->VerticalPoints.Count(), 360);
}

TEST(VerizonFile, SectionWordsIgnoreCaseAndBlanksAroundEnd) {
    auto lowerHeaders = [](std::string text) {
        text.replace(text.find("HORIZONTAL_GAINS"), 16, "horizontal_gains");
        text.replace(text.find("VERTICAL_GAINS"), 14, "Vertical_Gains");
        return text;
    };
    auto paddedEnds = [](std::string text) {
        for (size_t at = 0; (at = text.find("\r\nEND\r\n", at)) != std::string::npos; at += 8) {
            text.replace(at, 7, "\r\n \tEND  \r\n");
        }
        return text;
    };
    auto withMark = [](std::string text) { return "\xEF\xBB\xBF" + text; };
    const std::string header = "freq_measured_mhz:\t1900\n";
    for (const std::string& text :
         {lowerHeaders(Body()), paddedEnds(Body()),
          withMark("HORIZONTAL_GAINS" + Body().substr(16)), withMark(header + Body())}) {
        const auto file = Read(text);
        EXPECT_EQ(file->HorizontalPoints.Count(), 360) << text.substr(0, 40);
        EXPECT_EQ(file->VerticalPoints.Count(), 360) << text.substr(0, 40);
    }
    EXPECT_DOUBLE_EQ(Read(withMark(header + Body()))->Frequency, 1900)
        << "a byte-order mark does not hide the first key";
}

void ExpectFailure(const std::string& text, const std::string& message) {
    try {
        Read(text);
        ADD_FAILURE() << "no error";
    } catch (const EOstrelError& error) {
        EXPECT_EQ(error.what(), message);
    }
}

TEST(VerizonFile, FaultsFailWithAClearMessageInsteadOfReadingPastTheEnd) {
    ExpectFailure("VERTICAL_GAINS\nEND\n", "Cannot find Horizontal section.");
    ExpectFailure("HORIZONTAL_GAINS\nEND\n", "Cannot find Vertical section.");
    std::string lowerEnd = Body();
    lowerEnd.replace(lowerEnd.rfind("END"), 3, "end");
    ExpectFailure(lowerEnd, "Cannot find END of Vertical section.");
    std::string noEnds = Body();
    for (size_t at; (at = noEnds.find("END\r\n")) != std::string::npos;) noEnds.erase(at, 5);
    ExpectFailure(noEnds, "Cannot find END of Horizontal section.");
    std::string shortVertical = Body();
    const size_t firstRow = shortVertical.find("\r\n", shortVertical.find("VERTICAL_GAINS")) + 2;
    shortVertical.erase(firstRow, shortVertical.find("\r\n", firstRow) + 2 - firstRow);
    ExpectFailure(shortVertical, "Vertical section has 359 data lines; at least 360 are needed.");
    std::string emptyHorizontal = Body();
    const size_t firstGain = emptyHorizontal.find("HORIZONTAL_GAINS\r\n") + 18;
    emptyHorizontal.erase(firstGain, emptyHorizontal.find("END") - firstGain);
    ExpectFailure(emptyHorizontal, "Horizontal section is empty.");
    std::string badNumber = Body();
    badNumber.replace(badNumber.find("\r\n5.0\t") + 2, 3, "5,0");
    ExpectFailure(badNumber, "'5,0' is not a valid floating point value (line 7)");
}

TEST(VerizonFile, WriterTurnsTheCutsAndMirrorsTheVerticalOnReading) {
    TVerizonFile file;
    file.ModelName = "VLM-1";
    file.MaxGainDbd = 15;
    file.HorzBeamwidth = 0;
    file.Frequency = 1900;
    file.ElectricalTilt = 2;
    for (int k = 0; k <= 360; ++k) {
        const double angle = k - 180;
        file.HorizontalPoints.Add(angle, -std::abs(angle) / 10);
        file.VerticalPoints.Add(angle, angle == 10 ? 0 : -std::abs(angle - 10) / 5 - 1);
    }
    const std::string text = file.SaveToText("12-07-2026");
    EXPECT_EQ(text.rfind("VERIZON WIRELESS RFTOOLS ANTENNA\r\nV2\r\nmodel_name:\tVLM-1\r\n"
                         "manufacturer:\tVelmor\r\ndescription:\r\nantenna_type:\t0\r\n"
                         "max_gain_dbd:\t15.00\r\nhorz_3db_beamwidth:\r\n"
                         "date_measured:\t12-07-2026\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("freq_measured_mhz:\t1900\r\nlower_freq_mhz:\r\n"), std::string::npos);
    EXPECT_NE(text.find("electrical_tilt:\t2.00\r\n"), std::string::npos);
    EXPECT_NE(text.find("HORIZONTAL_GAINS\r\n0.0\t15.000\r\n1.0\t14.900\r\n"), std::string::npos);
    EXPECT_NE(text.find("359.0\t14.900\r\nEND\r\nVERTICAL_GAINS\r\n-179.0\t"), std::string::npos);
    EXPECT_NE(text.find("\r\n180.0\t"), std::string::npos);
    EXPECT_NE(text.find("\r\n0.0\t"), std::string::npos) << "the 0-degree line";
    EXPECT_EQ(text.find("-0.0"), std::string::npos);
    EXPECT_EQ(text.find("-180.0\t"), std::string::npos);

    const auto back = Read(text);
    EXPECT_DOUBLE_EQ(back->MaxGainDbi, 17.1);
    ASSERT_EQ(back->HorizontalPoints.Count(), 360);
    EXPECT_NEAR(back->HorizontalPoints.GetPoint(90).Y, -9, 1e-9);
    // The value written at +10 degrees comes back at -10 degrees (350).
    EXPECT_NEAR(back->VerticalPoints.GetPoint(350).Y, 0, 1e-9);
    EXPECT_NEAR(back->VerticalPoints.GetPoint(10).Y, -5, 1e-9) << "the value of -10 degrees";

    TVerizonFile unfit;
    unfit.HorizontalPoints.Add(0, 0);
    EXPECT_THROW(unfit.SaveToText("x"), EListError);
}

}  // namespace
}  // namespace ostrel

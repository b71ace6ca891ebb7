#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "formats/PatternLoaders.h"
#include "formats/PatternWriters.h"
#include "formats/TextLines.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

// Half a unit of the third written decimal, plus the binary noise on the way.
constexpr double kLevelTolerance = 0.0005 + 1e-9;

// The cut with its peak moved to 0 dB: the Verizon format stores gains relative to the
// maximum gain, so only the shape of each cut survives it.
TRealPointList FromPeak(const TRealPointList& cut) {
    TRealPointList shifted;
    shifted.Assign(cut);
    SubtractFromValues(shifted, cut.MaxY());
    return shifted;
}

TEST(PatternWriters, EveryWriterAndItsReaderKeepTheCutsToTheWrittenDecimals) {
    TTempDir folder;
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(OSTREL_SAMPLES_DIR)) {
        const std::string source = entry.path().string();
        if (!entry.is_regular_file() || source.ends_with(".doc")) continue;
        for (TPatternFormat format :
             {TPatternFormat::Ostrel, TPatternFormat::Verizon, TPatternFormat::Nsma}) {
            const auto original = LoadPatternFile(source);
            ASSERT_FALSE(original.empty()) << source;
            const std::string copy =
                folder.Write("copy." + std::string(FormatExtension(format)),
                             PatternFileText(*original.front(), format, "copy"));
            const auto back = LoadPatternFile(copy);
            ASSERT_EQ(back.size(), 1u) << source << " as " << FormatExtension(format);
            const bool relative = format == TPatternFormat::Verizon;
            EXPECT_NEAR(back[0]->Frequency.Value, original[0]->Frequency.Value, 1e-9);
            if (format == TPatternFormat::Nsma) {
                EXPECT_NEAR(back[0]->Gain.Value, original[0]->Gain.Value, 0.005);
                EXPECT_EQ(back[0]->HorzWidth.Value, original[0]->HorzWidth.Value);
                EXPECT_EQ(back[0]->VertWidth.Value, original[0]->VertWidth.Value);
            }
            for (auto cut : {&TPatternData::AzimuthCut, &TPatternData::VerticalCut,
                             &TPatternData::HorizontalCut}) {
                const TRealPointList expected =
                    relative ? FromPeak((*original[0]).*cut) : (*original[0]).*cut;
                const TRealPointList actual =
                    relative ? FromPeak((*back[0]).*cut) : (*back[0]).*cut;
                if (relative && cut == &TPatternData::HorizontalCut) continue;
                // The horizontal cut is derived from three written levels.
                const double tolerance =
                    cut == &TPatternData::HorizontalCut ? 3 * kLevelTolerance : kLevelTolerance;
                ASSERT_EQ(actual.Count(), 361);
                for (int k = 0; k <= 360; ++k) {
                    ASSERT_NEAR(actual.GetPoint(k).Y, expected.GetPoint(k).Y, tolerance)
                        << source << " as " << FormatExtension(format) << " angle " << k - 180;
                }
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 15);
}

TEST(PatternWriters, NsmaOutputKeepsTheRecordRules) {
    const auto pattern = LoadPatternData(OSTREL_SAMPLES_DIR "/sector65_dbd.txt");
    ASSERT_TRUE(pattern);
    const std::string text =
        PatternFileText(*pattern, TPatternFormat::Nsma, std::string(60, 'M') + "\t");
    std::vector<std::string_view> records;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        records.push_back(std::string_view(text).substr(start, end - start));
    }
    EXPECT_EQ(start, text.size());  // every record ends in CR LF
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    ASSERT_GT(records.size(), 740u);
    EXPECT_EQ(records.front(), "REVNUM:,NSMA WG16.99.050");
    EXPECT_EQ(records.back(), "ENDFIL:,EOF");
    EXPECT_EQ(records[3], "MODNUM:," + std::string(34, 'M'));  // cut to 42 bytes
    EXPECT_EQ(std::count(records.begin(), records.end(), "NUPOIN:,361"), 2);
    EXPECT_EQ(std::count(records.begin(), records.end(), "FSTLST:,-180,180"), 2);
    for (std::string_view record : records) {
        if (record.find(':') == std::string_view::npos) {
            EXPECT_LE(record.size(), 28u) << record;
            EXPECT_TRUE(record.ends_with(",")) << record;
            EXPECT_EQ(record.find("-0.000"), std::string_view::npos) << record;
        }
    }
}

}  // namespace
}  // namespace ostrel

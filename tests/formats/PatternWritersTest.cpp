#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "formats/NsmaFile.h"
#include "formats/PatternLoaders.h"
#include "formats/PatternWriters.h"
#include "formats/TextLines.h"
#include "model/NumberText.h"
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
            const auto original = LoadPatternFile(source).Patterns;
            ASSERT_FALSE(original.empty()) << source;
            const std::string copy =
                folder.Write("copy." + std::string(FormatExtension(format)),
                             PatternFileText(*original.front(), format, "copy").Text);
            const auto back = LoadPatternFile(copy).Patterns;
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
    const auto pattern = LoadPatternFile(OSTREL_SAMPLES_DIR "/sector65_dbd.txt").TakeFirst();
    ASSERT_TRUE(pattern);
    const std::string text =
        PatternFileText(*pattern, TPatternFormat::Nsma, std::string(60, 'M') + "\t").Text;
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

// Writes the text under `name` and reads it back; null when it does not load.
std::unique_ptr<TPatternData> ReadBack(const TTempDir& folder, const std::string& name,
                                       const TWrittenPattern& written) {
    EXPECT_EQ(written.Failure, "") << name;
    return LoadPatternFile(folder.Write(name, written.Text)).TakeFirst();
}

bool HasNote(const TWrittenPattern& written, const std::string& part) {
    for (const std::string& note : written.Notes) {
        if (note.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST(PatternWriters, GainsComeBackAndUnknownFiguresStayUnknownInEveryFormat) {
    TTempDir folder;
    const auto pattern = LoadPatternFile(OSTREL_SAMPLES_DIR "/tilted_6deg.msi").TakeFirst();
    ASSERT_TRUE(pattern);
    // The Verizon reader adds 2.1 dB to the dBd gain: the writer takes off the same.
    for (double gain : {5.24, 2.2, 17.99, 30.0}) {
        pattern->Gain.SetValue(gain);
        const TWrittenPattern written = PatternFileText(*pattern, TPatternFormat::Verizon, "g");
        const auto back = ReadBack(folder, "g.vwa", written);
        ASSERT_TRUE(back);
        EXPECT_NEAR(back->Gain.Value, gain, 0.005 + 1e-9) << gain;
        EXPECT_FALSE(HasNote(written, "gain")) << gain;
    }
    // A gain the format cannot hold is said, and comes back as not known, never as 0.
    pattern->Gain.SetValue(1.5);
    TWrittenPattern written = PatternFileText(*pattern, TPatternFormat::Verizon, "low");
    EXPECT_TRUE(HasNote(written, "the gain 1.50 dBi is not written")) << written.Notes.size();
    EXPECT_TRUE(ReadBack(folder, "low.vwa", written)->Gain.IsNull);

    pattern->Frequency.SetIsNull(true);
    pattern->Gain.SetIsNull(true);
    pattern->ElectricalTilt.SetIsNull(true);
    for (TPatternFormat format : {TPatternFormat::Ostrel, TPatternFormat::Verizon}) {
        const std::string name = "unknown." + std::string(FormatExtension(format));
        const auto back = ReadBack(folder, name, PatternFileText(*pattern, format, "unknown"));
        ASSERT_TRUE(back) << name;
        EXPECT_TRUE(back->Frequency.IsNull) << name;
        EXPECT_TRUE(back->Gain.IsNull) << name;
        EXPECT_TRUE(back->ElectricalTilt.IsNull) << name;
    }
    // NSMA requires a gain; the frequency it can leave empty, with a note.
    written = PatternFileText(*pattern, TPatternFormat::Nsma, "unknown");
    EXPECT_NE(written.Failure.find("MDGAIN"), std::string::npos) << written.Failure;
    EXPECT_EQ(written.Text, "");
    pattern->Gain.SetValue(0);  // a stated 0 dBi is a gain
    written = PatternFileText(*pattern, TPatternFormat::Nsma, "unknown");
    EXPECT_TRUE(HasNote(written, "PATFRE, LOWFRQ, HGHFRQ, ELTILT"));
    const auto back = ReadBack(folder, "unknown.nsm", written);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->Frequency.IsNull);
    EXPECT_FALSE(back->Gain.IsNull);
    // A key without a value states nothing.
    EXPECT_FALSE(ParseNumber(std::string_view()));
}

TEST(PatternWriters, NsmaOutputKeepsTiltFrontToBackPolarisationAndWholeCharacters) {
    TTempDir folder;
    const auto tilted = LoadPatternFile(OSTREL_SAMPLES_DIR "/tilted_6deg.msi").TakeFirst();
    ASSERT_TRUE(tilted);
    TWrittenPattern written = PatternFileText(*tilted, TPatternFormat::Nsma, "t");
    EXPECT_NE(written.Text.find("\r\nELTILT:,6\r\n"), std::string::npos);
    EXPECT_NE(written.Text.find("\r\nFRTOBA:,25\r\n"), std::string::npos);
    EXPECT_TRUE(HasNote(written, "POLARI"));  // an Ostrel file does not say
    auto back = ReadBack(folder, "t.nsm", written);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ElectricalTilt.Value, 6);
    EXPECT_EQ(back->FrontToBack.Value, 25);
    EXPECT_EQ(HeaderCheckText(*back, back->Figures(THCut::Azimuth)), "");
    // The header check hears the NSMA header's tilt and front-to-back.
    std::string wrong = written.Text;
    wrong.replace(wrong.find("ELTILT:,6"), 9, "ELTILT:,2");
    wrong.replace(wrong.find("FRTOBA:,25"), 10, "FRTOBA:,40");
    back = LoadPatternFile(folder.Write("wrong.nsm", wrong)).TakeFirst();
    EXPECT_EQ(HeaderCheckText(*back, back->Figures(THCut::Azimuth)),
              "fb 40 vs 25.0/25.3; tilt 2 vs 6.0");

    const auto patterns = LoadPatternFile(OSTREL_SAMPLES_DIR "/sector65_2freq.nsm").Patterns;
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_EQ(patterns[0]->AzimuthPolarization, "V/V");
    patterns[0]->AzimuthPolarization = "H/H";
    written = PatternFileText(*patterns[0], TPatternFormat::Nsma, "p");
    EXPECT_NE(written.Text.find("PATCUT:,H\r\nPOLARI:,H/H\r\n"), std::string::npos);
    EXPECT_NE(written.Text.find("PATCUT:,V\r\nPOLARI:,V/V\r\n"), std::string::npos);
    EXPECT_TRUE(written.Notes.empty());

    // Texts shortened between characters; numbers rounded to their record, never cut.
    const std::string e = "\xC3\xA9";
    written = PatternFileText(*tilted, TPatternFormat::Nsma, std::string(33, 'M') + e + e);
    EXPECT_NE(written.Text.find("MODNUM:," + std::string(33, 'M') + "\r\n"), std::string::npos);
    tilted->Frequency.SetValue(1850.123456789012);
    written = PatternFileText(*tilted, TPatternFormat::Nsma, "f");
    for (const char* key : {"PATFRE", "LOWFRQ", "HGHFRQ"}) {
        EXPECT_NE(written.Text.find(std::string(key) + ":,1850.12345679\r\n"), std::string::npos);
    }
    EXPECT_NEAR(ReadBack(folder, "f.nsm", written)->Frequency.Value, 1850.12345679, 1e-9);
}

TEST(PatternWriters, NamesWithLineBreaksReadBackAndOutputNamesAreOneComponent) {
    TTempDir folder;
    const auto pattern = LoadPatternFile(OSTREL_SAMPLES_DIR "/omni_850.msi").TakeFirst();
    ASSERT_TRUE(pattern);
    const std::string name = "a\nHORIZONTAL 3\r\n1 2\rb\x7F";
    for (TPatternFormat format :
         {TPatternFormat::Ostrel, TPatternFormat::Verizon, TPatternFormat::Nsma}) {
        const std::string file = "name." + std::string(FormatExtension(format));
        const auto back = ReadBack(folder, file, PatternFileText(*pattern, format, name));
        ASSERT_TRUE(back) << file;
        EXPECT_NEAR(back->AzimuthCut.PointAt(100).Y, pattern->AzimuthCut.PointAt(100).Y, 0.001);
    }
    const std::pair<const char*, const char*> names[] = {
        {"1850/1860", "1850_1860"},
        {"../x", ".._x"},
        {"..", "__"},
        {".", "_"},
        {"", "_"},
        {"a\nb\x01", "a_b_"},
        {"caf\xE9 1.5", "caf\xE9 1.5"},
    };
    for (const auto& [raw, safe] : names) EXPECT_EQ(SafeFileName(raw), safe) << raw;
}

}  // namespace
}  // namespace ostrel

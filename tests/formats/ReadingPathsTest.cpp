#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "formats/LineMatchers.h"
#include "formats/PlanningFiles.h"
#include "formats/TextLines.h"
#include "model/NumberText.h"
#include "support/PatternText.h"
#include "support/ReadingOutcome.h"

namespace ostrel {
namespace {

void ExpectSameReading(const std::string& text, const std::string& what) {
    // The one pass reads from a buffer of exactly the text's bytes, so that the sanitizer
    // build catches a read past the end (a string would offer its terminating zero).
    const std::unique_ptr<char[]> exact(new char[text.size()]);
    std::copy(text.begin(), text.end(), exact.get());
    const std::string_view bytes(exact.get(), text.size());
    EXPECT_EQ(ReadingOutcome<TOstrelFile>(bytes, &TOstrelFile::LoadFromText),
              ReadingOutcome<TOstrelFile>(text, &TOstrelFile::LoadFromTextLineByLine))
        << "Ostrel reading of " << what;
    EXPECT_EQ(ReadingOutcome<TVerizonFile>(bytes, &TVerizonFile::LoadFromText),
              ReadingOutcome<TVerizonFile>(text, &TVerizonFile::LoadFromTextLineByLine))
        << "Verizon reading of " << what;
}

// Usual files with random figures, layouts and number forms, then edited at random with
// the bytes and lines that make readers stumble.
class TTextMaker {
public:
    explicit TTextMaker(unsigned seed) : FRandom(seed) {}

    int Integer(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(FRandom);
    }
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(FRandom);
    }

    std::string Level() {
        const double value = Uniform(-45, 45);
        switch (Integer(0, 5)) {
            case 0:
                return FormatGeneral(value);
            case 1:
                return FormatFixed(Integer(0, 6), value);
            case 2:
                return std::to_string(Integer(-99, 99));
            default:
                return FormatFixed(Integer(1, 3), value);
        }
    }

    std::string Usual(bool verizon) {
        const std::string lineEnd = std::vector<std::string>{"\r\n", "\n", "\r"}[Integer(0, 2)];
        const std::string gap = Integer(0, 1) ? "\t" : std::string(Integer(1, 3), ' ');
        if (verizon) {
            const std::string header = "VERIZON WIRELESS RFTOOLS ANTENNA\r\nmodel_name:\tVZ-" +
                                       std::to_string(Integer(1, 99)) + "\r\nmax_gain_dbd:\t" +
                                       Level() + "\r\nfreq_measured_mhz:\t" + Level() +
                                       "\r\nMAX_GAIN_DBI: " + Level() + "\r\n";
            return VerizonText(
                header, [&](int) { return Uniform(-30, 18); },
                [&](int) { return Uniform(-40, 18); });
        }
        std::string text =
            "NAME Panel\tA" + lineEnd + (Integer(0, 1) ? "make Velmor" : "MAKE  Acme") + lineEnd +
            "FREQUENCY " + Level() + lineEnd + "GAIN " + Level() +
            (Integer(0, 1) ? " dBd" : " dBi") + lineEnd + "H_WIDTH " + Level() + lineEnd;
        const double step = std::vector<double>{1, 1, 1, 0.5, 2, 5}[Integer(0, 5)];
        const bool lobes = Integer(0, 3) == 0;
        for (const char* section :
             {lobes ? "hor_lobe" : "HORIZONTAL 360", lobes ? "Ver_Lobe" : "VERTICAL 360"}) {
            text += std::string(section) + lineEnd;
            for (double angle = 0; angle < 360; angle += step) {
                text += (Integer(0, 20) ? "" : "  ") + FormatGeneral(angle) + gap + Level() +
                        (Integer(0, 20) ? "" : " \t") + lineEnd;
            }
        }
        return text;
    }

    std::string Edited(std::string text) {
        static const std::vector<std::string> kPieces = {" ",
                                                         "\t",
                                                         "\v",
                                                         "\f",
                                                         "\x01",
                                                         std::string(1, '\0'),
                                                         "\r",
                                                         "\n",
                                                         "\r\n",
                                                         "-",
                                                         "+",
                                                         ".",
                                                         "1e3",
                                                         "12345678901234567",
                                                         "9999999999999999.5",
                                                         "GAIN 5 dBd",
                                                         "gain\t-1",
                                                         "VERTICAL 360",
                                                         "VER_LOBE",
                                                         "HORIZONTAL",
                                                         "END",
                                                         "end",
                                                         "VERTICAL_GAINS",
                                                         "HORIZONTAL_GAINS",
                                                         "x",
                                                         "\xEF\xBB\xBF",
                                                         "\xE9",
                                                         "0.5",
                                                         "-0",
                                                         ",",
                                                         "\n5 6 7\n",
                                                         "\n5\n",
                                                         "\n  -.5\t+7.\n",
                                                         "inf",
                                                         "nan"};
        auto AnyPiece = [&] {
            return kPieces[static_cast<size_t>(Integer(0, static_cast<int>(kPieces.size()) - 1))];
        };
        const int edits = Integer(1, 4);
        for (int i = 0; i < edits && !text.empty(); ++i) {
            const size_t at = static_cast<size_t>(Integer(0, static_cast<int>(text.size())));
            switch (Integer(0, 3)) {
                case 0:
                    text.erase(at, static_cast<size_t>(Integer(1, 40)));
                    break;
                case 1:
                    text.insert(0, kPieces[static_cast<size_t>(Integer(0, 5))] + AnyPiece());
                    break;
                default:
                    text.insert(at, AnyPiece());
            }
        }
        return text;
    }

private:
    std::mt19937 FRandom;
};

// The one-pass reading of LoadFromText must give exactly what the plain line-by-line
// reading gives: every figure, every point to the bit, every error message.
TEST(ReadingPaths, OnePassReadingGivesWhatLineByLineReadingGives) {
    TTextMaker maker(20261208);
    for (int i = 0; i < 300; ++i) {
        const bool verizon = i % 3 == 0;
        const std::string usual = maker.Usual(verizon);
        ExpectSameReading(usual, "usual file " + std::to_string(i));
        // The usual file really takes the one pass: its data lines never reach the
        // matchers.
        const size_t before = MatcherBytesScanned();
        if (verizon) {
            TVerizonFile().LoadFromText(usual);
        } else {
            TOstrelFile().LoadFromText(usual);
        }
        EXPECT_LT(MatcherBytesScanned() - before, usual.size() / 4) << usual;
        // Cut anywhere in its last lines: numbers, blanks and line ends that run into the
        // end of the text.
        for (size_t cut = 1; cut <= 40 && cut < usual.size(); ++cut) {
            ExpectSameReading(usual.substr(0, usual.size() - cut),
                              "usual file " + std::to_string(i) + " less " + std::to_string(cut));
        }
        for (int k = 0; k < 10; ++k) {
            const std::string edited = maker.Edited(usual);
            ExpectSameReading(edited, "edited file " + std::to_string(i) + "." + std::to_string(k));
            if (HasFailure()) return;
        }
    }

    std::vector<std::filesystem::path> folders = {OSTREL_SAMPLES_DIR,
                                                  std::string(OSTREL_SAMPLES_DIR) + "/broken"};
    const char* realData = std::getenv("OSTREL_REALDATA_DIR");
    folders.emplace_back(realData != nullptr ? realData : OSTREL_REALDATA_DIR);
    int files = 0;
    for (const auto& folder : folders) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            ExpectSameReading(ReadFileBytes(entry.path().string()), entry.path().string());
            ++files;
        }
    }
    EXPECT_GE(files, 8) << "the sample files were not found";
}

}  // namespace
}  // namespace ostrel

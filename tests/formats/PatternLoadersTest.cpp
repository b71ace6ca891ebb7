#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "support/PatternText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

const char kOstrelHeader[] =
    "NAME Test\r\nFREQUENCY 1850\r\nH_WIDTH 65\r\nV_WIDTH 7.5\r\nGAIN 15.85 dBd\r\n";

std::string OstrelBody(const std::string& header) {
    return OstrelText(
        header, [](double a) { return std::min(12 * std::pow(a / 65, 2), 30.0); },
        [](double a) { return 3 + a / 100; });
}

std::string VerizonBody(const std::string& header) {
    return VerizonText(
        header, [](int a) { return 17 - a / 30.0; },
        [](int k) { return 17 - std::abs(k - 179) / 10.0; });
}

TEST(PatternLoaders, ExtensionChoosesTheReader) {
    EXPECT_TRUE(IsVerizonFileName("/x/a.vwa"));
    EXPECT_TRUE(IsVerizonFileName("/x/a.VwA"));
    EXPECT_FALSE(IsVerizonFileName("/x/a.vwa.txt"));
    EXPECT_FALSE(IsVerizonFileName("/x/a.vwax"));
    EXPECT_FALSE(IsVerizonFileName("/x.vwa/a"));
    EXPECT_FALSE(IsVerizonFileName("/x/vwa"));
    const std::pair<const char*, TReadFormat> cases[] = {
        {"b.VWA", TReadFormat::Verizon}, {"b.Nsma", TReadFormat::Nsma},
        {"b.adf", TReadFormat::Nsma},    {"b.NSM", TReadFormat::Nsma},
        {"b.pAt", TReadFormat::EdxPat},  {"b.txt", TReadFormat::Ostrel},
        {"b.PLN", TReadFormat::Ostrel},  {"b.msi", TReadFormat::Ostrel},
        {"b.doc", TReadFormat::Ostrel},  {"b", TReadFormat::Ostrel},
        {"b.", TReadFormat::Ostrel},     {"x.pat/b", TReadFormat::Ostrel},
    };
    for (const auto& [name, format] : cases) {
        EXPECT_EQ(ChooseReadFormat(name, "HORIZONTAL 360\r\n"), format) << name;
    }
}

// What a file holds decides its reader, not its name: an NSMA file saved as ".pat" (the EDX
// extension) still gives its patterns, as does an EDX file under another format's name. The
// bytes read once are what is parsed: loading them from memory needs no file at all.
TEST(PatternLoaders, ContentThatContradictsTheExtensionWins) {
    const TTempDir dir;
    const std::string nsma = ReadFileBytes(OSTREL_SAMPLES_DIR "/sector65_2freq.nsm");
    const std::string edx = ReadFileBytes(OSTREL_SAMPLES_DIR "/sector90_edx.pat");
    const struct {
        const char* Name;
        const std::string& Bytes;
        std::vector<double> Frequencies;
    } cases[] = {
        {"nsma.pat", nsma, {1850, 2100}},
        {"edx.nsm", edx, {0}},
        {"edx.vwa", edx, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.Write(c.Name, c.Bytes);
        const bool isNsma = &c.Bytes == &nsma;
        EXPECT_EQ(ChooseReadFormat(path, c.Bytes),
                  isNsma ? TReadFormat::Nsma : TReadFormat::EdxPat);
        EXPECT_TRUE(HasPatternFileContent(c.Bytes));
        for (const TLoadedFile& loaded :
             {LoadPatternFile(path), LoadPatternBytes(dir.File("gone/") + c.Name, c.Bytes)}) {
            EXPECT_EQ(loaded.Failure, "");
            ASSERT_EQ(loaded.Patterns.size(), c.Frequencies.size());
            for (size_t i = 0; i < loaded.Patterns.size(); ++i) {
                EXPECT_DOUBLE_EQ(loaded.Patterns[i]->Frequency.Value, c.Frequencies[i]);
                EXPECT_EQ(loaded.Patterns[i]->HorizontalCut.Count(), 361);
            }
        }
    }
    EXPECT_FALSE(HasPatternFileContent(ReadFileBytes(OSTREL_SAMPLES_DIR "/omni_850.msi")));
}

TEST(PatternLoaders, OstrelFiguresAndCutsReachThePattern) {
    TTempDir folder;
    const std::string path = folder.Write("panel.msi", OstrelBody(kOstrelHeader));
    TLoadedFile loaded = LoadPatternFile(path);
    EXPECT_EQ(loaded.Failure, "");
    EXPECT_TRUE(loaded.IgnoredParts.empty());
    const auto pattern = loaded.TakeFirst();
    ASSERT_TRUE(pattern);
    EXPECT_EQ(pattern->FileName, path);
    EXPECT_EQ(pattern->Frequency.DisplayText(), "1850");
    EXPECT_NEAR(pattern->Gain.Value, 17.99, 1e-12);
    EXPECT_EQ(pattern->HorzWidth.DisplayText(), "65");
    EXPECT_EQ(pattern->VertWidth.DisplayText(), "7.5");
    EXPECT_EQ(pattern->Id, -1) << "the model numbers patterns, not the loader";
    ASSERT_EQ(pattern->AzimuthCut.Count(), 361);
    ASSERT_EQ(pattern->VerticalCut.Count(), 361);
    ASSERT_EQ(pattern->HorizontalCut.Count(), 361);
    EXPECT_DOUBLE_EQ(pattern->AzimuthCut.GetPoint(180 + 65).Y, -12);
    EXPECT_DOUBLE_EQ(pattern->AzimuthCut.GetPoint(180 - 65).Y, -30);
    EXPECT_DOUBLE_EQ(pattern->VerticalCut.GetPoint(180).Y, -3);
    EXPECT_DOUBLE_EQ(pattern->HorizontalCut.GetPoint(180).Y, -3);
}

TEST(PatternLoaders, MissingOstrelFiguresShowAsZeroOrEmpty) {
    TTempDir folder;
    const auto bare =
        LoadPatternFile(folder.Write("bare.txt", OstrelBody("H_WIDTH 0\r\n"))).TakeFirst();
    ASSERT_TRUE(bare);
    // Not stated is not known; the table still shows the 0 of an empty value.
    EXPECT_EQ(bare->Frequency.DisplayText(), "");
    EXPECT_TRUE(bare->Gain.IsNull);
    EXPECT_EQ(GainText(*bare), "0.0 (-2.1)");
    EXPECT_EQ(bare->HorzWidth.DisplayText(), "");
    EXPECT_EQ(bare->VertWidth.DisplayText(), "");
}

TEST(PatternLoaders, VerizonFiguresAlwaysShowAVerticalWidthOfZero) {
    TTempDir folder;
    const auto pattern =
        LoadPatternFile(folder.Write("panel.VWA",
                                     VerizonBody("freq_measured_mhz:\t1900\r\nmax_gain_dbd:\t15\r\n"
                                                 "horz_3db_beamwidth:\t63.5\r\n")))
            .TakeFirst();
    ASSERT_TRUE(pattern);
    EXPECT_EQ(pattern->Frequency.DisplayText(), "1900");
    EXPECT_DOUBLE_EQ(pattern->Gain.Value, 17.1);
    EXPECT_EQ(pattern->HorzWidth.DisplayText(), "63.5");
    EXPECT_EQ(pattern->VertWidth.DisplayText(), "0");
    EXPECT_DOUBLE_EQ(pattern->VerticalCut.GetPoint(180).Y, 0);
    EXPECT_DOUBLE_EQ(pattern->VerticalCut.GetPoint(190).Y, -1);
    EXPECT_DOUBLE_EQ(pattern->AzimuthCut.GetPoint(180 + 30).Y, -1);

    const auto noWidth = LoadPatternFile(folder.Write("w.vwa", VerizonBody(""))).TakeFirst();
    ASSERT_TRUE(noWidth);
    EXPECT_EQ(noWidth->HorzWidth.DisplayText(), "");
    EXPECT_EQ(noWidth->Frequency.DisplayText(), "");
}

// Front-to-back and tilt reach the record only where the header states a number.
TEST(PatternLoaders, StatedFrontToBackAndTiltReachThePattern) {
    struct TCase {
        const char* Name;
        std::string Text;
        const char* FrontToBack;
        const char* Tilt;
    };
    const TCase cases[] = {
        {"a.txt", OstrelBody("FRONT_TO_BACK -30.1\r\nTILT 6\r\n"), "-30.1", "6"},
        {"b.txt", OstrelBody("FRONT_TO_BACK 0\r\nTILT ELECTRICAL\r\nELECTRICAL_TILT 2\r\n"), "",
         "2"},
        {"c.txt", OstrelBody("TILT fixed\r\n"), "", ""},
        {"d.vwa", VerizonBody("electrical_tilt:\t0.00\r\n"), "", "0"},
        {"e.vwa", VerizonBody("electrical_tilt:\tnone\r\n"), "", ""},
    };
    TTempDir folder;
    for (const TCase& c : cases) {
        const auto pattern = LoadPatternFile(folder.Write(c.Name, c.Text)).TakeFirst();
        ASSERT_TRUE(pattern) << c.Name;
        EXPECT_EQ(pattern->FrontToBack.DisplayText(), c.FrontToBack) << c.Name;
        EXPECT_EQ(pattern->ElectricalTilt.DisplayText(), c.Tilt) << c.Name;
    }
}

TEST(PatternLoaders, FailuresGiveTheReasonAndNoPattern) {
    TTempDir folder;
    struct TCase {
        std::string Name;
        std::string Text;
        std::string Reason;
    };
    const std::vector<TCase> cases = {
        {"nothing.txt", "", "Cannot find Horizontal section."},
        {"edx.doc", "Title\r\n0, -1\r\n1, -2\r\n", "Cannot find Horizontal section."},
        {"novert.msi", "HORIZONTAL 360\r\n0 0\r\n", "Cannot find Vertical section."},
        {"unit.pln", "HORIZONTAL\n0 3.5 dB\nVERTICAL\n",
         "'3.5 dB' is not a valid floating point value (line 2)"},
        {"twin.txt", "HORIZONTAL\n0 0\n0 1\nVERTICAL\n",
         "Angle 0 is listed twice, first on line 2 (line 3)"},
        {"huge.txt", "HORIZONTAL\n0 0\n90 1e308\n359 0\nVERTICAL\n0 1e308\n359 1e308\n",
         "Floating point overflow"},
        {"ostrel-as.vwa", OstrelBody(kOstrelHeader), "Cannot find Horizontal section."},
    };
    for (const TCase& c : cases) {
        const TLoadedFile loaded = LoadPatternFile(folder.Write(c.Name, c.Text));
        EXPECT_FALSE(loaded.Loaded()) << c.Name;
        EXPECT_TRUE(loaded.Patterns.empty()) << c.Name;
        EXPECT_EQ(loaded.Failure, c.Reason) << c.Name;
    }
    EXPECT_EQ(LoadPatternFile(folder.File("missing.msi")).Failure,
              "Cannot open file \"" + folder.File("missing.msi") + "\". No such file or directory");
    std::filesystem::create_directory(folder.File("folder.txt"));
    EXPECT_EQ(
        LoadPatternFile(folder.File("folder.txt")).Failure,
        "Cannot open file \"" + folder.File("folder.txt") + "\". Not a regular file (directory)");
}

// The bytes come in chunks; sizes around a chunk's edge must arrive whole and in order.
TEST(PatternLoaders, FileBytesArriveWholeWhateverTheirSize) {
    TTempDir folder;
    for (const size_t size : {size_t{0}, size_t{1}, size_t{7655}, size_t{65535}, size_t{65536},
                              size_t{65537}, size_t{3 * 65536 + 5}}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) % 256);
        EXPECT_EQ(ReadFileBytes(folder.Write("f" + std::to_string(size), bytes)), bytes) << size;
    }
}

// What is not a pattern file is refused at once and unread: a pipe with no writer would
// block the open for ever, a device or a huge file would be read until memory runs out.
TEST(PatternLoaders, SpecialAndHugeFilesAreRefusedUnread) {
    TTempDir folder;
    ASSERT_EQ(::mkfifo(folder.File("pipe.txt").c_str(), 0644), 0);
    const std::string sparse = folder.File("sparse.msi");
    std::filesystem::resize_file(folder.Write("sparse.msi", ""), kMaxPatternFileBytes + 1);
    const std::string atLimit = folder.Write("limit.msi", "");
    std::filesystem::resize_file(atLimit, kMaxPatternFileBytes);

    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder.File("socket.txt");
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const std::pair<std::string, std::string> cases[] = {
        {folder.File("pipe.txt"), "Not a regular file (named pipe)"},
        {"/dev/zero", "Not a regular file (character device)"},
        {socketPath, "Not a regular file (socket)"},
        {sparse, "Too large for a pattern file (more than 64 MiB)"},
    };
    for (const auto& [path, reason] : cases) {
        const TLoadedFile loaded = LoadPatternFile(path);
        EXPECT_TRUE(loaded.Patterns.empty()) << path;
        EXPECT_EQ(loaded.Failure, "Cannot open file \"" + path + "\". " + reason);
    }
    ::close(listener);
    // The limit itself is still a file to read (and then to judge by its content).
    EXPECT_EQ(ReadFileBytes(atLimit).size(), kMaxPatternFileBytes);
}

// Files published by antenna makers, when the shared folder is beside the project.
TEST(PatternLoaders, RealMakerFilesLoadWithTheirHeaderFigures) {
    const std::filesystem::path folder = OSTREL_REALDATA_DIR;
    if (!std::filesystem::exists(folder / "B800A065-18-0E.pln")) {
        GTEST_SKIP() << "no real pattern files at " << folder;
    }
    const auto panel = LoadPatternFile(folder / "B800A065-18-0E.pln").TakeFirst();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->Frequency.DisplayText(), "851");
    EXPECT_EQ(GainText(*panel), "15.7 (13.6)");
    EXPECT_EQ(panel->HorzWidth.DisplayText(), "65");
    EXPECT_EQ(panel->VertWidth.DisplayText(), "11.2");
    EXPECT_DOUBLE_EQ(panel->AzimuthCut.GetPoint(0).Y, -30.1);
    EXPECT_DOUBLE_EQ(panel->AzimuthCut.GetPoint(180).Y, 0);

    const auto galtronics = LoadPatternFile(folder / "LTE-L_1960MHz_P1.txt").TakeFirst();
    ASSERT_TRUE(galtronics);
    EXPECT_EQ(GainText(*galtronics), "3.4 (1.3)");
    EXPECT_DOUBLE_EQ(galtronics->AzimuthCut.GetPoint(181).Y, -2.982) << "not normalised: kept";

    EXPECT_EQ(LoadPatternFile(folder / "009_freq.t.msi").Failure,
              "Cannot find Horizontal section.");
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find('.') == std::string::npos || name == "009_freq.t.msi") continue;
        const std::string extension = entry.path().extension().string();
        if (extension != ".msi" && extension != ".pln" && extension != ".txt") continue;
        TLoadedFile loaded = LoadPatternFile(entry.path());
        const auto pattern = loaded.TakeFirst();
        ASSERT_TRUE(pattern) << name << ": " << loaded.Failure;
        EXPECT_EQ(pattern->AzimuthCut.Count(), 361);
        for (const TRealPoint& point : pattern->VerticalCut.Points()) {
            EXPECT_LE(point.Y, 0) << name;
            EXPECT_TRUE(std::isfinite(point.Y)) << name;
        }
    }
}

}  // namespace
}  // namespace ostrel

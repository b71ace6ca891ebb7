// Fuzzes the loaders end to end, as the open command runs them: the input is written to a
// file once, then loaded under a ".txt" name (Ostrel) and a ".vwa" name (Verizon). A loader
// must never throw. A pattern that loads is written back with the format's writer and loaded
// again; the figures and, where the writer keeps them, the cuts must come back to the
// written decimals.

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "RoundTripChecks.h"
#include "formats/PatternLoaders.h"
#include "formats/PlanningFiles.h"
#include "formats/TextLines.h"
#include "model/Errors.h"
#include "model/PatternData.h"

namespace {

using namespace ostrel;
using namespace ostrel::fuzz;

// A private folder for the whole run, with the input file, a second name for it with the
// Verizon extension, and the files the round trips write.
struct TRunFiles {
    std::string Folder;
    std::string InputTxt;
    std::string InputVwa;
    std::string RoundTripTxt;
    std::string RoundTripVwa;

    TRunFiles() {
        // On a memory file system when there is one: every write of the program waits for
        // the disk, which on a real disk costs far more than the reading being fuzzed.
        std::string folderTemplate = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/ostrel-fuzz-XXXXXX"
                                                                     : "/tmp/ostrel-fuzz-XXXXXX";
        if (!::mkdtemp(folderTemplate.data())) std::abort();
        Folder = folderTemplate;
        InputTxt = Folder + "/input.txt";
        InputVwa = Folder + "/input.vwa";
        RoundTripTxt = Folder + "/roundtrip.txt";
        RoundTripVwa = Folder + "/roundtrip.vwa";
        WriteFileBytes(InputTxt, std::string());
        if (::symlink("input.txt", InputVwa.c_str()) != 0) std::abort();
    }
    ~TRunFiles() {
        ::unlink(InputVwa.c_str());
        ::unlink(InputTxt.c_str());
        ::unlink(RoundTripTxt.c_str());
        ::unlink(RoundTripVwa.c_str());
        ::rmdir(Folder.c_str());
    }
};

TRunFiles& RunFiles() {
    static TRunFiles files;
    return files;
}

void ExpectFiguresNear(const TPatternData& expected, const TPatternData& actual) {
    // A frequency the file does not state stays unknown; one it states comes back.
    if (expected.Frequency.IsNull != actual.Frequency.IsNull) Fail("frequency known on one side");
    if (!expected.Frequency.IsNull) {
        ExpectGeneralNear("frequency", expected.Frequency.Value, actual.Frequency.Value);
    }
    ExpectWidthNear("horizontal width", expected.HorzWidth, actual.HorzWidth);
    ExpectWidthNear("vertical width", expected.VertWidth, actual.VertWidth);
}

// The Ostrel writer keeps the header figures, whole-degree angles and |level| with 3
// decimals. The cuts are compared when nothing else was lost: every angle whole and every
// level of one sign, of moderate size.
void CheckOstrelRoundTrip(const std::string& bytes, const TPatternData& first) {
    TOstrelFile file;
    try {
        file.LoadFromText(bytes);
    } catch (const std::exception& error) {
        Fail(std::string("the loader read a file that the reader rejects: ") + error.what());
    }
    CheckOstrelFileRoundTrip(file);

    const std::string& path = RunFiles().RoundTripTxt;
    WriteFileBytes(path, file.SaveToText(path));
    TLoadedFile loaded = LoadPatternFile(path);
    const std::string& error = loaded.Failure;
    const std::unique_ptr<TPatternData> second = loaded.TakeFirst();
    const bool cutsComparable =
        AllWholeNumbers(file.HorizontalPoints) && AllWholeNumbers(file.VerticalPoints) &&
        LevelsComparable(file.HorizontalPoints) && LevelsComparable(file.VerticalPoints);
    if (!second) {
        if (cutsComparable) Fail("written Ostrel file does not load again: " + error);
        return;
    }
    ExpectFiguresNear(first, *second);
    // The file object writes back what it read; a unit without a number ("GAIN dBd") reads
    // as the unit's offset there, which the loader does not take for a stated gain.
    if (!first.Gain.IsNull) {
        if (second->Gain.IsNull) Fail("gain lost");
        ExpectNear(
            "gain", first.Gain.Value, second->Gain.Value,
            WrittenTolerance(2, first.Gain.Value) + 1e-14 * (1 + std::fabs(first.Gain.Value)));
    }
    if (!cutsComparable) return;
    ExpectCutNear("azimuth cut", first.AzimuthCut, second->AzimuthCut, 0.0005 + 1e-9);
    ExpectCutNear("vertical cut", first.VerticalCut, second->VerticalCut, 0.0005 + 1e-9);
    ExpectCutNear("horizontal cut", first.HorizontalCut, second->HorizontalCut, 0.0015 + 3e-9);
}

bool AllModerate(const TRealPointList& points) {
    for (const TRealPoint& point : points.Points()) {
        if (!(std::fabs(point.Y) < 1e6)) return false;
    }
    return true;
}

// The cut a Verizon file of `cut` reads back as: levelled to its own peak, and for the
// vertical cut mirrored (the value written for angle a comes back at -a).
TRealPointList ExpectedVerizonCut(const TRealPointList& cut, bool mirrored) {
    const double peak = cut.MaxY();
    TRealPointList expected;
    for (int k = 0; k < cut.Count(); ++k) {
        const double level = cut.PointAt(mirrored ? cut.Count() - 1 - k : k).Y;
        expected.Add(cut.PointAt(k).X, -std::fabs(level - peak));
    }
    return expected;
}

// The Verizon writer takes the 361-point cuts of a loaded pattern, adds the gain in dBd and
// keeps 3 decimals; reading levels each cut to its peak again.
void CheckVerizonRoundTrip(const TPatternData& first) {
    TVerizonFile file;
    file.Frequency = first.Frequency.Value;
    file.FrequencyStated = !first.Frequency.IsNull;
    file.MaxGainDbd = first.Gain.Value - 2.14;
    file.HorzBeamwidth = first.HorzWidth.IsNull ? 0 : first.HorzWidth.Value;
    file.HorizontalPoints.Assign(first.AzimuthCut);
    file.VerticalPoints.Assign(first.VerticalCut);

    const std::string& path = RunFiles().RoundTripVwa;
    WriteFileBytes(path, file.SaveToText("12-07-2026"));
    TLoadedFile loaded = LoadPatternFile(path);
    const std::string& error = loaded.Failure;
    const std::unique_ptr<TPatternData> second = loaded.TakeFirst();
    if (!second) Fail("written Verizon file does not load again: " + error);

    ExpectFiguresNear(first, *second);
    if (second->VertWidth.IsNull || second->VertWidth.Value != 0) {
        Fail("Verizon vertical width", 0, second->VertWidth.Value);
    }
    // Reading takes max_gain_dbd + 2.1 (not 2.14) when the dBd gain is above 0.
    const double gainDbd = file.MaxGainDbd;
    if (second->Gain.Value != 0) {
        ExpectNear("gain", gainDbd + 2.1, second->Gain.Value,
                   WrittenTolerance(2, gainDbd) + 1e-14 * (1 + std::fabs(gainDbd)));
    } else if (!(gainDbd <= WrittenTolerance(2, gainDbd))) {
        Fail("gain became 0", gainDbd + 2.1, 0);
    }

    if (!(std::fabs(gainDbd) < 1e6) || !AllModerate(first.AzimuthCut) ||
        !AllModerate(first.VerticalCut)) {
        return;
    }
    const TRealPointList azimuth = ExpectedVerizonCut(first.AzimuthCut, false);
    const TRealPointList vertical = ExpectedVerizonCut(first.VerticalCut, true);
    TRealPointList horizontal;
    BuildHorizontalCut(azimuth, vertical, horizontal);
    // Each written level and the written peak carry half a unit of the third decimal.
    ExpectCutNear("Verizon azimuth cut", azimuth, second->AzimuthCut, 0.001 + 1e-9);
    ExpectCutNear("Verizon vertical cut", vertical, second->VerticalCut, 0.001 + 1e-9);
    ExpectCutNear("Verizon horizontal cut", horizontal, second->HorizontalCut, 0.003 + 1e-9);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TRunFiles& files = RunFiles();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    WriteFileBytes(files.InputTxt, bytes);
    // A file whose content says NSMA or EDX is read as that whatever its name; the targets
    // of those formats check their round trips.
    if (HasPatternFileContent(bytes)) return 0;

    if (const std::unique_ptr<TPatternData> pattern = LoadPatternFile(files.InputTxt).TakeFirst()) {
        CheckOstrelRoundTrip(bytes, *pattern);
    }
    if (const std::unique_ptr<TPatternData> pattern = LoadPatternFile(files.InputVwa).TakeFirst()) {
        CheckVerizonRoundTrip(*pattern);
    }
    return 0;
}

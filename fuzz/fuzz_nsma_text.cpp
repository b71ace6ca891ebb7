// Fuzzes the NSMA reader on text in memory. Any failure must be a project error; a text
// that reads gives one pattern per frequency with finite 361-point cuts, and each pattern
// written as NSMA and read again keeps its cuts to the written decimals.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "RoundTripChecks.h"
#include "formats/NsmaFile.h"
#include "model/Errors.h"

using namespace ostrel;

namespace ostrel::fuzz {

// Cuts of 361 finite points; written as NSMA and read back, the same to three decimals.
inline void CheckNsmaRoundTrip(const TPatternData& pattern) {
    for (const TRealPointList* cut :
         {&pattern.AzimuthCut, &pattern.VerticalCut, &pattern.HorizontalCut}) {
        if (cut->Count() != 361) Fail("cut points", 361, cut->Count());
        for (const TRealPoint& point : cut->Points()) {
            if (!std::isfinite(point.Y)) Fail("finite level");
        }
    }
    std::string text;
    try {
        const TWrittenPattern written = NsmaTextOf(pattern, "fuzz");
        if (!written.Failure.empty()) return;  // a pattern the format cannot take
        text = written.Text;
    } catch (const EFormatError&) {
        return;  // a level too long for a point record
    }
    TNsmaFile again;
    again.LoadFromText(text);
    const auto back = MakeNsmaPatterns(again, "fuzz");
    if (back.size() != 1) Fail("patterns read back", 1, static_cast<double>(back.size()));
    for (int k = 0; k <= 360; ++k) {
        const double azimuth = pattern.AzimuthCut.PointAt(k).Y;
        const double vertical = pattern.VerticalCut.PointAt(k).Y;
        ExpectNear("azimuth", azimuth, back[0]->AzimuthCut.PointAt(k).Y,
                   WrittenTolerance(3, azimuth));
        ExpectNear("vertical", vertical, back[0]->VerticalCut.PointAt(k).Y,
                   WrittenTolerance(3, vertical));
    }
}

}  // namespace ostrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TNsmaFile file;
    try {
        file.LoadFromText(text);
    } catch (const EOstrelError&) {
        return 0;
    }
    try {
        const auto patterns = MakeNsmaPatterns(file, "fuzz");
        if (patterns.size() != file.Frequencies.size()) {
            fuzz::Fail("one pattern per frequency", static_cast<double>(file.Frequencies.size()),
                       static_cast<double>(patterns.size()));
        }
        for (const auto& pattern : patterns) fuzz::CheckNsmaRoundTrip(*pattern);
    } catch (const EOstrelError&) {
    }
    return 0;
}

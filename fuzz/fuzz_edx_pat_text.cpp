// Fuzzes the EDX pattern file reader on text in memory. Any failure must be a project error;
// a text that reads gives a pattern whose azimuth and vertical cuts have 361 finite points at
// or below 0 dB, and which written as NSMA and read again keeps them to three decimals.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "RoundTripChecks.h"
#include "formats/EdxPatFile.h"
#include "formats/NsmaFile.h"
#include "model/Errors.h"

using namespace ostrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TEdxPatFile file;
    try {
        file.LoadFromText(text);
    } catch (const EOstrelError&) {
        return 0;
    }
    std::unique_ptr<TPatternData> pattern;
    try {
        pattern = MakeEdxPatPattern(file, "fuzz");
    } catch (const EOstrelError&) {
        return 0;
    }
    for (const TRealPointList* cut : {&pattern->AzimuthCut, &pattern->VerticalCut}) {
        if (cut->Count() != 361) fuzz::Fail("cut points", 361, cut->Count());
        for (const TRealPoint& point : cut->Points()) {
            if (!std::isfinite(point.Y) || point.Y > 0) fuzz::Fail("level", 0, point.Y);
        }
    }
    std::string nsma;
    try {
        const TWrittenPattern written = NsmaTextOf(*pattern, "fuzz");
        if (!written.Failure.empty()) return 0;  // a pattern the format cannot take
        nsma = written.Text;
    } catch (const EFormatError&) {
        return 0;  // a level too long for a point record
    }
    TNsmaFile again;
    again.LoadFromText(nsma);
    const auto back = MakeNsmaPatterns(again, "fuzz");
    for (int k = 0; k <= 360; ++k) {
        const double vertical = pattern->VerticalCut.PointAt(k).Y;
        fuzz::ExpectNear("vertical", vertical, back.at(0)->VerticalCut.PointAt(k).Y,
                         fuzz::WrittenTolerance(3, vertical));
    }
    return 0;
}

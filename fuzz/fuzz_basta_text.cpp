// Fuzzes the BASTA 3D JSON reader on bytes in memory, parsed both in place (spare capacity
// for the parser's padding) and from its own copy. Any failure must be a project error; a
// text that reads gives a sphere levelled to 0 dB, cuts of 361 finite points at or below
// 0 dB, finite levels between the samples and finite figures, the same either way.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "RoundTripChecks.h"
#include "formats/BastaFile.h"
#include "model/Errors.h"

using namespace ostrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string exact(reinterpret_cast<const char*>(data), size);
    exact.shrink_to_fit();
    std::string padded;
    padded.reserve(size + 64);
    padded.assign(exact);
    std::unique_ptr<TPatternData> pattern;
    bool refused = false;
    try {
        pattern = std::move(MakeBastaPatterns(exact, "fuzz.json").front());
    } catch (const EOstrelError&) {
        refused = true;
    }
    std::unique_ptr<TPatternData> inPlace;
    try {
        inPlace = std::move(MakeBastaPatterns(padded, "fuzz.json").front());
    } catch (const EOstrelError&) {
        if (!refused) fuzz::Fail("refused in place only");
        return 0;
    }
    if (refused) fuzz::Fail("refused from a copy only");

    const TMeasuredSphere& sphere = *pattern->Sphere;
    double highest = -1;
    for (const double level : sphere.Levels(TSphereComponent::Total)) {
        if (!std::isfinite(level) || level > 0) fuzz::Fail("sample level", 0, level);
        highest = std::max(highest, level);
    }
    fuzz::ExpectNear("highest level", 0, highest, 0);
    for (const TRealPointList* cut : {&pattern->AzimuthCut, &pattern->VerticalCut}) {
        if (cut->Count() != 361) fuzz::Fail("cut points", 361, cut->Count());
        for (const TRealPoint& point : cut->Points()) {
            if (!std::isfinite(point.Y) || point.Y > 0) fuzz::Fail("cut level", 0, point.Y);
        }
    }
    for (int k = 0; k <= 360; ++k) {
        fuzz::ExpectNear("same cut in place", pattern->VerticalCut.PointAt(k).Y,
                         inPlace->VerticalCut.PointAt(k).Y, 0);
    }
    for (double azimuth = -180; azimuth <= 180; azimuth += 37.3) {
        for (double vertical = -90; vertical <= 90; vertical += 13.1) {
            for (const TSphereComponent component : sphere.Components()) {
                if (!std::isfinite(sphere.Level(component, azimuth, vertical)))
                    fuzz::Fail("level between samples");
            }
        }
    }
    const TSphereFigures& figures = sphere.Figures();
    for (const double figure : {figures.DirectivityDbi, figures.EasCell, figures.EasInt1,
                                figures.EasInt2, figures.EasInt3, figures.EasEmf, figures.EasWasted,
                                figures.PeakAzimuthDeg, figures.PeakVerticalDeg}) {
        if (!std::isfinite(figure)) fuzz::Fail("figure", 0, figure);
    }
    return 0;
}

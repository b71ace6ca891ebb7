#pragma once

// Checks shared by the fuzz targets: what a reader, its writer and the reader again must
// agree on. A failed check prints what differed and aborts, so libFuzzer keeps the input.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/PlanningFiles.h"
#include "model/PatternData.h"
#include "model/PrimitiveObjects.h"
#include "support/ReadingOutcome.h"

namespace ostrel::fuzz {

[[noreturn]] inline void Fail(const std::string& what, double expected, double actual) {
    std::fprintf(stderr, "round trip mismatch: %s: expected %.17g, got %.17g\n", what.c_str(),
                 expected, actual);
    std::abort();
}

[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "round trip mismatch: %s\n", what.c_str());
    std::abort();
}

// Half a unit of the last written decimal, plus what double arithmetic on values of this
// size may lose on the way.
inline double WrittenTolerance(int decimals, double magnitude) {
    return 0.5 * std::pow(10.0, -decimals) + 4e-15 * std::fabs(magnitude) + 1e-300;
}

inline void ExpectNear(const std::string& what, double expected, double actual, double tolerance) {
    if (!(std::fabs(expected - actual) <= tolerance)) Fail(what, expected, actual);
}

// A number written in the general format (15 significant digits) and read back.
inline void ExpectGeneralNear(const std::string& what, double expected, double actual) {
    ExpectNear(what, expected, actual, 1e-14 * std::fabs(expected) + 1e-300);
}

// Points written with `xDecimals` and `yDecimals` and read back; the writer stores levels
// as positive attenuations, so read Y is compared with |Y|.
inline void ExpectPointsNear(const std::string& what, const TRealPointList& expected,
                             const TRealPointList& actual, int xDecimals, int yDecimals) {
    if (expected.Count() != actual.Count()) {
        Fail(what + " point count", expected.Count(), actual.Count());
    }
    for (int i = 0; i < expected.Count(); ++i) {
        const TRealPoint& e = expected.PointAt(i);
        const TRealPoint& a = actual.PointAt(i);
        const std::string where = what + " point " + std::to_string(i);
        ExpectNear(where + " X", e.X, a.X, WrittenTolerance(xDecimals, e.X));
        ExpectNear(where + " |Y|", std::fabs(e.Y), a.Y, WrittenTolerance(yDecimals, e.Y));
    }
}

// An Ostrel file object that has been read: written with SaveToText and read again, it
// must give the same figures and points to the written decimals. Make and Tilt are texts,
// not figures, and are left out.
inline void CheckOstrelFileRoundTrip(const TOstrelFile& original) {
    const std::string text = original.SaveToText("/tmp/roundtrip.txt");
    TOstrelFile again;
    try {
        again.LoadFromText(text);
    } catch (const std::exception& error) {
        Fail(std::string("written Ostrel file does not read back: ") + error.what());
    }
    ExpectGeneralNear("FREQUENCY", original.Frequency, again.Frequency);
    ExpectNear("H_WIDTH", original.HWidth, again.HWidth, WrittenTolerance(2, original.HWidth));
    ExpectNear("V_WIDTH", original.VWidth, again.VWidth, WrittenTolerance(2, original.VWidth));
    ExpectNear("FRONT_TO_BACK", original.FrontToBack, again.FrontToBack,
               WrittenTolerance(2, original.FrontToBack));
    // Written as dBd with 2 decimals, read back as dBi: two additions of 2.14 on the way.
    ExpectNear("GAIN", original.Gain, again.Gain,
               WrittenTolerance(2, original.Gain) + 1e-14 * (1 + std::fabs(original.Gain)));
    ExpectPointsNear("HORIZONTAL", original.HorizontalPoints, again.HorizontalPoints, 0, 3);
    ExpectPointsNear("VERTICAL", original.VerticalPoints, again.VerticalPoints, 0, 3);
}

// A boxed figure written with 2 decimals (the writer leaves the value out when it is
// exactly 0, and the loader then leaves the figure null).
inline void ExpectWidthNear(const std::string& what, const TDoubleObject& expected,
                            const TDoubleObject& actual) {
    const double value = expected.IsNull ? 0 : expected.Value;
    const double tolerance = WrittenTolerance(2, value);
    if (actual.IsNull) {
        if (!(std::fabs(value) <= tolerance)) Fail(what + " became empty", value, 0);
    } else {
        ExpectNear(what, value, actual.Value, tolerance);
    }
}

inline bool AllWholeNumbers(const TRealPointList& points) {
    for (const TRealPoint& point : points.Points()) {
        if (point.X != std::nearbyint(point.X)) return false;
    }
    return true;
}

// True when every level has one sign and a moderate size: then interpolating |Y| gives the
// same as |interpolated Y|, so cuts built from the written attenuations are comparable.
inline bool LevelsComparable(const TRealPointList& points) {
    bool anyPositive = false;
    bool anyNegative = false;
    for (const TRealPoint& point : points.Points()) {
        if (!(std::fabs(point.Y) < 1e6)) return false;
        anyPositive = anyPositive || point.Y > 0;
        anyNegative = anyNegative || point.Y < 0;
    }
    return !(anyPositive && anyNegative);
}

inline void ExpectCutNear(const std::string& what, const TRealPointList& expected,
                          const TRealPointList& actual, double tolerance) {
    if (expected.Count() != actual.Count()) {
        Fail(what + " point count", expected.Count(), actual.Count());
    }
    for (int i = 0; i < expected.Count(); ++i) {
        const std::string where = what + " point " + std::to_string(i);
        ExpectNear(where + " X", expected.PointAt(i).X, actual.PointAt(i).X, 0);
        ExpectNear(where + " Y", expected.PointAt(i).Y, actual.PointAt(i).Y,
                   tolerance * (1 + 1e-9 * std::fabs(expected.PointAt(i).Y)));
    }
}

// The one-pass reading and the line-by-line reading of the same text must agree on every
// figure, every point to the bit and every error message.
template <class TFile>
void CheckReadingPathsAgree(std::string_view text) {
    const std::string fast = ReadingOutcome<TFile>(text, &TFile::LoadFromText);
    const std::string plain = ReadingOutcome<TFile>(text, &TFile::LoadFromTextLineByLine);
    if (fast != plain) Fail("one-pass and line-by-line readings differ");
}

}  // namespace ostrel::fuzz

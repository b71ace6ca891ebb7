#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// Patterns made from patterns. Each result is a whole record of its own (its cuts, gain and
// frequency copied, never shared), so its sources may be closed afterwards. Inputs that
// cannot give a result throw EInvalidOp with a message naming the pattern or the value at
// fault; every pattern needs its three full 361-point cuts.
//
// A result is marked Derived, its Id is -1 (whoever lists it gives one) and FileName holds
// its name: "Envelope of 9", "A ↔ B at 1930 MHz", "A ↔ B at 2° tilt" (A and B
// the display names). It has no measured sphere, even when its sources have one: only
// their cuts take part. Its header widths and F/B are unknown (its figures come from its
// cuts, as for any pattern); tilt, polarisations, maker and model are kept when all its
// sources state them alike.

// The envelope in dBi of two or more patterns: per cut and angle the highest gain + level;
// the envelope's gain is the highest of those over both cuts, its levels what remains. The
// horizontal cut follows from the two as for any pattern read from a file. Frequency: the
// one all share, else none. Every pattern needs a gain.
std::unique_ptr<TPatternData> EnvelopePattern(const std::vector<const TPatternData*>& patterns);

// What an interpolation runs along.
enum class TInterpolationAxis { Frequency, ElectricalTilt };

// The pattern at `value` of frequency or electrical tilt, linear in dB between `a` and `b`
// (t = (value - a) / (b - a); level and gain (1 - t) a + t b). Both need the value, they must
// differ, and `value` must lie between them, ends included. The result has a gain only when
// both have one; the other axis's value (tilt or frequency) only when both state it alike.
std::unique_ptr<TPatternData> InterpolatePattern(const TPatternData& a, const TPatternData& b,
                                                 TInterpolationAxis axis, double value);

// The comparison of `b` with the reference `a` along one cut.
struct TCutComparison {
    // d(angle) = (gain_b + level_b) - (gain_a + level_a) at -180..180 (361 points); the gains
    // are left out when relative.
    std::vector<double> DifferenceDb;
    double MaxDifferenceDb = 0;  // the d of largest |d|, signed
    double MaxDifferenceAngleDeg = 0;
    double RmsDb = 0;          // over the 360 directions -180..179
    double RmsMainLobeDb = 0;  // over the reference's main lobe between its -10 dB crossings
};

struct TPatternComparison {
    bool Relative = false;
    TCutComparison Azimuth;
    TCutComparison Vertical;
    TCutComparison Horizontal;
};

// Both need a gain unless `relative`. The main lobe of a cut is the reference's whole-degree
// points from its peak each way up to its -10 dB crossings, walked as the figures walk
// (MainLobeExtent); the whole cut when a side has no crossing. The largest |d| is taken over
// the 361 points; ties (magnitudes equal to 1e-9 dB, far below a sum's rounding) go to the
// smallest |angle|, then to the smaller angle.
TPatternComparison ComparePatterns(const TPatternData& a, const TPatternData& b, bool relative);

}  // namespace ostrel

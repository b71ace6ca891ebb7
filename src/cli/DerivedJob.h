#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandOptions.h"
#include "model/DerivedPatterns.h"

namespace ostrel {

// The patterns made from patterns that ostrel-inspect and ostrel-convert make on request:
// --envelope FILE..., --interpolate freq|tilt X A B, --compare A B [--relative]. The files'
// patterns join in command-line order, every pattern of a file (an NSMA file holds one per
// frequency): an envelope takes them all; an interpolation and a comparison need exactly two
// in all, so A and B may also be one file of two patterns.
struct TDerivedRequest {
    bool Envelope = false;
    bool Compare = false;
    bool Relative = false;
    std::string InterpolateAxis;  // "" when no interpolation is asked for
    bool Wanted() const { return Envelope || Compare || Relative || !InterpolateAxis.empty(); }
};

// The options, for a tool's table; `withCompare` adds --compare and --relative.
std::vector<TOptionSpec> DerivedOptions(TDerivedRequest& request, bool withCompare);

// "" or the usage problem of the request with these operands (--relative alone, two
// operations at once, too few files, a value that is no number).
std::string DerivedUsageProblem(const TDerivedRequest& request,
                                const std::vector<std::string>& operands);

// Reads the files and makes the envelope or the interpolation. Throws EOstrelError naming the
// file, the pattern or the value at fault.
std::unique_ptr<TPatternData> MakeDerivedPattern(const TDerivedRequest& request,
                                                 const std::vector<std::string>& operands);

// Reads the two patterns and writes their comparison: 'key: value' lines, 3 decimals, and
// with `withCuts` one line per angle, 'angle az v h'. Throws like MakeDerivedPattern.
void WriteComparison(const TDerivedRequest& request, const std::vector<std::string>& operands,
                     bool withCuts, std::ostream& out);

}  // namespace ostrel

#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CommandOptions.h"

#include "views/Coverage.h"

namespace ostrel {

// The site of ostrel-inspect --coverage as its options build it: each option's value is
// read as a number ("--height: not a number: 'x'"), then the whole site is checked against
// the file.
struct TCoverageRequest {
    TCoverageSite Site;
    int OptionsGiven = 0;
    // The option value's problem, or "" once it is stored.
    std::string SetHeight(const std::string& text);
    std::string SetRxHeight(const std::string& text);
    std::string SetMechTilt(const std::string& text);
    std::string SetPower(const std::string& text);
    std::string SetFrequency(const std::string& text);
    std::string SetRadius(const std::string& text);
    std::string SetStep(const std::string& text);
    std::string SetModel(const std::string& name);
};

// The site's options of ostrel-inspect --coverage (--height ... --step), in --help order.
std::vector<TOptionSpec> CoverageSiteOptions(TCoverageRequest& request);

// ostrel-inspect --coverage FILE: "model: NAME", a "note: ..." line for a model used outside
// its range and one for a pattern without gain, the four key distances ("beam_hit_m: 816.1",
// "horizon" or "none"), "profile D LEVEL" lines along boresight, then "x y level" lines of
// the grid, row by row from y = +radius down. Levels in dBm with two decimals. Returns "" or,
// writing nothing, the site's problem (CoverageSiteProblem).
std::string WriteCoverage(const TPatternData& pattern, const TCoverageSite& site,
                          std::ostream& out);

}  // namespace ostrel

#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// The step of ostrel-inspect --grid3d STEP: a whole number of degrees that divides 90; 0
// when the text is no such number.
int Grid3dStep(const std::string& stepText);

// The levels --grid3d gives: the file's measured sphere or one of the estimates from its two
// cuts; Default is the measured sphere where there is one, else the weighted bilinear
// estimate.
enum class TGridMethod { Default, Measured, CutSum, WeightedBilinear };

// The method of --method NAME ("measured", "cutsum", "wbi"); nothing for another name.
std::optional<TGridMethod> GridMethodNamed(const std::string& name);

// ostrel-inspect --grid3d STEP FILE: the 3D view's level grid for each pattern of FILE, one
// line "azimuth vertical level" per direction after a header line, azimuth -180..180 outer,
// vertical angle -90..90 inner, both in STEP degrees, the level in dB with three decimals.
// A file of several patterns gives one grid each, in file order, each after a line
// "file: NAME" and separated by an empty line. Returns "" or, writing nothing, why the
// method does not fit a pattern (a measured grid of a file of two cuts).
std::string WriteGrid3d(int step, const std::vector<std::unique_ptr<TPatternData>>& patterns,
                        TGridMethod method, std::ostream& out);

}  // namespace ostrel

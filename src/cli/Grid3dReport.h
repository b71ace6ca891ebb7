#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "model/PatternData.h"

namespace ostrel {

// The step of ostrel-inspect --grid3d STEP: a whole number of degrees that divides 90; 0
// when the text is no such number.
int Grid3dStep(const std::string& stepText);

// ostrel-inspect --grid3d STEP FILE: the 3D view's level grid for each pattern of FILE, one
// line "azimuth vertical level" per direction after a header line, azimuth -180..180 outer,
// vertical angle -90..90 inner, both in STEP degrees, the level in dB with three decimals.
// A file of several patterns gives one grid each, in file order, each after a line
// "file: NAME" and separated by an empty line.
void WriteGrid3d(int step, const std::vector<std::unique_ptr<TPatternData>>& patterns,
                 std::ostream& out);

}  // namespace ostrel

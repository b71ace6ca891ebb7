#pragma once

#include <iosfwd>
#include <string>

namespace ostrel {

// ostrel-inspect --grid3d STEP FILE: the 3D view's level grid for the pattern of FILE, one
// line "azimuth vertical level" per direction, azimuth -180..180 outer, vertical angle
// -90..90 inner, both in STEP degrees, the level in dB with three decimals. Returns 0, 1 when
// the file does not load (the reason on `err`), 2 when STEP is no whole divisor of 90.
int WriteGrid3d(const std::string& stepText, const std::string& path, std::ostream& out,
                std::ostream& err);

}  // namespace ostrel

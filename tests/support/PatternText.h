#pragma once

#include <functional>
#include <string>

namespace ostrel {

// Builders of small pattern files for tests: a header, then sections of "angle level" lines
// produced by a level function over the angles first, first + step, ... < first + 360.
std::string OstrelText(const std::string& header, const std::function<double(double)>& horizontal,
                       const std::function<double(double)>& vertical, double step = 1,
                       const std::string& lineEnd = "\r\n");

// A Verizon file with 360 horizontal and 360 vertical lines; the vertical section's line k
// carries `vertical(k)` (line 179 is the 0-degree direction).
std::string VerizonText(const std::string& header, const std::function<double(int)>& horizontal,
                        const std::function<double(int)>& vertical);

// An EDX file: a title, "a, level" lines for a = 0..359, a caption, "cutCount, cuts", then
// blocksWritten (all when negative) blocks of the label EdxLabel(c) and the lines
// "e,  vertical(c, e)" for e = 90 down to -90.
std::string EdxText(int cutCount, const std::function<double(int)>& azimuth,
                    const std::function<double(int cut, int elevation)>& vertical,
                    int blocksWritten = -1);
// "AZ " and five times the cut's index.
std::string EdxLabel(int cut);

}  // namespace ostrel

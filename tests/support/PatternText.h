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

}  // namespace ostrel

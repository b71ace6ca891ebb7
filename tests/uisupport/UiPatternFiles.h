#pragma once

#include <string>
#include <vector>

namespace ostrel {

// Three pattern files for the UI tests that show patterns to people: files published by
// antenna makers when the shared folder of them is beside the project, else the project's
// own samples.
std::vector<std::string> ShownPatternFiles();

}  // namespace ostrel

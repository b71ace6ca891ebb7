#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ostrel {

// ostrel-inspect: tells what the viewer makes of pattern files and why a file does not load.
// Returns the exit status: 0 when every file loaded, 1 when any did not, 2 for a usage error.
int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace ostrel

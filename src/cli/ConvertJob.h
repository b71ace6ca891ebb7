#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ostrel {

// ostrel-convert: writes every pattern of the given files in another format. Returns the
// exit status: 0 when every file converted, 1 when any did not, 2 for a usage error.
int RunConvert(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace ostrel

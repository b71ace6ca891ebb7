#pragma once

#include <string>
#include <vector>

namespace ostrel {

// The pattern files named on the viewer's command line ("OstrelViewer FILE..."), as full
// paths in the order given. A desktop passes local paths (Exec=OstrelViewer %F), some
// file managers "file://" URLs; relative paths are taken from `currentFolder`. Arguments
// starting with "-" are options, none of which the viewer has: they are skipped, unless
// they follow "--", after which every argument is a file.
std::vector<std::string> PatternFileArguments(const std::vector<std::string>& arguments,
                                              const std::string& currentFolder);

}  // namespace ostrel

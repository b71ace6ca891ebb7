#pragma once

#include <optional>
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

// The viewer's usage text, as "OstrelViewer --help" prints it.
extern const char* const kViewerUsage;

// What the viewer prints instead of starting when "-h"/"--help" or "--version" stands
// before any "--": the usage text, or "OstrelViewer <version>" (the first of them given
// wins); nothing when neither is there.
std::optional<std::string> ViewerHelpOrVersion(const std::vector<std::string>& arguments);

}  // namespace ostrel

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// The extensions (lower case, with the dot) of the files a folder contributes when it is
// opened as a library. Other files in the folder are passed over without a reason.
const std::vector<std::string_view>& PatternFileExtensions();

// True when the path's extension, in any letter case, is one of PatternFileExtensions().
bool HasPatternFileExtension(std::string_view path);

// Every pattern file below `folder` (recursively, following no symbolic link to a folder),
// sorted by path byte by byte so the order never depends on the file system. Folders that
// cannot be read are skipped. Raises EOstrelError when `folder` is not a readable folder.
std::vector<std::string> ListPatternFiles(const std::string& folder);

// The paths of a command line or a drop: files stay as given, each folder is replaced by
// ListPatternFiles of it, in the order given.
std::vector<std::string> ExpandPatternPaths(const std::vector<std::string>& paths);

}  // namespace ostrel

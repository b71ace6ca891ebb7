#pragma once

#include <string>
#include <vector>

namespace ostrel {

// The folders the build was configured to install into (CMAKE_INSTALL_PREFIX with the
// GNU layout): a program whose executable lies in BinFolder is the installed copy, and its
// read-only run-time files are in DataFolder.
struct TInstallLayout {
    std::string BinFolder;   // e.g. "/usr/bin"
    std::string DataFolder;  // e.g. "/usr/share/ostrel-viewer"
};

// The layout compiled into this program.
const TInstallLayout& CompiledInstallLayout();

// Whether two absolute folder paths name the same folder, compared as text after removing
// "." and ".." parts, doubled and trailing slashes (links are not followed: callers pass
// resolved paths). An empty path names no folder.
bool SameFolderPath(const std::string& first, const std::string& second);

// Whether a program in `programFolder` is the installed copy of `layout`.
bool IsInstalledProgramFolder(const std::string& programFolder, const TInstallLayout& layout);

// The folders run-time files (the companion 3D program, the guide) are looked for in, most
// important first, each with a trailing "/": the program's own folder, then, for the
// installed copy only, the layout's data folder. A program run from its build folder never
// picks up an installed copy's files.
std::vector<std::string> RuntimeFileFolders(const std::string& programFolder,
                                            const TInstallLayout& layout);

// The running program's own folder (resolved through /proc/self/exe), or "" when unknown.
std::string RunningProgramFolder();

}  // namespace ostrel

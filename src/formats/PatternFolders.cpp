#include "formats/PatternFolders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "formats/PatternLoaders.h"
#include "model/AsciiText.h"
#include "model/Errors.h"
#include "model/PatternData.h"

namespace ostrel {

const std::vector<std::string_view>& PatternFileExtensions() {
    // The readers choose by extension and content; this list only decides which files of a
    // folder are tried at all.
    static const std::vector<std::string_view> kExtensions = {".txt", ".pln", ".msi",  ".vwa",
                                                              ".adf", ".nsm", ".nsma", ".pat"};
    return kExtensions;
}

bool HasPatternFileExtension(std::string_view path) {
    const std::string_view name = FileNamePartView(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = name.substr(dot);
    return std::any_of(
        PatternFileExtensions().begin(), PatternFileExtensions().end(),
        [extension](std::string_view known) { return SameIgnoringAsciiCase(extension, known); });
}

std::vector<std::string> ListPatternFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error)) throw EOstrelError("'" + folder + "' is not a folder");
    std::vector<std::string> files;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          error);
    if (error) throw EOstrelError("Cannot read folder '" + folder + "': " + error.message());
    for (const fs::recursive_directory_iterator end; walk != end; walk.increment(error)) {
        if (error) break;
        std::error_code typeError;
        if (!walk->is_regular_file(typeError)) continue;
        std::string path = walk->path().string();
        if (HasPatternFileExtension(path) || HasPatternFileContent(path)) {
            files.push_back(std::move(path));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> ExpandPatternPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> expanded;
    for (const std::string& path : paths) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            std::vector<std::string> files = ListPatternFiles(path);
            expanded.insert(expanded.end(), std::make_move_iterator(files.begin()),
                            std::make_move_iterator(files.end()));
        } else {
            expanded.push_back(path);
        }
    }
    return expanded;
}

}  // namespace ostrel

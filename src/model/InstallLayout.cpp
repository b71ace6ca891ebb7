#include "model/InstallLayout.h"

#include <filesystem>
#include <system_error>

namespace ostrel {

namespace {

std::string NormalFolder(const std::string& path) {
    std::string normal = std::filesystem::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
}

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

const TInstallLayout& CompiledInstallLayout() {
    static const TInstallLayout layout{OSTREL_INSTALL_BINDIR, OSTREL_INSTALL_DATADIR};
    return layout;
}

bool SameFolderPath(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) return false;
    return NormalFolder(first) == NormalFolder(second);
}

bool IsInstalledProgramFolder(const std::string& programFolder, const TInstallLayout& layout) {
    return SameFolderPath(programFolder, layout.BinFolder);
}

std::vector<std::string> RuntimeFileFolders(const std::string& programFolder,
                                            const TInstallLayout& layout) {
    std::vector<std::string> folders;
    if (programFolder.empty()) return folders;
    folders.push_back(WithTrailingSlash(programFolder));
    if (IsInstalledProgramFolder(programFolder, layout) && !layout.DataFolder.empty()) {
        folders.push_back(WithTrailingSlash(layout.DataFolder));
    }
    return folders;
}

std::string RunningProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

}  // namespace ostrel

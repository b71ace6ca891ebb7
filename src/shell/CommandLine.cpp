#include "shell/CommandLine.h"

#include "shell/Branding.h"

namespace ostrel {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The path of a "file://" URL with its %XX escapes undone; a "file://host/..." URL keeps
// only its path. Malformed escapes stay as written.
std::string LocalPathOfFileUrl(const std::string& url) {
    std::string rest = url.substr(7);
    const size_t slash = rest.find('/');
    rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 &&
            HexValue(rest[i + 2]) >= 0) {
            path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

}  // namespace

std::vector<std::string> PatternFileArguments(const std::vector<std::string>& arguments,
                                              const std::string& currentFolder) {
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (argument.empty()) continue;
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.front() == '-') continue;
        std::string path =
            argument.rfind("file://", 0) == 0 ? LocalPathOfFileUrl(argument) : argument;
        if (path.empty()) continue;
        if (path.front() != '/') {
            std::string folder = currentFolder;
            if (folder.empty() || folder.back() != '/') folder += '/';
            path = folder + path;
        }
        paths.push_back(path);
    }
    return paths;
}

const char* const kViewerUsage =
    "usage: OstrelViewer [--] [FILE|FOLDER]...\n"
    "       OstrelViewer --help | --version\n"
    "Opens the antenna pattern files, and every pattern file below each FOLDER, in a new\n"
    "window, as File > Open would; without arguments the window starts empty.\n"
    "  --            every later argument is a file, even one starting with '-'\n"
    "  -h, --help    this text\n"
    "  --version     the program's version\n"
    "Other arguments starting with '-' are ignored. The installed program keeps its\n"
    "settings in $XDG_CONFIG_HOME/OstrelViewer/settings.ini (~/.config/OstrelViewer/);\n"
    "a copy run from elsewhere keeps them beside itself when it can write there.\n";

std::optional<std::string> ViewerHelpOrVersion(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "-h" || argument == "--help") return std::string(kViewerUsage);
        if (argument == "--version") {
            return std::string("OstrelViewer ") + branding::ProgramVersion() + "\n";
        }
    }
    return std::nullopt;
}

}  // namespace ostrel

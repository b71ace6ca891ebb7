#include "shell/CommandLine.h"

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

}  // namespace ostrel

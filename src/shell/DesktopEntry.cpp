#include "shell/DesktopEntry.h"

#include <algorithm>

namespace ostrel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

// Splits a path list such as $XDG_DATA_DIRS at its colons.
std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return parts;
}

std::string ApplicationsFolderOf(std::string_view dataFolder) {
    while (dataFolder.size() > 1 && dataFolder.back() == '/') dataFolder.remove_suffix(1);
    std::string folder(dataFolder);
    if (folder != "/") folder += '/';
    return folder + "applications/";
}

}  // namespace

std::string UnescapeDesktopValue(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\' || i + 1 >= value.size()) {
            result += c;
            continue;
        }
        switch (value[i + 1]) {
            case 's':
                result += ' ';
                break;
            case 'n':
                result += '\n';
                break;
            case 't':
                result += '\t';
                break;
            case 'r':
                result += '\r';
                break;
            case '\\':
                result += '\\';
                break;
            default:
                // Not a string escape: the backslash belongs to the value (Exec quoting
                // uses it for \" and \$).
                result += c;
                continue;
        }
        ++i;
    }
    return result;
}

std::optional<TDesktopEntry> ParseDesktopEntry(std::string_view text) {
    TDesktopEntry entry;
    bool foundGroup = false;
    bool inGroup = false;
    bool haveType = false, haveExec = false, haveTryExec = false, haveHidden = false;
    for (std::string_view line : SplitAt(text, '\n')) {
        line = TrimBlanks(line);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            // The group comes once; a later group ends it for good.
            if (!inGroup && foundGroup) break;
            foundGroup = foundGroup || inGroup;
            continue;
        }
        if (!inGroup) continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = TrimBlanks(line.substr(0, equals));
        const std::string value = UnescapeDesktopValue(TrimLeadingBlanks(line.substr(equals + 1)));
        if (key == "Type" && !haveType) {
            entry.Type = value;
            haveType = true;
        } else if (key == "Exec" && !haveExec) {
            entry.Exec = value;
            haveExec = true;
        } else if (key == "TryExec" && !haveTryExec) {
            entry.TryExec = value;
            haveTryExec = true;
        } else if (key == "Hidden" && !haveHidden) {
            entry.Hidden = value == "true";
            haveHidden = true;
        }
    }
    if (!foundGroup) return std::nullopt;
    return entry;
}

std::optional<std::vector<std::string>> ExecCommandForFile(std::string_view exec,
                                                           const std::string& filePath) {
    std::vector<std::string> arguments;
    std::string current;
    // An argument exists once it has a character or a pair of quotes, so "" is an empty
    // argument while a lone %i leaves none.
    bool inArgument = false;
    bool fileUsed = false;
    bool fileInProgram = false;
    const size_t n = exec.size();
    size_t i = 0;
    while (i < n) {
        const char c = exec[i];
        if (IsBlank(c)) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
            ++i;
        } else if (c == '"') {
            inArgument = true;
            ++i;
            while (true) {
                if (i >= n) return std::nullopt;
                const char q = exec[i];
                if (q == '"') {
                    ++i;
                    break;
                }
                const char next = i + 1 < n ? exec[i + 1] : '\0';
                if (q == '\\' && (next == '"' || next == '`' || next == '$' || next == '\\')) {
                    current += next;
                    i += 2;
                } else if (q == '%' && next == '%') {
                    current += '%';
                    i += 2;
                } else {
                    current += q;
                    ++i;
                }
            }
        } else if (c == '\'') {
            const size_t close = exec.find('\'', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            current.append(exec.substr(i + 1, close - i - 1));
            inArgument = true;
            i = close + 1;
        } else if (c == '\\') {
            if (i + 1 >= n) return std::nullopt;
            current += exec[i + 1];
            inArgument = true;
            i += 2;
        } else if (c == '%') {
            if (i + 1 >= n) return std::nullopt;
            const char code = exec[i + 1];
            i += 2;
            switch (code) {
                case '%':
                    current += '%';
                    inArgument = true;
                    break;
                case 'f':
                case 'F':
                case 'u':
                case 'U':
                    // One file is opened, so a second file code has nothing to stand for.
                    if (!fileUsed) {
                        current += filePath;
                        inArgument = true;
                        fileUsed = true;
                        fileInProgram = arguments.empty();
                    }
                    break;
                case 'i':
                case 'c':
                case 'k':
                case 'd':
                case 'D':
                case 'n':
                case 'N':
                case 'v':
                case 'm':
                    break;
                default:
                    return std::nullopt;
            }
        } else {
            current += c;
            inArgument = true;
            ++i;
        }
    }
    if (inArgument) arguments.push_back(std::move(current));
    if (arguments.empty() || arguments.front().empty() || fileInProgram) return std::nullopt;
    if (!fileUsed) arguments.push_back(filePath);
    return arguments;
}

std::vector<std::string> DesktopFileRelativePaths(std::string_view desktopId) {
    constexpr std::string_view kSuffix = ".desktop";
    if (desktopId.size() <= kSuffix.size() || !desktopId.ends_with(kSuffix) ||
        desktopId.find('/') != std::string_view::npos) {
        return {};
    }
    std::vector<std::string> paths;
    std::string candidate(desktopId);
    while (true) {
        const bool safe = std::ranges::none_of(SplitAt(candidate, '/'), [](std::string_view part) {
            return part.empty() || part == "." || part == "..";
        });
        if (safe) paths.push_back(candidate);
        const size_t dash = candidate.find('-');
        if (dash == std::string::npos) break;
        candidate[dash] = '/';
    }
    return paths;
}

std::vector<std::string> XdgApplicationFolders(const char* dataHome, const char* home,
                                               const char* dataDirs) {
    std::vector<std::string> folders;
    auto add = [&folders](std::string_view dataFolder) {
        if (dataFolder.empty() || dataFolder.front() != '/') return;
        std::string folder = ApplicationsFolderOf(dataFolder);
        if (std::ranges::find(folders, folder) == folders.end()) folders.push_back(folder);
    };
    const std::string_view dataHomeText = dataHome != nullptr ? dataHome : "";
    std::string_view homeText = home != nullptr ? home : "";
    while (homeText.size() > 1 && homeText.back() == '/') homeText.remove_suffix(1);
    if (!dataHomeText.empty() && dataHomeText.front() == '/') {
        add(dataHomeText);
    } else if (!homeText.empty() && homeText.front() == '/') {
        add((homeText == "/" ? std::string() : std::string(homeText)) + "/.local/share");
    }
    const std::string_view dirsText =
        dataDirs != nullptr && *dataDirs != '\0' ? dataDirs : "/usr/local/share/:/usr/share/";
    for (std::string_view dir : SplitAt(dirsText, ':')) add(dir);
    return folders;
}

}  // namespace ostrel

#include "shell/RecentFiles.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

#include "model/ProfileFile.h"

namespace ostrel {

namespace {

bool IsControlByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool IsBlankByte(char c) {
    return c == ' ' || c == '\t';
}

// The profile file trims the blanks around a value and ends it at a line break.
bool NeedsQuotes(const std::string& path) {
    if (path.empty()) return false;
    if (path.front() == '"' || IsBlankByte(path.front()) || IsBlankByte(path.back())) return true;
    return std::any_of(path.begin(), path.end(), IsControlByte);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Each byte with a one-letter escape, and its letter.
constexpr std::pair<char, char> kEscapes[] = {
    {'\\', '\\'}, {'"', '"'}, {'\t', 't'}, {'\n', 'n'}, {'\r', 'r'}};

}  // namespace

std::string RecentFileValue(const std::string& path) {
    if (!NeedsQuotes(path)) return path;
    static const char* const kHex = "0123456789ABCDEF";
    std::string value = "\"";
    for (char c : path) {
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [c](const auto& pair) { return pair.first == c; });
        if (escape != std::end(kEscapes)) {
            value += {'\\', escape->second};
        } else if (IsControlByte(c)) {
            const auto byte = static_cast<unsigned char>(c);
            value += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0x0F]};
        } else {
            value += c;
        }
    }
    return value + "\"";
}

std::string RecentFilePath(const std::string& value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return value;
    const std::string_view inner = std::string_view(value).substr(1, value.size() - 2);
    std::string path;
    for (size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '"') return value;
        if (inner[i] != '\\') {
            path += inner[i];
            continue;
        }
        if (++i == inner.size()) return value;
        const auto escape =
            std::find_if(std::begin(kEscapes), std::end(kEscapes),
                         [letter = inner[i]](const auto& pair) { return pair.second == letter; });
        if (escape != std::end(kEscapes)) {
            path += escape->first;
            continue;
        }
        if (inner[i] != 'x' || i + 2 >= inner.size() || HexValue(inner[i + 1]) < 0 ||
            HexValue(inner[i + 2]) < 0) {
            return value;
        }
        path += static_cast<char>(HexValue(inner[i + 1]) * 16 + HexValue(inner[i + 2]));
        i += 2;
    }
    return path;
}

void TMRUFileList::Add(const std::string& path) {
    auto found = std::find(FItems.begin(), FItems.end(), path);
    if (found != FItems.end()) {
        std::rotate(FItems.begin(), found, found + 1);
        return;
    }
    FItems.insert(FItems.begin(), path);
    if (FItems.size() > static_cast<size_t>(kMaxItems)) FItems.resize(kMaxItems);
}

void TMRUFileList::Remove(const std::string& path) {
    auto found = std::find(FItems.begin(), FItems.end(), path);
    if (found != FItems.end()) FItems.erase(found);
}

void TMRUFileList::Load(const std::string& iniPath) {
    FItems.clear();
    try {
        TProfileFile profile;
        profile.Load(iniPath);
        for (const TProfileEntry& entry : profile.SectionEntries(kSection)) {
            FItems.push_back(RecentFilePath(entry.Value));
        }
    } catch (...) {
        // An unreadable file gives an empty list, as a missing one does.
    }
}

void TMRUFileList::Save(const std::string& iniPath) const {
    try {
        TProfileFile profile;
        profile.Load(iniPath);
        profile.EraseSection(kSection);
        for (size_t i = 0; i < FItems.size(); ++i) {
            profile.WriteString(kSection, "F" + std::to_string(i), RecentFileValue(FItems[i]));
        }
        profile.Save(iniPath);
    } catch (...) {
        // The list is lost silently when the file can't be written.
    }
}

std::string RecentFileAccessKey(int index) {
    static const std::string keys = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (index < 0 || static_cast<size_t>(index) >= keys.size()) return std::string();
    return std::string(1, keys[static_cast<size_t>(index)]);
}

std::string ShortenPath(const std::string& path, int maxWidth,
                        const std::function<int(const std::string&)>& textWidth) {
    const char separator =
        path.find('\\') != std::string::npos && path.find('/') == std::string::npos ? '\\' : '/';
    const std::string ellipsis = std::string("...") + separator;
    const size_t lastSeparator = path.find_last_of(separator);
    std::string folder =
        lastSeparator == std::string::npos ? "" : path.substr(0, lastSeparator + 1);
    const std::string fileName =
        lastSeparator == std::string::npos ? path : path.substr(lastSeparator + 1);
    std::string drive;
    if (folder.size() >= 2 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }
    const std::string rootedEllipsis = separator + ellipsis;
    // Each step makes the text shorter or empties a part, so the bound is never reached on
    // real paths; it only guards against a pathological one.
    for (int step = 0; step < 10000; ++step) {
        if (textWidth(drive + folder + fileName) <= maxWidth) break;
        if (drive.empty() && folder.empty()) break;
        if (folder == rootedEllipsis) {
            drive.clear();
            folder = ellipsis;
        } else if (folder.empty()) {
            drive.clear();
        } else if (folder == std::string(1, separator)) {
            folder.clear();
        } else {
            const bool rooted = folder.front() == separator;
            if (rooted) folder.erase(0, 1);
            if (folder.compare(0, ellipsis.size(), ellipsis) == 0) folder.erase(0, ellipsis.size());
            const size_t next = folder.find(separator);
            folder = next == std::string::npos ? "" : ellipsis + folder.substr(next + 1);
            if (rooted) folder.insert(0, 1, separator);
        }
    }
    return drive + folder + fileName;
}

std::string RecentFileCaption(int index, const std::string& path, int maxWidth,
                              const std::function<int(const std::string&)>& textWidth) {
    return "&" + RecentFileAccessKey(index) + " " + ShortenPath(path, maxWidth, textWidth);
}

}  // namespace ostrel

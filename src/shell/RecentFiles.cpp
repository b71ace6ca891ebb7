#include "shell/RecentFiles.h"

#include <algorithm>

#include "model/ProfileFile.h"

namespace ostrel {

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
            FItems.push_back(entry.Value);
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
            profile.WriteString(kSection, "F" + std::to_string(i), FItems[i]);
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

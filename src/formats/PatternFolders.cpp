#include "formats/PatternFolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/PatternData.h"
#include "model/SafeFile.h"

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

namespace {

TEntryKind KindOfMode(mode_t mode) {
    if (S_ISDIR(mode)) return TEntryKind::Folder;
    if (S_ISREG(mode)) return TEntryKind::File;
    return TEntryKind::Other;
}

// The kind of an entry; the type readdir gives saves a stat call for most entries.
TEntryKind KindOf(int folderFd, const dirent& entry) {
    struct stat info {};
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN) {
        if (::fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return TEntryKind::Unknown;
        }
        if (!S_ISLNK(info.st_mode)) return KindOfMode(info.st_mode);
        type = DT_LNK;
    }
    if (type == DT_DIR) return TEntryKind::Folder;
    if (type == DT_REG) return TEntryKind::File;
    if (type != DT_LNK) return TEntryKind::Other;
    if (::fstatat(folderFd, entry.d_name, &info, 0) != 0) return TEntryKind::Unknown;
    // A link to a folder is not followed.
    return S_ISREG(info.st_mode) ? TEntryKind::File : TEntryKind::Other;
}

// What opening a file whose name does not say what it is taught: whether its first bytes
// say pattern file, and then its bytes when they are few enough to keep until the load.
struct TLookInside {
    bool PatternFile = false;
    std::optional<std::string> Bytes;
};

TLookInside LookInside(const std::string& path) {
    // Pattern files are a few kilobytes; keeping more for each of thousands of misnamed
    // files would hold the whole library in memory before the first is parsed.
    constexpr std::uint64_t kMaxKeptBytes = 64 * 1024;
    constexpr size_t kHeadBytes = 4096;
    TLookInside look;
    try {
        TReadingFile file(path, kMaxPatternFileBytes, "pattern file");
        std::string bytes;
        bytes.reserve(static_cast<size_t>(std::min(file.Size(), kMaxKeptBytes)) +
                      kPatternFileSpareBytes);
        const bool ended = file.ReadInto(bytes, kHeadBytes);
        look.PatternFile = HasPatternFileContent(bytes);
        if (look.PatternFile && (ended || file.Size() <= kMaxKeptBytes)) {
            if (!ended) file.ReadInto(bytes);
            look.Bytes = std::move(bytes);
        }
    } catch (const std::exception&) {
        // A file that cannot be read here is passed over, as anything a folder holds that is
        // no pattern file; a pattern file whose rest cannot be read is read again by the load,
        // which then says why it fails.
    }
    return look;
}

}  // namespace

std::string ListFolderEntries(const std::string& folder, std::vector<TFolderEntry>& entries) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return SystemErrorText(errno);
    const int folderFd = ::dirfd(dir);
    std::string problem;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0) problem = SystemErrorText(errno);
            break;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        entries.push_back({std::string(name), KindOf(folderFd, *entry)});
    }
    ::closedir(dir);
    return problem;
}

std::vector<TScannedPath> ScanPatternFolder(const std::string& folder,
                                            const TFolderLister& lister) {
    std::vector<TScannedPath> found;
    std::vector<std::string> pending = {folder};
    std::vector<TFolderEntry> entries;
    while (!pending.empty()) {
        const std::string current = std::move(pending.back());
        pending.pop_back();
        entries.clear();
        if (const std::string problem = lister(current, entries); !problem.empty()) {
            found.push_back({current, "cannot read folder " + current + ": " + problem, {}});
        }
        const std::string prefix =
            !current.empty() && current.back() == '/' ? current : current + '/';
        for (const TFolderEntry& entry : entries) {
            std::string path = prefix + entry.Name;
            if (entry.Kind == TEntryKind::Folder) {
                pending.push_back(std::move(path));
            } else if ((entry.Kind == TEntryKind::File || entry.Kind == TEntryKind::Unknown) &&
                       HasPatternFileExtension(path)) {
                found.push_back({std::move(path), {}, {}});
            } else if (entry.Kind == TEntryKind::File) {
                TLookInside look = LookInside(path);
                if (look.PatternFile) found.push_back({std::move(path), {}, std::move(look.Bytes)});
            }
        }
    }
    std::sort(found.begin(), found.end(),
              [](const TScannedPath& a, const TScannedPath& b) { return a.Path < b.Path; });
    if (found.empty()) found.push_back({folder, "no pattern files below " + folder, {}});
    return found;
}

bool IsFolderPath(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<TScannedPath> ScanPatternPaths(const std::vector<std::string>& paths) {
    std::vector<TScannedPath> scanned;
    for (const std::string& path : paths) {
        if (IsFolderPath(path)) {
            std::vector<TScannedPath> below = ScanPatternFolder(path);
            scanned.insert(scanned.end(), std::make_move_iterator(below.begin()),
                           std::make_move_iterator(below.end()));
        } else {
            scanned.push_back({path, {}, {}});
        }
    }
    return scanned;
}

}  // namespace ostrel

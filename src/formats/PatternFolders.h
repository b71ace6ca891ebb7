#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// The extensions (lower case, with the dot) of the files a folder contributes when it is
// opened as a library. Other files in the folder are passed over without a reason.
const std::vector<std::string_view>& PatternFileExtensions();

// True when the path's extension, in any letter case, is one of PatternFileExtensions().
bool HasPatternFileExtension(std::string_view path);

// What a folder entry is, as far as a scan cares. A symbolic link counts as what it points
// to, except that a link to a folder is never followed (no loops, no library twice).
enum class TEntryKind { File, Folder, Other, Unknown };

struct TFolderEntry {
    std::string Name;
    TEntryKind Kind = TEntryKind::Other;
};

// Lists the entries of one folder (without "." and ".."), appending them to `entries`.
// Returns "" or the system's reason, in English, why the folder could not be read (whole or
// in part: the entries read before a failure stay in `entries`).
using TFolderLister =
    std::function<std::string(const std::string& folder, std::vector<TFolderEntry>& entries)>;
std::string ListFolderEntries(const std::string& folder, std::vector<TFolderEntry>& entries);

// One path a scan yields: a pattern file to open, or a folder with the reason nothing (or
// not everything) could be taken from it.
struct TScannedPath {
    std::string Path;
    std::string Problem;  // "" for a pattern file
    // The file's bytes when the scan had to read it to learn it is a pattern file (its name
    // does not say) and it is small enough to keep: the load parses these instead of
    // opening the file again.
    std::optional<std::string> Bytes = std::nullopt;

    bool operator==(const TScannedPath&) const = default;
};

// Every pattern file below `folder`, sub-folders included, sorted by path byte by byte so
// the order never depends on the file system. The scan goes on past every folder that
// cannot be read (gone, unreadable, no folder at all): each becomes an entry with the
// problem "cannot read folder DIR: REASON", in path order among the files. A folder below
// which nothing was found and nothing failed gives "no pattern files below DIR". A file whose
// kind cannot be learnt is kept when its name is a pattern file's: opening it says why not.
// A file is taken by its name when that is a pattern file's; any other is opened once and
// taken when its first bytes say pattern file (HasPatternFileContent), keeping its bytes.
std::vector<TScannedPath> ScanPatternFolder(const std::string& folder,
                                            const TFolderLister& lister = ListFolderEntries);

// The paths of a command line or a drop: files stay as given, each folder is replaced by
// ScanPatternFolder of it, in the order given.
std::vector<TScannedPath> ScanPatternPaths(const std::vector<std::string>& paths);

// True when `path` names a folder (a link to one included).
bool IsFolderPath(const std::string& path);

}  // namespace ostrel

#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ostrel {

// The list of the pattern files most recently opened with success, most recent first, kept
// in the "MRU Items" section of the settings file as "F0=path", "F1=path", ... (in the form
// of RecentFileValue, so that every path reads back byte for byte).
class TMRUFileList {
public:
    static constexpr int kMaxItems = 10;
    static constexpr const char* kSection = "MRU Items";

    // Moves the entry equal to the path to the top, or puts the path at the top and cuts the
    // list to kMaxItems. Letter case counts: Case.msi and case.msi are two files.
    void Add(const std::string& path);
    // Deletes the first entry equal to the path (letter case counts).
    void Remove(const std::string& path);
    void Clear() { FItems.clear(); }
    const std::vector<std::string>& Items() const { return FItems; }

    // Replaces the entries with the values of the section's lines in file order (not cut to
    // kMaxItems); a missing file or section gives an empty list. Never raises.
    void Load(const std::string& iniPath);
    // Rewrites the section with the entries (no section when the list is empty), leaving the
    // rest of the file as it is. Never raises.
    void Save(const std::string& iniPath) const;

private:
    std::vector<std::string> FItems;
};

// A path as the settings file stores it: as it is, unless reading it back as it is would
// change it (a line break or another control byte, a blank or tab at either end, a leading
// double quote). Such a path is written in double quotes with C-style escapes: \\, \",
// \t, \n, \r and \xHH for the other control bytes; every other byte stays as it is.
std::string RecentFileValue(const std::string& path);
// The path a stored value stands for. A value in double quotes whose escapes are all valid
// is decoded; anything else is the path itself, as entries written before quoting existed.
std::string RecentFilePath(const std::string& value);

// The access key of entry i: "1".."9", "0", then "A".."Z"; none beyond.
std::string RecentFileAccessKey(int index);

// The path shortened step by step (first folders become "...\") until `textWidth` of it is
// at most `maxWidth`, or nothing is left to cut but the file name. Both "\" and "/" separate
// folders; the ellipsis uses the separator the path uses.
std::string ShortenPath(const std::string& path, int maxWidth,
                        const std::function<int(const std::string&)>& textWidth);

// The menu caption of entry i: "&", the access key, a blank, the shortened path.
std::string RecentFileCaption(int index, const std::string& path, int maxWidth,
                              const std::function<int(const std::string&)>& textWidth);

}  // namespace ostrel

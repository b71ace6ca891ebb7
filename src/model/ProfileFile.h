#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// One "key=value" line of a profile section, as read (key and value without the blanks
// around them).
struct TProfileEntry {
    std::string Key;
    std::string Value;
};

// A text profile (INI) file held in memory: "[Section]" lines, each followed by its
// "key=value" lines. Several parts of the program share one file, each owning its own
// sections, so the whole text is kept: sections, keys, comments, blank lines and lines
// that mean nothing all stay in file order, and only the lines a write touches change.
//
// Section and key names are compared without regard to ASCII letter case. Values are kept
// byte for byte apart from the blanks around them: no quotes are removed and no escapes are
// interpreted, so Windows paths with "\", blanks, ";" and "," survive. A ";" starts a
// comment only at the start of a line. Keys before the first section are kept but cannot be
// read. Reading accepts CR LF, LF and CR line ends; writing always uses CR LF.
class TProfileFile {
public:
    // Replaces the content with the parsed text.
    void LoadFromText(std::string_view text);
    // The whole profile as file text.
    std::string SaveToText() const;

    // Replaces the content with the file's; a file that does not exist gives an empty
    // profile. Throws EFileError when the file exists but cannot be read, or is not a
    // regular file of reasonable size.
    void Load(const std::string& path);
    // Rewrites the whole file through WriteWholeFile: a crash leaves the old or the new
    // file, never half of one, and a read-only file or folder is left as it is. Throws
    // EFileError with the reason when the file cannot be written.
    void Save(const std::string& path) const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Section names in file order (the first of several sections with one name only).
    std::vector<std::string> SectionNames() const;
    // Keys of the section in file order, as spelled in the file.
    std::vector<std::string> SectionKeys(std::string_view section) const;
    // Every entry of the section in file order, repeated keys included.
    std::vector<TProfileEntry> SectionEntries(std::string_view section) const;

    // The first value of the key in the first section of that name, or `fallback`.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // The value as a whole number (see ParseProfileInteger), or `fallback` when the key is
    // missing or its value is not one.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    // An integer other than 0 is true, 0 is false; anything else gives `fallback`.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    // Sets the key's value: the existing line is rewritten in place, or a new line goes
    // after the section's last entry, or a new section goes at the end of the file. Throws
    // EOstrelError for a name or value the file format cannot hold (empty names, line
    // breaks, "]" in a section name, "=" in a key, a key starting with "[" or ";").
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    // Writes "1" or "0".
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);
    // Removes every line of the key from the first section of that name.
    void DeleteKey(std::string_view section, std::string_view key);

private:
    struct TLine {
        std::string Text;  // the line as written, without its line end
        bool IsEntry = false;
        std::string Key;
        std::string Value;
    };
    struct TSection {
        std::string Name;
        bool HasHeader = false;    // false only for the lines before the first header
        bool AddedByUs = false;    // created by a write, so it gets a blank line before it
        std::vector<TLine> Lines;  // the header line first, when there is one
    };

    const TSection* FindSection(std::string_view section) const;
    TSection* FindSection(std::string_view section);

    std::vector<TSection> FSections;
    bool FHasByteOrderMark = false;
};

// A whole number as profile files write it: an optional sign, then decimal digits, or
// hexadecimal digits after "$" or "0x". Blanks around are ignored. Decimal numbers must lie
// in the 32-bit range; hexadecimal ones may use all 32 bits ("$FFFFFFFF" is -1). Anything
// else (empty text, "yes", "1.0", "0x", trailing characters) gives nothing.
std::optional<int> ParseProfileInteger(std::string_view text);

}  // namespace ostrel

#include "shell/SaveTargets.h"

#include <cstdint>

#include "formats/PatternWriters.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"
#include "model/PatternData.h"
#include "shell/PathNames.h"

namespace ostrel {

namespace {

// The start of the UTF-8 character that holds byte `at`, so that a cut there keeps every
// character whole.
size_t CharacterStart(const std::string& text, size_t at) {
    while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        --at;
    }
    return at;
}

}  // namespace

std::string ShortenedFileStem(const std::string& stem, size_t maxBytes) {
    if (stem.size() <= maxBytes) return stem;
    // FNV-1a (32 bit) of the whole name: two long names that differ only in the part left
    // out still get different files.
    std::uint32_t hash = 2166136261u;
    for (const char c : stem) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string middle = "\u2026";
    for (int shift = 28; shift >= 0; shift -= 4) middle += kHex[(hash >> shift) & 0xF];
    middle += "\u2026";
    // Both ends stay: an interpolation's name ends in its value ("... at 1930 MHz").
    const size_t room = maxBytes > middle.size() ? maxBytes - middle.size() : 0;
    const size_t head = CharacterStart(stem, room / 2 + room % 2);
    size_t tail = stem.size() - (room - head);
    while (tail < stem.size() && (static_cast<unsigned char>(stem[tail]) & 0xC0) == 0x80) ++tail;
    return stem.substr(0, head) + middle + stem.substr(tail);
}

std::string ProposedSaveName(const TPatternData& pattern) {
    // A derived pattern's name is no path ("A \u2194 B at 1930.5 MHz").
    if (pattern.Derived) return ShortenedFileStem(SafeFileName(pattern.FileName));
    // The frequency comes from inside the file: it may hold a "/" or a line break.
    const std::string part = pattern.PartName.empty() ? std::string() : "@" + pattern.PartName;
    return ShortenedFileStem(
        SafeFileName(RemoveExtension(std::string(FileNamePartView(SourcePath(pattern)))) + part));
}

std::string WithExtension(const std::string& path, std::string_view extension) {
    const std::string_view name = FileNamePartView(path);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && SameIgnoringAsciiCase(name.substr(dot + 1), extension)) {
        return path;
    }
    return path + "." + std::string(extension);
}

std::string ReplaceQuestion(const std::string& path) {
    return FileNamePart(path) + " already exists.\nDo you want to replace it?";
}

std::string PatternsSavedText(int filesWritten, const std::string& failures) {
    const std::string status =
        std::to_string(filesWritten) + (filesWritten == 1 ? " pattern saved." : " patterns saved.");
    return failures.empty() ? status : status + " " + failures;
}

std::string TableExportedText(const std::string& path, int rowsWritten, int rowsInModel) {
    std::string text = "Table of " + std::to_string(rowsWritten) +
                       (rowsWritten == 1 ? " pattern" : " patterns") + " exported to " +
                       FileNamePart(path);
    if (rowsWritten < rowsInModel) {
        text += " (" + std::to_string(rowsWritten) + " of " + std::to_string(rowsInModel) +
                " shown by the filter)";
    }
    return text;
}

}  // namespace ostrel

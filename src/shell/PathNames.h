#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

// File names on Linux are bytes, not text: a name need not be valid UTF-8 ("caf\xE9.txt"
// written by a Latin-1 program). The window's widgets hold paths as UTF-16 text, so each
// path crosses between the two forms without losing a byte: valid UTF-8 becomes the same
// characters, and every byte that is not part of a valid UTF-8 sequence becomes the lone
// low surrogate U+DC00 + byte (the "surrogateescape" scheme of Python's PEP 383). Lone
// surrogates never come from a valid name, so the way back is exact.
std::u16string PathToUtf16(std::string_view path);
std::string Utf16ToPath(std::u16string_view text);

// The UTF-16 form for people to read: escaped bytes show as U+FFFD.
std::u16string PathForDisplay(std::u16string_view text);

// Whether the path names an existing regular file (following symbolic links).
bool IsExistingFile(const std::string& path);

// The absolute folder holding the file, ending in "/" (relative paths start at the current
// folder).
std::string AbsoluteFolderOf(const std::string& path);

// A path as a file dialog hands it back: a dialog that decodes names as UTF-8 shows an
// invalid byte as U+FFFD and returns that, which names no file. The path itself when it
// exists; otherwise each part holding U+FFFD is matched against its folder's entries shown
// the same way, and the real bytes are returned when exactly one entry matches. Nothing when
// the path cannot be resolved.
std::optional<std::string> ResolveShownPath(const std::string& path);

// A file to write as a save dialog hands it back: a folder part that does not exist as
// written but whose parts shown with U+FFFD each match exactly one folder entry gets the
// real bytes; so does the file name when it matches one existing entry (a file picked from
// the dialog's list). Otherwise the path as given.
std::string ResolveShownSavePath(const std::string& path);

// The path made absolute against the current folder, its bytes otherwise unchanged; an
// absolute path, or one that cannot be made absolute, as given.
std::string AbsolutePath(const std::string& path);

}  // namespace ostrel

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// The largest file the readers accept. Real pattern files are a few kilobytes and the 3D
// formats reach a few megabytes; anything far larger is not a pattern file, and reading it
// whole would only make the program freeze and grow by gigabytes.
constexpr std::uint64_t kMaxPatternFileBytes = 64 * 1024 * 1024;

// The bytes of a file; throws EFileError when it cannot be opened or read. Every pattern
// and EDX file is read through here. Anything but a regular file (a named pipe, a device, a
// folder, a socket) and any file over kMaxPatternFileBytes is refused at once, unread, with
// the reason. Pattern files are single-byte text and are kept as bytes, so no byte is ever
// rejected or lost.
std::string ReadFileBytes(const std::string& path);

// Writes `text` to `path` through WriteWholeFile, so a failure leaves the old file as it
// was; throws EFileError with the reason.
void WriteFileBytes(const std::string& path, const std::string& text);

// The lines of a text; a line ends at CR LF, LF or CR. A final line end does not start
// another (empty) line. A UTF-8 byte-order mark at the start is not part of the first line.
// The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// The line without leading and trailing blanks and control characters (bytes <= 32).
std::string_view TrimLine(std::string_view line);

// Case-insensitive (ASCII) comparisons, as the readers upper-case before comparing.
bool StartsWithNoCase(std::string_view text, std::string_view upperPrefix);
bool EqualsNoCase(std::string_view text, std::string_view upperText);

}  // namespace ostrel

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// The bytes of a file; throws EFileError when it cannot be opened or read. Pattern files
// are single-byte text and are kept as bytes, so no byte is ever rejected or lost.
std::string ReadFileBytes(const std::string& path);

// Writes `text` to `path`, replacing the file; throws EFileError on failure.
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

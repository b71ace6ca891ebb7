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

// Room left behind a pattern file's bytes when they are read, in the same allocation: a
// JSON parser that scans in 64-byte blocks (simdjson) may read that far past the end, and
// with the room there it parses the bytes where they lie instead of copying them first.
constexpr size_t kPatternFileSpareBytes = 64;

// The bytes of a file (with kPatternFileSpareBytes of spare capacity); throws EFileError when it
// cannot be opened or read. Every pattern and EDX file is read through here. Anything but a regular
// file (a named pipe, a device, a folder, a socket) and any file over kMaxPatternFileBytes is
// refused at once, unread, with the reason. Pattern files are single-byte text and are kept as
// bytes, so no byte is ever rejected or lost.
std::string ReadFileBytes(const std::string& path);

// Writes `text` to `path` through WriteWholeFile, so a failure leaves the old file as it
// was; throws EFileError with the reason.
void WriteFileBytes(const std::string& path, const std::string& text);

// The lines of a text; a line ends at CR LF, LF or CR. A final line end does not start
// another (empty) line. A UTF-8 byte-order mark at the start is not part of the first line.
// The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// Walks the lines of a text one at a time, cut as SplitLines cuts them, without a list of
// all lines: a reader's memory stays that of the text whatever its count of lines. A copy
// goes on from where the original stood.
class TTextLineWalker {
public:
    explicit TTextLineWalker(std::string_view text);
    // The next line as stored, not trimmed; false at the end of the text.
    bool Next(std::string_view& line);
    // The 1-based number of the line Next gave last; at the end, the count of lines.
    long long Number() const { return FNumber; }

private:
    const char* FPos;
    const char* FEnd;
    long long FNumber = 0;
};

// A non-blank line, trimmed, with its 1-based number.
struct TNumberedLine {
    std::string_view Text;
    long long Number = 0;
};

// The non-blank lines of a text in order, trimmed, one at a time.
class TNonBlankLines {
public:
    explicit TNonBlankLines(std::string_view text) : FWalker(text) { Advance(); }
    bool AtEnd() const { return FCurrent.Number == 0; }
    // The next line without moving past it; only when not AtEnd.
    const TNumberedLine& Peek() const { return FCurrent; }
    TNumberedLine Take() {
        const TNumberedLine line = FCurrent;
        Advance();
        return line;
    }
    // The number one past the text's last line, which end-of-file errors name.
    long long EndLine() const { return FWalker.Number() + 1; }

private:
    void Advance();

    TTextLineWalker FWalker;
    TNumberedLine FCurrent;
};

// The line without leading and trailing blanks and control characters (bytes <= 32).
std::string_view TrimLine(std::string_view line);

// Case-insensitive (ASCII) comparisons, as the readers upper-case before comparing.
bool StartsWithNoCase(std::string_view text, std::string_view upperPrefix);
bool EqualsNoCase(std::string_view text, std::string_view upperText);

}  // namespace ostrel

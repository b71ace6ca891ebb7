#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/LineMatchers.h"
#include "model/NumberText.h"
#include "model/PrimitiveObjects.h"

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

// The lines of a text as TLineCursor cuts them; the views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// The line without leading and trailing blanks and control characters (bytes <= 32).
std::string_view TrimLine(std::string_view line);

// The one way the readers cut a text into lines. A line ends at CR LF, LF or CR; a final
// line end does not start another (empty) line; a UTF-8 byte-order mark at the start is not
// part of the first line. The lines are walked one at a time, each with its 1-based number,
// without a list of all lines, so a reader's memory stays that of the text whatever its count
// of lines; runs of data lines ("angle<tab>level") are read straight from the bytes. A copy
// goes on from where the original stood.
class TLineCursor {
public:
    explicit TLineCursor(std::string_view text) {
        // Editors on other systems often start a file with the UTF-8 byte-order mark; left
        // in, it would hide the first line's keyword or section header.
        if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        FStart = FPos = text.data();
        FEnd = FPastLastLineEnd = text.data() + text.size();
        while (FPastLastLineEnd != FPos && FPastLastLineEnd[-1] != '\n' &&
               FPastLastLineEnd[-1] != '\r') {
            --FPastLastLineEnd;
        }
    }

    bool AtEnd() const { return FPos == FEnd; }
    // The 1-based number of the line read last; at the end, the count of lines.
    long long Number() const { return FNumber; }

    // The next line as stored, not trimmed; false at the end of the text.
    bool Next(std::string_view& line) {
        if (AtEnd()) return false;
        line = CutLine();
        return true;
    }
    // The next line, trimmed as TrimLine trims; only when not AtEnd.
    std::string_view NextTrimmed() { return TrimLine(CutLine()); }

    // Moves past the first line that `isSectionStart` accepts (trimmed); `header` becomes
    // the text before that line. False when no line is accepted, or when a line `isRefused`
    // accepts comes first.
    template <class TAccept, class TRefuse>
    bool ReadHeaderLines(std::string_view& header, TAccept&& isSectionStart, TRefuse&& isRefused) {
        while (!AtEnd()) {
            const char* const lineStart = FPos;
            const std::string_view line = NextTrimmed();
            if (isRefused(line)) return false;
            if (isSectionStart(line)) {
                header = std::string_view(FStart, static_cast<size_t>(lineStart - FStart));
                return true;
            }
        }
        return false;
    }

    // While the next line is two plain decimals separated by blanks, adds them as a point
    // and moves past the line; stops, having moved nowhere, at any other line. With
    // `WholeRest` the level runs to the end of the line (the Ostrel reading of "angle
    // level"); without it the level is the second token and the rest of the line is
    // ignored (the Verizon reading).
    template <bool WholeRest>
    void ReadNumberPairs(TRealPointList& points) {
        // One call for a run of data lines: the loop keeps its state in registers instead of
        // setting up a call for every line. Up to the text's last line end every scan stops
        // at a line end, so only the lines after it need their positions tested against
        // the end of the text.
        while (FPos < FPastLastLineEnd && ReadNumberPair<WholeRest, false>(points)) {
        }
        while (ReadNumberPair<WholeRest, true>(points)) {
        }
    }

    // Where the cursor stands; SeekTo goes back there.
    struct TMark {
        const char* Pos;
        long long Number;
    };
    TMark Mark() const { return {FPos, FNumber}; }
    void SeekTo(TMark mark) {
        FPos = mark.Pos;
        FNumber = mark.Number;
    }

    // Reads the next line straight from its bytes when `read` accepts it, and moves past it:
    // read(lineStart, textEnd, lineEndFollows, lineNumber) returns where the line's record
    // ends, which must be the line end or the text end, or null to leave the line unread.
    // `lineEndFollows` says a '\n' or '\r' lies at or after lineStart, so a scan that stops
    // at line ends needs no test against textEnd.
    template <class TRead>
    bool ReadRecord(TRead&& read) {
        if (AtEnd()) return false;
        const char* const end = read(FPos, FEnd, FPos < FPastLastLineEnd, FNumber + 1);
        if (end == nullptr) return false;
        FPos = PastLineEnd(end);
        ++FNumber;
        return true;
    }

private:
    std::string_view CutLine() {
        const char* const start = FPos;
        const char* p = start;
        // Pattern-file lines are a dozen bytes long: a plain byte loop beats calling memchr
        // for each line end. Bytes above CR cannot end a line and are passed over first.
        while (p < FEnd && (static_cast<unsigned char>(*p) > '\r' || (*p != '\n' && *p != '\r'))) {
            ++p;
        }
        FPos = PastLineEnd(p);
        ++FNumber;
        return std::string_view(start, static_cast<size_t>(p - start));
    }

    template <bool WholeRest, bool Bounded>
    [[gnu::always_inline]] bool ReadNumberPair(TRealPointList& points) {
        const char* const end = FEnd;
        auto inside = [end](const char* q) {
            if constexpr (Bounded) return q < end;
            static_cast<void>(q);
            static_cast<void>(end);
            return true;
        };
        auto scan = [end](const char* q, double& value) {
            if constexpr (Bounded) return ScanPlainDecimal(q, end, value);
            static_cast<void>(end);
            return ScanPlainDecimalBeforeLineEnd(q, value);
        };
        const char* p = FPos;
        while (inside(p) && IsLeadingBlank(*p)) ++p;
        double angle = 0;
        p = scan(p, angle);
        if (p == nullptr || !inside(p) || !IsInnerBlank(*p)) return false;
        while (inside(p) && IsInnerBlank(*p)) ++p;
        double level = 0;
        p = scan(p, level);
        if (p == nullptr) return false;
        if constexpr (WholeRest) {
            // Only trailing blanks may follow, which trimming removes.
            while (inside(p) && IsLeadingBlank(*p)) ++p;
            if (inside(p) && *p != '\n' && *p != '\r') return false;
        } else {
            // The token ends at a blank or the line end; a control byte that is no blank
            // would belong to the token unless it is trailing, which this scan leaves to
            // the line-by-line reading.
            if (inside(p) && !IsRegexSpace(*p)) return false;
            while (inside(p) && *p != '\n' && *p != '\r') ++p;
        }
        points.Add(angle, level);
        FPos = PastLineEnd(p);
        ++FNumber;
        return true;
    }

    // Bytes TrimLine removes, short of the line ends.
    static bool IsLeadingBlank(char c) {
        return static_cast<unsigned char>(c) <= ' ' && c != '\n' && c != '\r';
    }
    // Blanks between two tokens of one line.
    static bool IsInnerBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

    const char* PastLineEnd(const char* p) const {
        if (p == FEnd) return p;
        if (*p == '\r' && p + 1 < FEnd && p[1] == '\n') return p + 2;
        return p + 1;
    }

    const char* FStart;
    const char* FPos;
    const char* FEnd;
    // Just past the text's last '\n' or '\r'; its start when it has none.
    const char* FPastLastLineEnd;
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
    explicit TNonBlankLines(std::string_view text) : FLines(text) { Advance(); }
    bool AtEnd() const { return FCurrent.Number == 0; }
    // The next line without moving past it; only when not AtEnd.
    const TNumberedLine& Peek() const { return FCurrent; }
    TNumberedLine Take() {
        const TNumberedLine line = FCurrent;
        Advance();
        return line;
    }
    // The number one past the text's last line, which end-of-file errors name.
    long long EndLine() const { return FLines.Number() + 1; }

    // Reads the next lines, the current one first, straight from their bytes while `read`
    // accepts them (see TLineCursor::ReadRecord), without cutting and trimming each; the
    // first line it refuses becomes the current one. `read` sees the untrimmed line, blanks
    // included, and refuses a blank line.
    template <class TRead>
    void ReadRecords(TRead&& read) {
        if (AtEnd()) return;
        FLines.SeekTo(FCurrentMark);
        while (FLines.ReadRecord(read)) {
        }
        Advance();
    }

private:
    void Advance();

    TLineCursor FLines;
    TNumberedLine FCurrent;
    // The cursor where the current line starts.
    TLineCursor::TMark FCurrentMark{};
};

// Case-insensitive (ASCII) comparisons, as the readers upper-case before comparing.
bool StartsWithNoCase(std::string_view text, std::string_view upperPrefix);
bool EqualsNoCase(std::string_view text, std::string_view upperText);

}  // namespace ostrel

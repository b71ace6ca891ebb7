#pragma once

// The line reading shared by the Ostrel and Verizon readers' one-pass paths: header tokens
// matched once, and a cursor that walks a text's lines and reads its data lines straight
// from the bytes.

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/LineMatchers.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/Errors.h"
#include "model/NumberText.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// The values of a reader's keywords in a file's header, each header line's first two tokens
// matched once; the keyword look-ups of a load then compare short tokens instead of matching
// every line again for every keyword. Only the line chosen for each keyword is kept, the
// first (as TPlanningFile::FindValue answers) or the last (as TVerizonFile::FindValue), so
// memory does not grow with the header.
class THeaderTokens {
public:
    enum TChoice { FirstLineWins, LastLineWins };

    THeaderTokens(std::string_view headerText, std::span<const std::string_view> upperKeywords,
                  TChoice choice) {
        FEntries.reserve(upperKeywords.size());
        for (std::string_view keyword : upperKeywords) FEntries.push_back({keyword, {}, {}});
        TTextLineWalker walker(headerText);
        std::string_view raw;
        std::string_view first;
        std::string_view second;
        while (walker.Next(raw)) {
            const std::string_view line = TrimLine(raw);
            if (!MatchTwoTokens(line, first, second)) continue;
            for (TEntry& entry : FEntries) {
                if (!EqualsNoCase(first, entry.Keyword)) continue;
                if (choice == LastLineWins || entry.Line.empty())
                    entry = {entry.Keyword, second, line};
                break;
            }
        }
    }
    // The keyword's value (the line's second token as written); empty when no line has it.
    std::string_view Value(std::string_view upperKeyword) const { return Find(upperKeyword).Value; }
    // The keyword's whole line, trimmed; empty when none.
    std::string_view Line(std::string_view upperKeyword) const { return Find(upperKeyword).Line; }

private:
    struct TEntry {
        std::string_view Keyword;
        std::string_view Value;
        std::string_view Line;
    };
    const TEntry& Find(std::string_view upperKeyword) const {
        for (const TEntry& entry : FEntries) {
            if (entry.Keyword == upperKeyword) return entry;
        }
        throw EOstrelError("Keyword not looked for: " + std::string(upperKeyword));
    }

    std::vector<TEntry> FEntries;
};

// Walks a text line by line, cutting and trimming the lines exactly as SplitLines and
// TrimLine do, without building the list of all lines first. The data lines of a pattern
// file ("angle<tab>level") are read straight from the bytes in one pass; anything a data
// line holds beyond two plain decimals is handed back to the caller line by line.
class TLineCursor {
public:
    explicit TLineCursor(std::string_view text)
        : FStart(text.data()),
          FPos(text.data()),
          FEnd(text.data() + text.size()),
          FPastLastLineEnd(FEnd) {
        while (FPastLastLineEnd != FPos && FPastLastLineEnd[-1] != '\n' &&
               FPastLastLineEnd[-1] != '\r') {
            --FPastLastLineEnd;
        }
    }

    bool AtEnd() const { return FPos == FEnd; }

    // The next line, trimmed.
    std::string_view Next() {
        const char* const start = FPos;
        const char* p = start;
        while (p < FEnd && *p != '\n' && *p != '\r') ++p;
        FPos = PastLineEnd(p);
        return TrimLine(std::string_view(start, static_cast<size_t>(p - start)));
    }

    // Moves past the first line that `isSectionStart` accepts; `header` becomes the text
    // before that line. False when no line is accepted, or when a line `isRefused` accepts
    // comes first.
    template <class TAccept, class TRefuse>
    bool ReadHeaderLines(std::string_view& header, TAccept&& isSectionStart, TRefuse&& isRefused) {
        while (!AtEnd()) {
            const char* const lineStart = FPos;
            const std::string_view line = Next();
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

private:
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
};

}  // namespace ostrel

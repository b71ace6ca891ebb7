#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/LineMatchers.h"
#include "formats/TextLines.h"
#include "model/Errors.h"

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
        TLineCursor lines(headerText);
        std::string_view raw;
        std::string_view first;
        std::string_view second;
        while (lines.Next(raw)) {
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

}  // namespace ostrel

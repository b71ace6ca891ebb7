#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace ostrel {

// Hand-written matchers with the semantics of the four regular expressions of the pattern
// formats (leftmost match, greedy groups, "\s" = tab, LF, VT, FF, CR, space). They run in
// linear time without recursion, so a line of any length is safe. Group texts are views
// into the line.

// "([^\s]+)\s+([^\s]+)": the first two whitespace-separated tokens.
bool MatchTwoTokens(std::string_view line, std::string_view& first, std::string_view& second);

// "([^\s]+)\s+(.+)": the first token and the rest of the line after the whitespace run.
bool MatchTokenAndRest(std::string_view line, std::string_view& first, std::string_view& rest);

// "([^,]+)\s*,\s*(.+)": the text before the first comma and the rest after the blanks.
bool MatchCommaPair(std::string_view line, std::string_view& first, std::string_view& rest);

// Splitting at "\s+": the non-empty runs between whitespace (empty fields at the ends, which
// a regular-expression split would give for leading or trailing blanks, are dropped).
std::vector<std::string_view> SplitAtWhitespace(std::string_view line);

// Bytes the matchers of this thread have examined so far. A test reads it before and after
// a call to prove that a line is scanned a bounded number of times, which no clock on a busy
// machine can show.
size_t MatcherBytesScanned();

inline bool IsRegexSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace ostrel

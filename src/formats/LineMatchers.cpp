#include "formats/LineMatchers.h"

namespace ostrel {

namespace {

thread_local size_t bytesScanned = 0;

// IsRegexSpace with one comparison for the five control characters: tab, LF, VT, FF and
// CR are the consecutive codes 9..13.
bool IsSpaceByte(char c) {
    return c == ' ' || static_cast<unsigned char>(static_cast<unsigned char>(c) - '\t') <= 4;
}

size_t SkipSpace(std::string_view line, size_t i) {
    const size_t from = i;
    while (i < line.size() && IsSpaceByte(line[i])) ++i;
    bytesScanned += i - from + 1;
    return i;
}

size_t SkipToken(std::string_view line, size_t i) {
    const size_t from = i;
    while (i < line.size() && !IsSpaceByte(line[i])) ++i;
    bytesScanned += i - from + 1;
    return i;
}

}  // namespace

size_t MatcherBytesScanned() {
    return bytesScanned;
}

// A match can only start at the first token: a start inside a token or inside a blank run
// sees the same (or no) following blank run, so if the first token fails, all do.
bool MatchTwoTokens(std::string_view line, std::string_view& first, std::string_view& second) {
    const size_t start = SkipSpace(line, 0);
    const size_t tokenEnd = SkipToken(line, start);
    if (tokenEnd == start) return false;
    const size_t next = SkipSpace(line, tokenEnd);
    if (next == tokenEnd || next == line.size()) return false;
    first = line.substr(start, tokenEnd - start);
    second = line.substr(next, SkipToken(line, next) - next);
    return true;
}

bool MatchTokenAndRest(std::string_view line, std::string_view& first, std::string_view& rest) {
    const size_t start = SkipSpace(line, 0);
    const size_t tokenEnd = SkipToken(line, start);
    if (tokenEnd == start) return false;
    const size_t next = SkipSpace(line, tokenEnd);
    const size_t spaceRun = next - tokenEnd;
    if (spaceRun == 0) return false;
    if (next < line.size()) {
        rest = line.substr(next);
    } else if (spaceRun >= 2) {
        // "\s+" gives back its last blank so that ".+" has one character.
        rest = line.substr(next - 1);
    } else {
        return false;
    }
    first = line.substr(start, tokenEnd - start);
    return true;
}

bool MatchCommaPair(std::string_view line, std::string_view& first, std::string_view& rest) {
    // "[^,]+" needs one character before the comma: the match starts at the first
    // non-comma character and runs (greedily) to the next comma.
    size_t start = 0;
    while (start < line.size() && line[start] == ',') ++start;
    bytesScanned += start + 1;
    if (start == line.size()) return false;
    const size_t comma = line.find(',', start);
    bytesScanned += (comma == std::string_view::npos ? line.size() : comma + 1) - start;
    if (comma == std::string_view::npos) return false;
    const size_t afterComma = comma + 1;
    const size_t next = SkipSpace(line, afterComma);
    if (next < line.size()) {
        rest = line.substr(next);
    } else if (next > afterComma) {
        rest = line.substr(next - 1);
    } else {
        return false;
    }
    first = line.substr(start, comma - start);
    return true;
}

std::vector<std::string_view> SplitAtWhitespace(std::string_view line) {
    std::vector<std::string_view> tokens;
    size_t i = SkipSpace(line, 0);
    while (i < line.size()) {
        const size_t end = SkipToken(line, i);
        tokens.push_back(line.substr(i, end - i));
        i = SkipSpace(line, end);
    }
    return tokens;
}

}  // namespace ostrel

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <regex>
#include <string>

#include "formats/LineMatchers.h"

namespace ostrel {
namespace {

// Short random lines over an alphabet that exercises every branch: blanks of all kinds,
// commas, digits, signs and letters.
std::vector<std::string> RandomLines() {
    const std::string alphabet = " \t\v\f,,,0123456789.-+eEabX\x01\xB0";
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    std::vector<std::string> lines = {"",  " ",     "a",  "a b", " a  b ", "a ",   "a  ",  "a\t\t",
                                      ",", ",,5,3", "5,", "5, ", "5,  ",   " , x", "a ,b", "5,,3"};
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        const int n = length(random);
        for (int k = 0; k < n; ++k)
            line += alphabet[pick(random)];
        lines.push_back(line);
    }
    return lines;
}

void ExpectSameAsRegex(const std::regex& expression,
                       bool (*matcher)(std::string_view, std::string_view&, std::string_view&)) {
    for (const std::string& line : RandomLines()) {
        std::smatch match;
        const bool expected = std::regex_search(line, match, expression);
        std::string_view first;
        std::string_view second;
        const bool actual = matcher(line, first, second);
        ASSERT_EQ(actual, expected) << '"' << line << '"';
        if (!expected)
            continue;
        EXPECT_EQ(std::string(first), match[1].str()) << '"' << line << '"';
        EXPECT_EQ(std::string(second), match[2].str()) << '"' << line << '"';
    }
}

TEST(LineMatchers, TwoTokensMatchLikeTheRegularExpression) {
    ExpectSameAsRegex(std::regex(R"(([^\s]+)\s+([^\s]+))"), MatchTwoTokens);
}

TEST(LineMatchers, TokenAndRestMatchLikeTheRegularExpression) {
    ExpectSameAsRegex(std::regex(R"(([^\s]+)\s+(.+))"), MatchTokenAndRest);
}

TEST(LineMatchers, CommaPairMatchesLikeTheRegularExpression) {
    ExpectSameAsRegex(std::regex(R"(([^,]+)\s*,\s*(.+))"), MatchCommaPair);
}

TEST(LineMatchers, SplitDropsEmptyFieldsAtTheEnds) {
    const std::regex blanks(R"(\s+)");
    for (const std::string& line : RandomLines()) {
        std::vector<std::string> expected;
        for (std::sregex_token_iterator it(line.begin(), line.end(), blanks, -1), end; it != end;
             ++it) {
            if (it->length() > 0)
                expected.push_back(it->str());
        }
        std::vector<std::string> actual;
        for (std::string_view token : SplitAtWhitespace(line))
            actual.emplace_back(token);
        ASSERT_EQ(actual, expected) << '"' << line << '"';
    }
}

TEST(LineMatchers, TwoMegabyteLinesAreSafeAndFast) {
    const std::string token(2 * 1024 * 1024, '7');
    const std::string spaces(2 * 1024 * 1024, ' ');
    const std::string commas(2 * 1024 * 1024, ',');
    const std::string twoTokens = token + spaces + token;
    const std::string commaThenBlanks = token + "," + spaces;
    const std::string splitLine = token + " " + token + spaces;

    const auto start = std::chrono::steady_clock::now();
    std::string_view first;
    std::string_view second;
    EXPECT_FALSE(MatchTwoTokens(token, first, second));
    EXPECT_FALSE(MatchTokenAndRest(spaces, first, second));
    EXPECT_FALSE(MatchCommaPair(commas, first, second));
    ASSERT_TRUE(MatchTokenAndRest(twoTokens, first, second));
    EXPECT_EQ(first.size(), token.size());
    EXPECT_EQ(second.size(), token.size());
    ASSERT_TRUE(MatchCommaPair(commaThenBlanks, first, second));
    EXPECT_EQ(second, " ");
    EXPECT_EQ(SplitAtWhitespace(splitLine).size(), 2u);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // About 20 MB scanned in all: a few milliseconds, with room for sanitizer builds.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 150);
}

}  // namespace
}  // namespace ostrel

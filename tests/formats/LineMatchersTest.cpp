#include <gtest/gtest.h>

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
        for (int k = 0; k < n; ++k) line += alphabet[pick(random)];
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
        if (!expected) continue;
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
            if (it->length() > 0) expected.push_back(it->str());
        }
        std::vector<std::string> actual;
        for (std::string_view token : SplitAtWhitespace(line)) actual.emplace_back(token);
        ASSERT_EQ(actual, expected) << '"' << line << '"';
    }
}

// A backtracking or restarting scan would look at a 2 MB line millions of times over; the
// matchers' own count of examined bytes proves each line is read at most twice, on any machine.
TEST(LineMatchers, TwoMegabyteLinesAreScannedInLinearWork) {
    const std::string token(2 * 1024 * 1024, '7');
    const std::string spaces(2 * 1024 * 1024, ' ');
    const std::string commas(2 * 1024 * 1024, ',');
    const std::string twoTokens = token + spaces + token;
    const std::string commaThenBlanks = token + "," + spaces;
    const std::string splitLine = token + " " + token + spaces;

    std::string_view first;
    std::string_view second;
    const auto expectLinearWork = [](std::string_view line, auto&& match) {
        const size_t before = MatcherBytesScanned();
        match(line);
        const size_t work = MatcherBytesScanned() - before;
        EXPECT_GT(work, line.size() / 2) << "the counter must see the scan";
        EXPECT_LE(work, 2 * line.size() + 16);
    };
    expectLinearWork(token,
                     [&](std::string_view l) { EXPECT_FALSE(MatchTwoTokens(l, first, second)); });
    expectLinearWork(
        spaces, [&](std::string_view l) { EXPECT_FALSE(MatchTokenAndRest(l, first, second)); });
    expectLinearWork(commas,
                     [&](std::string_view l) { EXPECT_FALSE(MatchCommaPair(l, first, second)); });
    expectLinearWork(twoTokens, [&](std::string_view l) {
        ASSERT_TRUE(MatchTokenAndRest(l, first, second));
        EXPECT_EQ(first.size(), token.size());
        EXPECT_EQ(second.size(), token.size());
    });
    expectLinearWork(commaThenBlanks, [&](std::string_view l) {
        ASSERT_TRUE(MatchCommaPair(l, first, second));
        EXPECT_EQ(second, " ");
    });
    expectLinearWork(splitLine,
                     [&](std::string_view l) { EXPECT_EQ(SplitAtWhitespace(l).size(), 2u); });
}

}  // namespace
}  // namespace ostrel

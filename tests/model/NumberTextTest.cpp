#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {
namespace {

TEST(NumberText, AcceptsSignDigitsFractionAndExponentWithBlanksAround) {
    EXPECT_DOUBLE_EQ(*ParseNumber("15"), 15);
    EXPECT_DOUBLE_EQ(*ParseNumber("-3.25"), -3.25);
    EXPECT_DOUBLE_EQ(*ParseNumber("+2.5"), 2.5);
    EXPECT_DOUBLE_EQ(*ParseNumber("1.5e1"), 15);
    EXPECT_DOUBLE_EQ(*ParseNumber("1.5E-1"), 0.15);
    EXPECT_DOUBLE_EQ(*ParseNumber("2e+2"), 200);
    EXPECT_DOUBLE_EQ(*ParseNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(*ParseNumber("5."), 5);
    EXPECT_DOUBLE_EQ(*ParseNumber("  7.25  "), 7.25);
    EXPECT_DOUBLE_EQ(*ParseNumber("0007"), 7);
}

TEST(NumberText, RejectsEverythingThatIsNotAPlainDecimalNumber) {
    for (const char* text : {"",     " ",   "inf",    "-inf",  "nan", "NaN", "infinity", "0x1p3",
                             "0x10", "1,5", "3.5 dB", "dBd",   "1e",  "1e+", "e5",       ".",
                             "-",    "+-1", "--1",    "1.2.3", "1 2", "١",   "1_000"}) {
        EXPECT_FALSE(IsNumber(text)) << '"' << text << '"';
    }
    EXPECT_EQ(TextToFloatDef("", 42), 42);
    EXPECT_EQ(TextToFloatDef("dBd", -1), -1);
    EXPECT_EQ(TextToFloatDef("1,5", 7), 7);
    EXPECT_EQ(TextToFloatDef("1.5e1", 7), 15);
}

TEST(NumberText, HugeMagnitudesAreNotNumbersButTinyOnesUnderflowToZero) {
    EXPECT_FALSE(IsNumber("1e999"));
    EXPECT_FALSE(IsNumber("-1e400"));
    ASSERT_TRUE(IsNumber("1e-999"));
    EXPECT_EQ(*ParseNumber("1e-999"), 0);
    EXPECT_DOUBLE_EQ(*ParseNumber("1.7976931348623157e308"), 1.7976931348623157e308);
}

TEST(NumberText, ConversionErrorNamesTheTextAndTheLine) {
    try {
        TextToFloat("3.5 dB", 12);
        FAIL() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'3.5 dB' is not a valid floating point value (line 12)");
    }
    EXPECT_THROW(TextToFloat(""), EConvertError);
    EXPECT_DOUBLE_EQ(TextToFloat(" -2.14 "), -2.14);
}

TEST(NumberText, IntegersAreDecimalWithinThe32BitRange) {
    EXPECT_EQ(TextToInt("72"), 72);
    EXPECT_EQ(TextToInt(" -5 "), -5);
    EXPECT_EQ(TextToInt("+5"), 5);
    EXPECT_THROW(TextToInt("+-5"), EConvertError);
    EXPECT_THROW(TextToInt("7.0"), EConvertError);
    EXPECT_THROW(TextToInt("99999999999"), EConvertError);
    EXPECT_THROW(TextToInt(""), EConvertError);
}

TEST(NumberText, GeneralFormatIsTheShortestTextWithUpTo15Digits) {
    EXPECT_EQ(FormatGeneral(-180), "-180");
    EXPECT_EQ(FormatGeneral(0), "0");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(-3.25), "-3.25");
    EXPECT_EQ(FormatGeneral(850.5), "850.5");
    EXPECT_EQ(FormatGeneral(15.85 + 2.14), "17.99");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneral(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(123456789012345.0), "123456789012345");
    // Very large and very small magnitudes switch to exponent notation and read back.
    EXPECT_DOUBLE_EQ(*ParseNumber(FormatGeneral(1e20)), 1e20);
    EXPECT_DOUBLE_EQ(*ParseNumber(FormatGeneral(1.5e-7)), 1.5e-7);
    EXPECT_NE(FormatGeneral(1e20).find('e'), std::string::npos);
}

TEST(NumberText, FixedFormatRoundsToTheGivenDecimals) {
    EXPECT_EQ(FormatFixed(2, 65), "65.00");
    EXPECT_EQ(FormatFixed(2, -2.14), "-2.14");
    EXPECT_EQ(FormatFixed(1, 18), "18.0");
    EXPECT_EQ(FormatFixed(1, 18 - 2.14), "15.9");
    EXPECT_EQ(FormatFixed(0, 10), "10");
    EXPECT_EQ(FormatFixed(3, 3.5), "3.500");
    EXPECT_EQ(FormatFixed(3, 1e300).size(), 305u);
}

TEST(NumberText, CompareDoubleOrdersValues) {
    EXPECT_EQ(CompareDouble(2, 2), 0);
    EXPECT_EQ(CompareDouble(1, 2), -1);
    EXPECT_EQ(CompareDouble(3, 2), 1);
}

// The plain-decimal scans of the pattern readers and ParseNumber against the standard
// conversion, bit for bit, on generated numbers of every shape: signs, leading zeros,
// 0 to 18 digits before and after the point, followed by other bytes or by the end of the
// text. The scan must take exactly sign, digits, point and digits when there are 1 to 15
// digits, and nothing otherwise.
TEST(NumberText, PlainDecimalsAgreeWithTheStandardConversion) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> digit('0', '9');
    std::uniform_int_distribution<int> count(0, 18);
    std::uniform_int_distribution<int> pick(0, 99);
    const std::vector<std::string> followers = {"",
                                                "\t12.5",
                                                " ",
                                                "\r\n",
                                                "x",
                                                "e5",
                                                ",7",
                                                "+",
                                                "-",
                                                " " + std::string(40, '9'),
                                                std::string(1, '\0')};
    auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    for (int trial = 0; trial < 200000; ++trial) {
        const int r = pick(random);
        const std::string sign = r < 60 ? "" : r < 80 ? "-" : "+";
        auto digits = [&](int n) {
            std::string text;
            const bool zeros = pick(random) < 20;
            for (int i = 0; i < n; ++i) text += zeros && i < n / 2 ? '0' : char(digit(random));
            return text;
        };
        const std::string whole = digits(pick(random) < 50 ? count(random) % 4 : count(random));
        const bool point = pick(random) < 70;
        const std::string fraction =
            point ? digits(count(random) % (pick(random) < 50 ? 5 : 19)) : "";
        const std::string number = sign + whole + (point ? "." : "") + fraction;
        const std::string follower = followers[static_cast<size_t>(trial) % followers.size()];
        const std::string text = number + follower;
        const std::string label = "\"" + text + "\"";

        // The standard reading of the same digits: no '+' and a digit on each side of the
        // point, which from_chars does not require of every library.
        const std::string canonical = (sign == "-" ? "-" : "") + (whole.empty() ? "0" : whole) +
                                      (fraction.empty() ? "" : "." + fraction);
        double expected = 0;
        const auto converted =
            std::from_chars(canonical.data(), canonical.data() + canonical.size(), expected);
        ASSERT_EQ(converted.ptr, canonical.data() + canonical.size()) << label;
        const size_t digitCount = whole.size() + fraction.size();

        // The bounded scan on the text in an exactly sized buffer (so that the sanitizer
        // build sees any read past it), and the scan that relies on a line end after the
        // number, on the text with a line end added.
        const std::string withLineEnd = text + (trial % 2 == 0 ? "\n" : "\r");
        for (const bool bounded : {true, false}) {
            const std::string& bytes = bounded ? text : withLineEnd;
            const std::unique_ptr<char[]> exact(new char[bytes.size()]);
            std::copy(bytes.begin(), bytes.end(), exact.get());
            double scanned = -12345;
            const char* end =
                bounded ? ScanPlainDecimal(exact.get(), exact.get() + bytes.size(), scanned)
                        : ScanPlainDecimalBeforeLineEnd(exact.get(), scanned);
            if (digitCount == 0 || digitCount > 15) {
                ASSERT_EQ(end, nullptr) << label << (bounded ? "" : " before a line end");
            } else {
                ASSERT_EQ(end, exact.get() + number.size()) << label;
                ASSERT_EQ(bits(scanned), bits(expected)) << label;
            }
        }
        const std::optional<double> parsed = ParseNumber(number);
        ASSERT_EQ(parsed.has_value(), digitCount > 0) << label;
        if (parsed) {
            ASSERT_EQ(bits(*parsed), bits(expected)) << label;
        }
    }
}

// A desktop with a comma locale must not change a single number text.
TEST(NumberText, IndependentOfTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8")) {
        GTEST_SKIP() << "no German locale installed";
    }
    EXPECT_EQ(FormatGeneral(-3.25), "-3.25");
    EXPECT_EQ(FormatFixed(1, 17.5), "17.5");
    EXPECT_DOUBLE_EQ(TextToFloatDef("1.5", 0), 1.5);
    EXPECT_FALSE(IsNumber("1,5"));
    EXPECT_FALSE(IsNumber("1e-999x"));
    EXPECT_EQ(*ParseNumber("1e-999"), 0);
    std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
}  // namespace ostrel

#include "model/NumberText.h"

#include <locale.h>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "model/AsciiText.h"
#include "model/Errors.h"

namespace ostrel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Checks the grammar [+-]digits[.digits][(e|E)[+-]digits] with at least one mantissa
// digit; from_chars alone would also take "inf", "nan" and hexadecimal forms.
bool IsNumberSyntax(std::string_view s) {
    size_t i = 0;
    const size_t n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    size_t mantissaDigits = 0;
    while (i < n && IsDigit(s[i])) ++i, ++mantissaDigits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        size_t exponentDigits = 0;
        while (i < n && IsDigit(s[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == n;
}

// Values too small for a double become (signed) zero as in any numeric library; values too
// large are not numbers. from_chars reports both as out of range, so the slow path asks
// strtod in the "C" locale what the magnitude was.
std::optional<double> OutOfRangeValue(std::string_view s) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    std::string text(s);
    errno = 0;
    double value = strtod_l(text.c_str(), nullptr, cLocale);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

int CompareDouble(double a, double b) {
    if (a > b) return 1;
    if (a < b) return -1;
    return 0;
}

std::string FormatFixed(int digits, double value) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                digits < 0 ? 0 : digits);
    if (result.ec != std::errc()) return std::string();
    return std::string(buffer, result.ptr);
}

std::string FormatGeneral(double value) {
    if (value == 0) return "0";
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (result.ec != std::errc()) return std::string();
    return std::string(buffer, result.ptr);
}

namespace {

// Plain decimals without an exponent ("12.345", "-0.5", "360"), which are nearly every
// number of a pattern file, converted without from_chars: with at most 15 digits the
// digits read as one integer M stay below 2^53, so M and 10^decimals are both exact doubles
// and one IEEE division gives the correctly rounded value, the same double from_chars
// gives. Anything else (an exponent, more digits, a syntax error) is left to the general
// path.
std::optional<double> ParsePlainDecimal(std::string_view s) {
    // An empty view may have no data at all: the scan's failure (null) would equal its end.
    if (s.empty()) return std::nullopt;
    double value = 0;
    const char* end = s.data() + s.size();
    if (ScanPlainDecimal(s.data(), end, value) != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    if (auto plain = ParsePlainDecimal(s)) return plain;
    if (!IsNumberSyntax(s)) return std::nullopt;
    std::string_view digits = s.front() == '+' ? s.substr(1) : s;
    double value = 0;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) return OutOfRangeValue(s);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

bool IsNumber(std::string_view text) {
    return ParseNumber(text).has_value();
}

double TextToFloatDef(std::string_view text, double fallback) {
    auto value = ParseNumber(text);
    return value ? *value : fallback;
}

namespace {

[[noreturn]] void ThrowConvertError(std::string_view text, const char* what, long long lineNumber) {
    std::string message = "'" + VisibleControlBytes(text) + "' is not a valid " + what;
    if (lineNumber > 0) message += " (line " + std::to_string(lineNumber) + ")";
    throw EConvertError(message);
}

}  // namespace

double TextToFloat(std::string_view text, long long lineNumber) {
    auto value = ParseNumber(text);
    if (!value) ThrowConvertError(text, "floating point value", lineNumber);
    return *value;
}

int TextToInt(std::string_view text, long long lineNumber) {
    std::string_view s = TrimBlanks(text);
    const bool plusSign = !s.empty() && s.front() == '+';
    if (plusSign) s.remove_prefix(1);
    int value = 0;
    auto result = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || (plusSign && s.front() == '-') || result.ec != std::errc() ||
        result.ptr != s.data() + s.size()) {
        ThrowConvertError(text, "integer value", lineNumber);
    }
    return value;
}

std::string GroupedCountText(long long count) {
    // Digits of the magnitude built from unsigned arithmetic, so the lowest count has one.
    const unsigned long long magnitude =
        count < 0 ? 0ULL - static_cast<unsigned long long>(count) : count;
    std::string digits = std::to_string(magnitude);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), 1, ',');
    }
    return count < 0 ? "-" + digits : digits;
}

}  // namespace ostrel

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

// Number text as the whole program reads and writes it: "." as the decimal separator
// whatever the process locale, an optional sign, digits, an optional fraction and an
// optional exponent; blanks around the number are ignored. "inf", "nan", hexadecimal
// floats, "1,5" and "" are not numbers.

// +1 when a > b, 0 when equal, -1 when a < b.
int CompareDouble(double a, double b);

// "%.*f": fixed notation with exactly `digits` decimals.
std::string FormatFixed(int digits, double value);

// The general number format: the shortest text that gives back the value with up to 15
// significant digits ("-180", "0", "-3.25", "17.99"); exponent notation only for very
// large or very small magnitudes. Negative zero is written "0".
std::string FormatGeneral(double value);

// A whole count with "," between groups of three digits, whatever the locale: "20,000".
std::string GroupedCountText(long long count);

namespace number_text_detail {

// The plain-decimal scan, with or without testing each position against `end`.
template <bool Bounded>
inline const char* ScanPlainDecimal(const char* p, const char* end, double& value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr std::ptrdiff_t kMaxPlainDigits = 15;
    auto inside = [end](const char* q) {
        if constexpr (Bounded) return q < end;
        static_cast<void>(end);
        return true;
    };
    // Adds the digits from p on to `mantissa`; the first byte that is no digit ends them.
    auto readDigits = [&inside](const char* p, std::uint64_t& mantissa) {
        for (; inside(p); ++p) {
            const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
            if (digit > 9) break;
            mantissa = mantissa * 10 + digit;
        }
        return p;
    };
    bool negative = false;
    if (inside(p) && (*p == '+' || *p == '-')) negative = *p++ == '-';
    // Unsigned, so that a run of digits far too long wraps harmlessly before it is refused.
    std::uint64_t mantissa = 0;
    const char* const first = p;
    if constexpr (!Bounded) {
        // Levels mix one- and two-digit whole parts at random ("7.25", "12.5"), and a loop
        // would mispredict its exit about every other number: the first two digits are
        // taken with a select instead, and the loop then mostly stops at once. Past a digit
        // the next byte is still before the line end that ends the scan.
        const unsigned d0 = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (d0 <= 9) {
            const unsigned d1 = static_cast<unsigned char>(p[1]) - unsigned{'0'};
            const bool two = d1 <= 9;
            mantissa = two ? d0 * 10 + d1 : d0;
            p += two ? 2 : 1;
        }
    }
    p = readDigits(p, mantissa);
    std::ptrdiff_t digits = p - first;
    std::ptrdiff_t decimals = 0;
    if (inside(p) && *p == '.') {
        const char* const fraction = ++p;
        p = readDigits(p, mantissa);
        decimals = p - fraction;
        digits += decimals;
    }
    if (digits == 0 || digits > kMaxPlainDigits) return nullptr;
    // Fifteen digits at most, so the signed conversion (one instruction, where the unsigned
    // one tests the top bit first) is exact. A whole number needs no division (x / 1 is x);
    // most angles are whole numbers.
    const double whole = static_cast<double>(static_cast<std::int64_t>(mantissa));
    const double magnitude = decimals == 0 ? whole : whole / kPowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    return p;
}

}  // namespace number_text_detail

// Reads a plain decimal (optional sign, digits, optional "." and digits, 1 to 15 digits in
// all, no exponent) from the start of [p, end): returns the end of what it read and sets
// `value`, or returns null when no such number starts at p. Within that grammar the value
// is the very double ParseNumber gives for the same text; a caller still checks what
// follows the number. Inline: the pattern readers call it twice for every data line.
inline const char* ScanPlainDecimal(const char* p, const char* end, double& value) {
    return number_text_detail::ScanPlainDecimal<true>(p, end, value);
}

// The same reading where the text holds a line end ('\n' or '\r') at or after p: the scan
// stops there at the latest, so no position needs testing against the text's end.
inline const char* ScanPlainDecimalBeforeLineEnd(const char* p, double& value) {
    return number_text_detail::ScanPlainDecimal<false>(p, nullptr, value);
}

// The value of the text, or nothing when the text is not a number.
std::optional<double> ParseNumber(std::string_view text);

bool IsNumber(std::string_view text);

// The number in `text`, or `fallback` when it is not a number.
double TextToFloatDef(std::string_view text, double fallback);

// The number in `text`; throws EConvertError naming the text (and the 1-based line when
// `lineNumber` > 0) when it is not a number.
double TextToFloat(std::string_view text, long long lineNumber = 0);

// A whole number (optional sign and decimal digits, blanks around ignored) within the
// 32-bit range; throws EConvertError naming the text when it is not one.
int TextToInt(std::string_view text, long long lineNumber = 0);

}  // namespace ostrel

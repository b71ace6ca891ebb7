#include "shell/PatternFilter.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "model/AsciiText.h"
#include "model/NumberText.h"
#include "model/Settings.h"
#include "shell/FileTable.h"

namespace ostrel {

namespace {

// One column a filter can name: its short key, the table column whose header also names it,
// and how to read it. A new file column becomes filterable with one row here, a new figure
// by being a figure.
struct TFilterField {
    std::string_view Key;
    int Column;                                                        // the table's column
    std::function<std::optional<double>(const TPatternData&)> Number;  // empty for text
    std::function<std::string(const TPatternData&)> Text;              // empty for numbers
    bool MatchesPlainWords;  // plain words of the filter look in this text
};

std::optional<double> Figure(const TDoubleObject& value) {
    if (value.IsNull) return std::nullopt;
    return value.Value;
}

std::vector<TFilterField> MakeFilterFields() {
    std::vector<TFilterField> fields = {
        {"id", fcId, [](const TPatternData& p) { return std::optional<double>(p.Id); }, {}, false},
        {"name", fcFileName, {}, [](const TPatternData& p) { return DisplayName(p, true); }, true},
        // A frequency the file does not state is kept as 0 for the table's cell, but it is
        // unknown here.
        {"freq", fcFrequency, [](const TPatternData& p) { return Figure(p.Frequency); }, {}, false},
        {"gain", fcGain, [](const TPatternData& p) { return Figure(p.Gain); }, {}, false},
        {"hbw", fcHorzWidth, [](const TPatternData& p) { return Figure(p.HorzWidth); }, {}, false},
        {"vbw", fcVertWidth, [](const TPatternData& p) { return Figure(p.VertWidth); }, {}, false},
        {"hrot",
         fcHRotationOffset,
         [](const TPatternData& p) { return std::optional<double>(p.HRotationOffset); },
         {},
         false},
        {"vrot",
         fcVRotationOffset,
         [](const TPatternData& p) { return std::optional<double>(p.VRotationOffset); },
         {},
         false},
    };
    // Every figure computed from the cuts, under the name ostrel-inspect gives it and under
    // its column's header; the horizontal ones follow the H cut shown.
    for (size_t i = 0; i < FigureColumns().size(); ++i) {
        const TFigureColumn& figure = FigureColumns()[i];
        fields.push_back({figure.Key,
                          fcColumnCount + static_cast<int>(i),
                          [&figure](const TPatternData& p) {
                              return FigureValue(figure, p, GetSettings().FHCut);
                          },
                          {},
                          false});
    }
    return fields;
}

const std::vector<TFilterField>& FilterFields() {
    static const std::vector<TFilterField> kFields = MakeFilterFields();
    return kFields;
}

// A header in lower-case letters and digits only: "Horz. Width" -> "horzwidth"; with
// `firstWordOnly` only up to its first blank or comma ("Frequency, MHz" -> "frequency"),
// with `withoutUnit` without a unit in brackets ("F/B 180 (dB)" -> "fb180").
std::string KeyOfHeader(std::string_view header, bool firstWordOnly, bool withoutUnit) {
    std::string key;
    for (char c : header) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            key += AsciiLower(c);
        } else if ((firstWordOnly && (c == ' ' || c == ',')) || (withoutUnit && c == '(')) {
            break;
        }
    }
    return key;
}

int FindField(std::string_view key) {
    const std::string wanted = AsciiLowerCase(key);
    const auto& fields = FilterFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const TFilterField& field = fields[i];
        if (wanted == field.Key) return static_cast<int>(i);
        const char* header = TableColumnHeader(field.Column);
        if (wanted == KeyOfHeader(header, false, false) ||
            wanted == KeyOfHeader(header, false, true)) {
            return static_cast<int>(i);
        }
        // First words are short and figure headers share them ("H", "F/B"): only the file
        // columns are named so.
        if (field.Column < fcColumnCount && wanted == KeyOfHeader(header, true, false)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Half a unit of the last digit typed: "6" -> 0.5, "17.5" -> 0.05.
double HalfLastDigit(std::string_view number) {
    const size_t dot = number.find('.');
    if (dot == std::string_view::npos) return 0.5;
    const size_t exponent = number.find_first_of("eE");
    const size_t decimals =
        (exponent == std::string_view::npos ? number.size() : exponent) - dot - 1;
    return 0.5 * std::pow(10.0, -static_cast<double>(decimals));
}

double NumberIn(std::string_view number, std::string_view term) {
    const std::optional<double> value = ParseNumber(number);
    if (!value) {
        throw EFilterError("'" + std::string(number) + "' is not a number in '" +
                           std::string(term) + "'");
    }
    return *value;
}

bool ContainsFolded(const std::string& text, const std::string& lowerWord) {
    return AsciiLowerCase(text).find(lowerWord) != std::string::npos;
}

// Splits at blanks; a double quote starts and ends a part that keeps its blanks.
std::vector<std::string> SplitTerms(std::string_view text) {
    std::vector<std::string> terms;
    std::string current;
    bool quoted = false;
    bool any = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && static_cast<unsigned char>(c) <= ' ') {
            if (any) terms.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (quoted) throw EFilterError("A quote is not closed");
    if (any) terms.push_back(current);
    return terms;
}

}  // namespace

std::string TPatternFilter::KnownKeys() {
    std::string keys;
    for (const TFilterField& field : FilterFields()) {
        if (!keys.empty()) keys += ", ";
        keys += field.Key;
    }
    return keys;
}

TPatternFilter TPatternFilter::Parse(std::string_view text) {
    TPatternFilter filter;
    for (const std::string& term : SplitTerms(text)) {
        if (!term.empty()) filter.FTerms.push_back(ParseTerm(term));
    }
    return filter;
}

TPatternFilter::TTerm TPatternFilter::ParseTerm(std::string_view term) {
    TTerm parsed;
    const size_t colon = term.find(':');
    if (colon == std::string_view::npos) {
        parsed.Text = AsciiLowerCase(term);
        return parsed;
    }
    const std::string_view key = term.substr(0, colon);
    std::string_view condition = term.substr(colon + 1);
    parsed.Field = FindField(key);
    if (parsed.Field < 0) {
        throw EFilterError("Unknown column '" + std::string(key) + "' (use " + KnownKeys() + ")");
    }
    if (condition.empty()) throw EFilterError("Nothing after '" + std::string(term) + "'");
    const TFilterField& field = FilterFields()[static_cast<size_t>(parsed.Field)];
    if (!field.Number) {
        parsed.Text = AsciiLowerCase(condition);
        return parsed;
    }
    static const std::pair<std::string_view, TOperator> kComparisons[] = {
        {">=", opGreaterEqual}, {"<=", opLessEqual}, {">", opGreater}, {"<", opLess}};
    for (const auto& [sign, op] : kComparisons) {
        if (condition.substr(0, sign.size()) == sign) {
            parsed.Operator = op;
            parsed.Low = parsed.High = NumberIn(condition.substr(sign.size()), term);
            return parsed;
        }
    }
    if (condition.front() == '=') condition.remove_prefix(1);
    // A range's dash comes after its first number, which may have a sign of its own.
    size_t dash = condition.find("..");
    size_t dashLength = 2;
    if (dash == std::string_view::npos) {
        dash = condition.find('-', 1);
        dashLength = 1;
        // "1e-3" has a dash inside a number.
        while (dash != std::string_view::npos &&
               (condition[dash - 1] == 'e' || condition[dash - 1] == 'E')) {
            dash = condition.find('-', dash + 1);
        }
    }
    parsed.Operator = opRange;
    if (dash == std::string_view::npos) {
        const double value = NumberIn(condition, term);
        const double half = HalfLastDigit(condition);
        parsed.Low = value - half;
        parsed.High = value + half;
        // Rounding halves to even would make the upper end depend on the digit; the lower
        // end is in and the upper one out, like reading a rounded display.
        parsed.High = std::nextafter(parsed.High, -INFINITY);
        return parsed;
    }
    parsed.Low = NumberIn(condition.substr(0, dash), term);
    parsed.High = NumberIn(condition.substr(dash + dashLength), term);
    if (parsed.Low > parsed.High) std::swap(parsed.Low, parsed.High);
    return parsed;
}

bool TPatternFilter::Holds(const TTerm& term, const TPatternData& pattern) {
    const auto& fields = FilterFields();
    if (term.Field < 0) {
        return std::any_of(fields.begin(), fields.end(), [&](const TFilterField& field) {
            return field.MatchesPlainWords && ContainsFolded(field.Text(pattern), term.Text);
        });
    }
    const TFilterField& field = fields[static_cast<size_t>(term.Field)];
    if (!field.Number) return ContainsFolded(field.Text(pattern), term.Text);
    const std::optional<double> value = field.Number(pattern);
    if (!value || std::isnan(*value)) return false;
    switch (term.Operator) {
        case opRange:
            return *value >= term.Low && *value <= term.High;
        case opLess:
            return *value < term.Low;
        case opLessEqual:
            return *value <= term.Low;
        case opGreater:
            return *value > term.Low;
        case opGreaterEqual:
            return *value >= term.Low;
        default:
            return false;
    }
}

bool TPatternFilter::Matches(const TPatternData& pattern) const {
    return std::all_of(FTerms.begin(), FTerms.end(),
                       [&pattern](const TTerm& term) { return Holds(term, pattern); });
}

}  // namespace ostrel

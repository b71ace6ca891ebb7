#include "views/OffsetAngles.h"

#include <array>
#include <optional>

#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

constexpr std::array<TRotateColumnInfo, rcColumnCount> kColumns = {{
    {"ID", 50},
    {"File Name", 200},
    {"Horz Offset", 80},
    {"Vert Offset", 80},
}};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

struct TWholeNumber {
    int Value;     // cut back to the limits, so that any number of digits is safe
    bool CutBack;  // the text was beyond a limit
};

// The value of a whole-number text, or nothing when the text is not a whole number.
std::optional<TWholeNumber> ClampedWholeNumber(std::string_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    text = text.substr(first, last - first);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    int magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (magnitude <= kOffsetAngleLimit) magnitude = magnitude * 10 + (c - '0');
    }
    const bool cutBack = magnitude > kOffsetAngleLimit;
    if (cutBack) magnitude = kOffsetAngleLimit;
    return TWholeNumber{negative ? -magnitude : magnitude, cutBack};
}

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

const TRotateColumnInfo& RotateColumnInfo(int column) {
    if (column < 0 || column >= rcColumnCount) throw EListError::IndexOutOfBounds(column);
    return kColumns[static_cast<size_t>(column)];
}

std::string RotateCellText(const TPatternData& pattern, int column) {
    switch (column) {
        case rcId:
            return std::to_string(pattern.Id);
        case rcFileName:
            return DisplayName(pattern, false);
        case rcHorzOffset:
            return FormatGeneral(pattern.HRotationOffset);
        case rcVertOffset:
            return FormatGeneral(pattern.VRotationOffset);
        default:
            return std::string();
    }
}

int AngleFromText(std::string_view text) {
    const std::optional<TWholeNumber> number = ClampedWholeNumber(text);
    return number ? number->Value : 0;
}

bool IsWholeNumberText(std::string_view text) {
    return ClampedWholeNumber(text).has_value();
}

bool CutBackAngleText(std::string& text) {
    const std::optional<TWholeNumber> number = ClampedWholeNumber(text);
    if (!number || !number->CutBack) return false;
    text = std::to_string(number->Value);
    return true;
}

void CollectAngles(int rowCount, const std::function<std::string(int row, int column)>& cellText,
                   TRealPointList& angles) {
    angles.Clear();
    for (int row = 0; row < rowCount; ++row) {
        angles.Add(AngleFromText(cellText(row, rcHorzOffset)),
                   AngleFromText(cellText(row, rcVertOffset)));
    }
}

void ApplyOffsets(const TPatternDataList& patterns, const TRealPointList& angles) {
    if (angles.Count() < patterns.Count()) {
        throw EListError::IndexOutOfBounds(angles.Count());
    }
    for (int i = 0; i < patterns.Count(); ++i) {
        TPatternData& pattern = patterns.Items(i);
        pattern.HRotationOffset = angles.PointAt(i).X;
        pattern.VRotationOffset = angles.PointAt(i).Y;
    }
}

TWrappedText WrapBetweenCharacters(const std::string& text, int width, int lineHeight,
                                   const std::function<int(const std::string&)>& textWidth) {
    TWrappedText wrapped;
    if (textWidth(text) <= width) {
        wrapped.Lines.push_back(text);
        wrapped.Height = lineHeight;
        return wrapped;
    }
    std::string line;
    size_t i = 0;
    while (i < text.size()) {
        size_t next = i + 1;
        while (next < text.size() && IsUtf8Continuation(text[next])) ++next;
        const std::string character = text.substr(i, next - i);
        if (!line.empty() && textWidth(line + character) > width) {
            wrapped.Lines.push_back(line);
            line.clear();
        }
        line += character;
        i = next;
    }
    if (!line.empty()) wrapped.Lines.push_back(line);
    wrapped.Wrapped = wrapped.Lines.size() > 1;
    wrapped.Height = static_cast<int>(wrapped.Lines.size()) * lineHeight;
    return wrapped;
}

}  // namespace ostrel

#pragma once

// What the Ostrel and Verizon readers and writers share: finding a file's two sections,
// reading its data lines, naming a repeated degree, writing header lines.

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/CircularCuts.h"
#include "formats/TextLines.h"
#include "model/Errors.h"
#include "model/NumberText.h"
#include "model/PatternData.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// The last index of lines 0..lastIndex that exists.
inline int LastIndexWithin(const std::vector<std::string_view>& lines, int lastIndex) {
    return std::min(lastIndex, static_cast<int>(lines.size()) - 1);
}

// Where the two sections of a file start, found in one walk: a cursor standing just past each
// section's first line, that line's number, and the text before the first section's line.
struct TSectionStarts {
    std::optional<TLineCursor> First;
    std::optional<TLineCursor> Second;
    long long SecondLine = 0;
    std::string_view Header;
};

template <class TFirst, class TSecond>
TSectionStarts FindSectionStarts(std::string_view text, TFirst&& isFirst, TSecond&& isSecond) {
    TSectionStarts starts;
    TLineCursor cursor(text);
    std::string_view raw;
    while ((!starts.First || !starts.Second) && cursor.Next(raw)) {
        const std::string_view line = TrimLine(raw);
        if (!starts.First && isFirst(line)) {
            starts.First = cursor;
            starts.Header = text.substr(0, static_cast<size_t>(raw.data() - text.data()));
        } else if (!starts.Second && isSecond(line)) {
            starts.Second = cursor;
            starts.SecondLine = cursor.Number();
        }
    }
    return starts;
}

// Resampling divides by the width of the interval that first holds each whole degree; one of
// no width, two points in a row at that degree, fails the load. The failure names the angle
// and the lines of both points, which a walk over the section's data lines (after the
// cursor's place, `Match` telling them) finds.
template <bool (*Match)(std::string_view, std::string_view&, std::string_view&)>
void RefuseZeroWidth(const TRealPointList& points, TLineCursor cursor) {
    const int interval = ZeroWidthInterval(points);
    if (interval < 0) return;
    std::string_view raw;
    std::string_view first;
    std::string_view second;
    long long earlierLine = 0;
    for (int index = -1; index <= interval && cursor.Next(raw);) {
        if (!Match(TrimLine(raw), first, second)) continue;
        if (++index == interval) earlierLine = cursor.Number();
    }
    const double angle = points.PointAt(interval).X;
    throw EFormatError(RepeatedAngleMessage("Angle", angle, angle, earlierLine, cursor.Number()));
}

// An empty point list with room for a usual cut.
inline TRealPointList UsualPointList() {
    TRealPointList points;
    points.Reserve(361);
    return points;
}

// A text that opens with a byte above ASCII (a byte-order mark, say) takes the
// line-by-line reading, which knows how the first line is to be treated.
inline bool StartsPlain(std::string_view text) {
    return text.empty() || static_cast<unsigned char>(text.front()) < 0x80;
}

// One data line outside the fast scan, with the reading of the line-by-line path; false
// when the line matches but a number does not convert (the load then takes that path,
// which reports the line).
template <bool (*Match)(std::string_view, std::string_view&, std::string_view&)>
inline bool ReadDataLine(std::string_view line, TRealPointList& points) {
    std::string_view angle;
    std::string_view level;
    if (!Match(line, angle, level)) return true;
    const std::optional<double> x = ParseNumber(angle);
    const std::optional<double> y = ParseNumber(level);
    if (!x || !y) return false;
    points.Add(*x, *y);
    return true;
}

inline std::string LineEnd(std::string text) {
    return text + "\r\n";
}

// "KEYWORD value" or the keyword alone when the value is exactly 0.
inline std::string KeywordLine(const std::string& keyword, double value, const char* separator,
                               const std::string& suffix = {}) {
    if (value == 0) return LineEnd(keyword);
    return LineEnd(keyword + separator + FormatFixed(2, value) + suffix);
}

// "KEYWORD value", or the keyword alone when the value is not stated.
inline std::string StatedLine(const std::string& keyword, bool stated, const char* separator,
                              const std::string& value) {
    return LineEnd(stated ? keyword + separator + value : keyword);
}

}  // namespace ostrel

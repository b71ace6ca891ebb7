#include "views/LegendDrawer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace ostrel {

namespace {

constexpr const char* kLegendFont = "Arial";
// Gap below each entry's last line.
constexpr double kEntrySpacing = 4;

// Byte length of the character starting at `pos`: a whole UTF-8 sequence when one starts
// there, otherwise one byte (single-byte text breaks between bytes).
size_t CharLength(const std::string& text, size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || pos + length > text.size()) return 1;
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

// The byte length of the longest prefix not wider than `width`; at least one character.
size_t FittingPrefix(TDrawer& drawer, const std::string& text, double width) {
    size_t fitting = CharLength(text, 0);
    size_t next = fitting;
    while (next < text.size()) {
        next += CharLength(text, next);
        if (drawer.TextWidth(text.substr(0, next)) > width) break;
        fitting = next;
    }
    return fitting;
}

std::vector<std::string> WrapLines(TDrawer& drawer, const std::string& text, double width) {
    if (drawer.TextWidth(text) <= width) return {text};
    std::vector<std::string> lines;
    std::string rest = text;
    while (!rest.empty()) {
        if (drawer.TextWidth(rest) <= width) {
            lines.push_back(rest);
            break;
        }
        const size_t length = FittingPrefix(drawer, rest, width);
        lines.push_back(rest.substr(0, length));
        rest.erase(0, length);
    }
    return lines;
}

std::string IdText(const TPatternData& pattern) {
    return "(" + std::to_string(pattern.Id) + ") ";
}

}  // namespace

double DrawWrappedText(TDrawer& drawer, const std::string& text, double x, double y, double width) {
    for (const std::string& line : WrapLines(drawer, text, width)) {
        y = drawer.TextOut(line, x, y);
    }
    return y;
}

void TBasicLegendDrawer::Draw() {
    if (!Drawer) return;
    TDrawer& drawer = *Drawer;

    drawer.SetFont(kLegendFont, clGreen, fsBold, TextSize);
    const double lineHeight = drawer.TextHeight("H");
    // Only entries that can fit are measured: with thousands selected, measuring every name
    // would cost more than drawing the graphs.
    int measured = Patterns.Count();
    if (std::isfinite(MaxBottom) && lineHeight > 0) {
        const double room = std::max(0.0, MaxBottom - Origin.Y);
        measured = std::min(measured, static_cast<int>(room / lineHeight) + 1);
    }
    double widest = 0;
    for (int i = 0; i < measured; ++i) {
        const TPatternData& pattern = Patterns.Items(i);
        widest = std::max(widest,
                          drawer.TextWidth(IdText(pattern) + DisplayName(pattern, ShowExtensions)));
    }
    const double width = std::min(MaxWidth, widest);

    double left = Origin.X;
    if (Align == laRight) left = Origin.X - width;
    if (Align == laCenter) left = Origin.X - width / 2;

    double y = Origin.Y;
    for (int i = 0; i < Patterns.Count(); ++i) {
        const TPatternData& pattern = Patterns.Items(i);
        const std::string idText = IdText(pattern);
        drawer.SetFont(kLegendFont, clGreen, fsBold, TextSize);
        const double idWidth = drawer.TextWidth(idText);
        const std::vector<std::string> lines =
            WrapLines(drawer, DisplayName(pattern, ShowExtensions), width);
        // The entry must fit, and so must the line telling about the entries after it.
        const bool last = i + 1 == Patterns.Count();
        const double bottom = y + static_cast<double>(lines.size()) * lineHeight +
                              (last ? 0 : kEntrySpacing + lineHeight);
        if (i > 0 && bottom > MaxBottom) {
            drawer.SetFont(kLegendFont, clGray, fsBold, TextSize);
            drawer.TextOut("\u2026 and " + std::to_string(Patterns.Count() - i) + " more", left, y);
            return;
        }

        const double middle = y + lineHeight / 2;
        drawer.SetPen(clGray, psSolid, 1.0);
        drawer.SetBrush(SeriesColor(i), bsSolid);
        drawer.Rectangle({left - 20, middle - 4, left - 5, middle + 4});
        drawer.SetBrush(clWhite, bsSolid);

        drawer.SetFont(kLegendFont, clBlue, fsBold, TextSize);
        drawer.TextOut(idText, left, y);
        drawer.SetFont(kLegendFont, clGreen, fsBold, TextSize);
        for (const std::string& line : lines) y = drawer.TextOut(line, left + idWidth, y);
        y += kEntrySpacing;
    }
}

}  // namespace ostrel

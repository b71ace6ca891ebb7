#include "draw/TextBoundsDrawer.h"

#include <algorithm>

namespace ostrel {

namespace {

// How far a text moves from its reference point for an alignment: none, half or all of its
// extent.
double AlignShift(TTextAlign align, double extent) {
    if (align == taCenter) return extent / 2;
    if (align == taFar) return extent;
    return 0;
}

}  // namespace

void TTextBoundsDrawer::SetFont(const std::string& name, TColor color, TFontStyles style,
                                double size) {
    FMeasure.SetFont(name, color, style, size);
    FontSize = size;
}

double TTextBoundsDrawer::TextOut(const std::string& text, double x, double y) {
    return AlignedTextOut(text, taNear, x, y, taNear);
}

double TTextBoundsDrawer::AlignedTextOut(const std::string& text, TTextAlign hAlign, double x,
                                         double y, TTextAlign vAlign) {
    const double width = TextWidth(text);
    const double height = TextHeight(text);
    const double left = x - AlignShift(hAlign, width);
    const double top = y - AlignShift(vAlign, height);
    Include(left, top, width, height);
    return top + FontSize;
}

void TTextBoundsDrawer::VerticalTextOut(const std::string& text, TTextAlign hAlign, double x,
                                        double y, TTextAlign vAlign) {
    // Reading upward: the text's width runs up the page, its height across.
    const double width = TextWidth(text);
    const double height = TextHeight(text);
    const double left = x - AlignShift(vAlign, height);
    const double bottom = y + AlignShift(hAlign, width);
    Include(left, bottom - width, height, width);
}

void TTextBoundsDrawer::Include(double left, double top, double width, double height) {
    const TRealRect box{left, top, left + width, top + height};
    FBoxes.push_back(box);
    if (FBoxes.size() == 1) {
        FBounds = box;
        return;
    }
    FBounds.Left = std::min(FBounds.Left, box.Left);
    FBounds.Top = std::min(FBounds.Top, box.Top);
    FBounds.Right = std::max(FBounds.Right, box.Right);
    FBounds.Bottom = std::max(FBounds.Bottom, box.Bottom);
}

}  // namespace ostrel

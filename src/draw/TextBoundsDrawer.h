#pragma once

#include <vector>

#include "draw/Drawer.h"

namespace ostrel {

// A drawer that draws nothing: it measures every text a drawing writes, through another
// drawer, and keeps the box around them all. The views draw a graph on it first to learn
// whether the graph's labels fit the room they have. The measuring drawer's font is changed;
// nothing is drawn on it.
class TTextBoundsDrawer : public TDrawer {
public:
    using TDrawer::PolyBezier;
    using TDrawer::Polygon;
    using TDrawer::Polyline;

    explicit TTextBoundsDrawer(TDrawer& measure) : FMeasure(measure) {}

    // Whether any text was written, the box around every text written, and each text's box
    // in writing order.
    bool HasText() const { return !FBoxes.empty(); }
    const TRealRect& Bounds() const { return FBounds; }
    const std::vector<TRealRect>& Boxes() const { return FBoxes; }

    void SetFont(const std::string& name, TColor color, TFontStyles style, double size) override;
    void SetPen(TColor, TPenStyle, double) override {}
    void SetBrush(TColor, TBrushStyle) override {}
    double TextHeight(const std::string& text) override { return FMeasure.TextHeight(text); }
    double TextWidth(const std::string& text) override { return FMeasure.TextWidth(text); }
    double TextOut(const std::string& text, double x, double y) override;
    double AlignedTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                          TTextAlign vAlign) override;
    void VerticalTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                         TTextAlign vAlign) override;
    void MoveTo(double, double) override {}
    void LineTo(double, double) override {}
    void FillBar(TColor, double, double, double, double) override {}
    void Rectangle(const TRealRect&) override {}
    void FillRect(const TRealRect&) override {}
    void Ellipse(const TRealRect&) override {}
    void DrawBitmap(const TRealRect&, const TGraphic&) override {}
    void StretchDraw(const TRealRect&, const TGraphic&) override {}
    void Polyline(const TRealPointArray&) override {}
    void Polygon(const TRealPointArray&) override {}
    void PolyBezier(const TRealPointArray&) override {}

protected:
    void ApplyClip(const TRect*) override {}

private:
    void Include(double left, double top, double width, double height);

    TDrawer& FMeasure;
    TRealRect FBounds;
    std::vector<TRealRect> FBoxes;
};

}  // namespace ostrel

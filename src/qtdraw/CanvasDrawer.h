#pragma once

#include <string>

#include "draw/Drawer.h"
#include "qtdraw/CanvasPainter.h"

class QPainter;

namespace ostrel {

// The screen back-end of the drawer: paints through a QPainter on whatever device the
// painter is open on (a widget, a QImage, an SVG generator). World units become pixels
// through one scale per axis; the viewer uses a scale of 1, so world units are pixels.
// The drawer never owns the painter; it changes the painter's pen, brush, font, render
// hints and clip while drawing.
class TCanvasDrawer : public virtual TDrawer {
public:
    using TDrawer::PolyBezier;
    using TDrawer::Polygon;
    using TDrawer::Polyline;

    TCanvasDrawer() = default;

    // Attaches the painter (not owned; null detaches); ScaleX/ScaleY become the scales
    // times 100.
    void SetCanvas(QPainter* canvas, double xScale, double yScale);
    QPainter* GetCanvas() const { return FCanvas.Painter(); }

    void SetFont(const std::string& name, TColor color, TFontStyles style, double size) override;
    void SetPen(TColor color, TPenStyle style, double width) override;
    void SetBrush(TColor color, TBrushStyle style) override;
    double TextHeight(const std::string& text) override;
    double TextWidth(const std::string& text) override;
    double TextOut(const std::string& text, double x, double y) override;
    double AlignedTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                          TTextAlign vAlign) override;
    void VerticalTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                         TTextAlign vAlign) override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void FillBar(TColor color, double x, double y, double width, double height) override;
    void Rectangle(const TRealRect& rect) override;
    void FillRect(const TRealRect& rect) override;
    void Ellipse(const TRealRect& rect) override;
    void DrawBitmap(const TRealRect& rect, const TGraphic& graphic) override;
    void StretchDraw(const TRealRect& rect, const TGraphic& graphic) override;
    void Polyline(const TRealPointArray& points) override;
    void Polygon(const TRealPointArray& points) override;
    void PolyBezier(const TRealPointArray& points) override;
    void FillPolygons(const TRealPointArray& points, int corners) override;

    // The device-level canvas, for tests.
    const TCanvasPainter& Canvas() const { return FCanvas; }

protected:
    void ApplyClip(const TRect* deviceRect) override;

private:
    std::vector<QPoint> DevicePoints(const TRealPointArray& points) const;

    TCanvasPainter FCanvas;
};

}  // namespace ostrel

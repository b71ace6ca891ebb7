#include "qtdraw/CanvasDrawer.h"

#include "graphs/DensityImage.h"

#include <QPainter>

namespace ostrel {

void TCanvasDrawer::SetCanvas(QPainter* canvas, double xScale, double yScale) {
    FCanvas.SetPainter(canvas);
    ScaleX = xScale * 100;
    ScaleY = yScale * 100;
}

void TCanvasDrawer::SetFont(const std::string& name, TColor color, TFontStyles style, double size) {
    FCanvas.SetFont(name, color, style, DeviceHeight(size));
    FontSize = size;
}

void TCanvasDrawer::SetPen(TColor color, TPenStyle style, double width) {
    FCanvas.SetPen(color, style, DeviceHeight(width));
}

void TCanvasDrawer::SetBrush(TColor color, TBrushStyle style) {
    FCanvas.SetBrush(color, style);
}

double TCanvasDrawer::TextHeight(const std::string& text) {
    return WorldHeight(FCanvas.TextHeight(text));
}

double TCanvasDrawer::TextWidth(const std::string& text) {
    return WorldWidth(FCanvas.TextWidth(text));
}

double TCanvasDrawer::TextOut(const std::string& text, double x, double y) {
    FCanvas.TextOut(DeviceX(x), DeviceY(y), text);
    return y + FontSize;
}

double TCanvasDrawer::AlignedTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                                     TTextAlign vAlign) {
    const double width = FCanvas.TextWidth(text);
    const double height = FCanvas.TextHeight(text);
    double dx = 0;
    double dy = 0;
    if (hAlign == taCenter) dx = WorldWidth(width / 2);
    if (hAlign == taFar) dx = WorldWidth(width);
    if (vAlign == taCenter) dy = WorldHeight(height / 2);
    if (vAlign == taFar) dy = WorldHeight(height);
    return TextOut(text, x - dx, y - dy);
}

void TCanvasDrawer::VerticalTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                                    TTextAlign vAlign) {
    // The rotated text starts at the reference point and runs upward; its cell lies to the
    // right of that point. Alignment moves the start left by the cell height and down by
    // the text width.
    const double width = FCanvas.TextWidth(text);
    const double height = FCanvas.TextHeight(text);
    const double dx = vAlign == taCenter ? height / 2 : vAlign == taFar ? height : 0;
    const double dy = hAlign == taCenter ? width / 2 : hAlign == taFar ? width : 0;
    FCanvas.TextOut(DeviceX(x - WorldWidth(dx)), DeviceY(y + WorldHeight(dy)), text, true);
}

void TCanvasDrawer::MoveTo(double x, double y) {
    FCanvas.MoveTo(DeviceX(x), DeviceY(y));
}

void TCanvasDrawer::LineTo(double x, double y) {
    FCanvas.LineTo(DeviceX(x), DeviceY(y));
}

void TCanvasDrawer::FillBar(TColor color, double x, double y, double width, double height) {
    const TColor savedColor = FCanvas.BrushColor();
    const TBrushStyle savedStyle = FCanvas.BrushStyle();
    // Giving a clear brush a colour makes it solid, so the bar is filled even when the
    // caller's brush was clear; both colour and style are put back afterwards.
    FCanvas.SetBrush(color, savedStyle == bsClear ? bsSolid : savedStyle);
    const int left = DeviceWidth(x);
    const int h = DeviceHeight(height);
    const int top = DeviceHeight(y) - h / 2;
    FCanvas.FillRect(TRect{left, top, left + DeviceWidth(width), top + h});
    FCanvas.SetBrush(savedColor, savedStyle);
}

void TCanvasDrawer::Rectangle(const TRealRect& rect) {
    FCanvas.Rectangle(DeviceRect(rect));
}

void TCanvasDrawer::FillRect(const TRealRect& rect) {
    FCanvas.FillRect(DeviceRect(rect));
}

void TCanvasDrawer::Ellipse(const TRealRect& rect) {
    FCanvas.Ellipse(DeviceRect(rect));
}

void TCanvasDrawer::DrawBitmap(const TRealRect& rect, const TGraphic& graphic) {
    // Through an opaque 24-bit copy, as devices that only take device-independent bitmaps
    // receive it; transparent pixels become white.
    const auto* qtGraphic = dynamic_cast<const TQtGraphic*>(&graphic);
    if (qtGraphic == nullptr || qtGraphic->Image.isNull()) return;
    QImage copy(qtGraphic->Image.size(), QImage::Format_RGB888);
    copy.fill(Qt::white);
    {
        QPainter painter(&copy);
        painter.drawImage(0, 0, qtGraphic->Image);
    }
    FCanvas.StretchDraw(DeviceRect(rect), copy);
}

void TCanvasDrawer::StretchDraw(const TRealRect& rect, const TGraphic& graphic) {
    if (const auto* pixels = dynamic_cast<const TPixelGraphic*>(&graphic)) {
        // The pixels as they are, not copied: the image lives only for this call.
        const QImage image(reinterpret_cast<const uchar*>(pixels->Bits()), pixels->Width(),
                           pixels->Height(), static_cast<qsizetype>(pixels->Width()) * 4,
                           QImage::Format_ARGB32_Premultiplied);
        FCanvas.StretchDraw(DeviceRect(rect), image);
        return;
    }
    const auto* qtGraphic = dynamic_cast<const TQtGraphic*>(&graphic);
    if (qtGraphic == nullptr) return;
    FCanvas.StretchDraw(DeviceRect(rect), qtGraphic->Image);
}

std::vector<QPoint> TCanvasDrawer::DevicePoints(const TRealPointArray& points) const {
    std::vector<QPoint> devicePoints;
    devicePoints.reserve(points.size());
    for (const TRealPoint& p : points) devicePoints.emplace_back(DeviceX(p.X), DeviceY(p.Y));
    return devicePoints;
}

void TCanvasDrawer::Polyline(const TRealPointArray& points) {
    FCanvas.Polyline(DevicePoints(points));
}

void TCanvasDrawer::Polygon(const TRealPointArray& points) {
    FCanvas.Polygon(DevicePoints(points));
}

void TCanvasDrawer::FillPolygons(const TRealPointArray& points, int corners) {
    FCanvas.FillPolygons(DevicePoints(points), corners);
}

void TCanvasDrawer::PolyBezier(const TRealPointArray& points) {
    FCanvas.PolyBezier(DevicePoints(points));
}

void TCanvasDrawer::ApplyClip(const TRect* deviceRect) {
    FCanvas.SetClipRect(deviceRect != nullptr ? std::optional<TRect>(*deviceRect) : std::nullopt);
}

}  // namespace ostrel

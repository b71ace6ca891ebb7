#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QTransform>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "draw/Drawer.h"
#include "draw/WuLines.h"

class QPainter;
class QPainterPath;

namespace ostrel {

// An image for DrawBitmap and StretchDraw on the Qt back-ends.
class TQtGraphic : public TGraphic {
public:
    TQtGraphic() = default;
    explicit TQtGraphic(QImage image) : Image(std::move(image)) {}
    int Width() const override { return Image.width(); }
    int Height() const override { return Image.height(); }

    QImage Image;
};

// Turns a drawer colour (0x00BBGGRR) into a Qt colour; the high byte is ignored.
QColor ToQColor(TColor color);
// Text of the core (UTF-8, or single-byte text read from pattern files) as a QString:
// valid UTF-8 is decoded as such, anything else as Latin-1 so that no byte is lost.
QString ToQString(const std::string& text);

// A raster canvas in device pixels over a QPainter that somebody else owns: the drawing
// state (pen, brush, font, pen position, clip rectangle) and the device operations the
// Qt drawers share. Pixel conventions are those of a classic raster canvas: a 1-pixel
// line through y covers pixel row y, a rectangle (L, T, R, B) covers the pixels
// L..R-1 and T..B-1. Pen-drawn geometry is shifted by half a pixel for odd pen widths,
// so horizontal and vertical lines stay crisp while curves are antialiased.
//
// Lines, outlines and fills are clipped in geometry against the clip rectangle as well as
// through the painter, because not every device honours a painter clip (an SVG generator
// writes none). Text is clipped by the painter only.
class TCanvasPainter {
public:
    TCanvasPainter() { FFont.setHintingPreference(QFont::PreferNoHinting); }

    // Attaches the painter (not owned) and turns on antialiasing; null detaches.
    void SetPainter(QPainter* painter);
    QPainter* Painter() const { return FPainter; }

    // The font gets a cell height (ascent + descent) of cellHeight pixels.
    void SetFont(const std::string& name, TColor color, TFontStyles style, int cellHeight);
    void SetPen(TColor color, TPenStyle style, int width);
    void SetBrush(TColor color, TBrushStyle style);
    TColor BrushColor() const { return FBrushColor; }
    TBrushStyle BrushStyle() const { return FBrushStyle; }
    // The loaded font; text is drawn with it scaled by TextScale.
    const QFont& Font() const { return FFont; }
    double TextScale() const { return FTextScale; }
    int PenWidth() const { return FPenWidth; }

    // Extent of a text in the current font, in whole pixels.
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;
    // Text with the top-left corner of its cell at (x, y), on the brush as background
    // unless the brush is clear; rotated draws it turned 90 degrees counter-clockwise
    // about (x, y), reading upward.
    void TextOut(int x, int y, const std::string& text, bool rotated = false);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<QPoint>& points);
    void Polygon(const std::vector<QPoint>& points);
    // Polygons of `corners` points each, one after another, filled with the brush, without
    // antialiasing and without outline on a raster device, so that neighbours meet exactly;
    // on other devices (SVG, printer) outlined in the brush colour with a hairline, which
    // closes the seams their own antialiasing would show. Clipped ones go through Polygon.
    void FillPolygons(const std::vector<QPoint>& points, int corners);
    // Cubic Bézier segments: start point, then three points per segment; points that do not
    // make a whole segment are ignored.
    void PolyBezier(const std::vector<QPoint>& points);
    void Rectangle(const TRect& rect);
    void FillRect(const TRect& rect);
    void Ellipse(const TRect& rect);
    // The image scaled into rect, nearest pixel (no filtering), as a raster blit does.
    void StretchDraw(const TRect& rect, const QImage& image);

    void SetClipRect(const std::optional<TRect>& rect);
    const std::optional<TRect>& ClipRect() const { return FClip; }

private:
    // Bounds for font cells and pen widths in pixels: far beyond any page at printer
    // resolution, but small enough that a wild size cannot make the font engine or the
    // stroker allocate without end.
    static constexpr int kMaxDeviceSize = 10000;

    double StrokeOffset() const;
    QFontMetricsF Metrics(const QFont& font) const;
    // The loaded font's metrics on the device, found once per font.
    const QFontMetricsF& FontMetrics() const;

public:
    // A font loaded for a cell height, and the widths of the texts measured in it.
    struct TSizedFont {
        QFont Font;
        double TextScale = 1;
        std::unordered_map<std::string, int> Widths;
    };

private:
    void SizeFont(QFont font, int cellHeight, TSizedFont& sized) const;
    void ApplyPen() const;
    void ApplyBrush() const;
    void StrokePolyline(const std::vector<QPointF>& points) const;
    // Where a one-pixel line may go straight into the pixels of the image being painted,
    // as the engine would blend it: nothing for any other pen, device or painter state.
    std::optional<TPixelArea> DirectLineArea() const;
    // The polyline in the area's pixels, when every point lies on the image.
    static bool DrawDirect(const std::optional<TPixelArea>& area, const QPointF* points,
                           size_t count, QRgb color);
    void FillPath(const QPainterPath& path) const;
    void DrawShape(const QPainterPath& path, bool fill) const;

    QPainter* FPainter = nullptr;
    QColor FPenColor = Qt::black;
    TPenStyle FPenStyle = psSolid;
    int FPenWidth = 1;
    TColor FBrushColor = 0xFFFFFF;
    TBrushStyle FBrushStyle = bsSolid;
    QFont FFont;
    // Factor from the loaded font's cell to the requested one (close to 1).
    double FTextScale = 1;
    QColor FFontColor = Qt::black;
    QPoint FPenPos;
    std::shared_ptr<TSizedFont> FSizedFont;
    mutable std::optional<QFontMetricsF> FFontMetrics;
    std::optional<TRect> FClip;
};

}  // namespace ostrel

#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "model/PrimitiveObjects.h"

namespace ostrel {

// Colours are laid out 0x00BBGGRR: red in the low byte (blue is 0xFF0000, red 0x0000FF).
using TColor = std::uint32_t;

constexpr std::uint8_t ColorRed(TColor color) {
    return color & 0xFF;
}
constexpr std::uint8_t ColorGreen(TColor color) {
    return (color >> 8) & 0xFF;
}
constexpr std::uint8_t ColorBlue(TColor color) {
    return (color >> 16) & 0xFF;
}
constexpr TColor RgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<TColor>(red) | (static_cast<TColor>(green) << 8) |
           (static_cast<TColor>(blue) << 16);
}

// The named colours the drawing code uses.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;

enum TPenStyle : std::uint8_t {
    psSolid = 0,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame
};

enum TBrushStyle : std::uint8_t {
    bsSolid = 0,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

// A set of font styles: bold = bit 0, italic = bit 1, underline = bit 2, strike-out = bit 3.
using TFontStyles = std::uint8_t;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;

// Horizontal alignment of text: 0 = X is the left edge, 1 = centre, 2 = right edge.
// Vertical alignment: 0 = Y is the top, 1 = centre, 2 = bottom.
enum TTextAlign : std::uint8_t { taNear = 0, taCenter = 1, taFar = 2 };

// An image a drawer can draw scaled into a rectangle; back-ends know the concrete kind.
class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

// The one seam between everything that draws (graphs, legends, pages) and the device.
// Drawing code speaks in world coordinates (Y grows downward); a back-end turns them into
// device units: device = round(world / 100 * Scale - Offset), ties to even.
//
// Derived classes that override the array form of Polyline, Polygon or PolyBezier should
// add `using TDrawer::Polyline;` (etc.) so the list and brace-list forms stay visible.
class TDrawer {
public:
    TDrawer() = default;
    TDrawer(const TDrawer&) = delete;
    TDrawer& operator=(const TDrawer&) = delete;
    virtual ~TDrawer() = default;

    virtual int DeviceX(double x) const;
    virtual int DeviceY(double y) const;
    virtual TRect DeviceRect(const TRealRect& rect) const;
    // Lengths between world and device units; 0 stays 0 even on an unattached drawer.
    virtual double WorldWidth(double deviceLength) const;
    virtual double WorldHeight(double deviceLength) const;
    virtual int DeviceWidth(double worldLength) const;
    virtual int DeviceHeight(double worldLength) const;

    // Size is the character cell height in world units; FontSize becomes Size.
    virtual void SetFont(const std::string& name, TColor color, TFontStyles style, double size) = 0;
    // The pen is DeviceHeight(width) device units wide.
    virtual void SetPen(TColor color, TPenStyle style, double width) = 0;
    virtual void SetBrush(TColor color, TBrushStyle style) = 0;
    virtual double TextHeight(const std::string& text) = 0;
    virtual double TextWidth(const std::string& text) = 0;
    // Draws text with its top-left corner at (x, y); returns y + FontSize.
    virtual double TextOut(const std::string& text, double x, double y) = 0;
    virtual double AlignedTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                                  TTextAlign vAlign) = 0;
    // Text rotated 90 degrees counter-clockwise (reading upward).
    virtual void VerticalTextOut(const std::string& text, TTextAlign hAlign, double x, double y,
                                 TTextAlign vAlign) = 0;
    virtual void MoveTo(double x, double y) = 0;
    virtual void LineTo(double x, double y) = 0;
    // Fills a bar whose vertical centre is y, brush state restored afterwards.
    virtual void FillBar(TColor color, double x, double y, double width, double height) = 0;
    virtual void Rectangle(const TRealRect& rect) = 0;
    virtual void FillRect(const TRealRect& rect) = 0;
    virtual void Ellipse(const TRealRect& rect) = 0;
    virtual void DrawBitmap(const TRealRect& rect, const TGraphic& graphic) = 0;
    virtual void StretchDraw(const TRealRect& rect, const TGraphic& graphic) = 0;
    virtual void Polyline(const TRealPointArray& points) = 0;
    virtual void Polygon(const TRealPointArray& points) = 0;
    virtual void PolyBezier(const TRealPointArray& points) = 0;

    // Fills polygons of `corners` points each, laid one after another in `points`, with the
    // brush and the pen as set. Back-ends may fill them without antialiasing and without the
    // outline, so that a mesh of neighbouring faces shows no seams and draws fast; by
    // default each one is drawn with Polygon.
    virtual void FillPolygons(const TRealPointArray& points, int corners);

    void Polyline(const TRealPointList& points) { Polyline(points.ToArray()); }
    void Polyline(std::initializer_list<TRealPoint> points) { Polyline(TRealPointArray(points)); }
    void Polygon(std::initializer_list<TRealPoint> points) { Polygon(TRealPointArray(points)); }
    void PolyBezier(std::initializer_list<TRealPoint> points) {
        PolyBezier(TRealPointArray(points));
    }

    // One clip rectangle at a time, used in pairs around a drawing step.
    virtual void SetClipRect(const TRealRect& rect);
    virtual void ResetClip();

    void Circle(double x, double y, double radius);
    void Line(double x1, double y1, double x2, double y2);

    // The device rectangle of the active clip, if any.
    std::optional<TRect> ClipRegion;
    double OffsetX = 0;
    double OffsetY = 0;
    double ScaleY = 0;  // device units per 100 world units along Y
    double ScaleX = 0;  // device units per 100 world units along X
    double FontSize = 0;

protected:
    // The back-end applies or removes the device clip rectangle.
    virtual void ApplyClip(const TRect* deviceRect) = 0;
};

// A drawer for a paged document (the printer). TDrawer is a virtual base so that a back-end
// can be a device drawer and, through another branch, the screen drawer it draws like.
class TDeviceDrawer : public virtual TDrawer {
public:
    virtual void SetOrientation(std::uint8_t orientation) { Orientation = orientation; }
    virtual void SetTitle(const std::string& title) { Title = title; }
    virtual void BeginDoc() = 0;
    virtual void EndDoc() = 0;
    virtual void NewPage() = 0;

    std::string Title;
    std::uint8_t Orientation = 0;  // 0 portrait, 1 landscape
};

// std::nearbyint in the default rounding mode (to nearest, ties to even), without the
// library call, which saves and restores the floating-point environment every time and was
// a good part of placing a curve's points: adding and taking away 2^52 leaves no fraction
// bits, and the addition rounds as nearbyint does.
inline double RoundHalfEven(double value) {
    constexpr double kNoFractionBits = 4503599627370496.0;  // 2^52
    const double magnitude = std::fabs(value);
    // Whole already, infinite or NaN.
    if (!(magnitude < kNoFractionBits)) return value;
    return std::copysign((magnitude + kNoFractionBits) - kNoFractionBits, value);
}

// Rounds a device coordinate to nearest, ties to even; values beyond the device range are
// clamped so that no conversion overflows.
inline int RoundToDevice(double value) {
    // Far beyond any device; keeps the conversion to int defined for huge or NaN input.
    constexpr double kLimit = 1 << 30;
    const double rounded = RoundHalfEven(value);
    if (std::isnan(rounded)) return 0;
    if (rounded < -kLimit) return -static_cast<int>(kLimit);
    if (rounded > kLimit) return static_cast<int>(kLimit);
    return static_cast<int>(rounded);
}

}  // namespace ostrel

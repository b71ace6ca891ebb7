#include "qtdraw/CanvasPainter.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "draw/LineClipping.h"

namespace ostrel {

namespace {

QRect NormalizedRect(const TRect& rect) {
    const int left = std::min(rect.Left, rect.Right);
    const int top = std::min(rect.Top, rect.Bottom);
    // Device coordinates span up to 2^31, one more than an int holds; such a rectangle
    // loses its last pixel, far outside any device.
    constexpr std::int64_t kMaxSpan = std::numeric_limits<int>::max();
    const auto span = [&](int a, int b) {
        return static_cast<int>(
            std::min<std::int64_t>(std::int64_t{std::max(a, b)} - std::min(a, b), kMaxSpan));
    };
    return QRect(left, top, span(rect.Left, rect.Right), span(rect.Top, rect.Bottom));
}

// The clip rectangle as continuous geometry: pixels L..R-1 span [L, R].
TRealRect ClipGeometry(const TRect& clip) {
    const QRect r = NormalizedRect(clip);
    return TRealRect{static_cast<double>(r.left()), static_cast<double>(r.top()),
                     static_cast<double>(r.left() + r.width()),
                     static_cast<double>(r.top() + r.height())};
}

QPainterPath RectPath(const TRealRect& rect) {
    QPainterPath path;
    path.addRect(QRectF(QPointF(rect.Left, rect.Top), QPointF(rect.Right, rect.Bottom)));
    return path;
}

Qt::BrushStyle ToQtBrushStyle(TBrushStyle style) {
    switch (style) {
        case bsSolid:
            return Qt::SolidPattern;
        case bsClear:
            return Qt::NoBrush;
        case bsHorizontal:
            return Qt::HorPattern;
        case bsVertical:
            return Qt::VerPattern;
        case bsFDiagonal:
            return Qt::FDiagPattern;
        case bsBDiagonal:
            return Qt::BDiagPattern;
        case bsCross:
            return Qt::CrossPattern;
        case bsDiagCross:
            return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

}  // namespace

QColor ToQColor(TColor color) {
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

void TCanvasPainter::SetPainter(QPainter* painter) {
    FPainter = painter;
    // Metrics depend on the device's resolution.
    FFontMetrics.reset();
    FSizedFont.reset();
    if (FPainter == nullptr) return;
    FPainter->setRenderHint(QPainter::Antialiasing, true);
    FPainter->setRenderHint(QPainter::TextAntialiasing, true);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void TCanvasPainter::SetPen(TColor color, TPenStyle style, int width) {
    FPenColor = ToQColor(color);
    FPenStyle = style;
    // A zero width is the thinnest line the device has, one pixel.
    FPenWidth = std::clamp(width, 1, kMaxDeviceSize);
}

void TCanvasPainter::SetBrush(TColor color, TBrushStyle style) {
    FBrushColor = color;
    FBrushStyle = style;
}

void TCanvasPainter::TextOut(int x, int y, const std::string& text, bool rotated) {
    if (FPainter == nullptr) return;
    const QString qtext = ToQString(text);
    const QFontMetricsF& metrics = FontMetrics();
    FPainter->save();
    FPainter->translate(x, y);
    // Qt turns clockwise for positive angles on a Y-down device.
    if (rotated) FPainter->rotate(-90);
    if (FBrushStyle != bsClear) {
        FPainter->fillRect(QRect(0, 0, TextWidth(text), TextHeight(text)),
                           QBrush(ToQColor(FBrushColor), ToQtBrushStyle(FBrushStyle)));
    }
    FPainter->scale(FTextScale, FTextScale);
    FPainter->setFont(FFont);
    FPainter->setPen(FFontColor);
    FPainter->drawText(QPointF(0, metrics.ascent()), qtext);
    FPainter->restore();
}

double TCanvasPainter::StrokeOffset() const {
    return FPenWidth % 2 == 1 ? 0.5 : 0.0;
}

void TCanvasPainter::ApplyPen() const {
    if (FPenStyle == psClear) {
        FPainter->setPen(Qt::NoPen);
        return;
    }
    QPen pen(FPenColor);
    pen.setWidth(FPenWidth);
    pen.setCosmetic(false);
    const bool thin = FPenWidth <= 1;
    pen.setCapStyle(thin ? Qt::SquareCap : Qt::RoundCap);
    pen.setJoinStyle(thin ? Qt::MiterJoin : Qt::RoundJoin);
    // Dash patterns of a classic raster canvas, in pen widths (pixels for a 1-pixel pen).
    QList<qreal> dashes;
    switch (FPenStyle) {
        case psDash:
            dashes = {18, 6};
            break;
        case psDot:
            dashes = {3, 3};
            break;
        case psDashDot:
            dashes = {9, 6, 3, 6};
            break;
        case psDashDotDot:
            dashes = {9, 3, 3, 3, 3, 3};
            break;
        default:
            break;
    }
    if (!dashes.isEmpty()) {
        // Square caps would lengthen every dash by a pixel and close the small gaps.
        pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern(dashes);
    }
    FPainter->setPen(pen);
}

void TCanvasPainter::ApplyBrush() const {
    if (FBrushStyle == bsClear) {
        FPainter->setBrush(Qt::NoBrush);
        return;
    }
    FPainter->setBrush(QBrush(ToQColor(FBrushColor), ToQtBrushStyle(FBrushStyle)));
}

std::optional<TPixelArea> TCanvasPainter::DirectLineArea() const {
    if (FPenStyle != psSolid || FPenWidth != 1 || FPenColor.alpha() != 255) return std::nullopt;
    if (!FPainter->testRenderHint(QPainter::Antialiasing) || FPainter->opacity() != 1.0 ||
        FPainter->compositionMode() != QPainter::CompositionMode_SourceOver ||
        !FPainter->deviceTransform().isIdentity()) {
        return std::nullopt;
    }
    QPaintEngine* engine = FPainter->paintEngine();
    if (engine == nullptr || engine->type() != QPaintEngine::Raster ||
        !engine->systemClip().isEmpty()) {
        return std::nullopt;
    }
    QPaintDevice* device = FPainter->device();
    if (device == nullptr || device->devType() != QInternal::Image) return std::nullopt;
    const auto* image = static_cast<const QImage*>(device);
    if (image->format() != QImage::Format_RGB32 &&
        image->format() != QImage::Format_ARGB32_Premultiplied) {
        return std::nullopt;
    }
    QRect allowed = image->rect();
    if (FClip) {
        allowed &= NormalizedRect(*FClip);
    } else if (FPainter->hasClipping()) {
        return std::nullopt;
    }
    TPixelArea area;
    // The buffer the painter draws into (bits() could detach a shared image).
    area.Pixels = reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(image->constBits()));
    area.Stride = image->bytesPerLine() / 4;
    area.Left = allowed.left();
    area.Top = allowed.top();
    area.Right = allowed.left() + allowed.width();
    area.Bottom = allowed.top() + allowed.height();
    return area;
}

bool TCanvasPainter::DrawDirect(const std::optional<TPixelArea>& area, const QPointF* points,
                                size_t count, QRgb color) {
    if (!area) return false;
    TRealPointArray device(count);
    for (size_t i = 0; i < count; ++i) device[i] = TRealPoint{points[i].x(), points[i].y()};
    // Lines off the image go through Qt, which clips them.
    return DrawWuPolyline(*area, device.data(), device.size(), color);
}

void TCanvasPainter::StrokePolyline(const std::vector<QPointF>& points) const {
    if (FPenStyle == psClear || points.size() < 2) return;
    const std::optional<TPixelArea> direct = DirectLineArea();
    ApplyPen();
    FPainter->setBrush(Qt::NoBrush);
    if (!FClip) {
        if (DrawDirect(direct, points.data(), points.size(), FPenColor.rgba())) return;
        FPainter->drawPolyline(points.data(), static_cast<int>(points.size()));
        return;
    }
    TRealPointArray world;
    world.reserve(points.size());
    for (const QPointF& p : points) world.push_back(TRealPoint{p.x(), p.y()});
    // The centre line is clipped half a pen width inside the rectangle, so that the line's
    // width and caps stay inside too on devices without a clip of their own.
    TRealRect area = ClipGeometry(*FClip);
    const double inset =
        std::min({FPenWidth / 2.0, (area.Right - area.Left) / 2, (area.Bottom - area.Top) / 2});
    area = TRealRect{area.Left + inset, area.Top + inset, area.Right - inset, area.Bottom - inset};
    for (const TRealPointArray& run : ClipPolyline(world, area)) {
        std::vector<QPointF> polygon;
        polygon.reserve(run.size());
        for (const TRealPoint& p : run) polygon.push_back(QPointF(p.X, p.Y));
        if (DrawDirect(direct, polygon.data(), polygon.size(), FPenColor.rgba())) continue;
        FPainter->drawPolyline(polygon.data(), static_cast<int>(polygon.size()));
    }
}

void TCanvasPainter::FillPath(const QPainterPath& path) const {
    if (FBrushStyle == bsClear) return;
    FPainter->setPen(Qt::NoPen);
    ApplyBrush();
    if (FClip) {
        FPainter->drawPath(path.intersected(RectPath(ClipGeometry(*FClip))));
    } else {
        FPainter->drawPath(path);
    }
}

void TCanvasPainter::DrawShape(const QPainterPath& path, bool fill) const {
    if (!FClip) {
        ApplyPen();
        if (fill) {
            ApplyBrush();
        } else {
            FPainter->setBrush(Qt::NoBrush);
        }
        FPainter->drawPath(path);
        return;
    }
    // Clipped: the interior is cut with the clip rectangle, the outline is clipped as
    // polylines, so that nothing outside reaches a device without clip support.
    if (fill) FillPath(path);
    for (QPolygonF outline : path.toSubpathPolygons()) {
        if (outline.size() < 2) continue;
        if (fill && outline.first() != outline.last()) outline.append(outline.first());
        StrokePolyline(std::vector<QPointF>(outline.begin(), outline.end()));
    }
}

void TCanvasPainter::MoveTo(int x, int y) {
    FPenPos = QPoint(x, y);
}

void TCanvasPainter::LineTo(int x, int y) {
    const QPoint end(x, y);
    if (FPainter != nullptr) {
        const double o = StrokeOffset();
        StrokePolyline({QPointF(FPenPos) + QPointF(o, o), QPointF(end) + QPointF(o, o)});
    }
    FPenPos = end;
}

void TCanvasPainter::Polyline(const std::vector<QPoint>& points) {
    if (FPainter == nullptr) return;
    const double o = StrokeOffset();
    std::vector<QPointF> shifted;
    shifted.reserve(points.size());
    for (const QPoint& p : points) shifted.push_back(QPointF(p) + QPointF(o, o));
    StrokePolyline(shifted);
}

void TCanvasPainter::Polygon(const std::vector<QPoint>& points) {
    if (FPainter == nullptr || points.size() < 2) return;
    const double o = FPenStyle == psClear ? 0.0 : StrokeOffset();
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const QPoint& p : points) polygon.append(QPointF(p) + QPointF(o, o));
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addPolygon(polygon);
    path.closeSubpath();
    DrawShape(path, true);
}

void TCanvasPainter::FillPolygons(const std::vector<QPoint>& points, int corners) {
    if (FPainter == nullptr || corners < 3 || FBrushStyle == bsClear) return;
    const auto size = static_cast<size_t>(corners);
    if (FClip) {
        std::vector<QPoint> polygon(size);
        for (size_t first = 0; first + size <= points.size(); first += size) {
            std::copy(points.begin() + static_cast<std::ptrdiff_t>(first),
                      points.begin() + static_cast<std::ptrdiff_t>(first + size), polygon.begin());
            Polygon(polygon);
        }
        return;
    }
    const bool antialiased = FPainter->testRenderHint(QPainter::Antialiasing);
    const QPaintEngine* engine = FPainter->paintEngine();
    const bool raster = engine != nullptr && engine->type() == QPaintEngine::Raster;
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    if (raster) {
        FPainter->setPen(Qt::NoPen);
    } else {
        FPainter->setPen(QPen(ToQColor(FBrushColor), 0));
    }
    ApplyBrush();
    for (size_t first = 0; first + size <= points.size(); first += size) {
        FPainter->drawPolygon(points.data() + first, corners);
    }
    FPainter->setRenderHint(QPainter::Antialiasing, antialiased);
}

void TCanvasPainter::PolyBezier(const std::vector<QPoint>& points) {
    if (FPainter == nullptr || points.size() < 4) return;
    const QPointF o(StrokeOffset(), StrokeOffset());
    QPainterPath path{QPointF(points[0]) + o};
    for (size_t i = 1; i + 2 < points.size(); i += 3) {
        path.cubicTo(QPointF(points[i]) + o, QPointF(points[i + 1]) + o,
                     QPointF(points[i + 2]) + o);
    }
    DrawShape(path, false);
}

void TCanvasPainter::Rectangle(const TRect& rect) {
    if (FPainter == nullptr) return;
    const QRect box = NormalizedRect(rect);
    QPainterPath path;
    if (FPenStyle == psClear) {
        path.addRect(QRectF(box));
    } else {
        // The outline runs through the centres of the outermost pixels.
        const double o = StrokeOffset();
        path.addRect(QRectF(box.left() + o, box.top() + o, std::max(0, box.width() - 1),
                            std::max(0, box.height() - 1)));
    }
    DrawShape(path, true);
}

void TCanvasPainter::FillRect(const TRect& rect) {
    if (FPainter == nullptr || FBrushStyle == bsClear) return;
    QRect box = NormalizedRect(rect);
    if (FClip) box = box.intersected(NormalizedRect(*FClip));
    if (box.isEmpty()) return;
    FPainter->fillRect(box, QBrush(ToQColor(FBrushColor), ToQtBrushStyle(FBrushStyle)));
}

void TCanvasPainter::Ellipse(const TRect& rect) {
    if (FPainter == nullptr) return;
    const QRect box = NormalizedRect(rect);
    QPainterPath path;
    if (FPenStyle == psClear) {
        path.addEllipse(QRectF(box));
    } else {
        const double o = StrokeOffset();
        path.addEllipse(QRectF(box.left() + o, box.top() + o, std::max(0, box.width() - 1),
                               std::max(0, box.height() - 1)));
    }
    DrawShape(path, true);
}

void TCanvasPainter::StretchDraw(const TRect& rect, const QImage& image) {
    if (FPainter == nullptr || image.isNull()) return;
    const QRect target = NormalizedRect(rect);
    if (target.isEmpty()) return;
    if (!FClip) {
        FPainter->drawImage(target, image);
        return;
    }
    const QRect visible = target.intersected(NormalizedRect(*FClip));
    if (visible.isEmpty()) return;
    // The part of the image that lands in the visible part of the target.
    const double sx = static_cast<double>(image.width()) / target.width();
    const double sy = static_cast<double>(image.height()) / target.height();
    const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                        visible.width() * sx, visible.height() * sy);
    FPainter->drawImage(QRectF(visible), image, source);
}

void TCanvasPainter::SetClipRect(const std::optional<TRect>& rect) {
    FClip = rect;
    if (FPainter == nullptr) return;
    if (FClip) {
        FPainter->setClipRect(NormalizedRect(*FClip), Qt::ReplaceClip);
    } else {
        FPainter->setClipping(false);
    }
}

}  // namespace ostrel

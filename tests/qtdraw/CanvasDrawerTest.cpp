#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "graphs/DensityImage.h"
#include "qtdraw/CanvasDrawer.h"
#include "uisupport/UiImageFiles.h"

namespace ostrel {
namespace {

QImage WhiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool IsWhite(QRgb pixel) {
    return (pixel & 0xFFFFFF) == 0xFFFFFF;
}

bool IsDark(QRgb pixel) {
    return qRed(pixel) < 64 && qGreen(pixel) < 64 && qBlue(pixel) < 64;
}

// Bounding box of every pixel that is not white, optionally only inside `within`.
QRect InkBox(const QImage& image, QRect within = QRect()) {
    if (within.isNull()) within = image.rect();
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (!IsWhite(image.pixel(x, y))) box = box.united(QRect(x, y, 1, 1));
        }
    }
    return box;
}

int InkCount(const QImage& image, const QRect& within) {
    int count = 0;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (!IsWhite(image.pixel(x, y))) ++count;
        }
    }
    return count;
}

QRgb Rgb(TColor color) {
    return ToQColor(color).rgb();
}

// A drawer painting on an image at scale 1 for the length of one test.
struct TImageCanvas {
    explicit TImageCanvas(int width = 200, int height = 200) : Image(WhiteImage(width, height)) {
        Painter.begin(&Image);
        Drawer.SetCanvas(&Painter, 1, 1);
    }
    QImage& Finish() {
        Painter.end();
        return Image;
    }
    QImage Image;
    QPainter Painter;
    TCanvasDrawer Drawer;
};

TEST(CanvasDrawer, ScaleOneMakesWorldUnitsPixelsRoundedToEven) {
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    EXPECT_DOUBLE_EQ(drawer.ScaleX, 100);
    EXPECT_DOUBLE_EQ(drawer.ScaleY, 100);
    EXPECT_EQ(drawer.GetCanvas(), &canvas.Painter);
    EXPECT_EQ(drawer.DeviceX(12.4), 12);
    EXPECT_EQ(drawer.DeviceWidth(3.5), 4);
    EXPECT_EQ(drawer.DeviceX(10.5), 10);
    EXPECT_EQ(drawer.DeviceY(11.5), 12);

    TCanvasDrawer scaled;
    scaled.SetCanvas(&canvas.Painter, 2, 0.5);
    EXPECT_DOUBLE_EQ(scaled.ScaleX, 200);
    EXPECT_DOUBLE_EQ(scaled.ScaleY, 50);
    EXPECT_EQ(scaled.DeviceX(10), 20);
    EXPECT_EQ(scaled.DeviceY(10), 5);
    canvas.Finish();
}

TEST(CanvasDrawer, FontSizeIsTheCellHeightAndTextOutAdvancesBySize) {
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    for (int size : {7, 8, 9, 11, 12, 13, 16, 24, 40}) {
        for (const char* face : {"Arial", "Tahoma"}) {
            drawer.SetFont(face, clBlack, 0, size);
            EXPECT_DOUBLE_EQ(drawer.TextHeight("Hg"), size) << face << " " << size;
            // The loaded font is the nearest whole pixel size; the rest is a small scale.
            EXPECT_NEAR(drawer.Canvas().TextScale(), 1.0, 0.5 / size + 0.02) << face << size;
        }
    }
    EXPECT_EQ(drawer.Canvas().Font().hintingPreference(), QFont::PreferNoHinting);

    drawer.SetFont("Arial", clBlack, 0, 9);
    EXPECT_DOUBLE_EQ(drawer.FontSize, 9);
    EXPECT_DOUBLE_EQ(drawer.TextOut("Level", 10, 100), 109);
    drawer.SetFont("Arial", clBlack, 0, 12);
    EXPECT_DOUBLE_EQ(drawer.TextOut("Level", 10, 100), 112);
    EXPECT_DOUBLE_EQ(drawer.AlignedTextOut("Level", taCenter, 50, 100, taCenter), 106);

    EXPECT_EQ(drawer.TextWidth(""), 0);
    // Sizes no device can show are bounded instead of handed to the font engine.
    drawer.SetFont("Arial", clBlack, 0, 1e12);
    EXPECT_LE(drawer.Canvas().TextHeight("Hg"), 10000);
    drawer.SetFont("Arial", clBlack, 0, -5);
    EXPECT_EQ(drawer.Canvas().TextHeight("Hg"), 1);
    drawer.SetFont("Arial", clBlack, 0, 12);
    const double regular = drawer.TextWidth("Horizontal");
    EXPECT_GT(regular, 40);
    EXPECT_LT(regular, 80);
    drawer.SetFont("Arial", clBlack, fsBold, 12);
    EXPECT_GT(drawer.TextWidth("Horizontal"), regular);
    EXPECT_TRUE(drawer.Canvas().Font().bold());
    EXPECT_EQ(drawer.Canvas().Font().hintingPreference(), QFont::PreferNoHinting);

    // At scale 2 the same world size is twice as many pixels, the same world height.
    TCanvasDrawer scaled;
    scaled.SetCanvas(&canvas.Painter, 2, 2);
    scaled.SetFont("Arial", clBlack, 0, 9);
    EXPECT_EQ(scaled.Canvas().TextHeight("Hg"), 18);
    EXPECT_DOUBLE_EQ(scaled.TextHeight("Hg"), 9);
    canvas.Finish();
}

TEST(CanvasDrawer, TextIsDrawnFromTheTopLeftOnTheBrushUnlessClear) {
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    drawer.SetFont("Arial", clBlue, 0, 20);
    const int width = static_cast<int>(drawer.TextWidth("Gain"));

    drawer.SetBrush(clYellow, bsSolid);
    drawer.TextOut("Gain", 20, 30);
    drawer.SetBrush(clYellow, bsClear);
    drawer.TextOut("Gain", 20, 100);
    const QImage& image = canvas.Finish();

    // Opaque: the whole cell is background or ink, and nothing outside the cell.
    EXPECT_EQ(InkBox(image, QRect(0, 0, 200, 90)), QRect(20, 30, width, 20));
    EXPECT_EQ(image.pixel(20, 30), Rgb(clYellow));
    EXPECT_EQ(image.pixel(20 + width - 1, 49), Rgb(clYellow));
    // Transparent: ink inside the cell only, and the corners stay white.
    const QRect ink = InkBox(image, QRect(0, 90, 200, 110));
    EXPECT_TRUE(QRect(20, 100, width, 20).contains(ink)) << ink.x() << "," << ink.y();
    EXPECT_GT(ink.height(), 10);
    EXPECT_TRUE(IsWhite(image.pixel(20, 100)));
    bool blueInk = false;
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x) {
            if (image.pixel(x, y) == Rgb(clBlue)) blueInk = true;
        }
    }
    EXPECT_TRUE(blueInk);
}

TEST(CanvasDrawer, OnePixelLinesAreCrispAndPenWidthFollowsTheYScale) {
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    drawer.SetPen(clRed, psSolid, 1);
    drawer.Line(10, 20, 60, 20);
    drawer.Line(100, 10, 100, 60);
    drawer.SetPen(clRed, psSolid, 3);
    drawer.Line(10, 100, 60, 100);
    drawer.SetPen(clRed, psClear, 1);
    drawer.Line(10, 150, 60, 150);
    const QImage& image = canvas.Finish();

    for (int x = 11; x < 59; ++x) {
        ASSERT_EQ(image.pixel(x, 20), Rgb(clRed)) << x;
        ASSERT_TRUE(IsWhite(image.pixel(x, 19))) << x;
        ASSERT_TRUE(IsWhite(image.pixel(x, 21))) << x;
    }
    EXPECT_EQ(image.pixel(100, 30), Rgb(clRed));
    EXPECT_TRUE(IsWhite(image.pixel(99, 30)));
    EXPECT_TRUE(IsWhite(image.pixel(101, 30)));
    EXPECT_EQ(InkBox(image, QRect(0, 90, 90, 20)).height(), 3);
    EXPECT_EQ(image.pixel(30, 99), Rgb(clRed));
    EXPECT_EQ(image.pixel(30, 101), Rgb(clRed));
    EXPECT_TRUE(InkBox(image, QRect(0, 140, 90, 20)).isNull());
}

TEST(CanvasDrawer, FillBarFillsAroundItsCentreAndRestoresTheBrush) {
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    drawer.SetBrush(clLime, bsClear);
    drawer.FillBar(clRed, 10, 50, 20, 10);
    EXPECT_EQ(drawer.Canvas().BrushColor(), clLime);
    EXPECT_EQ(drawer.Canvas().BrushStyle(), bsClear);
    // The brush is still clear: a rectangle afterwards leaves its interior alone.
    drawer.SetPen(clBlack, psSolid, 1);
    drawer.Rectangle(TRealRect{100, 100, 150, 150});
    drawer.SetBrush(clBlue, bsCross);
    drawer.FillBar(clYellow, 10, 150, 20, 9);
    EXPECT_EQ(drawer.Canvas().BrushColor(), clBlue);
    EXPECT_EQ(drawer.Canvas().BrushStyle(), bsCross);
    const QImage& image = canvas.Finish();

    EXPECT_EQ(InkBox(image, QRect(0, 0, 90, 90)), QRect(10, 45, 20, 10));
    EXPECT_EQ(image.pixel(10, 45), Rgb(clRed));
    EXPECT_EQ(image.pixel(29, 54), Rgb(clRed));
    EXPECT_TRUE(IsWhite(image.pixel(125, 125)));
    EXPECT_EQ(image.pixel(100, 125), Rgb(clBlack));
    EXPECT_EQ(image.pixel(149, 125), Rgb(clBlack));
    EXPECT_TRUE(IsWhite(image.pixel(150, 125)));
    // Height 9: the top is 150 - 4, the bar 9 rows high.
    EXPECT_EQ(InkBox(image, QRect(0, 120, 90, 60)), QRect(10, 146, 20, 9));
}

TEST(CanvasDrawer, DrawBitmapScalesATwoByTwoImageOntoTheWholeRectangle) {
    QImage pixels(2, 2, QImage::Format_ARGB32);
    pixels.setPixel(0, 0, Rgb(clRed));
    pixels.setPixel(1, 0, Rgb(clLime));
    pixels.setPixel(0, 1, Rgb(clBlue));
    pixels.setPixel(1, 1, Rgb(clBlack));
    const TQtGraphic graphic(pixels);
    EXPECT_EQ(graphic.Width(), 2);
    EXPECT_EQ(graphic.Height(), 2);

    TImageCanvas canvas;
    canvas.Drawer.DrawBitmap(TRealRect{50, 40, 150, 140}, graphic);
    canvas.Drawer.StretchDraw(TRealRect{160, 160, 170, 170}, graphic);
    const QImage& image = canvas.Finish();

    EXPECT_EQ(InkBox(image, QRect(0, 0, 155, 155)), QRect(50, 40, 100, 100));
    EXPECT_EQ(InkCount(image, QRect(50, 40, 100, 100)), 100 * 100);
    EXPECT_EQ(image.pixel(50, 40), Rgb(clRed));
    EXPECT_EQ(image.pixel(99, 89), Rgb(clRed));
    EXPECT_EQ(image.pixel(100, 40), Rgb(clLime));
    EXPECT_EQ(image.pixel(50, 90), Rgb(clBlue));
    EXPECT_EQ(image.pixel(149, 139), Rgb(clBlack));
    EXPECT_EQ(InkBox(image, QRect(155, 155, 45, 45)), QRect(160, 160, 10, 10));
}

TEST(CanvasDrawer, ShapesUseThePenOutlineAndBrushInterior) {
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    drawer.SetPen(clBlack, psSolid, 1);
    drawer.SetBrush(clBlue, bsSolid);
    drawer.Ellipse(TRealRect{10, 10, 60, 40});
    drawer.SetBrush(clLime, bsSolid);
    drawer.Polygon({{100, 10}, {150, 10}, {125, 50}});
    drawer.SetBrush(clRed, bsSolid);
    drawer.FillRect(TRealRect{10, 100, 30, 120});
    drawer.SetPen(clBlue, psSolid, 2);
    // Five points: one whole segment, the last point does not make another.
    drawer.PolyBezier({{100, 100}, {120, 60}, {140, 140}, {160, 100}, {190, 190}});
    drawer.PolyBezier({{0, 0}, {10, 10}});
    const QImage& image = canvas.Finish();

    EXPECT_EQ(image.pixel(35, 25), Rgb(clBlue));
    // The outline's leftmost pixel is on the curve, so antialiasing may lighten it a bit.
    EXPECT_TRUE(IsDark(image.pixel(10, 25)));
    EXPECT_TRUE(IsWhite(image.pixel(11, 11)));
    EXPECT_EQ(InkBox(image, QRect(0, 0, 90, 90)), QRect(10, 10, 50, 30));
    EXPECT_EQ(image.pixel(125, 25), Rgb(clLime));
    EXPECT_EQ(image.pixel(125, 10), Rgb(clBlack));
    EXPECT_EQ(InkBox(image, QRect(0, 95, 90, 40)), QRect(10, 100, 20, 20));
    const QRect curve = InkBox(image, QRect(95, 55, 105, 145));
    EXPECT_GE(curve.left(), 98);
    EXPECT_LE(curve.right(), 162);
    EXPECT_LT(curve.bottom(), 130);
}

TEST(CanvasDrawer, FilledPolygonMeshesMeetWithoutSeams) {
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    drawer.SetPen(clBlack, psClear, 1);
    drawer.SetBrush(clBlue, bsSolid);
    // Two slanted faces that share an edge, and two points that make no whole face.
    drawer.FillPolygons({{10, 10},
                         {60, 13},
                         {57, 60},
                         {12, 55},
                         {60, 13},
                         {110, 20},
                         {100, 58},
                         {57, 60},
                         {0, 0},
                         {5, 5}},
                        4);
    EXPECT_TRUE(canvas.Painter.testRenderHint(QPainter::Antialiasing)) << "back on afterwards";
    const QImage& image = canvas.Finish();
    // Along the shared edge every pixel is the fill itself, not a blend with the white behind.
    for (int y = 16; y <= 56; ++y) {
        const int x = static_cast<int>(std::lround(60 - 3.0 * (y - 13) / 47));
        EXPECT_EQ(image.pixel(x, y), Rgb(clBlue)) << y;
    }
    EXPECT_TRUE(IsWhite(image.pixel(2, 2)));
}

TEST(CanvasDrawer, ClipRectangleHoldsOnAnImage) {
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    drawer.SetClipRect(TRealRect{40, 40, 120, 100});
    drawer.SetPen(clRed, psSolid, 3);
    drawer.SetBrush(clBlue, bsSolid);
    drawer.Polyline({{0, 0}, {199, 199}, {199, 0}, {0, 199}, {70, 10}});
    drawer.Ellipse(TRealRect{20, 20, 180, 180});
    drawer.FillRect(TRealRect{0, 90, 200, 110});
    drawer.SetFont("Arial", clBlack, 0, 30);
    drawer.TextOut("Clipped", 100, 80);
    EXPECT_EQ(drawer.ClipRegion, (TRect{40, 40, 120, 100}));
    drawer.ResetClip();
    EXPECT_FALSE(drawer.ClipRegion.has_value());
    drawer.SetPen(clLime, psSolid, 1);
    drawer.Line(0, 150, 199, 150);
    const QImage& image = canvas.Finish();

    EXPECT_EQ(InkBox(image, QRect(0, 0, 200, 140)), QRect(40, 40, 80, 60));
    EXPECT_EQ(image.pixel(5, 150), Rgb(clLime));
}

TEST(CanvasDrawer, ShapesReachingFarBeyondBothSidesStillCoverTheImage) {
    // Both edges land on the far ends of the device range; the span between them is wider
    // than an int holds.
    TImageCanvas canvas;
    TCanvasDrawer& drawer = canvas.Drawer;
    drawer.SetBrush(clRed, bsSolid);
    drawer.FillRect(TRealRect{-1e12, 10, 1e12, 30});
    drawer.SetPen(clBlue, psSolid, 1);
    drawer.SetBrush(clLime, bsSolid);
    drawer.Rectangle(TRealRect{-1e12, 100, 1e12, 120});
    const QImage& image = canvas.Finish();

    EXPECT_EQ(image.pixel(0, 20), Rgb(clRed));
    EXPECT_EQ(image.pixel(199, 20), Rgb(clRed));
    EXPECT_EQ(image.pixel(100, 110), Rgb(clLime));
    EXPECT_EQ(image.pixel(100, 100), Rgb(clBlue));
}

// Every point of every <polyline> in an SVG document.
std::vector<QPointF> SvgPolylinePoints(const QString& svg, int* polylineCount) {
    std::vector<QPointF> points;
    *polylineCount = 0;
    qsizetype at = 0;
    while ((at = svg.indexOf(QStringLiteral("<polyline"), at)) >= 0) {
        ++*polylineCount;
        const qsizetype start = svg.indexOf(QStringLiteral("points=\""), at) + 8;
        const qsizetype end = svg.indexOf(QLatin1Char('"'), start);
        const QStringList pairs = svg.mid(start, end - start).split(' ', Qt::SkipEmptyParts);
        for (const QString& pair : pairs) {
            const QStringList xy = pair.split(',');
            if (xy.size() == 2) points.emplace_back(xy[0].toDouble(), xy[1].toDouble());
        }
        at = end;
    }
    return points;
}

TEST(CanvasDrawer, ClipRectangleHoldsInAnSvgWhichKeepsNoClipPaths) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(200, 200));
    generator.setViewBox(QRect(0, 0, 200, 200));
    {
        QPainter painter(&generator);
        TCanvasDrawer drawer;
        drawer.SetCanvas(&painter, 1, 1);
        drawer.SetPen(clRed, psSolid, 1);
        drawer.SetClipRect(TRealRect{40, 40, 120, 100});
        drawer.SetBrush(clYellow, bsSolid);
        drawer.FillRect(TRealRect{0, 0, 200, 200});
        TRealPointArray zigzag;
        for (int i = 0; i <= 20; ++i) zigzag.push_back({i * 10.0, i % 2 == 0 ? 10.0 : 190.0});
        drawer.Polyline(zigzag);
        drawer.Line(0, 70, 200, 70);
        drawer.SetPen(clBlue, psSolid, 2);
        drawer.SetBrush(clLime, bsSolid);
        drawer.Ellipse(TRealRect{20, 20, 180, 120});
        drawer.Polygon({{0, 110}, {100, 0}, {200, 110}});
        drawer.ResetClip();
        drawer.SetPen(clRed, psSolid, 1);
        drawer.Line(0, 5, 10, 5);
    }
    const QString svg = QString::fromUtf8(buffer.data());
    int polylines = 0;
    const std::vector<QPointF> points = SvgPolylinePoints(svg, &polylines);
    // Eight zigzag strokes cross the clip rectangle, plus the clipped and the free line and
    // the polygon's outline; the ellipse's outline passes outside the clip rectangle.
    EXPECT_EQ(polylines, 11);
    ASSERT_FALSE(points.empty());
    int outside = 0;
    for (const QPointF& p : points) {
        const bool inClip = p.x() >= 40 && p.x() <= 120 && p.y() >= 40 && p.y() <= 100;
        if (!inClip) ++outside;
    }
    // Only the two points of the line drawn after ResetClip lie outside.
    EXPECT_EQ(outside, 2);

    // Rendered back, the SVG shows nothing outside the clip rectangle but that line.
    QSvgRenderer renderer(buffer.data());
    ASSERT_TRUE(renderer.isValid());
    QImage image = WhiteImage(200, 200);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    SaveTestPng(image, "draw/clipped_svg.png");
    EXPECT_EQ(InkBox(image, QRect(0, 10, 200, 190)), QRect(40, 40, 80, 60));
    EXPECT_EQ(InkBox(image, QRect(0, 0, 200, 10)), QRect(0, 5, 11, 1));
}

TEST(CanvasDrawer, VerticalTextReadsUpwardAndAlignsOnItsRotatedExtent) {
    TImageCanvas canvas(300, 300);
    TCanvasDrawer& drawer = canvas.Drawer;
    drawer.SetFont("Arial", clBlack, 0, 20);
    const int width = static_cast<int>(drawer.TextWidth("WWW.........."));
    drawer.VerticalTextOut("WWW..........", taNear, 40, 250, taNear);
    drawer.VerticalTextOut("WWW..........", taCenter, 200, 150, taCenter);
    const QImage& image = canvas.Finish();

    // Near/near: the text starts at the point and runs up, its cell to the right.
    const QRect nearBox = InkBox(image, QRect(0, 0, 100, 300));
    EXPECT_TRUE(QRect(40, 250 - width, 20, width).contains(nearBox));
    EXPECT_GT(nearBox.height(), width - 6);
    EXPECT_LT(nearBox.width(), 20);
    SaveTestPng(image, "draw/vertical_text.png");
    // The heavy "WWW" come first, so they are at the bottom.
    const int half = nearBox.top() + nearBox.height() / 2;
    EXPECT_GT(
        InkCount(image, QRect(nearBox.left(), half, nearBox.width(), nearBox.bottom() - half)),
        2 * InkCount(image,
                     QRect(nearBox.left(), nearBox.top(), nearBox.width(), half - nearBox.top())));
    // Centre/centre: the rotated extent is centred on the point.
    const QRect centred = InkBox(image, QRect(100, 0, 200, 300));
    EXPECT_TRUE(QRect(190, 150 - width / 2 - 1, 21, width + 2).contains(centred));
    EXPECT_NEAR(centred.center().y(), 150, 3);
    EXPECT_NEAR(centred.center().x(), 200, 4);
}

// A widget that paints itself through the drawer, as the viewer's paint box does.
class TDrawnWidget : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        TCanvasDrawer drawer;
        drawer.SetCanvas(&painter, 1, 1);
        drawer.SetBrush(clWhite, bsSolid);
        drawer.FillRect(TRealRect{0, 0, 100, 60});
        drawer.SetPen(clRed, psSolid, 1);
        drawer.Line(10, 30, 90, 30);
        drawer.SetFont("Arial", clBlue, 0, 12);
        TextBottom = drawer.TextOut("Widget", 10, 5);
    }

public:
    double TextBottom = 0;
};

TEST(CanvasDrawer, PaintsOnAWidget) {
    TDrawnWidget widget;
    widget.resize(100, 60);
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(100, 60));
    EXPECT_EQ(image.pixel(50, 30), Rgb(clRed));
    EXPECT_TRUE(IsWhite(image.pixel(50, 31)));
    EXPECT_DOUBLE_EQ(widget.TextBottom, 17);
    const QRect text = InkBox(image, QRect(0, 0, 100, 20));
    EXPECT_GE(text.top(), 5);
    // The cell is rows 5..16; the antialiased edge of the "g" may touch the next row.
    EXPECT_LE(text.bottom(), 17);
    EXPECT_GE(text.bottom(), 13);
}

// An image made in the core lands pixel for pixel where it is drawn, its clear pixels
// leaving what was there; an SVG gets it as an embedded PNG.
TEST(CanvasDrawer, PixelImagesLandAsTheyAreAndEmbedInAnSvg) {
    TPixelGraphic picture(4, 2);
    picture.SetPixel(0, 0, 0xFF102030);
    picture.SetPixel(3, 1, 0xFFFF0000);
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvasDrawer drawer;
        drawer.SetCanvas(&painter, 1, 1);
        drawer.StretchDraw(TRealRect{2, 3, 6, 5}, picture);
    }
    EXPECT_EQ(image.pixel(2, 3), 0xFF102030u);
    EXPECT_EQ(image.pixel(5, 4), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(3, 3), 0xFFFFFFFFu) << "clear";
    EXPECT_EQ(image.pixel(6, 4), 0xFFFFFFFFu) << "outside";

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(10, 10));
    {
        QPainter painter(&generator);
        TCanvasDrawer drawer;
        drawer.SetCanvas(&painter, 1, 1);
        drawer.StretchDraw(TRealRect{2, 3, 6, 5}, picture);
    }
    EXPECT_TRUE(buffer.data().contains("<image")) << buffer.data().toStdString();
    EXPECT_TRUE(buffer.data().contains("data:image/png;base64,"));
}

}  // namespace
}  // namespace ostrel

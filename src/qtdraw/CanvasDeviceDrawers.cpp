#include "qtdraw/CanvasDeviceDrawers.h"

#include <QPrinter>
#include <cmath>

#include "model/Errors.h"

namespace ostrel {

namespace {

// Text is measured with the font at this many times its world size, in pixels.
constexpr double kMeasureFactor = 100;

}  // namespace

TCanvasDeviceDrawer::TCanvasDeviceDrawer() = default;
TCanvasDeviceDrawer::~TCanvasDeviceDrawer() = default;

void TCanvasDeviceDrawer::SetDevice(QPainter* painter, double dpiX, double dpiY, double offsetX,
                                    double offsetY) {
    ScaleX = dpiX;
    ScaleY = dpiY;
    OffsetX = offsetX;
    OffsetY = offsetY;
    FDevice.SetCanvas(painter, dpiX / 100, dpiY / 100);
    SyncMetrics();
}

void TCanvasDeviceDrawer::SyncMetrics() {
    FDevice.ScaleX = ScaleX;
    FDevice.ScaleY = ScaleY;
    FDevice.OffsetX = OffsetX;
    FDevice.OffsetY = OffsetY;
}

void TCanvasDeviceDrawer::SetFont(const std::string& name, TColor color, TFontStyles style,
                                  double size) {
    FDevice.SetFont(name, color, style, size);
    FMeasure.SetFont(name, color, style, RoundToDevice(size * kMeasureFactor));
    FontSize = size;
}

void TCanvasDeviceDrawer::SetPen(TColor color, TPenStyle style, double width) {
    FDevice.SetPen(color, style, width);
}

void TCanvasDeviceDrawer::SetBrush(TColor color, TBrushStyle style) {
    FDevice.SetBrush(color, style);
}

double TCanvasDeviceDrawer::TextHeight(const std::string& text) {
    return static_cast<double>(FMeasure.TextHeight(text) / static_cast<int>(kMeasureFactor));
}

double TCanvasDeviceDrawer::TextWidth(const std::string& text) {
    return static_cast<double>(FMeasure.TextWidth(text) / static_cast<int>(kMeasureFactor));
}

double TCanvasDeviceDrawer::TextOut(const std::string& text, double x, double y) {
    FDevice.TextOut(text, x, y);
    return y + FontSize;
}

double TCanvasDeviceDrawer::AlignedTextOut(const std::string& text, TTextAlign hAlign, double x,
                                           double y, TTextAlign vAlign) {
    return FDevice.AlignedTextOut(text, hAlign, x, y, vAlign);
}

void TCanvasDeviceDrawer::VerticalTextOut(const std::string& text, TTextAlign hAlign, double x,
                                          double y, TTextAlign vAlign) {
    FDevice.VerticalTextOut(text, hAlign, x, y, vAlign);
}

void TCanvasDeviceDrawer::MoveTo(double x, double y) {
    FDevice.MoveTo(x, y);
}

void TCanvasDeviceDrawer::LineTo(double x, double y) {
    FDevice.LineTo(x, y);
}

void TCanvasDeviceDrawer::FillBar(TColor color, double x, double y, double width, double height) {
    // The canvas bar goes through length conversions, which know no offset; shift the
    // position by the whole-dot offsets so the bar lands where DeviceX/DeviceY put it.
    const double shiftX = WorldWidth(std::nearbyint(OffsetX));
    const double shiftY = WorldHeight(std::nearbyint(OffsetY));
    FDevice.FillBar(color, x - shiftX, y - shiftY, width, height);
}

void TCanvasDeviceDrawer::Rectangle(const TRealRect& rect) {
    FDevice.Rectangle(rect);
}

void TCanvasDeviceDrawer::FillRect(const TRealRect& rect) {
    FDevice.FillRect(rect);
}

void TCanvasDeviceDrawer::Ellipse(const TRealRect& rect) {
    FDevice.Ellipse(rect);
}

void TCanvasDeviceDrawer::DrawBitmap(const TRealRect& rect, const TGraphic& graphic) {
    FDevice.DrawBitmap(rect, graphic);
}

void TCanvasDeviceDrawer::StretchDraw(const TRealRect& rect, const TGraphic& graphic) {
    FDevice.StretchDraw(rect, graphic);
}

void TCanvasDeviceDrawer::Polyline(const TRealPointArray& points) {
    FDevice.Polyline(points);
}

void TCanvasDeviceDrawer::Polygon(const TRealPointArray& points) {
    FDevice.Polygon(points);
}

void TCanvasDeviceDrawer::PolyBezier(const TRealPointArray& points) {
    FDevice.PolyBezier(points);
}

void TCanvasDeviceDrawer::ApplyClip(const TRect* deviceRect) {
    // The device rectangle is already mapped; hand it over through the drawing drawer's
    // own clip, which takes world units.
    if (deviceRect == nullptr) {
        FDevice.ResetClip();
        return;
    }
    const TRealRect world{
        WorldWidth(deviceRect->Left + OffsetX), WorldHeight(deviceRect->Top + OffsetY),
        WorldWidth(deviceRect->Right + OffsetX), WorldHeight(deviceRect->Bottom + OffsetY)};
    FDevice.SetClipRect(world);
}

TPrinterDrawer::TPrinterDrawer(QPrinter& printer) : FPrinter(printer) {}

TPrinterDrawer::~TPrinterDrawer() {
    if (FPainter && FPainter->isActive()) FPainter->end();
}

void TPrinterDrawer::SetOrientation(std::uint8_t orientation) {
    TDeviceDrawer::SetOrientation(orientation);
    FPrinter.setPageOrientation(orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
    // Qt gives the printable area in the turned page already: no crosswise swap.
    const QRect paint = FPrinter.pageLayout().paintRectPixels(FPrinter.resolution());
    OffsetX = paint.left();
    OffsetY = paint.top();
    SyncMetrics();
}

void TPrinterDrawer::SetTitle(const std::string& title) {
    TDeviceDrawer::SetTitle(title);
    FPrinter.setDocName(ToQString(title));
}

void TPrinterDrawer::ReadDeviceMetrics() {
    const int dpi = FPrinter.resolution();
    const QRect paint = FPrinter.pageLayout().paintRectPixels(dpi);
    SetDevice(FPainter ? FPainter.get() : nullptr, dpi, dpi, paint.left(), paint.top());
}

void TPrinterDrawer::BeginDoc() {
    FPainter = std::make_unique<QPainter>();
    if (!FPainter->begin(&FPrinter)) {
        FPainter.reset();
        const QString target = FPrinter.outputFileName().isEmpty() ? FPrinter.printerName()
                                                                   : FPrinter.outputFileName();
        throw EPrintError("Printing could not start on '" + target.toStdString() + "'.");
    }
    ReadDeviceMetrics();
}

void TPrinterDrawer::NewPage() {
    if (!FPrinter.newPage()) throw EPrintError("The printer refused a new page.");
}

void TPrinterDrawer::EndDoc() {
    if (!FPainter) return;
    const bool ended = FPainter->end();
    FPainter.reset();
    SetDevice(nullptr, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!ended || FPrinter.printerState() == QPrinter::Error) {
        throw EPrintError("The print job could not be finished.");
    }
}

void SetUpPdfPrinter(QPrinter& printer, const QString& path, QPageSize::PageSizeId paper,
                     QPageLayout::Orientation orientation) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(paper));
    printer.setPageOrientation(orientation);
}

}  // namespace ostrel

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
    SetCanvas(painter, 1, 1);
    // The dots per inch are the scales as they are: no round trip through a factor.
    ScaleX = dpiX;
    ScaleY = dpiY;
    OffsetX = offsetX;
    OffsetY = offsetY;
}

void TCanvasDeviceDrawer::SetFont(const std::string& name, TColor color, TFontStyles style,
                                  double size) {
    TCanvasDrawer::SetFont(name, color, style, size);
    FMeasure.SetFont(name, color, style, RoundToDevice(size * kMeasureFactor));
}

double TCanvasDeviceDrawer::TextHeight(const std::string& text) {
    return static_cast<double>(FMeasure.TextHeight(text) / static_cast<int>(kMeasureFactor));
}

double TCanvasDeviceDrawer::TextWidth(const std::string& text) {
    return static_cast<double>(FMeasure.TextWidth(text) / static_cast<int>(kMeasureFactor));
}

void TCanvasDeviceDrawer::FillBar(TColor color, double x, double y, double width, double height) {
    // The canvas bar goes through length conversions, which know no offset; shift the
    // position by the whole-dot offsets so the bar lands where DeviceX/DeviceY put it.
    const double shiftX = WorldWidth(std::nearbyint(OffsetX));
    const double shiftY = WorldHeight(std::nearbyint(OffsetY));
    TCanvasDrawer::FillBar(color, x - shiftX, y - shiftY, width, height);
}

void TCanvasDeviceDrawer::FillPolygons(const TRealPointArray& points, int corners) {
    TDrawer::FillPolygons(points, corners);
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

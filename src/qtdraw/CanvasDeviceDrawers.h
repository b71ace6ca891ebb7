#pragma once

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <memory>
#include <string>

#include "draw/Drawer.h"
#include "qtdraw/CanvasDrawer.h"

class QPrinter;

namespace ostrel {

// The paged-document back-end of the drawer: draws exactly as the screen drawer does, on a
// device whose resolution and printable-area offset are known. Text is measured apart from
// the device: the font is realised at 100 times its world size on a screen-resolution
// bitmap and the pixel extent divided by 100, truncated, so layouts get whole 1/100-inch
// units that do not depend on the printer's font metrics.
class TCanvasDeviceDrawer : public TCanvasDrawer, public TDeviceDrawer {
public:
    TCanvasDeviceDrawer();
    ~TCanvasDeviceDrawer() override;

    void SetFont(const std::string& name, TColor color, TFontStyles style, double size) override;
    double TextHeight(const std::string& text) override;
    double TextWidth(const std::string& text) override;
    void FillBar(TColor color, double x, double y, double width, double height) override;
    // One Polygon per face: a paged document keeps the outlines and the antialiasing.
    void FillPolygons(const TRealPointArray& points, int corners) override;

protected:
    // Attaches the device painter (null detaches) with its dots per inch and the printable
    // area's offset from the sheet's corner in dots.
    void SetDevice(QPainter* painter, double dpiX, double dpiY, double offsetX, double offsetY);

private:
    TCanvasPainter FMeasure;
};

// The device drawer on a QPrinter (a CUPS printer or a PDF file): the printer's
// resolution is the dots per inch and the printable area's offset the unprintable margin,
// so world units are 1/100 inch from the sheet's corner on every printer, paper and
// orientation. The document operations map to the print job; a job the printer refuses
// raises EPrintError. The printer is not owned.
class TPrinterDrawer : public TCanvasDeviceDrawer {
public:
    explicit TPrinterDrawer(QPrinter& printer);
    ~TPrinterDrawer() override;

    void SetOrientation(std::uint8_t orientation) override;
    void SetTitle(const std::string& title) override;
    void BeginDoc() override;
    void EndDoc() override;
    void NewPage() override;
    // Resolution and printable-area offset from the printer.
    void ReadDeviceMetrics();

private:
    QPrinter& FPrinter;
    std::unique_ptr<QPainter> FPainter;
};

// Points a printer at a PDF file with the given paper and orientation (the page setup the
// print dialog's "Print to File (PDF)" gives).
void SetUpPdfPrinter(QPrinter& printer, const QString& path, QPageSize::PageSizeId paper,
                     QPageLayout::Orientation orientation);

}  // namespace ostrel

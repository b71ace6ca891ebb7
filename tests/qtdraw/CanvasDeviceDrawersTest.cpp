#include "qtdraw/CanvasDeviceDrawers.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <cmath>

#include "model/Errors.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

TEST(PrinterDrawer, WorldUnitsAreHundredthsOfAnInchFromTheSheetCorner) {
    TTempDir temp;
    struct TCase {
        int Dpi;
        QPageLayout::Orientation Orientation;
    } cases[] = {
        {1200, QPageLayout::Portrait}, {300, QPageLayout::Portrait}, {600, QPageLayout::Landscape}};
    double referenceWidth = -1;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Dpi);
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdfPrinter(printer, QString::fromStdString(temp.File("metrics.pdf")), QPageSize::A4,
                        QPageLayout::Portrait);
        printer.setResolution(c.Dpi);
        printer.setPageMargins(QMarginsF(0.5, 0.25, 0.5, 0.25), QPageLayout::Inch);
        TPrinterDrawer drawer(printer);
        drawer.SetTitle("metrics");
        if (c.Orientation == QPageLayout::Landscape) drawer.SetOrientation(1);
        drawer.BeginDoc();
        EXPECT_EQ(printer.pageLayout().orientation(), c.Orientation);
        EXPECT_DOUBLE_EQ(drawer.ScaleX, c.Dpi);
        EXPECT_DOUBLE_EQ(drawer.ScaleY, c.Dpi);
        // The printable area starts at the margins: half an inch across, a quarter inch down
        // (Qt's margins belong to the page as it lies, in landscape too).
        EXPECT_NEAR(drawer.OffsetX, 0.5 * c.Dpi, 1);
        EXPECT_NEAR(drawer.OffsetY, 0.25 * c.Dpi, 1);
        // One inch from the corner is one inch less the margin into the printable area.
        EXPECT_EQ(drawer.DeviceX(100), c.Dpi - static_cast<int>(drawer.OffsetX));
        EXPECT_EQ(drawer.DeviceY(100), c.Dpi - static_cast<int>(drawer.OffsetY));

        // Text extents in whole units, the same at every resolution.
        drawer.SetFont("Arial", 0, fsBold, 15);
        EXPECT_DOUBLE_EQ(drawer.TextHeight("Gain dBi (dBd):"), 15);
        const double width = drawer.TextWidth("Gain dBi (dBd):");
        EXPECT_EQ(width, std::floor(width));
        EXPECT_GT(width, 90);
        EXPECT_LT(width, 120);
        if (referenceWidth < 0) referenceWidth = width;
        EXPECT_EQ(width, referenceWidth);
        EXPECT_DOUBLE_EQ(drawer.TextOut("x", 10, 100), 115);
        drawer.EndDoc();
    }
}

TEST(PrinterDrawer, RefusedJobRaisesAndEndDocIsHarmlessAfterIt) {
    TTempDir temp;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, QString::fromStdString(temp.File("no such folder/x.pdf")),
                    QPageSize::Letter, QPageLayout::Portrait);
    TPrinterDrawer drawer(printer);
    EXPECT_THROW(drawer.BeginDoc(), EPrintError);
    EXPECT_NO_THROW(drawer.EndDoc());
}

}  // namespace
}  // namespace ostrel

#include "widgets/ClipboardService.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>

#include "qtdraw/CanvasPainter.h"
#include "shell/Branding.h"

namespace ostrel {

// Single-byte text from pattern files (EDX labels, file names) keeps every byte.
void TQtClipboardService::SetText(const std::string& text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

QByteArray SvgPicture(QSize size, int dpi, const TPaintPicture& paint) {
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(dpi);
    generator.setTitle(branding::kProgramTitle);
    {
        QPainter painter(&generator);
        paint(painter);
    }
    return svg;
}

QImage PngPicture(QSize size, const TPaintPicture& paint) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter);
    return image;
}

void CopyPicture(QSize size, int dpi, const TPaintPicture& paint) {
    auto* mime = new QMimeData;
    mime->setData("image/svg+xml", SvgPicture(size, dpi, paint));
    mime->setImageData(PngPicture(size, paint));
    QGuiApplication::clipboard()->setMimeData(mime);
}

}  // namespace ostrel

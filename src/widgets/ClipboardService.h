#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <functional>

#include "model/PlatformServices.h"

class QPainter;

namespace ostrel {

// The desktop's clipboard for the core's plain-text tables.
class TQtClipboardService : public TClipboardService {
public:
    void SetText(const std::string& text) override;
};

// Draws a picture on a painter open on a device of the picture's size.
using TPaintPicture = std::function<void(QPainter& painter)>;

// The picture as an SVG document of `size` pixels at `dpi`, titled with the program's name.
QByteArray SvgPicture(QSize size, int dpi, const TPaintPicture& paint);
// The picture on a white image of `size` (at least 1 x 1).
QImage PngPicture(QSize size, const TPaintPicture& paint);
// Puts the picture on the clipboard: SVG, with a PNG of the same picture beside it.
void CopyPicture(QSize size, int dpi, const TPaintPicture& paint);

}  // namespace ostrel

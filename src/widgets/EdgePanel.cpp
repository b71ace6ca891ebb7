#include "widgets/EdgePanel.h"

#include <QPaintEvent>
#include <QPainter>

namespace ostrel {

namespace {

const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

// One-pixel frame on the pixel rectangle [left, right] x [top, bottom]: the top row and the
// left column in topLeft, the right column and the bottom row in bottomRight; the top-right
// and bottom-left corner pixels belong to the bottom-right colour.
void DrawFrame(QPainter& painter, int left, int top, int right, int bottom, const QColor& topLeft,
               const QColor& bottomRight) {
    if (right < left || bottom < top) return;
    if (right > left) painter.fillRect(left, top, right - left, 1, topLeft);
    if (bottom > top) painter.fillRect(left, top, 1, bottom - top, topLeft);
    painter.fillRect(right, top, 1, bottom - top + 1, bottomRight);
    painter.fillRect(left, bottom, right - left + 1, 1, bottomRight);
}

}  // namespace

TvkEdgePanel::TvkEdgePanel(QWidget* parent) : QWidget(parent) {
    setContentsMargins(kEdgeWidth, kEdgeWidth, kEdgeWidth, kEdgeWidth);
    setAutoFillBackground(false);
}

void TvkEdgePanel::SetSunken(bool sunken) {
    FSunken = sunken;
    update();
}

QColor TvkEdgePanel::Color() const {
    return palette().color(backgroundRole());
}

void TvkEdgePanel::SetColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(backgroundRole(), color);
    setPalette(pal);
    update();
}

void TvkEdgePanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Color());
    const int right = width() - 1;
    const int bottom = height() - 1;
    if (FSunken) {
        DrawFrame(painter, 0, 0, right, bottom, kGrey, kWhite);
        DrawFrame(painter, 1, 1, right - 1, bottom - 1, kBlack, kSilver);
    } else {
        DrawFrame(painter, 0, 0, right, bottom, kSilver, kBlack);
        DrawFrame(painter, 1, 1, right - 1, bottom - 1, kWhite, kGrey);
    }
}

}  // namespace ostrel

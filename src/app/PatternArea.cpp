#include "app/PatternArea.h"

#include <QPaintEvent>
#include <QPainter>

#include "qtdraw/CanvasDrawer.h"
#include "views/SideBySide.h"
#include "views/ViewState.h"
#include "widgets/ClipboardService.h"

namespace ostrel {

TPatternArea::TPatternArea(QWidget* parent, const TPatternDataList& selection)
    : QWidget(parent), FSelection(selection) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPatternArea::SetView(TGraphType graphType, bool logScale) {
    if (graphType == FGraphType && logScale == FLogScale) return;
    FGraphType = graphType;
    FLogScale = logScale;
    Invalidate();
}

void TPatternArea::Invalidate() {
    FPictureValid = false;
    update();
}

void TPatternArea::PaintPatterns(QPainter& painter, QSize size, bool forClipboard) const {
    TCanvasDrawer drawer;
    drawer.SetCanvas(&painter, 1, 1);
    TSideBySideDrawer view;
    view.Bounds = TRect{0, 0, size.width(), size.height()};
    view.Drawer = &drawer;
    view.Patterns.CopyFrom(FSelection);
    view.LegendAlign = 2;
    view.GraphType = FGraphType;
    view.ShowLegend = !forClipboard;
    view.LogScale = !forClipboard && FLogScale;
    view.View = CurrentViewState();
    view.Draw();
}

void TPatternArea::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    if (!FPictureValid || FPicture.size() != pixels || FPicture.devicePixelRatio() != ratio) {
        if (FPicture.size() != pixels) FPicture = QImage(pixels, QImage::Format_RGB32);
        FPicture.setDevicePixelRatio(ratio);
        FPicture.fill(Qt::white);
        QPainter picture(&FPicture);
        PaintPatterns(picture, size(), false);
        FPictureValid = true;
    }
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.drawImage(exposed, FPicture,
                      QRectF(QPointF(exposed.topLeft()) * ratio, QSizeF(exposed.size()) * ratio));
}

void TPatternArea::CopyImage() const {
    CopyPicture(size(), logicalDpiY(),
                [this](QPainter& painter) { PaintPatterns(painter, size(), true); });
}

}  // namespace ostrel

#include "dialogs/AniFrm.h"

#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "graphs/GraphClasses.h"
#include "qtdraw/CanvasDrawer.h"
#include "views/SideBySide.h"
#include "views/ViewState.h"
#include "widgets/EdgePanel.h"

namespace ostrel {

namespace {

// The panel keeps these distances to the window's edges whatever its size.
constexpr int kPanelLeft = 8;
constexpr int kPanelTop = 40;
constexpr int kPanelRightGap = 9;
constexpr int kPanelBottomGap = 9;

// The paint area of the panel: white, painted by the window.
class TFramePaintBox : public QWidget {
public:
    TFramePaintBox(QWidget* parent, std::function<void(QPainter&, QSize)> paint)
        : QWidget(parent), FPaint(std::move(paint)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        FPaint(painter, size());
    }

private:
    std::function<void(QPainter&, QSize)> FPaint;
};

}  // namespace

TAnimateForm::TAnimateForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("AnimateForm");
    setSizeGripEnabled(true);
    resize(701, 366);

    btnStart = new QPushButton("&Start", this);
    btnStart->setObjectName("btnStart");
    btnStart->setGeometry(8, 8, 75, 25);
    btnStart->setAutoDefault(false);
    connect(btnStart, &QPushButton::clicked, this, &TAnimateForm::StartClick);

    pnlAnimate = new TvkEdgePanel(this);
    pnlAnimate->setObjectName("pnlAnimate");
    pnlAnimate->SetSunken(true);
    pnlAnimate->SetDoubleBuffered(true);
    pnlAnimate->SetColor(Qt::white);
    pnlAnimate->setGeometry(kPanelLeft, kPanelTop, 684, 317);
    pbAnimate = new TFramePaintBox(pnlAnimate, [this](QPainter& painter, QSize size) {
        TCanvasDrawer drawer;
        drawer.SetCanvas(&painter, 1, 1);
        DrawFrame(drawer, TRect{0, 0, size.width(), size.height()});
    });
    pbAnimate->setObjectName("pbAnimate");
    LayoutPanel();

    FTimer = new QTimer(this);
    FTimer->setInterval(kFrameIntervalMs);
    connect(FTimer, &QTimer::timeout, this, &TAnimateForm::Tick);
}

int TAnimateForm::Run() {
    FFrameIndex = -1;
    return exec();
}

void TAnimateForm::StartClick() {
    FFrameIndex = 0;
    if (FTimer->isActive()) {
        FTimer->stop();
    } else {
        FTimer->start();
    }
}

void TAnimateForm::Tick() {
    ++FFrameIndex;
    if (FFrameIndex >= Patterns.Count()) FFrameIndex = 0;
    pbAnimate->update();
}

bool TAnimateForm::IsRunning() const {
    return FTimer->isActive();
}

void TAnimateForm::DrawFrame(TDrawer& drawer, const TRect& bounds) const {
    TSideBySidePatterns view;
    view.Drawer = &drawer;
    view.Bounds = bounds;
    view.Colors = TColorArray{SeriesColor(0)};
    if (FFrameIndex >= 0 && FFrameIndex < Patterns.Count()) {
        view.Patterns.Add(Patterns.Items(FFrameIndex));
    }
    view.LogScale = false;
    view.View = CurrentViewState();
    view.DrawPolar();
}

void TAnimateForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayoutPanel();
}

void TAnimateForm::LayoutPanel() {
    pnlAnimate->setGeometry(kPanelLeft, kPanelTop,
                            std::max(0, width() - kPanelLeft - kPanelRightGap),
                            std::max(0, height() - kPanelTop - kPanelBottomGap));
    const int edge = TvkEdgePanel::kEdgeWidth;
    pbAnimate->setGeometry(edge, edge, std::max(0, pnlAnimate->width() - 2 * edge),
                           std::max(0, pnlAnimate->height() - 2 * edge));
}

}  // namespace ostrel

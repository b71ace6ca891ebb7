#pragma once

#include <QPainter>
#include <QWidget>
#include <functional>
#include <utility>

namespace ostrel {

// An area a window paints itself: every paint event hands a painter and the area's size to
// the window's own drawing, which covers the whole area.
class TPaintBox : public QWidget {
public:
    TPaintBox(QWidget* parent, std::function<void(QPainter&, QSize)> paint, QSize minimumSize)
        : QWidget(parent), FPaint(std::move(paint)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(minimumSize);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        FPaint(painter, size());
    }

private:
    std::function<void(QPainter&, QSize)> FPaint;
};

}  // namespace ostrel

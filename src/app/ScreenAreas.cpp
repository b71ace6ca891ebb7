#include "app/ScreenAreas.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <climits>

namespace ostrel {

TRect ToRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

std::vector<TRect> AvailableScreenAreas() {
    std::vector<TRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        areas.push_back(ToRect(primary->availableGeometry()));
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) {
            areas.push_back(ToRect(screen->availableGeometry()));
        }
    }
    return areas;
}

TWindowSize AvailableScreenSize(const QWidget& widget) {
    const QScreen* screen = widget.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return {INT_MAX, INT_MAX};
    const QRect area = screen->availableGeometry();
    return {area.width(), area.height()};
}

}  // namespace ostrel

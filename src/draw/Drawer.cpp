#include "draw/Drawer.h"

#include <algorithm>
#include <cmath>

namespace ostrel {

int TDrawer::DeviceX(double x) const {
    return RoundToDevice(x / 100 * ScaleX - OffsetX);
}

int TDrawer::DeviceY(double y) const {
    return RoundToDevice(y / 100 * ScaleY - OffsetY);
}

TRect TDrawer::DeviceRect(const TRealRect& rect) const {
    return TRect{DeviceX(rect.Left), DeviceY(rect.Top), DeviceX(rect.Right), DeviceY(rect.Bottom)};
}

double TDrawer::WorldWidth(double deviceLength) const {
    if (deviceLength == 0) return 0;
    return deviceLength / ScaleX * 100;
}

double TDrawer::WorldHeight(double deviceLength) const {
    if (deviceLength == 0) return 0;
    return deviceLength / ScaleY * 100;
}

int TDrawer::DeviceWidth(double worldLength) const {
    if (worldLength == 0) return 0;
    return RoundToDevice(worldLength / 100 * ScaleX);
}

int TDrawer::DeviceHeight(double worldLength) const {
    if (worldLength == 0) return 0;
    return RoundToDevice(worldLength / 100 * ScaleY);
}

void TDrawer::SetClipRect(const TRealRect& rect) {
    ClipRegion = DeviceRect(rect);
    ApplyClip(&*ClipRegion);
}

void TDrawer::ResetClip() {
    ApplyClip(nullptr);
    ClipRegion.reset();
}

void TDrawer::Circle(double x, double y, double radius) {
    Ellipse(TRealRect{x - radius, y - radius, x + radius, y + radius});
}

void TDrawer::FillPolygons(const TRealPointArray& points, int corners) {
    if (corners < 3) return;
    const auto size = static_cast<size_t>(corners);
    TRealPointArray polygon(size);
    for (size_t first = 0; first + size <= points.size(); first += size) {
        std::copy(points.begin() + static_cast<std::ptrdiff_t>(first),
                  points.begin() + static_cast<std::ptrdiff_t>(first + size), polygon.begin());
        Polygon(polygon);
    }
}

void TDrawer::Line(double x1, double y1, double x2, double y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
}

}  // namespace ostrel

#pragma once

#include <vector>

#include "model/PrimitiveObjects.h"
#include "shell/WindowPlacement.h"

class QRect;
class QWidget;

namespace ostrel {

TRect ToRect(const QRect& rect);
// The available area of every screen (without panels and docks), primary first.
std::vector<TRect> AvailableScreenAreas();
// The available area of the screen that shows the widget's window.
TWindowSize AvailableScreenSize(const QWidget& widget);

}  // namespace ostrel

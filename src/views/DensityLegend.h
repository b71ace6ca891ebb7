#pragma once

#include <cstdint>
#include <string>

#include "draw/Drawer.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// "20,000 patterns, density": the title of the density view's legend.
std::string DensityLegendTitle(int patternCount);

// The legend of the density view, which shows many patterns as one image: the title, under
// it a colour bar of the density scale from one pattern to all of them, and under the bar
// the counts at its ends and at the powers of ten between that have room. The bar is as
// wide as the title (or a little wider for short titles), so that the title and the counts
// bound the whole legend. Created for one drawing and freed.
class TDensityLegendDrawer {
public:
    // Draws on Drawer; does nothing when no drawer is set.
    void Draw();

    TDrawer* Drawer = nullptr;  // not owned
    int PatternCount = 0;
    double TextSize = 14;  // world units
    TRealPoint Origin;
    std::uint8_t Align = 0;  // TLegendAlign
};

}  // namespace ostrel

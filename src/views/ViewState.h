#pragma once

#include "model/ViewModes.h"

namespace ostrel {

// The view choices a drawing follows, taken once by whoever starts the drawing and handed
// down, so that nothing looks them up while it draws.
struct TViewState {
    THCut HCut = THCut::Azimuth;  // the cut the horizontal graphs plot
    double RadialFloorDb = -40;   // lowest level of the radial and level axes
    // The logarithmic scale the view shows. Cartesian graphs and the single printed pages
    // follow it; the side-by-side polar graphs have their own choice (the clipboard image
    // and the overlaid page keep linear rings).
    bool LogScale = false;
    bool ShowExtensions = false;  // legend names with their file extension
    bool ShowBeamTicks = false;   // -3 dB crossings ticked on the side-by-side polar graphs
    // With more patterns than this, the side-by-side graphs show one density image of all
    // the curves instead of a curve each.
    int DensityThreshold = 500;
};

// The view state the settings hold now.
TViewState CurrentViewState();

}  // namespace ostrel

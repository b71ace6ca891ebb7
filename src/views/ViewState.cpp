#include "views/ViewState.h"

#include "model/Settings.h"

namespace ostrel {

TViewState CurrentViewState() {
    const TSettings& settings = GetSettings();
    TViewState state;
    state.HCut = settings.FHCut;
    state.RadialFloorDb = settings.FRadialFloor;
    state.LogScale = settings.FLogScale;
    state.ShowExtensions = settings.FShowExtensions;
    state.ShowBeamTicks = settings.FShowBeamTicks;
    state.DensityThreshold = settings.FDensityThreshold;
    return state;
}

}  // namespace ostrel

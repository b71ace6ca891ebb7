#include "views/ViewState.h"

#include <gtest/gtest.h>

#include "model/Settings.h"

namespace ostrel {
namespace {

// Each choice the drawings follow comes from its own setting: the two states below differ in
// every field, so a field read from the wrong setting, or not read, shows.
TEST(ViewState, EveryFieldComesFromItsSetting) {
    const TSettings saved = GetSettings();
    const struct {
        THCut HCut;
        double FloorDb;
        bool Log, Extensions, Ticks;
    } cases[] = {{THCut::Horizontal, -25, true, false, true},
                 {THCut::Azimuth, -40, false, true, false}};
    for (const auto& c : cases) {
        TSettings& settings = GetSettings();
        settings.FHCut = c.HCut;
        settings.FRadialFloor = c.FloorDb;
        settings.FLogScale = c.Log;
        settings.FShowExtensions = c.Extensions;
        settings.FShowBeamTicks = c.Ticks;
        const TViewState state = CurrentViewState();
        EXPECT_EQ(state.HCut, c.HCut);
        EXPECT_DOUBLE_EQ(state.RadialFloorDb, c.FloorDb);
        EXPECT_EQ(state.LogScale, c.Log);
        EXPECT_EQ(state.ShowExtensions, c.Extensions);
        EXPECT_EQ(state.ShowBeamTicks, c.Ticks);
    }
    GetSettings() = saved;
}

}  // namespace
}  // namespace ostrel

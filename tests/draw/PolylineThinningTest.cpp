#include "draw/PolylineThinning.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

TEST(PolylineThinning, DropsOnlyVerticesWithinTheTolerance) {
    struct TCase {
        const char* Name;
        TRealPointArray Points;
        TRealPointArray Kept;
    };
    const TCase cases[] = {
        {"straight run", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 9}}, {{0, 0}, {9, 9}}},
        {"repeated points", {{4, 4}, {4, 4}, {4, 4}, {7, 4}}, {{4, 4}, {7, 4}}},
        {"wiggle inside", {{0, 0}, {5, 0.2}, {10, 0}}, {{0, 0}, {10, 0}}},
        {"wiggle outside", {{0, 0}, {5, 0.3}, {10, 0}}, {{0, 0}, {5, 0.3}, {10, 0}}},
        // On the line but beyond the end: dropping it would lose the run out and back.
        {"turn back", {{0, 0}, {10, 0}, {5, 0}}, {{0, 0}, {10, 0}, {5, 0}}},
        {"closed square",
         {{0, 0}, {4, 0}, {8, 0}, {8, 8}, {0, 8}, {0, 0}},
         {{0, 0}, {8, 0}, {8, 8}, {0, 8}, {0, 0}}},
        {"two points", {{0, 0}, {0, 0}}, {{0, 0}, {0, 0}}},
    };
    for (const TCase& c : cases) {
        const TRealPointArray kept = ThinnedPolyline(c.Points, 0.25);
        ASSERT_EQ(kept.size(), c.Kept.size()) << c.Name;
        for (size_t i = 0; i < kept.size(); ++i) {
            EXPECT_EQ(kept[i].X, c.Kept[i].X) << c.Name << " " << i;
            EXPECT_EQ(kept[i].Y, c.Kept[i].Y) << c.Name << " " << i;
        }
    }
}

}  // namespace
}  // namespace ostrel

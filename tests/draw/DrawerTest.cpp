#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "draw/Drawer.h"

namespace ostrel {
namespace {

// Device coordinates decide pixels, so the rounding must be nearbyint's to the last bit:
// ties to even, the sign of zero, and every magnitude up to where doubles are whole.
TEST(Drawer, RoundingIsNearbyintBitForBit) {
    const double inf = std::numeric_limits<double>::infinity();
    const double table[] = {0.0,
                            -0.0,
                            0.5,
                            1.5,
                            2.5,
                            -0.5,
                            -1.5,
                            -2.5,
                            0.49999999999999994,
                            -0.3,
                            1e-300,
                            4503599627370495.5,
                            4503599627370496.0,
                            -4503599627370497.0,
                            9007199254740993.0,
                            1e300,
                            -1e300,
                            inf,
                            -inf,
                            1073741823.5};
    for (const double value : table) {
        const double expected = std::nearbyint(value);
        const double actual = RoundHalfEven(value);
        EXPECT_EQ(expected, actual) << value;
        EXPECT_EQ(std::signbit(expected), std::signbit(actual)) << value;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));

    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> coordinate(-5000, 5000);
    std::uniform_int_distribution<int> halves(-20000, 20000);
    int differing = 0;
    for (int i = 0; i < 200000; ++i) {
        const double value = i % 2 == 0 ? coordinate(random) : halves(random) / 2.0;
        if (std::nearbyint(value) != RoundHalfEven(value)) ++differing;
    }
    EXPECT_EQ(differing, 0);

    EXPECT_EQ(RoundToDevice(2.5), 2);
    EXPECT_EQ(RoundToDevice(-3.5), -4);
    EXPECT_EQ(RoundToDevice(std::nan("")), 0);
    EXPECT_EQ(RoundToDevice(1e20), 1 << 30);
    EXPECT_EQ(RoundToDevice(-inf), -(1 << 30));
}

}  // namespace
}  // namespace ostrel

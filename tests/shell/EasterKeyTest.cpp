#include <gtest/gtest.h>

#include "shell/EasterKey.h"

namespace ostrel {
namespace {

TEST(EasterKey, FiresOnlyForTheSequenceTypedWithAlt) {
    int matches = 0;
    TEasterKey detector("Qorv7", [&matches](TEasterKey&) { ++matches; });
    for (char c : std::string("QORV7")) detector.KeyUp(c, false);
    EXPECT_EQ(matches, 0) << "without Alt nothing happens";
    EXPECT_EQ(detector.Typed(), "");
    for (char c : std::string("qorv7")) detector.KeyUp(c, true);
    EXPECT_EQ(matches, 1);
    for (char c : std::string("QOXQORV7")) detector.KeyUp(c, true);
    EXPECT_EQ(matches, 2) << "a wrong key starts a new attempt";
    for (char c : std::string("QORV")) detector.KeyUp(c, true);
    detector.KeyUp('7', false);
    EXPECT_EQ(matches, 2) << "a key without Alt is ignored, not a reset";
    detector.KeyUp('7', true);
    EXPECT_EQ(matches, 3);
    TEasterKey silent("ab");
    silent.KeyUp('a', true);
    silent.KeyUp('b', true);
    EXPECT_EQ(silent.Typed(), "AB");
}

}  // namespace
}  // namespace ostrel

#include <gtest/gtest.h>

#include <string>

#include "shell/SaveTargets.h"

namespace ostrel {
namespace {

bool WholeUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead >= 0x80 && lead < 0xC0) return false;
        for (size_t k = 1; k < length; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

TEST(SaveTargets, LongNamesAreCutBetweenCharactersKeepingBothEnds) {
    const std::string xs(100, 'x');
    std::string threeByte;
    for (int i = 0; i < 90; ++i) threeByte += "\u20AC";  // 270 bytes
    const struct {
        std::string Stem;
        size_t Max;
    } cases[] = {{"short \u2194 name at 1930 MHz", 200},
                 {xs + xs + xs + " at 1930 MHz", 200},
                 {"A" + threeByte + " \u2194 B" + threeByte + " at 2 MHz", 200},
                 {threeByte, 61},
                 {threeByte, 62}};
    for (const auto& c : cases) {
        const std::string shortened = ShortenedFileStem(c.Stem, c.Max);
        EXPECT_LE(shortened.size(), c.Max) << c.Stem;
        EXPECT_TRUE(WholeUtf8(shortened)) << shortened;
        if (c.Stem.size() <= c.Max) {
            EXPECT_EQ(shortened, c.Stem);
            continue;
        }
        EXPECT_EQ(shortened.substr(0, 1), c.Stem.substr(0, 1));
        EXPECT_EQ(shortened.back(), c.Stem.back());
        // One letter changed in the part left out gives another name.
        std::string other = c.Stem;
        other[c.Stem.size() / 2] ^= 1;
        EXPECT_NE(ShortenedFileStem(other, c.Max), shortened) << other;
    }
}

}  // namespace
}  // namespace ostrel

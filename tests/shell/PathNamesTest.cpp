#include "shell/PathNames.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace ostrel {
namespace {

TEST(PathNames, EveryByteSurvivesTheWayThroughText) {
    struct TCase {
        std::string Bytes;
        std::u16string Shown;  // as people see it
    } const cases[] = {
        {"/data/caf\xC3\xA9.txt", u"/data/caf\u00E9.txt"},
        {"/data/caf\xE9.txt", u"/data/caf\uFFFD.txt"},
        {"\xF0\x9F\x93\xA1.msi", u"\U0001F4E1.msi"},
        {"\xE2\x82.x", u"\uFFFD\uFFFD.x"},                            // cut-short sequence
        {"\xC0\xAF\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, surrogate
        {"\xEF\xBF\xBD", u"\uFFFD"},                                  // a real U+FFFD stays one
    };
    for (const TCase& c : cases) {
        const std::u16string text = PathToUtf16(c.Bytes);
        EXPECT_EQ(Utf16ToPath(text), c.Bytes);
        EXPECT_EQ(PathForDisplay(text), c.Shown);
    }
    // A lone surrogate that stands for no byte.
    EXPECT_EQ(Utf16ToPath(std::u16string{u'a', char16_t{0xD800}}), "a\xEF\xBF\xBD");
}

TEST(PathNames, ShownNamesLeadBackToTheRealFile) {
    TTempDir folder;
    const std::string real = folder.Write("caf\xE9.txt", "x");
    const std::string shown = folder.Path() + "/caf\xEF\xBF\xBD.txt";
    EXPECT_FALSE(IsExistingFile(shown));
    EXPECT_FALSE(IsExistingFile(folder.Path()));
    EXPECT_EQ(ResolveShownPath(shown), real);
    EXPECT_EQ(ResolveShownPath(real), real);
    EXPECT_EQ(ResolveShownPath(folder.Path() + "/none.txt"), std::nullopt);
    // Two names that show alike: no guessing.
    folder.Write("caf\xE8.txt", "y");
    EXPECT_EQ(ResolveShownPath(shown), std::nullopt);
    EXPECT_EQ(AbsoluteFolderOf(real), folder.Path() + "/");
    EXPECT_EQ(AbsoluteFolderOf("/data/x/../caf\xE9.txt"), "/data/");
}

}  // namespace
}  // namespace ostrel

#include "shell/CommandLine.h"

#include <optional>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrel {
namespace {

TEST(CommandLine, FileArgumentsBecomeFullPathsInOrder) {
    using TList = std::vector<std::string>;
    struct TCase {
        TList Arguments;
        TList Paths;
    } const cases[] = {
        {{}, {}},
        {{"a.pln", "/data/b.vwa"}, {"/home/u/a.pln", "/data/b.vwa"}},
        {{"sub/Case.msi", "sub/case.msi"}, {"/home/u/sub/Case.msi", "/home/u/sub/case.msi"}},
        {{"file:///data/my%20pattern%25.pln", "file://host/x/y.txt"},
         {"/data/my pattern%.pln", "/x/y.txt"}},
        {{"file:///data/bad%2", "file:///data/a%zz"}, {"/data/bad%2", "/data/a%zz"}},
        {{"-x", "--style=fusion", "", "a.txt"}, {"/home/u/a.txt"}},
        {{"--", "-odd name.txt", "--"}, {"/home/u/-odd name.txt", "/home/u/--"}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(PatternFileArguments(c.Arguments, "/home/u"), c.Paths);
    }
    EXPECT_EQ(PatternFileArguments({"a"}, "/"), TList{"/a"});
}

TEST(CommandLine, ViewerAnswersHelpAndVersionBeforeAnyFile) {
    const std::string version = std::string("OstrelViewer ") + OSTREL_VERSION + "\n";
    struct TCase {
        std::vector<std::string> Arguments;
        std::optional<std::string> Answer;
    };
    const TCase cases[] = {
        {{"--help"}, kViewerUsage},
        {{"a.msi", "-h"}, kViewerUsage},
        {{"--version"}, version},
        {{"--version", "--help"}, version},
        {{"--", "--help"}, std::nullopt},  // a file named "--help"
        {{"a.msi", "--helpful"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const TCase& c : cases) EXPECT_EQ(ViewerHelpOrVersion(c.Arguments), c.Answer);
}

}  // namespace
}  // namespace ostrel

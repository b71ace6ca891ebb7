#include "shell/CommandLine.h"

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

}  // namespace
}  // namespace ostrel

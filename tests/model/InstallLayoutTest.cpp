#include "model/InstallLayout.h"

#include <gtest/gtest.h>

namespace ostrel {
namespace {

using TList = std::vector<std::string>;

TEST(InstallLayout, TheInstalledCopyIsRecognisedByItsFolderAlone) {
    const TInstallLayout layout{"/usr/bin", "/usr/share/ostrel-viewer"};
    struct TCase {
        std::string Folder;
        bool Installed;
    };
    const TCase cases[] = {
        {"/usr/bin", true},          {"/usr/bin/", true},  {"/usr//bin", true},
        {"/usr/local/../bin", true}, {"/usr/./bin", true}, {"/usr/bin/x/..", true},
        {"/usr/local/bin", false},   {"/usr/bin2", false}, {"/usr", false},
        {"/work/build", false},      {"", false},          {"usr/bin", false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(IsInstalledProgramFolder(c.Folder, layout), c.Installed) << c.Folder;
    }
    EXPECT_FALSE(IsInstalledProgramFolder("/usr/bin", TInstallLayout{}));

    // Run-time files: beside the program first; the data folder only for the installed copy.
    EXPECT_EQ(RuntimeFileFolders("/usr/bin", layout),
              (TList{"/usr/bin/", "/usr/share/ostrel-viewer/"}));
    EXPECT_EQ(RuntimeFileFolders("/home/u/build/", layout), TList{"/home/u/build/"});
    EXPECT_EQ(RuntimeFileFolders("", layout), TList{});
}

TEST(InstallLayout, TheTestProgramIsNotTheInstalledCopy) {
    // The build folder's programs keep their settings beside them; only an install moves them.
    const std::string folder = RunningProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_FALSE(IsInstalledProgramFolder(folder, CompiledInstallLayout()));
    EXPECT_TRUE(CompiledInstallLayout().BinFolder.starts_with('/'));
    EXPECT_TRUE(CompiledInstallLayout().DataFolder.ends_with("/ostrel-viewer"));
}

}  // namespace
}  // namespace ostrel

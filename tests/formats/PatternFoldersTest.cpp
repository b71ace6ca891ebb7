#include "formats/PatternFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace ostrel {
namespace {

// A scan goes on past a sub-folder removed between the listing of its parent and its own,
// one the system refuses, one whose listing breaks off: each is a reason in path order.
TEST(PatternFolders, ScanGoesOnPastEveryFolderThatCannotBeRead) {
    const TTempDir dir;
    for (const char* folder : {"a", "b/inner", "c/d", "e", "f"}) {
        std::filesystem::create_directories(dir.File(folder));
    }
    for (const char* file :
         {"a/1.msi", "b/inner/2.msi", "c/3.msi", "c/d/4.msi", "f/5.msi", "z.txt", "e/notes.doc"}) {
        dir.Write(file, "FREQUENCY 900\r\n");
    }
    const auto lister = [&dir](const std::string& folder, std::vector<TFolderEntry>& entries) {
        if (folder == dir.File("c/d")) return std::string("Permission denied");
        if (folder == dir.File("f")) {
            entries.push_back({"5.msi", TEntryKind::File});
            return std::string("Input/output error");
        }
        const std::string problem = ListFolderEntries(folder, entries);
        if (folder == dir.Path()) std::filesystem::remove_all(dir.File("b"));
        return problem;
    };
    const auto unreadable = [&dir](const char* folder, const char* reason) {
        return TScannedPath{dir.File(folder),
                            "cannot read folder " + dir.File(folder) + ": " + reason};
    };
    EXPECT_EQ(ScanPatternFolder(dir.Path(), lister),
              (std::vector<TScannedPath>{{dir.File("a/1.msi"), ""},
                                         unreadable("b", "No such file or directory"),
                                         {dir.File("c/3.msi"), ""},
                                         unreadable("c/d", "Permission denied"),
                                         unreadable("f", "Input/output error"),
                                         {dir.File("f/5.msi"), ""},
                                         {dir.File("z.txt"), ""}}));

    EXPECT_EQ(
        ScanPatternFolder(dir.File("e")),
        (std::vector<TScannedPath>{{dir.File("e"), "no pattern files below " + dir.File("e")}}));
    EXPECT_EQ(ScanPatternFolder(dir.File("gone")),
              (std::vector<TScannedPath>{unreadable("gone", "No such file or directory")}));
}

TEST(PatternFolders, FolderWithoutReadPermissionIsAReason) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads folders whatever their mode";
    const TTempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0), 0);
    const std::vector<TScannedPath> scanned = ScanPatternFolder(dir.Path());
    ::chmod(dir.Path().c_str(), 0700);
    EXPECT_EQ(scanned, (std::vector<TScannedPath>{{dir.Path(), "cannot read folder " + dir.Path() +
                                                                   ": Permission denied"}}));
}

}  // namespace
}  // namespace ostrel

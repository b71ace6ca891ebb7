#include "model/SafeFile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "formats/TextLines.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

namespace fs = std::filesystem;

// Files of the folder other than those named.
int OtherFiles(const std::string& folder, std::initializer_list<std::string> known) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        bool listed = false;
        for (const std::string& name : known) listed = listed || entry.path().filename() == name;
        count += listed ? 0 : 1;
    }
    return count;
}

// A whole file is read however its size falls against the reads' chunks, and a file whose
// size says nothing (the system's own files report 0) is read to its real end.
TEST(SafeFile, ReadsEveryByteWhateverTheFileSize) {
    const TTempDir dir;
    for (const size_t size : {size_t{0}, size_t{1}, size_t{65535}, size_t{65536}, size_t{65537},
                              size_t{3 * 65536 + 17}}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
        const std::string path = dir.Write("f" + std::to_string(size), bytes);
        EXPECT_EQ(ReadWholeFile(path, size + 1, "file"), bytes) << size;
    }
    struct stat status {};
    ASSERT_EQ(::stat("/proc/self/status", &status), 0);
    ASSERT_EQ(status.st_size, 0);
    EXPECT_NE(ReadWholeFile("/proc/self/status", 1 << 20, "file").find("Name:"), std::string::npos);
}

TEST(SafeFile, ReplacesTargetsAndKeepsLinksAndModes) {
    TTempDir folder;
    const std::string target = folder.Write("out.pdf", "old");
    ::chmod(target.c_str(), 0640);
    fs::create_symlink(target, folder.File("link.pdf"));

    EXPECT_EQ(WriteWholeFile(folder.File("link.pdf"), "new"), "");
    EXPECT_TRUE(fs::is_symlink(folder.File("link.pdf")));
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A link to a file not there yet (directly, relative, through another link, in a loop).
    const std::string sub = folder.File("sub/");
    fs::create_directory(sub);
    fs::create_symlink(sub + "t.pdf", sub + "abs.pdf");
    fs::create_symlink("t.pdf", sub + "rel.pdf");
    fs::create_symlink("abs.pdf", sub + "chain.pdf");
    for (const std::string& link : {sub + "abs.pdf", sub + "rel.pdf", sub + "chain.pdf"}) {
        fs::remove(sub + "t.pdf");
        EXPECT_EQ(WriteWholeFile(link, link), "") << link;
        EXPECT_TRUE(fs::is_symlink(link) && ReadFileBytes(sub + "t.pdf") == link) << link;
    }
    fs::create_symlink("loop.pdf", sub + "loop.pdf");
    EXPECT_EQ(WriteWholeFile(sub + "loop.pdf", "x"), "Too many levels of symbolic links");
    fs::remove_all(sub);

    EXPECT_EQ(WriteWholeFile(folder.File("fresh.pdf"), std::string(100000, 'x')), "");
    EXPECT_EQ(ReadFileBytes(folder.File("fresh.pdf")).size(), 100000u);
    EXPECT_EQ(OtherFiles(folder.Path(), {"out.pdf", "link.pdf", "fresh.pdf"}), 0);
}

TEST(SafeFile, FailuresLeaveTheTargetAndNoTemporaryFile) {
    TTempDir folder;
    const std::string readOnly = folder.Write("ro.ini", "keep");
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_EQ(WriteWholeFile(readOnly, "lost"), "Permission denied");
    EXPECT_EQ(ReadFileBytes(readOnly), "keep");

    fs::create_directory(folder.File("sub"));
    EXPECT_EQ(WriteWholeFile(folder.File("sub"), "x"), "Is a directory");
    ::chmod(folder.File("sub").c_str(), 0555);
    EXPECT_EQ(WriteWholeFile(folder.File("sub/new.ini"), "x"), "Permission denied");
    EXPECT_EQ(WriteWholeFile(folder.File("missing/new.ini"), "x"), "No such file or directory");
    EXPECT_EQ(WriteWholeFile("/dev/full", "x"), "No space left on device");

    // A write the file system refuses half-way: the file-size limit stands in for a full
    // disk where mounting a small one is not allowed.
    const std::string target = folder.Write("big.pdf", "old");
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string reason = WriteWholeFile(target, std::string(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(reason, "File too large");
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(OtherFiles(folder.Path(), {"ro.ini", "sub", "big.pdf"}), 0);
}

TEST(SafeFile, AFullDiskLeavesTheTargetAndNoTemporaryFile) {
    TTempDir folder;
    fs::create_directory(folder.File("tiny"));
    if (::mount("tmpfs", folder.File("tiny").c_str(), "tmpfs", 0, "size=32k") != 0) {
        GTEST_SKIP()
            << "this process may not mount a small disk (" << std::strerror(errno)
            << "); the file-size limit of FailuresLeaveTheTargetAndNoTemporaryFile stands in";
    }
    const std::string onTiny = folder.Write("tiny/t.pdf", "old");
    EXPECT_EQ(WriteWholeFile(onTiny, std::string(200000, 'x')), "No space left on device");
    EXPECT_EQ(ReadFileBytes(onTiny), "old");
    EXPECT_EQ(OtherFiles(folder.File("tiny"), {"t.pdf"}), 0);
    ::umount(folder.File("tiny").c_str());
}

}  // namespace
}  // namespace ostrel

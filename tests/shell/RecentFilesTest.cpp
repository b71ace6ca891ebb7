#include <gtest/gtest.h>

#include "formats/TextLines.h"
#include "shell/RecentFiles.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

TEST(RecentFiles, NewestFirstCaseSensitiveAndAtMostTen) {
    TMRUFileList list;
    for (int i = 0; i < 11; ++i) list.Add("/data/f" + std::to_string(i) + ".msi");
    ASSERT_EQ(list.Items().size(), 10u);
    EXPECT_EQ(list.Items().front(), "/data/f10.msi");
    EXPECT_EQ(list.Items().back(), "/data/f1.msi") << "the first file opened is gone";
    list.Add("/data/f3.msi");
    EXPECT_EQ(list.Items().front(), "/data/f3.msi") << "moved up";
    EXPECT_EQ(list.Items().size(), 10u);
    list.Add("/DATA/F3.MSI");
    EXPECT_EQ(list.Items().front(), "/DATA/F3.MSI") << "another file on Linux";
    EXPECT_EQ(list.Items()[1], "/data/f3.msi");
    EXPECT_EQ(list.Items().back(), "/data/f2.msi");
    list.Remove("/data/F5.msi");
    EXPECT_EQ(list.Items().size(), 10u) << "no entry of that spelling";
    list.Remove("/data/f5.msi");
    EXPECT_EQ(list.Items().size(), 9u);
    list.Remove("/not/there");
    EXPECT_EQ(list.Items().size(), 9u);
    list.Clear();
    EXPECT_TRUE(list.Items().empty());
}

TEST(RecentFiles, StoredAsFnLinesInTheirOwnSection) {
    TTempDir folder;
    const std::string ini = folder.Write(
        "settings.ini",
        "[MainForm]\r\nFOpenPath=C:\\Data\\\r\n[MRU Items]\r\nF0=C:\\Program Files\\x;y,z.msi\r\n"
        "Zed=/a=b.txt\r\n[Options]\r\nFShowExtensions=1\r\n");
    TMRUFileList list;
    list.Load(ini);
    ASSERT_EQ(list.Items(), (std::vector<std::string>{"C:\\Program Files\\x;y,z.msi", "/a=b.txt"}));
    list.Add("/new.vwa");
    list.Save(ini);
    const std::string text = ReadFileBytes(ini);
    EXPECT_NE(text.find("[MRU Items]\r\nF0=/new.vwa\r\nF1=C:\\Program Files\\x;y,z.msi\r\n"
                        "F2=/a=b.txt\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("FOpenPath=C:\\Data\\"), std::string::npos);
    EXPECT_NE(text.find("FShowExtensions=1"), std::string::npos);

    std::string twelve = "[MRU Items]\r\n";
    for (int i = 0; i < 12; ++i)
        twelve += "F" + std::to_string(i) + "=/f" + std::to_string(i) + "\r\n";
    list.Load(folder.Write("twelve.ini", twelve));
    EXPECT_EQ(list.Items().size(), 12u) << "loading does not cut the list";
    list.Add("/g");
    EXPECT_EQ(list.Items().size(), 10u);

    list.Clear();
    list.Save(ini);
    EXPECT_EQ(ReadFileBytes(ini).find("MRU"), std::string::npos)
        << "an empty list leaves no section";
    list.Load(folder.File("missing.ini"));
    EXPECT_TRUE(list.Items().empty());
    list.Add("/x");
    EXPECT_NO_THROW(list.Save(folder.File("no/such/folder/settings.ini")));
}

TEST(RecentFiles, EveryPathReadsBackByteForByteAndOldEntriesReadAsBefore) {
    TTempDir folder;
    const std::vector<std::string> paths = {
        "/data/two\nlines.msi", "/data/ends in a blank ",        " /data/starts.msi",
        "\"quoted\"",           "/data/tab\there\r\x01\x7F.msi", "/data/caf\xE9 \"x\" \\y.msi",
        "C:\\Data\\a.txt"};
    TMRUFileList list;
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) list.Add(*it);
    const std::string ini = folder.File("settings.ini");
    list.Save(ini);
    const std::string text = ReadFileBytes(ini);
    EXPECT_NE(text.find("F0=\"/data/two\\nlines.msi\"\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("F6=C:\\Data\\a.txt\r\n"), std::string::npos) << "plain stays plain";
    TMRUFileList back;
    back.Load(ini);
    EXPECT_EQ(back.Items(), paths);

    // Entries written before quoting existed: only a well-formed quoted value is decoded.
    back.Load(folder.Write("old.ini",
                           "[MRU Items]\r\nF0=C:\\x\\\"a\r\nF1=\"half\r\n"
                           "F2=\"bad \\q\"\r\nF3=\"a\"b\"\r\nF4=\"\\x4\"\r\n"));
    EXPECT_EQ(back.Items(), (std::vector<std::string>{"C:\\x\\\"a", "\"half", "\"bad \\q\"",
                                                      "\"a\"b\"", "\"\\x4\""}));
}

TEST(RecentFiles, AccessKeysRunFrom1To9Then0ThenLetters) {
    EXPECT_EQ(RecentFileAccessKey(0), "1");
    EXPECT_EQ(RecentFileAccessKey(8), "9");
    EXPECT_EQ(RecentFileAccessKey(9), "0");
    EXPECT_EQ(RecentFileAccessKey(11), "B");
    EXPECT_EQ(RecentFileAccessKey(35), "Z");
    EXPECT_EQ(RecentFileAccessKey(36), "");
    EXPECT_EQ(RecentFileAccessKey(-1), "");
}

int CharWidth(const std::string& text) {
    return static_cast<int>(text.size());
}

TEST(RecentFiles, PathsShortenFolderByFolderUntilTheyFit) {
    const std::string path = "C:\\data\\antennas\\2016\\panel.txt";
    std::vector<std::string> steps;
    for (int limit = 100; limit >= 0; --limit) {
        const std::string shortened = ShortenPath(path, limit, CharWidth);
        if (steps.empty() || steps.back() != shortened) steps.push_back(shortened);
    }
    EXPECT_EQ(steps, (std::vector<std::string>{path, "C:\\...\\antennas\\2016\\panel.txt",
                                               "C:\\...\\2016\\panel.txt", "C:\\...\\panel.txt",
                                               "...\\panel.txt", "panel.txt"}));
    EXPECT_EQ(ShortenPath("/home/rf/antennas/panel.txt", 20, CharWidth), "/.../panel.txt");
    EXPECT_EQ(ShortenPath("/home/rf/antennas/panel.txt", 13, CharWidth), ".../panel.txt");
    EXPECT_EQ(ShortenPath("/home/rf/antennas/panel.txt", 23, CharWidth), "/.../antennas/panel.txt");
    EXPECT_EQ(ShortenPath("/panel.txt", 3, CharWidth), "panel.txt");
    EXPECT_EQ(ShortenPath("panel.txt", 3, CharWidth), "panel.txt");
    EXPECT_EQ(RecentFileCaption(2, "/a/b.msi", 200, CharWidth), "&3 /a/b.msi");
}

}  // namespace
}  // namespace ostrel

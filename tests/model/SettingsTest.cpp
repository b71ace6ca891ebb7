#include "model/Settings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/TextLines.h"
#include "model/ProfileFile.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

void ExpectDefaults(const TSettings& settings) {
    EXPECT_EQ(settings.FOpenPath, "");
    EXPECT_FALSE(settings.FAllowDuplicates);
    EXPECT_FALSE(settings.FShowExtensions);
    EXPECT_EQ(settings.FHCut, THCut::Azimuth);
    EXPECT_DOUBLE_EQ(settings.FRadialFloor, -40);
    EXPECT_FALSE(settings.FLogScale);
}

const std::string kMruSection =
    "[MRU Items]\r\n"
    "F0=C:\\Program Files\\x;y,z.msi\r\n"
    "F1=D:\\antennas\\panel 2.txt\r\n"
    "F2=\\\\server\\share\\a,b;c.vwa\r\n"
    "F10=/home/user/pattern.pln\r\n";

TEST(Settings, RoundTripsThePersistedEntriesAndStartsWithDefaultsWithoutAFile) {
    TTempDir dir;
    TSettings first(dir.File("config/OstrelViewer/settings.ini"));  // Save creates the folder
    first.Load();
    ExpectDefaults(first);

    first.FOpenPath = "C:\\Program Files\\Ostrel; data,1\\";
    first.FAllowDuplicates = false;
    first.FShowExtensions = true;
    first.Save();
    EXPECT_EQ(ReadFileBytes(first.FIniPath),
              "[MainForm]\r\nFOpenPath=C:\\Program Files\\Ostrel; data,1\\\r\n\r\n"
              "[Options]\r\nFAllowDuplicates=0\r\nFShowExtensions=1\r\n"
              "FDensityThreshold=500\r\n");

    TSettings second(first.FIniPath);
    second.Load();
    EXPECT_EQ(second.FOpenPath, first.FOpenPath);
    EXPECT_FALSE(second.FAllowDuplicates);
    EXPECT_TRUE(second.FShowExtensions);

    // The table's filter is kept only while there is one, on one line.
    second.FFilterText = "freq:1710-2170 \"a;b,c\"\ngain:>=17";
    second.Save();
    TSettings third(first.FIniPath);
    third.Load();
    EXPECT_EQ(third.FFilterText, "freq:1710-2170 \"a;b,c\" gain:>=17");
    third.FFilterText.clear();
    third.Save();
    EXPECT_EQ(ReadFileBytes(first.FIniPath),
              "[MainForm]\r\nFOpenPath=C:\\Program Files\\Ostrel; data,1\\\r\n\r\n"
              "[Options]\r\nFAllowDuplicates=0\r\nFShowExtensions=1\r\n"
              "FDensityThreshold=500\r\n");
}

TEST(Settings, BooleansAreIntegersAndAnythingElseIsTheDefault) {
    TTempDir dir;
    for (const auto& [stored, expected] : std::vector<std::pair<std::string, bool>>{{"2", true},
                                                                                    {"$1", true},
                                                                                    {"0x1", true},
                                                                                    {"1", true},
                                                                                    {"0", false},
                                                                                    {"yes", false},
                                                                                    {"true", false},
                                                                                    {"", false}}) {
        const std::string path =
            dir.Write("settings.ini", "[Options]\r\nFShowExtensions=" + stored +
                                          "\r\nFAllowDuplicates=" + stored + "\r\n");
        TSettings settings(path);
        settings.FShowExtensions = !expected;  // Load must overwrite, not keep
        settings.FAllowDuplicates = !expected;
        settings.Load();
        EXPECT_EQ(settings.FShowExtensions, expected) << stored;
        EXPECT_EQ(settings.FAllowDuplicates, expected) << stored;
    }
}

TEST(Settings, DensityThresholdIsAWholeCountOfAtLeastOne) {
    TTempDir dir;
    for (const auto& [stored, expected] : std::vector<std::pair<std::string, int>>{
             {"1200", 1200}, {"1", 1}, {"0", 500}, {"-20", 500}, {"many", 500}, {"", 500}}) {
        TSettings settings(
            dir.Write("settings.ini", "[Options]\r\nFDensityThreshold=" + stored + "\r\n"));
        settings.FDensityThreshold = 7;  // Load must overwrite, not keep
        settings.Load();
        EXPECT_EQ(settings.FDensityThreshold, expected) << stored;
    }
    TSettings changed(dir.File("settings.ini"));
    changed.FDensityThreshold = 20000;
    changed.Save();
    TSettings reread(changed.FIniPath);
    reread.Load();
    EXPECT_EQ(reread.FDensityThreshold, 20000);
}

TEST(Settings, MalformedOrUnreadableFilesGiveDefaultsSilently) {
    TTempDir dir;
    for (const std::string& text :
         {std::string("[Options\r\nFShowExtensions=1\r\n"), std::string("FShowExtensions=1\n"),
          std::string("[Options]\nFShowExtensions\n[MainForm]\nFOpenPath\n"),
          std::string("\0\xff\xfe[\x01]\r\r\n==\n", 11), std::string()}) {
        TSettings settings(dir.Write("settings.ini", text));
        settings.FOpenPath = "/stale/";
        settings.FShowExtensions = true;
        EXPECT_NO_THROW(settings.Load());
        ExpectDefaults(settings);
    }

    // A folder where the file should be cannot be read; it is also not replaced on Save.
    std::filesystem::create_directory(dir.File("folder.ini"));
    TSettings settings(dir.File("folder.ini"));
    EXPECT_NO_THROW(settings.Load());
    ExpectDefaults(settings);
    EXPECT_NO_THROW(settings.Save());
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.ini")));
}

TEST(Settings, UnwritablePlacesLoseTheChangesSilently) {
    TTempDir dir;
    const std::string regular = dir.Write("plain.txt", "x");
    // Tests run as root, for whom permission bits mean nothing; a path under a regular file
    // or in /proc cannot be written by anyone.
    for (const std::string& path : {regular + "/settings.ini", regular + "/sub/settings.ini",
                                    std::string("/proc/ostrel-settings-test/settings.ini"),
                                    std::string("/proc/ostrel-settings-test.ini")}) {
        TSettings settings(path);
        settings.FAllowDuplicates = true;
        EXPECT_NO_THROW(settings.Save()) << path;
        EXPECT_NO_THROW(settings.Load()) << path;
        EXPECT_FALSE(settings.FAllowDuplicates) << path;
    }
    EXPECT_EQ(ReadFileBytes(regular), "x");
}

TEST(Settings, ReadOnlyFilesAndFoldersStayAsTheyAreAndStartUpSaysSo) {
    TTempDir dir;
    const std::string text = "[Options]\r\nFAllowDuplicates=0\r\n; kept as written\r\n";
    const std::string readOnly = dir.Write("settings.ini", text);
    std::filesystem::create_directory(dir.File("locked"));
    const std::string inLockedFolder = dir.Write("locked/settings.ini", text);
    ::chmod(readOnly.c_str(), 0444);
    ::chmod(dir.File("locked").c_str(), 0555);
    for (const std::string& path : {readOnly, inLockedFolder}) {
        EXPECT_EQ(PrepareSettingsFile(path), "Permission denied") << path;
        TSettings settings(path);
        settings.FAllowDuplicates = true;
        settings.Save();
        EXPECT_EQ(ReadFileBytes(path), text) << path;
    }
    EXPECT_EQ(PrepareSettingsFile(dir.File("new/settings.ini")), "") << "created when saved";
    // One too large to read is kept as well, and said so at start the same way.
    std::filesystem::create_directory(dir.File("large"));
    const std::string large = dir.Write("large/settings.ini", text);
    std::filesystem::resize_file(large, 100 * 1024 * 1024);
    EXPECT_EQ(PrepareSettingsFile(large), "Too large for a settings file (more than 4 MiB)");
    TSettings settings(large);
    settings.FAllowDuplicates = true;
    settings.Save();
    EXPECT_EQ(std::filesystem::file_size(large), 100u * 1024 * 1024);
    ::chmod(dir.File("locked").c_str(), 0755);
}

TEST(Settings, StartUpRemovesOnlyOurOwnStaleTemporaryFiles) {
    TTempDir dir;
    const std::string path = dir.Write("settings.ini", "[Options]\r\n");
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    const std::string stale[] = {".settings.ini.tmp-0f3a9c21b7e4", ".settings.ini.tmp-ab12cd34"};
    const std::string kept[] = {".settings.ini.tmp-fresh123", ".settings.ini.tmp-not ours",
                                ".other.ini.tmp-ab12cd34", "settings.ini"};
    for (const std::string& name : {stale[0], stale[1], kept[1], kept[2]}) {
        std::filesystem::last_write_time(dir.Write(name, "half"), old);
    }
    dir.Write(kept[0], "half");  // just written: another copy of the program may be saving
    EXPECT_EQ(PrepareSettingsFile(path), "");
    for (const std::string& name : stale) EXPECT_FALSE(std::filesystem::exists(dir.File(name)));
    for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(dir.File(name)));
}

TEST(Settings, RecentFilesSectionSurvivesAndSurvivesUs) {
    TTempDir dir;
    const std::string path = dir.Write(
        "settings.ini", kMruSection + "\r\n[Options]\r\nFAllowDuplicates=1\r\nOther=kept\r\n");
    TSettings settings(path);
    settings.Load();
    EXPECT_TRUE(settings.FAllowDuplicates);
    settings.FOpenPath = "/data/";
    settings.Save();
    EXPECT_EQ(ReadFileBytes(path),
              kMruSection +
                  "\r\n[Options]\r\nFAllowDuplicates=1\r\nOther=kept\r\n"
                  "FShowExtensions=0\r\nFDensityThreshold=500\r\n\r\n[MainForm]\r\n"
                  "FOpenPath=/data/\r\n");

    TProfileFile ini;
    ini.Load(path);
    EXPECT_EQ(ini.SectionKeys("MRU Items"), (std::vector<std::string>{"F0", "F1", "F2", "F10"}));
    EXPECT_EQ(ini.ReadString("MRU Items", "F0", ""), "C:\\Program Files\\x;y,z.msi");

    // The recent-files list rewrites its section the other way round: erase, then write.
    ini.EraseSection("MRU Items");
    ini.WriteString("MRU Items", "F0", "E:\\new file;1.txt");
    ini.Save(path);
    TSettings reloaded(path);
    reloaded.Load();
    EXPECT_EQ(reloaded.FOpenPath, "/data/");
    EXPECT_TRUE(reloaded.FAllowDuplicates);
    TProfileFile written;
    written.Load(path);
    EXPECT_EQ(written.SectionEntries("MRU Items").size(), 1u);
    EXPECT_EQ(written.ReadString("MRU Items", "F0", ""), "E:\\new file;1.txt");
}

TEST(Settings, ViewStateIsNeverWritten) {
    TTempDir dir;
    TSettings settings(dir.File("settings.ini"));
    settings.FHCut = THCut::Horizontal;
    settings.FRadialFloor = -20;
    settings.FLogScale = true;
    settings.Save();
    const std::string text = ReadFileBytes(settings.FIniPath);
    EXPECT_FALSE(text.empty());
    for (const char* name : {"FHCut", "FUseAzimuth", "FRadialFloor", "FLogScale", "-20"}) {
        EXPECT_EQ(text.find(name), std::string::npos) << name;
    }
    TSettings restarted(settings.FIniPath);
    restarted.Load();
    ExpectDefaults(restarted);
}

TEST(Settings, GetSettingsCreatesOnceLoadsAndSavesAtTheEnd) {
    TTempDir dir;
    const std::string path =
        dir.Write("settings.ini", "[Options]\r\nFAllowDuplicates=1\r\n" + kMruSection);
    DiscardSettings();
    SetSettingsFilePath(path);
    TSettings& settings = GetSettings();
    EXPECT_EQ(settings.FIniPath, path);
    EXPECT_TRUE(settings.FAllowDuplicates);
    EXPECT_EQ(&GetSettings(), &settings);

    settings.FOpenPath = "/patterns/";
    settings.FLogScale = true;
    SaveAndFreeSettings();
    EXPECT_NE(ReadFileBytes(path).find("[MainForm]\r\nFOpenPath=/patterns/\r\n"),
              std::string::npos);
    EXPECT_NE(ReadFileBytes(path).find(kMruSection), std::string::npos);

    TSettings& restarted = GetSettings();
    EXPECT_EQ(restarted.FOpenPath, "/patterns/");
    EXPECT_FALSE(restarted.FLogScale);

    // Leave no file behind for later users of the shared object.
    DiscardSettings();
    SetSettingsFilePath("");
    GetSettings().FOpenPath = "/elsewhere/";
    SaveAndFreeSettings();
    EXPECT_EQ(ReadFileBytes(path).find("/elsewhere/"), std::string::npos);
}

TEST(Settings, DefaultPathIsBesideTheProgramOrInTheUserConfigFolder) {
    EXPECT_EQ(ChooseSettingsFilePath("/opt/ostrel", true, false, "/xdg", "/home/u"),
              "/opt/ostrel/settings.ini");
    EXPECT_EQ(ChooseSettingsFilePath("/opt/ostrel", false, false, "/xdg", "/home/u"),
              "/xdg/OstrelViewer/settings.ini");
    EXPECT_EQ(ChooseSettingsFilePath("/opt/ostrel", false, false, "", "/home/u"),
              "/home/u/.config/OstrelViewer/settings.ini");
    EXPECT_EQ(ChooseSettingsFilePath("/opt/ostrel", false, false, "relative/xdg", "/home/u"),
              "/home/u/.config/OstrelViewer/settings.ini");
    EXPECT_EQ(ChooseSettingsFilePath("/opt/ostrel", false, false, nullptr, nullptr),
              "/opt/ostrel/settings.ini");
    EXPECT_EQ(ChooseSettingsFilePath("", false, false, nullptr, "/root"),
              "/root/.config/OstrelViewer/settings.ini");
    EXPECT_EQ(ChooseSettingsFilePath("", false, false, nullptr, nullptr), "");
    // The installed copy never writes beside itself, not even where it could (as root).
    EXPECT_EQ(ChooseSettingsFilePath("/usr/bin", true, true, "/xdg", "/root"),
              "/xdg/OstrelViewer/settings.ini");
    EXPECT_EQ(ChooseSettingsFilePath("/usr/bin", true, true, nullptr, "/home/u"),
              "/home/u/.config/OstrelViewer/settings.ini");
    EXPECT_EQ(ChooseSettingsFilePath("/usr/bin", true, true, nullptr, nullptr), "");

    TTempDir dir;
    EXPECT_TRUE(CanCreateFilesIn(dir.Path()));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));  // the probe is removed again
    EXPECT_FALSE(CanCreateFilesIn(dir.Write("plain.txt", "x")));
    EXPECT_FALSE(CanCreateFilesIn("/proc"));
    EXPECT_FALSE(CanCreateFilesIn(""));

    // The test program lives in its (writable) build folder.
    const auto program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(DefaultSettingsFilePath(), (program.parent_path() / "settings.ini").string());
}

}  // namespace
}  // namespace ostrel

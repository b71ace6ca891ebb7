#include "model/ProfileFile.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/TextLines.h"
#include "model/Errors.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

TProfileFile Parse(std::string_view text) {
    TProfileFile ini;
    ini.LoadFromText(text);
    return ini;
}

TEST(ProfileFile, IntegersAreDecimalOrHexWithDollarOr0x) {
    EXPECT_EQ(ParseProfileInteger("2"), 2);
    EXPECT_EQ(ParseProfileInteger(" 7 "), 7);
    EXPECT_EQ(ParseProfileInteger("-3"), -3);
    EXPECT_EQ(ParseProfileInteger("+4"), 4);
    EXPECT_EQ(ParseProfileInteger("$1"), 1);
    EXPECT_EQ(ParseProfileInteger("0x1"), 1);
    EXPECT_EQ(ParseProfileInteger("0X1f"), 31);
    EXPECT_EQ(ParseProfileInteger("$Ff"), 255);
    EXPECT_EQ(ParseProfileInteger("-$10"), -16);
    EXPECT_EQ(ParseProfileInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseProfileInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseProfileInteger("-2147483648"), -2147483647 - 1);

    for (const char* notInteger : {"", " ", "yes", "true", "1.0", "1a", "0x", "$", "0x1G", "-",
                                   "2147483648", "$100000000", "1 2", "٣"}) {
        EXPECT_EQ(ParseProfileInteger(notInteger), std::nullopt) << notInteger;
    }
}

TEST(ProfileFile, ReadsTypedValuesWithDefaultsForMissingOrBadOnes) {
    const TProfileFile ini =
        Parse("[Options]\r\nTwo=2\r\nDollar=$1\r\nHex=0x1\r\nZero=0\r\nWord=yes\r\nEmpty=\r\n");
    EXPECT_TRUE(ini.ReadBool("Options", "Two", false));
    EXPECT_TRUE(ini.ReadBool("Options", "Dollar", false));
    EXPECT_TRUE(ini.ReadBool("Options", "Hex", false));
    EXPECT_FALSE(ini.ReadBool("Options", "Zero", true));
    EXPECT_FALSE(ini.ReadBool("Options", "Word", false));
    EXPECT_TRUE(ini.ReadBool("Options", "Word", true));
    EXPECT_TRUE(ini.ReadBool("Options", "Empty", true));
    EXPECT_TRUE(ini.ReadBool("Options", "Missing", true));
    EXPECT_TRUE(ini.ReadBool("Nowhere", "Two", true));

    EXPECT_EQ(ini.ReadInteger("Options", "Two", -5), 2);
    EXPECT_EQ(ini.ReadInteger("Options", "Word", -5), -5);
    EXPECT_EQ(ini.ReadString("Options", "Word", "x"), "yes");
    EXPECT_EQ(ini.ReadString("Options", "Empty", "x"), "");
    EXPECT_EQ(ini.ReadString("Options", "Missing", "x"), "x");
}

TEST(ProfileFile, NamesMatchWithoutLetterCaseAndValuesStayAsWritten) {
    const TProfileFile ini = Parse(
        "[mainform]\n"
        "fopenpath=C:\\Program Files\\Ostrel Data\\\n"
        "[MRU Items]\n"
        "F0=C:\\Program Files\\x;y,z.msi\n"
        "  Spaced  =   value with  inner blanks   \n"
        "Quoted=\"a b\"\n"
        "Equals=a=b\n"
        "Escapes=\\t\\n%20\n");
    EXPECT_EQ(ini.ReadString("MainForm", "FOpenPath", ""), "C:\\Program Files\\Ostrel Data\\");
    EXPECT_EQ(ini.ReadString("mru items", "f0", ""), "C:\\Program Files\\x;y,z.msi");
    EXPECT_EQ(ini.ReadString("MRU Items", "spaced", ""), "value with  inner blanks");
    EXPECT_EQ(ini.ReadString("MRU Items", "Quoted", ""), "\"a b\"");
    EXPECT_EQ(ini.ReadString("MRU Items", "Equals", ""), "a=b");
    EXPECT_EQ(ini.ReadString("MRU Items", "Escapes", ""), "\\t\\n%20");
    EXPECT_TRUE(ini.SectionExists("MAINFORM"));
    EXPECT_FALSE(ini.SectionExists("MRU%20Items"));
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"mainform", "MRU Items"}));
}

TEST(ProfileFile, AcceptsEveryLineEndAndWritesCrLf) {
    const std::string expected = "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n";
    for (const char* text : {"[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3", "[A]\nx=1\ny=2\n[B]\nz=3\n",
                             "[A]\rx=1\ry=2\r[B]\rz=3\r", "[A]\r\nx=1\ny=2\r[B]\n\rz=3"}) {
        const TProfileFile ini = Parse(text);
        EXPECT_EQ(ini.ReadString("A", "y", ""), "2") << text;
        EXPECT_EQ(ini.ReadString("B", "z", ""), "3") << text;
        if (std::string_view(text).find("\n\r") == std::string_view::npos) {
            EXPECT_EQ(ini.SaveToText(), expected) << text;
        }
    }
}

TEST(ProfileFile, CommentsBlanksAndMalformedLinesAreKeptButNotRead) {
    const std::string text =
        "\xEF\xBB\xBF"
        "orphan=before any section\r\n"
        "; a comment\r\n"
        "[Options]\r\n"
        "\r\n"
        ";FShowExtensions=1\r\n"
        "just words\r\n"
        "=no key\r\n"
        "[unclosed\r\n"
        "FShowExtensions=0\r\n"
        "FShowExtensions=1\r\n"
        "   \r\n"
        "\x01\xff binary=\x80\r\n";
    TProfileFile ini = Parse(text);
    EXPECT_EQ(ini.SaveToText(), text);  // untouched text survives byte for byte
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Options"}));
    EXPECT_FALSE(ini.ValueExists("", "orphan"));
    EXPECT_EQ(ini.ReadString("Options", "FShowExtensions", ""), "0");  // the first one counts
    EXPECT_EQ(ini.SectionKeys("Options"),
              (std::vector<std::string>{"FShowExtensions", "\x01\xff binary"}));
    EXPECT_EQ(ini.SectionEntries("Options").size(), 3u);

    ini.WriteString("Options", "FShowExtensions", "1");
    EXPECT_NE(ini.SaveToText().find("\r\nFShowExtensions=1\r\nFShowExtensions=1\r\n"),
              std::string::npos);
    EXPECT_NE(ini.SaveToText().find("; a comment\r\n[Options]\r\n\r\n;FShow"), std::string::npos);
}

TEST(ProfileFile, KeysKeepFileOrderAndOtherSectionsSurviveWrites) {
    std::string mru = "[MRU Items]\r\n";
    std::vector<std::string> expectedKeys;
    for (int i : {0, 1, 2, 10, 11, 3}) {
        mru +=
            "F" + std::to_string(i) + "=C:\\Program Files\\x;y,z " + std::to_string(i) + ".msi\r\n";
        expectedKeys.push_back("F" + std::to_string(i));
    }
    TProfileFile ini = Parse("[MainForm]\r\nFOpenPath=/a/\r\n\r\n" + mru);
    EXPECT_EQ(ini.SectionKeys("MRU Items"), expectedKeys);

    ini.WriteString("MainForm", "FOpenPath", "/b/");
    ini.WriteBool("Options", "FAllowDuplicates", true);
    ini.WriteBool("Options", "FShowExtensions", false);
    ini.WriteInteger("MainForm", "Count", -12);
    EXPECT_EQ(ini.SaveToText(), "[MainForm]\r\nFOpenPath=/b/\r\nCount=-12\r\n\r\n" + mru +
                                    "\r\n[Options]\r\nFAllowDuplicates=1\r\nFShowExtensions=0\r\n");
    EXPECT_EQ(ini.SectionKeys("MRU Items"), expectedKeys);
}

TEST(ProfileFile, EraseSectionRemovesOnlyThatSection) {
    TProfileFile ini = Parse("[A]\nx=1\n[MRU Items]\nF0=a\n[B]\ny=2\n[mru items]\nF1=b\n");
    ini.EraseSection("MRU ITEMS");
    EXPECT_EQ(ini.SaveToText(), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    ini.WriteString("MRU Items", "F0", "c");
    ini.DeleteKey("A", "X");
    EXPECT_EQ(ini.SaveToText(), "[A]\r\n[B]\r\ny=2\r\n\r\n[MRU Items]\r\nF0=c\r\n");
    ini.EraseSection("Nothing");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"A", "B", "MRU Items"}));
}

TEST(ProfileFile, RefusesNamesAndValuesTheFormatCannotHold) {
    TProfileFile ini;
    for (const auto& [section, key, value] :
         std::vector<std::array<const char*, 3>>{{"", "k", "v"},
                                                 {"A]B", "k", "v"},
                                                 {" A", "k", "v"},
                                                 {"A", "", "v"},
                                                 {"A", "k=", "v"},
                                                 {"A", "[k", "v"},
                                                 {"A", ";k", "v"},
                                                 {"A", "k", "line\nbreak"},
                                                 {"A", "k", "line\rbreak"}}) {
        EXPECT_THROW(ini.WriteString(section, key, value), EOstrelError) << section << key << value;
    }
    EXPECT_EQ(ini.SaveToText(), "");
    ini.WriteString("A", "k", "");
    EXPECT_EQ(ini.SaveToText(), "[A]\r\nk=\r\n");
}

TEST(ProfileFile, SavesAndLoadsFilesWithoutLeavingTemporaryFiles) {
    TTempDir dir;
    const std::string path = dir.File("settings.ini");
    TProfileFile ini;
    ini.Load(path);  // missing: empty
    EXPECT_TRUE(ini.SectionNames().empty());
    ini.WriteString("MRU Items", "F0", "C:\\Program Files\\x;y,z.msi");
    ini.Save(path);
    ini.WriteString("MRU Items", "F1", "D:\\b.txt");
    ini.Save(path);  // replaces the existing file
    EXPECT_EQ(ReadFileBytes(path),
              "[MRU Items]\r\nF0=C:\\Program Files\\x;y,z.msi\r\nF1=D:\\b.txt\r\n");

    TProfileFile again;
    again.Load(path);
    EXPECT_EQ(again.SaveToText(), ini.SaveToText());
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "settings.ini");
    }
    EXPECT_EQ(files, 1u);

    // Through a symbolic link the target is rewritten and the link stays a link.
    const std::string link = dir.File("link.ini");
    std::filesystem::create_symlink(path, link);
    again.WriteString("Options", "FShowExtensions", "1");
    again.Save(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_NE(ReadFileBytes(path).find("FShowExtensions=1"), std::string::npos);
}

TEST(ProfileFile, FileErrorsAreReportedAsFileErrors) {
    TTempDir dir;
    const std::string regular = dir.Write("plain.txt", "not a folder");
    TProfileFile ini;
    ini.WriteString("A", "k", "v");
    // Even root cannot create a file under a regular file or in /proc.
    EXPECT_THROW(ini.Save(regular + "/settings.ini"), EFileError);
    EXPECT_THROW(ini.Save("/proc/ostrel-settings-test.ini"), EFileError);
    EXPECT_EQ(ReadFileBytes(regular), "not a folder");

    EXPECT_NO_THROW(ini.Load(regular + "/settings.ini"));  // cannot exist: empty
    EXPECT_TRUE(ini.SectionNames().empty());
    std::filesystem::create_directory(dir.File("folder.ini"));
    EXPECT_THROW(ini.Load(dir.File("folder.ini")), EFileError);
}

}  // namespace
}  // namespace ostrel

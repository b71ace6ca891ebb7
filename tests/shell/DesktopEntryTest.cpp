#include <gtest/gtest.h>

#include "shell/DesktopEntry.h"

namespace ostrel {
namespace {

using TArgs = std::vector<std::string>;

TEST(DesktopEntry, ReadsOnlyTheDesktopEntryGroup) {
    const auto entry = ParseDesktopEntry(
        "# a comment\n"
        "[Desktop Entry]\r\n"
        "Name=Text Editor\n"
        "Type = Application\n"
        "Exec[de]=falsch %U\n"
        "Exec=  gnome-text-editor\\s--new-window %U\n"
        "Exec=second %F\n"
        "TryExec=gnome-text-editor\n"
        "\n"
        "[Desktop Action new-window]\n"
        "Exec=gnome-text-editor --new-window\n"
        "Hidden=true\n");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->Type, "Application");
    EXPECT_EQ(entry->Exec, "gnome-text-editor --new-window %U")
        << "localised keys and repeats are skipped, \\s is a blank, leading blanks go";
    EXPECT_EQ(entry->TryExec, "gnome-text-editor");
    EXPECT_FALSE(entry->Hidden) << "keys of an action group do not count";
    EXPECT_TRUE(entry->CanOpenFiles());

    const auto hidden = ParseDesktopEntry("[Desktop Entry]\nType=Application\nExec=x\nHidden=true");
    ASSERT_TRUE(hidden.has_value());
    EXPECT_FALSE(hidden->CanOpenFiles());
    const auto link = ParseDesktopEntry("[Desktop Entry]\nType=Link\nExec=x\n");
    ASSERT_TRUE(link.has_value());
    EXPECT_FALSE(link->CanOpenFiles());
    const auto noExec = ParseDesktopEntry("[Desktop Entry]\nType=Application\n");
    ASSERT_TRUE(noExec.has_value());
    EXPECT_FALSE(noExec->CanOpenFiles());
    EXPECT_FALSE(ParseDesktopEntry("[Other]\nExec=x\n").has_value());
    EXPECT_FALSE(ParseDesktopEntry("").has_value());
}

TEST(DesktopEntry, UnescapesOnlyTheStringEscapes) {
    EXPECT_EQ(UnescapeDesktopValue("a\\sb\\tc\\nd\\re\\\\f"), "a b\tc\nd\re\\f");
    EXPECT_EQ(UnescapeDesktopValue("\\\"quoted\\\" \\$HOME"), "\\\"quoted\\\" \\$HOME")
        << "Exec's own escapes survive for the quoting step";
    EXPECT_EQ(UnescapeDesktopValue("trailing\\"), "trailing\\");
    // The two steps together: \\$ in the file is \$ in the value, a literal $ in quotes.
    EXPECT_EQ(ExecCommandForFile(UnescapeDesktopValue("sh -c \"echo \\\\$HOME\""), "/f"),
              (TArgs{"sh", "-c", "echo $HOME", "/f"}));
}

TEST(DesktopEntry, FileFieldCodesBecomeThePathAsOneArgument) {
    const std::string path = "/home/ann/My Patterns/a \"b\" $(rm -rf ~); `x` 100%f.msi";
    EXPECT_EQ(ExecCommandForFile("gedit %U", path), (TArgs{"gedit", path}));
    EXPECT_EQ(ExecCommandForFile("kate -b %f", path), (TArgs{"kate", "-b", path}));
    EXPECT_EQ(ExecCommandForFile("mousepad %F", path), (TArgs{"mousepad", path}));
    EXPECT_EQ(ExecCommandForFile("ed --file=%u --x", path), (TArgs{"ed", "--file=" + path, "--x"}))
        << "a code inside an argument is replaced in place";
    EXPECT_EQ(ExecCommandForFile("leafpad", path), (TArgs{"leafpad", path}))
        << "without a file code the file goes last";
    EXPECT_EQ(ExecCommandForFile("xed %f %F", path), (TArgs{"xed", path}))
        << "only the first file code takes the one file";
    EXPECT_EQ(ExecCommandForFile("featherpad %F", ""), (TArgs{"featherpad", ""}));
}

TEST(DesktopEntry, DropsIconNameAndLocationCodes) {
    EXPECT_EQ(ExecCommandForFile("pluma %i --class=%c%k %f", "/p"),
              (TArgs{"pluma", "--class=", "/p"}));
    EXPECT_EQ(ExecCommandForFile("old %d %D %n %N %v %m %U", "/p"), (TArgs{"old", "/p"}));
    EXPECT_EQ(ExecCommandForFile("app 50%% %f", "/p"), (TArgs{"app", "50%", "/p"}));
    EXPECT_EQ(ExecCommandForFile("app \"\" %f", "/p"), (TArgs{"app", "", "/p"}))
        << "an empty quoted argument stays";
}

TEST(DesktopEntry, FollowsTheQuotingRules) {
    EXPECT_EQ(
        ExecCommandForFile(
            "\"/opt/My Editor/bin/edit\" --title \"A \\\"B\\\" \\$C \\`D\\` \\\\E\" %f", "/p"),
        (TArgs{"/opt/My Editor/bin/edit", "--title", "A \"B\" $C `D` \\E", "/p"}));
    EXPECT_EQ(ExecCommandForFile("app \"a\\nb\"", "/p"), (TArgs{"app", "a\\nb", "/p"}))
        << "other backslashes in quotes are literal";
    EXPECT_EQ(ExecCommandForFile("app \"%f\"", "/p"), (TArgs{"app", "%f", "/p"}))
        << "no field codes inside quotes";
    EXPECT_EQ(ExecCommandForFile("app \"5%%\"", "/p"), (TArgs{"app", "5%", "/p"}));
    EXPECT_EQ(ExecCommandForFile("sh -c 'exec ed \"$1\"' sh %f", "/p"),
              (TArgs{"sh", "-c", "exec ed \"$1\"", "sh", "/p"}));
    EXPECT_EQ(ExecCommandForFile("app a\\ b pre\"mid dle\"post", "/p"),
              (TArgs{"app", "a b", "premid dlepost", "/p"}));
    EXPECT_EQ(ExecCommandForFile("  app\t\t-x   %f  ", "/p"), (TArgs{"app", "-x", "/p"}));
}

TEST(DesktopEntry, RejectsMalformedExecLines) {
    EXPECT_FALSE(ExecCommandForFile("", "/p").has_value());
    EXPECT_FALSE(ExecCommandForFile("   ", "/p").has_value());
    EXPECT_FALSE(ExecCommandForFile("%i", "/p").has_value()) << "nothing left to run";
    EXPECT_FALSE(ExecCommandForFile("\"\" %f", "/p").has_value()) << "empty program";
    EXPECT_FALSE(ExecCommandForFile("app \"open", "/p").has_value());
    EXPECT_FALSE(ExecCommandForFile("app 'open", "/p").has_value());
    EXPECT_FALSE(ExecCommandForFile("app \\", "/p").has_value());
    EXPECT_FALSE(ExecCommandForFile("app %", "/p").has_value());
    EXPECT_FALSE(ExecCommandForFile("app %x", "/p").has_value());
    EXPECT_FALSE(ExecCommandForFile("%f --edit", "/p").has_value())
        << "the file must never be the program";
    EXPECT_FALSE(ExecCommandForFile("run%u", "/p").has_value());
}

TEST(DesktopEntry, DesktopIdsMapToSafeRelativePaths) {
    EXPECT_EQ(DesktopFileRelativePaths("org.gnome.TextEditor.desktop"),
              (TArgs{"org.gnome.TextEditor.desktop"}));
    EXPECT_EQ(DesktopFileRelativePaths("kde4-kate.desktop"),
              (TArgs{"kde4-kate.desktop", "kde4/kate.desktop"}));
    EXPECT_EQ(DesktopFileRelativePaths("a-b-c.desktop"),
              (TArgs{"a-b-c.desktop", "a/b-c.desktop", "a/b/c.desktop"}));
    EXPECT_EQ(DesktopFileRelativePaths("..-x.desktop"), (TArgs{"..-x.desktop"}))
        << "a dash never turns into a way out of the folder";
    EXPECT_EQ(DesktopFileRelativePaths("a--b.desktop"), (TArgs{"a--b.desktop", "a/-b.desktop"}))
        << "no empty folder name";
    EXPECT_TRUE(DesktopFileRelativePaths("../../etc/x.desktop").empty());
    EXPECT_TRUE(DesktopFileRelativePaths("gedit").empty());
    EXPECT_TRUE(DesktopFileRelativePaths(".desktop").empty());
    EXPECT_TRUE(DesktopFileRelativePaths("").empty());
}

TEST(DesktopEntry, ApplicationFoldersFollowTheXdgVariables) {
    EXPECT_EQ(XdgApplicationFolders(nullptr, "/home/ann", nullptr),
              (TArgs{"/home/ann/.local/share/applications/", "/usr/local/share/applications/",
                     "/usr/share/applications/"}));
    EXPECT_EQ(XdgApplicationFolders("/data/home/", "/home/ann", "/opt/share:relative::/usr/share"),
              (TArgs{"/data/home/applications/", "/opt/share/applications/",
                     "/usr/share/applications/"}));
    EXPECT_EQ(XdgApplicationFolders("relative", "/home/ann/", ""),
              (TArgs{"/home/ann/.local/share/applications/", "/usr/local/share/applications/",
                     "/usr/share/applications/"}))
        << "a relative data home is ignored; an empty list means the defaults";
    EXPECT_EQ(XdgApplicationFolders(nullptr, nullptr, "/usr/share:/usr/share/"),
              (TArgs{"/usr/share/applications/"}));
}

}  // namespace
}  // namespace ostrel

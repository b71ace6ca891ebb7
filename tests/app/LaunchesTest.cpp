#include "app/Launches.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <filesystem>

#include "model/MainModel.h"
#include "shell/Branding.h"
#include "support/TempDir.h"
#include "uisupport/UiFakes.h"

// Readable failure messages for Qt strings (and lists of them).
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace ostrel {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A named pipe where a started script writes what it received. Reading it waits for the
// script itself, however long a busy machine takes to start it; no clock is involved (a
// script that never runs leaves the test to CTest's time-out).
std::string MakeReceiver(const std::string& path) {
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    return path;
}

std::string ReadFromWriter(const std::string& fifoPath) {
    const int fd = ::open(fifoPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "cannot open " + fifoPath;
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    ::close(fd);
    return text;
}

void MakeExecutable(const std::string& path) {
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec, fs::perm_options::add);
}

const std::string kAwkwardPath = "/home/ann/My \"Best\" Patterns/a b; $(touch pwned) `id` 'x'.msi";

TEST(Launches, View3dIsOfferedOnlyWithTheViewerFileAndARuntime) {
    TTempDir folder;
    TFakeStarter starter;
    TFakeUrls urls;
    TFakeErrors errors;
    TLauncher launcher(Q(folder.Path()), starter, urls, errors);
    EXPECT_EQ(launcher.Folder(), Q(folder.Path()) + "/");

    starter.Known = {"mono", "wine"};
    EXPECT_FALSE(launcher.Has3dModule());
    EXPECT_FALSE(launcher.View3dAvailable());
    EXPECT_TRUE(starter.Lookups.isEmpty()) << "without the file the runtime is not looked for";

    folder.Write("Ostrel3d.exe", "MZ\x90");
    EXPECT_TRUE(launcher.Has3dModule());
    EXPECT_TRUE(launcher.View3dAvailable());
    ASSERT_TRUE(launcher.Find3dRuntime().has_value());
    EXPECT_EQ(launcher.Find3dRuntime()->Program, "/fake/bin/mono") << "mono comes first";
    EXPECT_EQ(launcher.Find3dRuntime()->LeadingArguments, QStringList{launcher.ViewerPath()});

    starter.Known = {"wine"};
    ASSERT_TRUE(launcher.Find3dRuntime().has_value());
    EXPECT_EQ(launcher.Find3dRuntime()->Program, "/fake/bin/wine");

    starter.Known = {};
    starter.Lookups.clear();
    EXPECT_TRUE(launcher.Has3dModule());
    EXPECT_FALSE(launcher.HasDotNetFramework());
    EXPECT_FALSE(launcher.View3dAvailable()) << "the file alone is not enough";
    EXPECT_TRUE(starter.Lookups.contains("mono"));
    EXPECT_TRUE(starter.Lookups.contains("wine"));

    // A native viewer runs by itself, but only with its execute permission.
    folder.Write("Ostrel3d.exe", "#!/bin/sh\nexit 0\n");
    EXPECT_FALSE(launcher.View3dAvailable());
    MakeExecutable(folder.File("Ostrel3d.exe"));
    starter.Lookups.clear();
    ASSERT_TRUE(launcher.View3dAvailable());
    EXPECT_EQ(launcher.Find3dRuntime()->Program, launcher.ViewerPath());
    EXPECT_TRUE(launcher.Find3dRuntime()->LeadingArguments.isEmpty());
    EXPECT_TRUE(starter.Lookups.isEmpty());

    TLauncher noFolder(QString(), starter, urls, errors);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Q(folder.Path())));
    EXPECT_FALSE(noFolder.Has3dModule()) << "never looked for in the working directory";
    QDir::setCurrent(before);

    std::filesystem::create_directory(folder.File("sub"));
    TLauncher directoryNotFile(Q(folder.File("sub")), starter, urls, errors);
    std::filesystem::create_directory(folder.File("sub/Ostrel3d.exe"));
    starter.Known = {"mono"};
    EXPECT_FALSE(directoryNotFile.View3dAvailable()) << "a folder of that name is no viewer";
}

TEST(Launches, TheViewerGetsTheTokenAndThePathAsTwoArguments) {
    TTempDir folder;
    TFakeStarter starter;
    TFakeUrls urls;
    TFakeErrors errors;
    TLauncher launcher(Q(folder.Path()), starter, urls, errors);
    starter.Known = {"mono"};
    folder.Write("Ostrel3d.exe", "MZ");

    launcher.Launch3dViewer(nullptr, Q(kAwkwardPath));
    ASSERT_EQ(starter.Starts.size(), 1u);
    EXPECT_EQ(starter.Starts[0].first, "/fake/bin/mono");
    EXPECT_EQ(starter.Starts[0].second,
              (QStringList{launcher.ViewerPath(), "mortex31", Q(kAwkwardPath)}))
        << "the path arrives unchanged: no quotes added, nothing escaped";
    EXPECT_TRUE(errors.Shown.empty());

    folder.Write("Ostrel3d.exe",
                 "\x7F"
                 "ELF");
    MakeExecutable(folder.File("Ostrel3d.exe"));
    launcher.Launch3dViewer(nullptr, "/p/a b.txt");
    ASSERT_EQ(starter.Starts.size(), 2u);
    EXPECT_EQ(starter.Starts[1].first, launcher.ViewerPath());
    EXPECT_EQ(starter.Starts[1].second, (QStringList{"mortex31", "/p/a b.txt"}));
}

TEST(Launches, AViewerDeletedAfterStartUpGivesTheMessage) {
    TTempDir folder;
    TFakeStarter starter;
    TFakeUrls urls;
    TFakeErrors errors;
    starter.Known = {"mono"};
    folder.Write("Ostrel3d.exe", "MZ");
    TLauncher launcher(Q(folder.Path()), starter, urls, errors);
    ASSERT_TRUE(launcher.View3dAvailable());

    std::filesystem::remove(folder.File("Ostrel3d.exe"));
    QWidget owner;
    launcher.Launch3dViewer(&owner, "/p/a.msi");
    ASSERT_EQ(errors.Shown.size(), 1);
    EXPECT_EQ(errors.Parents.value(0), &owner);
    EXPECT_EQ(errors.Shown[0], "Unable to locate 3D module");
    EXPECT_TRUE(starter.Starts.empty());

    // A runtime gone since start-up is a failed start: silent.
    folder.Write("Ostrel3d.exe", "MZ");
    starter.Known = {};
    launcher.Launch3dViewer(&owner, "/p/a.msi");
    EXPECT_EQ(errors.Shown.size(), 1);
    EXPECT_TRUE(starter.Starts.empty());
}

// Starts a real script as the viewer and reads back what it received, to prove that no
// shell stands between the viewer and its arguments.
TEST(Launches, ARealViewerReceivesTheAwkwardPathVerbatim) {
    TTempDir folder;
    const std::string received = MakeReceiver(folder.File("received.txt"));
    folder.Write("Ostrel3d.exe",
                 "#!/bin/sh\n"
                 "cd \"$(dirname \"$0\")\"\n"
                 "printf '%s\\n' \"$#\" \"$@\" > received.txt\n");
    MakeExecutable(folder.File("Ostrel3d.exe"));
    TFakeUrls urls;
    TFakeErrors errors;
    TLauncher launcher(Q(folder.Path()), SystemProcessStarter(), urls, errors);
    ASSERT_TRUE(launcher.View3dAvailable());
    const std::string path = folder.Path() + "/My \"Best\"; $(touch pwned) `touch pwned2` 'x'.msi";
    launcher.Launch3dViewer(nullptr, Q(path));

    ASSERT_TRUE(errors.Shown.empty());
    EXPECT_EQ(QString::fromStdString(ReadFromWriter(received)), "2\nmortex31\n" + Q(path) + "\n");
    QDir dir(Q(folder.Path()));
    EXPECT_FALSE(dir.exists("pwned"));
    EXPECT_FALSE(dir.exists("pwned2"));
}

TEST(Launches, TheProgramFolderIsTheExecutablesNotTheWorkingDirectory) {
    TTempDir elsewhere;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Q(elsewhere.Path())));
    const QString folder = ProgramFolder();
    const QString defaultFolder = TLauncher().Folder();
    QDir::setCurrent(before);

    const QString executableFolder =
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path() + "/";
    EXPECT_EQ(QFileInfo(folder).canonicalFilePath() + "/", executableFolder);
    EXPECT_TRUE(folder.endsWith('/'));
    EXPECT_EQ(defaultFolder, folder);
    EXPECT_NE(folder, Q(elsewhere.Path()) + "/");
}

TEST(Launches, QuickGuideAndPrivacyPageGoToTheDesktop) {
    TTempDir folder;
    TFakeStarter starter;
    TFakeUrls urls;
    TFakeErrors errors;
    TLauncher launcher(Q(folder.Path()), starter, urls, errors);

    launcher.OpenQuickGuide();
    EXPECT_TRUE(urls.Opened.empty()) << "no guide, nothing happens";
    folder.Write("guide.pdf", "%PDF-1.4\n");
    launcher.OpenQuickGuide();
    ASSERT_EQ(urls.Opened.size(), 1u);
    EXPECT_TRUE(urls.Opened[0].isLocalFile());
    EXPECT_EQ(urls.Opened[0].toLocalFile(), Q(folder.File("guide.pdf")));

    launcher.OpenPrivacyPage();
    ASSERT_EQ(urls.Opened.size(), 2u);
    EXPECT_EQ(urls.Opened[1].toString(), QString::fromLatin1(branding::kPrivacyUrl));
    EXPECT_TRUE(starter.Starts.empty());
    EXPECT_TRUE(errors.Shown.empty());
}

// The model's Show Source with the Linux editor service behind it.
class ShowSourceTest : public ::testing::Test {
protected:
    void ShowSource(const std::string& path) {
        TMainModel model;
        auto pattern = std::make_unique<TPatternData>();
        pattern->FileName = path;
        TPatternData& added = model.AddPattern(std::move(pattern));
        TQtEditorService editor(starter, [this] { return defaultApp; },
                                {Q(userApps), Q(systemApps)});
        model.ShowSource(added, editor);
    }
    std::string WriteApp(const std::string& folder, const std::string& name,
                         const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(folder + name).parent_path());
        return data.Write(folder.substr(data.Path().size() + 1) + name, text);
    }

    TTempDir data;
    std::string userApps = data.Path() + "/home/applications/";
    std::string systemApps = data.Path() + "/usr/applications/";
    TFakeStarter starter;
    QString defaultApp;
};

TEST_F(ShowSourceTest, TheDefaultTextEditorGetsThePathAsOneArgument) {
    WriteApp(systemApps, "org.example.Edit.desktop",
             "[Desktop Entry]\nType=Application\nName=Edit\nExec=edit --new-window %U\n");
    starter.Known = {"edit"};
    defaultApp = "org.example.Edit.desktop";
    ShowSource(kAwkwardPath);
    ASSERT_EQ(starter.Starts.size(), 1u);
    EXPECT_EQ(starter.Starts[0].first, "/fake/bin/edit");
    EXPECT_EQ(starter.Starts[0].second, (QStringList{"--new-window", Q(kAwkwardPath)}));

    // The user's own entry of the same id wins, also when it lives in a subfolder.
    WriteApp(userApps, "kde4/kate.desktop",
             "[Desktop Entry]\nType=Application\nExec=kate -b %i %f --x\n");
    starter.Known = {"kate"};
    defaultApp = "kde4-kate.desktop";
    ShowSource("/p/b.vwa");
    ASSERT_EQ(starter.Starts.size(), 2u);
    EXPECT_EQ(starter.Starts[1].first, "/fake/bin/kate");
    EXPECT_EQ(starter.Starts[1].second, (QStringList{"-b", "/p/b.vwa", "--x"}));
}

TEST_F(ShowSourceTest, FallsBackToAKnownEditorOnPath) {
    starter.Known = {"mousepad", "kwrite"};
    ShowSource(kAwkwardPath);
    ASSERT_EQ(starter.Starts.size(), 1u) << "no default application named";
    EXPECT_EQ(starter.Starts[0].first, "/fake/bin/kwrite") << "kwrite comes before mousepad";
    EXPECT_EQ(starter.Starts[0].second, QStringList{Q(kAwkwardPath)});

    // Default entries that cannot run: missing file, hidden, bad Exec, TryExec not found,
    // program not found. Each falls back to the editor list.
    WriteApp(userApps, "hidden.desktop",
             "[Desktop Entry]\nType=Application\nExec=edit\nHidden=true\n");
    WriteApp(systemApps, "hidden.desktop", "[Desktop Entry]\nType=Application\nExec=edit %f\n");
    WriteApp(systemApps, "bad.desktop", "[Desktop Entry]\nType=Application\nExec=edit \"%f\n");
    WriteApp(systemApps, "try.desktop",
             "[Desktop Entry]\nType=Application\nTryExec=absent\nExec=edit %f\n");
    WriteApp(systemApps, "gone.desktop", "[Desktop Entry]\nType=Application\nExec=absent %f\n");
    starter.Known = {"edit", "mousepad"};
    for (const char* id : {"missing.desktop", "hidden.desktop", "bad.desktop", "try.desktop",
                           "gone.desktop", "../usr/applications/gone.desktop"}) {
        defaultApp = id;
        starter.Starts.clear();
        ShowSource("/p/a.msi");
        ASSERT_EQ(starter.Starts.size(), 1u) << id;
        EXPECT_EQ(starter.Starts[0].first, "/fake/bin/mousepad") << id;
        EXPECT_EQ(starter.Starts[0].second, QStringList{"/p/a.msi"}) << id;
    }

    // An editor that fails to start hands over to the next one.
    defaultApp.clear();
    starter.Starts.clear();
    starter.StartSucceeds = false;
    ShowSource("/p/a.msi");
    ASSERT_EQ(starter.Starts.size(), 1u) << "edit is not in the list, mousepad is";
    starter.Known = {"gedit", "leafpad"};
    starter.Starts.clear();
    ShowSource("/p/a.msi");
    ASSERT_EQ(starter.Starts.size(), 2u);
    EXPECT_EQ(starter.Starts[0].first, "/fake/bin/gedit");
    EXPECT_EQ(starter.Starts[1].first, "/fake/bin/leafpad");
}

TEST_F(ShowSourceTest, NoEditorAtAllIsSilent) {
    defaultApp = "org.example.Edit.desktop";
    ShowSource("/p/a.msi");
    EXPECT_TRUE(starter.Starts.empty());
    EXPECT_FALSE(starter.Lookups.isEmpty()) << "the editor list was tried";
}

// Sets environment variables for the life of the object, then restores them.
class TScopedEnvironment {
public:
    void Set(const char* name, const QByteArray& value) {
        FSaved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        qputenv(name, value);
    }
    ~TScopedEnvironment() {
        for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
            if (it->WasSet) {
                qputenv(it->Name, it->Value);
            } else {
                qunsetenv(it->Name);
            }
        }
    }

private:
    struct TSaved {
        const char* Name;
        bool WasSet;
        QByteArray Value;
    };
    std::vector<TSaved> FSaved;
};

// The whole road on a made-up desktop: a real xdg-mime on PATH names the default
// application, its desktop file lies in $XDG_DATA_HOME, and the editor it starts is a real
// script that writes down the arguments it received.
TEST(Launches, ARealDefaultEditorReceivesThePathVerbatim) {
    TTempDir root;
    std::filesystem::create_directories(root.File("bin"));
    std::filesystem::create_directories(root.File("data/applications"));
    root.Write("bin/xdg-mime",
               "#!/bin/sh\n"
               "[ \"$*\" = \"query default text/plain\" ] || exit 1\n"
               "echo recorder.desktop\n");
    root.Write("bin/recorder",
               "#!/bin/sh\n"
               "cd \"$(dirname \"$0\")/..\"\n"
               "printf '%s\\n' \"$#\" \"$@\" > received.txt\n");
    MakeExecutable(root.File("bin/xdg-mime"));
    MakeExecutable(root.File("bin/recorder"));
    root.Write("data/applications/recorder.desktop",
               "[Desktop Entry]\nType=Application\nName=Recorder\nExec=recorder --line 1 %F\n");

    TScopedEnvironment environment;
    environment.Set("PATH", QByteArray(root.File("bin").c_str()) + ":" + qgetenv("PATH"));
    environment.Set("XDG_DATA_HOME", root.File("data").c_str());
    environment.Set("XDG_DATA_DIRS", root.File("nothing").c_str());
    EXPECT_EQ(TQtEditorService::QueryXdgDefaultTextApp(), "recorder.desktop");
    EXPECT_EQ(
        TQtEditorService::SystemApplicationFolders(),
        (QStringList{Q(root.File("data/applications/")), Q(root.File("nothing/applications/"))}));

    const std::string received = MakeReceiver(root.File("received.txt"));
    const std::string path = root.Path() + "/My \"Best\"; $(touch pwned) `touch pwned2` 'x'.vwa";
    TQtEditorService editor;
    editor.OpenInTextEditor(path);

    EXPECT_EQ(QString::fromStdString(ReadFromWriter(received)), "3\n--line\n1\n" + Q(path) + "\n");
    EXPECT_FALSE(QFileInfo::exists(Q(root.File("pwned"))));
    EXPECT_FALSE(QFileInfo::exists(Q(root.File("pwned2"))));

    // A name that is not UTF-8 reaches the editor with its own bytes.
    std::filesystem::remove(root.File("received.txt"));
    const std::string again = MakeReceiver(root.File("received.txt"));
    const std::string latin = root.Path() + "/caf\xE9 \xFF.txt";
    editor.OpenInTextEditor(latin);
    EXPECT_EQ(ReadFromWriter(again), "3\n--line\n1\n" + latin + "\n");
}

}  // namespace
}  // namespace ostrel

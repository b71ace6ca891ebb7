#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "model/PlatformServices.h"

class QUrl;
class QWidget;

namespace ostrel {

// Finds and starts other programs. A program is started detached (nothing waits for it and
// its result is never read) and never through a shell: it receives its arguments exactly as
// given, so no blank, quote, "$()" or ";" in a path can change what runs.
class TProcessStarter {
public:
    virtual ~TProcessStarter() = default;
    // The full path of an executable of that name on PATH, or empty.
    virtual QString FindExecutable(const QString& name) = 0;
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
};

// Hands a URL (a web page, a local file) to the desktop's default application for it.
class TUrlOpener {
public:
    virtual ~TUrlOpener() = default;
    virtual bool OpenUrl(const QUrl& url) = 0;
};

// Shows an error to the user and returns when it has been acknowledged.
class TErrorReporter {
public:
    virtual ~TErrorReporter() = default;
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
};

// The real services: PATH and QProcess, QDesktopServices, and a modal message box with a
// single OK button.
TProcessStarter& SystemProcessStarter();
TUrlOpener& DesktopUrlOpener();
TErrorReporter& MessageBoxErrorReporter();

// The folder of the running executable with a trailing "/", whatever the working directory.
QString ProgramFolder();

inline constexpr const char* k3dViewerFileName = "Ostrel3d.exe";
inline constexpr const char* kGuideFileName = "guide.pdf";
// The first argument the 3D viewer expects, before the pattern file's path.
inline constexpr const char* k3dLaunchToken = "mortex31";
inline constexpr const char* kNo3dModuleText = "Unable to locate 3D module";

// How the 3D viewer file is run: Program gets LeadingArguments, then the viewer's own
// arguments.
struct T3dRuntime {
    QString Program;
    QStringList LeadingArguments;
};

// Starts the programs the viewer hands work to: the companion 3D viewer and the quick guide,
// both looked for in the program folder (and, for the installed program, in its data folder
// under the install prefix's share/), and the maker's privacy page. Every start returns
// at once; a start that fails is ignored.
class TLauncher {
public:
    explicit TLauncher(QString programFolder = ProgramFolder(),
                       TProcessStarter& starter = SystemProcessStarter(),
                       TUrlOpener& urlOpener = DesktopUrlOpener(),
                       TErrorReporter& errors = MessageBoxErrorReporter());

    const QString& Folder() const { return FFolder; }
    // Empty without a program folder: nothing is ever looked for in the working directory.
    QString ViewerPath() const { return InFolder(k3dViewerFileName); }
    QString GuidePath() const { return InFolder(kGuideFileName); }

    // Whether "Ostrel3d.exe" is in the program folder.
    bool Has3dModule() const;
    // Whether something can run the viewer file, the counterpart of the Windows probe for
    // the .NET Framework. The viewer is run directly when the file is itself a native
    // program (an ELF binary or a "#!" script) with its execute permission; a .NET
    // assembly is run by "mono", or failing that by "wine", found on PATH. A binfmt_misc
    // registration for .exe files needs mono or wine installed, so looking for them
    // covers that case too. False when the file is missing.
    bool HasDotNetFramework() const;
    // Decided once at start-up: the View 3D command is offered only when this is true.
    // The runtime is not looked for when the viewer file is missing.
    bool View3dAvailable() const { return Has3dModule() && HasDotNetFramework(); }
    // How the viewer file would be run now, or nothing.
    std::optional<T3dRuntime> Find3dRuntime() const;

    // Starts the 3D viewer on a pattern file: the token and the path as two arguments,
    // the path unchanged. A viewer file that has gone since start-up gives the error
    // message "Unable to locate 3D module" over `parent`. Returns whether the viewer started.
    bool Launch3dViewer(QWidget* parent, const QString& patternPath);
    // Opens "guide.pdf" from the program folder in the desktop's PDF viewer; nothing when
    // the file is missing. Returns whether the desktop took it.
    bool OpenQuickGuide();
    // Opens the maker's privacy-policy page in the browser; returns whether one took it.
    bool OpenPrivacyPage();

private:
    // The file in the first run-time folder that has it, else its path in the program
    // folder; empty without a program folder.
    QString InFolder(const char* fileName) const;

    QString FFolder;
    // The program folder, then the installed copy's data folder (share/ostrel-viewer/).
    QStringList FRuntimeFolders;
    TProcessStarter& FStarter;
    TUrlOpener& FUrlOpener;
    TErrorReporter& FErrors;
};

// Opens a file in a plain-text editor on a freedesktop.org desktop, whatever its extension
// (by MIME type a ".msi" would go to an installer and a ".vwa" to nothing): the desktop's
// default application for text/plain, else the first of a list of well-known editors found
// on PATH. The path is one argument, unquoted and unchanged. Failures are silent.
class TQtEditorService : public TEditorService {
public:
    // Returns the desktop file id of the default text/plain application, or empty.
    using TDefaultAppQuery = std::function<QString()>;

    explicit TQtEditorService(TProcessStarter& starter = SystemProcessStarter(),
                              TDefaultAppQuery defaultTextApp = QueryXdgDefaultTextApp,
                              QStringList applicationFolders = SystemApplicationFolders());

    void OpenInTextEditor(const std::string& filePath) override;
    // Whether the last OpenInTextEditor started an editor.
    bool Started() const { return FStarted; }

    // Editors tried in this order when the desktop names none that can be started.
    static const QStringList& FallbackEditors();
    // Asks "xdg-mime query default text/plain"; empty when xdg-mime is missing or slow.
    static QString QueryXdgDefaultTextApp();
    // The applications/ folders of $XDG_DATA_HOME and $XDG_DATA_DIRS, most important first.
    static QStringList SystemApplicationFolders();

private:
    bool StartDefaultApp(const std::string& filePath);
    bool StartFallbackEditor(const QString& filePath);
    // The full path of a program named in a desktop file, or empty when it can't be run.
    QString ResolveProgram(const QString& program);

    TProcessStarter& FStarter;
    bool FStarted = false;
    TDefaultAppQuery FDefaultTextApp;
    QStringList FApplicationFolders;
};

}  // namespace ostrel

#include "app/Launches.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <utility>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "app/PathText.h"
#include "model/InstallLayout.h"
#include "shell/Branding.h"
#include "shell/DesktopEntry.h"

namespace ostrel {

namespace {

// QProcess hands arguments to the program as UTF-8 text, which cannot carry the bytes of a
// file name that is not UTF-8. Such a start is made here with the bytes themselves, detached
// the usual POSIX way: a child starts a new session and forks the program, then ends at once,
// so the program's parent becomes init and nothing is left to reap. A pipe that closes on
// exec tells whether the program started.
bool StartDetachedWithBytes(std::vector<std::string> command) {
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // Only async-signal-safe calls between fork and exec.
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0) {
            ::execv(argv[0], argv.data());
            const int error = errno;
            [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(program < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

class TSystemProcessStarter final : public TProcessStarter {
public:
    QString FindExecutable(const QString& name) override {
        return QStandardPaths::findExecutable(name);
    }
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        std::vector<std::string> command = {PathBytes(program)};
        bool textOnly = command.front() == program.toStdString();
        for (const QString& argument : arguments) {
            command.push_back(PathBytes(argument));
            textOnly = textOnly && command.back() == argument.toStdString();
        }
        if (textOnly) return QProcess::startDetached(program, arguments);
        return StartDetachedWithBytes(std::move(command));
    }
};

class TDesktopUrlOpener final : public TUrlOpener {
public:
    bool OpenUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

class TMessageBoxErrorReporter final : public TErrorReporter {
public:
    void ShowError(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Critical, QString::fromUtf8(branding::kProgramTitle), text,
                        QMessageBox::Ok, parent);
        box.exec();
    }
};

// A program the kernel runs by itself: an ELF binary or a script with a "#!" line.
bool IsNativeProgram(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(4);
    return head.startsWith(
               "\x7F"
               "ELF") ||
           head.startsWith("#!");
}

QString WithTrailingSlash(QString folder) {
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

TProcessStarter& SystemProcessStarter() {
    static TSystemProcessStarter starter;
    return starter;
}

TUrlOpener& DesktopUrlOpener() {
    static TDesktopUrlOpener opener;
    return opener;
}

TErrorReporter& MessageBoxErrorReporter() {
    static TMessageBoxErrorReporter reporter;
    return reporter;
}

QString ProgramFolder() {
    if (QCoreApplication::instance() == nullptr) return {};
    return WithTrailingSlash(QCoreApplication::applicationDirPath());
}

TLauncher::TLauncher(QString programFolder, TProcessStarter& starter, TUrlOpener& urlOpener,
                     TErrorReporter& errors)
    : FFolder(WithTrailingSlash(std::move(programFolder))),
      FStarter(starter),
      FUrlOpener(urlOpener),
      FErrors(errors) {
    for (const std::string& folder :
         RuntimeFileFolders(FFolder.toStdString(), CompiledInstallLayout())) {
        FRuntimeFolders << QString::fromStdString(folder);
    }
}

QString TLauncher::InFolder(const char* fileName) const {
    if (FFolder.isEmpty()) return {};
    const QString name = QString::fromLatin1(fileName);
    for (const QString& folder : FRuntimeFolders) {
        if (QFileInfo::exists(folder + name)) return folder + name;
    }
    return FFolder + name;
}

bool TLauncher::Has3dModule() const {
    return QFileInfo(ViewerPath()).isFile();
}

bool TLauncher::HasDotNetFramework() const {
    return Find3dRuntime().has_value();
}

std::optional<T3dRuntime> TLauncher::Find3dRuntime() const {
    const QString viewer = ViewerPath();
    const QFileInfo info(viewer);
    if (!info.isFile()) return std::nullopt;
    if (info.isExecutable() && IsNativeProgram(viewer)) return T3dRuntime{viewer, {}};
    // mono runs a .NET assembly natively; wine brings a whole Windows with its own .NET.
    for (const char* runtime : {"mono", "wine"}) {
        const QString program = FStarter.FindExecutable(QString::fromLatin1(runtime));
        if (!program.isEmpty()) return T3dRuntime{program, {viewer}};
    }
    return std::nullopt;
}

bool TLauncher::Launch3dViewer(QWidget* parent, const QString& patternPath) {
    if (!Has3dModule()) {
        FErrors.ShowError(parent, QString::fromLatin1(kNo3dModuleText));
        return false;
    }
    // A runtime that vanished since start-up is a failed start, reported on the status bar.
    const std::optional<T3dRuntime> runtime = Find3dRuntime();
    if (!runtime) return false;
    QStringList arguments = runtime->LeadingArguments;
    arguments << QString::fromLatin1(k3dLaunchToken) << patternPath;
    return FStarter.StartDetached(runtime->Program, arguments);
}

bool TLauncher::OpenQuickGuide() {
    const QString guide = GuidePath();
    if (!QFileInfo(guide).isFile()) return false;
    return FUrlOpener.OpenUrl(QUrl::fromLocalFile(guide));
}

bool TLauncher::OpenPrivacyPage() {
    return FUrlOpener.OpenUrl(QUrl(QString::fromLatin1(branding::kPrivacyUrl)));
}

TQtEditorService::TQtEditorService(TProcessStarter& starter, TDefaultAppQuery defaultTextApp,
                                   QStringList applicationFolders)
    : FStarter(starter),
      FDefaultTextApp(std::move(defaultTextApp)),
      FApplicationFolders(std::move(applicationFolders)) {}

void TQtEditorService::OpenInTextEditor(const std::string& filePath) {
    FStarted = StartDefaultApp(filePath) || StartFallbackEditor(PathText(filePath));
}

const QStringList& TQtEditorService::FallbackEditors() {
    static const QStringList editors = {QStringLiteral("gnome-text-editor"),
                                        QStringLiteral("gedit"),
                                        QStringLiteral("kate"),
                                        QStringLiteral("kwrite"),
                                        QStringLiteral("mousepad"),
                                        QStringLiteral("xed"),
                                        QStringLiteral("pluma"),
                                        QStringLiteral("featherpad"),
                                        QStringLiteral("leafpad")};
    return editors;
}

QString TQtEditorService::QueryXdgDefaultTextApp() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) return {};
    QProcess query;
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
    // The command reads a few small files; more than this means something is wrong.
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
    const QString output = QString::fromUtf8(query.readAllStandardOutput());
    // One id is expected; a list (";"-separated, or several lines) gives its first.
    return output.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(';'), 0, 0).trimmed();
}

QStringList TQtEditorService::SystemApplicationFolders() {
    auto variable = [](const char* name) -> std::optional<QByteArray> {
        if (!qEnvironmentVariableIsSet(name)) return std::nullopt;
        return qgetenv(name);
    };
    const auto dataHome = variable("XDG_DATA_HOME");
    const auto home = variable("HOME");
    const auto dataDirs = variable("XDG_DATA_DIRS");
    QStringList folders;
    for (const std::string& folder : XdgApplicationFolders(
             dataHome ? dataHome->constData() : nullptr, home ? home->constData() : nullptr,
             dataDirs ? dataDirs->constData() : nullptr)) {
        folders << QString::fromStdString(folder);
    }
    return folders;
}

bool TQtEditorService::StartDefaultApp(const std::string& filePath) {
    const QString desktopId = FDefaultTextApp ? FDefaultTextApp() : QString();
    if (desktopId.isEmpty()) return false;
    for (const QString& folder : FApplicationFolders) {
        for (const std::string& relative : DesktopFileRelativePaths(desktopId.toStdString())) {
            QFile file(WithTrailingSlash(folder) + QString::fromStdString(relative));
            if (!file.exists()) continue;
            // The first file with the id is the desktop's choice, usable or not.
            if (!file.open(QIODevice::ReadOnly)) return false;
            const QByteArray text = file.readAll();
            const std::optional<TDesktopEntry> entry =
                ParseDesktopEntry(std::string_view(text.constData(), text.size()));
            if (!entry || !entry->CanOpenFiles()) return false;
            if (!entry->TryExec.empty() &&
                ResolveProgram(QString::fromStdString(entry->TryExec)).isEmpty()) {
                return false;
            }
            const auto command = ExecCommandForFile(entry->Exec, filePath);
            if (!command) return false;
            const QString program = ResolveProgram(QString::fromStdString(command->front()));
            if (program.isEmpty()) return false;
            QStringList arguments;
            for (size_t i = 1; i < command->size(); ++i) {
                // The file's own bytes, whatever they are.
                arguments << PathText((*command)[i]);
            }
            return FStarter.StartDetached(program, arguments);
        }
    }
    return false;
}

bool TQtEditorService::StartFallbackEditor(const QString& filePath) {
    for (const QString& editor : FallbackEditors()) {
        const QString program = FStarter.FindExecutable(editor);
        if (!program.isEmpty() && FStarter.StartDetached(program, {filePath})) return true;
    }
    return false;
}

QString TQtEditorService::ResolveProgram(const QString& program) {
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        return info.isAbsolute() && info.isFile() && info.isExecutable() ? program : QString();
    }
    return FStarter.FindExecutable(program);
}

}  // namespace ostrel

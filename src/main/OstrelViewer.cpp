#include <QApplication>
#include <QDir>
#include <QLocale>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/MainFrm.h"
#include "app/StartUpProbe.h"
#include "model/Settings.h"
#include "shell/CommandLine.h"
#include "widgets/AppIcons.h"

namespace {

// Without a display the toolkit would abort with a terse message; say what to do instead.
bool HasDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") ||
           std::getenv("QT_QPA_PLATFORM");
}

}  // namespace

// "OstrelViewer FILE..." opens the files as the Open command would; everything else the
// viewer needs is in settings.ini.
int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "Ostrel Viewer needs a display: no DISPLAY or WAYLAND_DISPLAY is set.\n"
                     "Run it on a desktop, or under a virtual one: xvfb-run -a %s\n",
                     argc > 0 ? argv[0] : "OstrelViewer");
        return 1;
    }
    const std::string iniPath = ostrel::DefaultSettingsFilePath();
    ostrel::SetSettingsFilePath(iniPath);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostrel Viewer"));
    ostrel::InitAppResources();
    // The toolkit adopted the user's locale; numbers are always written with ".".
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    std::vector<std::string> arguments;
    const QStringList given = QApplication::arguments();  // without the toolkit's options
    for (qsizetype i = 1; i < given.size(); ++i) arguments.push_back(given[i].toStdString());
    QStringList files;
    for (const std::string& path :
         ostrel::PatternFileArguments(arguments, QDir::currentPath().toStdString())) {
        files << QString::fromStdString(path);
    }

    auto* window = new ostrel::TMainForm(iniPath);
    ostrel::WatchStartUp(*window);
    window->show();
    if (!files.isEmpty()) window->OpenFiles(files);
    const int result = QApplication::exec();
    // The settings are written before the window goes, and the window's recent-files list
    // after it, each into its own sections of the same file.
    ostrel::SaveAndFreeSettings();
    delete window;
    return result;
}

#include <QApplication>
#include <QLocale>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/MainFrm.h"
#include "app/PathText.h"
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
    if (const auto answer = ostrel::ViewerHelpOrVersion({argv + std::min(argc, 1), argv + argc})) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
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

    // The toolkit has taken its own options out of argv. The bytes are used as they are:
    // a file name need not be UTF-8, and QApplication::arguments() would lose such bytes.
    std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    std::error_code noFolder;
    const std::string folder = std::filesystem::current_path(noFolder).string();
    QStringList files;
    for (const std::string& path : ostrel::PatternFileArguments(arguments, folder)) {
        files << ostrel::PathText(path);
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

// A library of many small pattern files opened as a folder in the viewer: how long opening
// takes, how much memory the process holds at its peak, and how long the window goes
// without handling input while the files load. Prints each figure beside its target.
//
//   bench_library [FILES [RESPONSIVE_FILES]]     defaults 100000 and 20000
//
// The library is generated under /tmp/ostrel-bench-library (about 1 GB for 100,000 files)
// and kept for the next run; remove that folder when done.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "PatternFileGenerator.h"
#include "app/FileTableModel.h"
#include "app/MainFrm.h"
#include "app/OpenFilesFlow.h"
#include "model/Settings.h"
#include "widgets/AppIcons.h"

namespace {

// Files in sub-folders of 1,000, as libraries are kept by maker and band. The library is
// kept under /tmp for the next run (creating 100,000 files costs minutes on a busy disk);
// a marker written last tells a complete one.
std::string MakeLibrary(int count) {
    const std::string root = "/tmp/ostrel-bench-library/" + std::to_string(count);
    const std::string marker = root + "/.complete";
    if (std::filesystem::exists(marker)) return root;
    std::filesystem::remove_all(root);
    for (int i = 0; i < count; ++i) {
        const std::string folder = root + "/maker" + std::to_string(i / 1000);
        if (i % 1000 == 0) std::filesystem::create_directories(folder);
        std::ofstream(folder + "/pattern" + std::to_string(i) + ".msi", std::ios::binary)
            << ostrel::TPatternFileGenerator::OstrelText(static_cast<std::uint32_t>(i));
    }
    std::ofstream(marker) << count << '\n';
    return root;
}

double PeakResidentMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

struct TOpenRun {
    double Seconds = 0;
    double LongestGapMs = 0;  // the longest time the event loop did not come round
    double GapEndS = 0;       // when it ended, from the start of opening
    int GapEndRows = 0;       // and how many rows the table had then
    int Rows = 0;
};

// Opens the folder in a shown window and lets the event loop run until the batch is in,
// as a user who waits would. A 5 ms timer measures the gaps between event-loop turns.
TOpenRun OpenInWindow(const std::string& folder) {
    ostrel::TMainForm form{std::string()};
    form.show();
    QApplication::processEvents();
    TOpenRun run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QElapsedTimer timer;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double gapMs = static_cast<double>(sinceTick.nsecsElapsed()) / 1e6;
        if (gapMs > run.LongestGapMs) {
            run.LongestGapMs = gapMs;
            run.GapEndS = static_cast<double>(timer.nsecsElapsed()) / 1e9;
            run.GapEndRows = form.FileTable().RowCount();
        }
        sinceTick.restart();
    });
    timer.start();
    // The folder is listed before OpenFiles returns: that time counts as a gap too.
    sinceTick.start();
    ticker.start();
    form.OpenFiles({QString::fromStdString(folder)});
    while (form.OpenFlow().IsLoading()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    run.Seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    ticker.stop();
    run.Rows = form.FileTable().RowCount();
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ostrel::SetSettingsFilePath(std::string());
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int responsiveFiles = argc > 2 ? std::atoi(argv[2]) : 20000;
    QApplication app(argc, argv);
    ostrel::InitAppResources();

    const auto openLibrary = [](int count) {
        std::printf("Library of %d files ...\n", count);
        std::fflush(stdout);
        const std::string folder = MakeLibrary(count);
        const TOpenRun run = OpenInWindow(folder);
        std::printf(
            "%d files: %d rows in %.2f s; longest time without input handling %.0f ms "
            "(target <= 100; it ended %.2f s in, at %d rows); peak resident so far "
            "%.0f MB\n",
            count, run.Rows, run.Seconds, run.LongestGapMs, run.GapEndS, run.GapEndRows,
            PeakResidentMb());
        return run;
    };
    const TOpenRun responsive = openLibrary(responsiveFiles);
    const TOpenRun run = openLibrary(files);
    std::printf("Targets for %d files: <= 15 s (%s), <= 3072 MB resident (%s)\n", files,
                run.Seconds <= 15 ? "met" : "NOT met",
                PeakResidentMb() <= 3072 ? "met" : "NOT met");
    const bool ok = run.Rows == files && responsive.Rows == responsiveFiles;
    return ok ? 0 : 1;
}

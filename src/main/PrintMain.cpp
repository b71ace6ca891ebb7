// ostrel-print: the viewer's printed pages as a PDF, without a display.
#include <QApplication>
#include <QLocale>
#include <QPrinter>
#include <clocale>
#include <cstdlib>
#include <iostream>

#include "cli/PrintJob.h"
#include "cli/ToolOutput.h"
#include "model/SafeFile.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "shell/PathNames.h"
#include "widgets/AppIcons.h"

namespace {

class TPdfFileTarget : public ostrel::TPdfTarget {
public:
    std::unique_ptr<ostrel::TDeviceDrawer> CreateDrawer(
        const ostrel::TPrintRequest& request) override {
        ostrel::SetUpPdfPrinter(FPrinter,
                                QString::fromStdU16String(ostrel::PathToUtf16(request.Output)),
                                request.A4 ? QPageSize::A4 : QPageSize::Letter,
                                request.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        FPrinter.setCreator(QStringLiteral("Ostrel Viewer"));
        // The pages go to memory first; Finish writes them to the file, checked.
        FOutput = std::make_unique<ostrel::TCanvasPdfOutput>(FPrinter, request.Output);
        return std::make_unique<ostrel::TPrinterDrawer>(FPrinter);
    }
    std::string Finish(const ostrel::TPrintRequest&) override {
        return FOutput ? FOutput->Finish() : std::string();
    }
    const ostrel::TGraphic* Logo() override {
        if (!FLogo) FLogo = ostrel::LoadLogoGraphic();
        return FLogo.get();
    }

private:
    QPrinter FPrinter{QPrinter::HighResolution};
    std::unique_ptr<ostrel::TCanvasPdfOutput> FOutput;
    std::unique_ptr<ostrel::TGraphic> FLogo;
};

// The tool reports its own errors; the toolkit's chatter (such as a missing runtime folder
// on a headless machine) would only bury them. Critical messages still come through.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << message.toLocal8Bit().constData() << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Never a window, and never the viewer's settings.ini: the options say everything.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Stopped with Ctrl+C or kill, the tool leaves no temporary file behind.
    ostrel::RemoveTemporaryFilesOnSignals();
    ostrel::SetSettingsFilePath(std::string());
    qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    std::vector<std::string> arguments(argv + 1, argv + argc);
    TPdfFileTarget target;
    return ostrel::RunWithCheckedOutput(
        "ostrel-print",
        [&](std::ostream& out, std::ostream& err) {
            return ostrel::RunPrint(arguments, out, err, target);
        },
        std::cerr);
}

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <vector>

#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/MainFrm.h"
#include "app/OpenCommands.h"
#include "app/OpenFilesFlow.h"
#include "model/Settings.h"
#include "support/PatternText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

// Only a real X server shows the fault: a window uncovered by a closing dialog keeps the
// dialog's pixels until its expose is handled, unless loading leaves the event loop running. Run
// under Xvfb: xvfb-run -a env QT_QPA_PLATFORM=xcb build/tests/ui_tests
// --gtest_filter='OpenDialogGhost*'. The offscreen platform has no screen to grab.
TEST(OpenDialogGhost, TheClosedDialogsAreaIsRepaintedBeforeFilesLoad) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server";
    TTempDir folder;
    SetSettingsFilePath(folder.File("settings.ini"));
    TMainForm form(folder.File("settings.ini"));
    form.setGeometry(50, 50, 800, 600);
    form.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    QDialog dialog(&form);
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor(255, 0, 255));
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
    dialog.setGeometry(200, 200, 400, 300);
    dialog.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        // Appended, not "p" + to_string(i): GCC 12's Release build flags that form with a
        // false stringop-overflow warning.
        std::string name = "p";
        name.append(std::to_string(i)).append(".msi");
        paths << QString::fromStdString(folder.Write(
            name, OstrelText(
                      "", [](double a) { return a / 10; }, [](double a) { return a / 20; })));
    }
    // The screen when the first file is added: no dialog pixels.
    int magenta = -1;
    QObject::connect(&form.Table().Model(), &QAbstractItemModel::rowsInserted, [&] {
        if (magenta >= 0) return;
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        magenta = 0;
        for (int y = 210; y < 490; y += 4) {
            for (int x = 210; x < 590; x += 4) {
                if (QColor(shot.pixel(x, y)) == QColor(255, 0, 255)) ++magenta;
            }
        }
    });
    dialog.hide();  // as the Open dialog closes, then loading starts at once
    form.Opening().OpenFiles(paths);
    while (form.Opening().Flow().IsLoading())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(magenta, 0) << "dialog pixels still on screen when the first file was added";
    EXPECT_EQ(form.Table().Model().RowCount(), 3);
}

}  // namespace
}  // namespace ostrel

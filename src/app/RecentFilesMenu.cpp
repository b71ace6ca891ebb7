// The main window's File › Reopen menu: the recent-files list shown, and reopening one.
#include "app/MainFrm.h"

#include <QMenu>

#include <algorithm>
#include <filesystem>

#include "app/FigureCommands.h"
#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/FilterBar.h"
#include "app/Launches.h"
#include "app/OpenFilesFlow.h"
#include "app/PathText.h"
#include "app/PatternArea.h"
#include "app/SaveAsCommand.h"
#include "app/ScreenAreas.h"
#include "app/TableColumns.h"
#include "dialogs/AboutFrm.h"
#include "dialogs/AniFrm.h"
#include "dialogs/OptionsDlg.h"
#include "dialogs/PatPointsDlg.h"
#include "dialogs/PrintOptionsDlg.h"
#include "dialogs/RotateDlg.h"
#include "dialogs/Surface3dFrm.h"
#include "formats/EdxFile.h"
#include "formats/PatternLoaders.h"
#include "graphs/PolarGraph.h"
#include "model/Errors.h"
#include "model/Settings.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "qtdraw/CanvasDrawer.h"
#include "qtdraw/CanvasPainter.h"
#include "qtdraw/CanvasPdfOutput.h"
#include "shell/Branding.h"
#include "shell/FileTable.h"
#include "shell/WindowPlacement.h"
#include "views/OffsetAngles.h"
#include "views/PrintedPages.h"
#include "views/SideBySide.h"
#include "widgets/AppIcons.h"
#include "widgets/ClipboardService.h"
#include "widgets/EdgePanel.h"

namespace ostrel {

namespace {

// Menu texts use "&" for access keys; a path shown in a menu must keep its own "&".
QString MenuSafe(const QString& text) {
    QString escaped = text;
    return escaped.replace('&', "&&");
}

}  // namespace

void TMainForm::RebuildRecentFilesMenu() {
    // A click on an entry that loads its file rebuilds the submenu while the submenu is still
    // handling that click: take the old items out now and free them later. The submenu owns
    // its own action; the separator goes by itself.
    if (FRecentFilesSeparator) {
        FFileMenu->removeAction(FRecentFilesSeparator);
        FRecentFilesSeparator->deleteLater();
    }
    if (FReopenMenu) {
        FFileMenu->removeAction(FReopenMenu->menuAction());
        FReopenMenu->setObjectName(QString());
        FReopenMenu->deleteLater();
    }
    FRecentFilesSeparator = nullptr;
    FReopenMenu = nullptr;
    if (FMru.Items().empty()) return;

    auto* separator = new QAction(FFileMenu);
    separator->setSeparator(true);
    auto* reopen = new QMenu("Reopen", FFileMenu);
    reopen->setObjectName("mmiReopen");
    const QFontMetrics metrics(reopen->font());
    auto width = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(ShownPathText(text));
    };
    const std::vector<std::string>& items = FMru.Items();
    for (size_t i = 0; i < items.size(); ++i) {
        const QString path = PathText(items[i]);
        const std::string shortened = ShortenPath(items[i], 200, width);
        const QString caption = "&" +
                                QString::fromStdString(RecentFileAccessKey(static_cast<int>(i))) +
                                " " + MenuSafe(ShownPathText(shortened));
        QAction* entry = reopen->addAction(caption);
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { ReopenRecentFile(path); });
    }
    reopen->addSeparator();
    QAction* clearAll = reopen->addAction("&Clear All");
    clearAll->setObjectName("mmiClearAll");
    connect(clearAll, &QAction::triggered, this, [this] {
        FMru.Clear();
        RebuildRecentFilesMenu();
    });
    FFileMenu->insertAction(FRecentFilesAnchor, separator);
    FFileMenu->insertAction(FRecentFilesAnchor, reopen->menuAction());
    FRecentFilesSeparator = separator;
    FReopenMenu = reopen;
}

void TMainForm::ReopenRecentFile(const QString& path) {
    const std::string bytes = PathBytes(path);
    if (IsExistingFile(bytes)) {
        OpenPatternFile(path);
        return;
    }
    FMru.Remove(bytes);
    RebuildRecentFilesMenu();
    ShowStatus(MissingRecentFileMessage(bytes));
}

}  // namespace ostrel

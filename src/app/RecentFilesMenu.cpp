#include "app/RecentFilesMenu.h"

#include <QFontMetrics>
#include <QMenu>
#include <utility>

#include "app/PathText.h"
#include "shell/PathNames.h"
#include "shell/StatusReasons.h"

namespace ostrel {

namespace {

// Menu texts use "&" for access keys; a path shown in a menu must keep its own "&".
QString MenuSafe(const QString& text) {
    QString escaped = text;
    return escaped.replace('&', "&&");
}

}  // namespace

TRecentFilesMenu::TRecentFilesMenu(QObject& owner, std::string iniPath,
                                   std::function<void(const QString&)> reopen,
                                   std::function<void(const TStatusMessage&)> showStatus)
    : QObject(&owner),
      FIniPath(std::move(iniPath)),
      FReopen(std::move(reopen)),
      FShowStatus(std::move(showStatus)) {
    FFiles.Load(FIniPath);
}

void TRecentFilesMenu::AttachTo(QMenu& file, QAction* anchor) {
    FFileMenu = &file;
    FAnchor = anchor;
}

void TRecentFilesMenu::Add(const std::string& path) {
    FFiles.Add(AbsolutePath(path));
}

void TRecentFilesMenu::Save() const {
    FFiles.Save(FIniPath);
}

void TRecentFilesMenu::Rebuild() {
    // A click on an entry that loads its file rebuilds the submenu while the submenu is still
    // handling that click: take the old items out now and free them later. The submenu owns
    // its own action; the separator goes by itself.
    if (FSeparator) {
        FFileMenu->removeAction(FSeparator);
        FSeparator->deleteLater();
    }
    if (FReopenMenu) {
        FFileMenu->removeAction(FReopenMenu->menuAction());
        FReopenMenu->setObjectName(QString());
        FReopenMenu->deleteLater();
    }
    FSeparator = nullptr;
    FReopenMenu = nullptr;
    if (FFiles.Items().empty()) return;

    auto* separator = new QAction(FFileMenu);
    separator->setSeparator(true);
    auto* reopen = new QMenu("Reopen", FFileMenu);
    reopen->setObjectName("mmiReopen");
    const QFontMetrics metrics(reopen->font());
    auto width = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(ShownPathText(text));
    };
    const std::vector<std::string>& items = FFiles.Items();
    for (size_t i = 0; i < items.size(); ++i) {
        const QString path = PathText(items[i]);
        const std::string shortened = ShortenPath(items[i], 200, width);
        const QString caption = "&" +
                                QString::fromStdString(RecentFileAccessKey(static_cast<int>(i))) +
                                " " + MenuSafe(ShownPathText(shortened));
        QAction* entry = reopen->addAction(caption);
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { Reopen(path); });
    }
    reopen->addSeparator();
    QAction* clearAll = reopen->addAction("&Clear All");
    clearAll->setObjectName("mmiClearAll");
    connect(clearAll, &QAction::triggered, this, [this] {
        FFiles.Clear();
        Rebuild();
    });
    FFileMenu->insertAction(FAnchor, separator);
    FFileMenu->insertAction(FAnchor, reopen->menuAction());
    FSeparator = separator;
    FReopenMenu = reopen;
}

void TRecentFilesMenu::Reopen(const QString& path) {
    const std::string bytes = PathBytes(path);
    if (IsExistingFile(bytes)) {
        FReopen(path);
        return;
    }
    FFiles.Remove(bytes);
    Rebuild();
    FShowStatus(MissingRecentFileMessage(bytes));
}

}  // namespace ostrel

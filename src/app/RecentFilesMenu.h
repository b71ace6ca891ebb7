#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "shell/RecentFiles.h"

class QAction;
class QMenu;
class QString;

namespace ostrel {

struct TStatusMessage;

// File > Reopen: the recent-files list read from and written to the settings file, shown
// as a submenu before "&Exit", with the access keys 1-9, 0 and "Clear All".
class TRecentFilesMenu : public QObject {
    Q_OBJECT

public:
    // Reads the list from `iniPath`. `reopen` opens an entry whose file exists;
    // `showStatus` says why one that is gone left the list.
    TRecentFilesMenu(QObject& owner, std::string iniPath,
                     std::function<void(const QString&)> reopen,
                     std::function<void(const TStatusMessage&)> showStatus);

    // The submenu goes into `file` before `anchor`.
    void AttachTo(QMenu& file, QAction* anchor);
    // Puts the file on top of the list; the menu shows it after the next Rebuild.
    void Add(const std::string& path);
    void Rebuild();
    void Save() const;
    const TMRUFileList& Files() const { return FFiles; }

private:
    void Reopen(const QString& path);

    std::string FIniPath;
    std::function<void(const QString&)> FReopen;
    std::function<void(const TStatusMessage&)> FShowStatus;
    TMRUFileList FFiles;
    QMenu* FFileMenu = nullptr;
    QAction* FAnchor = nullptr;  // the separator before "&Exit"
    QAction* FSeparator = nullptr;
    QMenu* FReopenMenu = nullptr;
};

}  // namespace ostrel

#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <string>
#include <utility>
#include <vector>

#include "app/Launches.h"
#include "app/OpenCommands.h"

namespace ostrel {

// Supplies the paths a user would choose, and records what the dialog was asked.
class TFakeFileDialog : public TFileDialogService {
public:
    explicit TFakeFileDialog(QStringList paths, QString chosenFilter = {}, std::string folder = {})
        : FPaths(std::move(paths)),
          FChosenFilter(std::move(chosenFilter)),
          FFolder(QString::fromStdString(folder)) {}
    QString GetExistingFolder(QWidget*, const QString&) override { return FFolder; }
    QStringList GetOpenFileNames(QWidget*, const QString& folder, const QStringList& filters,
                                 QString& selectedFilter) override {
        AskedFolder = folder;
        AskedFilters = filters;
        PreselectedFilter = selectedFilter;
        if (!FChosenFilter.isEmpty()) selectedFilter = FChosenFilter;
        return FPaths;
    }
    QString AskedFolder;
    QStringList AskedFilters;
    QString PreselectedFilter;

private:
    QStringList FPaths;
    QString FChosenFilter;
    QString FFolder;
};

// Finds only the programs it was told about, under a made-up bin folder, and records every
// look-up and every start instead of running anything.
class TFakeStarter : public TProcessStarter {
public:
    QString FindExecutable(const QString& name) override {
        Lookups << name;
        return Known.contains(name) ? QStringLiteral("/fake/bin/") + name : QString();
    }
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        Starts.push_back({program, arguments});
        return StartSucceeds;
    }

    QStringList Known;
    QStringList Lookups;
    std::vector<std::pair<QString, QStringList>> Starts;
    bool StartSucceeds = true;
};

// Records the addresses the desktop would open.
class TFakeUrls : public TUrlOpener {
public:
    bool OpenUrl(const QUrl& url) override {
        Opened.push_back(url);
        return true;
    }
    std::vector<QUrl> Opened;
};

// Records the errors that would reach the user in a message box, and the window of each.
class TFakeErrors : public TErrorReporter {
public:
    void ShowError(QWidget* parent, const QString& text) override {
        Parents << parent;
        Shown << text;
    }
    QList<QWidget*> Parents;
    QStringList Shown;
};

}  // namespace ostrel

#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <string>
#include <utility>

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

// Records what the window would start or open instead of starting it.
class TFakeStarter : public TProcessStarter {
public:
    QString FindExecutable(const QString&) override { return {}; }
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        Started << program + " " + arguments.join("|");
        return true;
    }
    QStringList Started;
};

class TFakeUrls : public TUrlOpener {
public:
    bool OpenUrl(const QUrl& url) override {
        Opened << url.toString();
        return true;
    }
    QStringList Opened;
};

// Records the errors that would reach the user in a message box.
class TFakeErrors : public TErrorReporter {
public:
    void ShowError(QWidget*, const QString& text) override { Shown << text; }
    QStringList Shown;
};

}  // namespace ostrel

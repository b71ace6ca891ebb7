#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>

#include "app/MainFrm.h"
#include "support/TempDir.h"
#include "uisupport/UiFakes.h"

namespace ostrel {

// A main window on a settings file of its own in a temporary folder, with a program folder
// of its own for the programs it would launch; what it starts, opens and reports as an
// error is recorded instead of reaching the desktop.
class TMainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new window at the size the tests' pictures assume, 1000 x 760.
    void CreateForm();
    // A new window on the same settings file, placed as the settings say.
    void Restart();
    // Answers the file dialog of the command with `paths` and waits for them to load.
    void Choose(const char* command, const QStringList& paths);
    void Open(const QStringList& paths) { Choose("actOpen", paths); }
    void SelectRows(std::initializer_list<int> rows);
    QString Cell(int row, int column) const;
    // The status bar's message panel.
    QString Status() const;

    TFakeStarter Starter;
    TFakeUrls Urls;
    TFakeErrors Errors;
    TTempDir ProgramFolder;
    TTempDir Folder;
    std::unique_ptr<TMainForm> Form;
};

}  // namespace ostrel

#include "uisupport/MainWindowFixture.h"

#include <QAction>
#include <QTreeView>

#include "app/FileTableModel.h"
#include "app/FileTablePanel.h"
#include "app/SelectionCommands.h"
#include "app/ViewModeActions.h"
#include "model/Settings.h"

namespace ostrel {

void TMainWindowFixture::SetUp() {
    DiscardSettings();
    SetSettingsFilePath(Folder.File("settings.ini"));
    CreateForm();
}

void TMainWindowFixture::TearDown() {
    Form.reset();
    DiscardSettings();
}

void TMainWindowFixture::CreateForm() {
    Restart();
    Form->resize(1000, 760);
}

void TMainWindowFixture::Restart() {
    // The old window writes its settings before the new one reads them.
    Form.reset();
    Form = std::make_unique<TMainForm>(
        Folder.File("settings.ini"),
        std::make_unique<TLauncher>(QString::fromStdString(ProgramFolder.Path() + "/"), Starter,
                                    Urls, Errors));
    Form->Opening().SetErrorReporter(Errors);
    Form->Commands().SetErrorReporter(Errors);
}

void TMainWindowFixture::Choose(const char* command, const QStringList& paths) {
    Form->Opening().SetFileDialogService(std::make_unique<TFakeFileDialog>(paths));
    Form->findChild<QAction*>(command)->trigger();
    Form->Opening().FinishLoading();
}

void TMainWindowFixture::SelectRows(std::initializer_list<int> rows) {
    QTreeView& view = Form->Table().View();
    view.clearSelection();
    for (int row : rows) {
        view.selectionModel()->select(Form->Table().Model().index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QString TMainWindowFixture::Cell(int row, int column) const {
    return Form->Table().Model().index(row, column).data().toString();
}

QString TMainWindowFixture::Status() const {
    return Form->ViewModes().StatusPanelText(1);
}

}  // namespace ostrel

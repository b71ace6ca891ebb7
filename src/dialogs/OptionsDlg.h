#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace ostrel {

class TSettings;

// The options dialog: edits whether a file may be opened twice, whether the file table
// shows file name extensions, and above how many selected patterns the graphs show a
// density image. It works on its own copy of the values, so closing it any way but OK
// leaves the settings untouched.
class TOptionsDialog : public QDialog {
    Q_OBJECT

public:
    explicit TOptionsDialog(QWidget* parent = nullptr);

    // Working values and check marks from the settings.
    void LoadFrom(const TSettings& settings);
    // The working values into the settings.
    void ApplyTo(TSettings& settings) const;

    bool AllowDuplicates() const { return FAllowDuplicates; }
    bool ShowExtensions() const { return FShowExtensions; }
    int DensityThreshold() const { return FDensityThreshold; }

    QCheckBox* chkDuplicateFiles = nullptr;
    QCheckBox* chkShowExtensions = nullptr;
    QSpinBox* seDensityThreshold = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QTabWidget* pcOptions = nullptr;

private:
    bool FAllowDuplicates = false;
    bool FShowExtensions = false;
    int FDensityThreshold = 500;
};

// Runs a prepared dialog and returns how it was closed (QDialog::Accepted or Rejected).
using TOptionsDialogRunner = std::function<int(TOptionsDialog&)>;

// The Options command: shows the dialog with the current options and, when it is closed
// with OK, copies the values back into `settings`. Returns whether it was OK. The
// runner replaces the modal run (tests drive the dialog without an event loop); by default
// the dialog runs modally.
bool ExecuteOptionsDialog(QWidget* parent, TSettings& settings,
                          const TOptionsDialogRunner& run = {});

}  // namespace ostrel

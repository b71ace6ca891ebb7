#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "views/PrintedPages.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace ostrel {

// Asks which pages a print job makes for several patterns: one page per pattern (the
// choice it starts with), one page with all patterns overlaid, or both. Made anew for
// every print, so the choice is not remembered.
class TPrintOptionsDialog : public QDialog {
    Q_OBJECT

public:
    explicit TPrintOptionsDialog(QWidget* parent = nullptr);

    // Setting a mode also checks its button.
    void SetPrintMode(TPrintMode mode);
    TPrintMode PrintMode() const { return FPrintMode; }

    QGroupBox* gbOptions = nullptr;
    QRadioButton* rbSingle = nullptr;
    QRadioButton* rbOverlay = nullptr;
    QRadioButton* rbBoth = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Tab's order: the three choices (overlay, single, both), then OK and Cancel.
    std::array<QWidget*, 5> KeyboardOrder() const;

    TPrintMode FPrintMode = TPrintMode::Single;
};

}  // namespace ostrel

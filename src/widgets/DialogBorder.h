#pragma once

#include <QDialog>

namespace ostrel {

// A dialog of one fixed size with a title bar and a close box only: window managers then give
// it neither a minimise nor a maximise button, nor a resizing edge.
inline void SetFixedDialogBorder(QDialog& dialog, int clientWidth, int clientHeight) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    dialog.setFixedSize(clientWidth, clientHeight);
    dialog.setSizeGripEnabled(false);
}

}  // namespace ostrel

#include "dialogs/PrintOptionsDlg.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "widgets/AppFonts.h"

namespace ostrel {

TPrintOptionsDialog::TPrintOptionsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Print Options"));
    setFont(TahomaFont());
    setFixedSize(314, 179);
    setSizeGripEnabled(false);

    gbOptions = new QGroupBox(QStringLiteral("Print Options "), this);
    gbOptions->setGeometry(8, 8, 297, 121);
    auto radio = [this](const char* name, const QString& caption, int y, std::uint8_t mode) {
        auto* button = new QRadioButton(caption, gbOptions);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(16, y, 273, 17);
        connect(button, &QRadioButton::clicked, this, [this, mode] { FPrintMode = mode; });
        return button;
    };
    rbSingle = radio("rbSingle", QStringLiteral("Print single format (Each file on it's own page)"),
                     24, 1);
    rbOverlay =
        radio("rbOverlay", QStringLiteral("Print overlay format (All on single page)"), 56, 0);
    rbBoth = radio("rbBoth", QStringLiteral("Print both formats"), 88, 2);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setGeometry(144, 144, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setGeometry(232, 144, 75, 25);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Keyboard order of the choices: overlay, single, both.
    setTabOrder(rbOverlay, rbSingle);
    setTabOrder(rbSingle, rbBoth);
    setTabOrder(rbBoth, btnOK);
    setTabOrder(btnOK, btnCancel);
    SetPrintMode(1);
}

void TPrintOptionsDialog::SetPrintMode(std::uint8_t mode) {
    FPrintMode = mode;
    if (mode == 0) rbOverlay->setChecked(true);
    if (mode == 1) rbSingle->setChecked(true);
    if (mode == 2) rbBoth->setChecked(true);
}

}  // namespace ostrel

#include "dialogs/PrintOptionsDlg.h"

#include <algorithm>

#include <QGroupBox>
#include <QKeyEvent>
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
    auto radio = [this](const char* name, const QString& caption, int y, TPrintMode mode) {
        auto* button = new QRadioButton(caption, gbOptions);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(16, y, 273, 17);
        connect(button, &QRadioButton::clicked, this, [this, mode] { FPrintMode = mode; });
        return button;
    };
    rbSingle = radio("rbSingle", QStringLiteral("Print single format (Each file on it's own page)"),
                     24, TPrintMode::Single);
    rbOverlay = radio("rbOverlay", QStringLiteral("Print overlay format (All on single page)"), 56,
                      TPrintMode::Overlay);
    rbBoth = radio("rbBoth", QStringLiteral("Print both formats"), 88, TPrintMode::Both);

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
    for (QWidget* part : KeyboardOrder()) part->installEventFilter(this);
    SetPrintMode(TPrintMode::Single);
}

std::array<QWidget*, 5> TPrintOptionsDialog::KeyboardOrder() const {
    return {rbOverlay, rbSingle, rbBoth, btnOK, btnCancel};
}

bool TPrintOptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    // The toolkit lets Tab stop only at the checked one of exclusive choices, and the arrows
    // follow their places on screen (single is drawn first): both walk the order instead.
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const std::array<QWidget*, 5> order = KeyboardOrder();
    const auto at = std::find(order.begin(), order.end(), watched);
    if (at == order.end()) return QDialog::eventFilter(watched, event);
    const int index = static_cast<int>(at - order.begin());
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int count = static_cast<int>(order.size());
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        const int next = (index + (key == Qt::Key_Tab ? 1 : count - 1)) % count;
        order[static_cast<size_t>(next)]->setFocus(key == Qt::Key_Tab ? Qt::TabFocusReason
                                                                      : Qt::BacktabFocusReason);
        return true;
    }
    constexpr int kChoices = 3;
    const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
    const bool back = key == Qt::Key_Up || key == Qt::Key_Left;
    if (index >= kChoices || !(forward || back)) return QDialog::eventFilter(watched, event);
    auto* choice = static_cast<QRadioButton*>(
        order[static_cast<size_t>((index + (forward ? 1 : kChoices - 1)) % kChoices)]);
    choice->setFocus(Qt::OtherFocusReason);
    choice->click();
    return true;
}

void TPrintOptionsDialog::SetPrintMode(TPrintMode mode) {
    FPrintMode = mode;
    switch (mode) {
        case TPrintMode::Overlay:
            rbOverlay->setChecked(true);
            break;
        case TPrintMode::Single:
            rbSingle->setChecked(true);
            break;
        case TPrintMode::Both:
            rbBoth->setChecked(true);
            break;
    }
}

}  // namespace ostrel

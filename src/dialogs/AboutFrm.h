#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QKeyEvent;

namespace ostrel {

class TEasterKey;
class TLinkControl;

// The about box: the program's title, icon, version, the maker's notice and privacy-policy
// link, and a credits panel that appears when the user holds Alt and types a secret word
// anywhere in the box (and hides again when it is typed once more).
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    // The word that toggles the credits panel (letter case doesn't matter).
    static constexpr const char* kCreditsSequence = "Qorv7";

    explicit TAboutForm(QWidget* parent = nullptr);
    ~TAboutForm() override;

    const TEasterKey& EasterKey() const { return *FEasterKey; }

    QLabel* lblTitle = nullptr;
    QLabel* imgIcon = nullptr;
    QLabel* lblMaker = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblNotice = nullptr;
    QLabel* lblAddress = nullptr;
    TLinkControl* lnkAddress = nullptr;
    QLabel* imgLogo = nullptr;
    QPushButton* btnOK = nullptr;
    QWidget* pnlCredits = nullptr;
    QLabel* lblProgrammedBy = nullptr;
    QLabel* lblProgrammer = nullptr;

protected:
    // Sees the keys of the box and of every control in it before the controls do.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ToggleCredits();
    void KeyReleased(const QKeyEvent& event);
    // Whether an Alt key press continues a secret word being typed, so that it must not
    // trigger a control's Alt shortcut (the "O" of the word is the OK button's).
    bool ContinuesSequence(const QKeyEvent& event) const;

    std::unique_ptr<TEasterKey> FEasterKey;
    std::string FSequenceUpper;
    // A key event travels from the control that got it up to the box; these tell the
    // first delivery from the later ones, so that each release counts once.
    const QEvent* FLastKeyEvent = nullptr;
    QPointer<QWidget> FLastKeyReceiver;
};

// The About command: shows the box modally and frees it; how it was closed doesn't matter.
void ExecuteAboutBox(QWidget* parent);

}  // namespace ostrel

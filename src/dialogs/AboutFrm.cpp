#include "dialogs/AboutFrm.h"
#include "model/AsciiText.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "shell/Branding.h"
#include "shell/EasterKey.h"
#include "widgets/AppFonts.h"
#include "widgets/AppIcons.h"
#include "widgets/DialogBorder.h"
#include "widgets/LinkControl.h"

namespace ostrel {

namespace {

constexpr int kClientWidth = 307;
constexpr int kClientHeight = 280;
const QColor kTitleColor(43, 43, 255);
const QColor kLinkBlue(0, 0, 255);

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    widget->setPalette(pal);
}

QLabel* NewLabel(QWidget* parent, const char* text, int x, int y, const QFont& font) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFont(font);
    label->adjustSize();
    label->move(x, y);
    return label;
}

// The largest pixel size up to `pixelSize` at which `text` fits `width`.
QFont FittingFont(QFont font, const QString& text, int width) {
    while (font.pixelSize() > 6 && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

// The key code the detector understands: letters and digits are their upper-case
// character; keys outside Latin-1 (Alt itself, function keys) are no character at all.
int DetectorKeyCode(int qtKey) {
    return (qtKey >= 0 && qtKey <= 0xFF) ? qtKey : 0;
}

char UpperAscii(int keyCode) {
    return AsciiUpper(static_cast<char>(keyCode));
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    setFont(TahomaFont());
    SetFixedDialogBorder(*this, kClientWidth, kClientHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    lblTitle = NewLabel(this, branding::kProgramTitle, 56, 16, TahomaFont(21, true));
    SetTextColor(lblTitle, kTitleColor);

    imgIcon = new QLabel(this);
    imgIcon->setGeometry(8, 16, 32, 32);
    imgIcon->setPixmap(ProgramIconPixmap(32));

    lblMaker = NewLabel(this, branding::kMakerLine, 8, 56, TahomaFont(11, true));
    lblVersion = NewLabel(this, branding::VersionText().c_str(), 8, 72, TahomaFont());

    lblNotice = new QLabel(QString::fromUtf8(branding::kLegalNotice), this);
    lblNotice->setWordWrap(true);
    lblNotice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblNotice->setGeometry(8, 96, 261, 78);

    lblAddress = NewLabel(this, branding::kPrivacyUrl, 8, 184, TahomaFont());
    SetTextColor(lblAddress, kLinkBlue);
    lnkAddress = new TLinkControl(this);
    lnkAddress->setGeometry(8, 184, 289, 17);
    lnkAddress->SetLink(QString::fromUtf8(branding::kPrivacyUrl));

    imgLogo = new QLabel(this);
    imgLogo->setGeometry(8, 216, 180, 30);
    imgLogo->setScaledContents(true);
    // Drawn at twice the size and stretched down, so its edges stay smooth.
    imgLogo->setPixmap(MakerLogo(QSize(360, 60)));

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setGeometry(224, 240, 75, 25);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    pnlCredits = new QWidget(this);
    pnlCredits->setGeometry(144, 48, 161, 41);
    pnlCredits->setAutoFillBackground(true);
    lblProgrammedBy = NewLabel(pnlCredits, "Programmed by", 0, 2, TahomaFont(11, true));
    lblProgrammedBy->setGeometry(0, 2, pnlCredits->width(), lblProgrammedBy->height());
    lblProgrammedBy->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    const QString programmer = QString::fromUtf8(branding::kProgrammerName);
    // 19 px bold as a rule; a name too long for the panel is set smaller rather than cut.
    lblProgrammer = NewLabel(pnlCredits, branding::kProgrammerName, 0, 16,
                             FittingFont(TahomaFont(19, true), programmer, pnlCredits->width()));
    lblProgrammer->setGeometry(0, 16, pnlCredits->width(), pnlCredits->height() - 16);
    lblProgrammer->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    SetTextColor(lblProgrammer, kLinkBlue);
    pnlCredits->hide();

    for (char c : std::string(kCreditsSequence)) FSequenceUpper += UpperAscii(c);
    FEasterKey =
        std::make_unique<TEasterKey>(kCreditsSequence, [this](TEasterKey&) { ToggleCredits(); });

    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::ToggleCredits() {
    pnlCredits->setVisible(pnlCredits->isHidden());
}

bool TAboutForm::ContinuesSequence(const QKeyEvent& event) const {
    if (!(event.modifiers() & Qt::AltModifier)) return false;
    const std::string& typed = FEasterKey->Typed();
    if (typed.empty() || typed == FSequenceUpper) return false;
    const char c = UpperAscii(DetectorKeyCode(event.key()));
    return FSequenceUpper.find(typed + c) != std::string::npos;
}

void TAboutForm::KeyReleased(const QKeyEvent& event) {
    // Holding a key down repeats press and release; the key is released once.
    if (event.isAutoRepeat()) return;
    FEasterKey->KeyUp(DetectorKeyCode(event.key()), (event.modifiers() & Qt::AltModifier) != 0);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        if (ContinuesSequence(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // The same event going on from a control to its parent counts once.
        const bool passedUp = event == FLastKeyEvent && widget && FLastKeyReceiver &&
                              widget != FLastKeyReceiver && widget->isAncestorOf(FLastKeyReceiver);
        FLastKeyEvent = event;
        FLastKeyReceiver = widget;
        if (!passedUp) KeyReleased(*static_cast<QKeyEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void ExecuteAboutBox(QWidget* parent) {
    TAboutForm form(parent);
    form.exec();
}

}  // namespace ostrel

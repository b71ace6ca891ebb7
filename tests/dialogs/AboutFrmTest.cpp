#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "dialogs/AboutFrm.h"
#include "shell/Branding.h"
#include "shell/EasterKey.h"
#include "uisupport/UiDialogChecks.h"
#include "uisupport/UiImageFiles.h"
#include "widgets/AppIcons.h"
#include "widgets/LinkControl.h"

namespace ostrel {
namespace {

// Releases the keys of `text` one by one on `target`, as typed with or without Alt.
void TypeReleases(QWidget* target, const char* text, bool alt) {
    for (const char* c = text; *c; ++c) {
        const char upper = (*c >= 'a' && *c <= 'z') ? static_cast<char>(*c - 'a' + 'A') : *c;
        QTest::keyRelease(target, static_cast<Qt::Key>(upper),
                          alt ? Qt::AltModifier : Qt::NoModifier);
    }
}

TEST(AboutForm, ElementsSitWhereTheBoxPutsThem) {
    TAboutForm form;
    EXPECT_EQ(form.windowTitle(), "About");
    EXPECT_EQ(form.size(), QSize(307, 280));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed size";
    ExpectFixedDialogBorder(form);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));

    EXPECT_EQ(form.lblTitle->pos(), QPoint(56, 16));
    EXPECT_EQ(form.lblTitle->text(), "Ostrel Viewer");
    EXPECT_EQ(form.lblTitle->font().pixelSize(), 21);
    EXPECT_TRUE(form.lblTitle->font().bold());
    EXPECT_EQ(form.lblTitle->palette().color(QPalette::WindowText), QColor(43, 43, 255));

    EXPECT_EQ(form.imgIcon->geometry(), QRect(8, 16, 32, 32));
    EXPECT_EQ(form.lblMaker->pos(), QPoint(8, 56));
    EXPECT_EQ(form.lblMaker->text(), branding::kMakerLine);
    EXPECT_TRUE(form.lblMaker->font().bold());
    EXPECT_EQ(form.lblVersion->pos(), QPoint(8, 72));
    EXPECT_EQ(form.lblVersion->text(), "Ver. " OSTREL_VERSION);  // the project's version
    EXPECT_EQ(form.lblNotice->geometry(), QRect(8, 96, 261, 78));
    EXPECT_TRUE(form.lblNotice->wordWrap());
    EXPECT_EQ(form.lblAddress->pos(), QPoint(8, 184));
    EXPECT_EQ(form.lblAddress->text(), branding::kPrivacyUrl);
    EXPECT_EQ(form.lblAddress->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(form.lnkAddress->geometry(), QRect(8, 184, 289, 17));
    EXPECT_EQ(form.lnkAddress->Link(), branding::kPrivacyUrl);
    EXPECT_EQ(form.imgLogo->geometry(), QRect(8, 216, 180, 30));
    EXPECT_TRUE(form.imgLogo->hasScaledContents());
    EXPECT_EQ(form.btnOK->geometry(), QRect(224, 240, 75, 25));
    EXPECT_EQ(form.btnOK->text(), "&OK");
    EXPECT_EQ(form.pnlCredits->geometry(), QRect(144, 48, 161, 41));
    EXPECT_TRUE(form.pnlCredits->isHidden());
    EXPECT_EQ(form.lblProgrammedBy->text(), "Programmed by");
    EXPECT_EQ(form.lblProgrammer->text(), branding::kProgrammerName);
    EXPECT_EQ(form.lblProgrammer->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(form.lblProgrammer->font().bold());
    EXPECT_LE(form.lblProgrammer->font().pixelSize(), 19);
}

// Every text fits the place it has: nothing is cut at the right or the bottom.
TEST(AboutForm, NoTextIsCut) {
    TAboutForm form;
    for (QLabel* label : {form.lblTitle, form.lblMaker, form.lblVersion, form.lblAddress}) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_LE(label->geometry().right(), 306);
    }
    EXPECT_LE(form.lblNotice->heightForWidth(form.lblNotice->width()), form.lblNotice->height());
    EXPECT_GE(form.lnkAddress->width(), form.lblAddress->width()) << "the whole address clicks";
    EXPECT_LE(
        QFontMetrics(form.lblProgrammer->font()).horizontalAdvance(form.lblProgrammer->text()),
        form.pnlCredits->width());
    EXPECT_LE(form.lblProgrammer->y() + QFontMetrics(form.lblProgrammer->font()).height(),
              form.pnlCredits->height());
    EXPECT_LE(form.lblTitle->geometry().bottom(), form.pnlCredits->y() + 41);
    EXPECT_LE(form.lblTitle->geometry().bottom(), form.lblMaker->y()) << "title over maker line";
}

TEST(AboutForm, AltAndTheSecretWordToggleTheCredits) {
    TAboutForm form;
    TypeReleases(&form, "Qorv7", false);
    EXPECT_TRUE(form.pnlCredits->isHidden()) << "without Alt nothing happens";

    TypeReleases(&form, "Qorv7", true);
    EXPECT_FALSE(form.pnlCredits->isHidden());
    TypeReleases(&form, "qorv7", true);
    EXPECT_TRUE(form.pnlCredits->isHidden()) << "typed again it hides";

    // A wrong key in between starts a new attempt, which may still succeed.
    TypeReleases(&form, "QOXQorv7", true);
    EXPECT_FALSE(form.pnlCredits->isHidden());
    // A release without Alt in the middle doesn't break the attempt; one of another key does.
    TypeReleases(&form, "QO", true);
    TypeReleases(&form, "A", false);
    TypeReleases(&form, "RV7", true);
    EXPECT_TRUE(form.pnlCredits->isHidden());
    TypeReleases(&form, "QO", true);
    QTest::keyRelease(&form, Qt::Key_F8, Qt::AltModifier);  // not the digit 7
    TypeReleases(&form, "RV7", true);
    EXPECT_TRUE(form.pnlCredits->isHidden());

    // A held key repeats, but it is released once.
    TypeReleases(&form, "QO", true);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_O, Qt::AltModifier, QString(), true);
    QCoreApplication::sendEvent(&form, &repeated);
    TypeReleases(&form, "RV7", true);
    EXPECT_FALSE(form.pnlCredits->isHidden());
}

TEST(AboutForm, KeysReleasedOnAControlCountOnce) {
    TAboutForm form;
    // Labels and buttons pass these keys on to the box; each must count once, or the word
    // could never be completed.
    TypeReleases(form.btnOK, "Qor", true);
    TypeReleases(form.lblNotice, "v7", true);
    EXPECT_FALSE(form.pnlCredits->isHidden());
    TypeReleases(form.lblProgrammer, "Qorv", true);
    TypeReleases(&form, "7", true);
    EXPECT_TRUE(form.pnlCredits->isHidden());
    EXPECT_EQ(form.EasterKey().Typed(), "QORV7");
}

TEST(AboutForm, AltOInsideTheWordDoesNotPressOk) {
    TAboutForm form;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (Qt::Key key : {Qt::Key_Q, Qt::Key_O, Qt::Key_R, Qt::Key_V, Qt::Key_7})
        QTest::keyClick(&form, key, Qt::AltModifier);
    // A button's Alt key shows it pressed at once and clicks it a moment later: a button not
    // down now will not click.
    EXPECT_FALSE(form.btnOK->isDown()) << "Alt+O inside the word must not press OK";
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isVisible()) << "the box stays open";
    EXPECT_FALSE(form.pnlCredits->isHidden());

    // On its own, Alt+O is still the OK button's key.
    QTest::keyClick(&form, Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(form.btnOK->isDown());
    // The click follows on the button's own timer; the bound only ends a broken run.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 60000));
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(AboutForm, TheAddressLineOpensThePrivacyPage) {
    TAboutForm form;
    std::vector<QUrl> opened;
    form.lnkAddress->SetOpener([&](const QUrl& url) { opened.push_back(url); });
    // Clicking on the visible address text hits the link control laid over it.
    const QPoint onText = form.lblAddress->geometry().center();
    EXPECT_EQ(form.childAt(onText), form.lnkAddress);
    QTest::mouseClick(form.lnkAddress, Qt::LeftButton, {}, form.lnkAddress->mapFrom(&form, onText));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("https://www.velmor.example/privacy")));
    EXPECT_EQ(form.childAt(onText)->cursor().shape(), Qt::PointingHandCursor);
}

// Opaque pixels of an image, and how many of them are clearly blue.
std::pair<int, int> CountInk(const QImage& image) {
    int ink = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128) continue;
            ++ink;
            if (c.blue() > 150 && c.red() < 120 && c.green() < 120) ++blue;
        }
    }
    return {ink, blue};
}

TEST(AboutForm, IconAndLogoAreDrawnInBlueOnTransparent) {
    const QImage icon = ProgramIconPixmap(32).toImage();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    const auto [iconInk, iconBlue] = CountInk(icon);
    EXPECT_GT(iconInk, 32 * 32 / 2);
    EXPECT_GT(iconBlue, 32 * 32 / 20);
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0) << "round icon, clear corners";
    SaveTestPng(icon, "app/program-icon-32.png");

    const QImage logo = MakerLogo(QSize(180, 30)).toImage();
    ASSERT_EQ(logo.size(), QSize(180, 30));
    const auto [logoInk, logoBlue] = CountInk(logo);
    EXPECT_GT(logoInk, 300);
    EXPECT_GT(logoBlue, 50);
    EXPECT_LT(logoInk, 180 * 30 / 2) << "a transparent background";
    SaveTestPng(logo, "app/maker-logo.png");
}

// The credits are drawn in their panel, over what the box shows there without them.
TEST(AboutForm, TheCreditsAreDrawnInTheirPanel) {
    TAboutForm form;
    form.show();
    const QImage plain = form.grab().toImage();
    SaveTestPng(plain, "app/about-box.png");
    TypeReleases(&form, "Qorv7", true);
    const QImage credits = form.grab().toImage();
    SaveTestPng(credits, "app/about-box-credits.png");
    ASSERT_EQ(plain.size(), credits.size());
    // Pixels of the panel's area that differ from the box without the credits.
    const QRect panel = form.pnlCredits->geometry();
    int changed = 0;
    for (int y = panel.top(); y <= panel.bottom(); ++y) {
        for (int x = panel.left(); x <= panel.right(); ++x) {
            changed += plain.pixel(x, y) != credits.pixel(x, y);
        }
    }
    EXPECT_GT(changed, 50) << "the credits' text";
}

}  // namespace
}  // namespace ostrel

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>
#include <QUrl>

#include "shell/Branding.h"
#include "widgets/LinkControl.h"

namespace ostrel {
namespace {

void SendEnter(QWidget& widget) {
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QCoreApplication::sendEvent(&widget, &enter);
}

void SendLeave(QWidget& widget) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &leave);
}

TEST(LinkControl, EnterFiresOnceUntilTheMouseLeaves) {
    TLinkControl link;
    link.resize(100, 17);
    std::vector<std::string> calls;
    link.OnMouseEnter = [&](TLinkControl& sender) {
        EXPECT_EQ(&sender, &link);
        calls.push_back("enter");
    };
    link.OnMouseLeave = [&](TLinkControl& sender) {
        EXPECT_EQ(&sender, &link);
        calls.push_back("leave");
    };
    EXPECT_FALSE(link.Hovering());
    SendEnter(link);
    EXPECT_TRUE(link.Hovering());
    SendEnter(link);
    EXPECT_EQ(calls, (std::vector<std::string>{"enter"}));
    SendLeave(link);
    EXPECT_FALSE(link.Hovering());
    SendEnter(link);
    EXPECT_EQ(calls, (std::vector<std::string>{"enter", "leave", "enter"}));

    // Without handlers the flag still follows the mouse.
    link.OnMouseEnter = nullptr;
    link.OnMouseLeave = nullptr;
    SendLeave(link);
    EXPECT_FALSE(link.Hovering());
    SendEnter(link);
    EXPECT_TRUE(link.Hovering());
}

TEST(LinkControl, ClickSignalsFirstThenOpensTheLink) {
    TLinkControl link;
    link.resize(289, 17);
    link.SetLink(QString::fromUtf8(branding::kPrivacyUrl));
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);

    std::vector<QString> calls;
    QObject::connect(&link, &TLinkControl::clicked, [&] { calls.push_back("clicked"); });
    link.SetOpener([&](const QUrl& url) { calls.push_back(url.toString()); });

    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(280, 8));
    EXPECT_EQ(calls, (std::vector<QString>{"clicked", "https://www.velmor.example/privacy"}));

    // A right click, or a press that is released outside, is no click.
    calls.clear();
    QTest::mouseClick(&link, Qt::RightButton);
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(5, 40));
    EXPECT_TRUE(calls.empty());
}

TEST(LinkControl, DocumentPathsOpenAsFiles) {
    const QUrl guide = TLinkControl::LinkUrl(QStringLiteral("/opt/ostrel/guide.pdf"));
    EXPECT_TRUE(guide.isLocalFile());
    EXPECT_EQ(guide.toLocalFile(), "/opt/ostrel/guide.pdf");
    EXPECT_EQ(TLinkControl::LinkUrl(QStringLiteral("https://a.example/p?x=1")).toString(),
              "https://a.example/p?x=1");
}

}  // namespace
}  // namespace ostrel

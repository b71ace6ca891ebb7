#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

#include "uisupport/UiImageFiles.h"
#include "widgets/EdgePanel.h"

namespace ostrel {
namespace {

const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Checks both frames of a 40 x 20 panel: the middle of every side, and the corners where
// the two colours of one frame meet.
void ExpectFrames(const QImage& image, const QColor& outerTopLeft, const QColor& outerBottomRight,
                  const QColor& innerTopLeft, const QColor& innerBottomRight) {
    ASSERT_EQ(image.size(), QSize(40, 20));
    EXPECT_EQ(At(image, 20, 0), outerTopLeft) << "outer top";
    EXPECT_EQ(At(image, 0, 10), outerTopLeft) << "outer left";
    EXPECT_EQ(At(image, 0, 0), outerTopLeft) << "outer top-left corner";
    EXPECT_EQ(At(image, 20, 19), outerBottomRight) << "outer bottom";
    EXPECT_EQ(At(image, 39, 10), outerBottomRight) << "outer right";
    EXPECT_EQ(At(image, 39, 19), outerBottomRight) << "outer bottom-right corner";
    EXPECT_EQ(At(image, 39, 0), outerBottomRight) << "outer top-right corner";
    EXPECT_EQ(At(image, 0, 19), outerBottomRight) << "outer bottom-left corner";

    EXPECT_EQ(At(image, 20, 1), innerTopLeft) << "inner top";
    EXPECT_EQ(At(image, 1, 10), innerTopLeft) << "inner left";
    EXPECT_EQ(At(image, 1, 1), innerTopLeft) << "inner top-left corner";
    EXPECT_EQ(At(image, 20, 18), innerBottomRight) << "inner bottom";
    EXPECT_EQ(At(image, 38, 10), innerBottomRight) << "inner right";
    EXPECT_EQ(At(image, 38, 18), innerBottomRight) << "inner bottom-right corner";
}

TEST(EdgePanel, SunkenAndRaisedFramesHaveTheirColours) {
    TvkEdgePanel panel;
    panel.SetColor(QColor(10, 200, 30));
    panel.resize(40, 20);
    EXPECT_TRUE(panel.Sunken()) << "a new panel is sunken";

    const QImage sunken = panel.grab().toImage();
    SaveTestPng(sunken, "app/edge-panel-sunken.png");
    {
        SCOPED_TRACE("sunken");
        ExpectFrames(sunken, kGrey, kWhite, kBlack, kSilver);
    }
    EXPECT_EQ(At(sunken, 2, 2), QColor(10, 200, 30)) << "the background starts inside the edge";
    EXPECT_EQ(At(sunken, 20, 10), QColor(10, 200, 30));

    panel.SetSunken(false);
    const QImage raised = panel.grab().toImage();
    SaveTestPng(raised, "app/edge-panel-raised.png");
    {
        SCOPED_TRACE("raised");
        ExpectFrames(raised, kSilver, kBlack, kWhite, kGrey);
    }
    EXPECT_EQ(At(raised, 37, 17), QColor(10, 200, 30));
}

TEST(EdgePanel, ChildrenStayClearOfTheEdge) {
    TvkEdgePanel panel;
    panel.resize(273, 31);
    auto* layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* child = new QLabel(QStringLiteral("x"), &panel);
    child->setAutoFillBackground(true);
    layout->addWidget(child);
    layout->activate();
    EXPECT_EQ(child->geometry(), QRect(2, 2, 269, 27));
    const QImage image = panel.grab().toImage();
    EXPECT_EQ(At(image, 100, 1), kBlack) << "the child doesn't paint over the frame";
}

}  // namespace
}  // namespace ostrel

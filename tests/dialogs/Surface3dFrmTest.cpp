#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

#include "dialogs/Surface3dFrm.h"
#include "formats/PatternLoaders.h"
#include "uisupport/UiImageFiles.h"
#include "uisupport/UiPatternFiles.h"

namespace ostrel {
namespace {

// How many pixels of an image are not white, and how far they reach.
struct TInk {
    int Pixels = 0;
    QRect Box;
};

TInk InkOf(const QImage& image) {
    TInk ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
            ++ink.Pixels;
            ink.Box |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

class Surface3dFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::string& file : ShownPatternFiles()) {
            auto pattern = LoadPatternFile(file).TakeFirst();
            ASSERT_TRUE(pattern) << file;
            pattern->Id = static_cast<int>(Owned.size());
            Selection.Add(*pattern);
            Owned.push_back(std::move(pattern));
        }
        ASSERT_GE(Selection.Count(), 2);
    }

    std::vector<std::unique_ptr<TPatternData>> Owned;
    TPatternDataList Selection{false};
};

TEST_F(Surface3dFormTest, OpensTurnsByADragResetsAndPicksPatternsFromItsList) {
    QWidget main;
    TSurface3dForm* form = OpenSurface3dWindow(&main, Selection, TScaleMode::Range40Db);
    ASSERT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    EXPECT_TRUE(form->isWindow());
    EXPECT_EQ(form->View().Pattern()->FileName, Selection.Items(0).FileName);
    // A copy: closing the patterns in the main window cannot pull the surface away.
    EXPECT_NE(form->View().Pattern(), &Selection.Items(0));

    QWidget* area = form->PaintArea();
    const double yaw = form->View().YawDeg();
    const double pitch = form->View().PitchDeg();
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(140, 80), area->mapToGlobal(QPointF(140, 80)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &move);
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(140, 80));
    EXPECT_DOUBLE_EQ(form->View().YawDeg(), yaw - 20);
    EXPECT_DOUBLE_EQ(form->View().PitchDeg(), pitch - 10);
    const QImage turned = area->grab().toImage();

    form->findChild<QPushButton*>("btnReset")->click();
    EXPECT_DOUBLE_EQ(form->View().YawDeg(), yaw);
    EXPECT_DOUBLE_EQ(form->View().PitchDeg(), pitch);
    const QImage reset = area->grab().toImage();
    EXPECT_NE(turned, reset);
    SaveTestPng(form->grab().toImage(), "views/surface3d_window.png");

    auto* list = form->findChild<QListWidget*>("lstPatterns");
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), Selection.Count());
    list->setCurrentRow(1);
    EXPECT_EQ(form->View().Pattern()->FileName, Selection.Items(1).FileName);
    EXPECT_NE(area->grab().toImage(), reset);

    EXPECT_EQ(form->View().Method(), TSurfaceMethod::WeightedBilinear) << "shown first";
    form->SetScaleMode(TScaleMode::Logarithmic);
    SaveTestPng(area->grab().toImage(), "views/surface3d_weighted_bilinear_log.png");
    form->findChild<QComboBox*>("cbMethod")->setCurrentIndex(0);
    EXPECT_EQ(form->View().Method(), TSurfaceMethod::CutSum);

    // The offsets of the offset angles dialog reach the window's own copies.
    Owned[1]->HRotationOffset = 45;
    const QImage before = area->grab().toImage();
    form->ApplyOffsets(Selection);
    EXPECT_NE(area->grab().toImage(), before);

    // One pattern needs no list.
    TPatternDataList one(false);
    one.Add(*Owned[0]);
    form->SetPatterns(one);
    EXPECT_FALSE(list->isVisible());
    form->close();
}

TEST_F(Surface3dFormTest, TheKeyboardTurnsZoomsAndClosesTheWindow) {
    QWidget main;
    QPointer<TSurface3dForm> form = OpenSurface3dWindow(&main, Selection, TScaleMode::Range40Db);
    QWidget* area = form->PaintArea();
    EXPECT_EQ(form->focusWidget(), area) << "the arrows turn the surface from the start";
    const TSurfaceView& view = form->View();
    const double yaw = view.YawDeg();
    const double pitch = view.PitchDeg();
    // Each key moves the view as a drag or a wheel notch that way would.
    const struct {
        Qt::Key Key;
        double Yaw, Pitch, Zoom;
    } steps[] = {
        {Qt::Key_Right, yaw - 5, pitch, 1}, {Qt::Key_Right, yaw - 10, pitch, 1},
        {Qt::Key_Left, yaw - 5, pitch, 1},  {Qt::Key_Down, yaw - 5, pitch + 5, 1},
        {Qt::Key_Up, yaw - 5, pitch, 1},    {Qt::Key_Plus, yaw - 5, pitch, 1.1},
        {Qt::Key_Minus, yaw - 5, pitch, 1}, {Qt::Key_Minus, yaw - 5, pitch, 1 / 1.1},
    };
    for (const auto& step : steps) {
        QTest::keyClick(area, step.Key);
        EXPECT_NEAR(view.YawDeg(), step.Yaw, 1e-9);
        EXPECT_NEAR(view.PitchDeg(), step.Pitch, 1e-9);
        EXPECT_NEAR(view.Zoom(), step.Zoom, 1e-9);
    }
    QTest::keyClick(area, Qt::Key_Escape);  // closes the window, which deletes itself
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

TEST_F(Surface3dFormTest, CopyImagePutsSvgAndPngWhoseExtentFollowsTheScale) {
    TSurface3dForm form;
    form.resize(900, 620);
    form.SetPatterns(Selection);
    form.show();
    const QSize size(640, 480);
    form.SetScaleMode(TScaleMode::Range40Db);
    const TInk deep = InkOf(form.PngImage(size));
    form.SetScaleMode(TScaleMode::Range25Db);
    const TInk shallow = InkOf(form.PngImage(size));
    SaveTestPng(form.PngImage(size), "views/surface3d_25db.png");
    EXPECT_GT(deep.Pixels, 20000);
    EXPECT_GT(deep.Pixels, shallow.Pixels + 2000) << "a 25 dB floor cuts the side lobes away";

    const QByteArray svg = form.SvgImage(size);
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_GT(svg.count("<path"), 1000) << "every face a vector shape";

    form.findChild<QPushButton*>("btnCopyImage")->click();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->data("image/svg+xml").startsWith("<?xml"));
    const QImage png = qvariant_cast<QImage>(mime->imageData());
    EXPECT_EQ(png.size(), form.PaintArea()->size());
    EXPECT_GT(InkOf(png).Pixels, 10000);
}

// A sphere file starts on its measurement; the estimates, each with its distance from it,
// and the components (of the measurement only) switch what is drawn; a file of two cuts in
// the same window offers the estimates alone.
TEST(Surface3dForm, ASphereFileSwitchesMeasuredEstimatesAndComponents) {
    std::vector<std::unique_ptr<TPatternData>> owned;
    TPatternDataList patterns(false);
    for (const char* name : {"panel65_co_cr.json", "panel_1900.vwa"}) {
        owned.push_back(LoadPatternFile(std::string(OSTREL_SAMPLES_DIR "/") + name).TakeFirst());
        patterns.Add(*owned.back());
    }
    TSurface3dForm form;
    form.SetPatterns(patterns);
    form.show();
    SaveTestPng(form.grab().toImage(), "views/surface3d_sphere_window.png");
    auto* method = form.findChild<QComboBox*>("cbMethod");
    auto* component = form.findChild<QComboBox*>("cbComponent");
    ASSERT_TRUE(method->count() == 3 && component->count() == 3 && component->isVisible());
    const QRegularExpression distance(": RMS \\d+\\.\\d dB, max \\d+\\.\\d dB$");
    // Source and component items chosen, and the name of the PNG kept.
    const std::tuple<int, int, const char*> steps[] = {
        {0, 0, "measured"}, {0, 1, "co"}, {0, 2, "cross"}, {1, 2, "cutsum"}, {2, 2, "wbi"}};
    std::vector<QImage> drawn;
    for (const auto& [source, part, png] : steps) {
        method->setCurrentIndex(source);
        component->setCurrentIndex(part);
        const bool measured = source == 0;
        EXPECT_EQ(form.View().ShowsMeasured(), measured) << png;
        EXPECT_EQ(component->isEnabled(), measured) << png;
        EXPECT_TRUE(measured ? method->currentText() == "Measured"
                             : distance.match(method->currentText()).hasMatch())
            << png;
        EXPECT_EQ(form.View().Component(),
                  measured ? static_cast<TSphereComponent>(part) : TSphereComponent::Total);
        drawn.push_back(form.PngImage(QSize(640, 480)));
        SaveTestPng(drawn.back(), std::string("views/surface3d_sphere_") + png + ".png");
        EXPECT_EQ(std::count(drawn.begin(), drawn.end(), drawn.back()), 1) << png;
    }
    method->setCurrentIndex(0);  // the component chosen last comes back
    form.findChild<QPushButton*>("btnCopyImage")->click();
    EXPECT_TRUE(QGuiApplication::clipboard()
                    ->mimeData()
                    ->data("image/svg+xml")
                    .contains("Measured, Cross-polar"));
    form.ShowPattern(1);
    EXPECT_TRUE(method->count() == 2 && !component->isVisible());
    EXPECT_EQ(method->currentText().toStdString(), SurfaceMethodName(kDefaultSurfaceMethod));
}

}  // namespace
}  // namespace ostrel

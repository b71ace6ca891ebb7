#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPrinter>
#include <QStandardItemModel>
#include <QTest>
#include <cmath>
#include <memory>
#include <string>

#include "dialogs/CoverageFrm.h"
#include "formats/PatternLoaders.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "uisupport/UiImageFiles.h"

namespace ostrel {
namespace {

std::unique_ptr<TPatternData> Sample(const char* name) {
    std::string path = OSTREL_SAMPLES_DIR;
    path.append("/").append(name);
    auto pattern = LoadPatternFile(path).TakeFirst();
    if (pattern) pattern->Id = 0;
    return pattern;
}

// Types into a field as a user would: all of it selected, then the new text.
void Type(TCoverageForm& form, const char* field, const QString& text) {
    auto* edit = form.findChild<QLineEdit*>(field);
    ASSERT_NE(edit, nullptr) << field;
    edit->selectAll();
    QTest::keyClicks(edit, text);
    form.Settle();
}

double BeamHitM(const TCoverageForm& form) {
    const TGroundDistance& hit = form.Coverage()->BeamHit;
    return hit.Kind == TGroundDistance::TKind::Metres ? hit.Metres : -1;
}

TEST(CoverageForm, FieldsRecomputeBadInputKeepsTheLastPictureAndTiltMovesTheBeam) {
    const auto pattern = Sample("sector65_dbd.txt");
    ASSERT_TRUE(pattern);
    QWidget main;
    TCoverageForm* form = OpenCoverageWindow(&main, *pattern);
    form->Settle();
    ASSERT_NE(form->Coverage(), nullptr);
    EXPECT_TRUE(form->ProblemText().isEmpty());
    // Measured levels need a sphere, which a file of two cuts does not have.
    auto* levels = form->findChild<QComboBox*>("cbLevels");
    auto* items = qobject_cast<QStandardItemModel*>(levels->model());
    EXPECT_FALSE(items->item(0)->isEnabled());
    EXPECT_EQ(levels->currentText(), "Weighted bilinear estimate");

    const double flat = BeamHitM(*form);
    Type(*form, "edtTilt", "6");
    const double tilted = BeamHitM(*form);
    EXPECT_GT(tilted, 0);
    EXPECT_TRUE(flat < 0 || tilted < flat) << flat << " " << tilted;
    EXPECT_TRUE(form->findChild<QLabel*>("lblKeyDistances")->text().contains("Beam hit: "));

    // A value that cannot be computed is said, and the last picture stays, marked out of
    // date; the good value back computes it again.
    const struct {
        const char* Field;
        QString Text;
        QString Problem;
        QString Good;
    } bad[] = {{"edtHeight", "abc", "Height: \"abc\" is not a number", "30"},
               {"edtHeight", "1", "Height: the antenna must be above", "30"},
               {"edtStep", "0", "Step: ", "25"},
               {"edtStep", "1e-9", "Step: ", "25"},
               {"edtThreshold2", "-", "Threshold 2", "-85"}};
    for (const auto& c : bad) {
        Type(*form, c.Field, c.Text);
        EXPECT_TRUE(form->ProblemText().contains(c.Problem))
            << c.Field << ": " << form->ProblemText().toStdString();
        EXPECT_TRUE(form->Stale());
        ASSERT_NE(form->Coverage(), nullptr);
        Type(*form, c.Field, c.Good);
        EXPECT_TRUE(form->ProblemText().isEmpty()) << form->ProblemText().toStdString();
        EXPECT_FALSE(form->Stale());
        EXPECT_DOUBLE_EQ(BeamHitM(*form), tilted) << c.Field;
    }
    Type(*form, "edtHeight", "abc");
    form->resize(1280, 760);
    EXPECT_FALSE(SaveTestPng(form->grab().toImage(), "coverage/window-out-of-date.png").empty());
    Type(*form, "edtHeight", "30");
    // Twice the height puts the beam twice as far.
    Type(*form, "edtHeight", "58.5");
    EXPECT_NEAR(BeamHitM(*form), 2 * tilted, 0.2);

    // The other fields, each as a user changes it.
    const TCoverage base = *form->Coverage();
    Type(*form, "edtPower", "53");
    EXPECT_NEAR(form->Coverage()->ProfileLevelDbm[100], base.ProfileLevelDbm[100] + 10, 1e-3);
    Type(*form, "edtRadius", "2");
    EXPECT_EQ(form->Coverage()->GridSide, 161);
    // The beam falls over the height above the receiver: 48.5 m instead of 28.5 m.
    Type(*form, "edtRxHeight", "10");
    EXPECT_NEAR(BeamHitM(*form), tilted * 48.5 / 28.5, 0.2);
    auto* model = form->findChild<QComboBox*>("cbModel");
    EXPECT_TRUE(model->itemText(0).startsWith("Default: "));
    model->setCurrentIndex(model->findText("free"));
    form->Settle();
    EXPECT_EQ(form->Coverage()->Model, TPathModel::Free);
    levels->setCurrentIndex(levels->findText("Cut-sum estimate"));
    form->Settle();
    EXPECT_EQ(form->Coverage()->Levels, TCoverageLevels::CutSum);

    // The pattern turned by Offset Angles turns the footprint; the main window's pattern
    // itself is never changed by the window.
    TPatternDataList turned(false);
    pattern->HRotationOffset = 90;
    turned.Add(*pattern);
    const TCoverage before = *form->Coverage();
    form->ApplyOffsets(turned);
    form->Settle();
    const TCoverage& after = *form->Coverage();
    const int centre = after.GridSide / 2;
    const int ahead = centre - 20;  // 20 rows up: along the unturned boresight
    EXPECT_LT(after.GridLevel(ahead, centre), before.GridLevel(ahead, centre) - 10);

    // Closing the followed pattern closes the window; another's does not.
    QPointer<TCoverageForm> guard(form);
    const auto other = Sample("omni_850.msi");
    form->PatternClosed(other.get());
    EXPECT_TRUE(form->isVisible());
    form->PatternClosed(pattern.get());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST(CoverageForm, CopiesSvgAndPngPrintsOnePageAndDrawsFootprints) {
    // Two cuts, a sphere, an electrically tilted file, and one aimed above the horizon.
    const struct {
        const char* File;
        const char* Tilt;
        const char* Png;
    } cases[] = {{"sector65_dbd.txt", "2", "coverage/two-cuts.png"},
                 {"panel65_cw_5deg.json", "0", "coverage/sphere.png"},
                 {"tilted_6deg.msi", "0", "coverage/tilted.png"},
                 {"sector65_dbd.txt", "-8", "coverage/above-horizon.png"}};
    for (const auto& c : cases) {
        const auto pattern = Sample(c.File);
        ASSERT_TRUE(pattern) << c.File;
        QWidget main;
        TCoverageForm* form = OpenCoverageWindow(&main, *pattern);
        Type(*form, "edtTilt", c.Tilt);
        ASSERT_NE(form->Coverage(), nullptr) << c.File;
        const bool sphere = pattern->Sphere != nullptr;
        EXPECT_EQ(form->findChild<QComboBox*>("cbLevels")->currentIndex(), sphere ? 0 : 1);
        const QImage image = form->PngImage(QSize(1000, 560));
        EXPECT_FALSE(SaveTestPng(image, c.Png).empty());
        form->close();
    }

    const auto pattern = Sample("sector65_dbd.txt");
    QWidget main;
    TCoverageForm* form = OpenCoverageWindow(&main, *pattern);
    form->Settle();
    form->resize(1000, 600);
    QApplication::clipboard()->clear();
    form->CopyImage();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->hasFormat("image/svg+xml"));
    EXPECT_TRUE(copied->hasImage());
    EXPECT_TRUE(copied->data("image/svg+xml").contains("<svg"));

    // Beside the pictures, for people to look at.
    const QString path = QString::fromStdString(TestPngFolder() + "/coverage/page.pdf");
    QFile::remove(path);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, path, QPageSize::Letter, QPageLayout::Portrait);
    form->PrintTo(printer);
    EXPECT_GT(QFileInfo(path).size(), 1000);
    form->close();
}

}  // namespace
}  // namespace ostrel

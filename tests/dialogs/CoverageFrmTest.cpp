#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
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
#include "support/TempDir.h"
#include "uisupport/UiImageFiles.h"

namespace ostrel {
namespace {

std::unique_ptr<TPatternData> Sample(const char* name) {
    auto pattern = LoadPatternFile(std::string(OSTREL_SAMPLES_DIR) + "/" + name).TakeFirst();
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

    // Not a number, then a height under the receiver: said, and the last picture stays,
    // marked out of date; a good value clears both.
    const struct {
        const char* Field;
        QString Text;
        QString Problem;
    } bad[] = {{"edtHeight", "3O", "Height: \"3O\" is not a number"},
               {"edtHeight", "1", "--height"},
               {"edtStep", "0", "--step"},
               {"edtThreshold2", "-", "Threshold 2"}};
    for (const auto& c : bad) {
        Type(*form, c.Field, c.Text);
        EXPECT_TRUE(form->ProblemText().contains(c.Problem)) << form->ProblemText().toStdString();
        EXPECT_TRUE(form->Stale());
        ASSERT_NE(form->Coverage(), nullptr);
        EXPECT_DOUBLE_EQ(BeamHitM(*form), tilted);
    }
    Type(*form, "edtHeight", "30");
    Type(*form, "edtStep", "25");
    Type(*form, "edtThreshold2", "-85");
    EXPECT_TRUE(form->ProblemText().isEmpty()) << form->ProblemText().toStdString();
    EXPECT_FALSE(form->Stale());
    // Twice the height puts the beam twice as far.
    Type(*form, "edtHeight", "58.5");
    EXPECT_NEAR(BeamHitM(*form), 2 * tilted, 0.2);

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

    TTempDir folder;
    const QString path = QString::fromStdString(folder.File("coverage.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, path, QPageSize::Letter, QPageLayout::Portrait);
    form->PrintTo(printer);
    EXPECT_GT(QFileInfo(path).size(), 1000);
    form->close();
}

}  // namespace
}  // namespace ostrel

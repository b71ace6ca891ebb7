#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "formats/PatternLoaders.h"
#include "qtdraw/CanvasDeviceDrawers.h"
#include "support/TempDir.h"
#include "uisupport/UiImageFiles.h"
#include "views/PrintedPages.h"
#include "widgets/AppIcons.h"

namespace ostrel {
namespace {

// Prints sample patterns through the real printer drawer into PDF files and reads them back
// with poppler's tools: page counts and title (pdfinfo), where the texts landed (pdftotext
// -bbox, in points: one world unit is 0.72 pt), and the drawing itself (pdftoppm at 100 dpi,
// where one pixel is one world unit from the sheet's corner).
class PrintPdf : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"pdfinfo", "pdftotext", "pdftoppm"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                GTEST_SKIP() << tool << " (poppler-utils) is not installed";
            }
        }
        for (const char* name : {"sector65_dbd.txt", "panel_1900.vwa", "tilted_6deg.msi"}) {
            TLoadedFile loaded = LoadPatternFile(std::string(OSTREL_SAMPLES_DIR "/") + name);
            const std::string& error = loaded.Failure;
            auto pattern = loaded.TakeFirst();
            ASSERT_TRUE(pattern) << name << ": " << error;
            pattern->Id = static_cast<int>(Owned.size());
            Owned.push_back(std::move(pattern));
        }
        Logo = LoadLogoGraphic();
    }

    std::string Print(const std::string& name, TPrintMode mode, int count,
                      TGraphType graphType = TGraphType::Polar,
                      QPageSize::PageSizeId paper = QPageSize::Letter,
                      QPageLayout::Orientation orientation = QPageLayout::Portrait) {
        const std::string path = Temp.File(name + ".pdf");
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdfPrinter(printer, QString::fromStdString(path), paper, orientation);
        TPatternDataPagePrinter pages(
            [&printer] { return std::make_unique<TPrinterDrawer>(printer); }, Logo.get());
        for (int i = 0; i < count; ++i) pages.Patterns.Add(*Owned[static_cast<size_t>(i)]);
        pages.PrintMode = mode;
        pages.SetGraphType(graphType);
        pages.Print();
        return path;
    }

    static QString Tool(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(-1);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static QString Info(const std::string& pdf, const QString& key) {
        const QString info = Tool("pdfinfo", {QString::fromStdString(pdf)});
        const QRegularExpression line("^" + key + ":\\s*(.*)$",
                                      QRegularExpression::MultilineOption);
        return line.match(info).captured(1).trimmed();
    }

    struct TWord {
        QString Text;
        double X, Y;  // top-left, world units
    };
    // The words of one page (1-based) with their top-left corners in world units.
    static std::vector<TWord> Words(const std::string& pdf, int page) {
        const QString html =
            Tool("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page),
                               QString::fromStdString(pdf), "-"});
        const QRegularExpression word(
            "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" "
            "yMax=\"[\\d.]+\">([^<]*)</word>");
        std::vector<TWord> words;
        for (auto it = word.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            words.push_back(
                {m.captured(3), m.captured(1).toDouble() / 0.72, m.captured(2).toDouble() / 0.72});
        }
        return words;
    }
    static const TWord* Find(const std::vector<TWord>& words, const QString& text, int nth = 0) {
        for (const TWord& w : words) {
            if (w.Text == text && nth-- == 0) return &w;
        }
        return nullptr;
    }

    // Page `page` at 100 dpi; also kept under build/png/print/ for people to look at.
    QImage Render(const std::string& pdf, int page, const std::string& keepAs) {
        const QString prefix = QString::fromStdString(Temp.File("page"));
        Tool("pdftoppm", {"-r", "100", "-png", "-singlefile", "-f", QString::number(page), "-l",
                          QString::number(page), QString::fromStdString(pdf), prefix});
        QImage image(prefix + ".png");
        SaveTestPng(image, "print/" + keepAs + ".png");
        return image;
    }

    // The first pixel near `color` from `from` toward `to` (exclusive) along row y or
    // column x; -1 when there is none.
    static int Scan(const QImage& image, bool alongRow, int fixed, int from, int to, QColor color) {
        const int step = to >= from ? 1 : -1;
        for (int v = from; v != to; v += step) {
            const QColor p = alongRow ? image.pixelColor(v, fixed) : image.pixelColor(fixed, v);
            if (std::abs(p.red() - color.red()) < 30 && std::abs(p.green() - color.green()) < 30 &&
                std::abs(p.blue() - color.blue()) < 30) {
                return v;
            }
        }
        return -1;
    }
    static int ScanRow(const QImage& image, int y, int from, int to, QColor color) {
        return Scan(image, true, y, from, to, color);
    }
    static int ScanColumn(const QImage& image, int x, int from, int to, QColor color) {
        return Scan(image, false, x, from, to, color);
    }

    TTempDir Temp;
    std::vector<std::unique_ptr<TPatternData>> Owned;
    std::unique_ptr<TGraphic> Logo;
};

const QColor kSilver(192, 192, 192);
const QColor kGray(128, 128, 128);

TEST_F(PrintPdf, PageCountsOfTheModesAndTheTitle) {
    struct TCase {
        TPrintMode Mode;
        int Count;
        int Pages;
    } cases[] = {{TPrintMode::Overlay, 1, 1}, {TPrintMode::Overlay, 3, 1},
                 {TPrintMode::Single, 1, 1},  {TPrintMode::Single, 3, 3},
                 {TPrintMode::Both, 1, 2},    {TPrintMode::Both, 3, 4}};
    for (const TCase& c : cases) {
        const std::string pdf = Print("modes", c.Mode, c.Count);
        EXPECT_EQ(Info(pdf, "Pages").toInt(), c.Pages) << int(c.Mode) << " " << c.Count;
        EXPECT_EQ(Info(pdf, "Title"), "sector65_dbd");
    }
}

TEST_F(PrintPdf, SinglePageTableGraphsAndFooter) {
    Owned[0]->Gain.SetValue(17.1);
    Owned[0]->VertWidth.SetIsNull(true);
    const std::string pdf = Print("single", TPrintMode::Single, 1);
    const std::vector<TWord> words = Words(pdf, 1);
    // Labels at x = 50, values at x = 160, rows 19 apart from y = 75 (the cell top; the
    // glyphs start a unit or two lower and to the right).
    const struct {
        const char* Text;
        double X, Y;
    } expected[] = {{"FileName:", 50, 75}, {"sector65_dbd.txt", 160, 75},
                    {"Freq", 50, 94},      {"1850", 160, 94},
                    {"Gain", 50, 113},     {"17.1", 160, 113},
                    {"(15.0)", 183, 113},  {"Horz.", 50, 132},
                    {"65", 160, 132},      {"Vert.", 50, 151}};
    for (const auto& e : expected) {
        const TWord* w = Find(words, e.Text);
        ASSERT_NE(w, nullptr) << e.Text;
        EXPECT_NEAR(w->X, e.X, e.X == 183 ? 8 : 2) << e.Text;
        EXPECT_NEAR(w->Y, e.Y, 4) << e.Text;
    }
    // The missing vertical width prints nothing after its label.
    for (const TWord& w : words) {
        EXPECT_FALSE(std::abs(w.X - 160) < 3 && std::abs(w.Y - 151) < 5) << w.Text.toStdString();
    }

    const QImage page = Render(pdf, 1, "single-polar");
    ASSERT_EQ(page.width(), 850);
    ASSERT_EQ(page.height(), 1100);
    // The outer grid circles: radius 175 around (425, 325) and (425, 750).
    for (int centerY : {325, 750}) {
        EXPECT_NEAR(ScanRow(page, centerY + 3, 200, 425, kSilver), 250, 2) << centerY;
        EXPECT_NEAR(ScanRow(page, centerY + 3, 650, 425, kSilver), 600, 2) << centerY;
        // From below: the ring labels sit on the upper half of the vertical axis.
        EXPECT_NEAR(ScanColumn(page, 428, centerY + 185, centerY, kSilver), centerY + 175, 2);
    }
    // Footer frame: (37.5, 1000)-(812.5, 1060), inner lines at 237.5 and 612.5, the left
    // cell split at 1030; the logo between, clear of the frame.
    EXPECT_NEAR(ScanColumn(page, 120, 990, 1020, kGray), 1000, 1);
    EXPECT_NEAR(ScanColumn(page, 120, 1070, 1040, kGray), 1060, 1);
    EXPECT_NEAR(ScanColumn(page, 120, 1010, 1050, kGray), 1030, 1);
    EXPECT_NEAR(ScanRow(page, 1008, 20, 100, kGray), 37, 1);
    EXPECT_NEAR(ScanRow(page, 1008, 830, 700, kGray), 812, 1);
    EXPECT_NEAR(ScanRow(page, 1008, 230, 260, kGray), 237, 1);
    EXPECT_NEAR(ScanRow(page, 1030, 600, 700, kGray), 612, 1) << "frame line beside the logo";
    int logoInk = 0;
    int outsideInk = 0;
    // Inside the right cell: the frame's outline covers pixels 1000 and 1059 (a rectangle's
    // outline runs through its outermost pixels).
    for (int y = 1001; y < 1059; ++y) {
        for (int x = 614; x < 811; ++x) {
            const bool ink = page.pixelColor(x, y).lightness() < 200;
            if (y >= 1015 && y < 1045 && x >= 622 && x < 803) {
                logoInk += ink;
            } else {
                outsideInk += ink;
            }
        }
    }
    EXPECT_GT(logoInk, 300);
    EXPECT_EQ(outsideInk, 0) << "the logo stays in its 180 x 30 box";
}

TEST_F(PrintPdf, CartesianFramesAndOverlayPage) {
    const std::string cartesian = Print("cartesian", TPrintMode::Single, 1, TGraphType::Cartesian);
    const QImage page = Render(cartesian, 1, "single-cartesian");
    for (int centerY : {375, 750}) {
        EXPECT_NEAR(ScanRow(page, centerY, 196, 425, kGray), 200, 1) << centerY;
        EXPECT_NEAR(ScanRow(page, centerY, 700, 425, kGray), 650, 1) << centerY;
        EXPECT_NEAR(ScanColumn(page, 433, centerY - 160, centerY, kGray), centerY - 150, 1);
    }

    const std::string overlay = Print("overlay", TPrintMode::Overlay, 3);
    const QImage sheet = Render(overlay, 1, "overlay-polar");
    // Radius 155 around (230, 300) and (620, 300).
    EXPECT_NEAR(ScanRow(sheet, 303, 40, 230, kSilver), 75, 2);
    EXPECT_NEAR(ScanRow(sheet, 303, 420, 230, kSilver), 385, 2);
    EXPECT_NEAR(ScanRow(sheet, 303, 430, 620, kSilver), 465, 2);
    EXPECT_NEAR(ScanRow(sheet, 303, 810, 620, kSilver), 775, 2);
    const std::vector<TWord> words = Words(overlay, 1);
    const TWord* first = Find(words, "(0)");
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(first->X, 75, 2);
    EXPECT_NEAR(first->Y, 550, 4);
    ASSERT_NE(Find(words, "tilted_6deg"), nullptr);
    Render(Print("overlay-cartesian", TPrintMode::Overlay, 3, TGraphType::Cartesian), 1,
           "overlay-cartesian");
}

TEST_F(PrintPdf, SameLayoutOnLetterAndA4PortraitAndLandscape) {
    struct TSetup {
        const char* Name;
        QPageSize::PageSizeId Paper;
        QPageLayout::Orientation Orientation;
        int Width, Height;
    } setups[] = {
        {"letter-portrait", QPageSize::Letter, QPageLayout::Portrait, 850, 1100},
        {"a4-portrait", QPageSize::A4, QPageLayout::Portrait, 827, 1169},
        {"letter-landscape", QPageSize::Letter, QPageLayout::Landscape, 1100, 850},
        {"a4-landscape", QPageSize::A4, QPageLayout::Landscape, 1169, 827},
    };
    // Positions on the first sheet; every other sheet must match them to a fraction of a
    // unit, measured from its own corner.
    std::map<QString, std::pair<double, double>> reference;
    std::vector<int> referenceRings;
    for (const TSetup& s : setups) {
        SCOPED_TRACE(s.Name);
        const std::string pdf =
            Print(s.Name, TPrintMode::Single, 1, TGraphType::Polar, s.Paper, s.Orientation);
        const std::vector<TWord> words = Words(pdf, 1);
        for (const char* text : {"FileName:", "1850", "Horz.", "(15.8)", "-90"}) {
            const TWord* w = Find(words, text);
            ASSERT_NE(w, nullptr) << text;
            if (reference.size() < 5) {
                reference[text] = {w->X, w->Y};
                continue;
            }
            EXPECT_NEAR(w->X, reference[text].first, 0.3) << text;
            EXPECT_NEAR(w->Y, reference[text].second, 0.3) << text;
        }
        EXPECT_NEAR(reference["FileName:"].first, 50, 2);
        EXPECT_NEAR(reference["1850"].first, 160, 2);

        const QImage page = Render(pdf, 1, s.Name);
        EXPECT_NEAR(page.width(), s.Width, 1);
        EXPECT_NEAR(page.height(), s.Height, 1);
        const std::vector<int> rings = {ScanRow(page, 328, 200, 425, kSilver),
                                        ScanRow(page, 328, 650, 425, kSilver),
                                        ScanColumn(page, 428, 510, 325, kSilver)};
        EXPECT_NEAR(rings[0], 250, 2);
        EXPECT_NEAR(rings[2], 500, 2);
        if (referenceRings.empty()) referenceRings = rings;
        EXPECT_EQ(rings, referenceRings);
    }
}

}  // namespace
}  // namespace ostrel

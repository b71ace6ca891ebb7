#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include "uisupport/UiImageFiles.h"

namespace ostrel {
namespace {

const QString kResources = QStringLiteral(OSTREL_SAMPLES_DIR "/../resources/");

struct TQrcEntry {
    QString Alias;
    QString File;
};

std::vector<TQrcEntry> ReadQrc(const QString& path, QString* prefix) {
    std::vector<TQrcEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return entries;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("qresource")) {
            *prefix = xml.attributes().value("prefix").toString();
        } else if (xml.name() == QLatin1String("file")) {
            const QString alias = xml.attributes().value("alias").toString();
            entries.push_back({alias, xml.readElementText()});
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

// Non-transparent pixels of an image, and how many of them lie in its outermost ring.
std::pair<int, int> CountInk(const QImage& image) {
    int ink = 0, border = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) == 0) continue;
            ++ink;
            if (x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1) ++border;
        }
    }
    return {ink, border};
}

QImage Render(QSvgRenderer& renderer, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// Every icon of the resource file exists, is a valid SVG of the expected canvas, and draws
// something. They are also rendered at toolbar and large sizes, one by one and side by side
// on a light and a dark background, for people to look at.
TEST(Icons, EveryResourceIconRendersOnItsCanvas) {
    QString prefix;
    const std::vector<TQrcEntry> entries = ReadQrc(kResources + "resources.qrc", &prefix);
    EXPECT_EQ(prefix, "/icons");
    // Every icon drawn for the program is built into it.
    QStringList listed;
    for (const TQrcEntry& entry : entries) listed << QFileInfo(entry.File).fileName();
    listed.sort();
    ASSERT_FALSE(listed.isEmpty());
    EXPECT_EQ(listed, QDir(kResources + "icons").entryList({"*.svg"}, QDir::Files, QDir::Name));

    // Each icon at 48 and 16 px, first on a light, then on a dark background.
    const int cell = 56, smallRow = 24;
    QImage sheet(cell * static_cast<int>(entries.size()), 2 * (cell + smallRow),
                 QImage::Format_ARGB32);
    sheet.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter sheetPainter(&sheet);
    sheetPainter.fillRect(0, cell + smallRow, sheet.width(), cell + smallRow,
                          QColor(0x3A, 0x3A, 0x3A));

    int column = 0;
    for (const TQrcEntry& entry : entries) {
        SCOPED_TRACE(entry.File.toStdString());
        EXPECT_EQ(entry.Alias, QFileInfo(entry.File).fileName()) << "icons are reached by name";
        QSvgRenderer renderer(kResources + entry.File);
        ASSERT_TRUE(renderer.isValid());
        const bool appIcon = entry.Alias == "ostrel-viewer.svg";
        EXPECT_EQ(renderer.viewBoxF(), appIcon ? QRectF(0, 0, 64, 64) : QRectF(0, 0, 16, 16));

        for (int size : {16, 24, 48}) {
            const QImage image = Render(renderer, size);
            const auto [ink, border] = CountInk(image);
            EXPECT_GT(ink, size * size / 8) << size << " px: the icon is nearly empty";
            EXPECT_LT(ink, size * size) << size << " px: the icon fills its whole square";
            SaveTestPng(image, "icons/" + QFileInfo(entry.File).baseName().toStdString() + "-" +
                                   std::to_string(size) + ".png");
        }
        const QImage big = Render(renderer, 48);
        const QImage small = Render(renderer, 16);
        for (int top : {0, cell + smallRow}) {
            sheetPainter.drawImage(column * cell + 4, top + 4, big);
            sheetPainter.drawImage(column * cell + 20, top + cell + 4, small);
        }
        ++column;
    }
    sheetPainter.end();
    EXPECT_FALSE(SaveTestPng(sheet, "icons/all-icons.png").empty());
}

TEST(Icons, DesktopEntryNamesTheInstalledIcon) {
    QFile file(kResources + "OstrelViewer.desktop");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    EXPECT_EQ(lines.value(0), "[Desktop Entry]");
    EXPECT_TRUE(lines.contains("Type=Application"));
    EXPECT_TRUE(lines.contains("Name=Ostrel Viewer"));
    EXPECT_TRUE(lines.contains("Exec=OstrelViewer %F")) << "files from the file manager";
    EXPECT_TRUE(
        lines.contains("MimeType=application/x-ostrel-pattern;application/x-verizon-pattern;"
                       "application/x-nsma-pattern;application/x-edx-pattern;"
                       "application/x-basta-pattern;"));
    EXPECT_TRUE(lines.contains("Categories=Science;Engineering;Qt;"));
    ASSERT_TRUE(lines.contains("Icon=ostrel-viewer"));
    EXPECT_TRUE(QFileInfo::exists(kResources + "icons/ostrel-viewer.svg"));
}

TEST(Icons, MimePackageDefinesThePatternTypesButClaimsNoTextOrInstallerFiles) {
    QFile file(kResources + "ostrel-viewer-mime.xml");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QMap<QString, QStringList> globs;
    QStringList types;
    QString type;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"mime-type") {
            type = xml.attributes().value("type").toString();
            types << type;
        } else if (xml.name() == u"glob") {
            globs[type] << xml.attributes().value("pattern").toString();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(types, (QStringList{"application/x-ostrel-pattern", "application/x-verizon-pattern",
                                  "application/x-nsma-pattern", "application/x-edx-pattern",
                                  "application/x-basta-pattern"}));
    EXPECT_EQ(globs["application/x-ostrel-pattern"], QStringList{"*.pln"});
    EXPECT_EQ(globs["application/x-verizon-pattern"], QStringList{"*.vwa"});
    EXPECT_EQ(globs["application/x-nsma-pattern"], (QStringList{"*.adf", "*.nsm", "*.nsma"}));
    // GIMP's "*.pat" patterns stay GIMP's: EDX files are recognised by their content.
    EXPECT_EQ(globs["application/x-edx-pattern"], QStringList{});
    // A ".json" name alone stays application/json: BASTA files are told by their content.
    EXPECT_EQ(globs["application/x-basta-pattern"], QStringList{});
}

}  // namespace
}  // namespace ostrel

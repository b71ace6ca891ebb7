#include "support/UiImageFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace ostrel {

std::string TestPngFolder() {
    return QDir(QString::fromUtf8(OSTREL_BUILD_DIR)).filePath(QStringLiteral("png")).toStdString();
}

std::string SaveTestPng(const QImage& image, const std::string& relativePath) {
    const QString path = QDir(QString::fromStdString(TestPngFolder()))
                             .filePath(QString::fromStdString(relativePath));
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return std::string();
    if (!image.save(path, "PNG")) return std::string();
    return path.toStdString();
}

std::vector<QPointF> SvgPolylinePoints(const QString& svg, int* polylineCount) {
    std::vector<QPointF> points;
    *polylineCount = 0;
    qsizetype at = 0;
    while ((at = svg.indexOf(QStringLiteral("<polyline"), at)) >= 0) {
        ++*polylineCount;
        const qsizetype start = svg.indexOf(QStringLiteral("points=\""), at) + 8;
        const qsizetype end = svg.indexOf(QLatin1Char('"'), start);
        const QStringList pairs = svg.mid(start, end - start).split(' ', Qt::SkipEmptyParts);
        for (const QString& pair : pairs) {
            const QStringList xy = pair.split(',');
            if (xy.size() == 2) points.emplace_back(xy[0].toDouble(), xy[1].toDouble());
        }
        at = end;
    }
    return points;
}

}  // namespace ostrel

#include "support/UiImageFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

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

}  // namespace ostrel

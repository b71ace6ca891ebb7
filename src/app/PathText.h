#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "shell/PathNames.h"

namespace ostrel {

// Paths between the core's bytes and the widgets' text. Qt 6 decodes file names as UTF-8
// and turns a byte that is not UTF-8 into U+FFFD for good (QFile::decodeName cannot give
// "caf\xE9.txt" back), so paths keep their bytes through the escaped form of PathNames.h.
inline QString PathText(const std::string& path) {
    return QString::fromStdU16String(PathToUtf16(path));
}
inline std::string PathBytes(const QString& text) {
    return Utf16ToPath(text.toStdU16String());
}
// A path for people to read: bytes that are not UTF-8 show as U+FFFD.
inline QString ShownPathText(const std::string& path) {
    return QString::fromStdU16String(PathForDisplay(PathToUtf16(path)));
}

// The files a file dialog chose, with the real bytes of names it could only show with
// U+FFFD; a path that names no file stays as given, so that opening it reports why.
inline QStringList ChosenPaths(const QStringList& shown) {
    QStringList paths;
    for (const QString& path : shown) {
        const std::string bytes = PathBytes(path);
        paths << PathText(ResolveShownPath(bytes).value_or(bytes));
    }
    return paths;
}

}  // namespace ostrel

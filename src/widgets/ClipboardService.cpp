#include "widgets/ClipboardService.h"

#include <QClipboard>
#include <QGuiApplication>

#include "qtdraw/CanvasPainter.h"

namespace ostrel {

// Single-byte text from pattern files (EDX labels, file names) keeps every byte.
void TQtClipboardService::SetText(const std::string& text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

}  // namespace ostrel

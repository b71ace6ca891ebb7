#include "app/ClipboardService.h"

#include <QClipboard>
#include <QGuiApplication>

#include "draw/CanvasPainter.h"

namespace ostrel {

// Single-byte text from pattern files (EDX labels, file names) keeps every byte.
void TQtClipboardService::SetText(const std::string& text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

}  // namespace ostrel

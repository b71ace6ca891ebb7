#include "app/ClipboardService.h"

#include <QClipboard>
#include <QGuiApplication>

namespace ostrel {

void TQtClipboardService::SetText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

}  // namespace ostrel

#include "qtdraw/CanvasPdfOutput.h"

#include <QPrinter>

#include "model/SafeFile.h"
#include "shell/PathNames.h"

namespace ostrel {

TCanvasPdfOutput::TCanvasPdfOutput(QPrinter& printer, std::string targetPath)
    : FPrinter(printer), FPrinterFileName(printer.outputFileName()) {
    if (printer.outputFormat() != QPrinter::PdfFormat || FPrinterFileName.isEmpty()) return;
    // The dialog's name as bytes; a folder it could only show with U+FFFD is found again.
    FTargetPath = targetPath.empty()
                      ? ResolveShownSavePath(Utf16ToPath(FPrinterFileName.toStdU16String()))
                      : std::move(targetPath);
    FMemory = std::make_unique<TMemoryFile>();
    printer.setOutputFileName(QString::fromStdString(FMemory->Path()));
}

TCanvasPdfOutput::~TCanvasPdfOutput() {
    if (FMemory) FPrinter.setOutputFileName(FPrinterFileName);
}

std::string TCanvasPdfOutput::Finish() {
    if (!FMemory) return {};
    return WriteWholeFile(FTargetPath, FMemory->Bytes());
}

}  // namespace ostrel

#include "qtdraw/CanvasPdfOutput.h"

#include <QFile>
#include <QPrinter>

#include "model/SafeFile.h"

namespace ostrel {

TCanvasPdfOutput::TCanvasPdfOutput(QPrinter& printer, std::string targetPath)
    : FPrinter(printer), FPrinterFileName(printer.outputFileName()) {
    if (printer.outputFormat() != QPrinter::PdfFormat || FPrinterFileName.isEmpty()) return;
    FTargetPath = targetPath.empty() ? QFile::encodeName(FPrinterFileName).toStdString()
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

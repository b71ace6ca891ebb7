#pragma once

#include <QString>
#include <memory>
#include <string>

class QPrinter;

namespace ostrel {

class TMemoryFile;

// Printing to a PDF file without trusting the toolkit to report a failed write (it says
// nothing on a full disk and leaves half a file). While this object lives, a printer that
// prints to a PDF file writes into a file in memory instead; Finish then writes the
// finished document to the chosen file through WriteWholeFile, so the file is either the
// complete PDF or what it was before, and a failure comes with its reason. A printer that
// does not print to a file is left alone.
class TCanvasPdfOutput {
public:
    // `targetPath`: the file's name as bytes; empty takes the printer's output file name.
    explicit TCanvasPdfOutput(QPrinter& printer, std::string targetPath = {});
    ~TCanvasPdfOutput();
    TCanvasPdfOutput(const TCanvasPdfOutput&) = delete;
    TCanvasPdfOutput& operator=(const TCanvasPdfOutput&) = delete;

    // The file the PDF goes to; empty when the printer does not print to a PDF file.
    const std::string& TargetPath() const { return FTargetPath; }
    // Writes the document the printer finished; "" or the reason (English).
    std::string Finish();

private:
    QPrinter& FPrinter;
    QString FPrinterFileName;
    std::string FTargetPath;
    std::unique_ptr<TMemoryFile> FMemory;
};

}  // namespace ostrel

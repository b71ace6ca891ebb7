#include "shell/SaveTargets.h"

#include "formats/PatternWriters.h"
#include "model/AsciiText.h"
#include "model/NumberText.h"
#include "model/PatternData.h"
#include "shell/PathNames.h"

namespace ostrel {

std::string ProposedSaveName(const TPatternData& pattern) {
    // A derived pattern's name is no path ("A \u2194 B at 1930.5 MHz").
    if (pattern.Derived) return SafeFileName(pattern.FileName);
    // The frequency comes from inside the file: it may hold a "/" or a line break.
    const std::string part = pattern.PartName.empty() ? std::string() : "@" + pattern.PartName;
    return SafeFileName(RemoveExtension(std::string(FileNamePartView(SourcePath(pattern)))) + part);
}

std::string WithExtension(const std::string& path, std::string_view extension) {
    const std::string_view name = FileNamePartView(path);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && SameIgnoringAsciiCase(name.substr(dot + 1), extension)) {
        return path;
    }
    return path + "." + std::string(extension);
}

std::string ReplaceQuestion(const std::string& path) {
    return FileNamePart(path) + " already exists.\nDo you want to replace it?";
}

std::string PatternsSavedText(int filesWritten, const std::string& failures) {
    const std::string status =
        std::to_string(filesWritten) + (filesWritten == 1 ? " pattern saved." : " patterns saved.");
    return failures.empty() ? status : status + " " + failures;
}

std::string TableExportedText(const std::string& path, int rowsWritten, int rowsInModel) {
    std::string text = "Table of " + std::to_string(rowsWritten) +
                       (rowsWritten == 1 ? " pattern" : " patterns") + " exported to " +
                       FileNamePart(path);
    if (rowsWritten < rowsInModel) {
        text += " (" + std::to_string(rowsWritten) + " of " + std::to_string(rowsInModel) +
                " shown by the filter)";
    }
    return text;
}

}  // namespace ostrel

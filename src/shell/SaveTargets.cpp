#include "shell/SaveTargets.h"

#include "model/AsciiText.h"
#include "model/NumberText.h"
#include "model/PatternData.h"
#include "shell/PathNames.h"

namespace ostrel {

std::string PatternSourcePath(const TPatternData& pattern) {
    const std::string& name = pattern.FileName;
    if (IsExistingFile(name)) return name;
    // A frequency text may itself hold "@" or "/": the file is the longest prefix that is one.
    for (size_t at = name.find_last_of('@'); at != std::string::npos && at > 0;
         at = name.find_last_of('@', at - 1)) {
        if (IsExistingFile(name.substr(0, at))) return name.substr(0, at);
    }
    // The file is gone: a number after the name's last "@" is taken for a frequency.
    const size_t at = name.find_last_of('@');
    if (at != std::string::npos && name.find('/', at) == std::string::npos &&
        IsNumber(std::string_view(name).substr(at + 1))) {
        return name.substr(0, at);
    }
    return name;
}

std::string ProposedSaveName(const TPatternData& pattern) {
    const std::string source = PatternSourcePath(pattern);
    // What follows the source's path, "" or "@frequency", as part of one file name.
    std::string frequency = pattern.FileName.substr(source.size());
    for (char& c : frequency) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
    }
    return RemoveExtension(FileNamePart(source)) + frequency;
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

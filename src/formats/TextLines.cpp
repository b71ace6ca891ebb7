#include "formats/TextLines.h"
#include "model/AsciiText.h"

#include "model/Errors.h"
#include "model/SafeFile.h"

namespace ostrel {

std::string ReadFileBytes(const std::string& path) {
    return ReadWholeFile(path, kMaxPatternFileBytes, "pattern file", kPatternFileSpareBytes);
}

void WriteFileBytes(const std::string& path, const std::string& text) {
    const std::string failure = WriteWholeFile(path, text);
    if (!failure.empty()) throw EFileError("Cannot write file \"" + path + "\". " + failure);
}

void TNonBlankLines::Advance() {
    std::string_view raw;
    for (TLineCursor::TMark mark = FLines.Mark(); FLines.Next(raw); mark = FLines.Mark()) {
        const std::string_view line = TrimLine(raw);
        if (!line.empty()) {
            FCurrent = {line, FLines.Number()};
            FCurrentMark = mark;
            return;
        }
    }
    FCurrent = {};
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 8 + 1);
    TLineCursor cursor(text);
    std::string_view line;
    while (cursor.Next(line)) lines.push_back(line);
    return lines;
}

std::string_view TrimLine(std::string_view line) {
    size_t first = 0;
    size_t last = line.size();
    while (first < last && static_cast<unsigned char>(line[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(line[last - 1]) <= ' ') --last;
    return line.substr(first, last - first);
}

bool StartsWithNoCase(std::string_view text, std::string_view upperPrefix) {
    if (text.size() < upperPrefix.size()) return false;
    for (size_t i = 0; i < upperPrefix.size(); ++i) {
        if (AsciiUpper(text[i]) != upperPrefix[i]) return false;
    }
    return true;
}

bool EqualsNoCase(std::string_view text, std::string_view upperText) {
    return text.size() == upperText.size() && StartsWithNoCase(text, upperText);
}

}  // namespace ostrel

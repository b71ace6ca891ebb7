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

TTextLineWalker::TTextLineWalker(std::string_view text) {
    // Editors on other systems often start a file with the UTF-8 byte-order mark; left in, it
    // would hide the first line's keyword or section header.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    FPos = text.data();
    FEnd = text.data() + text.size();
}

bool TTextLineWalker::Next(std::string_view& line) {
    if (FPos == FEnd) return false;
    const char* p = FPos;
    // Pattern-file lines are a dozen bytes long: a plain byte loop beats calling memchr
    // for each line end. Bytes above CR cannot end a line and are passed over first.
    while (p < FEnd && (static_cast<unsigned char>(*p) > '\r' || (*p != '\n' && *p != '\r'))) ++p;
    line = std::string_view(FPos, static_cast<size_t>(p - FPos));
    if (p < FEnd) p += (*p == '\r' && p + 1 < FEnd && p[1] == '\n') ? 2 : 1;
    FPos = p;
    ++FNumber;
    return true;
}

void TNonBlankLines::Advance() {
    std::string_view raw;
    while (FWalker.Next(raw)) {
        const std::string_view line = TrimLine(raw);
        if (!line.empty()) {
            FCurrent = {line, FWalker.Number()};
            return;
        }
    }
    FCurrent = {};
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 8 + 1);
    TTextLineWalker walker(text);
    std::string_view line;
    while (walker.Next(line)) lines.push_back(line);
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

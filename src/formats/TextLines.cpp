#include "formats/TextLines.h"
#include "model/AsciiText.h"

#include "model/Errors.h"
#include "model/SafeFile.h"

namespace ostrel {

std::string ReadFileBytes(const std::string& path) {
    return ReadWholeFile(path, kMaxPatternFileBytes, "pattern file");
}

void WriteFileBytes(const std::string& path, const std::string& text) {
    const std::string failure = WriteWholeFile(path, text);
    if (!failure.empty()) throw EFileError("Cannot write file \"" + path + "\". " + failure);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    // Editors on other systems often start a file with the UTF-8 byte-order mark; left in, it
    // would hide the first line's keyword or section header.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 8 + 1);
    const char* data = text.data();
    const size_t size = text.size();
    size_t start = 0;
    size_t i = 0;
    // Pattern-file lines are a dozen bytes long: a plain byte loop beats calling memchr
    // for each line end. Bytes above CR cannot end a line and are passed over first.
    while (i < size) {
        if (static_cast<unsigned char>(data[i]) > '\r') {
            ++i;
            continue;
        }
        const char c = data[i];
        if (c == '\n' || c == '\r') {
            lines.emplace_back(data + start, i - start);
            i += (c == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < size) lines.emplace_back(data + start, size - start);
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

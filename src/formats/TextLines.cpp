#include "formats/TextLines.h"
#include "model/AsciiText.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "model/Errors.h"

namespace ostrel {

namespace {

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int error) {
    throw EFileError(std::string(what) + " \"" + path + "\". " + std::strerror(error));
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ThrowFileError("Cannot open file", path, errno);
    // The bytes arrive in a reused buffer and are copied once into the result: no size
    // query before reading (a system call) and no zero-filling of a string that is
    // overwritten anyway. A pattern file takes one read and the read that finds its end.
    constexpr size_t kChunk = 64 * 1024;
    thread_local const std::unique_ptr<char[]> chunk(new char[kChunk]);
    std::string bytes;
    for (;;) {
        const ssize_t got = ::read(fd, chunk.get(), kChunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            // A folder opens like a file and fails only here; it was never a file to open.
            ThrowFileError(error == EISDIR ? "Cannot open file" : "Cannot read file", path, error);
        }
        if (got == 0) break;
        bytes.append(chunk.get(), static_cast<size_t>(got));
    }
    ::close(fd);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) ThrowFileError("Cannot create file", path, errno);
    const size_t written = std::fwrite(text.data(), 1, text.size(), file);
    const int error = errno;
    if (std::fclose(file) != 0 || written != text.size()) {
        ThrowFileError("Cannot write file", path, error);
    }
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

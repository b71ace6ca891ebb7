#include "shell/PathNames.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace ostrel {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char16_t kEscapeBase = 0xDC00;
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The length of the valid UTF-8 sequence at `at` and its code point; 0 when the bytes there
// do not start one. The well-formed sequences are those of RFC 3629 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
int Utf8Sequence(std::string_view bytes, size_t at, char32_t& codePoint) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + static_cast<size_t>(length) > bytes.size()) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(static_cast<size_t>(i));
        if (i > 1 && (next < 0x80 || next > 0xBF)) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    codePoint = value;
    return length;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// A name as a dialog that decodes UTF-8 would show it, with every run of U+FFFD as one:
// decoders differ in how many they write for a broken sequence.
std::string ShownName(std::string_view name) {
    const std::u16string shown = PathForDisplay(PathToUtf16(name));
    std::u16string collapsed;
    for (char16_t unit : shown) {
        if (unit == kReplacement && !collapsed.empty() && collapsed.back() == kReplacement) {
            continue;
        }
        collapsed += unit;
    }
    return Utf16ToPath(collapsed);
}

}  // namespace

std::u16string PathToUtf16(std::string_view path) {
    std::u16string text;
    text.reserve(path.size());
    size_t at = 0;
    while (at < path.size()) {
        char32_t codePoint = 0;
        const int length = Utf8Sequence(path, at, codePoint);
        if (length == 0) {
            text += static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(path[at]));
            ++at;
            continue;
        }
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            text += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            text += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            text += static_cast<char16_t>(codePoint);
        }
        at += static_cast<size_t>(length);
    }
    return text;
}

std::string Utf16ToPath(std::u16string_view text) {
    std::string path;
    path.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(path, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                 (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            path += static_cast<char>(unit - kEscapeBase);
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            path += kReplacementUtf8;
        } else {
            AppendUtf8(path, unit);
        }
    }
    return path;
}

std::u16string PathForDisplay(std::u16string_view text) {
    std::u16string shown(text);
    for (size_t i = 0; i < shown.size(); ++i) {
        if (IsHighSurrogate(shown[i]) && i + 1 < shown.size() && IsLowSurrogate(shown[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(shown[i]) || IsLowSurrogate(shown[i])) {
            shown[i] = kReplacement;
        }
    }
    return shown;
}

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

std::string AbsoluteFolderOf(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) absolute = path;
    std::string folder = absolute.lexically_normal().parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

namespace {

// The entry of `folder` that shows as `part` does, when exactly one does.
std::optional<std::string> MatchShownEntry(const std::string& folder, const std::string& part) {
    const std::string wanted = ShownName(part);
    std::optional<std::string> match;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (ShownName(name) != wanted) continue;
        if (match) return std::nullopt;
        match = name;
    }
    return match;
}

// The path with each part holding U+FFFD replaced by the one entry of its folder that shows
// the same way; nothing when a part matches none or several.
std::optional<std::string> ResolveShownParts(const std::string& path) {
    std::string resolved = !path.empty() && path.front() == '/' ? "/" : "";
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, slash - start);
        start = slash + 1;
        if (part.empty()) continue;
        std::string actual = part;
        if (part.find(kReplacementUtf8) != std::string::npos) {
            const std::optional<std::string> match = MatchShownEntry(resolved, part);
            if (!match) return std::nullopt;
            actual = *match;
        }
        if (!resolved.empty() && resolved.back() != '/') resolved += '/';
        resolved += actual;
    }
    return resolved;
}

}  // namespace

std::optional<std::string> ResolveShownPath(const std::string& path) {
    if (IsExistingFile(path)) return path;
    if (path.find(kReplacementUtf8) == std::string::npos) return std::nullopt;
    const std::optional<std::string> resolved = ResolveShownParts(path);
    if (resolved && IsExistingFile(*resolved)) return resolved;
    return std::nullopt;
}

std::string ResolveShownSavePath(const std::string& path) {
    if (path.find(kReplacementUtf8) == std::string::npos) return path;
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    std::error_code error;
    std::string realFolder = folder;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        const std::optional<std::string> resolved = ResolveShownParts(folder);
        if (!resolved || !std::filesystem::is_directory(*resolved, error)) return path;
        realFolder = *resolved + (resolved->ends_with('/') ? "" : "/");
    }
    // A name picked from the dialog's list is an existing file shown with U+FFFD; a typed
    // one stays as typed.
    std::string realName = name;
    if (name.find(kReplacementUtf8) != std::string::npos) {
        const std::optional<std::string> match = MatchShownEntry(realFolder, name);
        if (match && !std::filesystem::exists(realFolder + name, error)) realName = *match;
    }
    return realFolder + realName;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

}  // namespace ostrel

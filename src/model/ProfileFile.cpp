#include "model/ProfileFile.h"
#include "model/AsciiText.h"

#include <cerrno>
#include <cstdint>
#include <utility>

#include <sys/stat.h>

#include "model/Errors.h"
#include "model/SafeFile.h"

namespace ostrel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return SameIgnoringAsciiCase(a, b);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

void CheckSectionName(std::string_view section) {
    if (section.empty() || Trim(section) != section || HasLineBreak(section) ||
        section.find(']') != std::string_view::npos) {
        throw EOstrelError("Invalid profile section name \"" + std::string(section) + "\"");
    }
}

void CheckKeyName(std::string_view key) {
    if (key.empty() || Trim(key) != key || HasLineBreak(key) ||
        key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';') {
        throw EOstrelError("Invalid profile key \"" + std::string(key) + "\"");
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char lower = AsciiLower(c);
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

// A settings file holds a few dozen lines; one far larger is not ours to read whole.
constexpr std::uint64_t kMaxProfileBytes = 4 * 1024 * 1024;

}  // namespace

std::optional<int> ParseProfileInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const bool hex = (!text.empty() && text.front() == '$') ||
                     (text.size() >= 2 && text[0] == '0' && AsciiLower(text[1]) == 'x');
    if (hex) {
        text.remove_prefix(text.front() == '$' ? 1 : 2);
        if (text.empty()) return std::nullopt;
        std::uint64_t magnitude = 0;
        for (char c : text) {
            const int digit = HexDigit(c);
            if (digit < 0) return std::nullopt;
            magnitude = magnitude * 16 + static_cast<std::uint64_t>(digit);
            if (magnitude > 0xFFFFFFFFu) return std::nullopt;
        }
        // All 32 bits count, as in the files other programs write: $FFFFFFFF is -1.
        std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
        if (negative) bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }
    if (text.empty()) return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

void TProfileFile::LoadFromText(std::string_view text) {
    FSections.clear();
    FSections.push_back(TSection{});  // lines before the first header
    FHasByteOrderMark = text.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (FHasByteOrderMark) text.remove_prefix(kByteOrderMark.size());

    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        const std::string_view raw = text.substr(0, end);
        if (end == std::string_view::npos) {
            text = {};
        } else {
            const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
            text.remove_prefix(end + (crlf ? 2 : 1));
        }

        const std::string_view trimmed = Trim(raw);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const size_t close = trimmed.find(']');
            if (close != std::string_view::npos) {
                TSection section;
                section.Name = std::string(Trim(trimmed.substr(1, close - 1)));
                section.HasHeader = true;
                section.Lines.push_back(TLine{std::string(raw), false, {}, {}});
                FSections.push_back(std::move(section));
                continue;
            }
        }
        TLine line{std::string(raw), false, {}, {}};
        const size_t equals = trimmed.find('=');
        if (!trimmed.empty() && trimmed.front() != ';' && equals != std::string_view::npos) {
            const std::string_view key = Trim(trimmed.substr(0, equals));
            if (!key.empty()) {
                line.IsEntry = true;
                line.Key = std::string(key);
                line.Value = std::string(Trim(trimmed.substr(equals + 1)));
            }
        }
        FSections.back().Lines.push_back(std::move(line));
    }
}

std::string TProfileFile::SaveToText() const {
    std::string text;
    if (FHasByteOrderMark) text += kByteOrderMark;
    bool lastLineBlank = true;  // no separating blank line at the very start
    for (const TSection& section : FSections) {
        if (section.AddedByUs && !lastLineBlank) text += kLineEnd;
        for (const TLine& line : section.Lines) {
            text += line.Text;
            text += kLineEnd;
            lastLineBlank = Trim(line.Text).empty();
        }
    }
    return text;
}

void TProfileFile::Load(const std::string& path) {
    // A path under a missing folder, or under something that is not a folder, names a file
    // that does not exist either.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        LoadFromText({});
        return;
    }
    LoadFromText(ReadWholeFile(path, kMaxProfileBytes, "settings file"));
}

void TProfileFile::Save(const std::string& path) const {
    const std::string failure = WriteWholeFile(path, SaveToText());
    if (!failure.empty()) throw EFileError("Cannot write " + path + ": " + failure);
}

const TProfileFile::TSection* TProfileFile::FindSection(std::string_view section) const {
    for (const TSection& candidate : FSections) {
        if (candidate.HasHeader && SameName(candidate.Name, section)) return &candidate;
    }
    return nullptr;
}

TProfileFile::TSection* TProfileFile::FindSection(std::string_view section) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(section));
}

bool TProfileFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool TProfileFile::ValueExists(std::string_view section, std::string_view key) const {
    const TSection* found = FindSection(section);
    if (!found) return false;
    for (const TLine& line : found->Lines) {
        if (line.IsEntry && SameName(line.Key, key)) return true;
    }
    return false;
}

std::vector<std::string> TProfileFile::SectionNames() const {
    std::vector<std::string> names;
    for (const TSection& section : FSections) {
        if (section.HasHeader && FindSection(section.Name) == &section) {
            names.push_back(section.Name);
        }
    }
    return names;
}

std::vector<std::string> TProfileFile::SectionKeys(std::string_view section) const {
    std::vector<std::string> keys;
    const TSection* found = FindSection(section);
    if (!found) return keys;
    for (const TLine& line : found->Lines) {
        if (!line.IsEntry) continue;
        bool seen = false;
        for (const std::string& key : keys) seen = seen || SameName(key, line.Key);
        if (!seen) keys.push_back(line.Key);
    }
    return keys;
}

std::vector<TProfileEntry> TProfileFile::SectionEntries(std::string_view section) const {
    std::vector<TProfileEntry> entries;
    const TSection* found = FindSection(section);
    if (!found) return entries;
    for (const TLine& line : found->Lines) {
        if (line.IsEntry) entries.push_back(TProfileEntry{line.Key, line.Value});
    }
    return entries;
}

std::string TProfileFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view fallback) const {
    if (const TSection* found = FindSection(section)) {
        for (const TLine& line : found->Lines) {
            if (line.IsEntry && SameName(line.Key, key)) return line.Value;
        }
    }
    return std::string(fallback);
}

int TProfileFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    if (!ValueExists(section, key)) return fallback;
    return ParseProfileInteger(ReadString(section, key, {})).value_or(fallback);
}

bool TProfileFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TProfileFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    CheckSectionName(section);
    CheckKeyName(key);
    if (HasLineBreak(value)) {
        throw EOstrelError("Invalid profile value for \"" + std::string(key) + "\"");
    }
    if (FSections.empty()) FSections.push_back(TSection{});

    TSection* target = FindSection(section);
    if (!target) {
        TSection added;
        added.Name = std::string(section);
        added.HasHeader = true;
        added.AddedByUs = true;
        added.Lines.push_back(TLine{"[" + added.Name + "]", false, {}, {}});
        FSections.push_back(std::move(added));
        target = &FSections.back();
    }
    for (TLine& line : target->Lines) {
        if (line.IsEntry && SameName(line.Key, key)) {
            line.Value = std::string(value);
            line.Text = line.Key + "=" + line.Value;
            return;
        }
    }
    // After the last line that is not blank, so a blank line before the next section stays.
    size_t position = target->Lines.size();
    while (position > 1 && Trim(target->Lines[position - 1].Text).empty()) --position;
    TLine line{std::string(key) + "=" + std::string(value), true, std::string(key),
               std::string(value)};
    target->Lines.insert(target->Lines.begin() + static_cast<std::ptrdiff_t>(position),
                         std::move(line));
}

void TProfileFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TProfileFile::EraseSection(std::string_view section) {
    std::erase_if(FSections, [section](const TSection& candidate) {
        return candidate.HasHeader && SameName(candidate.Name, section);
    });
}

void TProfileFile::DeleteKey(std::string_view section, std::string_view key) {
    if (TSection* found = FindSection(section)) {
        std::erase_if(found->Lines,
                      [key](const TLine& line) { return line.IsEntry && SameName(line.Key, key); });
    }
}

}  // namespace ostrel

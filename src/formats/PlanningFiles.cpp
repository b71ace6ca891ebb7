#include "formats/PlanningFiles.h"

#include <algorithm>
#include <ctime>

#include "formats/LineMatchers.h"
#include "formats/PlanningText.h"
#include "formats/TextLines.h"

namespace ostrel {

void TPlanningFile::SaveToFile(const std::string&) {}

void TPlanningFile::LoadFromFile(const std::string& fileName) {
    FileName = fileName;
}

int TPlanningFile::FindLine(std::string_view keyword, const std::vector<std::string_view>& lines,
                            int lastIndex) {
    std::string_view first;
    std::string_view second;
    const int last = LastIndexWithin(lines, lastIndex);
    for (int i = 0; i <= last; ++i) {
        if (MatchTwoTokens(lines[static_cast<size_t>(i)], first, second) &&
            EqualsNoCase(first, keyword)) {
            return i;
        }
    }
    return -1;
}

std::string_view TPlanningFile::FindValue(std::string_view keyword,
                                          const std::vector<std::string_view>& lines,
                                          int lastIndex) {
    const int index = FindLine(keyword, lines, lastIndex);
    if (index < 0) return {};
    std::string_view first;
    std::string_view second;
    MatchTwoTokens(lines[static_cast<size_t>(index)], first, second);
    return second;
}

std::string LocalDateText(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    if (std::strftime(buffer, sizeof buffer, format, &local) == 0) return {};
    return buffer;
}

std::string TodayText() {
    return LocalDateText("%m-%d-%Y");
}

}  // namespace ostrel

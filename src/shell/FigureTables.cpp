#include "shell/FigureTables.h"

#include <algorithm>

#include "shell/FileTable.h"

namespace ostrel {

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

namespace {

// A spreadsheet takes a cell that starts so for a formula (=, + and - start sums, @ a
// function; some skip a leading tab or CR before they look), and a file name such as
// "=HYPERLINK(...).msi" would then run. Such text gets a leading "'", which marks a cell as
// text in spreadsheets (the defence OWASP describes against CSV injection).
std::string CsvTextField(std::string_view text) {
    if (!text.empty() &&
        std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        return CsvField("'" + std::string(text));
    }
    return CsvField(text);
}

// The cell of a table column in a CSV row. Numbers go as they are (-3.5 stays a number);
// texts cannot start a formula; a value the file does not give is an empty cell, although
// the table shows the record's 0 for it.
std::string CsvCell(const TPatternData& pattern, int tableColumn, bool showExtensions, THCut hCut) {
    if (tableColumn == fcFrequency && pattern.Frequency.IsNull) return {};
    if (tableColumn == fcGain && pattern.Gain.IsNull) return {};
    const std::string text = TableCellText(pattern, tableColumn, showExtensions, hCut);
    const bool isText = tableColumn == fcFileName || tableColumn == fcGain;
    return isText ? CsvTextField(text) : CsvField(text);
}

}  // namespace

std::string HeaderCheckCell(const TPatternData& pattern, THCut hCut) {
    const std::string problems = HeaderCheckText(pattern, pattern.Figures(hCut));
    return problems.empty() ? std::string("ok") : problems;
}

std::string TableCsvText(const std::vector<const TPatternData*>& patterns, bool showExtensions,
                         THCut hCut) {
    std::string text;
    auto endRow = [&text] { text += "\r\n"; };
    for (int column = 0; column < fcColumnCount; ++column) {
        text += CsvField(FileColumnInfo(column).Header);
        text += ',';
    }
    for (const TFigureColumn& figure : FigureColumns()) {
        text += figure.Key;
        text += ',';
    }
    text += "header_check";
    endRow();
    for (const TPatternData* pattern : patterns) {
        for (int column = 0; column < TableColumnCount(); ++column) {
            text += CsvCell(*pattern, column, showExtensions, hCut);
            text += ',';
        }
        text += CsvTextField(HeaderCheckCell(*pattern, hCut));
        endRow();
    }
    return text;
}

std::vector<std::vector<std::string>> FiguresGrid(const std::vector<const TPatternData*>& patterns,
                                                  bool showExtensions, THCut hCut) {
    std::vector<std::vector<std::string>> grid;
    grid.emplace_back(1, std::string());
    for (const TPatternData* pattern : patterns) {
        grid.back().push_back(DisplayName(*pattern, showExtensions));
    }
    // The figures of a measured sphere only where some pattern has one.
    const bool anySphere = std::any_of(patterns.begin(), patterns.end(),
                                       [](const TPatternData* pattern) { return pattern->Sphere; });
    for (const TFigureColumn& figure : FigureColumns()) {
        if (!figure.Value && !anySphere) continue;
        grid.emplace_back(1, figure.Caption);
        for (const TPatternData* pattern : patterns) {
            grid.back().push_back(FigureValueText(figure, *pattern, hCut));
        }
    }
    grid.emplace_back(1, "Header check");
    for (const TPatternData* pattern : patterns) {
        grid.back().push_back(HeaderCheckCell(*pattern, hCut));
    }
    return grid;
}

std::string TabSeparatedText(const std::vector<std::vector<std::string>>& grid) {
    std::string text;
    for (const auto& row : grid) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i > 0) text += '\t';
            text += row[i];
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace ostrel

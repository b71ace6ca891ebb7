#include "shell/FileTable.h"
#include "model/AsciiText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "model/NumberText.h"

namespace ostrel {

namespace {

constexpr std::array<TFileColumnInfo, fcColumnCount> kColumns = {{
    {"ID", 0, caRight},
    {"File name", 300, caLeft},
    {"Frequency, MHz", 100, caRight},
    {"Gain, dBi (dBd)", 75, caLeft},
    {"Horz. Width", 75, caLeft},
    {"Vert. Width", 75, caLeft},
    {"H Rotation Offset", 75, caRight},
    {"V Rotation Offset", 75, caRight},
}};

// The difference rounded to a whole number, halves to even, within the int range.
int RoundedDifference(double a, double b) {
    constexpr double kLimit = 1e9;
    const double rounded = std::nearbyint(a - b);
    if (std::isnan(rounded)) return 0;
    return static_cast<int>(std::clamp(rounded, -kLimit, kLimit));
}

// Bottom-up merge sort: a row moves ahead of an earlier one only when it compares strictly
// before it, so equal rows keep their order; it never reads outside the list, whatever the
// comparison.
template <class TBefore>
void MergeSortRows(std::vector<TPatternData*>& rows, TBefore before) {
    std::vector<TPatternData*> buffer(rows.size());
    const size_t n = rows.size();
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t left = 0; left < n; left += 2 * width) {
            const size_t middle = std::min(left + width, n);
            const size_t right = std::min(left + 2 * width, n);
            size_t i = left;
            size_t j = middle;
            size_t out = left;
            while (i < middle && j < right) {
                buffer[out++] = before(rows[j], rows[i]) ? rows[j++] : rows[i++];
            }
            while (i < middle) buffer[out++] = rows[i++];
            while (j < right) buffer[out++] = rows[j++];
        }
        rows.swap(buffer);
    }
}

double StoredWidth(const TDoubleObject& width) {
    return width.IsNull ? 0 : width.Value;
}

}  // namespace

const TFileColumnInfo& FileColumnInfo(int column) {
    if (column < 0 || column >= fcColumnCount) throw EListError::IndexOutOfBounds(column);
    return kColumns[static_cast<size_t>(column)];
}

std::string FileCellText(const TPatternData& pattern, int column, bool showExtensions) {
    switch (column) {
        case fcId:
            return std::to_string(pattern.Id);
        case fcFileName:
            return DisplayName(pattern, showExtensions);
        case fcFrequency:
            return FormatGeneral(pattern.Frequency.Value);
        case fcGain:
            return GainText(pattern);
        case fcHorzWidth:
            return pattern.HorzWidth.DisplayText();
        case fcVertWidth:
            return pattern.VertWidth.DisplayText();
        case fcHRotationOffset:
            return FormatGeneral(pattern.HRotationOffset);
        case fcVRotationOffset:
            return FormatGeneral(pattern.VRotationOffset);
        default:
            return std::string();
    }
}

int CompareFileRows(const TPatternData& row1, const TPatternData& row2, int column) {
    switch (column) {
        case fcId:
            return row1.Id < row2.Id ? -1 : (row1.Id > row2.Id ? 1 : 0);
        case fcFileName:
            return CompareIgnoringAsciiCase(DisplayName(row1, false), DisplayName(row2, false));
        case fcFrequency:
            return RoundedDifference(row1.Frequency.Value, row2.Frequency.Value);
        case fcGain:
            return CompareDouble(row1.Gain.Value, row2.Gain.Value);
        case fcHorzWidth:
            return CompareDouble(StoredWidth(row1.HorzWidth), StoredWidth(row2.HorzWidth));
        case fcVertWidth:
            return CompareDouble(StoredWidth(row1.VertWidth), StoredWidth(row2.VertWidth));
        case fcHRotationOffset:
            return RoundedDifference(row1.HRotationOffset, row2.HRotationOffset);
        case fcVRotationOffset:
            return RoundedDifference(row1.VRotationOffset, row2.VRotationOffset);
        default:
            return 0;
    }
}

void SortFileRows(std::vector<TPatternData*>& rows, int column, bool ascending) {
    MergeSortRows(rows, [column, ascending](const TPatternData* a, const TPatternData* b) {
        const int order = CompareFileRows(*a, *b, column);
        return ascending ? order < 0 : order > 0;
    });
}

int TableColumnCount() {
    return fcColumnCount + static_cast<int>(FigureColumns().size());
}

const TFigureColumn* FigureColumnOf(int tableColumn) {
    const int figure = tableColumn - fcColumnCount;
    if (figure < 0 || figure >= static_cast<int>(FigureColumns().size())) return nullptr;
    return &FigureColumns()[static_cast<size_t>(figure)];
}

std::string TableCellText(const TPatternData& pattern, int tableColumn, bool showExtensions,
                          THCut hCut) {
    if (const TFigureColumn* figure = FigureColumnOf(tableColumn)) {
        return FigureValueText(*figure, pattern, hCut);
    }
    return FileCellText(pattern, tableColumn, showExtensions);
}

const char* TableColumnHeader(int tableColumn) {
    if (const TFigureColumn* figure = FigureColumnOf(tableColumn)) return figure->Caption;
    return FileColumnInfo(tableColumn).Header;
}

void SortTableRows(std::vector<TPatternData*>& rows, int tableColumn, bool ascending, THCut hCut) {
    const TFigureColumn* figure = FigureColumnOf(tableColumn);
    if (!figure) {
        SortFileRows(rows, tableColumn, ascending);
        return;
    }
    MergeSortRows(rows, [figure, ascending, hCut](const TPatternData* a, const TPatternData* b) {
        const std::optional<double> x = FigureValue(*figure, *a, hCut);
        const std::optional<double> y = FigureValue(*figure, *b, hCut);
        // Empty cells go last in either direction.
        if (!x || !y) return x.has_value() && !y.has_value();
        return ascending ? *x < *y : *x > *y;
    });
}

}  // namespace ostrel

namespace ostrel {

bool SplitterAllowsTableHeight(int newTableHeight, int windowOuterHeight) {
    return newTableHeight > 100 && newTableHeight < windowOuterHeight - 300;
}

}  // namespace ostrel

#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/PlanningFiles.h"

namespace ostrel {

class TClipboardService;
class TMainModel;

// The EDX export of planning tools ("*.doc"): one azimuth pattern and a series of vertical
// cuts, one per azimuth reference direction, as "angle, level" lines. Line 0 is a title,
// lines 1..360 the azimuth pattern, line 362 the number of cuts N, then N blocks of a label
// line and 181 levels from elevation 90 down to -90. Lines are used as stored, not trimmed.
class TEdxFileEx : public TPlanningFile {
public:
    // The table of cuts needs this many; a file with fewer does not read.
    static constexpr int kTableCuts = 72;

    // Reads the file; raises the project's error on any failure and then keeps what it had.
    void LoadFromFile(const std::string& fileName) override;
    void LoadFromText(std::string_view text);

    // The tab-separated table of the vertical cuts (CR LF line ends) that the import puts on
    // the clipboard: a header of labels, then one line per elevation -90..90. The columns run
    // over cuts 36..71, then 0..36, so the middle direction is both first and last.
    const std::string& CutTableText() const { return FCutTable; }

    // One entry per vertical cut in file order, used only as containers: FileName is
    // "az_angle_ref_" + the label, HorizontalPoints the azimuth pattern, VerticalPoints the
    // 360-point expanded cut.
    TBaseObjectList<TOstrelFile> Cuts{true};

private:
    std::string FCutTable;
};

// Turns a block's 181 points (elevation 90 at index 0 down to -90 at index 180) into a
// 360-point cut over 0..359 degrees: indexes 90..0 as they are, -60 dB for 91..269 (the back
// half, which the file does not describe), then indexes 180..91 at 270..359. Raises EListError
// when the source has fewer than 181 points.
void ExpandVerticalCut(const TRealPointList& source, TRealPointList& dest);

// The patterns an EDX import shows, one per cut in file order, named as the cut, with their
// three cuts built as for any file. Ids and header figures stay unset.
std::vector<std::unique_ptr<TPatternData>> MakeEdxPatterns(const TEdxFileEx& file);

// The "Open EDX (Special)" import: closes every pattern, reads the file, adds one pattern per
// cut and puts the cut table on the clipboard. Raises on failure, leaving the model empty
// and the clipboard as it was.
void ImportEdxFile(const std::string& fileName, TMainModel& model, TClipboardService& clipboard);

}  // namespace ostrel

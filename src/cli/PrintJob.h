#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "draw/Drawer.h"
#include "formats/PatternFolders.h"
#include "model/ViewModes.h"
#include "views/PrintedPages.h"
#include "views/ViewState.h"

namespace ostrel {

// What ostrel-print was asked for.
struct TPrintRequest {
    TPrintMode PrintMode = TPrintMode::Single;
    TGraphType GraphType = TGraphType::Polar;
    TScaleMode ScaleMode = TScaleMode::Range40Db;
    THCut HCut = THCut::Azimuth;
    bool A4 = false;  // else Letter
    bool Landscape = false;
    std::string Output;
    std::vector<std::string> Files;
    // The folders of -r that could not be read or gave no pattern file, each with its reason.
    std::vector<std::string> FolderProblems;
    // The files of -r a scan had to read to know them, with their bytes, kept for the load.
    std::vector<TScannedPath> ReadByScans;
};

// The view state the pages of a request are drawn with: its H cut and scale, the rest as the
// settings hold it.
TViewState PrintViewState(const TPrintRequest& request);

// Where the pages go: a PDF file set up from the request, and the logo they carry.
class TPdfTarget {
public:
    virtual ~TPdfTarget() = default;
    virtual std::unique_ptr<TDeviceDrawer> CreateDrawer(const TPrintRequest& request) = 0;
    virtual const TGraphic* Logo() = 0;
    // Puts the finished pages into the output file; "" or the reason it could not.
    virtual std::string Finish(const TPrintRequest& request) = 0;
};

// ostrel-print: loads the files in order as the viewer would open them, makes them the
// selection and prints its pages into the target. A file that does not load is reported on
// `err` and skipped; when none loads nothing is printed. An output that is one of the input
// files is refused before anything is read. Returns the exit status: 0 when every file
// loaded and the PDF was written, 1 otherwise, 2 for a usage error or an output that is an
// input. The view state it sets on the settings object is put back afterwards; no settings
// file is read or written here.
int RunPrint(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
             TPdfTarget& target);

}  // namespace ostrel

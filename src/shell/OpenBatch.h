#pragma once

#include <string>
#include <unordered_set>

#include "shell/OrderedLoad.h"
#include "shell/StatusReasons.h"

namespace ostrel {

class TMainModel;

// Adds the results of a batch of files to the model one by one as the Open command does:
// a file already open is skipped unless duplicates are allowed, a file that did not load
// leaves its reason in the report, every other one becomes the next pattern. Checking for
// duplicates by a set of open paths keeps a batch of 100,000 files linear.
class TOpenBatch {
public:
    TOpenBatch(TMainModel& model, bool allowDuplicates);

    // True when the result became a pattern of the model.
    bool Add(TLoadResult& result);
    // A folder of the batch that could not be read, or gave no pattern file.
    void FolderProblem(const std::string& problem) { FReport.FolderProblem(problem); }

    const TOpenReport& Report() const { return FReport; }
    // The last file that was read rather than skipped as a duplicate; empty if none.
    const std::string& LastReadPath() const { return FLastReadPath; }

private:
    bool IsOpen(const std::string& path) const;

    TMainModel& FModel;
    bool FAllowDuplicates;
    TOpenReport FReport;
    std::string FLastReadPath;
    std::unordered_set<std::string> FOpenPaths;
};

// The status bar's line after a batch: the report's, after "Cancelled — " when the user
// stopped it.
TStatusMessage OpenBatchMessage(const TOpenReport& report, bool cancelled);

}  // namespace ostrel

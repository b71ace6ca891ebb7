#include "shell/OpenBatch.h"

#include "model/MainModel.h"

namespace ostrel {

TOpenBatch::TOpenBatch(TMainModel& model, bool allowDuplicates)
    : FModel(model), FAllowDuplicates(allowDuplicates) {
    if (FAllowDuplicates) return;
    for (int i = 0; i < FModel.Patterns.Count(); ++i) {
        FOpenPaths.emplace(TrimmedPath(SourcePath(FModel.Patterns.Items(i))));
    }
}

bool TOpenBatch::IsOpen(const std::string& path) const {
    // The set may still hold a pattern the user closed while the batch was loading; the
    // model has the last word.
    return FOpenPaths.count(std::string(TrimmedPath(path))) > 0 &&
           FModel.Patterns.IndexOfFileName(path) >= 0;
}

bool TOpenBatch::Add(TLoadResult& result) {
    if (!FAllowDuplicates && IsOpen(result.Path)) {
        FReport.Duplicate(result.Path);
        return false;
    }
    FLastReadPath = result.Path;
    if (!result.Loaded()) {
        FReport.Failed(result.Path, result.Failure);
        return false;
    }
    for (auto& pattern : result.Patterns) FModel.AddPattern(std::move(pattern));
    if (!FAllowDuplicates) FOpenPaths.emplace(TrimmedPath(result.Path));
    FReport.Opened(result.Path);
    return true;
}

TStatusMessage OpenBatchMessage(const TOpenReport& report, bool cancelled) {
    TStatusMessage message = report.Message();
    if (!cancelled) return message;
    const std::string prefix = "Cancelled \u2014 ";
    if (report.Tried() > 0) return {prefix + message.Text, prefix + message.ToolTip};
    // Folders that could not be read are still named.
    const bool folderProblems = !report.Problems().empty();
    return {prefix + "no file opened" + (folderProblems ? " \u2014 " + message.Text : ""),
            prefix + "no file opened" + (folderProblems ? "\n" + message.ToolTip : "")};
}

}  // namespace ostrel

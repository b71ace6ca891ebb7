#include "model/MainModel.h"

#include "model/PlatformServices.h"

namespace ostrel {

TMainModel::~TMainModel() {
    Selection.Clear();
    Patterns.Clear();
}

TPatternData& TMainModel::AddPattern(std::unique_ptr<TPatternData> pattern) {
    if (!pattern) throw EOstrelError("No pattern to add");
    TPatternData& added = *pattern;
    added.Id = NextId;
    Patterns.Add(std::move(pattern));
    ++NextId;
    if (OnPatternAdded) OnPatternAdded(*this, added);
    return added;
}

void TMainModel::Clear() {
    if (OnCleared) OnCleared(*this);
    Selection.Clear();
    Patterns.Clear();
    NextId = 0;
}

void TMainModel::RemovePattern(TPatternData& pattern) {
    if (OnPatternRemoved) OnPatternRemoved(*this, pattern);
    const int selected = Selection.IndexOf(&pattern);
    if (selected >= 0) Selection.Delete(selected);
    const int index = Patterns.IndexOf(&pattern);
    if (index >= 0) Patterns.Delete(index);
}

void TMainModel::SetSelection(const TPatternDataList& list) {
    Selection.CopyFrom(list);
    Selection.SortById();
    if (OnSelectionChanged) OnSelectionChanged(*this);
}

void TMainModel::ShowSource(const TPatternData& pattern, TEditorService& editor) const {
    // The file itself: one of several patterns of a file is named "path@frequency".
    try {
        editor.OpenInTextEditor(std::string(SourcePath(pattern)));
    } catch (...) {
        // Not started: the caller asks the editor and says so.
    }
}

}  // namespace ostrel

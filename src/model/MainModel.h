#pragma once

#include <functional>
#include <memory>

#include "model/PatternData.h"

namespace ostrel {

class TEditorService;

// The application model behind the main window: owns every open pattern, numbers them,
// keeps the selection (sorted by Id) and reports each change through four events that run
// synchronously inside the operation that fires them.
class TMainModel {
public:
    using TModelEvent = std::function<void(TMainModel& sender)>;
    using TPatternEvent = std::function<void(TMainModel& sender, TPatternData& pattern)>;

    TMainModel() = default;
    TMainModel(const TMainModel&) = delete;
    TMainModel& operator=(const TMainModel&) = delete;
    // Frees the selection, then every pattern; fires no event.
    ~TMainModel();

    // Gives the pattern the next Id, takes it over and fires OnPatternAdded.
    TPatternData& AddPattern(std::unique_ptr<TPatternData> pattern);
    // Fires OnCleared while the patterns still exist, then frees them all; Ids restart at 0.
    void Clear();
    // Fires OnPatternRemoved while the pattern still exists, then drops it from the selection
    // and frees it. A pattern that is not in the model only fires the event.
    void RemovePattern(TPatternData& pattern);
    // Replaces the selection with `list` sorted by Id and fires OnSelectionChanged.
    void SetSelection(const TPatternDataList& list);
    // Opens the pattern's file in a plain-text editor; failures are silent.
    void ShowSource(const TPatternData& pattern, TEditorService& editor) const;

    int NextId = 0;
    TPatternDataList Patterns{true};
    TPatternEvent OnPatternAdded;
    TPatternDataList Selection{false};
    TModelEvent OnSelectionChanged;
    TPatternEvent OnPatternRemoved;
    TModelEvent OnCleared;
};

}  // namespace ostrel

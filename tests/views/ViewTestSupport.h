#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/PatternData.h"
#include "views/ViewState.h"

namespace ostrel {

// A view state with the choices the view tests vary.
inline TViewState TestViewState(THCut hCut, double radialFloorDb, bool logScale = false) {
    TViewState state;
    state.HCut = hCut;
    state.RadialFloorDb = radialFloorDb;
    state.LogScale = logScale;
    return state;
}

// Patterns owned by a test, with a referring list over them as the views take it.
struct TTestPatterns {
    std::vector<std::unique_ptr<TPatternData>> Owned;
    TPatternDataList List{false};

    TPatternData& Add(int id, const std::string& fileName) {
        auto pattern = std::make_unique<TPatternData>();
        pattern->Id = id;
        pattern->FileName = fileName;
        Owned.push_back(std::move(pattern));
        List.Add(*Owned.back());
        return *Owned.back();
    }
};

}  // namespace ostrel

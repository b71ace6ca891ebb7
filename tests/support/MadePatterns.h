#pragma once

#include <functional>
#include <memory>

#include "model/PatternData.h"

namespace ostrel {

// A pattern named "made.msi" whose cuts are given as level functions of the whole angle
// -180..180, built as a loader builds a file's cuts.
std::unique_ptr<TPatternData> MadePattern(const std::function<double(int)>& horizontal,
                                          const std::function<double(int)>& vertical);

}  // namespace ostrel

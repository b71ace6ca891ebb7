#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/PatternData.h"
#include "model/Settings.h"

namespace ostrel {

// Sets the view state the views read while drawing and puts the previous values back.
class TViewSettingsScope {
public:
    TViewSettingsScope(bool useAzimuth, double radialFloor, bool showExtensions,
                       bool logScale = false)
        : FSaved(GetSettings()) {
        TSettings& settings = GetSettings();
        settings.FUseAzimuth = useAzimuth;
        settings.FRadialFloor = radialFloor;
        settings.FShowExtensions = showExtensions;
        settings.FLogScale = logScale;
    }
    TViewSettingsScope(const TViewSettingsScope&) = delete;
    TViewSettingsScope& operator=(const TViewSettingsScope&) = delete;
    ~TViewSettingsScope() {
        TSettings& settings = GetSettings();
        settings.FUseAzimuth = FSaved.FUseAzimuth;
        settings.FRadialFloor = FSaved.FRadialFloor;
        settings.FShowExtensions = FSaved.FShowExtensions;
        settings.FLogScale = FSaved.FLogScale;
    }

private:
    TSettings FSaved;
};

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

#include "formats/PatternLoaders.h"

#include <new>
#include <optional>

#include "formats/PlanningFiles.h"
#include "formats/TextLines.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

TPatternData& Target(TPatternDataLoader& loader) {
    if (!loader.PatternData) throw EOstrelError("No pattern to fill");
    return *loader.PatternData;
}

}  // namespace

bool TPatternDataLoader::Execute() {
    ErrorMessage.clear();
    try {
        Load();
        return true;
    } catch (const std::bad_alloc&) {
        ErrorMessage = "Out of memory";
    } catch (const std::exception& error) {
        ErrorMessage = error.what();
    } catch (...) {
        ErrorMessage = "Unknown error";
    }
    return false;
}

void TOstrelDataLoader::Load() {
    TPatternData& pattern = Target(*this);
    TOstrelFile file;
    file.LoadFromFile(FileName);
    pattern.FileName = FileName;
    pattern.Frequency.SetValue(file.Frequency);
    pattern.Gain.SetValue(file.Gain);
    if (file.HWidth != 0) pattern.HorzWidth.SetValue(file.HWidth);
    if (file.VWidth != 0) pattern.VertWidth.SetValue(file.VWidth);
    if (file.FrontToBack != 0) pattern.FrontToBack.SetValue(file.FrontToBack);
    // TILT often names a kind ("ELECTRICAL", "MECHANICAL"); only a number is a tilt.
    std::optional<double> tilt = ParseNumber(file.Tilt);
    if (!tilt) tilt = ParseNumber(file.ElectricalTilt);
    if (tilt) pattern.ElectricalTilt.SetValue(*tilt);
    BuildPatternCuts(file.HorizontalPoints, file.VerticalPoints, pattern);
}

void TVerizonDataLoader::Load() {
    TPatternData& pattern = Target(*this);
    TVerizonFile file;
    file.LoadFromFile(FileName);
    pattern.FileName = FileName;
    pattern.Frequency.SetValue(file.Frequency);
    pattern.Gain.SetValue(file.MaxGainDbi);
    if (file.HorzBeamwidth != 0) pattern.HorzWidth.SetValue(file.HorzBeamwidth);
    pattern.VertWidth.SetValue(0);
    if (file.ElectricalTiltStated) pattern.ElectricalTilt.SetValue(file.ElectricalTilt);
    BuildPatternCuts(file.HorizontalPoints, file.VerticalPoints, pattern);
}

bool IsVerizonFileName(const std::string& path) {
    const std::string_view name = FileNamePartView(path);
    const size_t dot = name.find_last_of('.');
    return dot != std::string_view::npos && EqualsNoCase(name.substr(dot), ".VWA");
}

std::unique_ptr<TPatternDataLoader> CreateLoaderFor(const std::string& path) {
    if (IsVerizonFileName(path)) return std::make_unique<TVerizonDataLoader>();
    return std::make_unique<TOstrelDataLoader>();
}

std::unique_ptr<TPatternData> LoadPatternData(const std::string& path, std::string* errorMessage) {
    auto pattern = std::make_unique<TPatternData>();
    auto loader = CreateLoaderFor(path);
    loader->FileName = path;
    loader->PatternData = pattern.get();
    if (!loader->Execute()) {
        if (errorMessage) *errorMessage = loader->ErrorMessage;
        return nullptr;
    }
    if (errorMessage) errorMessage->clear();
    return pattern;
}

}  // namespace ostrel

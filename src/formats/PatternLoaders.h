#pragma once

#include <memory>
#include <string>

#include "model/PatternData.h"

namespace ostrel {

// Turns one pattern file into a filled TPatternData. Execute never raises: it reports only
// success; the message of a failure is kept in ErrorMessage for diagnostics.
class TPatternDataLoader {
public:
    TPatternDataLoader() = default;
    virtual ~TPatternDataLoader() = default;

    // Fills PatternData from FileName; raises on any failure.
    virtual void Load() {}
    // Load, with every exception turned into false.
    bool Execute();

    std::string FileName;
    TPatternData* PatternData = nullptr;  // not owned
    std::string ErrorMessage;
};

class TOstrelDataLoader : public TPatternDataLoader {
public:
    void Load() override;
};

class TVerizonDataLoader : public TPatternDataLoader {
public:
    void Load() override;
};

// True when the path's extension, upper-cased, is ".VWA".
bool IsVerizonFileName(const std::string& path);

// The loader for a path, chosen by its extension: ".vwa" in any letter case reads as
// Verizon, anything else as Ostrel.
std::unique_ptr<TPatternDataLoader> CreateLoaderFor(const std::string& path);

// Runs the loader chosen by extension on a new pattern. Returns the filled pattern, or
// nothing when the file does not load (then `errorMessage`, when given, says why).
std::unique_ptr<TPatternData> LoadPatternData(const std::string& path,
                                              std::string* errorMessage = nullptr);

}  // namespace ostrel

#pragma once

#include <memory>
#include <string>
#include <vector>

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
    // A file of several patterns (an NSMA file of several frequencies) fills PatternData
    // with the first and keeps the others here, in file order.
    std::vector<std::unique_ptr<TPatternData>> FurtherPatterns;
    // What the file holds that the patterns leave out (cuts of other planes), one line each.
    std::vector<std::string> IgnoredParts;
};

class TOstrelDataLoader : public TPatternDataLoader {
public:
    void Load() override;
};

class TVerizonDataLoader : public TPatternDataLoader {
public:
    void Load() override;
};

// NSMA WG16.99.050 files: one pattern per frequency.
class TNsmaDataLoader : public TPatternDataLoader {
public:
    void Load() override;
};

// EDX antenna pattern files ("*.pat").
class TEdxPatDataLoader : public TPatternDataLoader {
public:
    void Load() override;
};

// NGMN BASTA 3D JSON files, told by their content only.
class TBastaDataLoader : public TPatternDataLoader {
public:
    void Load() override;
};

// True when the path's extension, upper-cased, is ".VWA".
bool IsVerizonFileName(const std::string& path);

// The loader for a path. The file's first bytes decide first: a JSON object naming a BASTA
// key is a BASTA 3D file, a REVNUM record is NSMA, a quoted name followed by a comma is an
// EDX pattern file. Otherwise the extension in any
// letter case: ".adf", ".nsm", ".nsma" NSMA, ".pat" EDX, ".vwa" Verizon, anything else Ostrel.
std::unique_ptr<TPatternDataLoader> CreateLoaderFor(const std::string& path);

// True when the first bytes of a regular file say BASTA, NSMA or EDX pattern file, whatever its
// name: folders also open such files under other extensions.
bool HasPatternFileContent(const std::string& path);

// Every pattern of a file, in file order (most files hold one). Empty when the file does
// not load (then `errorMessage`, when given, says why). `ignoredParts`, when given,
// receives what the file holds that no pattern shows.
std::vector<std::unique_ptr<TPatternData>> LoadPatternFile(
    const std::string& path, std::string* errorMessage = nullptr,
    std::vector<std::string>* ignoredParts = nullptr);

// Runs the loader chosen for the path on a new pattern. Returns the first pattern, or
// nothing when the file does not load (then `errorMessage`, when given, says why).
std::unique_ptr<TPatternData> LoadPatternData(const std::string& path,
                                              std::string* errorMessage = nullptr);

}  // namespace ostrel

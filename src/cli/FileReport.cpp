#include "cli/FileReport.h"

#include <ostream>

#include "formats/EdxFile.h"
#include "formats/OrderedLoad.h"
#include "formats/PatternFolders.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

const char kUsage[] =
    "usage: ostrel-inspect [--cuts] [--edx EDXFILE]... [-r FOLDER]... [FILE]...\n"
    "       ostrel-inspect --edx-table EDXFILE";

enum TInputKind { ikPattern, ikEdx, ikEdxTable };

struct TInput {
    TInputKind Kind = ikPattern;
    std::string Path;
    std::string Error;  // a folder of -r that could not be listed
};

// Writes blocks separated by an empty line.
class TBlockWriter {
public:
    explicit TBlockWriter(std::ostream& out) : FOut(out) {}

    void Failed(const std::string& path, const std::string& error) {
        Begin(path);
        FOut << "loaded: no\n";
        FOut << "error: " << error << '\n';
    }

    void Loaded(const std::string& name, const TPatternData& pattern, bool withCuts) {
        Begin(name);
        FOut << "loaded: yes\n";
        FOut << "frequency: " << pattern.Frequency.DisplayText() << '\n';
        FOut << "gain: " << FormatGeneral(pattern.Gain.Value) << '\n';
        FOut << "gain_text: " << GainText(pattern) << '\n';
        FOut << "horz_width: " << pattern.HorzWidth.DisplayText() << '\n';
        FOut << "vert_width: " << pattern.VertWidth.DisplayText() << '\n';
        if (!withCuts) return;
        FOut << "cuts:\n";
        for (int k = 0; k < pattern.AzimuthCut.Count(); ++k) {
            FOut << FormatGeneral(pattern.AzimuthCut.PointAt(k).X) << '\t'
                 << FormatGeneral(pattern.AzimuthCut.PointAt(k).Y) << '\t'
                 << FormatGeneral(pattern.VerticalCut.PointAt(k).Y) << '\t'
                 << FormatGeneral(pattern.HorizontalCut.PointAt(k).Y) << '\n';
        }
    }

private:
    void Begin(const std::string& name) {
        if (FBlocks++ > 0) FOut << '\n';
        FOut << "file: " << name << '\n';
    }

    std::ostream& FOut;
    int FBlocks = 0;
};

// The next result of the load, which reads the pattern inputs ahead on every core.
bool WritePatternFile(TOrderedLoad& load, bool withCuts, TBlockWriter& blocks) {
    bool loaded = false;
    load.TakeNext([&](TLoadResult& result) {
        if (!result.Pattern) {
            blocks.Failed(result.Path, result.Error);
            return;
        }
        blocks.Loaded(result.Path, *result.Pattern, withCuts);
        loaded = true;
    });
    return loaded;
}

// One block per cut, as the EDX import would show them; one failed block for the file when
// the import would fail.
bool WriteEdxFile(const std::string& path, bool withCuts, TBlockWriter& blocks) {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    try {
        TEdxFileEx file;
        file.LoadFromFile(path);
        patterns = MakeEdxPatterns(file);
    } catch (const std::exception& error) {
        blocks.Failed(path, error.what());
        return false;
    }
    for (const auto& pattern : patterns) blocks.Loaded(pattern->FileName, *pattern, withCuts);
    return true;
}

// The cut table exactly as the import puts it on the clipboard.
bool WriteEdxTable(const std::string& path, std::ostream& out) {
    try {
        TEdxFileEx file;
        file.LoadFromFile(path);
        MakeEdxPatterns(file);  // the import fails when a cut cannot be built
        out << file.CutTableText();
        return true;
    } catch (const std::exception& error) {
        TBlockWriter(out).Failed(path, error.what());
        return false;
    }
}

}  // namespace

int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    auto usageError = [&err](const std::string& problem) {
        if (!problem.empty()) err << "ostrel-inspect: " << problem << '\n';
        err << kUsage << '\n';
        return 2;
    };
    bool withCuts = false;
    bool optionsEnded = false;
    bool tableWanted = false;
    std::vector<TInput> inputs;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--cuts") {
            withCuts = true;
        } else if (!optionsEnded && (argument == "--edx" || argument == "--edx-table")) {
            if (i + 1 == arguments.size()) return usageError(argument + " needs a file");
            const bool table = argument == "--edx-table";
            tableWanted = tableWanted || table;
            inputs.push_back({table ? ikEdxTable : ikEdx, arguments[++i], {}});
        } else if (!optionsEnded && argument == "-r") {
            if (i + 1 == arguments.size()) return usageError("-r needs a folder");
            const std::string& folder = arguments[++i];
            try {
                for (std::string& file : ListPatternFiles(folder)) {
                    inputs.push_back({ikPattern, std::move(file), {}});
                }
            } catch (const std::exception& error) {
                inputs.push_back({ikPattern, folder, error.what()});
            }
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            return usageError("unknown option '" + argument + "'");
        } else {
            inputs.push_back({ikPattern, argument, {}});
        }
    }
    if (inputs.empty()) return usageError({});
    // The table is printed exactly as it goes to the clipboard, so nothing may join it.
    if (tableWanted && (inputs.size() > 1 || withCuts)) {
        return usageError("--edx-table takes one file and no other argument");
    }
    bool allLoaded = true;
    if (tableWanted) {
        allLoaded = WriteEdxTable(inputs.front().Path, out);
    } else {
        TBlockWriter blocks(out);
        std::vector<std::string> patternPaths;
        for (const TInput& input : inputs) {
            if (input.Kind == ikPattern && input.Error.empty()) patternPaths.push_back(input.Path);
        }
        TOrderedLoad load(std::move(patternPaths), 0, nullptr, nullptr, 256);
        for (const TInput& input : inputs) {
            bool loaded = false;
            if (!input.Error.empty()) {
                blocks.Failed(input.Path, input.Error);
            } else if (input.Kind == ikEdx) {
                loaded = WriteEdxFile(input.Path, withCuts, blocks);
            } else {
                loaded = WritePatternFile(load, withCuts, blocks);
            }
            allLoaded = allLoaded && loaded;
        }
    }
    out.flush();
    return allLoaded ? 0 : 1;
}

}  // namespace ostrel

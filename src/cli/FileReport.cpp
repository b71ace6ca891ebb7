#include "cli/FileReport.h"

#include <functional>
#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/Grid3dReport.h"
#include "formats/EdxFile.h"
#include "formats/PatternFolders.h"
#include "formats/PatternLoaders.h"
#include "model/NumberText.h"
#include "shell/FigureTables.h"
#include "shell/OrderedLoad.h"

namespace ostrel {

namespace {

const char kUsage[] =
    "usage: ostrel-inspect [--cuts] [--figures] [--edx EDXFILE]... [-r FOLDER]... [FILE]...\n"
    "       ostrel-inspect --csv [--edx EDXFILE]... [-r FOLDER]... [FILE]...\n"
    "       ostrel-inspect --edx-table EDXFILE\n"
    "       ostrel-inspect --grid3d STEP FILE\n"
    "       ostrel-inspect --help | --version";

const char kHelp[] =
    "usage: ostrel-inspect [--cuts] [--figures] [--edx EDXFILE]... [-r FOLDER]... [FILE]...\n"
    "       ostrel-inspect --csv [--edx EDXFILE]... [-r FOLDER]... [FILE]...\n"
    "       ostrel-inspect --edx-table EDXFILE\n"
    "       ostrel-inspect --grid3d STEP FILE\n"
    "       ostrel-inspect --help | --version\n"
    "\n"
    "Tells what the viewer makes of pattern files, one block of 'key: value' lines a file.\n"
    "  --cuts           also list every point of the three cuts\n"
    "  --figures        add the figures computed from the cuts (azimuth cut) and the header check\n"
    "  --csv            one CSV row per loaded pattern (header row first): table columns, figures\n"
    "  --edx EDXFILE    read an EDX file as the viewer's EDX import does (may repeat)\n"
    "  -r, --recursive FOLDER\n"
    "                   every pattern file below FOLDER, in path order (may repeat)\n"
    "  --edx-table EDXFILE\n"
    "                   print the EDX cut table as the import puts it on the clipboard\n"
    "  --grid3d STEP    the 3D level grid of each pattern of FILE, STEP degrees apart\n"
    "                   (STEP divides 90): 'azimuth vertical level' lines\n"
    "  --               end of options: every later word is a file\n"
    "A folder that cannot be read, or holds no pattern file, is a block 'loaded: no' too.\n"
    "Exit status: 0 every file loaded, 1 some file or folder did not (or the output could\n"
    "not be written), 2 usage error.";

enum TInputKind { ikPattern, ikEdx, ikEdxTable };

struct TInput {
    TInputKind Kind = ikPattern;
    std::string Path;
    std::string Error;  // a folder of -r that could not be read, or gave no pattern file
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

    bool WithFigures = false;

    void Loaded(const std::string& name, const TPatternData& pattern, bool withCuts,
                const std::vector<std::string>& ignored = {}) {
        Begin(name);
        FOut << "loaded: yes\n";
        for (const std::string& part : ignored) FOut << "ignored: " << part << '\n';
        FOut << "frequency: " << pattern.Frequency.DisplayText() << '\n';
        FOut << "gain: " << FormatGeneral(pattern.Gain.Value) << '\n';
        FOut << "gain_text: " << GainText(pattern) << '\n';
        FOut << "horz_width: " << pattern.HorzWidth.DisplayText() << '\n';
        FOut << "vert_width: " << pattern.VertWidth.DisplayText() << '\n';
        if (WithFigures) WriteFigures(pattern);
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
    // The viewer's default cut, the azimuth cut as read.
    void WriteFigures(const TPatternData& pattern) {
        const TPatternFigures& figures = pattern.Figures(true);
        for (const TFigureColumn& figure : FigureColumns()) {
            FOut << figure.Key << ": " << FigureText(figure.Value(figures)) << '\n';
        }
        FOut << "header_check: " << HeaderCheckCell(pattern, true) << '\n';
    }

    void Begin(const std::string& name) {
        if (FBlocks++ > 0) FOut << '\n';
        FOut << "file: " << name << '\n';
    }

    std::ostream& FOut;
    int FBlocks = 0;
};

// Every input's patterns, in argument order, all through one loader: `take` gets each
// input with its result, the patterns (every pattern of a file: an NSMA file holds one per
// frequency; every cut of an EDX import) or the reason there are none. Pattern files are read
// ahead on every core. Stops early when `take` returns false.
void LoadInputs(const std::vector<TInput>& inputs,
                const std::function<bool(const TInput&, TLoadResult&)>& take) {
    std::vector<std::string> patternPaths;
    for (const TInput& input : inputs) {
        if (input.Kind == ikPattern && input.Error.empty()) patternPaths.push_back(input.Path);
    }
    TOrderedLoad load(std::move(patternPaths), 0, nullptr, nullptr, 256);
    for (const TInput& input : inputs) {
        bool goOn = true;
        if (input.Kind == ikPattern && input.Error.empty()) {
            load.TakeNext([&](TLoadResult& result) { goOn = take(input, result); });
        } else {
            TLoadResult result;
            result.Path = input.Path;
            result.Error = input.Error;
            if (input.Error.empty()) {
                try {
                    TEdxFileEx file;
                    file.LoadFromFile(input.Path);
                    result.Patterns = MakeEdxPatterns(file);
                } catch (const std::exception& error) {
                    result.Error = error.what();
                }
            }
            goOn = take(input, result);
        }
        if (!goOn) return;
    }
}

// One block per pattern of the result; the first block lists what the file holds that no
// pattern shows. A result without patterns gives one failed block.
bool WriteBlocks(TLoadResult& result, bool withCuts, TBlockWriter& blocks) {
    if (result.Patterns.empty()) {
        blocks.Failed(result.Path, result.Error);
        return false;
    }
    for (size_t i = 0; i < result.Patterns.size(); ++i) {
        blocks.Loaded(result.Patterns[i]->FileName, *result.Patterns[i], withCuts,
                      i == 0 ? result.Ignored : std::vector<std::string>());
    }
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

// The CSV of every pattern that loads, numbered from 0 in argument order as the viewer would;
// a file that does not load is reported on `err`.
bool WriteCsv(const std::vector<TInput>& inputs, std::ostream& out, std::ostream& err) {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    bool allLoaded = true;
    LoadInputs(inputs, [&](const TInput& input, TLoadResult& result) {
        if (result.Patterns.empty()) {
            // A folder's problem names the folder already.
            err << "ostrel-inspect: " << (input.Error.empty() ? result.Path + ": " : "")
                << result.Error << '\n';
            allLoaded = false;
        }
        for (auto& pattern : result.Patterns) patterns.push_back(std::move(pattern));
        return true;
    });
    std::vector<const TPatternData*> rows;
    for (auto& pattern : patterns) {
        pattern->Id = static_cast<int>(rows.size());
        rows.push_back(pattern.get());
    }
    out << TableCsvText(rows, true, true);
    return allLoaded;
}

}  // namespace

int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    auto usageError = [&err](const std::string& problem) {
        if (!problem.empty()) err << "ostrel-inspect: " << problem << '\n';
        err << kUsage << '\n';
        return 2;
    };
    TCommandOptions options;
    const std::string problem = options.Parse(arguments, {{"cuts"},
                                                          {"figures"},
                                                          {"csv"},
                                                          {"edx", 0, true},
                                                          {"edx-table", 0, true},
                                                          {"grid3d", 0, true},
                                                          {"recursive", 'r', true}});
    if (!problem.empty()) return usageError(problem);
    if (AnswerHelpOrVersion(options, "ostrel-inspect", kHelp, out)) return 0;
    const bool withCuts = options.Has("cuts");
    const bool tableWanted = options.Has("edx-table");
    const bool withFigures = options.Has("figures");
    const bool csvWanted = options.Has("csv");
    if (options.Has("grid3d")) {
        if (options.Operands.size() != 1 || options.Options.size() != 1) {
            return usageError("--grid3d takes a step and one file");
        }
        const std::string stepText = options.Value("grid3d");
        const int step = Grid3dStep(stepText);
        if (step == 0) {
            return usageError("--grid3d needs a whole step that divides 90, not '" + stepText +
                              "'");
        }
        bool loaded = false;
        LoadInputs({{ikPattern, options.Operands.front(), {}}},
                   [&](const TInput&, TLoadResult& result) {
                       if (result.Patterns.empty()) {
                           err << "ostrel-inspect: " << result.Path << ": " << result.Error << '\n';
                       } else {
                           WriteGrid3d(step, result.Patterns, out);
                           loaded = true;
                       }
                       return true;
                   });
        return loaded ? 0 : 1;
    }
    std::vector<TInput> inputs;
    for (const TGivenOption& item : options.Items) {
        if (item.Name.empty()) {
            inputs.push_back({ikPattern, item.Value, {}});
        } else if (item.Name == "edx" || item.Name == "edx-table") {
            inputs.push_back({item.Name == "edx" ? ikEdx : ikEdxTable, item.Value, {}});
        } else if (item.Name == "recursive") {
            for (TScannedPath& scanned : ScanPatternFolder(item.Value)) {
                inputs.push_back({ikPattern, std::move(scanned.Path), std::move(scanned.Problem)});
            }
        }
    }
    if (inputs.empty()) return usageError({});
    // The table is printed exactly as it goes to the clipboard, so nothing may join it.
    if (tableWanted && (inputs.size() > 1 || withCuts)) {
        return usageError("--edx-table takes one file and no other argument");
    }
    if (csvWanted && (tableWanted || withCuts || withFigures)) {
        return usageError("--csv takes no --cuts, --figures or --edx-table");
    }
    bool allLoaded = true;
    if (csvWanted) {
        allLoaded = WriteCsv(inputs, out, err);
    } else if (tableWanted) {
        allLoaded = WriteEdxTable(inputs.front().Path, out);
    } else {
        TBlockWriter blocks(out);
        blocks.WithFigures = withFigures;
        LoadInputs(inputs, [&](const TInput&, TLoadResult& result) {
            allLoaded = WriteBlocks(result, withCuts, blocks) && allLoaded;
            // Nothing more can reach a full disk or a closed output; the caller says why.
            return out.good();
        });
    }
    out.flush();
    return allLoaded ? 0 : 1;
}

}  // namespace ostrel

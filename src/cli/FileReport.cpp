#include "cli/FileReport.h"

#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/Grid3dReport.h"
#include "formats/EdxFile.h"
#include "formats/OrderedLoad.h"
#include "formats/PatternFolders.h"
#include "formats/PatternLoaders.h"
#include "model/Errors.h"
#include "model/NumberText.h"
#include "shell/FigureTables.h"

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
    "  --grid3d STEP    the 3D level grid of FILE's first pattern, STEP degrees apart\n"
    "                   (STEP divides 90): 'azimuth vertical level' lines\n"
    "  --               end of options: every later word is a file\n"
    "Exit status: 0 every file loaded, 1 some file did not, 2 usage error.";

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

// The next result of the load, which reads the pattern inputs ahead on every core: one
// block per pattern the file holds (an NSMA file holds one per frequency); the first block
// lists what the file holds that no pattern shows.
bool WritePatternFile(TOrderedLoad& load, bool withCuts, TBlockWriter& blocks) {
    bool loaded = false;
    load.TakeNext([&](TLoadResult& result) {
        if (result.Patterns.empty()) {
            blocks.Failed(result.Path, result.Error);
            return;
        }
        for (size_t i = 0; i < result.Patterns.size(); ++i) {
            blocks.Loaded(result.Patterns[i]->FileName, *result.Patterns[i], withCuts,
                          i == 0 ? result.Ignored : std::vector<std::string>());
        }
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

// The CSV of every pattern that loads, numbered from 0 in argument order as the viewer would;
// a file that does not load is reported on `err`.
bool WriteCsv(const std::vector<TInput>& inputs, std::ostream& out, std::ostream& err) {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    bool allLoaded = true;
    for (const TInput& input : inputs) {
        try {
            if (input.Kind == ikEdx) {
                TEdxFileEx file;
                file.LoadFromFile(input.Path);
                for (auto& pattern : MakeEdxPatterns(file)) patterns.push_back(std::move(pattern));
                continue;
            }
            std::string error;
            auto pattern = LoadPatternData(input.Path, &error);
            if (!pattern) throw EOstrelError(error);
            patterns.push_back(std::move(pattern));
        } catch (const std::exception& error) {
            err << "ostrel-inspect: " << input.Path << ": " << error.what() << '\n';
            allLoaded = false;
        }
    }
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
        const int status = WriteGrid3d(options.Value("grid3d"), options.Operands.front(), out, err);
        if (status == 2) err << kUsage << '\n';
        return status;
    }
    std::vector<TInput> inputs;
    for (const TGivenOption& item : options.Items) {
        if (item.Name.empty()) {
            inputs.push_back({ikPattern, item.Value, {}});
        } else if (item.Name == "edx" || item.Name == "edx-table") {
            inputs.push_back({item.Name == "edx" ? ikEdx : ikEdxTable, item.Value, {}});
        } else if (item.Name == "recursive") {
            try {
                for (std::string& file : ListPatternFiles(item.Value)) {
                    inputs.push_back({ikPattern, std::move(file), {}});
                }
            } catch (const std::exception& error) {
                inputs.push_back({ikPattern, item.Value, error.what()});
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

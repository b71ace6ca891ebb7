#include "cli/FileReport.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <thread>

#include "cli/CommandOptions.h"
#include "cli/CoverageReport.h"
#include "cli/DerivedJob.h"
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
    "       ostrel-inspect --grid3d STEP FILE [--method measured|cutsum|wbi]\n"
    "       ostrel-inspect --coverage FILE [--height M] [--rx-height M] [--mech-tilt DEG]\n"
    "                      [--power DBM] [--frequency MHZ] [--model MODEL] [--radius KM]\n"
    "                      [--step M] [--method measured|cutsum|wbi]\n"
    "       ostrel-inspect [--cuts] [--figures] --envelope FILE...\n"
    "       ostrel-inspect [--cuts] [--figures] --interpolate freq|tilt X A B\n"
    "       ostrel-inspect [--cuts] --compare A B [--relative]\n"
    "       ostrel-inspect --help | --version";

const char kAbout[] =
    "Tells what the viewer makes of pattern files, one block of 'key: value' lines a file.";

const char kNotes[] =
    "A folder that cannot be read, or holds no pattern file, is a block 'loaded: no' too.\n"
    "\n"
    "--envelope joins every pattern of its files (all frequencies of an NSMA file);\n"
    "--interpolate and --compare need exactly two patterns in all: two files of one\n"
    "pattern, or one file of two. --compare prints per cut (az, v, h) the difference\n"
    "B - A of largest magnitude and its angle, its RMS over 360 degrees and over A's\n"
    "main lobe (between its -10 dB crossings); with --cuts 'angle az v h' per angle.\n"
    "A pattern that cannot be made (a source without a gain, X outside A..B) is\n"
    "reported on standard error with exit status 1.\n"
    "\n"
    "Exit status: 0 every file loaded, 1 some file or folder did not (or the output could\n"
    "not be written), 2 usage error.\n";

enum TInputKind { ikPattern, ikEdx, ikEdxTable };

struct TInput {
    TInputKind Kind = ikPattern;
    std::string Path;
    std::string Error;  // a folder of -r that could not be read, or gave no pattern file
    // The bytes a scan of -r read to know the file, kept for the load.
    std::optional<std::string> Bytes;
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
        for (const TFigureColumn& figure : FigureColumns()) {
            // The figures of a measured sphere only for the files that have one.
            if (!figure.Value && !pattern.Sphere) continue;
            FOut << figure.Key << ": " << FigureValueText(figure, pattern, THCut::Azimuth) << '\n';
        }
        FOut << "header_check: " << HeaderCheckCell(pattern, THCut::Azimuth) << '\n';
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
void LoadInputs(std::vector<TInput>& inputs,
                const std::function<bool(const TInput&, TLoadResult&)>& take) {
    std::vector<std::string> patternPaths;
    std::vector<TScannedPath> readByScans;
    for (TInput& input : inputs) {
        if (input.Kind != ikPattern || !input.Error.empty()) continue;
        patternPaths.push_back(input.Path);
        if (input.Bytes) readByScans.push_back({input.Path, {}, std::move(input.Bytes)});
    }
    // A few files ahead per core are enough; more would only hold patterns in memory, and each
    // new page of it costs a fault.
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    TOrderedLoad load(std::move(patternPaths), WorkersBesideTaker(), LoadScannedFiles(readByScans),
                      nullptr, 4 * std::max(4, cores));
    for (const TInput& input : inputs) {
        bool goOn = true;
        if (input.Kind == ikPattern && input.Error.empty()) {
            load.TakeNext([&](TLoadResult& result) { goOn = take(input, result); });
        } else {
            TLoadResult result;
            result.Path = input.Path;
            result.Failure = input.Error;
            if (input.Error.empty()) {
                try {
                    TEdxFileEx file;
                    file.LoadFromFile(input.Path);
                    result.Patterns = MakeEdxPatterns(file);
                } catch (const std::exception& error) {
                    result.Failure = error.what();
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
    if (!result.Loaded()) {
        blocks.Failed(result.Path, result.Failure);
        return false;
    }
    for (size_t i = 0; i < result.Patterns.size(); ++i) {
        blocks.Loaded(result.Patterns[i]->FileName, *result.Patterns[i], withCuts,
                      i == 0 ? result.IgnoredParts : std::vector<std::string>());
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
bool WriteCsv(std::vector<TInput>& inputs, std::ostream& out, std::ostream& err) {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    bool allLoaded = true;
    LoadInputs(inputs, [&](const TInput& input, TLoadResult& result) {
        if (!result.Loaded()) {
            // A folder's problem names the folder already.
            err << "ostrel-inspect: " << (input.Error.empty() ? result.Path + ": " : "")
                << result.Failure << '\n';
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
    out << TableCsvText(rows, true, THCut::Azimuth);
    return allLoaded;
}

struct TInspectRequest {
    bool WithCuts = false;
    bool WithFigures = false;
    bool CsvWanted = false;
    bool TableWanted = false;
    bool GridWanted = false;
    std::string GridStep;
    TGridMethod GridMethod = TGridMethod::Default;
    bool GridMethodGiven = false;
    bool CoverageWanted = false;
    TCoverageRequest Coverage;
    // In command-line order, the files and the options that name files alike.
    std::vector<TInput> Inputs;
    TDerivedRequest Derived;
    std::vector<std::string> Operands;  // the operands alone, for a derived pattern
};

// ostrel-inspect --coverage FILE: the coverage of each pattern of the file, after a line
// "file: NAME" when it holds several.
int RunCoverage(const TCommandLine& line, TInspectRequest& request, int optionCount,
                std::ostream& out, std::ostream& err) {
    const int coverageOptions =
        1 + request.Coverage.OptionsGiven + (request.GridMethodGiven ? 1 : 0);
    if (request.Inputs.size() != 1 || request.Inputs.front().Kind != ikPattern ||
        optionCount != coverageOptions)
        return UsageError(line, "--coverage takes one file and only its own options", err);
    if (request.GridMethodGiven) {
        request.Coverage.Site.Levels =
            request.GridMethod == TGridMethod::Measured ? TCoverageLevels::Measured
            : request.GridMethod == TGridMethod::CutSum ? TCoverageLevels::CutSum
                                                        : TCoverageLevels::WeightedBilinear;
    }
    int status = 1;
    std::string misfit;
    LoadInputs(request.Inputs, [&](const TInput&, TLoadResult& result) {
        if (!result.Loaded()) {
            err << "ostrel-inspect: " << result.Path << ": " << result.Failure << '\n';
            return true;
        }
        for (const auto& pattern : result.Patterns) {
            misfit = CoverageSiteProblem(*pattern, request.Coverage.Site);
            if (!misfit.empty()) return true;
        }
        for (size_t i = 0; i < result.Patterns.size(); ++i) {
            if (result.Patterns.size() > 1)
                out << (i > 0 ? "\nfile: " : "file: ") << result.Patterns[i]->FileName << '\n';
            try {
                WriteCoverage(*result.Patterns[i], request.Coverage.Site, out);
            } catch (const std::exception& error) {
                err << "ostrel-inspect: " << result.Path << ": " << error.what() << '\n';
                return true;
            }
        }
        status = 0;
        return true;
    });
    if (!misfit.empty()) return UsageError(line, misfit, err);
    return status;
}

TCommandLine InspectCommandLine(TInspectRequest& request) {
    auto addInput = [&request](TInputKind kind) {
        return [&request, kind](const std::string& path) {
            if (kind == ikEdxTable) request.TableWanted = true;
            request.Inputs.push_back({kind, path, {}, {}});
            return std::string();
        };
    };
    TCommandLine line{
        "ostrel-inspect",
        kUsage,
        kAbout,
        {{"cuts", 0, nullptr, "also list every point of the three cuts", SetFlag(request.WithCuts)},
         {"figures", 0, nullptr,
          "add the figures computed from the cuts (azimuth cut) and the header check",
          SetFlag(request.WithFigures)},
         {"csv", 0, nullptr,
          "one CSV row per loaded pattern (header row first): table columns, figures",
          SetFlag(request.CsvWanted)},
         {"edx", 0, "EDXFILE", "read an EDX file as the viewer's EDX import does (may repeat)",
          addInput(ikEdx)},
         {"recursive", 'r', "FOLDER", "every pattern file below FOLDER, in path order (may repeat)",
          [&request](const std::string& folder) {
              for (TScannedPath& scanned : ScanPatternFolder(folder)) {
                  request.Inputs.push_back({ikPattern, std::move(scanned.Path),
                                            std::move(scanned.Problem), std::move(scanned.Bytes)});
              }
              return std::string();
          }},
         {"edx-table", 0, "EDXFILE",
          "print the EDX cut table as the import puts it on the clipboard", addInput(ikEdxTable)},
         {"grid3d", 0, "STEP",
          "the 3D level grid of each pattern of FILE, STEP degrees apart\n"
          "(STEP divides 90): 'azimuth vertical level' lines",
          [&request](const std::string& step) {
              request.GridWanted = true;
              request.GridStep = step;
              return std::string();
          }},
         {"method", 0, "METHOD",
          "with --grid3d: the levels of the measured sphere ('measured', a 3D\n"
          "file's default) or an estimate from the two cuts ('cutsum', or\n"
          "'wbi' the weighted bilinear one, the default for two cuts)",
          [&request](const std::string& name) {
              const std::optional<TGridMethod> method = GridMethodNamed(name);
              if (!method) return "unknown method '" + name + "'";
              request.GridMethod = *method;
              request.GridMethodGiven = true;
              return std::string();
          }},
         // Ground coverage of one antenna (its site options follow the table).
         {"coverage", 0, nullptr,
          "where the signal of FILE's antenna lands on flat ground: the key\n"
          "distances along boresight, the boresight profile and the level grid",
          SetFlag(request.CoverageWanted)}},
        kNotes,
        [&request, addPattern = addInput(ikPattern)](const std::string& path) {
            request.Operands.push_back(path);
            return addPattern(path);
        }};
    for (TOptionSpec& option : CoverageSiteOptions(request.Coverage)) {
        line.Options.push_back(std::move(option));
    }
    // The patterns made from patterns: one block of options of their own.
    for (TOptionSpec& option : DerivedOptions(request.Derived, true)) {
        line.Options.push_back(std::move(option));
    }
    return line;
}

// An envelope or an interpolation as one block, or a comparison.
int InspectDerived(const TCommandLine& line, const TInspectRequest& request, std::ostream& out,
                   std::ostream& err) {
    if (request.CsvWanted || request.TableWanted ||
        request.Inputs.size() != request.Operands.size()) {
        return UsageError(
            line, "--envelope, --interpolate and --compare take files, --cuts and --figures only",
            err);
    }
    std::string problem = DerivedUsageProblem(request.Derived, request.Operands);
    if (problem.empty() && request.Derived.Compare && request.WithFigures) {
        problem = "--compare takes no --figures";
    }
    if (!problem.empty()) return UsageError(line, problem, err);
    try {
        if (request.Derived.Compare) {
            WriteComparison(request.Derived, request.Operands, request.WithCuts, out);
        } else {
            const std::unique_ptr<TPatternData> pattern =
                MakeDerivedPattern(request.Derived, request.Operands);
            TBlockWriter blocks(out);
            blocks.WithFigures = request.WithFigures;
            blocks.Loaded(pattern->FileName, *pattern, request.WithCuts);
        }
    } catch (const std::exception& error) {
        err << "ostrel-inspect: " << error.what() << '\n';
        return 1;
    }
    out.flush();
    return 0;
}

}  // namespace

int RunInspect(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    TInspectRequest request;
    const TCommandLine line = InspectCommandLine(request);
    const TParsedCommandLine parsed = ParseCommandLine(line, arguments, out, err);
    if (parsed.ExitStatus) return *parsed.ExitStatus;
    if (request.GridWanted) {
        if (request.CoverageWanted || request.Coverage.OptionsGiven > 0)
            return UsageError(line, "--grid3d takes no --coverage options", err);
        if (parsed.OptionCount != (request.GridMethodGiven ? 2 : 1) || request.Inputs.size() != 1) {
            return UsageError(line, "--grid3d takes a step and one file", err);
        }
        const int step = Grid3dStep(request.GridStep);
        if (step == 0) {
            return UsageError(
                line, "--grid3d needs a whole step that divides 90, not '" + request.GridStep + "'",
                err);
        }
        bool loaded = false;
        std::string misfit;
        LoadInputs(request.Inputs, [&](const TInput&, TLoadResult& result) {
            if (!result.Loaded()) {
                err << "ostrel-inspect: " << result.Path << ": " << result.Failure << '\n';
            } else {
                const std::string problem =
                    WriteGrid3d(step, result.Patterns, request.GridMethod, out);
                if (!problem.empty()) misfit = problem;
                loaded = problem.empty();
            }
            return true;
        });
        if (!misfit.empty()) {
            err << "ostrel-inspect: " << misfit << '\n';
            return 2;
        }
        return loaded ? 0 : 1;
    }
    if (request.CoverageWanted) return RunCoverage(line, request, parsed.OptionCount, out, err);
    if (request.Coverage.OptionsGiven > 0)
        return UsageError(line, "--height, --model and the like go with --coverage", err);
    if (request.GridMethodGiven)
        return UsageError(line, "--method goes with --grid3d or --coverage", err);
    if (request.Derived.Wanted()) return InspectDerived(line, request, out, err);
    if (request.Inputs.empty()) return UsageError(line, {}, err);
    // The table is printed exactly as it goes to the clipboard, so nothing may join it.
    if (request.TableWanted && (request.Inputs.size() > 1 || request.WithCuts)) {
        return UsageError(line, "--edx-table takes one file and no other argument", err);
    }
    if (request.CsvWanted && (request.TableWanted || request.WithCuts || request.WithFigures)) {
        return UsageError(line, "--csv takes no --cuts, --figures or --edx-table", err);
    }
    bool allLoaded = true;
    if (request.CsvWanted) {
        allLoaded = WriteCsv(request.Inputs, out, err);
    } else if (request.TableWanted) {
        allLoaded = WriteEdxTable(request.Inputs.front().Path, out);
    } else {
        TBlockWriter blocks(out);
        blocks.WithFigures = request.WithFigures;
        LoadInputs(request.Inputs, [&](const TInput&, TLoadResult& result) {
            allLoaded = WriteBlocks(result, request.WithCuts, blocks) && allLoaded;
            // Nothing more can reach a full disk or a closed output; the caller says why.
            return out.good();
        });
    }
    out.flush();
    return allLoaded ? 0 : 1;
}

}  // namespace ostrel

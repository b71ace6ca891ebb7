#include "cli/ConvertJob.h"

#include "cli/CommandOptions.h"
#include "cli/DerivedJob.h"

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <utility>

#include "formats/PatternLoaders.h"
#include "formats/PatternWriters.h"
#include "model/SafeFile.h"
#include "shell/SaveTargets.h"

namespace ostrel {

namespace {

const char kUsage[] =
    "usage: ostrel-convert --to msi|vwa|nsm|csv|json [-o DIR] [--] FILE...\n"
    "       ostrel-convert --to FORMAT [-o DIR] --envelope FILE...\n"
    "       ostrel-convert --to FORMAT [-o DIR] --interpolate freq|tilt X A B";

const char kAbout[] = "Writes the patterns of antenna pattern files in another format.";

const char kNotes[] =
    "Reads every format the viewer reads (Ostrel, Verizon, NSMA, EDX .pat), chosen by the\n"
    "file's content and extension. Each pattern becomes one file named after its input with\n"
    "the format's extension; an NSMA file of several frequencies gives one file per\n"
    "frequency, NAME@FREQUENCY.EXT. An input is never overwritten, nor is a file written\n"
    "twice in one run. Files are replaced only once completely written.\n"
    "\n"
    "A figure the output format cannot hold (a Verizon gain of 2.1 dBi or less, a vertical\n"
    "width in a Verizon file, an unknown frequency in NSMA) is noted on standard error; a\n"
    "pattern the format cannot take (NSMA without a gain; BASTA JSON without a frequency, or\n"
    "whose beam widths or front-to-back are neither stated nor computable) is not written.\n"
    "\n"
    "--envelope and --interpolate write the one pattern they make instead, named after\n"
    "it ('Envelope of 3.msi', 'A \u2194 B at 1930 MHz.msi'), beside the first FILE unless\n"
    "-o is given. The envelope joins every pattern of its files; an interpolation needs\n"
    "exactly two patterns in all (two files, or one file of two).\n"
    "\n"
    "Exit status: 0 when every file converted, 1 when any did not, 2 for a usage error.\n";

struct TFileId {
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator<(const TFileId& other) const {
        return Device != other.Device ? Device < other.Device : Inode < other.Inode;
    }
};

bool FileIdOf(const std::string& path, TFileId& id) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    id = {info.st_dev, info.st_ino};
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Writes patterns into files of one format: never over an input, never twice in one run.
class TPatternFileWriter {
public:
    TPatternFileWriter(const std::vector<std::string>& inputs, TPatternFormat format,
                       std::ostream& out, std::ostream& err)
        : FFormat(format), FExtension(FormatExtension(format)), FOut(out), FErr(err) {
        // Every input is known before anything is written, so no output can replace one.
        for (const std::string& file : inputs) {
            TFileId id;
            if (FileIdOf(file, id)) FInputs.insert(id);
        }
    }

    // Writes `pattern`, which came from `file`, into `folder`; false when it was not written
    // (the reason is on the error stream). `besideFile`, when not empty, is the input whose
    // folder was taken for want of -o: a folder we may not write then says what to do.
    bool Write(const TPatternData& pattern, const std::string& file, const std::string& folder,
               const std::string& besideFile) {
        // "file@frequency" for one of several patterns of a file, as Save As proposes.
        const std::string name = ProposedSaveName(pattern);
        const std::string target = folder + name + "." + FExtension;
        TFileId id;
        const bool exists = FileIdOf(target, id);
        if (exists && FInputs.count(id) > 0) {
            FErr << "ostrel-convert: " << file << ": not written, " << target
                 << " is an input file\n";
            return false;
        }
        if (exists && FWritten.count(id) > 0) {
            FErr << "ostrel-convert: " << file << ": not written, " << target
                 << " was already written in this run\n";
            return false;
        }
        TWrittenPattern text;
        try {
            text = PatternFileText(pattern, FFormat, name);
        } catch (const std::exception& failure) {
            text.Failure = failure.what();
        }
        if (!text.Failure.empty()) {
            FErr << "ostrel-convert: " << pattern.FileName << ": not written, " << text.Failure
                 << '\n';
            return false;
        }
        // What a run killed while writing this target left behind.
        RemoveStaleTemporaryFiles(target);
        if (const std::string reason = WriteWholeFile(target, text.Text); !reason.empty()) {
            FErr << "ostrel-convert: " << target << ": ";
            if (!besideFile.empty()) FErr << "cannot be written beside " << besideFile << ": ";
            FErr << reason << (besideFile.empty() ? "" : "; use -o DIR") << '\n';
            return false;
        }
        if (FileIdOf(target, id)) FWritten.insert(id);
        FOut << file << " -> " << target << '\n';
        for (const std::string& note : text.Notes) {
            FErr << "ostrel-convert: " << target << ": note: " << note << '\n';
        }
        return true;
    }

private:
    TPatternFormat FFormat;
    std::string FExtension;
    std::ostream& FOut;
    std::ostream& FErr;
    std::set<TFileId> FInputs;
    std::set<TFileId> FWritten;
};

struct TConvertRequest {
    TPatternFormat Format = TPatternFormat::Nsma;
    std::string OutputFolder;  // "" = beside each input
    std::vector<std::string> Files;
    TDerivedRequest Derived;
};

// Fills `request`; returns the exit status when the tool is done (help, version or a usage
// error).
std::optional<int> ParseArguments(const std::vector<std::string>& arguments,
                                  TConvertRequest& request, std::ostream& out, std::ostream& err) {
    bool formatGiven = false;
    TCommandLine line{
        "ostrel-convert",
        kUsage,
        kAbout,
        {{"to", 0, "FORMAT",
          "msi: Ostrel text; vwa: Verizon; nsm: NSMA WG16.99.050;\n"
          "csv: a table of the three cuts (angle, azimuth, vertical, horizontal);\n"
          "json: NGMN BASTA 3D pattern, the sphere in 1 degree steps estimated\n"
          "from the two cuts (weighted bilinear)",
          [&](const std::string& name) {
              formatGiven = true;
              return FormatFromName(name, request.Format)
                         ? std::string()
                         : "unknown format '" + name + "' (msi, vwa, nsm, csv or json)";
          }},
         {"output", 'o', "DIR", "write the converted files into DIR (default: beside each input)",
          [&](const std::string& folder) {
              struct stat info {};
              if (folder.empty() || ::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
                  return "'" + folder + "' is not a folder";
              }
              request.OutputFolder = folder.back() == '/' ? folder : folder + "/";
              return std::string();
          }}},
        kNotes,
        AppendValue(request.Files)};
    // The patterns made from patterns: one block of options of their own.
    for (TOptionSpec& option : DerivedOptions(request.Derived, false)) {
        line.Options.push_back(std::move(option));
    }
    if (arguments.empty()) return UsageError(line, {}, err);
    const TParsedCommandLine parsed = ParseCommandLine(line, arguments, out, err);
    if (parsed.ExitStatus) return parsed.ExitStatus;
    if (!formatGiven) return UsageError(line, "--to is required", err);
    if (request.Files.empty()) return UsageError(line, "no file given", err);
    if (request.Derived.Wanted()) {
        const std::string problem = DerivedUsageProblem(request.Derived, request.Files);
        if (!problem.empty()) return UsageError(line, problem, err);
    }
    return std::nullopt;
}

}  // namespace

int RunConvert(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    TConvertRequest request;
    if (const auto status = ParseArguments(arguments, request, out, err)) return *status;

    TPatternFileWriter writer(request.Files, request.Format, out, err);
    if (request.Derived.Wanted()) {
        std::unique_ptr<TPatternData> pattern;
        try {
            pattern = MakeDerivedPattern(request.Derived, request.Files);
        } catch (const std::exception& error) {
            err << "ostrel-convert: " << error.what() << '\n';
            return 1;
        }
        // Beside the first file that holds a source pattern (an interpolation's first
        // operand is its value).
        const std::string& first = request.Derived.Envelope ? request.Files[0] : request.Files[1];
        const std::string folder =
            request.OutputFolder.empty() ? FolderOf(first) : request.OutputFolder;
        const bool written = writer.Write(*pattern, pattern->FileName, folder,
                                          request.OutputFolder.empty() ? first : std::string());
        out.flush();
        return written ? 0 : 1;
    }
    bool allConverted = true;
    for (const std::string& file : request.Files) {
        const TLoadedFile loaded = LoadPatternFile(file);
        const auto& patterns = loaded.Patterns;
        if (!loaded.Loaded()) {
            err << "ostrel-convert: " << file << ": " << loaded.Failure << '\n';
            allConverted = false;
            continue;
        }
        const std::string folder =
            request.OutputFolder.empty() ? FolderOf(file) : request.OutputFolder;
        for (const auto& pattern : patterns) {
            allConverted = writer.Write(*pattern, file, folder,
                                        request.OutputFolder.empty() ? file : std::string()) &&
                           allConverted;
        }
    }
    out.flush();
    return allConverted ? 0 : 1;
}

}  // namespace ostrel

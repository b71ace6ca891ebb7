#include "cli/ConvertJob.h"

#include "cli/CommandOptions.h"

#include <sys/stat.h>

#include <memory>
#include <ostream>
#include <set>
#include <utility>

#include "formats/PatternLoaders.h"
#include "formats/PatternWriters.h"
#include "model/SafeFile.h"
#include "shell/SaveTargets.h"

namespace ostrel {

namespace {

const char kUsage[] = "usage: ostrel-convert --to msi|vwa|nsm|csv [-o DIR] [--] FILE...";

const char kHelp[] =
    "Writes the patterns of antenna pattern files in another format.\n"
    "\n"
    "  --to FORMAT   msi: Ostrel text; vwa: Verizon; nsm: NSMA WG16.99.050;\n"
    "                csv: a table of the three cuts (angle, azimuth, vertical, horizontal)\n"
    "  -o, --output DIR\n"
    "                write the converted files into DIR (default: beside each input)\n"
    "  --            every later argument is a file\n"
    "  -h, --help    this text\n"
    "  --version     the program's version\n"
    "\n"
    "Reads every format the viewer reads (Ostrel, Verizon, NSMA, EDX .pat), chosen by the\n"
    "file's content and extension. Each pattern becomes one file named after its input with\n"
    "the format's extension; an NSMA file of several frequencies gives one file per\n"
    "frequency, NAME@FREQUENCY.EXT. An input is never overwritten, nor is a file written\n"
    "twice in one run. Files are replaced only once completely written.\n"
    "\n"
    "A figure the output format cannot hold (a Verizon gain of 2.1 dBi or less, a vertical\n"
    "width in a Verizon file, an unknown frequency in NSMA) is noted on standard error; a\n"
    "pattern the format cannot take (NSMA without a gain) is not written.\n"
    "\n"
    "Exit status: 0 when every file converted, 1 when any did not, 2 for a usage error.\n";

const char kVersion[] = "ostrel-convert " OSTREL_VERSION "\n";

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

struct TConvertRequest {
    TPatternFormat Format = TPatternFormat::Nsma;
    std::string OutputFolder;  // "" = beside each input
    std::vector<std::string> Files;
};

// 0 parsed, 2 usage error, -1 help or version shown.
int ParseArguments(const std::vector<std::string>& arguments, TConvertRequest& request,
                   std::ostream& out, std::ostream& err) {
    auto usageError = [&err](const std::string& problem) {
        err << "ostrel-convert: " << problem << '\n' << kUsage << '\n';
        return 2;
    };
    if (arguments.empty()) {
        err << kUsage << '\n';
        return 2;
    }
    TCommandOptions options;
    const std::string problem = options.Parse(arguments, {{"to", 0, true}, {"output", 'o', true}});
    if (!problem.empty()) return usageError(problem);
    if (options.Has("help")) {
        out << kUsage << "\n\n" << kHelp;
        return -1;
    }
    if (options.Has("version")) {
        out << kVersion;
        return -1;
    }
    const bool formatGiven = options.Has("to");
    if (formatGiven && !FormatFromName(options.Value("to"), request.Format)) {
        return usageError("unknown format '" + options.Value("to") + "' (msi, vwa, nsm or csv)");
    }
    if (options.Has("output")) {
        const std::string folder = options.Value("output");
        struct stat info {};
        if (folder.empty() || ::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return usageError("'" + folder + "' is not a folder");
        }
        request.OutputFolder = folder.back() == '/' ? folder : folder + "/";
    }
    request.Files = options.Operands;
    if (!formatGiven) return usageError("--to is required");
    if (request.Files.empty()) return usageError("no file given");
    return 0;
}

}  // namespace

int RunConvert(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    TConvertRequest request;
    const int parsed = ParseArguments(arguments, request, out, err);
    if (parsed != 0) return parsed < 0 ? 0 : parsed;

    // Every input is known before anything is written, so no output can replace one.
    std::set<TFileId> inputs;
    for (const std::string& file : request.Files) {
        TFileId id;
        if (FileIdOf(file, id)) inputs.insert(id);
    }
    std::set<TFileId> written;
    const std::string extension(FormatExtension(request.Format));
    bool allConverted = true;
    for (const std::string& file : request.Files) {
        std::string error;
        const auto patterns = LoadPatternFile(file, &error);
        if (patterns.empty()) {
            err << "ostrel-convert: " << file << ": " << error << '\n';
            allConverted = false;
            continue;
        }
        const std::string folder =
            request.OutputFolder.empty() ? FolderOf(file) : request.OutputFolder;
        for (const auto& pattern : patterns) {
            // "file@frequency" for one of several patterns of a file, as Save As proposes.
            const std::string name = ProposedSaveName(*pattern);
            const std::string target = folder + name + "." + extension;
            TFileId id;
            const bool exists = FileIdOf(target, id);
            if (exists && inputs.count(id) > 0) {
                err << "ostrel-convert: " << file << ": not written, " << target
                    << " is an input file\n";
                allConverted = false;
                continue;
            }
            if (exists && written.count(id) > 0) {
                err << "ostrel-convert: " << file << ": not written, " << target
                    << " was already written in this run\n";
                allConverted = false;
                continue;
            }
            TWrittenPattern text;
            try {
                text = PatternFileText(*pattern, request.Format, name);
            } catch (const std::exception& failure) {
                text.Failure = failure.what();
            }
            if (!text.Failure.empty()) {
                err << "ostrel-convert: " << pattern->FileName << ": not written, " << text.Failure
                    << '\n';
                allConverted = false;
                continue;
            }
            // What a run killed while writing this target left behind.
            RemoveStaleTemporaryFiles(target);
            if (const std::string reason = WriteWholeFile(target, text.Text); !reason.empty()) {
                err << "ostrel-convert: " << target << ": " << reason << '\n';
                allConverted = false;
                continue;
            }
            if (FileIdOf(target, id)) written.insert(id);
            out << file << " -> " << target << '\n';
            for (const std::string& note : text.Notes) {
                err << "ostrel-convert: " << target << ": note: " << note << '\n';
            }
        }
    }
    out.flush();
    return allConverted ? 0 : 1;
}

}  // namespace ostrel

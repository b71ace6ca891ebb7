#include "formats/PatternLoaders.h"

#include <array>
#include <new>
#include <optional>

#include "formats/BastaFile.h"
#include "formats/EdxPatFile.h"
#include "formats/NsmaFile.h"
#include "formats/PlanningFiles.h"
#include "formats/TextLines.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

bool HasExtension(std::string_view path, std::string_view upperExtension) {
    const std::string_view name = FileNamePartView(path);
    const size_t dot = name.find_last_of('.');
    return dot != std::string_view::npos && EqualsNoCase(name.substr(dot), upperExtension);
}

// Builds the cuts; a division by zero there comes from two points in a row at one degree,
// which the file's reader then names with its lines.
template <class TFile>
void BuildCutsExplainingRepeats(const TFile& file, std::string_view text, TPatternData& pattern) {
    try {
        BuildPatternCuts(file.HorizontalPoints, file.VerticalPoints, pattern);
    } catch (const EInvalidOp&) {
        file.RefuseRepeatedDegree(text);
        throw;
    }
}

void ReadOstrel(const std::string& path, const std::string& bytes, TLoadedFile& loaded) {
    TOstrelFile file;
    file.FileName = path;
    file.LoadFromText(bytes);
    auto pattern = std::make_unique<TPatternData>();
    pattern->FileName = path;
    // A header without a number for them leaves them unknown (shown as 0 in the table).
    if (file.FrequencyStated) pattern->Frequency.SetValue(file.Frequency);
    if (file.GainStated) pattern->Gain.SetValue(file.Gain);
    if (file.HWidth != 0) pattern->HorzWidth.SetValue(file.HWidth);
    if (file.VWidth != 0) pattern->VertWidth.SetValue(file.VWidth);
    if (file.FrontToBack != 0) pattern->FrontToBack.SetValue(file.FrontToBack);
    // TILT often names a kind ("ELECTRICAL", "MECHANICAL"); only a number is a tilt.
    std::optional<double> tilt = ParseNumber(file.Tilt);
    if (!tilt) tilt = ParseNumber(file.ElectricalTilt);
    if (tilt) pattern->ElectricalTilt.SetValue(*tilt);
    BuildCutsExplainingRepeats(file, bytes, *pattern);
    loaded.Patterns.push_back(std::move(pattern));
}

void ReadVerizon(const std::string& path, const std::string& bytes, TLoadedFile& loaded) {
    TVerizonFile file;
    file.FileName = path;
    file.LoadFromText(bytes);
    auto pattern = std::make_unique<TPatternData>();
    pattern->FileName = path;
    if (file.FrequencyStated) pattern->Frequency.SetValue(file.Frequency);
    // No gain above 0 dBi (nor a dBd gain above 0) is the format's "not known".
    if (file.MaxGainDbi != 0) pattern->Gain.SetValue(file.MaxGainDbi);
    if (file.HorzBeamwidth != 0) pattern->HorzWidth.SetValue(file.HorzBeamwidth);
    pattern->VertWidth.SetValue(0);
    if (file.ElectricalTiltStated) pattern->ElectricalTilt.SetValue(file.ElectricalTilt);
    BuildCutsExplainingRepeats(file, bytes, *pattern);
    loaded.Patterns.push_back(std::move(pattern));
}

void ReadNsma(const std::string& path, const std::string& bytes, TLoadedFile& loaded) {
    TNsmaFile file;
    file.LoadFromText(bytes);
    loaded.Patterns = MakeNsmaPatterns(file, path, &loaded.IgnoredParts);
}

void ReadEdxPat(const std::string& path, const std::string& bytes, TLoadedFile& loaded) {
    TEdxPatFile file;
    file.LoadFromText(bytes);
    loaded.Patterns.push_back(MakeEdxPatPattern(file, path, &loaded.IgnoredParts));
}

void ReadBasta(const std::string& path, const std::string& bytes, TLoadedFile& loaded) {
    loaded.Patterns = MakeBastaPatterns(bytes, path);
}

// Every reader and how a file is matched to it: the one place a new format joins. A file
// goes to the first reader whose content test accepts its first bytes; failing that, to
// the first whose extensions include its own; failing that, to the Ostrel reader.
struct TReader {
    TReadFormat Format;
    // True when a file's first bytes are of this format whatever its name; null for a
    // format known by its extension alone.
    bool (*ContentTest)(std::string_view head);
    // Upper case, with the dot; empty entries are unused.
    std::array<std::string_view, 3> Extensions;
    void (*Read)(const std::string& path, const std::string& bytes, TLoadedFile& loaded);
};

constexpr TReader kReaders[] = {
    // Known by content only: ".json" alone says nothing.
    {TReadFormat::Basta, LooksLikeBastaText, {}, ReadBasta},
    {TReadFormat::Nsma, LooksLikeNsmaText, {".ADF", ".NSM", ".NSMA"}, ReadNsma},
    {TReadFormat::EdxPat, LooksLikeEdxPatText, {".PAT"}, ReadEdxPat},
    {TReadFormat::Verizon, nullptr, {".VWA"}, ReadVerizon},
    {TReadFormat::Ostrel, nullptr, {}, ReadOstrel},
};

const TReader& ChooseReader(std::string_view path, std::string_view head) {
    for (const TReader& reader : kReaders) {
        if (reader.ContentTest && reader.ContentTest(head)) return reader;
    }
    for (const TReader& reader : kReaders) {
        for (std::string_view extension : reader.Extensions) {
            if (!extension.empty() && HasExtension(path, extension)) return reader;
        }
    }
    return kReaders[std::size(kReaders) - 1];
}

// Runs `read` on a new result, turning whatever it raises into the result's failure: the
// one place where the readers' exceptions end.
template <class TRead>
TLoadedFile Guarded(TRead&& read) {
    TLoadedFile loaded;
    try {
        read(loaded);
        return loaded;
    } catch (const std::bad_alloc&) {
        loaded.Failure = "Out of memory";
    } catch (const std::exception& error) {
        loaded.Failure = error.what();
    } catch (...) {
        loaded.Failure = "Unknown error";
    }
    loaded.Patterns.clear();
    loaded.IgnoredParts.clear();
    if (loaded.Failure.empty()) loaded.Failure = "Unknown error";
    return loaded;
}

}  // namespace

std::unique_ptr<TPatternData> TLoadedFile::TakeFirst() {
    if (Patterns.empty()) return nullptr;
    return std::move(Patterns.front());
}

TReadFormat ChooseReadFormat(std::string_view path, std::string_view head) {
    return ChooseReader(path, head).Format;
}

bool HasPatternFileContent(std::string_view head) {
    for (const TReader& reader : kReaders) {
        if (reader.ContentTest && reader.ContentTest(head)) return true;
    }
    return false;
}

bool IsVerizonFileName(const std::string& path) {
    return HasExtension(path, ".VWA");
}

TLoadedFile LoadPatternBytes(const std::string& path, const std::string& bytes) {
    return Guarded(
        [&](TLoadedFile& loaded) { ChooseReader(path, bytes).Read(path, bytes, loaded); });
}

TLoadedFile LoadPatternFile(const std::string& path) {
    return Guarded([&](TLoadedFile& loaded) {
        const std::string bytes = ReadFileBytes(path);
        ChooseReader(path, bytes).Read(path, bytes, loaded);
    });
}

}  // namespace ostrel

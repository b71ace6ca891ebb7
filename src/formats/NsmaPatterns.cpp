#include "formats/NsmaFile.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "formats/CircularCuts.h"
#include "formats/TextLines.h"
#include "model/AsciiText.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

// `value` in at most `width` characters: its shortest form, or when that is longer, rounded
// to as many significant digits as fit (one always fits a record).
std::string FittedNumber(double value, size_t width) {
    std::string text = FormatGeneral(value);
    for (int digits = 14; text.size() > width && digits >= 1; --digits) {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                          std::chars_format::general, digits);
        text.assign(buffer, result.ptr);
    }
    return text;
}

bool IsHorizontalCutName(std::string_view name) {
    return name == "H" || name == "AZ";
}

bool IsVerticalCutName(std::string_view name) {
    return name == "V" || name == "EL";
}

// "V/V": the same polarisation sent and received.
bool IsCoPolar(std::string_view polarization) {
    const size_t slash = polarization.find('/');
    return slash != std::string_view::npos &&
           TrimLine(polarization.substr(0, slash)) == TrimLine(polarization.substr(slash + 1));
}

// The cut of the kind `accepts` that stands for the frequency: the first co-polar one, or
// the first of any polarisation. Null when there is none.
template <class TAccept>
const TNsmaCut* ChooseCut(const TNsmaFrequency& frequency, TAccept&& accepts) {
    const TNsmaCut* chosen = nullptr;
    for (const TNsmaCut& cut : frequency.Cuts) {
        if (!accepts(cut.Name)) continue;
        if (!chosen || (IsCoPolar(cut.Polarization) && !IsCoPolar(chosen->Polarization))) {
            chosen = &cut;
        }
    }
    return chosen;
}

// "DBI/DBR": the unit of the gain figures and the unit of the points.
void ReadGainUnits(const std::string& units, bool& gainInDbd, bool& pointsAbsolute) {
    const std::string upper = AsciiUpperCase(units);
    const size_t slash = upper.find('/');
    const std::string_view gainUnit = TrimLine(std::string_view(upper).substr(0, slash));
    const std::string_view dataUnit = slash == std::string::npos
                                          ? std::string_view("DBR")
                                          : TrimLine(std::string_view(upper).substr(slash + 1));
    if ((gainUnit != "DBI" && gainUnit != "DBD") ||
        (dataUnit != "DBR" && dataUnit != "DBI" && dataUnit != "DBD")) {
        throw EFormatError("GUNITS " + QuotedFileText(units) +
                           " is not a gain unit and a data unit such as DBI/DBR.");
    }
    gainInDbd = gainUnit == "DBD";
    pointsAbsolute = dataUnit != "DBR";
}

TRealPointList CutPoints(const TNsmaCut& cut, bool absolute, const std::string& what) {
    TRealPointList points = FoldedCircularCut(cut.Points, what);
    if (absolute) SubtractFromValues(points, points.MaxY());
    return points;
}

}  // namespace

std::vector<std::unique_ptr<TPatternData>> MakeNsmaPatterns(const TNsmaFile& file,
                                                            const std::string& fileName,
                                                            std::vector<std::string>* ignoredCuts) {
    bool gainInDbd = false;
    bool pointsAbsolute = false;
    ReadGainUnits(file.Value("GUNITS"), gainInDbd, pointsAbsolute);
    const std::optional<double> gain = ParseNumber(FirstField(file.Value("MDGAIN")));
    if (!gain)
        throw EFormatError("MDGAIN " + QuotedFileText(file.Value("MDGAIN")) + " is not a number.");
    const std::optional<double> low = ParseNumber(FirstField(file.Value("LOWFRQ")));
    const std::optional<double> high = ParseNumber(FirstField(file.Value("HGHFRQ")));
    const std::optional<double> azWidth = ParseNumber(FirstField(file.Value("AZWIDT")));
    const std::optional<double> elWidth = ParseNumber(FirstField(file.Value("ELWIDT")));
    const std::optional<double> frontToBack = ParseNumber(FirstField(file.Value("FRTOBA")));
    const std::optional<double> tilt = ParseNumber(FirstField(file.Value("ELTILT")));

    std::vector<std::unique_ptr<TPatternData>> patterns;
    for (const TNsmaFrequency& frequency : file.Frequencies) {
        const TNsmaCut* horizontal = ChooseCut(frequency, IsHorizontalCutName);
        const TNsmaCut* vertical = ChooseCut(frequency, IsVerticalCutName);
        const std::string at = " at " + VisibleControlBytes(frequency.FrequencyText) + " MHz";
        if (!horizontal) throw EFormatError("No H or AZ cut" + at + ".");
        if (!vertical) throw EFormatError("No V or EL cut" + at + ".");
        auto pattern = std::make_unique<TPatternData>();
        NamePattern(*pattern, fileName,
                    file.Frequencies.size() > 1 ? frequency.FrequencyText : std::string());
        const std::optional<double> mhz = ParseNumber(frequency.FrequencyText);
        if (mhz) {
            pattern->Frequency.SetValue(*mhz);
        } else if (low && high) {
            pattern->Frequency.SetValue((*low + *high) / 2);
        }
        pattern->Gain.SetValue(gainInDbd ? *gain + kDipoleGainDbi : *gain);
        if (azWidth && *azWidth != 0) pattern->HorzWidth.SetValue(*azWidth);
        if (elWidth && *elWidth != 0) pattern->VertWidth.SetValue(*elWidth);
        // As in the Ostrel header, a front-to-back of 0 is what files write for "unknown".
        if (frontToBack && *frontToBack != 0) pattern->FrontToBack.SetValue(*frontToBack);
        if (tilt) pattern->ElectricalTilt.SetValue(*tilt);
        // The maker and model travel on to formats that have a place for them (BASTA's
        // Supplier and Antenna_Model, an NSMA file written again).
        pattern->Make = file.Value("ANTMAN");
        pattern->Model = file.Value("MODNUM");
        pattern->AzimuthPolarization = horizontal->Polarization;
        pattern->VerticalPolarization = vertical->Polarization;
        BuildPatternCuts(CutPoints(*horizontal, pointsAbsolute, "H" + at),
                         CutPoints(*vertical, pointsAbsolute, "V" + at), *pattern);
        patterns.push_back(std::move(pattern));
        if (!ignoredCuts) continue;
        for (const TNsmaCut& cut : frequency.Cuts) {
            if (&cut == horizontal || &cut == vertical) continue;
            ignoredCuts->push_back("PATCUT " +
                                   VisibleControlBytes(cut.Name + " " + cut.Polarization) + at +
                                   LineSuffix(cut.Line));
        }
    }
    return patterns;
}

TWrittenPattern NsmaTextOf(const TPatternData& pattern, const std::string& name) {
    TWrittenPattern written;
    if (pattern.Gain.GetIsNull()) {
        written.Failure = "an NSMA file needs the gain (MDGAIN), which is not known";
        return written;
    }
    // Records the format requires whose values are not known: written empty, which reads
    // back as "not known", never as 0.
    std::vector<std::string> empty;
    std::string frequency;
    if (pattern.Frequency.GetIsNull()) {
        empty.insert(empty.end(), {"PATFRE", "LOWFRQ", "HGHFRQ"});
    } else {
        frequency = FittedNumber(pattern.Frequency.Value,
                                 kMaxFrequencyRecord - std::string_view("PATFRE:,").size());
    }
    TNsmaFile file;
    file.SetValue("REVNUM", "NSMA WG16.99.050");
    file.SetValue("REVDAT", "19990520");
    file.SetValue("ANTMAN", pattern.Make.empty() ? std::string("Unknown") : pattern.Make);
    file.SetValue("MODNUM", name);
    file.SetValue("LOWFRQ", frequency);
    file.SetValue("HGHFRQ", frequency);
    file.SetValue("GUNITS", "DBI/DBR");
    file.SetValue("MDGAIN", FormatFixed(2, pattern.Gain.Value));
    if (!pattern.HorzWidth.IsNull) file.SetValue("AZWIDT", FormatGeneral(pattern.HorzWidth.Value));
    if (!pattern.VertWidth.IsNull) file.SetValue("ELWIDT", FormatGeneral(pattern.VertWidth.Value));
    if (!pattern.FrontToBack.IsNull) {
        file.SetValue("FRTOBA", FormatGeneral(pattern.FrontToBack.Value));
    }
    if (pattern.ElectricalTilt.IsNull) {
        empty.push_back("ELTILT");
    } else {
        file.SetValue("ELTILT", FormatGeneral(pattern.ElectricalTilt.Value));
    }
    file.SetValue("PATTYP", "typical");
    if (pattern.AzimuthPolarization.empty() || pattern.VerticalPolarization.empty()) {
        empty.push_back("POLARI");
    }
    TNsmaFrequency measured;
    measured.FrequencyText = frequency;
    measured.Cuts.push_back({"H", pattern.AzimuthPolarization, pattern.AzimuthCut, 0});
    measured.Cuts.push_back({"V", pattern.VerticalPolarization, pattern.VerticalCut, 0});
    file.Frequencies.push_back(std::move(measured));
    written.Text = file.SaveToText();
    if (!empty.empty()) {
        std::string records;
        for (const std::string& record : empty) records += (records.empty() ? "" : ", ") + record;
        written.Notes.push_back("not known, left empty in the NSMA file: " + records);
    }
    return written;
}

}  // namespace ostrel

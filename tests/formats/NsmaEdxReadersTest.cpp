#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/CircularCuts.h"
#include "formats/EdxFile.h"
#include "formats/EdxPatFile.h"
#include "formats/NsmaFile.h"
#include "formats/PatternLoaders.h"
#include "model/Errors.h"
#include "model/NumberText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

// The level of a cut at a whole angle (-180..180).
double LevelAt(const TRealPointList& cut, int angle) {
    return cut.GetPoint(angle + 180).Y;
}

// An NSMA file as records without line ends; a cut's points are "angle,level," with the
// level -|angle|/10 (horizontal) or -|angle|/5 (vertical) plus `offset`.
std::vector<std::string> NsmaRecords(const std::vector<std::string>& frequencies,
                                     const std::string& gunits = "DBI/DBR", double offset = 0) {
    std::vector<std::string> records = {"REVNUM:,NSMA WG16.99.050",
                                        "REVDAT:,19990520",
                                        "ANTMAN:,Velmor",
                                        "MODNUM:,VLM-65",
                                        "LOWFRQ:,1700",
                                        "HGHFRQ:,2000",
                                        "GUNITS:," + gunits,
                                        "MDGAIN:,15.5",
                                        "AZWIDT:,65,2",
                                        "ELWIDT:,7",
                                        "ELTILT:,0",
                                        "PATTYP:,typical",
                                        "NOFREQ:," + std::to_string(frequencies.size())};
    for (const std::string& frequency : frequencies) {
        records.push_back("PATFRE:," + frequency);
        records.push_back("NUMCUT:,3");
        for (const char* cut : {"h", "EL", "45"}) {
            records.push_back(std::string("PATCUT:,") + cut);
            records.push_back("POLARI:,v/v");
            records.push_back("NUPOIN:,360");
            records.push_back("FSTLST:,-179,180");
            for (int angle = -179; angle <= 180; ++angle) {
                const double slope = std::string(cut) == "h" ? 10 : 5;
                records.push_back(std::to_string(angle) + ", " +
                                  FormatFixed(3, offset - std::abs(angle) / slope) + ",");
            }
        }
    }
    records.push_back("ENDFIL:,EOF");
    return records;
}

std::string Joined(const std::vector<std::string>& records, const char* lineEnd = "\r\n") {
    std::string text;
    for (const std::string& record : records) text += record + lineEnd;
    return text;
}

TEST(NsmaReader, ReadsFiguresCutsAndOnePatternPerFrequency) {
    TTempDir folder;
    const std::string path = folder.Write("panel.txt", Joined(NsmaRecords({"1850", "1950"}), "\n"));
    const TLoadedFile loaded = LoadPatternFile(path);
    const auto& patterns = loaded.Patterns;
    const std::string& error = loaded.Failure;
    const auto& ignored = loaded.IgnoredParts;
    ASSERT_EQ(patterns.size(), 2u) << error;
    EXPECT_EQ(patterns[0]->FileName, path + "@1850");
    EXPECT_EQ(patterns[1]->FileName, path + "@1950");
    EXPECT_EQ(patterns[1]->Frequency.Value, 1950);
    EXPECT_DOUBLE_EQ(patterns[0]->Gain.Value, 15.5);
    EXPECT_EQ(patterns[1]->Make + " " + patterns[1]->Model, "Velmor VLM-65");
    EXPECT_NE(NsmaTextOf(*patterns[0], "x").Text.find("ANTMAN:,Velmor\r\n"), std::string::npos)
        << "the maker is written back";
    EXPECT_EQ(patterns[0]->HorzWidth.Value, 65);
    EXPECT_EQ(patterns[0]->VertWidth.Value, 7);
    EXPECT_NEAR(LevelAt(patterns[0]->AzimuthCut, 90), -9, 1e-9);
    EXPECT_NEAR(LevelAt(patterns[0]->AzimuthCut, -180), -18, 1e-9);
    EXPECT_NEAR(LevelAt(patterns[0]->VerticalCut, -30), -6, 1e-9);
    // Opening the file again finds it open: the duplicate rule sees its patterns.
    TPatternDataList open(false);
    open.Add(*patterns[1]);
    EXPECT_EQ(open.IndexOfFileName(path), 0);
    EXPECT_EQ(open.IndexOfFileName(folder.File("panel")), -1);
    ASSERT_EQ(ignored.size(), 2u);
    EXPECT_EQ(ignored[0], "PATCUT 45 V/V at 1850 MHz (line 744)");

    // dBd gains and absolute points: the gain gains 2.14 dB, each cut peaks at 0 dB.
    const TLoadedFile absoluteFile =
        LoadPatternFile(folder.Write("abs.nsm", Joined(NsmaRecords({"x"}, "dbd/dbi", 12))));
    const auto& absolute = absoluteFile.Patterns;
    ASSERT_EQ(absolute.size(), 1u) << absoluteFile.Failure;
    EXPECT_EQ(absolute[0]->FileName, folder.File("abs.nsm"));
    EXPECT_DOUBLE_EQ(absolute[0]->Gain.Value, 17.64);
    EXPECT_EQ(absolute[0]->Frequency.Value, 1850);  // mid-band when PATFRE is no number
    EXPECT_NEAR(LevelAt(absolute[0]->AzimuthCut, 0), 0, 1e-9);
    EXPECT_NEAR(LevelAt(absolute[0]->VerticalCut, 10), -2, 1e-9);
}

TEST(NsmaReader, PointRecordsReadTheSameWhateverEndsOrFollowsThem) {
    // A point record as files write it, and the line ends and blanks after it: the quick
    // reading of plain "angle,level," records and the field by field one agree.
    const struct {
        const char* Record;
        double Level;
    } records[] = {{"12,-3.5,", -3.5},     {"12,-3.5", -3.5},   {"+12,-.5,", -0.5},
                   {"12.,-3.,", -3},       {"12,-3.5 ,", -3.5}, {"12, -3.5", -3.5},
                   {"012,-03.25,", -3.25}, {"12,-1e-1,", -0.1}, {"12.0,-7", -7}};
    TTempDir folder;
    for (const char* lineEnd : {"\n", "\r\n", "\r", " \t\n"}) {
        for (const auto& [record, level] : records) {
            std::vector<std::string> lines = NsmaRecords({"1850"});
            const auto at = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
                return line.rfind("12, ", 0) == 0;
            });
            ASSERT_NE(at, lines.end());
            *at = record;
            const TLoadedFile loaded =
                LoadPatternFile(folder.Write("p.nsm", Joined(lines, lineEnd)));
            ASSERT_EQ(loaded.Patterns.size(), 1u) << record << loaded.Failure;
            EXPECT_NEAR(LevelAt(loaded.Patterns[0]->AzimuthCut, 12), level, 1e-9) << record;
        }
    }
}

// Runs of point records as writers write them ("angle,level,") are read straight from the
// bytes; whatever breaks a run must read and fail just as it does record by record.
TEST(NsmaReader, RunsOfPlainPointRecordsReadAsRecordByRecord) {
    struct TCase {
        const char* What;
        std::function<void(std::vector<std::string>&)> Change;
        double LevelAt12;      // of the horizontal cut, when the file loads
        const char* Expected;  // part of the error, when it does not
    };
    // Line 19 + k holds the horizontal cut's point at angle -179 + k.
    const std::vector<TCase> cases = {
        {"blank lines", [](auto& r) { r[30] += "\n \t\n"; }, -1.2, ""},
        {"blanks around", [](auto& r) { r[19 + 191] = "\v 12,-4.5,\t\x01"; }, -4.5, ""},
        {"blank inside", [](auto& r) { r[19 + 191] = "12 ,-4.5"; }, -4.5, ""},
        {"two commas", [](auto& r) { r[19 + 191] = "12,-4.5,,"; }, 0, "'12,-4.5,,' (line 211)"},
        {"beyond a turn", [](auto& r) { r[25] = "361,-1,"; }, 0, "'361,-1,' (line 26)"},
        {"repeat", [](auto& r) { r[25] = "-179,-1,"; }, 0, "first on line 20 (line 26)"},
        {"short cut", [](auto& r) { r[17] = "NUPOIN:,361"; }, 0, "'PATCUT:,EL' (line 380)"},
        {"text ends", [](auto& r) { r.erase(r.begin() + 319, r.end()); }, 0, "be (line 320)"},
    };
    TTempDir folder;
    for (const TCase& c : cases) {
        std::vector<std::string> records = NsmaRecords({"1850"});
        for (std::string& record : records) {
            if (record.find(':') == std::string::npos && record.find(", ") != std::string::npos)
                record.erase(record.find(", ") + 1, 1);
        }
        c.Change(records);
        // The last record without a line end, so a run may meet the end of the text.
        const std::string text = Joined(records, "\n");
        const TLoadedFile loaded =
            LoadPatternFile(folder.Write("run.nsm", text.substr(0, text.size() - 1)));
        EXPECT_NE(loaded.Failure.find(c.Expected), std::string::npos) << c.What;
        ASSERT_EQ(loaded.Patterns.size(), *c.Expected ? 0u : 1u) << c.What << loaded.Failure;
        if (!loaded.Patterns.empty()) {
            EXPECT_EQ(LevelAt(loaded.Patterns[0]->AzimuthCut, 12), c.LevelAt12) << c.What;
        }
    }
}

TEST(NsmaReader, MalformedFilesFailNamingTheRecordAndLine) {
    struct TCase {
        const char* What;
        std::function<void(std::vector<std::string>&)> Change;
        const char* Expected;
    };
    const std::vector<TCase> cases = {
        {"missing key", [](auto& r) { r.erase(r.begin() + 3); },
         "The required MODNUM record is missing before NOFREQ (line 12)"},
        {"order", [](auto& r) { std::swap(r[0], r[1]); },
         "The REVNUM record is out of order or repeated (line 2)"},
        {"unknown", [](auto& r) { r[2] = "MAKER:,x"; }, "Unknown header record MAKER (line 3)"},
        {"short cut", [](auto& r) { r[17] = "NUPOIN:,361"; },
         "Point of cut H at 1850 is not 'angle,value,': 'PATCUT:,EL' (line 380)"},
        {"fstlst", [](auto& r) { r[18] = "FSTLST:,0,359"; },
         "FSTLST '0,359' of cut H at 1850 does not match its first and last points (line 19)"},
        {"point", [](auto& r) { r[30] = "12;-3"; }, "is not 'angle,value,': '12;-3' (line 31)"},
        {"no end", [](auto& r) { r.pop_back(); }, "ENDFIL record should be (line 1108)"},
        {"after end", [](auto& r) { r.push_back("x"); },
         "Text follows the ENDFIL record (line 1109)"},
        {"no vertical", [](auto& r) { r[379] = "PATCUT:,30"; }, "No V or EL cut at 1850 MHz."},
        {"units", [](auto& r) { r[6] = "GUNITS:,W/DBR"; }, "GUNITS 'W/DBR' is not a gain unit"},
        {"count", [](auto& r) { r[12] = "NOFREQ:,two"; }, "NOFREQ 'two' is not a count"},
    };
    TTempDir folder;
    for (const TCase& c : cases) {
        std::vector<std::string> records = NsmaRecords({"1850"});
        c.Change(records);
        const TLoadedFile loaded = LoadPatternFile(folder.Write("bad.adf", Joined(records)));
        const std::string& error = loaded.Failure;
        EXPECT_TRUE(loaded.Patterns.empty()) << c.What;
        EXPECT_NE(error.find(c.Expected), std::string::npos) << c.What << ": " << error;
    }
}

// An EDX pattern file: azimuth levels -|a|/10 every 10 degrees, slices with levels
// -|elevation|/2 plus the slice's azimuth/100 at elevations 90 down to -90.
std::string EdxPatText(const std::vector<int>& slices, int kyPat = 2) {
    std::string text = "'VLM omni, 9', 9.5 " + std::to_string(kyPat) + "\n";
    auto value = [kyPat](double db) {
        return FormatFixed(6, kyPat == 1 ? std::pow(10.0, db / 20) : db);
    };
    for (int a = -180; a < 180; a += 10)
        text += std::to_string(a) + ", " + value(-std::abs(a) / 10.0) + "\n";
    text += "999\n" + std::to_string(slices.size()) + ",181\n";
    for (int azimuth : slices) {
        text += std::to_string(azimuth) + "\n";
        for (int e = 90; e >= -90; --e) {
            text += std::to_string(e) + "  " + value(-std::abs(e) / 2.0 - azimuth / 100.0) + "\n";
        }
    }
    return text;
}

TEST(EdxPatReader, JoinsTheSlicesAtZeroAndHalfATurnIntoTheVerticalCut) {
    TTempDir folder;
    for (int kyPat : {1, 2}) {
        const TLoadedFile loaded =
            LoadPatternFile(folder.Write("omni.dat", EdxPatText({90, 0, 180}, kyPat)));
        const auto& patterns = loaded.Patterns;
        const std::string& error = loaded.Failure;
        const auto& ignored = loaded.IgnoredParts;
        ASSERT_EQ(patterns.size(), 1u) << error;
        const TPatternData& pattern = *patterns[0];
        EXPECT_EQ(pattern.Gain.Value, 9.5);
        EXPECT_TRUE(pattern.Frequency.IsNull);
        EXPECT_NEAR(LevelAt(pattern.AzimuthCut, -45), -4.5, 1e-4);
        // Slice 0: vertical angle = -elevation; slice 180: 180 + elevation; peak at 0 dB.
        EXPECT_NEAR(LevelAt(pattern.VerticalCut, 10), -5, 1e-4);
        EXPECT_NEAR(LevelAt(pattern.VerticalCut, 170), -1.8 - 5, 1e-4);
        EXPECT_NEAR(LevelAt(pattern.VerticalCut, -170), -1.8 - 5, 1e-4);
        EXPECT_NEAR(LevelAt(pattern.VerticalCut, 180), -1.8, 1e-4);
        ASSERT_EQ(ignored.size(), 1u);
        EXPECT_EQ(ignored[0], "slice at azimuth 90 (line 40)");
    }
}

TEST(EdxPatReader, MalformedFilesFailWithAReason) {
    const std::string good = EdxPatText({0, 180});
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {EdxPatText({0}), "no vertical slice at azimuth 180"},
        {EdxPatText({180, 90}), "no vertical slice at azimuth 0"},
        {replaced("'VLM omni, 9', 9.5 2", "VLM, 9.5, 2"),
         "The first line must be 'name', gain, kypat"},
        {replaced(", 9.5 2", ", 9.5, 3"), "kypat 1 or 2 after the name (line 1)"},
        {replaced("-170, ", "-100, "), "Azimuth step larger than 45 degrees (line 3)"},
        {replaced("-170, ", "-180, "), "Azimuth angles must ascend (line 3)"},
        {replaced("999\n", "998 0\n"), "Expected an azimuth 'angle, value' line or 999"},
        {good + "0, 1\n", "Text follows the last slice (line 404)"},
        {good.substr(0, good.size() - 20), "The file ends where an 'elevation, value' line"},
        {EdxPatText({0, 180}, 1) + "", ""},
    };
    TTempDir folder;
    for (const auto& [text, expected] : cases) {
        const TLoadedFile loaded = LoadPatternFile(folder.Write("bad.pat", text));
        const auto& patterns = loaded.Patterns;
        const std::string& error = loaded.Failure;
        EXPECT_EQ(patterns.empty(), !expected.empty()) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << expected << " / " << error;
    }
}

// Two points in one direction: only one could be drawn, so the file is refused, naming the
// repeated angle and both lines; a cut closing its circle (-180 and 180) is no repeat.
TEST(PatternReaders, AnglesInOneDirectionTwiceAreRefused) {
    auto nsmaWithCut = [](int first, int last, const std::string& extra) {
        std::vector<std::string> records = NsmaRecords({"1850"});
        records.erase(records.begin() + 19, records.begin() + 19 + 360);  // cut H's points
        records[17] = "NUPOIN:," + std::to_string(last - first + 1 + (extra.empty() ? 0 : 1));
        records[18] = "FSTLST:," + std::to_string(first) + "," + std::to_string(last);
        std::vector<std::string> points;
        for (int angle = first; angle <= last; ++angle) {
            points.push_back(std::to_string(angle) + ",-1,");
            if (angle == 0 && !extra.empty()) points.push_back(extra);
        }
        records.insert(records.begin() + 19, points.begin(), points.end());
        return Joined(records);
    };
    auto edxWith = [](const std::string& from, const std::string& to) {
        std::string text = EdxPatText({0, 180});
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {nsmaWithCut(-180, 180, ""), ""},
        {nsmaWithCut(-5, 5, "0,-2,"), "Angle 0 is listed twice, first on line 25 (line 26)"},
        {nsmaWithCut(-360, 360, ""),
         "Angle 0 is the direction of angle -360 on line 20 (line 380)"},
        {edxWith("\n1  -0.500000\n0  0.000000\n", "\n0  -2.000000\n0  0.000000\n"),
         "Elevation 0 is listed twice, first on line 130 (line 131)"},
        {edxWith("\n170, -17.000000\n", "\n170, -17.000000\n190, -17\n"),
         "Azimuth 190 is the direction of azimuth -170 on line 3 (line 38)"},
    };
    TTempDir folder;
    for (const auto& [text, expected] : cases) {
        const TLoadedFile loaded = LoadPatternFile(folder.Write("twice.adf", text));
        const auto& patterns = loaded.Patterns;
        const std::string& error = loaded.Failure;
        EXPECT_EQ(patterns.empty(), !expected.empty()) << expected << " / " << error;
        EXPECT_EQ(error, expected);
    }
}

// The first point in a direction an earlier point gives, whatever order the angles come in
// and however they wrap; a last point a whole turn from the first closes the cut.
TEST(PatternReaders, RepeatedDirectionIsTheFirstLaterPointOfAnEarlierDirection) {
    TRealPointList fullTurn;
    for (int a = -180; a <= 180; ++a) fullTurn.Add(a, 0);
    const std::vector<std::pair<std::vector<double>, std::optional<std::pair<size_t, size_t>>>>
        cases = {
            {{0, 90, 180, 270, 360}, std::nullopt},
            {{-90, 0, 90, 180, 270}, std::nullopt},
            {{350, 355, 0, 5, 350}, std::pair<size_t, size_t>{4, 0}},
            {{-1e-20, 0}, std::pair<size_t, size_t>{1, 0}},
            {{90, 180, -270}, std::nullopt},
            {{90, -270, 180}, std::pair<size_t, size_t>{1, 0}},
            {{10, 5, 0}, std::nullopt},
            {{10, 20, 5, 15}, std::nullopt},
            {{0, 10, 5, 10}, std::pair<size_t, size_t>{3, 1}},
            {{0, 10, 5, 10, 0}, std::pair<size_t, size_t>{3, 1}},
            {{300, 350, 10, 290, 300}, std::pair<size_t, size_t>{4, 0}},
        };
    EXPECT_FALSE(FindRepeatedDirection(fullTurn));
    // One whole degree more than a turn in a row: 180 no longer closes the turn (181 does
    // not either) and gives the direction of -180 again.
    TRealPointList overTurn = fullTurn;
    overTurn.Add(181, 0);
    const std::optional<TRepeatedDirection> over = FindRepeatedDirection(overTurn);
    ASSERT_TRUE(over.has_value());
    EXPECT_EQ(std::make_pair(over->Index, over->Earlier), std::make_pair(size_t{360}, size_t{0}));
    for (const auto& [angles, expected] : cases) {
        TRealPointList points;
        for (double angle : angles) points.Add(angle, 0);
        const std::optional<TRepeatedDirection> found = FindRepeatedDirection(points);
        ASSERT_EQ(found.has_value(), expected.has_value()) << angles.size() << " " << angles[0];
        if (found) {
            EXPECT_EQ(std::make_pair(found->Index, found->Earlier), *expected);
        }
    }
}

// Folding a cut (angles into 0..360, stably sorted, the first of equal angles kept, the first
// point again at +360) gives what a plain stable sort gives, whatever runs the angles form.
TEST(PatternReaders, FoldedCutIsTheStableSortOfTheFoldedAngles) {
    const std::vector<std::vector<double>> cases = {{-180, -90, 0, 90, 180},
                                                    {0, 90, 180, 270, 360},
                                                    {90, 180, 270, -90, 0},
                                                    {180, 270, 0, 90, 180},
                                                    {10, 5, 20, 15},
                                                    {20, 30, 10, 25},
                                                    {90, 180, 90},
                                                    {350, -10, 710, 5, -715},
                                                    {-0.0, 0, 360, -360, 90},
                                                    {-1e-20, 0, 1},
                                                    {5, 5, 5, 6}};
    std::vector<std::vector<double>> all = cases;
    // Whole degrees in a row, the usual cut, which folds without a search: spans below a
    // turn, of one turn exactly (its last point a turn from the first), of just over one.
    for (const int start : {-359, -180, -1, 0}) {
        for (const int count : {2, 180, 181, 360, 361, 362}) {
            std::vector<double> run;
            for (int k = 0; k < count; ++k) run.push_back(start + k);
            all.push_back(run);
        }
    }
    for (const std::vector<double>& angles : all) {
        TRealPointList points;
        std::vector<std::pair<double, double>> expected;
        for (size_t i = 0; i < angles.size(); ++i) {
            points.Add(angles[i], static_cast<double>(i));
            const double folded = std::fmod(std::fmod(angles[i], 360.0) + 360.0, 360.0);
            expected.push_back({folded, static_cast<double>(i)});
        }
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        expected.erase(std::unique(expected.begin(), expected.end(),
                                   [](const auto& a, const auto& b) { return a.first == b.first; }),
                       expected.end());
        expected.push_back({expected.front().first + 360.0, expected.front().second});
        const TRealPointList cut = FoldedCircularCut(points, "H");
        std::vector<std::pair<double, double>> folded;
        for (const TRealPoint& p : cut.Points()) folded.push_back({p.X, p.Y});
        EXPECT_EQ(folded, expected) << angles[0] << " " << angles[1];
    }
}

// Errors say what is wrong and where, and quote the file's text without its control bytes,
// which would otherwise reach the terminal.
TEST(PatternReaders, ErrorsNameTheFaultAndLineAndShowControlBytesEscaped) {
    std::vector<std::string> nsma = NsmaRecords({"1850"});
    nsma[19] = "1\x1b[2J,-3,";
    // A character across the 40-byte limit of quoted text is left out whole.
    std::vector<std::string> nsmaLong = NsmaRecords({"1850"});
    nsmaLong[19] = "1" + std::string(38, 'x') + "\xC3\xA9,-3,";
    std::string edxControl = EdxPatText({0, 180});
    edxControl.replace(edxControl.find("\n0  0.000000\n"), 13, "\n0\x7f, 0\n");
    std::string edxNo999 = EdxPatText({0, 180});
    edxNo999.erase(edxNo999.find("999\n"), 4);
    std::string verizon = "HORIZONTAL_GAINS\n10 1\n10 2\nEND\nVERTICAL_GAINS\n";
    for (int k = 0; k < 360; ++k) verizon += std::to_string(k) + " 1\n";
    verizon += "END\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Joined(nsma), "Point of cut H at 1850 is not 'angle,value,': '1\\x1B[2J,-3,' (line 20)"},
        {edxControl,
         "Expected an 'elevation, value' line of the slice at 0, found '0\\x7F, 0' (line 131)"},
        {edxNo999,
         "The azimuth pattern's closing 999 is missing: this line and the next read as the "
         "slice counts and a slice's azimuth (line 38)"},
        {"HORIZONTAL\n0 1\n\n0 2\n0 3\nVERTICAL\n0 1\n1 2\n",
         "Angle 0 is listed twice, first on line 2 (line 4)"},
        {"HORIZONTAL\n0 1\n1 2\nVERTICAL\n5 1\n5 2\n",
         "Angle 5 is listed twice, first on line 5 (line 6)"},
        {verizon, "Angle 10 is listed twice, first on line 2 (line 3)"},
        {Joined(nsmaLong),
         "Point of cut H at 1850 is not 'angle,value,': '1" + std::string(38, 'x') + "' (line 20)"},
    };
    const char* names[] = {"a.nsm", "b.pat", "c.pat", "d.txt", "e.txt", "f.vwa", "g.nsm"};
    TTempDir folder;
    for (size_t i = 0; i < cases.size(); ++i) {
        const TLoadedFile loaded = LoadPatternFile(folder.Write(names[i], cases[i].first));
        const std::string& error = loaded.Failure;
        EXPECT_TRUE(loaded.Patterns.empty());
        EXPECT_EQ(error, cases[i].second) << names[i];
    }
}

// A file of nothing but line ends, in all three kinds, is read to its end by every reader,
// which names the line after the last where it needed more.
TEST(PatternReaders, FilesOfBlankLinesAreReadToTheirEnd) {
    std::string blank;
    for (int k = 0; k < 100000; ++k) blank += k % 3 == 0 ? "\r\n" : (k % 3 == 1 ? "\n" : " \r");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"blank.nsm", "The file ends before the NOFREQ record (line 100001)"},
        {"blank.pat", "The file ends where the line 'name', gain, kypat should be (line 100001)"},
        {"blank.txt", "Cannot find Horizontal section."},
        {"blank.vwa", "Cannot find Horizontal section."},
    };
    TTempDir folder;
    for (const auto& [name, expected] : cases) {
        const TLoadedFile loaded = LoadPatternFile(folder.Write(name, blank));
        const std::string& error = loaded.Failure;
        EXPECT_TRUE(loaded.Patterns.empty()) << name;
        EXPECT_EQ(error, expected);
    }
    TEdxFileEx edx;
    EXPECT_THROW(edx.LoadFromText(blank), EConvertError);
    try {
        edx.LoadFromText(std::string(362, '\n') + "72, cuts\n" + blank);
        ADD_FAILURE() << "an EDX file of blank blocks read";
    } catch (const EListError& error) {
        EXPECT_STREQ(error.what(), "Vertical cut 1 (line 364) has 0 data lines; 181 are needed");
    }
}

}  // namespace
}  // namespace ostrel

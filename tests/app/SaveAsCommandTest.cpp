#include <gtest/gtest.h>

#include <QStringList>
#include <deque>

#include "app/SaveAsCommand.h"
#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

// Answers the save dialogs from a list: a path and the filter chosen with it.
class TScriptedSaveDialogs : public TSaveDialogService {
public:
    QString GetSaveFileName(QWidget*, const QString& proposedPath, const QStringList&,
                            QString& selectedFilter) override {
        Proposed.push_back(proposedPath);
        Preselected.push_back(selectedFilter);
        if (Answers.empty()) return {};
        const auto [path, filter] = Answers.front();
        Answers.pop_front();
        selectedFilter = filter;
        return path;
    }
    std::deque<std::pair<QString, QString>> Answers;
    QStringList Proposed;
    QStringList Preselected;
};

TEST(SaveAsCommand, WritesEachSelectedPatternInTheChosenFormat) {
    TTempDir folder;
    TPatternDataList owned(true);
    TPatternDataList selection(false);
    for (const char* name : {"omni_850.msi", "panel_1900.vwa", "tilted_6deg.msi"}) {
        auto pattern = LoadPatternData(std::string(OSTREL_SAMPLES_DIR "/") + name);
        ASSERT_TRUE(pattern);
        selection.Add(*pattern);
        owned.Add(std::move(pattern));
    }
    TScriptedSaveDialogs dialogs;
    const QString out = QString::fromStdString(folder.Path());
    dialogs.Answers = {{out + "/a", TSaveAsCommand::kSaveFilters[3]},
                       {out + "/b.VWA", TSaveAsCommand::kSaveFilters[1]}};
    TSaveAsCommand command(nullptr, dialogs);
    // The third dialog is cancelled: the command stops there.
    EXPECT_EQ(command.Run(selection, folder.Path() + "/"), "2 patterns saved.");
    EXPECT_EQ(dialogs.Proposed,
              QStringList({out + "/omni_850", out + "/panel_1900", out + "/tilted_6deg"}));
    EXPECT_EQ(dialogs.Preselected[0], TSaveAsCommand::kSaveFilters[2]);
    EXPECT_EQ(dialogs.Preselected[1], TSaveAsCommand::kSaveFilters[3]);  // the last choice
    EXPECT_TRUE(ReadFileBytes(folder.File("a.csv")).starts_with("angle_deg,"));
    EXPECT_TRUE(LoadPatternData(folder.File("b.VWA")));

    // Never over the file a pattern was read from.
    const std::string source =
        folder.Write("src.msi", ReadFileBytes(OSTREL_SAMPLES_DIR "/omni_850.msi"));
    auto pattern = LoadPatternData(source);
    ASSERT_TRUE(pattern);
    TPatternDataList one(false);
    one.Add(*pattern);
    dialogs.Answers = {{QString::fromStdString(source), TSaveAsCommand::kSaveFilters[0]}};
    EXPECT_NE(command.Run(one, {}).find("is the file the pattern was read from"),
              std::string::npos);
    EXPECT_EQ(command.Run(TPatternDataList(false), {}), "Select the patterns to save first.");
}

TEST(SaveAsCommand, SaysWhatTheFormatCouldNotHoldAndWhyAPatternWasRefused) {
    TTempDir folder;
    auto pattern = LoadPatternData(OSTREL_SAMPLES_DIR "/tilted_6deg.msi");
    ASSERT_TRUE(pattern);
    TPatternDataList one(false);
    one.Add(*pattern);
    TScriptedSaveDialogs dialogs;
    const QString out = QString::fromStdString(folder.Path());
    dialogs.Answers = {{out + "/a.vwa", TSaveAsCommand::kSaveFilters[1]}};
    TSaveAsCommand command(nullptr, dialogs);
    EXPECT_EQ(command.Run(one, {}),
              "1 pattern saved. a.vwa: the vertical width 9 is not written: a Verizon file has "
              "no place for it. a.vwa: the front-to-back ratio 25 is not written: a Verizon "
              "file has no place for it.");
    pattern->Gain.SetIsNull(true);
    dialogs.Answers = {{out + "/b.nsm", TSaveAsCommand::kSaveFilters[2]}};
    EXPECT_EQ(command.Run(one, {}), "0 patterns saved. Not written: " + folder.File("b.nsm") +
                                        ": an NSMA file needs the gain (MDGAIN), which is not "
                                        "known.");
}

}  // namespace
}  // namespace ostrel

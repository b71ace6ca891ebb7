#include "shell/StatusReasons.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace ostrel {
namespace {

TEST(StatusReasons, OpenReportSaysHowManyOpenedAndWhyTheOthersDidNot) {
    struct TCase {
        std::function<void(TOpenReport&)> Steps;
        std::string Text;
        std::string ToolTip;
    } const cases[] = {
        {[](TOpenReport&) {}, "", ""},
        {[](TOpenReport& r) { r.Opened("/d/panel.msi"); }, "panel.msi opened", "panel.msi opened"},
        {[](TOpenReport& r) {
             r.Opened("/d/a.msi");
             r.Opened("/d/b.vwa");
         },
         "2 files opened", "2 files opened"},
        {[](TOpenReport& r) { r.Duplicate("/d/case.msi"); }, "case.msi is already open",
         "case.msi is already open"},
        {[](TOpenReport& r) { r.Failed("/d/x.txt", "Cannot find Vertical section."); },
         "x.txt: Cannot find Vertical section.", "x.txt: Cannot find Vertical section."},
        {[](TOpenReport& r) {
             r.Opened("/d/a.msi");
             r.Failed("/d/009_freq.t.msi", "Cannot find Horizontal section.");
             r.Opened("/d/c.msi");
             r.Duplicate("/d/a.msi");
         },
         "2 of 4 files opened \u2014 009_freq.t.msi: Cannot find Horizontal section.; a.msi is "
         "already open",
         "009_freq.t.msi: Cannot find Horizontal section.\na.msi is already open"},
        {[](TOpenReport& r) {
             r.Failed("/d/a.pln", "");
             r.Failed("/d/b.pln", "boom");
         },
         "0 of 2 files opened \u2014 a.pln: not readable; b.pln: boom",
         "a.pln: not readable\nb.pln: boom"},
        {[](TOpenReport& r) {
             r.FolderProblem("cannot read folder /lib/old: Permission denied");
             r.Opened("/lib/a.msi");
         },
         "a.msi opened \u2014 cannot read folder /lib/old: Permission denied",
         "cannot read folder /lib/old: Permission denied"},
        // Thousands of reasons: the line names five, the tool tip forty, the rest are counted.
        {[](TOpenReport& r) {
             for (int i = 0; i < 5000; ++i) r.Failed("/d/" + std::to_string(i) + ".msi", "x");
         },
         "0 of 5000 files opened \u2014 0.msi: x; 1.msi: x; 2.msi: x; 3.msi: x; 4.msi: x; "
         "\u2026 and 4995 more",
         [] {
             std::string lines;
             for (int i = 0; i < 40; ++i) lines += std::to_string(i) + ".msi: x\n";
             return lines + "\u2026 and 4960 more";
         }()},
    };
    for (const TCase& c : cases) {
        TOpenReport report;
        c.Steps(report);
        const TStatusMessage message = report.Message();
        EXPECT_EQ(message.Text, c.Text);
        EXPECT_EQ(message.ToolTip, c.ToolTip);
    }
}

}  // namespace
}  // namespace ostrel

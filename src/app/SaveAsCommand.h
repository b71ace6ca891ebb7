#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "model/PatternData.h"

class QWidget;

namespace ostrel {

// How Save As asks for a target; tests answer instead of the dialog.
class TSaveDialogService {
public:
    virtual ~TSaveDialogService() = default;
    // The chosen path, empty when cancelled. `selectedFilter` comes in as the filter to
    // preselect and goes out as the one chosen.
    virtual QString GetSaveFileName(QWidget* parent, const QString& proposedPath,
                                    const QStringList& filters, QString& selectedFilter) = 0;
    // Asks whether an existing file may be replaced, as the save dialog asks for a name it
    // was given (`question` says which file); true to replace it.
    virtual bool ConfirmReplace(QWidget* parent, const QString& question) = 0;
};

// Shows the save dialog until it gives a file we may write, and returns its bytes (a folder
// the dialog could only show with U+FFFD found again); empty when cancelled. `complete`
// makes the name to write from the dialog's answer and filter (adding an extension). The
// dialog asks about the names it returns; a completed name that names an existing file is
// asked about here, in the dialog's words, and "no" shows the dialog again with that name.
// `filter` comes in as the filter to preselect and goes out as the one last chosen.
std::string AskSaveTarget(
    TSaveDialogService& dialogs, QWidget* parent, std::string proposed, const QStringList& filters,
    QString& filter,
    const std::function<std::string(const std::string& path, const QString& filter)>& complete);

// The save dialog of the desktop.
class TQtSaveDialogService : public TSaveDialogService {
public:
    explicit TQtSaveDialogService(QString title = "Save As") : FTitle(std::move(title)) {}
    QString GetSaveFileName(QWidget* parent, const QString& proposedPath,
                            const QStringList& filters, QString& selectedFilter) override;
    bool ConfirmReplace(QWidget* parent, const QString& question) override;

private:
    QString FTitle;
};

// File > Save As: asks for a target for each selected pattern in turn (a cancel stops)
// and writes the pattern in the format of the chosen filter. The patterns of one file are
// proposed under names that differ. A name without the format's extension gets it; when
// that names an existing file, the command asks before replacing it, as the dialog asks for
// the names it sees (a "no" shows the dialog again). Returns the status bar's text, which
// counts each file written once.
class TSaveAsCommand {
public:
    // In the order of the formats Ostrel, Verizon, NSMA, CSV; NSMA preselected.
    static const QStringList kSaveFilters;

    TSaveAsCommand(QWidget* parent, TSaveDialogService& dialogs)
        : FParent(parent), FDialogs(dialogs) {}

    std::string Run(const TPatternDataList& selection, const std::string& folder);

private:
    QWidget* FParent;
    TSaveDialogService& FDialogs;
    QString FFilter = kSaveFilters.at(2);
};

}  // namespace ostrel

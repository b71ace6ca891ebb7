#pragma once

#include <QString>
#include <QStringList>
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

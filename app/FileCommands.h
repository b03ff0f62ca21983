#pragma once

// The file commands: New, New netlist, Open, Open recent, Revert, Save and
// Save As, and the question asked before unsaved changes are lost. A netlist
// page is a file of its own: Save and Revert act on the page shown.

#include <QObject>
#include <QString>

#include "app/RecentFiles.h"

class QMenu;

namespace cva {

class TCircuitDocument;
class TfrmMain;
class TNetlistPages;

class TFileCommands : public QObject {
    Q_OBJECT

public:
    TFileCommands(TfrmMain &window, TNetlistPages &netlists);

    // New to Save As, and Open recent, in the File menu.
    void CreateActions(QMenu *file);
    // Open recent, listing the recent files.
    void CreateRecentMenu(QMenu *file);

    void New();
    // A netlist page from a short template.
    void NewNetlist();
    void Open();
    // Opens a circuit file or netlist as Open does, without the dialog.
    bool OpenFile(const QString &path);
    // After the save question; a file that is gone is said so and leaves the list.
    void OpenRecentFile(const QString &path);
    void Revert();
    bool Save();
    bool SaveAs();
    // Asks before unsaved changes are lost. False when the user cancels.
    bool CheckSave();
    // A netlist is a file the recent list offers too.
    void NetlistSaved(const QString &path);
    const TRecentFiles &RecentFiles() const { return FRecent; }

private:
    bool SaveTo(const QString &path);
    void FillRecentMenu(QMenu *menu);

    TfrmMain &FWindow;
    TCircuitDocument &FDoc;
    TNetlistPages &FNetlists;
    TRecentFiles FRecent;
};

} // namespace cva

#pragma once

// The window's netlist pages: a tab for each page read from a netlist, after
// the built-in ones, kept in step with the circuit; the curve following the
// text as it is typed; and the file commands when such a page is shown (New
// netlist, Save, Save As, Revert, and the question before unsaved text is
// lost). Each netlist remembers the text that lies in its file, so that it
// is "modified" exactly when its text differs from the file's.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QMessageBox>
#include <QObject>
#include <QString>

class QTabWidget;

namespace cva {

class TCircuitDocument;
class TNetlistPageView;

class TNetlistPages : public QObject {
    Q_OBJECT

public:
    // What the user chooses in the standard dialogs; tests answer for the user.
    struct TChoices {
        std::function<QString(const QString &suggested)> SaveFile;
        std::function<QMessageBox::StandardButton(const QString &name)> AskSave;
        std::function<bool(const std::function<void()> &)> Guarded; // shows an error; false then
    };

    TNetlistPages(QTabWidget *tabs, TCircuitDocument *doc, TChoices choices, QObject *parent = nullptr);

    // Adds and removes tabs to match the circuit's pages and shows each.
    void Sync(char decimalSeparator);
    // The view of a page, or null for a built-in page.
    TNetlistPageView *View(int page) const;
    bool ActiveIsNetlist() const;
    // The active netlist's text differs from its file's (or it has none yet).
    bool ActiveModified() const;
    // "tilt.cir" for the window's caption; the caption before it has a file.
    QString ActiveFileName() const;

    // File > New netlist: a page from a short template.
    void NewNetlist();
    // The netlist file just read into the circuit (its text as on disk).
    void Opened(const std::string &path, const std::string &text);
    // Save and Save As on the active netlist page; false when cancelled or failed.
    bool Save(bool choosePath);
    // Reads the active netlist's file again.
    void Revert();
    // Asks for every netlist whose text is not in its file; false when the user cancels.
    bool CheckSave();

signals:
    void ComponentActivated(const QString &name);
    // A netlist file was written.
    void Saved(const QString &path);

private:
    void ApplyText(int page, const QString &text);
    bool SavePage(int page, bool choosePath);
    bool PageModified(int page) const;

    QTabWidget *FTabs;
    TCircuitDocument *FDoc;
    TChoices FChoices;
    int FFirstPage;
    std::vector<TNetlistPageView *> FViews; // FFirstPage onwards
    // The text in each netlist's file, by file path.
    std::map<std::string, std::string> FOnDisk;
};

} // namespace cva

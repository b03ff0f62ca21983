#pragma once

// The program's help: the compiled help file cva13.qch, shown by context
// number in the help window "windefault" with contents, index and
// full-text search.

#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "help/HelpLog.h"

class QHelpEngine;
class QTemporaryDir;
class QWidget;

namespace cva {

// Context numbers the program asks for.
enum THelpContext : int {
    HelpContents = 1,
    HelpSchematicPages = 3,
    HelpResistorDialog = 20,
    HelpGeneratorDialog = 21,
    HelpCapacitorDialog = 22,
    HelpPotDialog = 23,
};

class THelpWindow;

class THelpSystem : public QObject {
    Q_OBJECT

public:
    static constexpr const char *WindowName = "windefault";
    static constexpr const char *NotInstalledText = "Help is not installed on this PC.";

    // The running program's help: the file found by FindHelpFile for the
    // executable's folder, the log following that folder and the command line.
    explicit THelpSystem(QObject *parent = nullptr);
    // An explicit help file; the log uses programFolder and arguments.
    THelpSystem(const QString &helpFile, const QString &programFolder, const QStringList &arguments,
                QObject *parent = nullptr);
    ~THelpSystem() override;

    // "help/cva13.qch" in the program's folder when it is there, else the
    // installed data folder relative to it (../share/corvanta/help/cva13.qch);
    // the first of these when neither exists.
    static QString FindHelpFile(const QString &programFolder);

    const THelpLog &Log() const { return FLog; }

    // Shows the topic of the context in the help window and raises it; an
    // unknown context shows the contents. When the help file is missing or
    // cannot be read, warns "Help is not installed on this PC." and changes
    // nothing else. Returns whether the topic is shown.
    bool ShowContext(int context);

    // The help window once it has been shown, else null.
    QWidget *Window() const;

protected:
    // The warning box; tests override it to see the text without a modal box.
    virtual void ShowWarning(const QString &text);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool OpenEngine();
    void CloseEngine();
    void ShowWindow();
    // Makes the help window a window of the owner's, or of its own for null.
    void Adopt(QWidget *owner);

    QString FHelpFile;
    THelpLog FLog;
    std::unique_ptr<QTemporaryDir> FCollectionDir;
    QHelpEngine *FEngine = nullptr;
    QPointer<THelpWindow> FWindow;
    bool FClosing = false;
};

} // namespace cva

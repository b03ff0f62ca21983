#pragma once

// The help layer's diagnostic log "HHDebug.txt". Off unless asked for, so a
// user who reports that help does not open can send us what the program saw.

#include <QString>
#include <QStringList>

namespace cva {

class THelpLog {
public:
    static constexpr const char *FileName = "HHDebug.txt";
    static constexpr const char *SwitchFile = "debug.debug";
    static constexpr const char *ProbeFile = "$_Temp_$.$$$";

    // Chooses the log folder, deletes a log left there by an earlier run and,
    // when logging is asked for, starts the new log with its header.
    // programFolder is the executable's folder; arguments the command line
    // (the program's own name may be among them).
    THelpLog(const QString &programFolder, const QStringList &arguments, const QString &helpFile);

    // The program's folder when a file can be created there, else the
    // system's temporary folder.
    static QString ChooseFolder(const QString &programFolder);
    // "debug.debug" in the program's folder, or a "/debug" or "-debug"
    // argument in any letter case.
    static bool Requested(const QString &programFolder, const QStringList &arguments);

    bool Enabled() const { return FEnabled; }
    QString Folder() const { return FFolder; }
    QString FilePath() const;

    // Appends the text followed by three blanks and the time of day; does
    // nothing while logging is off.
    void Line(const QString &text) const;

private:
    void Append(const QString &text) const;
    void WriteHeader(const QString &helpFile) const;

    QString FFolder;
    bool FEnabled = false;
};

} // namespace cva

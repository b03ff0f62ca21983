#pragma once

// The text of a netlist page: monospace, with line numbers, the line of the
// last reading error marked and its message below. Typing is told once the
// typist pauses, so that the curve follows without reading every keystroke.
// Undo and redo belong to the window, whose history holds the text too.

#include <QPlainTextEdit>
#include <QTimer>

class QLabel;

namespace cva {

class TNetlistEditor : public QWidget {
    Q_OBJECT

public:
    explicit TNetlistEditor(QWidget *parent = nullptr);

    QString Text() const;
    // Shows a text without telling it as typed; keeps the cursor where it was.
    void SetText(const QString &text);
    // Marks a line (0-based) with the message; a negative line clears the mark.
    void ShowError(int line, const QString &message);
    QPlainTextEdit *TextEdit() const { return FEdit; }
    QLabel *ErrorLabel() const { return FError; }

    // How long a pause in typing is before the text is read.
    static constexpr int PauseMs = 100;

signals:
    void TextPaused(const QString &text);

private:
    QPlainTextEdit *FEdit;
    QLabel *FError;
    QTimer FPause;
};

} // namespace cva

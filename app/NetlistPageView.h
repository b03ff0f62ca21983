#pragma once

// A netlist page of the window: the netlist's text in an editor, a table of
// its parts (name, kind, value, taper, control) whose values open the same
// edit dialogs as a schematic, and the picture of the netlist's name that
// lies beside its file, if any.

#include <QWidget>

#include "document/Circuit.h"

class QLabel;
class QTableWidget;

namespace cva {

class TNetlistEditor;

class TNetlistPageView : public QWidget {
    Q_OBJECT

public:
    explicit TNetlistPageView(QWidget *parent = nullptr);

    // Shows page 'page' of the circuit. The text follows the circuit's only
    // when the circuit's changed (a value, a control, undo), so that what is
    // being typed is never lost to a refresh.
    void Show(const TCircuit &circuit, int page, char decimalSeparator);
    TNetlistEditor *Editor() const { return FEditor; }
    QTableWidget *Parts() const { return FParts; }
    QLabel *Picture() const { return FPicture; }

signals:
    void ComponentActivated(const QString &name);
    void TextPaused(const QString &text);

private:
    void ShowPicture(const std::string &netlistPath);

    TNetlistEditor *FEditor;
    QTableWidget *FParts;
    QLabel *FPicture;
    QString FShownText;    // the circuit's text when last shown
    QString FPicturePath;
};

} // namespace cva

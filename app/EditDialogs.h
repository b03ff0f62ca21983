#pragma once

// The five component edit dialogs (resistor, capacitor, inductor,
// potentiometer, generator) and the adapter through which the component
// store's Edit shows them.

#include <array>
#include <memory>
#include <optional>

#include <QDialog>

#include "components/ESeries.h"
#include "components/Symbol.h"
#include "components/TaperLaw.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace cva {

class TTaperDrawing;

class TEditDialog : public QDialog {
    Q_OBJECT

public:
    TEditDialog(TElementKind kind, QWidget *parent = nullptr);

    TElementKind Kind() const { return FKind; }
    // Help topic number for F1; 0 where the dialog has none.
    int HelpContext() const { return FHelpContext; }

    void SetFields(const TDialogFields &fields);
    TDialogFields Fields() const;

    QLineEdit *SourceEdit() const { return FSource; }
    QLineEdit *ResEdit() const { return FRes; }
    QRadioButton *StyleButton(int index) const { return FStyle[index]; }
    // The buttons that set the value to its nearest E12, E24 or E96 value.
    QPushButton *SeriesButton(TESeries series) const { return FSeries[static_cast<int>(series)]; }
    QPushButton *TubeStageButton() const { return FTubeStage; }
    TTaperDrawing *TaperDrawing() const { return FTaperDrawing; }
    QPushButton *OkButton() const { return FOk; }
    QPushButton *CancelButton() const { return FCancel; }
    // Why the last OK was refused; empty while the fields are accepted.
    QString Reason() const;

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // OK closes the dialog only when every field converts.
    void OkClick();
    void MarkField(QLineEdit *edit, bool invalid);
    void ShowReason(const QString &reason);
    // The field's number, or nothing with the field marked and the reason shown.
    std::optional<double> FieldValue(QLineEdit *edit);
    void SnapToSeries(TESeries series);
    void AddTaperChoice(QVBoxLayout *column);
    void AddSeriesButtons(QVBoxLayout *column);
    void AddTubeStageButton(QVBoxLayout *column);

    TElementKind FKind;
    int FHelpContext = 0;
    QLineEdit *FSource = nullptr;
    QLineEdit *FRes = nullptr;
    std::array<QRadioButton *, LastKnownTaper + 1> FStyle{};
    // A taper number no choice shows (one a newer program wrote) stays what
    // it is unless the user picks a law.
    int FUnshownStyle = -1;
    TTaperDrawing *FTaperDrawing = nullptr;
    std::array<QPushButton *, 3> FSeries{};
    QPushButton *FTubeStage = nullptr;
    QPushButton *FOk = nullptr;
    QPushButton *FCancel = nullptr;
    QLabel *FError = nullptr;
};

// Shows the dialog of a kind modally; created once and reused for every edit.
class TQtEditDialogs : public TEditDialogs {
public:
    explicit TQtEditDialogs(QWidget *parent);
    bool Execute(TElementKind kind, TDialogFields &fields) override;
    TEditDialog &Dialog(TElementKind kind) { return *FDialogs[static_cast<int>(kind)]; }

private:
    std::array<TEditDialog *, ElementKindCount> FDialogs{};
};

} // namespace cva

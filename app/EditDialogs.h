#pragma once

// The five component edit dialogs (resistor, capacitor, inductor,
// potentiometer, generator) and the adapter through which the component
// store's Edit shows them.

#include <array>
#include <memory>

#include <QDialog>

#include "components/Symbol.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace cva {

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

    TElementKind FKind;
    int FHelpContext = 0;
    QLineEdit *FSource = nullptr;
    QLineEdit *FRes = nullptr;
    std::array<QRadioButton *, 3> FStyle{};
    // A taper the three choices do not show (an audio law) stays what it is
    // unless the user picks one of them.
    int FUnshownStyle = -1;
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

#include "app/EditDialogs.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cva {

namespace {

struct TFieldPlace {
    const char *Label;
    QRect LabelRect;
    QRect EditRect;
};

// Places in device-independent pixels. Labels may be wider in the
// platform's font than these rectangles; the dialog then grows to the right.
struct TDialogLayout {
    const char *Caption;
    int HelpContext;
    QSize ClientSize;
    TFieldPlace Value;
    TFieldPlace Res; // inductor only
    QPoint Ok;
    QPoint Cancel;
    QRect Bevel;
    QRect Style; // potentiometer only
};

const TDialogLayout &LayoutOf(TDialogKind kind)
{
    static const TDialogLayout layouts[] = {
        // Resistor
        {"Edit resistor properties", 20, {200, 110}, {"Resistance", {36, 20, 53, 13}, {100, 16, 65, 21}}, {},
         {18, 72}, {106, 72}, {16, 56, 169, 2}, {}},
        // Capacitor
        {"Edit capacitor properties", 22, {201, 110}, {"Capacitor value", {24, 20, 74, 13}, {112, 16, 65, 21}},
         {}, {19, 72}, {107, 72}, {16, 56, 169, 2}, {}},
        // Inductor
        {"Edit inductor properties", 0, {201, 142}, {"Inductor value", {24, 20, 68, 13}, {112, 16, 65, 21}},
         {"DC resistance", {24, 52, 66, 13}, {112, 48, 65, 21}}, {19, 104}, {107, 104}, {16, 88, 169, 2}, {}},
        // Potentiometer
        {"Edit potentiometer properties", 23, {201, 199},
         {"Potentiometer value", {16, 20, 94, 13}, {120, 16, 65, 21}}, {}, {19, 160}, {107, 160},
         {16, 144, 169, 2}, {16, 48, 169, 81}},
        // Generator
        {"Edit generator properties", 21, {247, 110},
         {"Generator source resistance", {16, 20, 133, 13}, {160, 16, 65, 21}}, {}, {42, 72}, {130, 72},
         {16, 56, 217, 2}, {}},
    };
    return layouts[static_cast<int>(kind)];
}

// Puts a label and its edit field in place; returns how far the field had
// to move right so that the label fits in the platform's font.
int PlaceField(QWidget *dialog, const TFieldPlace &place, QLineEdit *&edit)
{
    auto *label = new QLabel(QString::fromLatin1(place.Label), dialog);
    const int labelWidth = std::max(place.LabelRect.width(), label->sizeHint().width());
    const int labelHeight = std::max(place.LabelRect.height(), label->sizeHint().height());
    label->setGeometry(place.LabelRect.x(), place.EditRect.center().y() - labelHeight / 2, labelWidth, labelHeight);
    const int shift = std::max(0, place.LabelRect.x() + labelWidth + 8 - place.EditRect.x());
    edit = new QLineEdit(dialog);
    const int editHeight = std::max(place.EditRect.height(), edit->sizeHint().height());
    edit->setGeometry(place.EditRect.x() + shift, place.EditRect.y(), place.EditRect.width(), editHeight);
    label->setBuddy(edit);
    return shift;
}

} // namespace

TEditDialog::TEditDialog(TDialogKind kind, QWidget *parent) : QDialog(parent), FKind(kind)
{
    const TDialogLayout &layout = LayoutOf(kind);
    setWindowTitle(QString::fromLatin1(layout.Caption));
    FHelpContext = layout.HelpContext;
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    int grow = PlaceField(this, layout.Value, FSource);
    if (kind == TDialogKind::Inductor)
        grow = std::max(grow, PlaceField(this, layout.Res, FRes));
    if (FRes) {
        // Both fields stand in one column.
        const int column = std::max(FSource->x(), FRes->x());
        FSource->move(column, FSource->y());
        FRes->move(column, FRes->y());
    }

    // The taper group may need more height in the platform's font; what lies
    // below it moves down by as much.
    int down = 0;
    QWidget *last = nullptr;
    if (kind == TDialogKind::Pot) {
        auto *group = new QGroupBox(tr("Style"), this);
        auto *column = new QVBoxLayout(group);
        const char *items[] = {"Linear", "Log type A", "Log type B"};
        for (int i = 0; i < 3; ++i) {
            FStyle[i] = new QRadioButton(QString::fromLatin1(items[i]), group);
            column->addWidget(FStyle[i]);
        }
        FStyle[0]->setChecked(true);
        down = std::max(0, group->sizeHint().height() - layout.Style.height());
        group->setGeometry(layout.Style.adjusted(0, 0, grow, down));
        last = FStyle[0];
    }

    auto *bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(layout.Bevel.adjusted(0, 0, grow, 0).translated(0, down));

    FOk = new QPushButton(tr("OK"), this);
    FOk->setGeometry(QRect(layout.Ok + QPoint(grow / 2, down), QSize(75, 25)));
    FOk->setDefault(true);
    FOk->setAutoDefault(true);
    FCancel = new QPushButton(tr("Cancel"), this);
    FCancel->setGeometry(QRect(layout.Cancel + QPoint(grow / 2, down), QSize(75, 25)));
    FCancel->setAutoDefault(false);
    connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);

    QWidget::setTabOrder(FSource, FRes ? static_cast<QWidget *>(FRes) : FOk);
    if (FRes)
        QWidget::setTabOrder(FRes, FOk);
    QWidget::setTabOrder(FOk, FCancel);
    if (last)
        QWidget::setTabOrder(FCancel, last);

    setFixedSize(layout.ClientSize + QSize(grow, down));
}

void TEditDialog::SetFields(const TDialogFields &fields)
{
    FSource->setText(QString::fromStdString(fields.Source));
    if (FRes)
        FRes->setText(QString::fromStdString(fields.Res));
    if (FKind == TDialogKind::Pot)
        FStyle[std::clamp(fields.Style, 0, 2)]->setChecked(true);
}

TDialogFields TEditDialog::Fields() const
{
    TDialogFields fields;
    fields.Source = FSource->text().toStdString();
    if (FRes)
        fields.Res = FRes->text().toStdString();
    for (int i = 0; i < 3; ++i)
        if (FStyle[i] && FStyle[i]->isChecked())
            fields.Style = i;
    return fields;
}

void TEditDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Typing replaces the value at once.
    FSource->setFocus();
    FSource->selectAll();
}

void TEditDialog::keyPressEvent(QKeyEvent *event)
{
    // Only Cancel or the close box dismiss the dialog, not Escape.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F1 && FHelpContext != 0) {
        emit HelpRequested(FHelpContext);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

TQtEditDialogs::TQtEditDialogs(QWidget *parent)
{
    for (TDialogKind kind : {TDialogKind::Resistor, TDialogKind::Capacitor, TDialogKind::Inductor, TDialogKind::Pot,
                             TDialogKind::Generator})
        FDialogs[static_cast<int>(kind)] = new TEditDialog(kind, parent);
}

bool TQtEditDialogs::Execute(TDialogKind kind, TDialogFields &fields)
{
    TEditDialog &dialog = Dialog(kind);
    dialog.SetFields(fields);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields = dialog.Fields();
    return true;
}

} // namespace cva

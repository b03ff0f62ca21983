#include "app/EditDialogs.h"

#include <algorithm>

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/FontScale.h"
#include "app/LocaleSeparator.h"
#include "components/EngNotation.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// What sets the dialogs of the five kinds apart besides their fields, which
// the element's traits name. Widths are in pixels at the design font (see
// FontScale.h).
struct TDialogLayout {
    const char *Caption;
    int HelpContext;
    int BevelWidth;
};

const TDialogLayout &LayoutOf(TElementKind kind)
{
    static const TDialogLayout layouts[ElementKindCount] = {
        {"Edit resistor properties", 20, 169},
        {"Edit capacitor properties", 22, 169},
        {"Edit inductor properties", 0, 169},
        {"Edit potentiometer properties", 23, 169},
        {"Edit generator properties", 21, 217},
    };
    return layouts[static_cast<int>(kind)];
}

constexpr int DialogMargin = 16;
constexpr int FieldWidth = 65;
constexpr QSize ButtonSize{75, 25};
const char *const InvalidFieldStyle = "QLineEdit { border: 2px solid #c00000; }";

} // namespace

TEditDialog::TEditDialog(TElementKind kind, QWidget *parent) : QDialog(parent), FKind(kind)
{
    const TDialogLayout &layout = LayoutOf(kind);
    setWindowTitle(QString::fromLatin1(layout.Caption));
    FHelpContext = layout.HelpContext;
    // A title and a close box only: a dialog of fixed size has nothing to
    // minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(Scaled(*this, 10));
    fields->setVerticalSpacing(Scaled(*this, 11));
    auto addField = [&](std::string_view text, int row) {
        auto *label = new QLabel(QString::fromUtf8(text.data(), qsizetype(text.size())), this);
        auto *edit = new QLineEdit(this);
        edit->setFixedWidth(Scaled(*this, FieldWidth));
        label->setBuddy(edit);
        fields->addWidget(label, row, 0);
        fields->addWidget(edit, row, 1);
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { MarkField(edit, false); });
        return edit;
    };
    const TElementTraits &traits = Traits(kind);
    FSource = addField(traits.ValueLabel, 0);
    if (traits.Second == TSecondValue::DcResistance)
        FRes = addField(traits.SecondLabel, 1);
    fields->setColumnStretch(0, 1);

    auto *bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    // Wide enough for the whole title beside the title bar's close box.
    bevel->setMinimumWidth(std::max(Scaled(*this, layout.BevelWidth),
                                    fontMetrics().horizontalAdvance(windowTitle()) + Scaled(*this, 64)));

    // Why the last OK was refused, under the fields.
    FError = new QLabel(this);
    FError->setObjectName("labError");
    FError->setWordWrap(true);
    FError->setStyleSheet("color: #c00000;");
    FError->hide();

    auto *column = new QVBoxLayout(this);
    const int margin = Scaled(*this, DialogMargin);
    column->setContentsMargins(margin, margin, margin, Scaled(*this, 13));
    column->setSpacing(Scaled(*this, 8));
    column->addLayout(fields);
    column->addWidget(FError);

    QWidget *firstStyle = nullptr;
    if (traits.Second == TSecondValue::Taper) {
        auto *group = new QGroupBox(tr("Style"), this);
        auto *styles = new QVBoxLayout(group);
        const char *items[] = {"Linear", "Log type A", "Log type B"};
        for (int i = 0; i < 3; ++i) {
            FStyle[i] = new QRadioButton(QString::fromLatin1(items[i]), group);
            styles->addWidget(FStyle[i]);
        }
        FStyle[0]->setChecked(true);
        column->addWidget(group);
        firstStyle = FStyle[0];
    }
    column->addWidget(bevel);

    FOk = new QPushButton(tr("OK"), this);
    FOk->setDefault(true);
    FOk->setAutoDefault(true);
    FCancel = new QPushButton(tr("Cancel"), this);
    FCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(Scaled(*this, 13));
    buttons->addStretch(1);
    for (QPushButton *button : {FOk, FCancel}) {
        button->setMinimumSize(Scaled(*this, ButtonSize));
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    column->addLayout(buttons);
    // Fixed at what the contents need, growing when the reason shows.
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(FOk, &QPushButton::clicked, this, &TEditDialog::OkClick);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);

    QWidget::setTabOrder(FSource, FRes ? static_cast<QWidget *>(FRes) : FOk);
    if (FRes)
        QWidget::setTabOrder(FRes, FOk);
    QWidget::setTabOrder(FOk, FCancel);
    if (firstStyle)
        QWidget::setTabOrder(FCancel, firstStyle);
}

void TEditDialog::SetFields(const TDialogFields &fields)
{
    FSource->setText(QString::fromStdString(fields.Source));
    MarkField(FSource, false);
    if (FRes) {
        FRes->setText(QString::fromStdString(fields.Res));
        MarkField(FRes, false);
    }
    ShowReason(QString());
    if (FKind == TElementKind::Pot) {
        const bool shown = fields.Style >= 0 && fields.Style < int(FStyle.size());
        FUnshownStyle = shown ? -1 : fields.Style;
        for (int i = 0; i < int(FStyle.size()); ++i) {
            // Unchecking one of a group of exclusive buttons needs the group let go.
            FStyle[std::size_t(i)]->setAutoExclusive(false);
            FStyle[std::size_t(i)]->setChecked(i == fields.Style);
            FStyle[std::size_t(i)]->setAutoExclusive(true);
        }
    }
}

TDialogFields TEditDialog::Fields() const
{
    TDialogFields fields;
    fields.Source = FSource->text().toStdString();
    if (FRes)
        fields.Res = FRes->text().toStdString();
    if (FUnshownStyle >= 0)
        fields.Style = FUnshownStyle;
    for (int i = 0; i < 3; ++i)
        if (FStyle[i] && FStyle[i]->isChecked())
            fields.Style = i;
    return fields;
}

QString TEditDialog::Reason() const
{
    return FError->isHidden() ? QString() : FError->text();
}

void TEditDialog::OkClick()
{
    // The dialog closes only with values the component can take; a field
    // that does not convert keeps it open and says why.
    const char separator = LocaleDecimalSeparator();
    for (QLineEdit *edit : {FSource, FRes}) {
        if (!edit)
            continue;
        try {
            EngStrToFloat(edit->text().toStdString(), separator);
            MarkField(edit, false);
        } catch (const CorvantaError &error) {
            MarkField(edit, true);
            const QString example = QStringLiteral("4") + QChar::fromLatin1(separator) + QStringLiteral("7k");
            ShowReason(QString::fromStdString(error.what()) +
                       QStringLiteral(": a number with one of p n u m k M, such as ") + example);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    accept();
}

void TEditDialog::MarkField(QLineEdit *edit, bool invalid)
{
    edit->setStyleSheet(invalid ? QString::fromLatin1(InvalidFieldStyle) : QString());
}

void TEditDialog::ShowReason(const QString &reason)
{
    if (reason.isEmpty()) {
        FError->hide();
        FError->clear();
        return;
    }
    // As wide as the fields and the bevel are without it, as high as its
    // lines need.
    const QMargins margins = layout()->contentsMargins();
    const int width = FError->isHidden() ? this->width() - margins.left() - margins.right() : FError->width();
    FError->setText(reason);
    FError->setFixedSize(width, FError->heightForWidth(width));
    FError->show();
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
    for (int kind = 0; kind < ElementKindCount; ++kind)
        FDialogs[kind] = new TEditDialog(static_cast<TElementKind>(kind), parent);
}

bool TQtEditDialogs::Execute(TElementKind kind, TDialogFields &fields)
{
    TEditDialog &dialog = Dialog(kind);
    dialog.SetFields(fields);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields = dialog.Fields();
    return true;
}

} // namespace cva

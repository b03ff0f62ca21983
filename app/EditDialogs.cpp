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
#include "app/TaperDrawing.h"
#include "app/TubeStageDialog.h"
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
    bool SeriesButtons; // parts that are bought by value
    bool TubeStage;     // the source, which stands for the stage driving the stack
};

const TDialogLayout &LayoutOf(TElementKind kind)
{
    static const TDialogLayout layouts[ElementKindCount] = {
        {"Edit resistor properties", 20, 169, true, false},
        {"Edit capacitor properties", 22, 169, true, false},
        {"Edit inductor properties", 0, 169, true, false},
        {"Edit potentiometer properties", 23, 169, true, false},
        {"Edit generator properties", 21, 217, false, true},
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

    if (layout.SeriesButtons)
        AddSeriesButtons(column);
    if (layout.TubeStage)
        AddTubeStageButton(column);
    if (traits.Second == TSecondValue::Taper)
        AddTaperChoice(column);
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
    if (FStyle[0])
        QWidget::setTabOrder(FCancel, FStyle[0]);
}

void TEditDialog::AddTaperChoice(QVBoxLayout *column)
{
    // The original laws, the audio laws and their mirror images in three
    // columns, beside a drawing of the chosen one.
    auto *group = new QGroupBox(tr("Style"), this);
    auto *styles = new QGridLayout(group);
    for (std::uint8_t taper = 0; taper <= LastKnownTaper; ++taper) {
        const QString label = taper == PotLogA   ? QStringLiteral("Log type A")
                              : taper == PotLogB ? QStringLiteral("Log type B")
                                                 : QString::fromStdString(TaperLabel(taper));
        FStyle[taper] = new QRadioButton(label, group);
        styles->addWidget(FStyle[taper], taper % 3, taper / 3);
        connect(FStyle[taper], &QRadioButton::toggled, this, [this, taper](bool on) {
            if (on)
                FTaperDrawing->SetTaper(taper);
        });
    }
    FTaperDrawing = new TTaperDrawing(group);
    styles->addWidget(FTaperDrawing, 0, 3, 3, 1);
    FStyle[PotLinear]->setChecked(true);
    column->addWidget(group);
}

void TEditDialog::AddSeriesButtons(QVBoxLayout *column)
{
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Nearest"), this));
    for (TESeries series : {TESeries::E12, TESeries::E24, TESeries::E96}) {
        const QString name = QString::fromLatin1(ESeriesName(series));
        auto *button = new QPushButton(name, this);
        button->setAutoDefault(false);
        button->setToolTip(tr("Sets the value to the nearest %1 value").arg(name));
        connect(button, &QPushButton::clicked, this, [this, series] { SnapToSeries(series); });
        FSeries[static_cast<int>(series)] = button;
        row->addWidget(button);
    }
    column->addLayout(row);
}

void TEditDialog::AddTubeStageButton(QVBoxLayout *column)
{
    FTubeStage = new QPushButton(tr("From a tube stage..."), this);
    FTubeStage->setAutoDefault(false);
    connect(FTubeStage, &QPushButton::clicked, this, [this] {
        if (const std::optional<double> resistance = AskTubeStageResistance(this)) {
            FSource->setText(QString::fromStdString(FloatToEngStr(*resistance, LocaleDecimalSeparator())));
            MarkField(FSource, false);
            ShowReason(QString());
        }
    });
    column->addWidget(FTubeStage);
}

void TEditDialog::SnapToSeries(TESeries series)
{
    const std::optional<double> value = FieldValue(FSource);
    if (!value)
        return;
    try {
        FSource->setText(
            QString::fromStdString(FloatToEngStr(NearestESeriesValue(*value, series), LocaleDecimalSeparator())));
        ShowReason(QString());
    } catch (const CorvantaError &error) {
        MarkField(FSource, true);
        ShowReason(QString::fromStdString(error.what()));
    }
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
        // Numbers no choice shows follow the linear law, and the drawing says so.
        FTaperDrawing->SetTaper(std::uint8_t(std::clamp(fields.Style, 0, 255)));
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
    for (std::size_t i = 0; i < FStyle.size(); ++i)
        if (FStyle[i] && FStyle[i]->isChecked())
            fields.Style = int(i);
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
    for (QLineEdit *edit : {FSource, FRes})
        if (edit && !FieldValue(edit))
            return;
    accept();
}

std::optional<double> TEditDialog::FieldValue(QLineEdit *edit)
{
    const char separator = LocaleDecimalSeparator();
    try {
        const double value = EngStrToFloat(edit->text().toStdString(), separator);
        MarkField(edit, false);
        return value;
    } catch (const CorvantaError &error) {
        MarkField(edit, true);
        const QString example = QStringLiteral("4") + QChar::fromLatin1(separator) + QStringLiteral("7k");
        ShowReason(QString::fromStdString(error.what()) +
                   QStringLiteral(": a number with one of p n u m k M, such as ") + example);
        edit->setFocus();
        edit->selectAll();
        return std::nullopt;
    }
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

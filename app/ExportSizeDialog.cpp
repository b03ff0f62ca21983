#include "app/ExportSizeDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace cva {

namespace {

constexpr QSize PresetSizes[] = {{800, 600}, {1200, 900}, {1600, 1200}, {2400, 1800}, {3000, 2250}};

QString SizeText(QSize size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

} // namespace

TExportSizeDialog::TExportSizeDialog(QSize screenSize, QWidget *parent) : QDialog(parent)
{
    setWindowTitle("Export size");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    const QSize screen = screenSize.boundedTo({MaximumSide, MaximumSide}).expandedTo({MinimumSide, MinimumSide});
    FPresets = new QComboBox(this);
    FPresets->setObjectName("cbExportSize");
    FPresets->addItem(QStringLiteral("As on screen (%1)").arg(SizeText(screen)), screen);
    for (QSize preset : PresetSizes)
        FPresets->addItem(SizeText(preset), preset);

    auto makeSide = [this](const char *name, int value) {
        auto *box = new QSpinBox(this);
        box->setObjectName(name);
        box->setRange(MinimumSide, MaximumSide);
        box->setSuffix(" px");
        box->setValue(value);
        return box;
    };
    FWidth = makeSide("spinExportWidth", screen.width());
    FHeight = makeSide("spinExportHeight", screen.height());
    connect(FPresets, &QComboBox::activated, this, [this](int index) {
        const QSize size = FPresets->itemData(index).toSize();
        FWidth->setValue(size.width());
        FHeight->setValue(size.height());
    });

    auto *form = new QFormLayout;
    form->addRow("&Size:", FPresets);
    form->addRow("&Width:", FWidth);
    form->addRow("&Height:", FHeight);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

QSize TExportSizeDialog::ChosenSize() const
{
    return {FWidth->value(), FHeight->value()};
}

} // namespace cva

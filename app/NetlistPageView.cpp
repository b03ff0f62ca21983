#include "app/NetlistPageView.h"

#include <filesystem>

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSplitter>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/NetlistEditor.h"
#include "components/ElementKind.h"

namespace cva {

namespace {

enum TPartColumn { NameColumn, KindColumn, ValueColumn, TaperColumn, ControlColumn, ColumnCount };

QString FromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

constexpr int PictureHeight = 120;

} // namespace

TNetlistPageView::TNetlistPageView(QWidget *parent)
    : QWidget(parent), FEditor(new TNetlistEditor(this)), FParts(new QTableWidget(this)), FPicture(new QLabel(this))
{
    FParts->setObjectName("netlistParts");
    FParts->setColumnCount(ColumnCount);
    FParts->setHorizontalHeaderLabels({"Name", "Kind", "Value", "Taper", "Control"});
    FParts->verticalHeader()->hide();
    FParts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FParts->setSelectionBehavior(QAbstractItemView::SelectRows);
    FParts->horizontalHeader()->setStretchLastSection(true);
    FParts->setStatusTip("Double-click on a part to change its value");
    connect(FParts, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (const QTableWidgetItem *name = FParts->item(row, NameColumn))
            emit ComponentActivated(name->text());
    });
    // Enter on a chosen part opens its dialog as a double-click does.
    connect(FParts, &QTableWidget::itemActivated, this, [this](QTableWidgetItem *item) {
        if (const QTableWidgetItem *name = FParts->item(item->row(), NameColumn))
            emit ComponentActivated(name->text());
    });
    FPicture->setObjectName("netlistPicture");
    FPicture->setAlignment(Qt::AlignCenter);
    FPicture->hide();
    connect(FEditor, &TNetlistEditor::TextPaused, this, &TNetlistPageView::TextPaused);

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(FEditor);
    split->addWidget(FParts);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(FPicture);
    layout->addWidget(split, 1);
}

void TNetlistPageView::Show(const TCircuit &circuit, int page, char decimalSeparator)
{
    const TCircuitDef &info = circuit.Pages().Page(page);
    // The editor breaks lines with \n alone; a file's CRLF stays in the page.
    const QString text = FromStd(info.NetlistText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text != FShownText) {
        FShownText = text;
        FEditor->SetText(text);
        FEditor->ShowError(-1, QString());
    }
    const TSymbolList &values = circuit.Symbols.Page(page);
    FParts->setRowCount(int(info.Components.size()));
    for (int row = 0; row < int(info.Components.size()); ++row) {
        const TComponentDefault &part = info.Components[std::size_t(row)];
        const bool pot = part.Kind == TElementKind::Pot;
        const int control = pot ? info.ControlOf(part.Name) : -1;
        const QString cells[ColumnCount] = {
            FromStd(part.Name), FromStd(Traits(part.Kind).TypeName),
            FromStd(values.GetCaption(part.Name, decimalSeparator)),
            pot ? FromStd(values.GetPotTypeLabel(part.Name)) : QString(),
            control >= 0 ? FromStd(info.Controls[std::size_t(control)].Label) : QString()};
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem *item = FParts->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                FParts->setItem(row, column, item);
            }
            item->setText(cells[column]);
        }
    }
    FParts->resizeColumnsToContents();
    ShowPicture(info.NetlistPath);
}

void TNetlistPageView::ShowPicture(const std::string &netlistPath)
{
    QString found;
    if (!netlistPath.empty())
        for (const char *extension : {".svg", ".png"}) {
            const std::filesystem::path candidate = std::filesystem::path(netlistPath).replace_extension(extension);
            std::error_code error;
            if (std::filesystem::is_regular_file(candidate, error)) {
                found = QString::fromStdString(candidate.string());
                break;
            }
        }
    if (found == FPicturePath)
        return;
    FPicturePath = found;
    QPixmap picture;
    if (found.endsWith(".svg")) {
        QSvgRenderer renderer(found);
        if (renderer.isValid()) {
            const QSize size = renderer.defaultSize().scaled(QSize(4 * PictureHeight, PictureHeight), Qt::KeepAspectRatio);
            picture = QPixmap(size);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            renderer.render(&painter);
        }
    } else if (!found.isEmpty()) {
        picture.load(found);
        if (!picture.isNull() && picture.height() > PictureHeight)
            picture = picture.scaledToHeight(PictureHeight, Qt::SmoothTransformation);
    }
    FPicture->setPixmap(picture);
    FPicture->setVisible(!picture.isNull());
}

} // namespace cva

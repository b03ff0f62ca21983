#include "app/SchematicPage.h"

#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/FontScale.h"

namespace cva {

namespace {

QFont ValueFont(const QFont &base)
{
    QFont font = base;
    font.setPointSizeF(7.5);
    return font;
}

} // namespace

TValueLabel::TValueLabel(const QString &symbol, QWidget *parent) : QLabel(parent), FSymbol(symbol)
{
    setObjectName("lab" + symbol);
    setFocusPolicy(Qt::StrongFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAutoFillBackground(false);
}

bool TValueLabel::event(QEvent *event)
{
    // F1 here asks for the schematic's topic, not the window's contents.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        event->accept();
        return true;
    }
    return QLabel::event(event);
}

void TValueLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        emit HelpRequested();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit Activated(FSymbol);
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TValueLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit Activated(FSymbol);
    event->accept();
}

void TValueLabel::SetValue(const QString &text)
{
    setText(text);
    if (sizeHint().width() > width())
        resize(sizeHint().width(), height());
}

void TValueLabel::focusInEvent(QFocusEvent *event)
{
    setFrameShape(QFrame::Box);
    QLabel::focusInEvent(event);
}

void TValueLabel::focusOutEvent(QFocusEvent *event)
{
    setFrameShape(QFrame::NoFrame);
    QLabel::focusOutEvent(event);
}

QString TSchematicPage::DrawingResource(const TCircuitDef &page)
{
    return QStringLiteral(":/schematics/%1.svg").arg(QString::fromStdString(page.Drawing));
}

TSchematicPage::TSchematicPage(const TCircuitDef &topology, QWidget *parent)
    : QWidget(parent), FDrawing(DrawingResource(topology))
{
    setObjectName("tab" + QString::fromStdString(topology.TabCaption));
    for (const TComponentDefault &part : topology.Components) {
        const QString symbol = QString::fromStdString(part.Name);
        auto *label = new TValueLabel(symbol, this);
        label->setFont(ValueFont(font()));
        const QRectF anchor = ToWidget(FDrawing.transformForElement(symbol + "-value")
                                           .mapRect(FDrawing.boundsOnElement(symbol + "-value")));
        label->setGeometry(anchor.toAlignedRect().adjusted(-1, -1, 8, 1));
        label->setMinimumHeight(label->fontMetrics().height());
        connect(label, &TValueLabel::Activated, this, &TSchematicPage::ComponentActivated);
        connect(label, &TValueLabel::HelpRequested, this, &TSchematicPage::HelpRequested);
        FValueLabels[symbol] = label;
    }
}

QRectF TSchematicPage::DrawingRect() const
{
    const double scale = FontScale(*this);
    return {QPointF(DrawingOrigin) * scale, QSizeF(DrawingSize) * scale};
}

QSize TSchematicPage::sizeHint() const
{
    // The same margin right of and below the drawing as left of and above it.
    const QRectF drawing = DrawingRect();
    return {int(std::ceil(drawing.right() + drawing.left())), int(std::ceil(drawing.bottom() + drawing.top()))};
}

QRectF TSchematicPage::ToWidget(const QRectF &drawingRect) const
{
    const QRectF viewBox = FDrawing.viewBoxF();
    const QRectF drawing = DrawingRect();
    const double sx = drawing.width() / viewBox.width();
    const double sy = drawing.height() / viewBox.height();
    return QRectF(drawing.x() + (drawingRect.x() - viewBox.x()) * sx, drawing.y() + (drawingRect.y() - viewBox.y()) * sy,
                  drawingRect.width() * sx, drawingRect.height() * sy);
}

QRectF TSchematicPage::Area(const QString &symbol) const
{
    return ToWidget(FDrawing.transformForElement(symbol).mapRect(FDrawing.boundsOnElement(symbol)));
}

TValueLabel *TSchematicPage::ValueLabel(const QString &symbol) const
{
    const auto found = FValueLabels.find(symbol);
    return found == FValueLabels.end() ? nullptr : found->second;
}

QStringList TSchematicPage::Symbols() const
{
    QStringList symbols;
    for (const auto &[symbol, label] : FValueLabels)
        symbols << symbol;
    return symbols;
}

void TSchematicPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    FDrawing.render(&painter, DrawingRect());
}

void TSchematicPage::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The smallest area under the pointer wins where groups overlap.
    QString hit;
    double hitArea = 0;
    for (const auto &[symbol, label] : FValueLabels) {
        const QRectF area = Area(symbol);
        if (area.contains(event->position()) && (hit.isEmpty() || area.width() * area.height() < hitArea)) {
            hit = symbol;
            hitArea = area.width() * area.height();
        }
    }
    if (hit.isEmpty()) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    emit ComponentActivated(hit);
}

} // namespace cva

#include "app/SchematicPage.h"

#include <algorithm>
#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/FontScale.h"

namespace cva {

namespace {

// The value text's size where the drawing is shown at its size.
constexpr double ValuePoints = 7.5;
// The page shrinks to this share of its size on a small screen; the values
// are still readable there.
constexpr double SmallestZoom = 0.65;
// Room right of a value's anchor, at the design font.
constexpr double ValuePadding = 8;

QFont ValueFont(const QFont &base, double zoom)
{
    QFont font = base;
    font.setPointSizeF(ValuePoints * zoom);
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
        FValueAnchors[symbol] =
            FDrawing.transformForElement(symbol + "-value").mapRect(FDrawing.boundsOnElement(symbol + "-value"));
        connect(label, &TValueLabel::Activated, this, &TSchematicPage::ComponentActivated);
        connect(label, &TValueLabel::HelpRequested, this, &TSchematicPage::HelpRequested);
        FValueLabels[symbol] = label;
    }
    PlaceValueLabels();
}

QSize TSchematicPage::sizeHint() const
{
    // The same margin right of and below the drawing as left of and above it.
    const double scale = FontScale(*this);
    return {int(std::ceil((DrawingSize.width() + 2 * DrawingOrigin.x()) * scale)),
            int(std::ceil((DrawingSize.height() + 2 * DrawingOrigin.y()) * scale))};
}

QSize TSchematicPage::minimumSizeHint() const
{
    const QSize natural = sizeHint();
    return {int(std::ceil(natural.width() * SmallestZoom)), int(std::ceil(natural.height() * SmallestZoom))};
}

double TSchematicPage::Zoom() const
{
    const QSize natural = sizeHint();
    return std::min(double(width()) / natural.width(), double(height()) / natural.height());
}

QRectF TSchematicPage::DrawingRect() const
{
    const double scale = FontScale(*this) * Zoom();
    const QSizeF drawing = QSizeF(DrawingSize) * scale;
    const QPointF margin = QPointF(DrawingOrigin) * scale;
    return {QPointF((width() - drawing.width()) / 2, margin.y()), drawing};
}

void TSchematicPage::PlaceValueLabels()
{
    // Before the page is laid out it may have no size at all.
    const QFont valueFont = ValueFont(font(), std::max(Zoom(), SmallestZoom));
    const double scale = FontScale(*this) * Zoom();
    for (const auto &[symbol, label] : FValueLabels) {
        label->setFont(valueFont);
        label->setMinimumHeight(label->fontMetrics().height());
        // Scaled as a whole and rounded to the nearest pixel, so that values
        // clear of each other at full size stay clear at any size.
        const QRect anchor = ToWidget(FValueAnchors.at(symbol))
                                 .adjusted(-scale, -scale, ValuePadding * scale, scale)
                                 .toRect();
        label->setGeometry(anchor.adjusted(0, 0, std::max(0, label->sizeHint().width() - anchor.width()), 0));
    }
}

void TSchematicPage::resizeEvent(QResizeEvent *event)
{
    PlaceValueLabels();
    QWidget::resizeEvent(event);
}

void TSchematicPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        PlaceValueLabels();
    QWidget::changeEvent(event);
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

#include "app/TaperDrawing.h"

#include <QPainter>
#include <QPainterPath>

#include "app/FontScale.h"
#include "components/TaperLaw.h"

namespace cva {

namespace {

constexpr int DrawingSide = 96; // pixels at the design font
constexpr int CurveSteps = 200;

} // namespace

TTaperDrawing::TTaperDrawing(QWidget *parent) : QWidget(parent)
{
    setObjectName("taperDrawing");
}

void TTaperDrawing::SetTaper(std::uint8_t taper)
{
    FTaper = taper;
    setToolTip(QString::fromStdString(TaperLabel(taper)));
    update();
}

QSize TTaperDrawing::sizeHint() const
{
    return Scaled(*this, QSize(DrawingSide, DrawingSide));
}

void TTaperDrawing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(4, 4, -4, -4);
    painter.fillRect(frame, palette().base());
    painter.setPen(QPen(palette().mid().color(), 1));
    painter.drawRect(frame);
    // The linear law and the mid-travel line, for reference.
    painter.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
    painter.drawLine(frame.bottomLeft(), frame.topRight());
    painter.drawLine(QPointF(frame.center().x(), frame.top()), QPointF(frame.center().x(), frame.bottom()));

    const auto at = [&frame](double travel, double track) {
        return QPointF(frame.left() + travel * frame.width(), frame.bottom() - track * frame.height());
    };
    QPainterPath law(at(0, TaperFraction(FTaper, 0)));
    for (int i = 1; i <= CurveSteps; ++i) {
        const double x = double(i) / CurveSteps;
        law.lineTo(at(x, TaperFraction(FTaper, x)));
    }
    painter.setPen(QPen(palette().text().color(), 2));
    painter.drawPath(law);
    painter.setBrush(palette().highlight());
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(at(0.5, TaperFraction(FTaper, 0.5)), 3, 3);
}

} // namespace cva

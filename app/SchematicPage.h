#pragma once

// One schematic page: the topology's drawing, a value label beside every
// component and the invisible double-click area over each component. The
// drawing carries the layout: each component's group is named after its
// symbol, and an anchor "<symbol>-value" marks where its value is shown.

#include <map>
#include <string>

#include <QLabel>
#include <QSvgRenderer>
#include <QWidget>

#include "document/Catalogue.h"

namespace cva {

// A component's value text. It takes keyboard focus in page order; Enter or
// Space, like a double-click, asks to edit the component.
class TValueLabel : public QLabel {
    Q_OBJECT

public:
    TValueLabel(const QString &symbol, QWidget *parent);
    QString Symbol() const { return FSymbol; }
    // Shows the value, widening the label to the right where the text needs it.
    void SetValue(const QString &text);

signals:
    void Activated(const QString &symbol);
    // F1 while the value has the focus: help on the schematic pages.
    void HelpRequested();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QString FSymbol;
};

class TSchematicPage : public QWidget {
    Q_OBJECT

public:
    // The drawing's place at the design font; it grows with the page's font.
    static constexpr QSize DrawingSize{273, 265};
    static constexpr QPoint DrawingOrigin{8, 8};

    TSchematicPage(const TCircuitDef &topology, QWidget *parent = nullptr);

    // Where the drawing lies on the page at the page's font.
    QRectF DrawingRect() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The double-click area of a component, in this widget's coordinates.
    QRectF Area(const QString &symbol) const;
    TValueLabel *ValueLabel(const QString &symbol) const;
    QStringList Symbols() const;
    // The resource holding the drawing of a topology.
    static QString DrawingResource(const TCircuitDef &page);

signals:
    void ComponentActivated(const QString &symbol);
    void HelpRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QRectF ToWidget(const QRectF &drawingRect) const;

    QSvgRenderer FDrawing;
    std::map<QString, TValueLabel *> FValueLabels;
};

} // namespace cva

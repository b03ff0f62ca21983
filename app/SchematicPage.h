#pragma once

// One schematic page: the topology's drawing, a value label beside every
// component and the invisible double-click area over each component. The
// drawing carries the layout: each component's group is named after its
// symbol, and an anchor "<symbol>-value" marks where its value is shown.
// The drawing fills the page, keeping its shape, and the values grow and
// shrink with it, so that a small screen and a large window both show it
// whole.

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
    // The drawing's size and margin at the design font; both grow with the
    // page's font, and the page shows them at the size it has.
    static constexpr QSize DrawingSize{273, 265};
    static constexpr QPoint DrawingOrigin{8, 8};

    TSchematicPage(const TCircuitDef &topology, QWidget *parent = nullptr);

    // Where the drawing lies on the page as large as it fits, centred across.
    QRectF DrawingRect() const;
    // The drawing with its margins at the page's font.
    QSize sizeHint() const override;
    // Small enough for a small screen, large enough to read the values.
    QSize minimumSizeHint() const override;

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
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QRectF ToWidget(const QRectF &drawingRect) const;
    // How large the drawing is shown, against its size at the page's font.
    double Zoom() const;
    // The value labels at their anchors, in a font as large as the drawing.
    void PlaceValueLabels();

    QSvgRenderer FDrawing;
    std::map<QString, TValueLabel *> FValueLabels;
    std::map<QString, QRectF> FValueAnchors; // in the drawing's coordinates
};

} // namespace cva

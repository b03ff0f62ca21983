#include "app/NetlistEditor.h"

#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QVBoxLayout>

namespace cva {

namespace {

// A text edit that leaves Undo and Redo to the window's menu, and draws the
// line numbers in a margin of its own.
class TNumberedEdit : public QPlainTextEdit {
public:
    explicit TNumberedEdit(QWidget *parent) : QPlainTextEdit(parent), FNumbers(new TMargin(this))
    {
        setUndoRedoEnabled(false);
        connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { FitMargin(); });
        connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect &rect, int dy) {
            if (dy != 0)
                FNumbers->scroll(0, dy);
            else
                FNumbers->update(0, rect.y(), FNumbers->width(), rect.height());
        });
        FitMargin();
    }

protected:
    bool event(QEvent *event) override
    {
        // The window's Undo and Redo hold the netlist's text with everything
        // else, so their keys must reach its actions.
        if (event->type() == QEvent::ShortcutOverride) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
                event->ignore();
                return false;
            }
        }
        return QPlainTextEdit::event(event);
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QPlainTextEdit::resizeEvent(event);
        const QRect area = contentsRect();
        FNumbers->setGeometry(area.left(), area.top(), MarginWidth(), area.height());
    }

private:
    class TMargin : public QWidget {
    public:
        explicit TMargin(TNumberedEdit *edit) : QWidget(edit), FEdit(edit) {}
        QSize sizeHint() const override { return {FEdit->MarginWidth(), 0}; }

    protected:
        void paintEvent(QPaintEvent *event) override { FEdit->PaintNumbers(event->rect()); }

    private:
        TNumberedEdit *FEdit;
    };

    int MarginWidth() const
    {
        const int digits = QString::number(std::max(1, blockCount())).size();
        return 6 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(2, digits);
    }

    void FitMargin() { setViewportMargins(MarginWidth(), 0, 0, 0); }

    void PaintNumbers(const QRect &rect)
    {
        QPainter painter(FNumbers);
        painter.fillRect(rect, palette().color(QPalette::AlternateBase));
        painter.setPen(palette().color(QPalette::PlaceholderText));
        for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
            const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
            if (box.top() > rect.bottom())
                break;
            if (block.isVisible() && box.bottom() >= rect.top())
                painter.drawText(QRectF(0, box.top(), FNumbers->width() - 3, box.height()), Qt::AlignRight,
                                 QString::number(block.blockNumber() + 1));
        }
    }

    TMargin *FNumbers;
};

} // namespace

TNetlistEditor::TNetlistEditor(QWidget *parent)
    : QWidget(parent), FEdit(new TNumberedEdit(this)), FError(new QLabel(this))
{
    FEdit->setObjectName("netlistText");
    FEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    FError->setObjectName("netlistError");
    FError->setWordWrap(true);
    FError->setStyleSheet("color: #b00000;");
    FError->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FEdit, 1);
    layout->addWidget(FError);

    FPause.setSingleShot(true);
    FPause.setInterval(PauseMs);
    connect(FEdit, &QPlainTextEdit::textChanged, &FPause, qOverload<>(&QTimer::start));
    connect(&FPause, &QTimer::timeout, this, [this] { emit TextPaused(Text()); });
}

QString TNetlistEditor::Text() const
{
    return FEdit->toPlainText();
}

void TNetlistEditor::SetText(const QString &text)
{
    if (text == Text())
        return;
    const int position = FEdit->textCursor().position();
    const int scroll = FEdit->verticalScrollBar()->value();
    {
        const QSignalBlocker blocker(FEdit);
        FEdit->setPlainText(text);
    }
    FPause.stop();
    QTextCursor cursor(FEdit->document());
    cursor.setPosition(std::min(position, int(text.size())));
    FEdit->setTextCursor(cursor);
    FEdit->verticalScrollBar()->setValue(scroll);
    FEdit->viewport()->update();
}

void TNetlistEditor::ShowError(int line, const QString &message)
{
    QList<QTextEdit::ExtraSelection> marks;
    if (line >= 0) {
        QTextEdit::ExtraSelection mark;
        mark.format.setBackground(QColor(255, 220, 220));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        mark.cursor = QTextCursor(FEdit->document()->findBlockByNumber(line));
        marks << mark;
    }
    FEdit->setExtraSelections(marks);
    FError->setText(message);
    FError->setVisible(!message.isEmpty());
}

} // namespace cva

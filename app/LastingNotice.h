#pragma once

// The status bar's field for what stays true until the circuit changes (no
// curve, or a curve beyond the model's accuracy): beside the passing
// messages rather than under them, at most half the bar wide, cut short with
// an ellipsis and whole in its tooltip.

#include <QLabel>
#include <QString>

namespace cva {

class TLastingNotice : public QLabel {
    Q_OBJECT

public:
    explicit TLastingNotice(QWidget *parent = nullptr);

    // Shows the text, or hides the field for an empty one.
    void SetNotice(const QString &notice);
    const QString &Notice() const { return FNotice; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Elide();

    QString FNotice;
};

} // namespace cva

#pragma once

// A small drawing of a pot's taper law: the share of the track against the
// share of the travel, with the mid-travel point marked.

#include <cstdint>

#include <QWidget>

namespace cva {

class TTaperDrawing : public QWidget {
    Q_OBJECT

public:
    explicit TTaperDrawing(QWidget *parent = nullptr);
    void SetTaper(std::uint8_t taper);
    std::uint8_t Taper() const { return FTaper; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::uint8_t FTaper = 0;
};

} // namespace cva

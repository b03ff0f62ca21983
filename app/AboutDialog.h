#pragma once

// The About box: the product's name and icon, an ownership notice, credits
// and a link to the product's web site.

#include <functional>

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace cva {

class TdlgAbout : public QDialog {
    Q_OBJECT

public:
    static const QUrl WebSite;
    static const QUrl CreditAddress;

    explicit TdlgAbout(QWidget *parent = nullptr);

    // Hands an address to the desktop's browser; replaceable for tests.
    std::function<bool(const QUrl &)> OpenUrl;

    QLabel *WebSiteLink() const { return labWebSite; }
    QLabel *Credits() const { return Label3; }
    QPushButton *CloseButton() const { return btnClose; }

private:
    // The address opened is exactly the one the label shows.
    void labWebSiteClick(const QString &shownAddress);

    QLabel *labWebSite = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *btnClose = nullptr;
};

} // namespace cva

#include "app/AboutDialog.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace cva {

const QUrl TdlgAbout::WebSite(QStringLiteral("https://corvanta.example.org/"));
const QUrl TdlgAbout::CreditAddress(QStringLiteral("https://corvanta.example.org/credits"));

namespace {

QLabel *WrappedLabel(const QString &text, const QRect &bounds, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(bounds);
    return label;
}

} // namespace

TdlgAbout::TdlgAbout(QWidget *parent) : QDialog(parent), OpenUrl(&QDesktopServices::openUrl)
{
    setWindowTitle("About...");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(369, 300);

    auto *panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 353, 241);

    auto *title = new QLabel("Corvanta", panel);
    title->setObjectName("Label1");
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(16);
    title->setFont(titleFont);
    title->setGeometry(16, 14, 200, 22);

    auto *shadow = new QFrame(panel);
    shadow->setObjectName("Shape3");
    shadow->setStyleSheet("background-color: #808080;");
    shadow->setGeometry(290, 10, 32, 32);
    auto *icon = new QLabel(panel);
    icon->setObjectName("Image2");
    icon->setPixmap(QIcon(":/icons/corvanta.svg").pixmap(32, 32));
    icon->setGeometry(288, 8, 32, 32);

    auto *notice = WrappedLabel("Copyright \u00A9 2026 the Corvanta developers. Corvanta is free to use; it comes "
                                "with no warranty of any kind.",
                                QRect(16, 72, 300, 41), panel);
    notice->setObjectName("Label2");

    // The credit name reads as a link; it opens its own fixed address.
    Label3 = WrappedLabel(QStringLiteral("Written for amp builders and players by <a href=\"%1\">the Corvanta "
                                         "developers</a>. Built with the Qt toolkit; thanks to everyone who "
                                         "compared its curves with real amplifiers.")
                              .arg(CreditAddress.toString()),
                          QRect(16, 120, 300, 57), panel);
    Label3->setObjectName("Label3");
    Label3->setTextFormat(Qt::RichText);
    connect(Label3, &QLabel::linkActivated, this, [this] { OpenUrl(CreditAddress); });

    labWebSite = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(WebSite.toString()), panel);
    labWebSite->setObjectName("labWebSite");
    labWebSite->setTextFormat(Qt::RichText);
    labWebSite->setToolTip("Click to go to the Corvanta web site");
    labWebSite->setGeometry(16, 200, 260, 18);
    labWebSite->setCursor(Qt::PointingHandCursor);
    connect(labWebSite, &QLabel::linkActivated, this, &TdlgAbout::labWebSiteClick);

    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setGeometry(147, 264, 75, 25);
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TdlgAbout::labWebSiteClick(const QString &shownAddress)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    OpenUrl(QUrl(shownAddress));
    QGuiApplication::restoreOverrideCursor();
}

} // namespace cva

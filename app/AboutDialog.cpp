#include "app/AboutDialog.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/FontScale.h"

namespace cva {

const QUrl TdlgAbout::WebSite(QStringLiteral("https://corvanta.example.org/"));
const QUrl TdlgAbout::CreditAddress(QStringLiteral("https://corvanta.example.org/credits"));

namespace {

// Sizes in pixels at the design font (see FontScale.h).
constexpr int TextWidth = 300;
constexpr int IconSize = 32;
constexpr int ShadowOffset = 2;

QLabel *WrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

TdlgAbout::TdlgAbout(QWidget *parent) : QDialog(parent), OpenUrl(&QDesktopServices::openUrl)
{
    setWindowTitle("About...");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto *panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto *title = new QLabel("Corvanta", panel);
    title->setObjectName("Label1");
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(Scaled(*this, 16));
    title->setFont(titleFont);

    // The icon with its grey shadow 2 pixels right of and below it.
    auto *iconArea = new QWidget(panel);
    iconArea->setFixedSize(IconSize + ShadowOffset, IconSize + ShadowOffset);
    auto *shadow = new QFrame(iconArea);
    shadow->setObjectName("Shape3");
    shadow->setStyleSheet("background-color: #808080;");
    shadow->setGeometry(ShadowOffset, ShadowOffset, IconSize, IconSize);
    auto *icon = new QLabel(iconArea);
    icon->setObjectName("Image2");
    icon->setPixmap(QIcon(":/icons/corvanta.svg").pixmap(IconSize, IconSize));
    icon->setGeometry(0, 0, IconSize, IconSize);

    auto *notice = WrappedLabel("Copyright \u00A9 2026 the Corvanta developers. Corvanta is free to use; it comes "
                                "with no warranty of any kind.",
                                panel);
    notice->setObjectName("Label2");

    // The credit name reads as a link; it opens its own fixed address.
    Label3 = WrappedLabel(QStringLiteral("Written for amp builders and players by <a href=\"%1\">the Corvanta "
                                         "developers</a>. Built with the Qt toolkit; thanks to everyone who "
                                         "compared its curves with real amplifiers.")
                              .arg(CreditAddress.toString()),
                          panel);
    Label3->setObjectName("Label3");
    Label3->setTextFormat(Qt::RichText);
    connect(Label3, &QLabel::linkActivated, this, [this] { OpenUrl(CreditAddress); });

    labWebSite = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(WebSite.toString()), panel);
    labWebSite->setObjectName("labWebSite");
    labWebSite->setTextFormat(Qt::RichText);
    labWebSite->setToolTip("Click to go to the Corvanta web site");
    labWebSite->setCursor(Qt::PointingHandCursor);
    connect(labWebSite, &QLabel::linkActivated, this, &TdlgAbout::labWebSiteClick);

    // Wrapped texts take the width of the design and as many lines as their
    // words need in the user's font.
    const int textWidth = Scaled(*this, TextWidth);
    for (QLabel *label : {notice, Label3}) {
        label->setFixedWidth(textWidth);
        label->setFixedHeight(label->heightForWidth(textWidth));
    }

    auto *heading = new QHBoxLayout;
    heading->addWidget(title, 0, Qt::AlignTop);
    heading->addStretch(1);
    heading->addWidget(iconArea, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout(panel);
    const int margin = Scaled(*this, 16);
    texts->setContentsMargins(margin, Scaled(*this, 10), margin, margin);
    texts->setSpacing(Scaled(*this, 12));
    texts->addLayout(heading);
    texts->addSpacing(Scaled(*this, 14));
    texts->addWidget(notice);
    texts->addWidget(Label3);
    texts->addWidget(labWebSite);

    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setMinimumSize(Scaled(*this, QSize(75, 25)));
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    auto *column = new QVBoxLayout(this);
    const int outer = Scaled(*this, 8);
    column->setContentsMargins(outer, outer, outer, Scaled(*this, 11));
    column->setSpacing(Scaled(*this, 15));
    column->addWidget(panel);
    column->addWidget(btnClose, 0, Qt::AlignHCenter);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void TdlgAbout::labWebSiteClick(const QString &shownAddress)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    OpenUrl(QUrl(shownAddress));
    QGuiApplication::restoreOverrideCursor();
}

} // namespace cva

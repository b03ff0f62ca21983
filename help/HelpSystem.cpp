#include "help/HelpSystem.h"

#include <algorithm>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpContentWidget>
#include <QHelpContentModel>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#ifndef CORVANTA_HELP_INSTALLED
#define CORVANTA_HELP_INSTALLED "../share/corvanta/help/cva13.qch"
#endif

namespace cva {

namespace {

// Beside the window the user works in, on the side with more room, and
// within the screen: over it, the help would hide what it explains.
void PlaceBeside(QWidget &window, const QWidget *anchor)
{
    if (!anchor || !anchor->screen())
        return;
    const QRect available = anchor->screen()->availableGeometry();
    const QRect frame = anchor->frameGeometry();
    const QSize size = window.size().boundedTo(available.size());
    const bool right = available.right() - frame.right() >= frame.left() - available.left();
    const int x = std::clamp(right ? frame.right() + 1 : frame.left() - size.width(), available.left(),
                             available.right() + 1 - size.width());
    const int y = std::clamp(frame.top(), available.top(), available.bottom() + 1 - size.height());
    window.resize(size);
    window.move(x, y);
}

QString ContextId(int context)
{
    return QStringLiteral("context-%1").arg(context);
}

// Shows the topics straight from the help file.
class THelpBrowser : public QTextBrowser {
public:
    THelpBrowser(QHelpEngine *engine, QWidget *parent) : QTextBrowser(parent), FEngine(engine)
    {
        setObjectName(QStringLiteral("helpBrowser"));
        setOpenExternalLinks(true);
    }

    QVariant loadResource(int type, const QUrl &name) override
    {
        if (name.scheme() == QLatin1String("qthelp"))
            return FEngine->fileData(name);
        return QTextBrowser::loadResource(type, name);
    }

private:
    QHelpEngine *FEngine;
};

} // namespace

// The help window: contents, index and search on the left, the topic on the
// right.
class THelpWindow : public QWidget {
public:
    THelpWindow(QHelpEngine *engine) : FEngine(engine)
    {
        setObjectName(THelpSystem::WindowName);
        setWindowTitle(QStringLiteral("Corvanta Help"));
        setAttribute(Qt::WA_DeleteOnClose, false);
        // Help left open must not keep the program running once the main
        // window has closed.
        setAttribute(Qt::WA_QuitOnClose, false);

        FBrowser = new THelpBrowser(engine, this);

        auto *back = new QToolButton(this);
        back->setObjectName(QStringLiteral("btnBack"));
        back->setText(QStringLiteral("Back"));
        back->setEnabled(false);
        auto *forward = new QToolButton(this);
        forward->setObjectName(QStringLiteral("btnForward"));
        forward->setText(QStringLiteral("Forward"));
        forward->setEnabled(false);
        auto *home = new QToolButton(this);
        home->setObjectName(QStringLiteral("btnContents"));
        home->setText(QStringLiteral("Contents"));
        connect(back, &QToolButton::clicked, FBrowser, &QTextBrowser::backward);
        connect(forward, &QToolButton::clicked, FBrowser, &QTextBrowser::forward);
        connect(FBrowser, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
        connect(FBrowser, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
        connect(home, &QToolButton::clicked, this, [this] { ShowIdentifier(ContextId(HelpContents)); });

        FTabs = new QTabWidget(this);
        FTabs->setObjectName(QStringLiteral("tabsNavigation"));

        QHelpContentWidget *contents = engine->contentWidget();
        contents->setHeaderHidden(true);
        FTabs->addTab(contents, QStringLiteral("Contents"));
        connect(contents, &QHelpContentWidget::linkActivated, this, &THelpWindow::ShowUrl);
        // One click shows the entry's page, so the selection and the page
        // shown never disagree.
        connect(contents, &QHelpContentWidget::clicked, this, [this](const QModelIndex &item) {
            if (const QHelpContentItem *entry = FEngine->contentModel()->contentItemAt(item))
                ShowUrl(entry->url());
        });
        // The tree is filled in the background, often after the first topic
        // is shown.
        connect(engine->contentModel(), &QHelpContentModel::contentsCreated, this, [this] {
            FEngine->contentWidget()->expandToDepth(0);
            SelectInContents(FBrowser->source());
            FitContentsWidth();
        });

        auto *indexPage = new QWidget;
        auto *indexLayout = new QVBoxLayout(indexPage);
        indexLayout->setContentsMargins(4, 4, 4, 4);
        auto *lookFor = new QLineEdit(indexPage);
        lookFor->setObjectName(QStringLiteral("edtIndexFilter"));
        lookFor->setPlaceholderText(QStringLiteral("Type a keyword"));
        QHelpIndexWidget *index = engine->indexWidget();
        indexLayout->addWidget(new QLabel(QStringLiteral("&Look for:"), indexPage));
        indexLayout->addWidget(lookFor);
        indexLayout->addWidget(index);
        static_cast<QLabel *>(indexLayout->itemAt(0)->widget())->setBuddy(lookFor);
        connect(lookFor, &QLineEdit::textChanged, index, [index](const QString &text) { index->filterIndices(text); });
        connect(lookFor, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
        connect(index, &QHelpIndexWidget::documentActivated, this,
                [this](const QHelpLink &document, const QString &) { ShowUrl(document.url); });
        connect(index, &QHelpIndexWidget::documentsActivated, this,
                [this](const QList<QHelpLink> &documents, const QString &) {
                    if (!documents.isEmpty())
                        ShowUrl(documents.first().url);
                });
        FTabs->addTab(indexPage, QStringLiteral("Index"));

        QHelpSearchEngine *search = engine->searchEngine();
        auto *searchPage = new QWidget;
        auto *searchLayout = new QVBoxLayout(searchPage);
        searchLayout->setContentsMargins(4, 4, 4, 4);
        FQuery = search->queryWidget();
        searchLayout->addWidget(FQuery);
        searchLayout->addWidget(search->resultWidget(), 1);
        connect(FQuery, &QHelpSearchQueryWidget::search, this, [this] { Search(FQuery->searchInput()); });
        connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, this, &THelpWindow::ShowUrl);
        connect(search, &QHelpSearchEngine::indexingStarted, this, [this] { FIndexing = true; });
        connect(search, &QHelpSearchEngine::indexingFinished, this, [this] {
            FIndexing = false;
            FIndexed = true;
            if (!FPendingSearch.isEmpty())
                Search(std::exchange(FPendingSearch, QString()));
        });
        FSearchTab = FTabs->addTab(searchPage, QStringLiteral("Search"));
        connect(FTabs, &QTabWidget::currentChanged, this, [this](int tab) {
            if (tab == FSearchTab)
                BuildSearchIndex();
        });

        FSplitter = new QSplitter(Qt::Horizontal, this);
        FSplitter->addWidget(FTabs);
        FSplitter->addWidget(FBrowser);
        FSplitter->setStretchFactor(1, 1);
        FSplitter->setSizes({230, 570});

        auto *buttons = new QHBoxLayout;
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addWidget(home);
        buttons->addStretch(1);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addLayout(buttons);
        layout->addWidget(FSplitter, 1);
        resize(820, 600);
    }

    bool ShowIdentifier(const QString &id)
    {
        const QList<QHelpLink> links = FEngine->documentsForIdentifier(id);
        if (links.isEmpty())
            return false;
        ShowUrl(links.first().url);
        return true;
    }

    void ShowUrl(const QUrl &url)
    {
        FBrowser->setSource(url);
        SelectInContents(url);
    }

    // Keeps the contents tree on the topic shown, where it is listed.
    void SelectInContents(const QUrl &url)
    {
        QHelpContentWidget *contents = FEngine->contentWidget();
        const QModelIndex item = contents->indexOf(url);
        if (item.isValid())
            contents->setCurrentIndex(item);
    }

    // How wide the tree's shown entries under parent are, each indented by
    // its depth below the root decoration.
    static int EntriesWidth(const QHelpContentWidget &tree, const QModelIndex &parent, int depth)
    {
        int widest = 0;
        const QAbstractItemModel &model = *tree.model();
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex entry = model.index(row, 0, parent);
            const int indent = (depth + (tree.rootIsDecorated() ? 1 : 0)) * tree.indentation();
            widest = std::max(widest, indent + tree.fontMetrics().horizontalAdvance(entry.data().toString()) + 8);
            if (tree.isExpanded(entry))
                widest = std::max(widest, EntriesWidth(tree, entry, depth + 1));
        }
        return widest;
    }

    // Widens the navigation side so that every entry of the opened contents
    // is shown whole.
    void FitContentsWidth()
    {
        QHelpContentWidget *contents = FEngine->contentWidget();
        // The entries, the tree's frame and scroll bar, and the frame of the
        // tab page around it.
        const int tabFrame = 2 * FTabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
        const int wanted = EntriesWidth(*contents, QModelIndex(), 0) + 2 * contents->frameWidth() +
                           contents->verticalScrollBar()->sizeHint().width() + tabFrame;
        const QList<int> sizes = FSplitter->sizes();
        if (sizes.size() == 2 && sizes[0] < wanted)
            FSplitter->setSizes({wanted, std::max(sizes[1] - (wanted - sizes[0]), FBrowser->minimumSizeHint().width())});
    }

    // The search index is built on first use rather than at start-up: most
    // sessions never search.
    void BuildSearchIndex()
    {
        if (!FIndexed && !FIndexing) {
            FIndexing = true;
            FEngine->searchEngine()->reindexDocumentation();
        }
    }

    void Search(const QString &text)
    {
        if (text.trimmed().isEmpty())
            return;
        if (!FIndexed) {
            FPendingSearch = text;
            BuildSearchIndex();
            return;
        }
        FEngine->searchEngine()->search(text);
    }

    QTextBrowser *Browser() const { return FBrowser; }

private:
    QHelpEngine *FEngine;
    THelpBrowser *FBrowser = nullptr;
    QTabWidget *FTabs = nullptr;
    QSplitter *FSplitter = nullptr;
    QHelpSearchQueryWidget *FQuery = nullptr;
    int FSearchTab = -1;
    bool FIndexing = false;
    bool FIndexed = false;
    QString FPendingSearch;
};

THelpSystem::THelpSystem(QObject *parent)
    : THelpSystem(FindHelpFile(QCoreApplication::applicationDirPath()), QCoreApplication::applicationDirPath(),
                  QCoreApplication::arguments(), parent)
{
}

THelpSystem::THelpSystem(const QString &helpFile, const QString &programFolder, const QStringList &arguments,
                         QObject *parent)
    : QObject(parent), FHelpFile(helpFile), FLog(programFolder, arguments, helpFile)
{
}

THelpSystem::~THelpSystem()
{
    // The window holds the engine's widgets and must go first.
    FClosing = true;
    delete FWindow.data();
    CloseEngine();
}

QString THelpSystem::FindHelpFile(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString beside = QDir::cleanPath(folder.filePath(QStringLiteral("help/cva13.qch")));
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral(CORVANTA_HELP_INSTALLED)));
    if (QFileInfo(installed).isFile())
        return installed;
    return beside;
}

QWidget *THelpSystem::Window() const
{
    return FWindow.data();
}

bool THelpSystem::ShowContext(int context)
{
    FLog.Line(QStringLiteral("THookHelpSystem.HelpHook(HELP_CONTEXT, %1)").arg(context));
    if (!OpenEngine()) {
        FLog.Line(QStringLiteral("Help file not usable: %1").arg(FHelpFile));
        ShowWarning(NotInstalledText);
        return false;
    }
    if (!FWindow) {
        FWindow = new THelpWindow(FEngine);
        PlaceBeside(*FWindow, QApplication::activeWindow());
        // Should the dialog that holds the window be destroyed with it, the
        // engine's widgets went with the window: start afresh next time.
        connect(FWindow, &QObject::destroyed, this, [this] {
            if (!FClosing)
                CloseEngine();
        });
    }
    if (!FWindow->ShowIdentifier(ContextId(context))) {
        FLog.Line(QStringLiteral("No topic for context %1, showing the contents").arg(context));
        FWindow->ShowIdentifier(ContextId(HelpContents));
    }
    ShowWindow();
    return true;
}

void THelpSystem::ShowWarning(const QString &text)
{
    QMessageBox::warning(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(), text);
}

// Opens the help file into a collection of our own. Everything is undone
// when any step fails, so that a later call starts afresh (the user may
// install the help meanwhile).
bool THelpSystem::OpenEngine()
{
    if (FEngine)
        return true;
    const QFileInfo file(FHelpFile);
    if (FHelpFile.isEmpty() || !file.isFile() || !file.isReadable())
        return false;

    // A collection made for this run: it never refers to a help file of an
    // earlier or other installation, and it goes away with the program.
    FCollectionDir = std::make_unique<QTemporaryDir>();
    if (!FCollectionDir->isValid()) {
        FCollectionDir.reset();
        return false;
    }
    FEngine = new QHelpEngine(FCollectionDir->filePath(QStringLiteral("corvanta.qhc")));
    // Qt's engines start read-only, which forbids registering the file.
    FEngine->setReadOnly(false);
    // Set up again after registering, so that the contents and the index
    // are built from the registered file.
    const bool usable = FEngine->setupData() && FEngine->registerDocumentation(file.absoluteFilePath()) &&
                        FEngine->setupData() &&
                        !FEngine->documentsForIdentifier(ContextId(HelpContents)).isEmpty();
    if (!usable) {
        FLog.Line(QStringLiteral("Help engine: %1").arg(FEngine->error()));
        CloseEngine();
        return false;
    }
    return true;
}

void THelpSystem::CloseEngine()
{
    delete FEngine;
    FEngine = nullptr;
    FCollectionDir.reset();
}

void THelpSystem::ShowWindow()
{
    // F1 in a modal dialog: a window of its own would be blocked by the
    // dialog until it closes, so the help window becomes the dialog's child
    // window while the dialog is up, and a window of its own again after.
    Adopt(QApplication::activeModalWidget());
    if (FWindow->isMinimized())
        FWindow->showNormal();
    else
        FWindow->show();
    FWindow->raise();
    FWindow->activateWindow();
}

void THelpSystem::Adopt(QWidget *owner)
{
    if (FWindow->parentWidget() == owner)
        return;
    if (QWidget *old = FWindow->parentWidget())
        old->removeEventFilter(this);
    const bool visible = FWindow->isVisible();
    const QRect geometry = FWindow->geometry();
    FWindow->setParent(owner, Qt::Window);
    if (visible)
        FWindow->setGeometry(geometry);
    if (owner)
        owner->installEventFilter(this);
    if (visible)
        FWindow->show();
}

bool THelpSystem::eventFilter(QObject *watched, QEvent *event)
{
    if (FWindow && watched == FWindow->parentWidget() && event->type() == QEvent::Hide)
        Adopt(nullptr);
    return QObject::eventFilter(watched, event);
}

} // namespace cva

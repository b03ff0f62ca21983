#include "app/NetlistPages.h"

#include <filesystem>

#include <QTabWidget>

#include "app/CircuitDocument.h"
#include "app/NetlistEditor.h"
#include "app/NetlistPageView.h"
#include "document/Catalogue.h"
#include "io/AtomicFile.h"
#include "io/FileReading.h"
#include "netlist/NetlistError.h"
#include "document/NetlistPage.h"

namespace cva {

namespace {

QString FromStd(const std::string &text)
{
    return QString::fromStdString(text);
}

QString FileNameOf(const TCircuitDef &page)
{
    return page.NetlistPath.empty() ? FromStd(page.TabCaption)
                                    : FromStd(std::filesystem::path(page.NetlistPath).filename().string());
}

constexpr int MaxTabLetters = 16;

} // namespace

TNetlistPages::TNetlistPages(QTabWidget *tabs, TCircuitDocument *doc, TChoices choices, QObject *parent)
    : QObject(parent), FTabs(tabs), FDoc(doc), FChoices(std::move(choices)), FFirstPage(TCatalogue().Count())
{
}

void TNetlistPages::Sync(char decimalSeparator)
{
    const TCircuit &circuit = FDoc->Circuit();
    const int netlists = circuit.Pages().Count() - FFirstPage;
    while (int(FViews.size()) > netlists) {
        TNetlistPageView *view = FViews.back();
        FViews.pop_back();
        FTabs->removeTab(FTabs->indexOf(view));
        view->deleteLater();
    }
    while (int(FViews.size()) < netlists) {
        const int page = FFirstPage + int(FViews.size());
        auto *view = new TNetlistPageView(FTabs);
        view->setObjectName(QStringLiteral("netlistPage%1").arg(page));
        connect(view, &TNetlistPageView::ComponentActivated, this, &TNetlistPages::ComponentActivated);
        connect(view, &TNetlistPageView::TextPaused, this, [this, view](const QString &text) {
            const auto at = std::find(FViews.begin(), FViews.end(), view);
            if (at != FViews.end())
                ApplyText(FFirstPage + int(at - FViews.begin()), text);
        });
        FViews.push_back(view);
        FTabs->addTab(view, QString());
    }
    // The built-in tabs fit side by side; netlists' titles are longer and
    // may be many, so their tabs are cut short and the bar scrolls.
    FTabs->setUsesScrollButtons(netlists > 0);
    for (int i = 0; i < netlists; ++i) {
        const int page = FFirstPage + i;
        const QString caption = FromStd(circuit.Pages().Page(page).TabCaption);
        FTabs->setTabText(page, caption.size() > MaxTabLetters ? caption.left(MaxTabLetters - 1) + QChar(0x2026) : caption);
        FTabs->setTabToolTip(page, caption);
        FViews[std::size_t(i)]->Show(circuit, page, decimalSeparator);
    }
}

TNetlistPageView *TNetlistPages::View(int page) const
{
    const int i = page - FFirstPage;
    return i >= 0 && i < int(FViews.size()) ? FViews[std::size_t(i)] : nullptr;
}

bool TNetlistPages::ActiveIsNetlist() const
{
    return FDoc->Circuit().ActiveInfo().IsNetlist();
}

bool TNetlistPages::PageModified(int page) const
{
    const TCircuitDef &info = FDoc->Circuit().Pages().Page(page);
    const auto disk = FOnDisk.find(info.NetlistPath);
    return info.NetlistPath.empty() || disk == FOnDisk.end() || disk->second != info.NetlistText;
}

bool TNetlistPages::ActiveModified() const
{
    return ActiveIsNetlist() && PageModified(FDoc->Circuit().Active);
}

QString TNetlistPages::ActiveFileName() const
{
    return FileNameOf(FDoc->Circuit().ActiveInfo());
}

void TNetlistPages::ApplyText(int page, const QString &text)
{
    TNetlistPageView *view = View(page);
    if (!view)
        return;
    // What is typed takes the line breaks of the file, as the editor shows \n alone.
    std::string typed = text.toStdString();
    if (FDoc->Circuit().Pages().Page(page).NetlistText.find("\r\n") != std::string::npos)
        typed = QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
    if (typed == FDoc->Circuit().Pages().Page(page).NetlistText) {
        // Back to what the page shows: nothing to read again.
        view->Editor()->ShowError(-1, QString());
        return;
    }
    // Read on a copy first: a text that cannot be read marks its line and
    // leaves the circuit, its curve and the undo history as they were.
    TCircuit trial = FDoc->Circuit();
    try {
        ReplaceNetlistText(trial, page, typed);
    } catch (const TNetlistError &error) {
        view->Editor()->ShowError(error.Line - 1, QString::fromStdString(error.what()));
        return;
    } catch (const CorvantaError &error) {
        view->Editor()->ShowError(-1, QString::fromStdString(error.what()));
        return;
    }
    view->Editor()->ShowError(-1, QString());
    FDoc->Apply({.What = QStringLiteral("Edit %1").arg(FromStd(trial.Pages().Page(page).TabCaption)),
                 .Edit = [&trial](TCircuit &circuit) {
                     const int active = circuit.Active;
                     circuit = trial;
                     circuit.Active = active;
                 }});
}

void TNetlistPages::NewNetlist()
{
    FDoc->Apply({.What = QStringLiteral("New netlist"), .Edit = [](TCircuit &circuit) {
                     AddNetlistPage(circuit, ReadNetlist(NetlistTemplate(), "new netlist"));
                 }});
}

void TNetlistPages::Opened(const std::string &path, const std::string &text)
{
    FOnDisk[path] = text;
}

bool TNetlistPages::Save(bool choosePath)
{
    return ActiveIsNetlist() && SavePage(FDoc->Circuit().Active, choosePath);
}

bool TNetlistPages::SavePage(int page, bool choosePath)
{
    const TCircuitDef &info = FDoc->Circuit().Pages().Page(page);
    std::string path = info.NetlistPath;
    if (choosePath || path.empty()) {
        const QString chosen = FChoices.SaveFile(FileNameOf(info));
        if (chosen.isEmpty())
            return false;
        path = chosen.toStdString();
    }
    const std::string text = info.NetlistText;
    if (!FChoices.Guarded([&] {
            CheckSavedKind(path, text, true);
            WriteFileAtomically(path, text, {.Durable = true, .Special = TSpecialFiles::Refused});
        }))
        return false;
    FOnDisk[path] = text;
    if (path != info.NetlistPath)
        // The file a page belongs to is no step of its own to undo.
        FDoc->Apply({.Edit =
                         [page, &path](TCircuit &circuit) {
                             TCircuitDef renamed = circuit.Pages().Page(page);
                             renamed.NetlistPath = path;
                             circuit.ReplacePage(page, std::move(renamed), TCircuit::TPageValues::Kept);
                         },
                     .Recorded = false});
    emit Saved(QString::fromStdString(path));
    return true;
}

void TNetlistPages::Revert()
{
    const TCircuitDef &info = FDoc->Circuit().ActiveInfo();
    if (!info.IsNetlist() || info.NetlistPath.empty())
        return;
    const int page = FDoc->Circuit().Active;
    const std::string path = info.NetlistPath;
    std::string text;
    TCircuit trial = FDoc->Circuit();
    if (!FChoices.Guarded([&] {
            text = ReadWholeFile(path, 16 * 1024 * 1024, "a netlist is a few kilobytes", TSpecialFiles::Refused);
            ReplaceNetlistText(trial, page, text);
        }))
        return;
    FOnDisk[path] = text;
    FDoc->Apply({.What = QStringLiteral("Revert %1").arg(FileNameOf(info)),
                 .Edit = [&trial](TCircuit &circuit) { circuit = trial; }});
}

bool TNetlistPages::CheckSave()
{
    for (int page = FFirstPage; page < FDoc->Circuit().Pages().Count(); ++page) {
        if (!PageModified(page))
            continue;
        switch (FChoices.AskSave(FileNameOf(FDoc->Circuit().Pages().Page(page)))) {
        case QMessageBox::Yes:
            if (!SavePage(page, false))
                return false;
            break;
        case QMessageBox::No:
            break;
        default:
            return false;
        }
    }
    return true;
}

} // namespace cva

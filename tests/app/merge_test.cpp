// File ▸ Merge... in the main window: the menu entry, the canvas showing the
// first ticked row (or the raw fields), and print going through the merge
// with its warnings asked about first.
#include "shell_fixture.h"

#include "app/mergecommands.h"
#include "cli_runner.h"
#include "model/mergesource.h"
#include "output/carddoc.h"

#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>

namespace {

using canvas::TSandbox;

class MergeTest : public ShellTest {
protected:
    // A one-card document with a text of fields and a merge of three rows.
    TSandbox* mergedDocument(const std::u16string& text, std::vector<int32_t> skipped = {})
    {
        TSandbox* d = untitled();
        EXPECT_NE(d, nullptr);
        outdoc::sheet_t s;
        s.designType = 2;
        outdoc::applySheet(d->items(), d->header(), s);
        testdoc::addText(d->items(), 20, 100, 300, 100, text, 0, 1, 14);
        QFile f(path(QStringLiteral("people.csv")));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("name,city\nAnna,Rome\nBob,Oslo\nCleo,Lima\n");
        f.close();
        model::mergeSettings_t m;
        m.source = path(QStringLiteral("people.csv")).toStdString();
        m.skipped = std::move(skipped);
        model::writeMergeSettings(d->items(), m);
        return d;
    }
    app::mergeCommands_t* commands() const
    {
        for (QObject* o : w->findChildren<QObject*>())
            if (auto* c = dynamic_cast<app::mergeCommands_t*>(o)) return c;
        return nullptr;
    }
};

TEST_F(MergeTest, FileMenuOffersMergeBeforePrintPreview)
{
    QStringList texts;
    for (QAction* a : w->menuBar()->actions())
        if (a->text() == QStringLiteral("&File"))
            for (QAction* e : a->menu()->actions()) texts << e->text();
    const qsizetype merge = texts.indexOf(QStringLiteral("Merge...")), preview = texts.indexOf(QStringLiteral("Print Preview"));
    ASSERT_GE(merge, 0) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_LT(merge, preview);
    EXPECT_GE(texts.indexOf(QStringLiteral("Show Merge Fields")), 0);
}

TEST_F(MergeTest, CanvasShowsTheFirstTickedRowUnlessRawFieldsAreAsked)
{
    TSandbox* d = mergedDocument(u"${name} of ${city}", {1});
    app::mergeCommands_t* c = commands();
    ASSERT_NE(c, nullptr);
    d->repaintAll(true);
    const QImage raw = d->canvasImage().copy();
    c->showValues(d);
    ASSERT_TRUE(bool(d->view().substituteText));
    std::u16string shown;
    const model::item_t* text = d->items().tail;
    ASSERT_TRUE(d->view().substituteText(text, shown));
    EXPECT_EQ(shown, u"Bob of Oslo");  // row 1 is not ticked
    EXPECT_NE(d->canvasImage(), raw);
    c->setRawFields(true);
    EXPECT_FALSE(bool(d->view().substituteText));
    EXPECT_EQ(d->canvasImage(), raw);
    c->setRawFields(false);
}

TEST_F(MergeTest, PrintMakesOneCardPerTickedRow)
{
    TSandbox* d = mergedDocument(u"${name} of ${city}", {2});
    const QString pdf = path(QStringLiteral("cards.pdf"));
    dlg.printAnswers.push_back(pdf);
    w->printDocument(d);
    EXPECT_EQ(dlg.printRequests, 1);
    EXPECT_TRUE(dlg.messages.empty());
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils)";
    const auto text = testcli::runProgram(tool, {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.out.contains(QStringLiteral("Anna of Rome"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("Cleo of Lima")));
    EXPECT_FALSE(text.out.contains(QStringLiteral("Bob")));
    EXPECT_EQ(text.out.count(QLatin1Char('\f')), 2) << "one page per card of a one-card design";
}

TEST_F(MergeTest, WarningsComeBeforePrintingAndNoPrintsNothing)
{
    TSandbox* d = mergedDocument(u"${name} ${nick}");
    dlg.answers.push_back(ui::btnNo);
    w->printDocument(d);
    ASSERT_EQ(dlg.messages.size(), 1u);
    EXPECT_TRUE(dlg.messages[0].text.contains(QStringLiteral("no column \"nick\""))) << dlg.messages[0].text.toStdString();
    EXPECT_EQ(dlg.printRequests, 0);
}

} // namespace

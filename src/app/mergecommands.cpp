#include "app/mergecommands.h"

#include "app/mainwindow.h"
#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "model/mergecards.h"
#include "model/mergesource.h"
#include "output/mergebarcodes.h"
#include "output/renderoutput.h"
#include "ui/dialogs.h"
#include "ui/mergedialog.h"
#include "ui/mergeprint.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace app {

namespace {

std::string documentPath(const canvas::TSandbox* w) { return w->fileName().toStdString(); }

// Rows to read to reach the first ticked one.
size_t rowsToFirstTicked(const std::vector<int32_t>& skipped)
{
    size_t first = 1;
    for (int32_t r : skipped) {
        if (r == int32_t(first)) ++first;
        else if (r > int32_t(first)) break;
    }
    return first;
}

} // namespace

bool documentMerge(canvas::TSandbox* w, documentMerge_t& out, QString* error)
{
    model::mergeSettings_t s;
    if (!w || !model::readMergeSettings(w->items(), s)) return false;
    const std::string path = model::locateSource(s, documentPath(w));
    out.table = std::make_unique<model::csvTable_t>(model::readCsvFile(path, s.options));
    const model::csvTable_t& t = *out.table;
    if (!t.ok()) {
        if (error) *error = QStringLiteral("The data file %1 cannot be read: %2.").arg(QString::fromStdString(path), QString::fromStdString(t.error));
        return true;
    }
    const model::mergeCards_t cards = model::mergeCards(t, s);
    if (!cards.error.empty()) {
        if (error) *error = QString::fromStdString(cards.error);
        return true;
    }
    out.job.table = out.table.get();
    out.job.cards = cards.cards;
    out.job.startCell = s.startCell;
    out.job.printAreas = w->printAreas();
    out.warnings = t.warnings;
    out.warnings.insert(out.warnings.end(), cards.warnings.begin(), cards.warnings.end());
    for (auto& m : model::mergeWarnings(w->items(), t, cards.cards)) out.warnings.push_back(std::move(m));
    for (auto& m : output::mergeBarcodeProblems(w->items(), t, cards.cards)) out.warnings.push_back(std::move(m));
    return true;
}

mergeCommands_t::mergeCommands_t(TForm1& shell) : QObject(&shell), shell_(shell)
{
    // A document opened with a merge shows its values as soon as it is active.
    connect(shell_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (auto* w = sub ? dynamic_cast<canvas::TSandbox*>(sub->widget()) : nullptr; w && !w->view().substituteText)
            showValues(w);
    });
}

void mergeCommands_t::build(QMenuBar* bar)
{
    QMenu* file = nullptr;
    for (QAction* a : bar->actions())
        if (a->menu() && a->text() == QStringLiteral("&File")) file = a->menu();
    if (!file) return;
    QAction* before = nullptr;
    for (QAction* a : file->actions())
        if (a->text() == QStringLiteral("Print Preview")) before = a;
    mergeAction = new QAction(QStringLiteral("Merge..."), file);
    connect(mergeAction, &QAction::triggered, this, [this] { runMergeDialog(shell_.activeDocument()); });
    rawFieldsAction = new QAction(QStringLiteral("Show Merge Fields"), file);
    rawFieldsAction->setCheckable(true);
    connect(rawFieldsAction, &QAction::toggled, this, [this](bool on) { setRawFields(on); });
    file->insertAction(before, mergeAction);
    file->insertAction(before, rawFieldsAction);
    file->insertSeparator(before);
}

void mergeCommands_t::runMergeDialog(canvas::TSandbox* w)
{
    if (!w || !w->header()) return;
    model::mergeSettings_t s;
    const bool had = model::readMergeSettings(w->items(), s);
    const model::mergeSettings_t kept = s;
    if (had) s.source = model::locateSource(s, documentPath(w));
    ui::TMergeDialog dialog(w->items(), s, w->printAreas(), &shell_);
    if (dialog.exec() != QDialog::Accepted) return;
    if (dialog.removeChosen()) {
        if (!model::clearMergeSettings(w->items())) return;
    } else {
        model::mergeSettings_t chosen = dialog.settings();
        const std::string absolute = chosen.source;
        chosen.source = model::storedSourcePath(absolute, documentPath(w));
        if (chosen.source != absolute) chosen.sourceAbsolute = absolute;
        if (had && chosen == kept) return;
        model::writeMergeSettings(w->items(), chosen);
    }
    model::setModified(w->items(), true);
    w->refreshCaption();
    showValues(w);
}

void mergeCommands_t::showValues(canvas::TSandbox* w)
{
    if (!w) return;
    model::mergeSettings_t s;
    render::textSubstitute_t hook;
    if (!rawFields_ && model::readMergeSettings(w->items(), s)) {
        const size_t rows = rowsToFirstTicked(s.skipped);
        auto table = std::make_shared<model::csvTable_t>(
            model::readCsvFile(model::locateSource(s, documentPath(w)), s.options, rows));
        if (table->ok() && table->rows.size() >= rows) {
            const model::mergeCard_t first{int32_t(rows - 1), s.startNumber};
            // The hook keeps the table it reads alive. A text being typed or
            // changed shows its fields, which the caret walks through.
            hook = [table, fill = output::cardSubstitute(*table, first), win = QPointer<canvas::TSandbox>(w)](
                       const model::item_t* item, std::u16string& text) {
                if (win && item->selected &&
                    (win->mode() == canvas::modeTextEditing || win->mode() == canvas::toolText))
                    return false;
                return fill(item, text);
            };
        }
    }
    const bool had = bool(w->view().substituteText);
    w->view().substituteText = hook;
    if (had || hook) w->repaintAll(true);
}

void mergeCommands_t::setRawFields(bool raw)
{
    rawFields_ = raw;
    if (rawFieldsAction && rawFieldsAction->isChecked() != raw) rawFieldsAction->setChecked(raw);
    for (canvas::TSandbox* w : shell_.documents()) showValues(w);
}

bool printMerge(TForm1& shell, canvas::TSandbox* w, bool cropMarks, const ui::printCorrection_t& correction)
{
    documentMerge_t merge;
    QString error;
    if (!documentMerge(w, merge, &error)) return false;
    if (!error.isEmpty()) {
        ui::dialogs().message(ui::msgKind_t::error, error, ui::btnOk);
        return true;
    }
    if (!merge.warnings.empty()) {
        QStringList lines;
        for (const auto& m : merge.warnings) lines << QString::fromStdString(m);
        const QString text = QStringLiteral("The merge has these faults:\n\n%1\n\nPrint anyway?").arg(lines.join(QLatin1Char('\n')));
        if (ui::dialogs().message(ui::msgKind_t::confirmation, text, ui::btnYes | ui::btnNo) != ui::btnYes) return true;
    }
    if (ui::printMergedSheets(w->items(), w->caption(), merge.job, cropMarks, correction) != ui::printResult_t::printed)
        return true;
    const QString cards = QStringLiteral("\"%1\" was printed: %2 cards").arg(w->caption()).arg(merge.job.cards.size());
    if (correction.used && !correction.used->isEmpty())
        shell.showStatus(QStringLiteral("%1 with the printer correction %2.").arg(cards, *correction.used));
    else shell.showStatus(cards + QLatin1Char('.'));
    return true;
}

QImage mergePreview(canvas::TSandbox* w)
{
    documentMerge_t merge;
    if (!documentMerge(w, merge, nullptr) || !merge.job.table) return {};
    const model::item_t* header = w->header();
    const auto sheets = output::mergedSheets(header->hdr(), merge.job);
    if (sheets.empty()) return {};
    return output::mergedSheetImage(w->items(), output::screenDevice(header, output::modeExport), merge.job, sheets[0]);
}

} // namespace app

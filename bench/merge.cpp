// Data merge speed: 1,000 rows of names and addresses onto sheets of ten
// business cards into one vector PDF (100 sheets), and the Merge dialog's
// preview of a 100,000-row table (reading only the rows it shows) beside
// reading the whole table.
#include "../tests/output/carddoc.h"
#include "model/csv.h"
#include "model/mergecards.h"
#include "output/mergesheet.h"
#include "ui/mergedialog.h"

#include "benchmain.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <fstream>

namespace {

void addressCards(model::itemList_t& list)
{
    outdoc::build(list, outdoc::tenBusinessCards());
    testdoc::addText(list, 20, 60, 300, 60, u"${name}", 0, 1, 14);
    testdoc::addText(list, 20, 170, 300, 170, u"${street}\n${street2}\n${city}\nNo ${#}", 0, 1, 10);
}

// A table of `rows` people; every third has a second address line.
std::string writeTable(const QTemporaryDir& dir, int rows)
{
    const std::string path = dir.filePath(QStringLiteral("people%1.csv").arg(rows)).toStdString();
    std::ofstream out(path, std::ios::binary);
    out << "name,street,street2,city\n";
    for (int i = 1; i <= rows; ++i)
        out << "Person " << i << ",\"" << i << " Main Street\"," << (i % 3 ? "" : "Flat 2") << ",Town " << i % 97 << "\n";
    return path;
}

void BM_MergeThousandRowsToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    addressCards(list);
    const model::csvTable_t table = model::readCsvFile(writeTable(dir, 1000), {});
    output::mergeJob_t job;
    job.table = &table;
    job.cards = model::mergeCards(table, {}).cards;
    const QString pdf = dir.filePath(QStringLiteral("merged.pdf"));
    for (auto _ : state) {
        QString why;
        int32_t pages = 0;
        if (!output::writeMergedPdf(list, pdf, job, 300, {}, false, &why, &pages)) state.SkipWithError("merge failed");
        state.counters["sheets"] = pages;
    }
    state.counters["bytes"] = double(QFileInfo(pdf).size());
    model::freeList(list);
}
BENCHMARK(BM_MergeThousandRowsToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

// The dialog opening on a 100,000-row table: its preview read and shown.
void BM_MergeDialogOnHundredThousandRows(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    addressCards(list);
    model::mergeSettings_t s;
    s.source = writeTable(dir, 100000);
    for (auto _ : state) {
        ui::TMergeDialog dialog(list, s, {});
        benchmark::DoNotOptimize(dialog.preview().rows.size());
    }
    model::freeList(list);
}
BENCHMARK(BM_MergeDialogOnHundredThousandRows)->Unit(benchmark::kMillisecond);

void BM_ReadWholeHundredThousandRows(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string path = writeTable(dir, 100000);
    for (auto _ : state) benchmark::DoNotOptimize(model::readCsvFile(path, {}).rows.size());
}
BENCHMARK(BM_ReadWholeHundredThousandRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return benchmarks::runWithWidgets(argc, argv); }

// Recovery snapshots: written after a change, gone after a save, a close or a
// clean exit; left behind by an editor that is killed, offered at the next
// start with every item, restored under the original name, discarded on
// request; never mistaken for a running editor's; off with one message when
// the folder cannot be written.
#include "shell_fixture.h"

#include "app/recoverydialog.h"
#include "app/recoverykeeper.h"
#include "model/docfile.h"
#include "model/history.h"
#include "settings/recoverystore.h"

#include <QDir>
#include <QProcess>
#include <QStatusBar>

#include <csignal>
#include <fstream>

using app::recoveryDialog_t;
using canvas::TSandbox;

namespace {

model::item_t* addBox(TSandbox* d, int x, int32_t colour)
{
    model::item_t* it = model::newItem(d->items(), model::typeRectangle);
    it->x1 = x, it->y1 = 40, it->x2 = x + 60, it->y2 = 90;
    it->boxLeft = it->x1, it->boxRight = it->x2, it->boxTop = it->y1, it->boxBottom = it->y2;
    it->fillColor = colour;
    for (auto [px, py] : {std::pair{it->x1, it->y1}, {it->x2, it->y1}, {it->x2, it->y2}, {it->x1, it->y2}})
        model::addPoint(it, px, py);
    model::recordNew(d->items(), it);
    return it;
}

std::vector<uint8_t> fileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return {b.begin(), b.end()};
}

// The snapshots of an editor that died: an index, a snapshot and a lock
// naming a process that no longer runs.
settings::recoveryEntry_t makeOrphan(const QString& folder, const QString& id, const std::vector<uint8_t>& bytes,
                                     const QString& original)
{
    QDir().mkpath(folder);
    settings::recoveryEntry_t e;
    e.docNumber = 7;
    e.snapshot = QDir(folder).filePath(id + QStringLiteral("-7.lmra"));
    e.original = original;
    e.title = QStringLiteral("orphan");
    e.time = QDateTime::currentDateTime();
    e.index = QDir(folder).filePath(id + QStringLiteral(".json"));
    EXPECT_TRUE(model::writeBytesToFile(e.snapshot.toStdString(), bytes));
    settings::recoveryStore_t writer(folder);
    QFile index(e.index);
    EXPECT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(writer.indexBytes({e}));
    index.close();
    QFile lock(QDir(folder).filePath(id + QStringLiteral(".lock")));
    EXPECT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("999999999\nlumora\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    return e;
}

class Recovery : public ShellTest {
protected:
    QString folder() const { return settings::recoveryFolder(); }
    std::vector<uint8_t> documentBytes(TSandbox* d)
    {
        std::vector<uint8_t> b;
        EXPECT_TRUE(model::encodeDocument(d->items(), b));
        return b;
    }
};

} // namespace

// Not a test of its own: the editor the next test starts and kills. It edits
// a saved document, lets its snapshot be written, keeps the bytes a save
// would write, and dies without any clean-up.
TEST_F(Recovery, ChildEditsThenIsKilled)
{
    const QString dir = qEnvironmentVariable("LUMORA_RECOVERY_CHILD");
    if (dir.isEmpty()) GTEST_SKIP() << "run by KilledEditorLeavesASnapshotThatIsOfferedAndRestored";
    qputenv("XDG_DATA_HOME", QDir(dir).filePath(QStringLiteral("data")).toLocal8Bit());
    restart();
    TSandbox* d = untitled();
    dlg.fileAnswers.push_back(QDir(dir).filePath(QStringLiteral("plan.lmra")));
    ASSERT_TRUE(w->saveDocumentAs(d));
    for (int k = 0; k < 5; ++k) addBox(d, 30 + 80 * k, 0x102030 * (k + 1));
    model::setModified(d->items(), true);
    w->showModified(d);
    ASSERT_TRUE(w->recovery()->idleTimer().isActive());
    w->recovery()->snapshotNow();
    w->recovery()->waitForWriter();
    const std::vector<uint8_t> reference = documentBytes(d);
    ASSERT_TRUE(model::writeBytesToFile(QDir(dir).filePath(QStringLiteral("reference.lmra")).toStdString(), reference));
    std::raise(SIGKILL);
}

TEST_F(Recovery, KilledEditorLeavesASnapshotThatIsOfferedAndRestored)
{
    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUMORA_RECOVERY_CHILD"), dir.path());
    env.insert(QStringLiteral("LUMORA_CONFIG_DIR"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=Recovery.ChildEditsThenIsKilled")});
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAll().toStdString();

    // The next start, on the same data folder.
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    restart();
    const std::vector<settings::recoveryEntry_t> orphans = settings::recoveryStore_t::orphans(folder());
    ASSERT_EQ(orphans.size(), 1u);
    const QString original = dir.filePath(QStringLiteral("plan.lmra"));
    EXPECT_EQ(orphans[0].original, original);
    EXPECT_FALSE(orphans[0].damaged);
    const std::vector<uint8_t> reference = fileBytes(dir.filePath(QStringLiteral("reference.lmra")));
    ASSERT_FALSE(reference.empty());
    EXPECT_EQ(fileBytes(orphans[0].snapshot), reference);  // every record and attribute
    const std::vector<uint8_t> savedBefore = fileBytes(original);
    EXPECT_NE(savedBefore, reference);  // the original file was never written by the snapshots

    ASSERT_TRUE(w->offerRecovery());
    recoveryDialog_t* offer = w->recoveryDialog();
    ASSERT_NE(offer, nullptr);
    ASSERT_EQ(offer->list->count(), 1);
    EXPECT_FALSE(offer->list->item(0)->icon().isNull());
    EXPECT_TRUE(offer->restoreButton->isEnabled());
    offer->restoreButton->click();
    TSandbox* d = w->activeDocument();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->fileName(), original);
    EXPECT_TRUE(d->isModified());
    int boxes = 0;
    for (model::item_t* it = d->items().head; it; it = it->next)
        if (it->kind == model::kindItem && !it->hidden && it->itemType == model::typeRectangle) ++boxes;
    EXPECT_EQ(boxes, 5);
    EXPECT_TRUE(settings::recoveryStore_t::orphans(folder()).empty());
    // Save writes the original file, never the snapshot.
    ASSERT_TRUE(w->saveDocument(d, true));
    EXPECT_EQ(fileBytes(original).size(), reference.size());
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(Recovery, SnapshotsFollowChangesAndGoWithSaveCloseAndACleanExit)
{
    TSandbox* d = untitled();
    ASSERT_TRUE(w->recovery()->active());
    addBox(d, 40, 0xFF);
    model::setModified(d->items(), true);
    w->showModified(d);
    EXPECT_TRUE(w->recovery()->idleTimer().isActive());
    EXPECT_EQ(w->recovery()->idleTimer().interval(), app::defaultIdleMs);
    EXPECT_TRUE(w->recovery()->longestTimer().isActive());
    w->recovery()->snapshotNow();
    w->recovery()->waitForWriter();
    const QString snapshot = w->recovery()->store().snapshotPath(d->documentNumber());
    EXPECT_EQ(fileBytes(snapshot), documentBytes(d));
    // A second editor running beside this one sees no orphan.
    EXPECT_TRUE(settings::recoveryStore_t::orphans(folder()).empty());

    dlg.fileAnswers.push_back(path(QStringLiteral("kept.lmra")));
    ASSERT_TRUE(w->saveDocumentAs(d));
    EXPECT_FALSE(QFileInfo::exists(snapshot));

    TSandbox* other = w->openDocumentWindow(QString());
    addBox(other, 40, 0xFF00);
    model::setModified(other->items(), true);
    w->showModified(other);
    w->recovery()->snapshotNow();
    w->recovery()->waitForWriter();
    const QString otherSnapshot = w->recovery()->store().snapshotPath(other->documentNumber());
    ASSERT_TRUE(QFileInfo::exists(otherSnapshot));
    model::setModified(other->items(), false);  // closed without saving
    other->parentWidget()->close();
    flushDeletes();
    EXPECT_FALSE(QFileInfo::exists(otherSnapshot));

    addBox(d, 200, 0xFF);
    model::setModified(d->items(), true);
    w->showModified(d);
    w->recovery()->snapshotNow();
    w->recovery()->waitForWriter();
    model::setModified(d->items(), false);
    w->confirmExit();
    w.reset();
    // Nothing of the run is left but what another editor would own.
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty()) << QDir(folder()).entryList(QDir::Files).join(' ').toStdString();
}

TEST_F(Recovery, DamagedSnapshotsAreListedAndCanOnlyBeDiscarded)
{
    TSandbox* d = untitled();
    addBox(d, 40, 0xFF);
    const settings::recoveryEntry_t good = makeOrphan(folder(), QStringLiteral("dead-a"), documentBytes(d), QString());
    makeOrphan(folder(), QStringLiteral("dead-b"), {'P', 'K', 3, 4, 0, 0}, QStringLiteral("/tmp/x.lmra"));
    // An index that is not JSON is skipped.
    QFile junk(QDir(folder()).filePath(QStringLiteral("dead-c.json")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("{{{ not json");
    junk.close();

    const auto orphans = settings::recoveryStore_t::orphans(folder());
    ASSERT_EQ(orphans.size(), 2u);
    ASSERT_TRUE(w->offerRecovery());
    recoveryDialog_t* offer = w->recoveryDialog();
    ASSERT_NE(offer, nullptr);
    for (int row = 0; row < 2; ++row) {
        offer->list->setCurrentRow(row);
        const bool damaged = offer->entries()[size_t(row)].damaged;
        EXPECT_EQ(offer->restoreButton->isEnabled(), !damaged);
        EXPECT_EQ(offer->saveAsButton->isEnabled(), !damaged);
        EXPECT_TRUE(offer->discardButton->isEnabled());
    }
    // Discard removes the snapshot and its index; the other stays for later.
    const int damagedRow = offer->entries()[0].damaged ? 0 : 1;
    offer->list->setCurrentRow(damagedRow);
    offer->discardButton->click();
    ASSERT_EQ(offer->entries().size(), 1u);
    EXPECT_EQ(offer->entries()[0].snapshot, good.snapshot);
    EXPECT_FALSE(QFileInfo::exists(QDir(folder()).filePath(QStringLiteral("dead-b-7.lmra"))));
    EXPECT_FALSE(QFileInfo::exists(QDir(folder()).filePath(QStringLiteral("dead-b.json"))));
    offer->laterButton->click();
    EXPECT_EQ(settings::recoveryStore_t::orphans(folder()).size(), 1u);
    // Save As writes the snapshot where the user says and the orphan goes.
    ASSERT_TRUE(w->offerRecovery());
    dlg.fileAnswers.push_back(path(QStringLiteral("rescued")));
    w->recoveryDialog()->saveAsButton->click();
    EXPECT_EQ(fileBytes(path(QStringLiteral("rescued.lmra"))), documentBytes(d));
    EXPECT_TRUE(settings::recoveryStore_t::orphans(folder()).empty());
}

TEST_F(Recovery, AFolderThatCannotBeWrittenTurnsSnapshotsOffAndSavingStillWorks)
{
    // A file where the folder should be: no snapshot can be written, even by root.
    w->confirmExit();
    w.reset();
    const QString data = cfg.filePath(QStringLiteral("blocked"));
    QFile block(data);
    ASSERT_TRUE(block.open(QIODevice::WriteOnly));
    block.close();
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    w = std::make_unique<app::TForm1>();
    w->show();
    w->untitledTimer().stop();
    w->setupPanelTimer().stop();
    EXPECT_FALSE(w->recovery()->active());
    EXPECT_TRUE(w->statusBar()->currentMessage().startsWith(QStringLiteral("Recovery snapshots are off for this session")))
        << w->statusBar()->currentMessage().toStdString();
    TSandbox* d = untitled();
    addBox(d, 40, 0xFF);
    model::setModified(d->items(), true);
    w->showModified(d);
    EXPECT_FALSE(w->recovery()->idleTimer().isActive());
    dlg.fileAnswers.push_back(path(QStringLiteral("still.lmra")));
    EXPECT_TRUE(w->saveDocumentAs(d));
    EXPECT_FALSE(d->isModified());
}

// The switch in the Tools menu is kept in the store.
TEST_F(Recovery, TheToolsMenuSwitchTurnsSnapshotsOffAndIsRemembered)
{
    ASSERT_NE(w->recoveryItem(), nullptr);
    EXPECT_TRUE(w->recoveryItem()->isChecked());
    w->recoveryItem()->setChecked(false);
    EXPECT_FALSE(w->recovery()->active());
    restart();
    EXPECT_FALSE(w->recoveryItem()->isChecked());
    EXPECT_FALSE(w->recovery()->active());
    w->recoveryItem()->setChecked(true);
    EXPECT_TRUE(w->recovery()->active());
}

// The command-line tool lists the orphans and copies one out.
TEST_F(Recovery, TheCommandLineListsAndExtractsOrphans)
{
    TSandbox* d = untitled();
    addBox(d, 40, 0xFF);
    const std::vector<uint8_t> bytes = documentBytes(d);
    makeOrphan(folder(), QStringLiteral("dead-a"), bytes, QStringLiteral("/home/u/plan.lmra"));
    auto runCli = [&](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);  // XDG_DATA_HOME is the test's
        p.start(QStringLiteral(LUMORA_CLI), QStringList{QStringLiteral("recover")} + args);
        p.waitForFinished(60000);
        return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
    };
    const auto [listed, out] = runCli({QStringLiteral("--list")});
    EXPECT_EQ(listed, 0);
    EXPECT_TRUE(out.startsWith(QStringLiteral("1\t"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("/home/u/plan.lmra")));
    const QString target = path(QStringLiteral("out.lmra"));
    EXPECT_EQ(runCli({QStringLiteral("--extract"), QStringLiteral("1"), target}).first, 0);
    EXPECT_EQ(fileBytes(target), bytes);
    EXPECT_EQ(runCli({QStringLiteral("--extract"), QStringLiteral("2"), target}).first, 1);
    EXPECT_EQ(runCli({QStringLiteral("--extract"), QStringLiteral("1x"), target}).first, 1);
}

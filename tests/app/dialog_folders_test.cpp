// The file dialogs: they never read the files they list, they start in the
// user's own folders, and a folder that could not take a file is not
// remembered.
#include "shell_fixture.h"

#include "settings/folders.h"

#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

using canvas::TSandbox;

namespace {

// Ends the whole test program when the main thread is stuck longer than
// `seconds`: a blocked event loop cannot fail a test any other way.
class watchdog_t {
public:
    watchdog_t(int seconds, const char* what)
        : thread_([this, seconds, what] {
              std::unique_lock<std::mutex> lock(m_);
              if (!cv_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) {
                  std::fprintf(stderr, "FAILED: %s did not return within %d s\n", what, seconds);
                  std::fflush(stderr);
                  std::_Exit(1);
              }
          })
    {
    }
    ~watchdog_t()
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            done_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

// HOME and XDG_CONFIG_HOME pointed at a temporary folder for one test; the
// user's documents folder named in its user-dirs.dirs, as the desktop writes it.
class userHome_t {
public:
    explicit userHome_t(const QString& documentsName = QStringLiteral("Documents"))
        : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")), hadConfig_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
        QDir(home.path()).mkpath(QStringLiteral(".config"));
        QFile dirs(home.filePath(QStringLiteral(".config/user-dirs.dirs")));
        if (dirs.open(QIODevice::WriteOnly))
            dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/" + documentsName.toUtf8() + "\"\nXDG_PICTURES_DIR=\"$HOME/Pictures\"\n");
    }
    ~userHome_t()
    {
        qputenv("HOME", oldHome_);
        if (hadConfig_) qputenv("XDG_CONFIG_HOME", oldConfig_);
        else qunsetenv("XDG_CONFIG_HOME");
    }
    QString make(const QString& name) const
    {
        QDir(home.path()).mkpath(name);
        return QDir::cleanPath(home.filePath(name));
    }
    QTemporaryDir home;

private:
    QByteArray oldHome_, oldConfig_;
    bool hadConfig_;
};

} // namespace

// ---- the dialog never reads what it lists ----

TEST(FileDialog, IconsAndTypesComeFromTheNameAlone)
{
    QTemporaryDir dir;
    // A PNG without an extension: only its contents say what it is.
    const QString png = dir.filePath(QStringLiteral("snapshot"));
    QFile f(png);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    f.close();
    // The platform's provider sniffs the bytes; this one must not.
    const QAbstractFileIconProvider sniffing;
    ASSERT_TRUE(sniffing.type(QFileInfo(png)).contains(QStringLiteral("PNG"))) << "the file would be sniffed";
    const ui::nameOnlyIconProvider_t icons;
    EXPECT_EQ(icons.type(QFileInfo(png)), QStringLiteral("File"));
    EXPECT_EQ(icons.type(QFileInfo(dir.path())), QStringLiteral("Folder"));
    EXPECT_TRUE(icons.type(QFileInfo(dir.filePath(QStringLiteral("a.png")))).contains(QStringLiteral("PNG")));
    EXPECT_FALSE(icons.icon(QFileInfo(png)).isNull());

    // A FIFO: opening it for reading would wait for a writer forever.
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const watchdog_t guard(20, "the icon provider on a FIFO");
    EXPECT_EQ(icons.type(QFileInfo(fifo)), QStringLiteral("File"));
    EXPECT_FALSE(icons.icon(QFileInfo(fifo)).isNull());
}

struct listedFolder_t {
    const char* name;
    const char* path;  // empty: a new folder holding a FIFO and a document
};
void PrintTo(const listedFolder_t& f, std::ostream* os) { *os << f.name; }

class RealOpenDialog : public ::testing::TestWithParam<listedFolder_t> {};

// The real dialog, open on the folder until the listing and its type column
// have been filled in, then closed. /proc holds kmsg, a file whose reading
// waits for the next kernel message (for a user who may read it).
TEST_P(RealOpenDialog, ListsTheFolderAndReturns)
{
    const userHome_t user;  // Qt's own dialog history goes there, not to the real home
    QTemporaryDir dir;
    QString folder = QString::fromLatin1(GetParam().path);
    if (folder.isEmpty()) {
        folder = dir.path();
        for (const char* name : {"pipe", "pipe.lmra"})
            ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QString::fromLatin1(name))).constData(), 0600), 0);
        QFile other(dir.filePath(QStringLiteral("plan.lmra")));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    }
    ui::fileRequest_t r;
    r.title = QStringLiteral("Open");
    r.folder = folder;
    r.filter = QStringLiteral("All files (*.*)|*.*|Lumora files (*.lmra)|*.lmra");
    r.filterIndex = 1;
    QFileDialog* seen = nullptr;
    QTimer closer;
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        seen = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (seen) seen->reject();
    });
    closer.start(1200);
    const watchdog_t guard(30, "the open dialog");
    ui::realDialogs_t real;
    EXPECT_TRUE(real.openFile(r).isEmpty());
    EXPECT_NE(seen, nullptr) << "the dialog never showed";
}

INSTANTIATE_TEST_SUITE_P(Folders, RealOpenDialog,
                         ::testing::Values(listedFolder_t{"HoldingFifos", ""}, listedFolder_t{"Proc", "/proc"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- where the dialogs start ----

TEST(DialogFolders, DefaultTextsAndMissingFoldersGiveTheUsersOwnFolders)
{
    const userHome_t user;
    const QString home = QDir::cleanPath(user.home.path());
    // Neither folder exists yet: home.
    EXPECT_EQ(settings::dialogFolder(settings::folderKind_t::documents, settings::defaultDocumentFolder), home);
    EXPECT_EQ(settings::dialogFolder(settings::folderKind_t::pictures, settings::defaultPictureFolder), home);
    const QString docs = user.make(QStringLiteral("Documents"));
    const QString pics = user.make(QStringLiteral("Pictures"));
    struct row_t {
        settings::folderKind_t kind;
        QString stored, expected;
    } rows[] = {
        {settings::folderKind_t::documents, settings::defaultDocumentFolder, docs},
        {settings::folderKind_t::pictures, settings::defaultPictureFolder, pics},
        {settings::folderKind_t::documents, home + QStringLiteral("/gone"), docs},
        {settings::folderKind_t::pictures, QString(), pics},
        // A folder the user chose and that exists is kept as it was written.
        {settings::folderKind_t::documents, pics, pics},
        {settings::folderKind_t::pictures, home + QStringLiteral("/Documents/"), home + QStringLiteral("/Documents/")},
    };
    for (const row_t& r : rows)
        EXPECT_EQ(settings::dialogFolder(r.kind, r.stored), r.expected) << r.stored.toStdString();
}

TEST_F(ShellTest, FreshStoreStartsTheFileDialogsInTheDocumentsFolder)
{
    const userHome_t user(QStringLiteral("My Papers"));
    const QString docs = user.make(QStringLiteral("My Papers"));
    restart();  // a fresh store under the new home
    EXPECT_EQ(w->params()->docdir, settings::defaultDocumentFolder);
    TSandbox* d = untitled();
    model::setModified(d->items(), true);
    w->openDocument();
    w->saveDocumentAs(d);
    ASSERT_EQ(dlg.fileRequests.size(), 2u);
    EXPECT_EQ(dlg.fileRequests[0].folder, docs);
    EXPECT_EQ(dlg.fileRequests[1].folder, docs);
    // Cancelled dialogs change nothing, and the store keeps the default text.
    EXPECT_EQ(w->params()->docdir, settings::defaultDocumentFolder);
    model::setModified(d->items(), false);
    restart();
    EXPECT_EQ(w->params()->docdir, settings::defaultDocumentFolder);
}

TEST_F(ShellTest, StoredFolderWinsWhileItExistsAndFallsBackWhenGone)
{
    const userHome_t user;
    const QString docs = user.make(QStringLiteral("Documents"));
    const QString chosen = user.make(QStringLiteral("work/designs"));
    w->params()->docdir = chosen;
    w->openDocument();
    ASSERT_TRUE(QDir(chosen).removeRecursively());
    w->openDocument();
    ASSERT_EQ(dlg.fileRequests.size(), 2u);
    EXPECT_EQ(dlg.fileRequests[0].folder, chosen);
    EXPECT_EQ(dlg.fileRequests[1].folder, docs);
    // The store still names what the user chose.
    EXPECT_EQ(w->params()->docdir, chosen);
}

TEST_F(ShellTest, AFolderThatCouldNotTakeTheFileIsNotRemembered)
{
    const QString good = files.path();
    w->params()->docdir = good;
    TSandbox* d = untitled();
    model::setModified(d->items(), true);
    for (const QString& target : {QStringLiteral("/nonexistent-dir/x.lmra"), QStringLiteral("/proc/x.lmra")}) {
        dlg.fileAnswers = {target};
        EXPECT_FALSE(w->saveDocumentAs(d)) << target.toStdString();
        EXPECT_EQ(w->params()->docdir, good) << target.toStdString();
    }
    // A save that worked moves it.
    QDir(good).mkpath(QStringLiteral("sub"));
    dlg.fileAnswers = {path(QStringLiteral("sub/x.lmra"))};
    EXPECT_TRUE(w->saveDocumentAs(d));
    EXPECT_EQ(w->params()->docdir, path(QStringLiteral("sub")));
}

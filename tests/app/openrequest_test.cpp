// Open requests from the desktop: the macro's text and the hand-over from a
// second editor process to the first.
#include "shell_fixture.h"
#include "testnames.h"

#include "app/openrequest.h"
#include "app/recent.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <thread>

#include <algorithm>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

struct macroCase {
    const char* name;
    const char* request;
    const char* file;
};

void PrintTo(const macroCase& c, std::ostream* os)
{
    *os << "request " << ::testing::PrintToString(std::string(c.request)) << " names "
        << ::testing::PrintToString(std::string(c.file));
}

class OpenMacro : public ::testing::TestWithParam<macroCase> {};

TEST_P(OpenMacro, TakesTheNameBetweenTheQuotes)
{
    EXPECT_EQ(app::openMacroFileName(QString::fromUtf8(GetParam().request)), QString::fromUtf8(GetParam().file));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, OpenMacro,
    ::testing::Values(macroCase{"QuotedPath", "[open(\"/home/a/plan.lmra\")]", "/home/a/plan.lmra"},
                      macroCase{"BlanksInThePath", "[open(\"/home/a/My Documents/flow chart 2.lmra\")]",
                                "/home/a/My Documents/flow chart 2.lmra"},
                      macroCase{"NoQuotesAtAll", "/home/a/no quotes at all.lmra", "/home/a/no quotes at all.lmra"},
                      macroCase{"FirstOfTwoRequests", "[open(\"/x/first.lmra\")]\r\n[open(\"/x/second.lmra\")]",
                                "/x/first.lmra"},
                      macroCase{"UnterminatedQuote", "[open(\"/x/unterminated.lmra", "/x/unterminated.lmra"},
                      macroCase{"EmptyRequest", "", ""}),
    testnames::byName{});

TEST(OpenMacro, RoundTripsThroughTheRequestText)
{
    const QString p = QStringLiteral("/tmp/a b/c\u00e9.lmra");
    EXPECT_EQ(app::openMacroFileName(app::openMacroFor(p)), p);
}

// The editor program beside the command-line tool.
QString editorProgram() { return QFileInfo(QStringLiteral(LUMORA_CLI)).absolutePath() + QStringLiteral("/lumora"); }

class OpenRequests : public ShellTest {
protected:
    void SetUp() override
    {
        qputenv("LUMORA_INSTANCE_NAME",
                QStringLiteral("lumora-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++serial).toLocal8Bit());
        ShellTest::SetUp();
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        qunsetenv("LUMORA_INSTANCE_NAME");
    }
    static inline int serial = 0;

    // Starts a second editor with `args` and waits for it to end, as it does
    // once the running editor took its files; its exit code, or -1 when it
    // did not end.
    int runSecondEditor(const QStringList& args)
    {
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.start(editorProgram(), args);
        if (!second.waitForStarted(5000)) return -1;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 15000 && second.state() != QProcess::NotRunning) QTest::qWait(20);
        if (second.state() == QProcess::NotRunning) return second.exitCode();
        second.kill();
        second.waitForFinished(2000);
        ADD_FAILURE() << "the second editor did not end";
        return -1;
    }
};

TEST_F(OpenRequests, RequestForAnExistingFileOpensItAndOthersAreIgnored)
{
    const QString f = makeFile(QStringLiteral("desk top.lmra"));
    const size_t before = w->documents().size();
    w->openRequest(app::openMacroFor(path("nothing here.lmra")));
    w->openRequest(QStringLiteral("[open(\"\")]"));
    w->openRequest(app::openMacroFor(files.path()));  // a folder
    EXPECT_EQ(w->documents().size(), before);
    EXPECT_TRUE(dlg.messages.empty());
    w->openRequest(app::openMacroFor(f));
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->activeDocument()->fileName(), f);
}

TEST_F(OpenRequests, SocketRequestReachesTheRunningEditor)
{
    const QString f = makeFile(QStringLiteral("socket.lmra"));
    ASSERT_TRUE(w->listenForOpenRequests());
    bool sent = false;
    std::thread client([&] { sent = app::sendOpenRequest(app::openMacroFor(f), 5000); });
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 8000 && (w->activeDocument() == nullptr || w->activeDocument()->fileName() != f))
        QTest::qWait(20);
    client.join();
    EXPECT_TRUE(sent);
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->activeDocument()->fileName(), f);
}

TEST_F(OpenRequests, NoEditorRunningMeansNoHandOver)
{
    EXPECT_FALSE(app::sendOpenRequest(app::openMacroFor(QStringLiteral("/x.lmra")), 300));
}

TEST_F(OpenRequests, SecondProcessHandsItsFileToTheFirst)
{
    if (!QFileInfo(editorProgram()).isExecutable()) GTEST_SKIP() << "the editor program is not built";
    const QString f = makeFile(QStringLiteral("handed over.lmra"));
    ASSERT_TRUE(w->listenForOpenRequests());
    EXPECT_EQ(runSecondEditor({QStringLiteral("-open"), f}), 0);
    QTest::qWait(50);  // the request is handled after its event
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->activeDocument()->fileName(), f);
}

// ---------------------------------------------------------------- who may use the socket

namespace {

QString modeFolder(const QString& parent, const char* name, QFile::Permissions perms)
{
    const QString p = QDir(parent).filePath(QString::fromLatin1(name));
    QDir().mkpath(p);
    QFile::setPermissions(p, perms);
    return p;
}

constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions everyone = ownerOnly | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                        QFile::ExeOther | QFile::WriteOther;

} // namespace

struct folderCase {
    const char* name;
    // How the runtime folder looks: "private", "open" (0777), "missing", or
    // "foreign" (private but owned by someone else).
    const char* runtime;
    // What already stands at the first fallback's "lumora-<uid>": "nothing",
    // "open folder", "link to private", "foreign".
    const char* fallback;
    // Which folder is expected: "runtime", "first", "second".
    const char* chosen;
};

void PrintTo(const folderCase& c, std::ostream* os) { *os << c.name; }

class SocketFolder : public ::testing::TestWithParam<folderCase> {};

// A folder counts only when it is a real folder of this user that nobody else
// may enter; "someone else's" is played by asking on behalf of another uid.
TEST_P(SocketFolder, OnlyAFolderNobodyElseCanEnterHoldsTheSocket)
{
    const folderCase& c = GetParam();
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const uid_t me = ::getuid();
    const std::string runtimeKind = c.runtime;
    const std::string fallbackKind = c.fallback;
    QString runtime;
    uid_t asker = me;
    if (runtimeKind == "private" || runtimeKind == "foreign") runtime = modeFolder(root.path(), "run", ownerOnly);
    if (runtimeKind == "open") runtime = modeFolder(root.path(), "run", everyone);
    if (runtimeKind == "missing") runtime = QDir(root.path()).filePath(QStringLiteral("no such run"));

    const QString first = modeFolder(root.path(), "first", everyone);
    const QString second = modeFolder(root.path(), "second", everyone);
    const QString leaf = QStringLiteral("lumora-%1").arg(static_cast<qulonglong>(me));
    const QString firstLeaf = QDir(first).filePath(leaf);
    if (fallbackKind == "open folder") modeFolder(first, qPrintable(leaf), everyone);
    if (fallbackKind == "link to private") {
        const QString target = modeFolder(root.path(), "target", ownerOnly);
        ASSERT_TRUE(QFile::link(target, firstLeaf));
    }
    if (runtimeKind == "foreign" || fallbackKind == "foreign") {
        // Every folder made above is owned by this process's user; asking as
        // another uid makes all of them someone else's.
        asker = me + 1;
    }

    const QString got = app::privateSocketFolder(runtime, {first, second}, asker);
    const std::string want = c.chosen;
    const QString askerLeaf = QStringLiteral("lumora-%1").arg(static_cast<qulonglong>(asker));
    if (want == "runtime") EXPECT_EQ(got, runtime);
    if (want == "first") EXPECT_EQ(got, QDir(first).filePath(askerLeaf));
    if (want == "second") EXPECT_EQ(got, QDir(second).filePath(askerLeaf));
    if (want == "none") EXPECT_TRUE(got.isEmpty()) << qPrintable(got);
    if (!got.isEmpty() && asker == me) {
        EXPECT_TRUE(app::isPrivateFolder(got, me));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                          QFile::WriteOther | QFile::ExeOther;
        EXPECT_EQ(QFileInfo(got).permissions() & others, QFile::Permissions());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SocketFolder,
    ::testing::Values(folderCase{"PrivateRuntimeFolder", "private", "nothing", "runtime"},
                      folderCase{"OpenRuntimeFolderFallsBack", "open", "nothing", "first"},
                      folderCase{"MissingRuntimeFolderFallsBack", "missing", "nothing", "first"},
                      folderCase{"OpenFallbackIsPassedOver", "missing", "open folder", "second"},
                      folderCase{"LinkedFallbackIsPassedOver", "missing", "link to private", "second"},
                      // Another user cannot make folders in ours, so nothing qualifies.
                      folderCase{"SomeoneElsesFoldersNeverQualify", "foreign", "foreign", "none"}),
    testnames::byName{});

TEST(SocketFolder, TheInstanceNameLivesInThePrivateFolder)
{
    QTemporaryDir run;
    ASSERT_TRUE(run.isValid());
    QFile::setPermissions(run.path(), ownerOnly);
    const QByteArray oldRun = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", run.path().toLocal8Bit());
    qputenv("LUMORA_INSTANCE_NAME", "editor-under-test");
    EXPECT_EQ(app::instanceName(), QDir(run.path()).filePath(QStringLiteral("editor-under-test")));
    // A name that tries to leave the folder is not taken.
    qputenv("LUMORA_INSTANCE_NAME", "../elsewhere");
    EXPECT_EQ(app::instanceName(), QDir(run.path()).filePath(QStringLiteral("lumora-editor")));
    qunsetenv("LUMORA_INSTANCE_NAME");
    if (oldRun.isEmpty()) qunsetenv("XDG_RUNTIME_DIR");
    else qputenv("XDG_RUNTIME_DIR", oldRun);
}

// Each end refuses a peer of another user; "another user" is played by an
// end that expects a different uid than the one it meets.
TEST(PeerCheck, NeitherEndTalksToAnotherUser)
{
    QTemporaryDir run;
    ASSERT_TRUE(run.isValid());
    const QString path = QDir(run.path()).filePath(QStringLiteral("sock"));
    struct side {
        const char* name;
        bool serverExpectsMe;
        bool clientExpectsMe;
        bool delivered;
    };
    for (const side& s : {side{"both the same user", true, true, true},
                          side{"server expects another user", false, true, false},
                          side{"client expects another user", true, false, false}}) {
        SCOPED_TRACE(s.name);
        app::openRequestServer_t server(nullptr, s.serverExpectsMe ? ::getuid() : ::getuid() + 1);
        ASSERT_TRUE(server.start(path));
        QStringList got;
        server.onRequest = [&got](const QString& m) { got << m; };
        bool sent = false;
        std::thread client([&] {
            sent = app::sendOpenRequest(QStringLiteral("[open(\"/x/secret.lmra\")]"), 2000, path,
                                        s.clientExpectsMe ? ::getuid() : ::getuid() + 1);
        });
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 3000 && got.isEmpty()) {
            QTest::qWait(20);
            if (!s.delivered && t.elapsed() > 1000) break;
        }
        client.join();
        QTest::qWait(50);
        EXPECT_EQ(sent, s.delivered);
        EXPECT_EQ(got.isEmpty(), !s.delivered) << qPrintable(got.join(QLatin1Char(',')));
    }
}

namespace {

// A listener of another user (uid 65534) at `path`, in a forked child; it
// writes to `report` how many bytes anyone sent it. Only root can play it.
pid_t foreignListener(const QString& path, int report)
{
    const QByteArray p = QFile::encodeName(path);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::memcpy(a.sun_path, p.constData(), std::min<size_t>(p.size(), sizeof a.sun_path - 1));
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0) ::_exit(4);
    ::chmod(p.constData(), 0777);
    long total = 0;
    for (int round = 0; round < 40; ++round) {
        pollfd pf{fd, POLLIN, 0};
        if (::poll(&pf, 1, 100) <= 0) continue;
        const int c = ::accept(fd, nullptr, nullptr);
        if (c < 0) continue;
        char buf[256];
        pollfd pc{c, POLLIN, 0};
        while (::poll(&pc, 1, 300) > 0) {
            const ssize_t n = ::read(c, buf, sizeof buf);
            if (n <= 0) break;
            total += n;
            (void)::write(c, "ok\n", 3);
        }
        ::close(c);
    }
    (void)::write(report, &total, sizeof total);
    ::_exit(0);
}

} // namespace

TEST(PeerCheck, AListenerOfAnotherUserNeverHearsAFileNameAndTheEditorStartsAnyway)
{
    if (::getuid() != 0) GTEST_SKIP() << "playing another user needs root";
    const QString editor = editorProgram();
    if (!QFileInfo(editor).isExecutable()) GTEST_SKIP() << "the editor program is not built";
    QTemporaryDir shared, home, cfg, docs;
    ASSERT_TRUE(shared.isValid() && home.isValid() && cfg.isValid() && docs.isValid());
    // A world-writable "runtime folder" where the other user made the
    // editor's socket first, as it could in a shared temporary folder.
    QFile::setPermissions(shared.path(), everyone);
    const QString squatted = QDir(shared.path()).filePath(QStringLiteral("lumora-editor"));
    int pipefd[2];
    ASSERT_EQ(::pipe(pipefd), 0);
    const pid_t child = foreignListener(squatted, pipefd[1]);
    ::close(pipefd[1]);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3000 && !QFileInfo::exists(squatted)) QTest::qWait(20);
    ASSERT_TRUE(QFileInfo::exists(squatted));

    // Directly: the name is never sent to it.
    EXPECT_FALSE(app::sendOpenRequest(QStringLiteral("[open(\"/x/secret.lmra\")]"), 1000, squatted));

    // The editor with that folder as its runtime folder: it passes the folder
    // over, starts, and keeps running with the file open.
    const QString doc = QDir(docs.path()).filePath(QStringLiteral("secret.lmra"));
    {
        QFile f(doc);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QProcess ed;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), shared.path());
    env.insert(QStringLiteral("TMPDIR"), home.path());
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("LUMORA_CONFIG_DIR"), cfg.path());
    env.remove(QStringLiteral("LUMORA_INSTANCE_NAME"));
    ed.setProcessEnvironment(env);
    ed.start(editor, {doc});
    ASSERT_TRUE(ed.waitForStarted(5000));
    const bool ended = ed.waitForFinished(2500);
    EXPECT_FALSE(ended) << "the editor ended instead of starting: exit " << ed.exitCode();
    if (!ended) {
        ed.kill();
        ed.waitForFinished(3000);
    }
    long heard = -1;
    EXPECT_EQ(::read(pipefd[0], &heard, sizeof heard), static_cast<ssize_t>(sizeof heard));
    ::close(pipefd[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(heard, 0) << "the other user's listener received bytes";
}

TEST_F(OpenRequests, SeveralFilesOnTheCommandLineOpenInOrderInARunningEditor)
{
    if (!QFileInfo(editorProgram()).isExecutable()) GTEST_SKIP() << "the editor program is not built";
    const QStringList names{makeFile(QStringLiteral("a.lmra")), makeFile(QStringLiteral("b.lmra")),
                            makeFile(QStringLiteral("c.lmra"))};
    ASSERT_TRUE(w->listenForOpenRequests());
    const size_t before = w->documents().size();
    EXPECT_EQ(runSecondEditor(names), 0);
    QTest::qWait(100);
    const auto docs = w->documents();
    ASSERT_EQ(docs.size(), before + 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(docs[before + i]->fileName(), names[i]);
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->activeDocument()->fileName(), names[2]);
}

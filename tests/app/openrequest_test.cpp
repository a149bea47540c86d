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
    const QString editor = QFileInfo(QStringLiteral(LUMORA_CLI)).absolutePath() + QStringLiteral("/lumora");
    if (!QFileInfo(editor).isExecutable()) GTEST_SKIP() << "the editor program is not built";
    const QString f = makeFile(QStringLiteral("handed over.lmra"));
    ASSERT_TRUE(w->listenForOpenRequests());
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(editor, {QStringLiteral("-open"), f});
    ASSERT_TRUE(second.waitForStarted(5000));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000 && second.state() != QProcess::NotRunning) QTest::qWait(20);
    if (second.state() != QProcess::NotRunning) {
        second.kill();
        second.waitForFinished(2000);
        FAIL() << "the second editor did not end";
    }
    EXPECT_EQ(second.exitCode(), 0);
    QTest::qWait(50);  // the request is handled after its event
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->activeDocument()->fileName(), f);
}

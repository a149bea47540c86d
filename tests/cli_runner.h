// Runs the command-line tool the way a user's shell does and keeps what it
// said: one runner for every test that drives lumora-cli.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testcli {

struct cliResult_t {
    int code = -1;  // -1 when the tool crashed or did not finish
    QString out;
    QString err;
};

// The tool's output is UTF-8 whatever the test's locale.
inline cliResult_t runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(LUMORA_CLI), args);
    p.waitForFinished(60000);
    cliResult_t r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace testcli

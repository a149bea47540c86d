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

// Runs any program and keeps what it said; its output is read as UTF-8
// whatever the test's locale.
inline cliResult_t runProgram(const QString& program, const QStringList& args, int timeoutMs = 60000)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(timeoutMs);
    cliResult_t r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline cliResult_t runCli(const QStringList& args) { return runProgram(QStringLiteral(LUMORA_CLI), args); }

} // namespace testcli

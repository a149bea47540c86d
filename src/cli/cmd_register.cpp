// lumora-cli register: registers the document file type with the desktop for
// the current user, as the editor's first start does. lumora-cli
// desktop-files DIR: the desktop files of an installation, below DIR.
#include "cli/command.h"

#include "output/desktopintegration.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

// The editor beside this program when there is one, else the name the PATH finds.
QString editorProgram()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/lumora");
    return QFileInfo(beside).isExecutable() ? beside : QStringLiteral("lumora");
}

int registerType(const std::vector<std::string>& args)
{
    bool verbose = false;
    for (const auto& a : args) {
        if (a == "--verbose") verbose = true;
        else {
            std::fprintf(stderr, "lumora-cli register: unknown option '%s'\n", a.c_str());
            return cli::exitUsage;
        }
    }
    QStringList log;
    const output::desktopFolders_t where = output::desktopFolders_t::ofUser();
    const int32_t failure = output::registerFileType(where, editorProgram(), &log);
    if (verbose || failure)
        for (const QString& line : log) std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::printf("%s (code %d)\n", output::registrationFailureText(failure).toUtf8().constData(), int(failure));
    return failure ? cli::exitFileError : cli::exitOk;
}

int desktopFiles(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: lumora-cli desktop-files DIR\n");
        return cli::exitUsage;
    }
    QStringList log;
    // An installed program is found on the PATH by its name.
    if (!output::writeInstallFiles(QString::fromStdString(args[0]), QStringLiteral("lumora"), &log)) {
        for (const QString& line : log) std::fprintf(stderr, "%s\n", line.toUtf8().constData());
        return cli::exitFileError;
    }
    return cli::exitOk;
}

cli::cliCommand reg("register",
                    "register [--verbose]  — register .lmra files with the desktop for this user (MIME type, "
                    "desktop entry, icons, default program)",
                    &registerType);
cli::cliCommand files("desktop-files", "desktop-files DIR  — write the desktop files of an installation below DIR",
                      &desktopFiles);

} // namespace

// lumora-cli recover: lists the recovery snapshots that editors which ended
// without saving left behind, and copies one out without the editor.
#include "cli/command.h"

#include "model/docfile.h"
#include "settings/recoverystore.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <string>

namespace {

int run(const std::vector<std::string>& args)
{
    const std::vector<settings::recoveryEntry_t> orphans =
        settings::recoveryStore_t::orphans(settings::recoveryFolder());
    if (args.size() == 1 && args[0] == "--list") {
        if (orphans.empty()) std::printf("no snapshots to recover in %s\n", qPrintable(settings::recoveryFolder()));
        for (size_t i = 0; i < orphans.size(); ++i) {
            const settings::recoveryEntry_t& e = orphans[i];
            std::printf("%zu\t%s\t%s\t%s%s\n", i + 1, qPrintable(e.time.toString(Qt::ISODate)), qPrintable(e.title),
                        e.original.isEmpty() ? "(never saved)" : qPrintable(QDir::toNativeSeparators(e.original)),
                        e.damaged ? "\tdamaged" : "");
        }
        return cli::exitOk;
    }
    if (args.size() == 3 && args[0] == "--extract") {
        size_t pos = 0;
        long n = 0;
        try {
            n = std::stol(args[1], &pos);
        } catch (...) {
            pos = 0;
        }
        if (pos != args[1].size() || n < 1 || size_t(n) > orphans.size()) {
            std::fprintf(stderr, "lumora-cli recover: there is no snapshot %s (see --list)\n", args[1].c_str());
            return cli::exitUsage;
        }
        const settings::recoveryEntry_t& e = orphans[size_t(n - 1)];
        if (e.damaged) {
            std::fprintf(stderr, "lumora-cli recover: snapshot %ld is damaged\n", n);
            return cli::exitRefused;
        }
        QFile f(e.snapshot);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "lumora-cli recover: cannot read %s\n", qPrintable(e.snapshot));
            return cli::exitFileError;
        }
        const QByteArray bytes = f.readAll();
        std::string error;
        if (!model::writeBytesToFile(args[2], std::vector<uint8_t>(bytes.begin(), bytes.end()), &error)) {
            std::fprintf(stderr, "lumora-cli recover: %s\n", error.c_str());
            return cli::exitFileError;
        }
        std::printf("%s\n", args[2].c_str());
        return cli::exitOk;
    }
    std::fprintf(stderr, "usage: lumora-cli recover --list | --extract N OUT\n");
    return cli::exitUsage;
}

cli::cliCommand reg("recover",
                    "recover --list | --extract N OUT  — list the snapshots of documents an editor left unsaved "
                    "when it ended, or copy snapshot N to OUT",
                    &run);

} // namespace

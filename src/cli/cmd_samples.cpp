// lumora-cli samples DIR: writes small picture files of every stored format,
// the transparent ones included
// (the seed corpora of the picture fuzzers come from it).
#include "cli/command.h"

#include "samples/samplepictures.h"

#include <QDir>
#include <QSaveFile>

#include <cstdio>

namespace {

int run(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: lumora-cli samples DIR\n");
        return cli::exitUsage;
    }
    const QDir dir(QString::fromStdString(args[0]));
    if (!dir.exists()) {
        std::fprintf(stderr, "lumora-cli samples: %s is not a folder\n", args[0].c_str());
        return cli::exitFileError;
    }
    for (const auto& [w, h] : {std::pair{16, 12}, std::pair{40, 30}}) {
        std::vector<samples::sampleFile_t> files = samples::sampleFiles(w, h);
        for (samples::sampleFile_t& f : samples::transparentSampleFiles(w, h)) files.push_back(std::move(f));
        for (const samples::sampleFile_t& f : files) {
            const QString name = QStringLiteral("%1x%2-%3").arg(w).arg(h).arg(QString::fromStdString(f.name));
            QSaveFile out(dir.filePath(name));
            if (f.bytes.empty() || !out.open(QIODevice::WriteOnly) ||
                out.write(reinterpret_cast<const char*>(f.bytes.data()), qint64(f.bytes.size())) != qint64(f.bytes.size()) ||
                !out.commit()) {
                std::fprintf(stderr, "lumora-cli samples: cannot write %s\n", name.toLocal8Bit().constData());
                return cli::exitFileError;
            }
        }
    }
    return cli::exitOk;
}

cli::cliCommand reg("samples", "samples DIR  — writes small picture files of every stored format", &run);

} // namespace

// lumora-cli settings: prints the effective settings after start-up reading
// of the per-user store, or writes a store holding the defaults.
#include "cli/command.h"

#include "settings/dump.h"
#include "settings/firstsetup.h"
#include "settings/params.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace {

// "name = value" lines, nested names joined with dots.
void printPlain(const QJsonValue& v, const QString& path)
{
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            printPlain(it.value(), path.isEmpty() ? it.key() : path + QLatin1Char('.') + it.key());
        return;
    }
    if (v.isArray()) {
        const QJsonArray a = v.toArray();
        bool flat = true;
        for (const auto& e : a) flat = flat && !e.isObject() && !e.isArray();
        if (flat) {
            std::printf("%s = %s\n", path.toUtf8().constData(),
                        QJsonDocument(a).toJson(QJsonDocument::Compact).constData());
            return;
        }
        for (qsizetype i = 0; i < a.size(); ++i)
            printPlain(a[i], path + QStringLiteral("[%1]").arg(i + 1));
        return;
    }
    QString text;
    if (v.isString()) text = QLatin1Char('"') + v.toString() + QLatin1Char('"');
    else if (v.isDouble()) text = QString::number(v.toDouble(), 'g', 15);
    else if (v.isBool()) text = v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    else text = QStringLiteral("null");
    std::printf("%s = %s\n", path.toUtf8().constData(), text.toUtf8().constData());
}

int run(const std::vector<std::string>& args)
{
    bool json = false, writeDefaults = false;
    int32_t unit = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") json = true;
        else if (a == "--write-defaults") writeDefaults = true;
        else if (a == "--unit" && i + 1 < args.size()) {
            const std::string& u = args[++i];
            unit = u == "mm" ? 2 : u == "in" ? 3 : -1;
            if (unit < 0) {
                std::fprintf(stderr, "lumora-cli settings: --unit takes mm or in, not '%s'\n", u.c_str());
                return cli::exitUsage;
            }
        } else {
            std::fprintf(stderr, "lumora-cli settings: unknown option '%s'\n", a.c_str());
            return cli::exitUsage;
        }
    }
    if (writeDefaults && json) {
        std::fprintf(stderr, "lumora-cli settings: --json and --write-defaults do not go together\n");
        return cli::exitUsage;
    }
    if (unit && !writeDefaults) {
        std::fprintf(stderr, "lumora-cli settings: --unit goes with --write-defaults\n");
        return cli::exitUsage;
    }
    const QString path = settings::userStorePath();
    if (writeDefaults) {
        settings::iniStore_t store(path);
        store.values.clear();  // a store of the defaults only
        settings::TParams p(&store);
        p.readDialogColors();  // none: the store is empty
        p.writeDialogColors();
        // With a unit, the first-start question counts as answered (without
        // registering the file type, which `lumora-cli register` does).
        if (unit && settings::completeSetup(p, unit, {}) != settings::setupFailureNone) {
            std::fprintf(stderr, "lumora-cli settings: cannot write %s\n", path.toUtf8().constData());
            return cli::exitFileError;
        }
        if (!p.saveAllSettings()) {
            std::fprintf(stderr, "lumora-cli settings: cannot write %s\n", path.toUtf8().constData());
            return cli::exitFileError;
        }
        std::printf("%s\n", path.toUtf8().constData());
        return cli::exitOk;
    }
    settings::TParams p;
    p.initSettings();
    p.readDialogColors();
    const QJsonObject o = settings::settingsJson(p);
    if (json) {
        std::fputs(QJsonDocument(o).toJson(QJsonDocument::Indented).constData(), stdout);
    } else {
        std::printf("store = \"%s\"\n", path.toUtf8().constData());
        printPlain(o, QString());
    }
    return cli::exitOk;
}

cli::cliCommand reg("settings",
                    "settings [--json] | --write-defaults [--unit mm|in]  — print the effective settings, or "
                    "write a store holding the defaults (with --unit: the first-start setup answered in that unit)",
                    &run);

} // namespace

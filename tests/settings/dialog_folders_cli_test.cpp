// lumora-cli settings shows, beside each stored folder text, the folder its
// dialogs will start in; the store itself keeps what was stored.
#include "settings/params.h"
#include "settings/store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace settings;

namespace {

// The settings the tool prints for a user whose home is `home`.
QJsonObject printedFor(const QString& home, const QString& configDir)
{
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    env.insert("LUMORA_CONFIG_DIR", configDir);
    proc.setProcessEnvironment(env);
    proc.start(LUMORA_CLI, {"settings", "--json"});
    proc.waitForFinished(60000);
    EXPECT_EQ(proc.exitCode(), 0);
    return QJsonDocument::fromJson(proc.readAllStandardOutput()).object();
}

} // namespace

TEST(CliSettings, ShowsTheFoldersTheDialogsStartIn)
{
    QTemporaryDir home, cfg;
    const QString h = QDir::cleanPath(home.path());
    QDir(h).mkpath(QStringLiteral("Documents"));

    // A fresh store: the default texts, the documents folder, and home for
    // pictures (there is no Pictures folder).
    QJsonObject o = printedFor(h, cfg.path());
    EXPECT_EQ(o["docdir"].toString(), QStringLiteral("\\My Documents"));
    EXPECT_EQ(o["docdirUsed"].toString(), h + QStringLiteral("/Documents"));
    EXPECT_EQ(o["picidr"].toString(), QStringLiteral("\\My Documents\\My Pictures"));
    EXPECT_EQ(o["picidrUsed"].toString(), h);
    EXPECT_EQ(o["expdirUsed"].toString(), h);

    // Folders the user chose: one that exists is used, a vanished one falls back.
    QDir(h).mkpath(QStringLiteral("designs"));
    {
        iniStore_t store(QDir(cfg.path()).filePath(QStringLiteral("Velantis.ini")));
        store.openKey(keyCustomSettings);
        store.writeText(keyCustomSettings, QStringLiteral("docdir"), h + QStringLiteral("/designs"));
        store.writeText(keyCustomSettings, QStringLiteral("expdir"), h + QStringLiteral("/gone"));
        ASSERT_TRUE(store.commit());
    }
    o = printedFor(h, cfg.path());
    EXPECT_EQ(o["docdir"].toString(), h + QStringLiteral("/designs"));
    EXPECT_EQ(o["docdirUsed"].toString(), h + QStringLiteral("/designs"));
    EXPECT_EQ(o["expdir"].toString(), h + QStringLiteral("/gone"));
    EXPECT_EQ(o["expdirUsed"].toString(), h);
}

// Registering the document file type the freedesktop way, into temporary
// data and configuration folders (never the real home), checked with the
// desktop's own tools where they are installed.
#include "output/desktopintegration.h"

#include "settings/firstsetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

using namespace output;

namespace {

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void writeText(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

// Runs a desktop tool with the temporary folders as the user's; empty when
// the tool is not installed.
std::optional<QString> runTool(const QString& tool, const QStringList& args, const desktopFolders_t& where,
                               int* exitCode = nullptr)
{
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty()) return std::nullopt;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), where.dataHome);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), where.configHome);
    env.insert(QStringLiteral("XDG_DATA_DIRS"), where.dataHome + QStringLiteral(":/usr/share"));
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("X-Generic"));
    env.insert(QStringLiteral("GIO_USE_VFS"), QStringLiteral("local"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(path, args);
    p.waitForFinished(30000);
    if (exitCode) *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAll());
}

} // namespace

TEST(DesktopRegistration, WritesTheTypeTheEntryTheIconsAndTheDefaultKeepingOtherAssociations)
{
    QTemporaryDir tmp;
    const desktopFolders_t where{tmp.filePath(QStringLiteral("data")), tmp.filePath(QStringLiteral("config"))};
    // Associations of other programs are kept as they were.
    writeText(where.configHome + QStringLiteral("/mimeapps.list"),
              QStringLiteral("[Default Applications]\ntext/plain=editor.desktop;\n\n[Other]\nkey=value\n"));
    QStringList log;
    EXPECT_EQ(registerFileType(where, QStringLiteral("/opt/my apps/lumora"), &log), 0) << log.join('\n').toStdString();

    const QString data = where.dataHome;
    EXPECT_TRUE(readText(data + QStringLiteral("/mime/packages/com.velantis.Lumora.xml")).contains(QStringLiteral("*.lmra")));
    const QString entry = readText(data + QStringLiteral("/applications/com.velantis.Lumora.desktop"));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"/opt/my apps/lumora\" %F\n"))) << entry.toStdString();
    EXPECT_TRUE(entry.contains(QStringLiteral("\nMimeType=application/x-lumora;\n")));
    for (const int32_t size : iconSizes) {
        EXPECT_EQ(QImage(data + QStringLiteral("/icons/hicolor/%1x%1/apps/com.velantis.Lumora.png").arg(size)).size(),
                  QSize(size, size));
        EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("/icons/hicolor/%1x%1/mimetypes/application-x-lumora.png").arg(size)));
    }
    EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("/icons/hicolor/scalable/apps/com.velantis.Lumora.svg")));
    const QString list = readText(where.configHome + QStringLiteral("/mimeapps.list"));
    EXPECT_TRUE(list.contains(QStringLiteral("text/plain=editor.desktop;"))) << list.toStdString();
    EXPECT_TRUE(list.contains(QStringLiteral("[Other]\nkey=value")));
    EXPECT_TRUE(list.contains(QStringLiteral("[Default Applications]\ntext/plain=editor.desktop;\napplication/x-lumora=com.velantis.Lumora.desktop;")))
        << list.toStdString();
    // Registering again adds nothing twice.
    EXPECT_EQ(registerFileType(where, QStringLiteral("/opt/my apps/lumora")), 0);
    EXPECT_EQ(readText(where.configHome + QStringLiteral("/mimeapps.list")).count(QStringLiteral("com.velantis.Lumora.desktop")), 2);

    if (auto out = runTool(QStringLiteral("desktop-file-validate"),
                           {data + QStringLiteral("/applications/com.velantis.Lumora.desktop")}, where)) {
        EXPECT_TRUE(out->trimmed().isEmpty()) << out->toStdString();
    }
}

// The desktop recognises a document by its name and, renamed without its
// extension, by its content; the default program is the desktop entry.
TEST(DesktopRegistration, TheDesktopKnowsDocumentsByNameAndContent)
{
    if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
        GTEST_SKIP() << "shared-mime-info or gio is not installed";
    QTemporaryDir tmp;
    const desktopFolders_t where{tmp.filePath(QStringLiteral("data")), tmp.filePath(QStringLiteral("config"))};
    ASSERT_EQ(registerFileType(where, QStringLiteral("lumora")), 0);
    // A document's first bytes: its header record (type 2000000) with the
    // record magic at offset 60.
    QByteArray header(448, '\0');
    const int32_t type = 2000000, magic = 147483647;
    std::memcpy(header.data(), &type, 4);
    std::memcpy(header.data() + 4, &type, 4);
    std::memcpy(header.data() + 60, &magic, 4);
    for (const QString name : {QStringLiteral("doc.lmra"), QStringLiteral("renamed")}) {
        QFile f(tmp.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(header);
        f.close();
        const auto out = runTool(QStringLiteral("gio"),
                                 {QStringLiteral("info"), QStringLiteral("-a"), QStringLiteral("standard::content-type"),
                                  tmp.filePath(name)},
                                 where);
        ASSERT_TRUE(out);
        EXPECT_TRUE(out->contains(QStringLiteral("application/x-lumora"))) << name.toStdString() << ": " << out->toStdString();
    }
    if (auto out = runTool(QStringLiteral("xdg-mime"),
                           {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/x-lumora")},
                           where)) {
        EXPECT_EQ(out->trimmed(), QStringLiteral("com.velantis.Lumora.desktop"));
    }
}

// A step that cannot write is recorded by its code and the next step still
// runs: the last failing code is the one returned.
TEST(DesktopRegistration, UnwritableFoldersEndWithTheLastFailingStep)
{
    struct failCase {
        const char* name;
        bool dataBroken, configBroken;
        int32_t code;
    };
    const failCase cases[] = {
        {"DataHome", true, false, settings::registerFailureOpenCommand},
        {"ConfigHome", false, true, settings::registerFailureMimeDatabase},
        {"Both", true, true, settings::registerFailureMimeDatabase},
    };
    for (const failCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tmp;
        desktopFolders_t where{tmp.filePath(QStringLiteral("data")), tmp.filePath(QStringLiteral("config"))};
        // A file where a folder should be cannot be written into, even by root.
        if (c.dataBroken) writeText(where.dataHome, QStringLiteral("x"));
        if (c.configBroken) writeText(where.configHome, QStringLiteral("x"));
        QStringList log;
        EXPECT_EQ(registerFileType(where, QStringLiteral("lumora"), &log), c.code);
        EXPECT_FALSE(log.isEmpty());
    }
}

// `lumora-cli register` does the same for the user without the editor and
// says what happened; a failed step is a non-zero exit.
TEST(DesktopRegistration, TheCommandLineRegistersAndReportsFailures)
{
    for (const bool broken : {false, true}) {
        SCOPED_TRACE(broken);
        QTemporaryDir tmp;
        const QString data = tmp.filePath(QStringLiteral("data"));
        if (broken) writeText(data, QStringLiteral("x"));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), data);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(LUMORA_CLI), {QStringLiteral("register")});
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        if (broken) {
            EXPECT_EQ(p.exitCode(), 2);
            EXPECT_TRUE(out.contains(QStringLiteral("(code 33)"))) << out.toStdString();
        } else {
            EXPECT_EQ(p.exitCode(), 0);
            EXPECT_TRUE(out.contains(QStringLiteral("the file type is registered (code 0)"))) << out.toStdString();
            EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("/applications/com.velantis.Lumora.desktop")));
        }
    }
}

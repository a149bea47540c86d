#include "output/desktopintegration.h"

#include "settings/firstsetup.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSvgRenderer>

namespace output {

namespace {

QString folderFromEnvironment(const char* variable, const QString& fallback)
{
    const QString v = qEnvironmentVariable(variable);
    // The specification ignores a relative path.
    return !v.isEmpty() && QDir::isAbsolutePath(v) ? v : QDir::homePath() + fallback;
}

// Writes `bytes` to `path` in one step, creating its folders.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QStringList* log)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (log) log->push_back(QStringLiteral("cannot create the folder of %1").arg(path));
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (log) log->push_back(QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
        return false;
    }
    return true;
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

// The icons of one name in every size and the scalable form.
bool writeIcons(const QString& iconsDir, const QString& context, const QString& name, const QByteArray& svg,
                QStringList* log)
{
    bool ok = writeFileAtomically(iconsDir + QStringLiteral("/hicolor/scalable/%1/%2.svg").arg(context, name), svg, log);
    for (const int32_t size : iconSizes) {
        const QString path = iconsDir + QStringLiteral("/hicolor/%1x%1/%2/%3.png").arg(size).arg(context, name);
        ok = writeFileAtomically(path, pngBytes(iconImage(svg, size)), log) && ok;
    }
    return ok;
}

// Quotes an argument of a desktop entry's Exec key where it needs it.
QString execArgument(const QString& program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool plain = !program.isEmpty();
    for (const QChar c : program)
        if (reserved.contains(c)) plain = false;
    if (plain) return program;
    QString quoted = program;
    for (const QString& c : {QStringLiteral("\\"), QStringLiteral("\""), QStringLiteral("`"), QStringLiteral("$")})
        quoted.replace(c, QStringLiteral("\\") + c);
    // A backslash in a desktop file's string value is itself escaped.
    quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Sets `key` in `section` of an INI-like mimeapps.list text, keeping every
// other line as it was.
QString withAssociation(const QString& text, const QString& section, const QString& key, const QString& value,
                        bool prepend)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    const QString header = QLatin1Char('[') + section + QLatin1Char(']');
    qsizetype start = lines.indexOf(header);
    if (start < 0) {
        if (!lines.isEmpty() && !lines.back().trimmed().isEmpty()) lines.push_back(QString());
        lines.push_back(header);
        lines.push_back(key + QLatin1Char('=') + value + QLatin1Char(';'));
        return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    qsizetype end = start + 1;
    while (end < lines.size() && !lines[end].trimmed().startsWith(QLatin1Char('['))) ++end;
    for (qsizetype i = start + 1; i < end; ++i) {
        const QString line = lines[i];
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed() != key) continue;
        QStringList apps = line.mid(eq + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        apps.removeAll(value);
        if (prepend) apps.prepend(value);
        else apps.append(value);
        lines[i] = key + QLatin1Char('=') + apps.join(QLatin1Char(';')) + QLatin1Char(';');
        return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    // After the section's last line, before the blank lines that end it.
    while (end > start + 1 && lines[end - 1].trimmed().isEmpty()) --end;
    lines.insert(end, key + QLatin1Char('=') + value + QLatin1Char(';'));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// Runs a database tool when it is installed; its absence or failure is only logged.
void runTool(const QString& tool, const QStringList& args, QStringList* log)
{
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty()) {
        if (log) log->push_back(QStringLiteral("%1 is not installed; skipped").arg(tool));
        return;
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(path, args);
    const bool done = p.waitForFinished(30000);
    if (log && (!done || p.exitCode() != 0))
        log->push_back(QStringLiteral("%1 did not succeed: %2").arg(tool, QString::fromLocal8Bit(p.readAll()).trimmed()));
}

} // namespace

desktopFolders_t desktopFolders_t::ofUser()
{
    return {folderFromEnvironment("XDG_DATA_HOME", QStringLiteral("/.local/share")),
            folderFromEnvironment("XDG_CONFIG_HOME", QStringLiteral("/.config"))};
}

QString mimePackageXml()
{
    // Recognised by name, and by content: a document starts with its header
    // record, whose type is 2000000 and whose magic number is at offset 60.
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-lumora\">\n"
        "    <comment>Lumora document</comment>\n"
        "    <generic-icon name=\"application-x-generic\"/>\n"
        "    <icon name=\"application-x-lumora\"/>\n"
        "    <glob pattern=\"*.lmra\"/>\n"
        "    <magic priority=\"60\">\n"
        "      <match type=\"little32\" value=\"2000000\" offset=\"0\">\n"
        "        <match type=\"little32\" value=\"147483647\" offset=\"60\"/>\n"
        "      </match>\n"
        "    </magic>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

QString desktopEntryText(const QString& program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.4\n"
                          "Name=Lumora\n"
                          "GenericName=Design Editor\n"
                          "Comment=Make flow charts, cards, labels, posters and pictures for the web\n"
                          "Exec=%1 %F\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "Categories=Graphics;2DGraphics;VectorGraphics;\n"
                          "Keywords=flow chart;business card;label;poster;greeting card;drawing;\n"
                          "MimeType=application/x-lumora;\n"
                          "StartupNotify=true\n"
                          "StartupWMClass=lumora\n")
        .arg(execArgument(program), desktopId);
}

QByteArray applicationIconSvg()
{
    return QByteArrayLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" viewBox=\"0 0 128 128\">\n"
        "  <defs><linearGradient id=\"bg\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
        "<stop offset=\"0\" stop-color=\"#4f7cff\"/><stop offset=\"1\" stop-color=\"#2a3fbf\"/></linearGradient></defs>\n"
        "  <rect x=\"8\" y=\"8\" width=\"112\" height=\"112\" rx=\"22\" fill=\"url(#bg)\"/>\n"
        "  <rect x=\"22\" y=\"26\" width=\"84\" height=\"76\" rx=\"6\" fill=\"#ffffff\"/>\n"
        "  <path d=\"M44 50 L84 50 M64 56 L64 70\" stroke=\"#2a3fbf\" stroke-width=\"4\" fill=\"none\"/>\n"
        "  <rect x=\"32\" y=\"38\" width=\"24\" height=\"18\" rx=\"3\" fill=\"#ffc83d\" stroke=\"#8a6400\" stroke-width=\"2\"/>\n"
        "  <circle cx=\"84\" cy=\"47\" r=\"10\" fill=\"#ff6b6b\" stroke=\"#8a1f1f\" stroke-width=\"2\"/>\n"
        "  <polygon points=\"64,70 78,84 64,96 50,84\" fill=\"#4fd18b\" stroke=\"#1f6b42\" stroke-width=\"2\"/>\n"
        "</svg>\n");
}

QByteArray documentIconSvg()
{
    return QByteArrayLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" viewBox=\"0 0 128 128\">\n"
        "  <path d=\"M24 8 L84 8 L108 32 L108 120 L24 120 Z\" fill=\"#ffffff\" stroke=\"#6b6b6b\" stroke-width=\"4\"/>\n"
        "  <path d=\"M84 8 L84 32 L108 32\" fill=\"#e4e4e4\" stroke=\"#6b6b6b\" stroke-width=\"4\"/>\n"
        "  <rect x=\"38\" y=\"52\" width=\"56\" height=\"52\" rx=\"10\" fill=\"#3f5fe0\"/>\n"
        "  <rect x=\"46\" y=\"62\" width=\"16\" height=\"12\" rx=\"2\" fill=\"#ffc83d\"/>\n"
        "  <circle cx=\"78\" cy=\"68\" r=\"7\" fill=\"#ff6b6b\"/>\n"
        "  <polygon points=\"66,80 76,90 66,98 56,90\" fill=\"#4fd18b\"/>\n"
        "</svg>\n");
}

QImage iconImage(const QByteArray& svg, int32_t size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(0, 0, size, size));
    p.end();
    return image;
}

int32_t registerFileType(const desktopFolders_t& where, const QString& program, QStringList* log)
{
    using namespace settings;
    int32_t failure = setupFailureNone;
    auto step = [&](bool ok, int32_t code) {
        if (ok) return;
        failure = code;
        if (log) log->push_back(QStringLiteral("registration step %1 failed: %2").arg(code).arg(registrationFailureText(code)));
    };
    const QString data = where.dataHome;
    const QString icons = data + QStringLiteral("/icons");
    step(writeFileAtomically(data + QStringLiteral("/mime/packages/%1.xml").arg(desktopId), mimePackageXml().toUtf8(), log),
         registerFailureExtension);
    step(writeIcons(icons, QStringLiteral("mimetypes"), documentMimeIcon, documentIconSvg(), log),
         registerFailureContentType);
    step(writeIcons(icons, QStringLiteral("apps"), desktopId, applicationIconSvg(), log), registerFailureProductName);
    step(writeFileAtomically(data + QStringLiteral("/applications/%1.desktop").arg(desktopId),
                             desktopEntryText(program).toUtf8(), log),
         registerFailureOpenCommand);
    // A file opened from the desktop reaches an editor that already runs
    // through the open command itself (the program hands it over on its
    // private socket): nothing is registered for the hand-over.

    // The default program of the type, keeping every other association.
    const QString listPath = where.configHome + QStringLiteral("/mimeapps.list");
    QString list;
    QFile existing(listPath);
    if (existing.exists() && existing.open(QIODevice::ReadOnly)) list = QString::fromUtf8(existing.readAll());
    const QString entry = desktopId + QStringLiteral(".desktop");
    list = withAssociation(list, QStringLiteral("Default Applications"), documentMimeType, entry, true);
    list = withAssociation(list, QStringLiteral("Added Associations"), documentMimeType, entry, true);
    step(writeFileAtomically(listPath, list.toUtf8(), log), registerFailureMimeDatabase);

    runTool(QStringLiteral("update-mime-database"), {data + QStringLiteral("/mime")}, log);
    runTool(QStringLiteral("update-desktop-database"), {data + QStringLiteral("/applications")}, log);
    if (QFileInfo::exists(icons + QStringLiteral("/hicolor/index.theme")))
        runTool(QStringLiteral("gtk-update-icon-cache"), {QStringLiteral("-f"), QStringLiteral("-t"), icons + QStringLiteral("/hicolor")}, log);
    return failure;
}

QString registrationFailureText(int32_t code)
{
    using namespace settings;
    switch (code) {
    case setupFailureNone: return QStringLiteral("the file type is registered");
    case setupFailureUnits: return QStringLiteral("the measuring unit could not be stored");
    case setupFailureVersion:
    case setupFailureMark: return QStringLiteral("the setup could not be marked complete");
    case registerFailureExtension: return QStringLiteral("the MIME type of .lmra files could not be written");
    case registerFailureContentType: return QStringLiteral("the document icons could not be written");
    case registerFailureProductName: return QStringLiteral("the program icons could not be written");
    case registerFailureOpenCommand: return QStringLiteral("the desktop entry with the open command could not be written");
    case registerFailureHandOver:
    case registerFailureService:
    case registerFailureTopic: return QStringLiteral("the hand-over to a running editor could not be registered");
    case registerFailureMimeDatabase: return QStringLiteral("Lumora could not be made the default program for .lmra files");
    default: return QStringLiteral("unknown failure %1").arg(code);
    }
}

QString metainfoXml()
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<component type=\"desktop-application\">\n"
        "  <id>%1</id>\n"
        "  <metadata_license>CC0-1.0</metadata_license>\n"
        "  <project_license>LicenseRef-proprietary</project_license>\n"
        "  <name>Lumora</name>\n"
        "  <summary>Design flow charts, cards, labels and posters</summary>\n"
        "  <description>\n"
        "    <p>Lumora is a design editor for flow charts, posters, illustrations, postcards, greeting cards, "
        "business cards, mailing labels, CD and DVD labels, brochures and tent cards. Draw lines, shapes, turned "
        "text and pictures on a page-sized canvas, give them colours, patterns, soft shadows and a shaded 3-D "
        "surface, and print one card over a whole sheet of cards.</p>\n"
        "    <p>Side panels teach the program step by step while it is used.</p>\n"
        "  </description>\n"
        "  <launchable type=\"desktop-id\">%1.desktop</launchable>\n"
        "  <provides>\n"
        "    <binary>lumora</binary>\n"
        "    <binary>lumora-cli</binary>\n"
        "    <mediatype>application/x-lumora</mediatype>\n"
        "  </provides>\n"
        "  <categories>\n"
        "    <category>Graphics</category>\n"
        "  </categories>\n"
        "  <content_rating type=\"oars-1.1\"/>\n"
        "</component>\n")
        .arg(desktopId);
}

bool writeInstallFiles(const QString& dataDir, const QString& program, QStringList* log)
{
    bool ok = writeFileAtomically(dataDir + QStringLiteral("/metainfo/%1.metainfo.xml").arg(desktopId),
                                  metainfoXml().toUtf8(), log);
    ok = writeFileAtomically(dataDir + QStringLiteral("/mime/packages/%1.xml").arg(desktopId),
                             mimePackageXml().toUtf8(), log) && ok;
    ok = writeFileAtomically(dataDir + QStringLiteral("/applications/%1.desktop").arg(desktopId),
                             desktopEntryText(program).toUtf8(), log) && ok;
    ok = writeIcons(dataDir + QStringLiteral("/icons"), QStringLiteral("mimetypes"), documentMimeIcon, documentIconSvg(), log) && ok;
    ok = writeIcons(dataDir + QStringLiteral("/icons"), QStringLiteral("apps"), desktopId, applicationIconSvg(), log) && ok;
    return ok;
}

} // namespace output

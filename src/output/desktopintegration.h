// The document file type as Linux desktops know it (the freedesktop
// conventions): a shared-MIME package that recognises .lmra files by name and
// by content, the program's desktop entry with its open command, icons in the
// hicolor theme, and the default-program association. Written for the current
// user below $XDG_DATA_HOME and $XDG_CONFIG_HOME, or into an install prefix.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace output {

inline const QString desktopId = QStringLiteral("com.velantis.Lumora");
inline const QString documentMimeType = QStringLiteral("application/x-lumora");
inline const QString documentMimeIcon = QStringLiteral("application-x-lumora");

// Where the files go: the user's data and configuration folders.
struct desktopFolders_t {
    QString dataHome;    // mime/, applications/, icons/ below it
    QString configHome;  // mimeapps.list in it
    // $XDG_DATA_HOME and $XDG_CONFIG_HOME, or ~/.local/share and ~/.config.
    static desktopFolders_t ofUser();
};

// The icon sizes written as pictures (the scalable form is written too).
inline constexpr int32_t iconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

QString mimePackageXml();
// The AppStream description of the installed program.
QString metainfoXml();
// `program` is the open command's program: a full path, or a bare name for
// an installed program found on the PATH.
QString desktopEntryText(const QString& program);
// The program's icon (a card with a flow of shapes) and the document's (a
// page with the program's mark), as SVG and drawn at a size.
QByteArray applicationIconSvg();
QByteArray documentIconSvg();
QImage iconImage(const QByteArray& svg, int32_t size);

// Registers the document file type for the current user, step by step (see
// settings::setupFailure_t for the codes); a failed step is logged and the
// next one still runs. Runs the desktop's database tools when they exist
// (a missing tool is no failure). Returns the last failing step's code, 0
// when every file was written; `log` collects one line per event.
int32_t registerFileType(const desktopFolders_t& where, const QString& program, QStringList* log = nullptr);

// The sentence for a registration failure code.
QString registrationFailureText(int32_t code);

// Writes the desktop files of an installation below `dataDir` (the prefix's
// share folder): the entry, the MIME package, the AppStream description and
// the icons; no association and no database update.
bool writeInstallFiles(const QString& dataDir, const QString& program, QStringList* log = nullptr);

} // namespace output

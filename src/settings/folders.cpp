#include "settings/folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace settings {

QString userFolder(folderKind_t kind)
{
    // On Linux these follow ~/.config/user-dirs.dirs, else $HOME/Documents
    // and $HOME/Pictures, which need not exist.
    const QString own = QStandardPaths::writableLocation(
        kind == folderKind_t::documents ? QStandardPaths::DocumentsLocation : QStandardPaths::PicturesLocation);
    if (!own.isEmpty() && QFileInfo(own).isDir()) return QDir::cleanPath(own);
    return QDir::homePath();
}

QString dialogFolder(folderKind_t kind, const QString& stored)
{
    // The default texts never name a folder the user chose, even where a
    // relative folder of that odd name happens to exist.
    const bool isDefault = stored == defaultDocumentFolder || stored == defaultPictureFolder;
    if (!isDefault && !stored.isEmpty() && QFileInfo(stored).isDir()) return stored;
    return userFolder(kind);
}

} // namespace settings

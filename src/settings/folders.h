// The folders the file dialogs start in. The settings keep the folder texts
// the user last chose (fresh stores hold the default texts, which name no
// folder here); the dialogs start in the user's own documents or pictures
// folder whenever the stored text names no existing folder.
#pragma once

#include <QString>

namespace settings {

// The default texts of `docdir`, and of `picidr` and `expdir`.
inline const QString defaultDocumentFolder = QStringLiteral("\\My Documents");
inline const QString defaultPictureFolder = QStringLiteral("\\My Documents\\My Pictures");

enum class folderKind_t {
    documents,  // open and save of documents
    pictures,   // picture insertion and export
};

// The user's folder of that kind when it exists, otherwise the home folder.
QString userFolder(folderKind_t kind);

// The folder a dialog starts in for the stored text: the stored folder when
// it exists (and is not a default text), otherwise the user's folder.
QString dialogFolder(folderKind_t kind, const QString& stored);

} // namespace settings

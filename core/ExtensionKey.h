#pragma once

#include "FileItem.h"

#include <QString>
#include <QStringView>

namespace tarnwick {

// The key of the "Folders" pill.
inline const QString kFolderKey = QStringLiteral("__folder__");

// The lowercased extension of a file name: what follows its last ".", or empty text when there
// is none, when the dot starts the name (".bashrc" is a hidden name, not an extension), ends it,
// or what follows holds a blank ("Version 2.0 final").
QString extensionOf(QStringView name);

// kFolderKey for a folder, otherwise the extension of its name.
QString extensionKey(const FileItem& item);

}  // namespace tarnwick

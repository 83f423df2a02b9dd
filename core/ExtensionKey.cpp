#include "ExtensionKey.h"

namespace tarnwick {

QString extensionOf(QStringView name) {
    qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1) return {};
    QStringView extension = name.sliced(dot + 1);
    for (QChar c : extension) {
        if (c.isSpace()) return {};
    }
    return extension.toString().toLower();
}

QString extensionKey(const FileItem& item) {
    return item.isDirectory() ? kFolderKey : extensionOf(item.name());
}

}  // namespace tarnwick

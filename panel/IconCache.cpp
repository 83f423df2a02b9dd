#include "IconCache.h"

#include <QFileIconProvider>

namespace tarnwick {

namespace {

const QString kFolderType = QStringLiteral("inode/directory");
const QString kUnknownType = QStringLiteral("application/octet-stream");

}  // namespace

IconCache::IconCache(QSize drawnSize) {
    // Without a desktop session Qt's theme is bare hicolor, which holds no MIME icons.
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == u"hicolor")
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    // The first theme lookup reads the theme's index and folders, and the first drawing loads
    // the image plugins (10 ms on the first paint of a full list): do both now, not in a paint.
    // The icon keeps what it drew, for every copy.
    for (const FileItem& sample : {FileItem::fromPath("/folder", "/", true, 0),
                                   FileItem::fromPath("/file.txt", "/", false, 0)}) {
        const QIcon icon = iconFor(sample);
        if (drawnSize.isValid()) icon.pixmap(drawnSize);
    }
}

QString IconCache::typeOf(const FileItem& item) const {
    if (item.isDirectory()) return kFolderType;
    const QList<QMimeType> types = m_mimeDatabase.mimeTypesForFileName(item.name());
    return types.isEmpty() ? kUnknownType : types.first().name();
}

QIcon IconCache::iconFor(const FileItem& item) {
    return iconForType(typeOf(item));
}

QIcon IconCache::iconForType(const QString& type) {
    auto found = m_icons.constFind(type);
    if (found != m_icons.constEnd()) return *found;
    return *m_icons.insert(type, themedIcon(type));
}

QIcon IconCache::themedIcon(const QString& typeName) {
    const QFileIconProvider provider;
    if (typeName == kFolderType)
        return QIcon::fromTheme(QStringLiteral("folder"), provider.icon(QFileIconProvider::Folder));
    const QMimeType type = m_mimeDatabase.mimeTypeForName(typeName);
    for (const QString& name : {type.iconName(), type.genericIconName()})
        if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    return provider.icon(QFileIconProvider::File);
}

}  // namespace tarnwick

#pragma once

#include "core/FileItem.h"

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QSize>
#include <QString>

namespace tarnwick {

// Icons by type, for painting rows: the type comes from the name alone (never the content, so
// painting never reads the disk) and each type's themed icon is looked up once.
class IconCache {
public:
    // Icons are drawn at `drawnSize`: the folder's and a plain file's are drawn right away,
    // before any paint needs them.
    explicit IconCache(QSize drawnSize = {});
    QIcon iconFor(const FileItem& item);
    // The icon of a MIME type by its name ("inode/directory" for folders).
    QIcon iconForType(const QString& typeName);
    // The MIME type name the icon stands for ("inode/directory" for folders).
    QString typeOf(const FileItem& item) const;

private:
    QIcon themedIcon(const QString& typeName);

    QMimeDatabase m_mimeDatabase;
    QHash<QString, QIcon> m_icons;
};

}  // namespace tarnwick

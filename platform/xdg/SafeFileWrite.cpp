#include "SafeFileWrite.h"

#include "FailWith.h"

#include <QCoreApplication>
#include <QSaveFile>

namespace tarnwick {

bool replaceFileContent(const QString& path, const QByteArray& content,
                        std::optional<QFileDevice::Permissions> permissions, QString* error) {
    QSaveFile file(path);
    // Unbuffered: a write that fails only when the buffer is flushed at commit() does not stop
    // QSaveFile (Qt 6.4) from renaming the cut file into place, over a full disk's old file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(content) != content.size())
        return failWith(error, QCoreApplication::translate("SafeFileWrite", "cannot write %1: %2")
                                   .arg(path, file.errorString()));
    if (permissions && !file.setPermissions(*permissions))
        return failWith(error, QCoreApplication::translate("SafeFileWrite",
                                                           "cannot set the permissions of %1: %2")
                                   .arg(path, file.errorString()));
    if (!file.commit())
        return failWith(error, QCoreApplication::translate("SafeFileWrite", "cannot write %1: %2")
                                   .arg(path, file.errorString()));
    return true;
}

}  // namespace tarnwick

#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace tarnwick {

// Replaces the file at `path` by `content` in one rename, or leaves it as it was and says why in
// `error`. `permissions`, when given, are set on the new file before it takes the old one's place.
bool replaceFileContent(const QString& path, const QByteArray& content,
                        std::optional<QFileDevice::Permissions> permissions, QString* error);

}  // namespace tarnwick

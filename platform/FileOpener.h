#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarnwick {

// Opens files and folders with the user's default application for their type.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    // Hands `path` (native bytes) to its default application; the launcher's own message when it
    // cannot (no such file, no application for the type), nothing on success.
    virtual std::optional<QString> open(const QByteArray& path) = 0;
};

}  // namespace tarnwick

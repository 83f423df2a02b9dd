#include <gio/gio.h>

#include "GioFileOpener.h"

#include "core/FileUri.h"

namespace tarnwick {

std::optional<QString> GioFileOpener::open(const QByteArray& path) {
    const QByteArray uri = fileUriFromPath(path).toLatin1();
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.constData(), nullptr, &error)) return std::nullopt;
    QString message = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown error");
    g_clear_error(&error);
    return message;
}

}  // namespace tarnwick

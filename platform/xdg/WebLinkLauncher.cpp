#include <gio/gio.h>

#include "WebLinkLauncher.h"

namespace tarnwick {

bool openWebLink(const QUrl& link, QString* error) {
    if (!link.isValid() || link.isRelative()) {
        if (error) *error = QStringLiteral("not a link: %1").arg(link.toString());
        return false;
    }
    GError* failure = nullptr;
    const QByteArray uri = link.toEncoded();
    const gboolean launched = g_app_info_launch_default_for_uri(uri.constData(), nullptr, &failure);
    if (!launched && error)
        *error = failure ? QString::fromUtf8(failure->message) : QStringLiteral("unknown failure");
    g_clear_error(&failure);
    return launched;
}

}  // namespace tarnwick

#include <gio/gio.h>

#include "GioFileOpener.h"

#include "core/FileUri.h"

namespace tarnwick {

namespace {

// The default application for the type the file's name suggests; nullptr when none.
GAppInfo* applicationForName(const QByteArray& path) {
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    gchar* guessed = g_content_type_guess(name.constData(), nullptr, 0, nullptr);
    GAppInfo* application = guessed ? g_app_info_get_default_for_type(guessed, FALSE) : nullptr;
    g_free(guessed);
    return application;
}

}  // namespace

std::optional<QString> GioFileOpener::open(const QByteArray& path) {
    const QByteArray uri = fileUriFromPath(path).toLatin1();
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.constData(), nullptr, &error)) return std::nullopt;
    // No application for the file's type: GLib 2.84 types every empty file
    // application/x-zerosize, which nothing handles, so a new empty notes.txt would not open.
    // The type its name suggests opens it as the file manager would.
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED)) {
        if (GAppInfo* application = applicationForName(path)) {
            GList uris{const_cast<char*>(uri.constData()), nullptr, nullptr};
            GError* launchError = nullptr;
            const bool launched = g_app_info_launch_uris(application, &uris, nullptr, &launchError);
            g_object_unref(application);
            if (launched) {
                g_clear_error(&error);
                return std::nullopt;
            }
            g_clear_error(&error);
            error = launchError;
        }
    }
    QString message = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown error");
    g_clear_error(&error);
    return message;
}

}  // namespace tarnwick

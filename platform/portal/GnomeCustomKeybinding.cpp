#include <gio/gio.h>

#include "GnomeCustomKeybinding.h"

#include <QCoreApplication>

namespace tarnwick {

namespace {

constexpr const char* kMediaKeysSchema = "org.gnome.settings-daemon.plugins.media-keys";
constexpr const char* kCustomSchema =
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
constexpr const char* kListKey = "custom-keybindings";

// GSettings aborts the process on an unknown schema or key: look before touching.
bool schemaHasKey(const char* schemaId, const char* key) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) return false;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (!schema) return false;
    const bool has = g_settings_schema_has_key(schema, key);
    g_settings_schema_unref(schema);
    return has;
}

struct GObjectDeleter {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using SettingsPtr = std::unique_ptr<GSettings, GObjectDeleter>;

SettingsPtr listSettings() {
    return SettingsPtr(g_settings_new(kMediaKeysSchema));
}

SettingsPtr customSettings() {
    return SettingsPtr(g_settings_new_with_path(kCustomSchema, GnomeCustomKeybinding::kPath));
}

QList<QByteArray> installedPaths(GSettings* list) {
    QList<QByteArray> paths;
    gchar** values = g_settings_get_strv(list, kListKey);
    for (gchar** value = values; value && *value; ++value) paths.append(QByteArray(*value));
    g_strfreev(values);
    return paths;
}

bool writePaths(GSettings* list, const QList<QByteArray>& paths) {
    std::vector<const gchar*> values;
    for (const QByteArray& path : paths) values.push_back(path.constData());
    values.push_back(nullptr);
    return g_settings_set_strv(list, kListKey, values.data());
}

bool refuse(QString* error, const QString& reason) {
    if (error) *error = reason;
    return false;
}

}  // namespace

bool GnomeCustomKeybinding::isOffered() {
    return schemaHasKey(kMediaKeysSchema, kListKey) && schemaHasKey(kCustomSchema, "command") &&
           schemaHasKey(kCustomSchema, "binding") && schemaHasKey(kCustomSchema, "name");
}

bool GnomeCustomKeybinding::isInstalled() {
    if (!isOffered()) return false;
    return installedPaths(listSettings().get()).contains(QByteArray(kPath));
}

bool GnomeCustomKeybinding::install(const QString& name, const QString& command,
                                    const QString& accelerator, QString* error) {
    if (!isOffered())
        return refuse(error, QStringLiteral("GNOME's keybinding settings are not installed"));
    SettingsPtr custom = customSettings();
    // The keybinding is complete before GNOME sees it in the list.
    const bool written =
        g_settings_set_string(custom.get(), "name", name.toUtf8().constData()) &&
        g_settings_set_string(custom.get(), "command", command.toUtf8().constData()) &&
        g_settings_set_string(custom.get(), "binding", accelerator.toUtf8().constData());
    if (!written) return refuse(error, QStringLiteral("GNOME's keybinding settings are read-only"));
    SettingsPtr list = listSettings();
    QList<QByteArray> paths = installedPaths(list.get());
    if (!paths.contains(QByteArray(kPath))) {
        paths.append(QByteArray(kPath));
        if (!writePaths(list.get(), paths))
            return refuse(error, QStringLiteral("GNOME's list of custom keybindings is read-only"));
    }
    g_settings_sync();
    return true;
}

bool GnomeCustomKeybinding::remove(QString* error) {
    if (!isOffered()) return true;
    SettingsPtr list = listSettings();
    QList<QByteArray> paths = installedPaths(list.get());
    if (paths.removeAll(QByteArray(kPath)) > 0 && !writePaths(list.get(), paths))
        return refuse(error, QStringLiteral("GNOME's list of custom keybindings is read-only"));
    SettingsPtr custom = customSettings();
    for (const char* key : {"name", "command", "binding"}) g_settings_reset(custom.get(), key);
    g_settings_sync();
    return true;
}

QString GnomeCustomKeybinding::activateCommand() {
    const QByteArray program = QCoreApplication::applicationFilePath().toUtf8();
    gchar* quoted = g_shell_quote(program.constData());
    const QString command = QString::fromUtf8(quoted) + QStringLiteral(" --activate");
    g_free(quoted);
    return command;
}

}  // namespace tarnwick

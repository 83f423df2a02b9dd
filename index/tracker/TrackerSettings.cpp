#include <gio/gio.h>

#include "TrackerSettings.h"

#include "core/FileUri.h"

#include <QByteArrayView>

#include <array>
#include <utility>

namespace tarnwick {

namespace {

// LocalSearch (Debian 13) kept Tracker's schema ids and paths along with its D-Bus name.
constexpr char kMinerSchema[] = "org.freedesktop.Tracker3.Miner.Files";
constexpr char kExtractSchema[] = "org.freedesktop.Tracker3.Extract";

QByteArray homeFolder() {
    QByteArray home = qgetenv("HOME");
    return home.isEmpty() ? QByteArray(g_get_home_dir()) : home;
}

std::optional<GUserDirectory> specialFolder(QByteArrayView name) {
    static constexpr std::array<std::pair<const char*, GUserDirectory>, 8> kNames{{
        {"&DESKTOP", G_USER_DIRECTORY_DESKTOP},
        {"&DOCUMENTS", G_USER_DIRECTORY_DOCUMENTS},
        {"&DOWNLOAD", G_USER_DIRECTORY_DOWNLOAD},
        {"&MUSIC", G_USER_DIRECTORY_MUSIC},
        {"&PICTURES", G_USER_DIRECTORY_PICTURES},
        {"&PUBLIC_SHARE", G_USER_DIRECTORY_PUBLIC_SHARE},
        {"&TEMPLATES", G_USER_DIRECTORY_TEMPLATES},
        {"&VIDEOS", G_USER_DIRECTORY_VIDEOS},
    }};
    for (const auto& [symbol, directory] : kNames)
        if (name == QByteArrayView(symbol)) return directory;
    return std::nullopt;
}

// "$HOME/x", "${HOME}/x": each path component that starts with '$' is replaced by the variable
// (an unset one by nothing), as the miner does it.
QByteArray expandVariables(const QByteArray& entry) {
    QList<QByteArray> parts = entry.split('/');
    for (QByteArray& part : parts) {
        if (!part.startsWith('$')) continue;
        QByteArray name = part.mid(1);
        if (name.startsWith('{') && name.endsWith('}')) name = name.mid(1, name.size() - 2);
        part = qgetenv(name.constData());
    }
    return parts.join('/');
}

QByteArray absoluteFromCommandLine(const QByteArray& path) {
    GFile* file = g_file_new_for_commandline_arg(path.constData());
    char* absolute = g_file_get_path(file);
    QByteArray result(absolute ? absolute : "");
    g_free(absolute);
    g_object_unref(file);
    return result;
}

QList<QByteArray> stringList(GSettings* settings, const char* key) {
    QList<QByteArray> list;
    gchar** values = g_settings_get_strv(settings, key);
    for (gchar** value = values; value && *value; ++value) list.append(QByteArray(*value));
    g_strfreev(values);
    return list;
}

// GSettings aborts the process for a schema it does not know, so look it up first.
GSettings* openSettings(const char* schemaId) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) return nullptr;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (!schema) return nullptr;
    GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return settings;
}

QList<QByteArray> expandedFolders(const QList<QByteArray>& entries) {
    QList<QByteArray> folders;
    for (const QByteArray& entry : entries) {
        QByteArray folder = expandIndexedFolder(entry);
        if (!folder.isEmpty() && !folders.contains(folder)) folders.append(folder);
    }
    return folders;
}

void readMinerSettings(TrackerSettings& settings) {
    GSettings* miner = openSettings(kMinerSchema);
    if (!miner) return;
    settings.recursiveFolders = expandedFolders(stringList(miner, "index-recursive-directories"));
    settings.singleFolders = expandedFolders(stringList(miner, "index-single-directories"));
    settings.ignoredFiles = stringList(miner, "ignored-files");
    settings.ignoredFolders = stringList(miner, "ignored-directories");
    settings.contentBlockingNames = stringList(miner, "ignored-directories-with-content");
    g_object_unref(miner);
}

void readExtractorSettings(TrackerSettings& settings) {
    GSettings* extract = openSettings(kExtractSchema);
    if (!extract) return;
    settings.textAllowlist = stringList(extract, "text-allowlist");
    settings.maxExtractedBytes = g_settings_get_int(extract, "max-bytes");
    g_object_unref(extract);
}

}  // namespace

QByteArray expandIndexedFolder(const QByteArray& entry) {
    if (entry.isEmpty()) return {};
    if (std::optional<GUserDirectory> special = specialFolder(entry)) {
        const char* folder = g_get_user_special_dir(*special);
        if (!folder || withoutTrailingSlashes(folder) == withoutTrailingSlashes(homeFolder()))
            return {};
        return withoutTrailingSlashes(folder);
    }
    QByteArray expanded =
        entry.startsWith('~') ? homeFolder() + entry.mid(1) : expandVariables(entry);
    // A bare name without any '/' is not a folder for the miner either.
    if (!expanded.contains('/')) return {};
    return withoutTrailingSlashes(absoluteFromCommandLine(expanded));
}

TrackerSettings TrackerSettings::fromGSettings() {
    TrackerSettings settings;
    settings.textAllowlist = {"*.txt", "*.md", "*.mdwn"};
    readMinerSettings(settings);
    readExtractorSettings(settings);
    return settings;
}

}  // namespace tarnwick

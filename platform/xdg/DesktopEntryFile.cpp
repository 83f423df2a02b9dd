#include <glib.h>

#include "DesktopEntryFile.h"

#include <QFile>

namespace tarnwick {

struct DesktopEntryFile::Impl {
    GKeyFile* keyFile = g_key_file_new();
    ~Impl() { g_key_file_free(keyFile); }
};

DesktopEntryFile::DesktopEntryFile() : m_impl(std::make_unique<Impl>()) {}

DesktopEntryFile::~DesktopEntryFile() = default;

namespace {

DesktopEntryFile::LoadResult resultFor(GError* error) {
    if (!error) return DesktopEntryFile::LoadResult::loaded;
    if (error->domain == G_FILE_ERROR) {
        return error->code == G_FILE_ERROR_NOENT ? DesktopEntryFile::LoadResult::missing
                                                 : DesktopEntryFile::LoadResult::unreadable;
    }
    return DesktopEntryFile::LoadResult::invalid;
}

}  // namespace

DesktopEntryFile::LoadResult DesktopEntryFile::loadFile(const QString& path) {
    GError* error = nullptr;
    const QByteArray nativePath = QFile::encodeName(path);
    g_key_file_load_from_file(m_impl->keyFile, nativePath.constData(), G_KEY_FILE_NONE, &error);
    const LoadResult result = resultFor(error);
    m_error = error ? QString::fromUtf8(error->message) : QString();
    g_clear_error(&error);
    return result;
}

DesktopEntryFile::LoadResult DesktopEntryFile::loadData(const QByteArray& data) {
    GError* error = nullptr;
    g_key_file_load_from_data(m_impl->keyFile, data.constData(), gsize(data.size()),
                              G_KEY_FILE_NONE, &error);
    const LoadResult result = resultFor(error);
    m_error = error ? QString::fromUtf8(error->message) : QString();
    g_clear_error(&error);
    return result;
}

bool DesktopEntryFile::hasGroup(const char* group) const {
    return g_key_file_has_group(m_impl->keyFile, group);
}

std::optional<QString> DesktopEntryFile::string(const char* group, const char* key) const {
    gchar* value = g_key_file_get_string(m_impl->keyFile, group, key, nullptr);
    if (!value) return std::nullopt;
    QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

std::optional<bool> DesktopEntryFile::boolean(const char* group, const char* key) const {
    GError* error = nullptr;
    const gboolean value = g_key_file_get_boolean(m_impl->keyFile, group, key, &error);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    return value != FALSE;
}

}  // namespace tarnwick

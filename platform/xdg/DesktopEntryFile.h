#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace tarnwick {

// A parsed freedesktop desktop entry (or any key file of that syntax), read with GLib's key-file
// parser, which knows the format's escapes, locale keys and lists better than QSettings' INI.
class DesktopEntryFile {
public:
    enum class LoadResult { loaded, missing, unreadable, invalid };

    DesktopEntryFile();
    ~DesktopEntryFile();
    DesktopEntryFile(const DesktopEntryFile&) = delete;
    DesktopEntryFile& operator=(const DesktopEntryFile&) = delete;

    LoadResult loadFile(const QString& path);
    LoadResult loadData(const QByteArray& data);
    // GLib's message for the last failed load.
    QString loadError() const { return m_error; }

    bool hasGroup(const char* group) const;
    std::optional<QString> string(const char* group, const char* key) const;
    // Absent or not a boolean: nothing.
    std::optional<bool> boolean(const char* group, const char* key) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    QString m_error;
};

}  // namespace tarnwick

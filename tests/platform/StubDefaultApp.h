#pragma once

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace tarnwick::test {

// A private XDG data and config home in which a stub script is the default application for
// plain text and for folders. The stub appends each path it is given, NUL-terminated, to a
// file, so that a test sees exactly which bytes an application received.
class StubDefaultApp {
public:
    StubDefaultApp();

    bool isValid() const { return m_valid; }
    QByteArray root() const { return QFile::encodeName(m_folder.path()); }
    // XDG_DATA_HOME, XDG_CONFIG_HOME and HOME in the private folder, for a child process.
    QProcessEnvironment environment() const;
    // The same in this process (before GLib first reads them).
    void applyToThisProcess() const;
    // Every path the stub was started with, oldest first.
    QList<QByteArray> openedPaths() const;

private:
    QTemporaryDir m_folder;
    bool m_valid = false;
};

}  // namespace tarnwick::test

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
    // XDG_DATA_HOME, XDG_CONFIG_HOME and HOME pointing into the private folders.
    QProcessEnvironment environment() const;
    // Sets the same in this process (before GLib first reads them).
    void applyToThisProcess() const;
    // Every path the stub was started with, oldest first.
    QList<QByteArray> openedPaths() const;
    QByteArray root() const;

private:
    QTemporaryDir m_folder;
    bool m_valid = false;
};

}  // namespace tarnwick::test

#pragma once

#include "tests/support/TempTree.h"

#include <QProcessEnvironment>

#include <sys/stat.h>

namespace tarnwick::test {

// A private XDG data and config home whose default application for plain text and folders is a
// stub that appends each path it gets, NUL-terminated, to a file: the exact bytes received.
class StubDefaultApp {
public:
    StubDefaultApp() {
        m_folder.write("stub-opener", "#!/bin/sh\nfor f in \"$@\"; do printf '%s\\0' \"$f\" >> '" +
                                          m_folder.pathOf("opened") + "'; done\n");
        m_folder.write(
            "data/applications/tarnwick-stub.desktop",
            "[Desktop Entry]\nType=Application\nName=Stub\nExec=" + m_folder.pathOf("stub-opener") +
                " %F\nMimeType=text/plain;inode/directory;\nNoDisplay=true\n");
        m_folder.write("config/mimeapps.list",
                       "[Default Applications]\ntext/plain=tarnwick-stub.desktop\n"
                       "inode/directory=tarnwick-stub.desktop\n");
        m_folder.mkdir("home");
        m_valid = ::chmod(m_folder.pathOf("stub-opener").constData(), 0500) == 0;
    }
    bool isValid() const { return m_valid; }
    // The XDG homes and HOME in the private folder; `applyHere`: before GLib reads them here.
    QProcessEnvironment environment(bool applyHere = false) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"}) {
            const QByteArray folder = m_folder.pathOf(
                QByteArray(name).replace("XDG_", "").replace("_HOME", "").toLower());
            environment.insert(QLatin1String(name), QFile::decodeName(folder));
            if (applyHere) qputenv(name, folder);
        }
        return environment;
    }
    // Every path the stub was started with, oldest first.
    QList<QByteArray> openedPaths() const {
        QFile log(QFile::decodeName(m_folder.pathOf("opened")));
        QList<QByteArray> paths =
            log.open(QIODevice::ReadOnly) ? log.readAll().split('\0') : QList<QByteArray>{{}};
        paths.removeLast();  // after the last NUL
        return paths;
    }

private:
    TempTree m_folder;
    bool m_valid = false;
};

}  // namespace tarnwick::test

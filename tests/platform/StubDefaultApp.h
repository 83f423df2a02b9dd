#pragma once

#include <QDir>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace tarnwick::test {

// A private XDG data and config home whose default application for plain text and folders is a
// stub that appends each path it gets, NUL-terminated, to a file: the exact bytes received.
class StubDefaultApp {
public:
    StubDefaultApp() {
        const QByteArray root = QFile::encodeName(m_folder.path());
        m_valid =
            write("stub-opener", "#!/bin/sh\nfor f in \"$@\"; do printf '%s\\0' \"$f\" >> '" +
                                     root + "/opened'; done\n") &&
            QFile::setPermissions(m_folder.filePath(QStringLiteral("stub-opener")),
                                  QFile::ReadOwner | QFile::ExeOwner) &&
            write("data/applications/tarnwick-stub.desktop",
                  "[Desktop Entry]\nType=Application\nName=Stub\nExec=" + root +
                      "/stub-opener %F\nMimeType=text/plain;inode/directory;\nNoDisplay=true\n") &&
            write("config/mimeapps.list",
                  "[Default Applications]\ntext/plain=tarnwick-stub.desktop\n"
                  "inode/directory=tarnwick-stub.desktop\n") &&
            QDir(m_folder.path()).mkpath(QStringLiteral("home"));
    }
    bool isValid() const { return m_valid; }
    // XDG_DATA_HOME, XDG_CONFIG_HOME and HOME in the private folder, for a child process, or for
    // this one (before GLib first reads them).
    QProcessEnvironment environment(bool applyHere = false) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"}) {
            QString leaf = QString::fromLatin1(name).remove(QLatin1String("XDG_"));
            const QString folder = m_folder.filePath(leaf.remove(QLatin1String("_HOME")).toLower());
            environment.insert(QLatin1String(name), folder);
            if (applyHere) qputenv(name, QFile::encodeName(folder));
        }
        return environment;
    }
    // Every path the stub was started with, oldest first.
    QList<QByteArray> openedPaths() const {
        QFile log(m_folder.filePath(QStringLiteral("opened")));
        QList<QByteArray> paths =
            log.open(QIODevice::ReadOnly) ? log.readAll().split('\0') : QList<QByteArray>{{}};
        paths.removeLast();  // after the last NUL
        return paths;
    }

private:
    bool write(const QString& relative, const QByteArray& content) {
        QFile file(m_folder.filePath(relative));
        return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) &&
               file.write(content) == content.size();
    }
    QTemporaryDir m_folder;
    bool m_valid = false;
};

}  // namespace tarnwick::test

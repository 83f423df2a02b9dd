#pragma once

#include <QDir>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace tarnwick::test {

// A private XDG data and config home in which a stub script is the default application for
// plain text and for folders. The stub appends each path it is given, NUL-terminated, to a
// file, so that a test sees exactly which bytes an application received.
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
    // XDG_DATA_HOME, XDG_CONFIG_HOME and HOME in the private folder, for a child process...
    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, folder] : kHomes)
            environment.insert(QLatin1String(name), m_folder.filePath(QLatin1String(folder)));
        return environment;
    }
    // ...or for this process (before GLib first reads them).
    void applyToThisProcess() const {
        for (const auto& [name, folder] : kHomes)
            qputenv(name, QFile::encodeName(m_folder.filePath(QLatin1String(folder))));
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
    static constexpr std::pair<const char*, const char*> kHomes[] = {
        {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "config"}, {"HOME", "home"}};
    bool write(const QString& relative, const QByteArray& content) {
        QFile file(m_folder.filePath(relative));
        return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) &&
               file.write(content) == content.size();
    }
    QTemporaryDir m_folder;
    bool m_valid = false;
};

}  // namespace tarnwick::test

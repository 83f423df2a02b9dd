#include "StubDefaultApp.h"

#include <QDir>

namespace tarnwick::test {

namespace {

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace

StubDefaultApp::StubDefaultApp() {
    const QByteArray stub = root() + "/stub-opener";
    m_valid =
        m_folder.isValid() &&
        writeFile(QFile::decodeName(stub),
                  "#!/bin/sh\nfor f in \"$@\"; do printf '%s\\0' \"$f\" >> '" + root() +
                      "/opened'; done\n") &&
        QFile::setPermissions(QFile::decodeName(stub), QFile::ReadOwner | QFile::ExeOwner) &&
        writeFile(m_folder.filePath(QStringLiteral("data/applications/tarnwick-stub.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Stub opener\nExec=" + stub +
                      " %F\nMimeType=text/plain;inode/directory;\nNoDisplay=true\n") &&
        writeFile(m_folder.filePath(QStringLiteral("config/mimeapps.list")),
                  "[Default Applications]\ntext/plain=tarnwick-stub.desktop\n"
                  "inode/directory=tarnwick-stub.desktop\n") &&
        QDir().mkpath(m_folder.filePath(QStringLiteral("home")));
}

QProcessEnvironment StubDefaultApp::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString base = m_folder.path();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), base + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), base + QStringLiteral("/config"));
    environment.insert(QStringLiteral("HOME"), base + QStringLiteral("/home"));
    return environment;
}

void StubDefaultApp::applyToThisProcess() const {
    qputenv("XDG_DATA_HOME", root() + "/data");
    qputenv("XDG_CONFIG_HOME", root() + "/config");
    qputenv("HOME", root() + "/home");
}

QList<QByteArray> StubDefaultApp::openedPaths() const {
    QFile log(m_folder.filePath(QStringLiteral("opened")));
    if (!log.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> paths = log.readAll().split('\0');
    paths.removeLast();  // after the last NUL
    return paths;
}

}  // namespace tarnwick::test

#include "StubDefaultApp.h"

#include <QDir>
#include <QFile>

namespace tarnwick::test {

namespace {

bool writeFile(const QString& path, const QByteArray& content, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return false;
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                            QFileDevice::ExeOther);
    return true;
}

}  // namespace

StubDefaultApp::StubDefaultApp() {
    if (!m_folder.isValid()) return;
    const QString root = m_folder.path();
    QDir().mkpath(root + QStringLiteral("/data/applications"));
    QDir().mkpath(root + QStringLiteral("/config"));
    QDir().mkpath(root + QStringLiteral("/home"));
    const QByteArray stub = QFile::encodeName(root + QStringLiteral("/stub-opener"));
    const QByteArray log = QFile::encodeName(root + QStringLiteral("/opened"));
    m_valid =
        writeFile(QString::fromLocal8Bit(stub),
                  "#!/bin/sh\nfor f in \"$@\"; do printf '%s\\0' \"$f\" >> '" + log + "'; done\n",
                  true) &&
        writeFile(root + QStringLiteral("/data/applications/tarnwick-stub.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Stub opener\nExec=" + stub +
                      " %F\nMimeType=text/plain;inode/directory;\nNoDisplay=true\n") &&
        writeFile(root + QStringLiteral("/config/mimeapps.list"),
                  "[Default Applications]\ntext/plain=tarnwick-stub.desktop\n"
                  "inode/directory=tarnwick-stub.desktop\n");
}

QByteArray StubDefaultApp::root() const {
    return QFile::encodeName(m_folder.path());
}

QProcessEnvironment StubDefaultApp::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder.path() + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       m_folder.path() + QStringLiteral("/config"));
    environment.insert(QStringLiteral("HOME"), m_folder.path() + QStringLiteral("/home"));
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
    if (!paths.isEmpty() && paths.last().isEmpty()) paths.removeLast();
    return paths;
}

}  // namespace tarnwick::test

#include "ThunarActionsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include "FailWith.h"
#include "SafeFileWrite.h"

namespace tarnwick {

namespace {

const QString kRelativePath = QStringLiteral("Thunar/uca.xml");

}  // namespace

ThunarActionsFile::ThunarActionsFile(QString userFile, QStringList systemFiles)
    : m_userFile(std::move(userFile)), m_systemFiles(std::move(systemFiles)) {}

ThunarActionsFile ThunarActionsFile::forThisUser() {
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QString user = folders.isEmpty() ? QString() : folders.takeFirst();
    QStringList systemFiles;
    for (const QString& folder : folders) systemFiles << folder + QLatin1Char('/') + kRelativePath;
    return ThunarActionsFile(user + QLatin1Char('/') + kRelativePath, systemFiles);
}

bool ThunarActionsFile::readCurrent(QByteArray* content, QString* error) const {
    content->clear();
    QStringList candidates{m_userFile};
    candidates += m_systemFiles;
    for (const QString& path : candidates) {
        if (!QFileInfo::exists(path)) continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return failWith(error,
                            QCoreApplication::translate("ThunarActionsFile", "cannot read %1: %2")
                                .arg(path, file.errorString()));
        *content = file.readAll();
        return true;
    }
    return true;
}

bool ThunarActionsFile::contains(const QString& uniqueId) const {
    QFile file(m_userFile);
    return file.open(QIODevice::ReadOnly) && hasThunarAction(file.readAll(), uniqueId);
}

bool ThunarActionsFile::write(const QByteArray& content, QString* error) const {
    const QFileInfo info(m_userFile);
    if (!QDir().mkpath(info.absolutePath()))
        return failWith(
            error, QCoreApplication::translate("ThunarActionsFile", "cannot create the folder %1")
                       .arg(info.absolutePath()));
    if (info.exists() && !QFileInfo::exists(backupFile()) && !QFile::copy(m_userFile, backupFile()))
        return failWith(error, QCoreApplication::translate("ThunarActionsFile",
                                                           "cannot keep a copy of %1 as %2")
                                   .arg(m_userFile, backupFile()));
    return replaceFileContent(m_userFile, content, std::nullopt, error);
}

bool ThunarActionsFile::install(const ThunarAction& action, QString* error) const {
    QByteArray current;
    if (!readCurrent(&current, error)) return false;
    const ThunarActionsEdit edit = editThunarActions(current, action.uniqueId, action);
    if (!edit.ok)
        return failWith(error,
                        QCoreApplication::translate("ThunarActionsFile", "%1 left unchanged: %2")
                            .arg(m_userFile, edit.error));
    return write(edit.xml, error);
}

bool ThunarActionsFile::remove(const QString& uniqueId, QString* error) const {
    QFile file(m_userFile);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly))
        return failWith(error,
                        QCoreApplication::translate("ThunarActionsFile", "cannot read %1: %2")
                            .arg(m_userFile, file.errorString()));
    const QByteArray current = file.readAll();
    if (!hasThunarAction(current, uniqueId)) return true;
    const ThunarActionsEdit edit = editThunarActions(current, uniqueId, std::nullopt);
    if (!edit.ok)
        return failWith(error,
                        QCoreApplication::translate("ThunarActionsFile", "%1 left unchanged: %2")
                            .arg(m_userFile, edit.error));
    return write(edit.xml, error);
}

}  // namespace tarnwick

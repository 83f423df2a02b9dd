#include "LoginItem.h"

#include "platform/xdg/AutostartEntry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace tarnwick {

namespace {

QString desktopFileName() {
    return QString::fromLatin1(LoginItem::kAppId) + ".desktop";
}

}  // namespace

LoginItem::LoginItem(QString entryPath, QStringList templateCandidates)
    : m_entryPath(std::move(entryPath)), m_templateCandidates(std::move(templateCandidates)) {}

LoginItem LoginItem::forThisApplication() {
    const QString configHome =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString relativeTemplate = QStringLiteral("tarnwick/autostart/") + desktopFileName();
    QStringList candidates{QCoreApplication::applicationDirPath() + "/../share/" +
                           relativeTemplate};
    candidates += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, relativeTemplate);
    return LoginItem(configHome + "/autostart/" + desktopFileName(), candidates);
}

bool LoginItem::isEnabled() const {
    return readAutostartEntry(m_entryPath).startsAtLogin();
}

QString LoginItem::findTemplate() const {
    for (const QString& candidate : m_templateCandidates)
        if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
    return {};
}

bool LoginItem::setEnabled(bool enabled, QString* error) const {
    QString failure;
    bool done = false;
    if (!enabled) {
        done = removeAutostartEntry(m_entryPath, &failure);
    } else if (const QString templatePath = findTemplate(); templatePath.isEmpty()) {
        failure = tr("no autostart template installed (looked in %1)")
                      .arg(m_templateCandidates.join(QLatin1String(", ")));
    } else {
        done = writeAutostartEntry(templatePath, m_entryPath, &failure);
    }
    if (done) return true;
    std::printf("Login item error: %s\n", qPrintable(failure));
    std::fflush(stdout);
    if (error) *error = failure;
    return false;
}

}  // namespace tarnwick

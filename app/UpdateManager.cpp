#include "UpdateManager.h"

#include "platform/xdg/WebLinkLauncher.h"

#include <QCoreApplication>

#include <cstdio>

namespace tarnwick {

namespace {

// Long waits are cut into hours, so that time spent in suspend (which the timer does not see)
// delays a due check by at most an hour.
constexpr qint64 kLongestWaitMs = 60 * 60 * 1000;

void printUpdateError(const QString& message) {
    std::printf("Update error: %s\n", qPrintable(message));
    std::fflush(stdout);
}

}  // namespace

UpdateManager::UpdateManager(const Setup& setup, QObject* parent)
    : QObject(parent),
      m_setup(setup),
      m_running(AppcastVersion::parse(setup.runningVersion).value_or(AppcastVersion())) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &UpdateManager::onTimer);
    connect(&m_fetcher, &AppcastFetcher::fetched, this, &UpdateManager::onFetched);
    connect(&m_fetcher, &AppcastFetcher::failed, this, &UpdateManager::onFailed);
}

UpdateManager::~UpdateManager() {
    delete m_dialog;
}

UpdateManager& UpdateManager::shared() {
    // Lives as long as the application object, which deletes it before Qt is torn down.
    static UpdateManager* instance = new UpdateManager(
        {QUrl(QStringLiteral(TARNWICK_UPDATE_FEED_URL)), QStringLiteral(TARNWICK_VERSION)},
        QCoreApplication::instance());
    return *instance;
}

void UpdateManager::start() {
    if (!isEnabled()) return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::optional<QDateTime> last = AppcastPreferences::lastCheck();
    // The first start counts as a check, so the first real one comes a day later.
    if (!last || *last > now) AppcastPreferences::setLastCheck(now);
    scheduleNext(appcast_schedule::nextCheck(last, now, m_setup.overdueDelayMs));
}

void UpdateManager::scheduleNext(const QDateTime& due) {
    m_nextCheck = due;
    const qint64 wait = QDateTime::currentDateTimeUtc().msecsTo(due);
    m_timer.start(int(std::clamp<qint64>(wait, 0, kLongestWaitMs)));
}

void UpdateManager::onTimer() {
    if (QDateTime::currentDateTimeUtc() < m_nextCheck) {
        scheduleNext(m_nextCheck);
        return;
    }
    beginCheck(false);
}

void UpdateManager::checkForUpdates() {
    beginCheck(true);
}

void UpdateManager::showFoundUpdate() {
    if (!m_found) {
        checkForUpdates();
        return;
    }
    setUpdateAvailable(true);
    ensureDialog().showUpdate(*m_found, m_setup.runningVersion);
    ensureDialog().present();
}

void UpdateManager::beginCheck(bool userInitiated) {
    if (!isEnabled()) return;
    if (userInitiated) {
        ensureDialog().showChecking();
        ensureDialog().present();
    }
    if (m_checking) {
        // A scheduled check already under way now answers the user.
        m_userInitiated = m_userInitiated || userInitiated;
        return;
    }
    m_checking = true;
    m_userInitiated = userInitiated;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    AppcastPreferences::setLastCheck(now);
    scheduleNext(now.addMSecs(appcast_schedule::kIntervalMs));
    m_fetcher.fetch(AppcastPreferences::feedUrl(m_setup.builtInFeed));
}

void UpdateManager::onFetched(const QByteArray& body) {
    const AppcastVerdict verdict = judgeAppcast(parseAppcast(body), m_running);
    switch (verdict.outcome) {
        case AppcastVerdict::Outcome::failed:
            onFailed(verdict.message);
            return;
        case AppcastVerdict::Outcome::upToDate:
            if (m_userInitiated) ensureDialog().showUpToDate(m_setup.runningVersion);
            break;
        case AppcastVerdict::Outcome::updateFound:
            announce(*verdict.update);
            break;
    }
    finishCheck();
}

void UpdateManager::announce(const AppcastItem& item) {
    if (m_userInitiated) {
        m_found = item;
        setUpdateAvailable(true);
        ensureDialog().showUpdate(item, m_setup.runningVersion);
        ensureDialog().present();
        return;
    }
    const std::optional<AppcastVersion> skipped =
        AppcastVersion::parse(AppcastPreferences::skippedVersion());
    if (skipped && *skipped == item.version) return;
    const bool alreadyShown =
        m_dialog && m_dialog->isVisible() && m_found && m_found->version == item.version;
    m_found = item;
    if (alreadyShown) return;
    setUpdateAvailable(true);
    Q_EMIT updateFound(item.displayVersion);
}

void UpdateManager::onFailed(const QString& message) {
    printUpdateError(message);
    if (m_userInitiated) ensureDialog().showFailure(message);
    finishCheck();
}

void UpdateManager::onCheckCancelled() {
    if (!m_checking) return;
    m_fetcher.cancel();
    finishCheck();
}

void UpdateManager::finishCheck() {
    m_checking = false;
    m_userInitiated = false;
    Q_EMIT checkFinished();
}

void UpdateManager::onAnswered(AppcastDialog::Answer answer) {
    setUpdateAvailable(false);
    if (!m_found) return;
    switch (answer) {
        case AppcastDialog::Answer::skip:
            AppcastPreferences::setSkippedVersion(m_found->version.text());
            break;
        case AppcastDialog::Answer::download: {
            QString error;
            if (!openWebLink(m_found->downloadUrl, &error)) {
                const QString message =
                    tr("Cannot open %1: %2").arg(m_found->downloadUrl.toDisplayString(), error);
                printUpdateError(message);
                ensureDialog().showFailure(message);
                ensureDialog().present();
            }
            break;
        }
        case AppcastDialog::Answer::remindLater:
            break;
    }
}

void UpdateManager::setUpdateAvailable(bool available) {
    if (m_updateAvailable == available) return;
    m_updateAvailable = available;
    Q_EMIT updateAvailableChanged(available);
}

AppcastDialog& UpdateManager::ensureDialog() {
    if (!m_dialog) {
        m_dialog = new AppcastDialog;
        connect(m_dialog, &AppcastDialog::checkCancelled, this, &UpdateManager::onCheckCancelled);
        connect(m_dialog, &AppcastDialog::answered, this, &UpdateManager::onAnswered);
    }
    return *m_dialog;
}

}  // namespace tarnwick

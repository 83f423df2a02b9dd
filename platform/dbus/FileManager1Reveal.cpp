#include "FileManager1Reveal.h"

#include "core/FileUri.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>

#include <cstdio>

namespace tarnwick {

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kObjectPath = QStringLiteral("/org/freedesktop/FileManager1");

QByteArray folderOf(const QByteArray& path) {
    const QByteArray trimmed = withoutTrailingSlashes(path);
    const qsizetype slash = trimmed.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : trimmed.left(slash);
}

}  // namespace

FileManager1Reveal::FileManager1Reveal(QDBusConnection bus,
                                       std::shared_ptr<FileOpener> fallbackOpener, int timeoutMs,
                                       QObject* parent)
    : FileManagerReveal(parent),
      m_bus(std::move(bus)),
      m_fallbackOpener(std::move(fallbackOpener)),
      m_timeoutMs(timeoutMs) {}

void FileManager1Reveal::reveal(const QByteArray& path, const QString& startupId) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kObjectPath, kService,
                                                       QStringLiteral("ShowItems"));
    call << QStringList{fileUriFromPath(path)} << startupId;
    // No bus at all gives an already failed call: the watcher still reports it from the loop.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_timeoutMs), this);
    ++m_pending;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path](QDBusPendingCallWatcher* finished) {
                if (finished->isError()) openFolderOf(path);
                finished->deleteLater();
                if (--m_pending == 0) Q_EMIT idle();
            });
}

void FileManager1Reveal::openFolderOf(const QByteArray& path) {
    if (!m_fallbackOpener) return;
    if (std::optional<QString> error = m_fallbackOpener->open(folderOf(path)))
        std::printf("Reveal error: %s\n", qPrintable(*error));
    std::fflush(stdout);
}

}  // namespace tarnwick

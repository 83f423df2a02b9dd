#pragma once

#include "platform/FileManagerReveal.h"
#include "platform/FileOpener.h"

#include <QDBusConnection>

#include <memory>

namespace tarnwick {

// Reveals a file through org.freedesktop.FileManager1.ShowItems, which every common file
// manager offers. When none answers within the time-out (no owner, an error, or silence) the
// file's folder is opened with the default application instead, so the user still sees it.
class FileManager1Reveal : public FileManagerReveal {
    Q_OBJECT
public:
    static constexpr int kDefaultTimeoutMs = 1000;

    FileManager1Reveal(QDBusConnection bus, std::shared_ptr<FileOpener> fallbackOpener,
                       int timeoutMs = kDefaultTimeoutMs, QObject* parent = nullptr);

    void reveal(const QByteArray& path, const QString& startupId) override;
    bool isBusy() const override { return m_pending > 0; }

private:
    void openFolderOf(const QByteArray& path);

    QDBusConnection m_bus;
    std::shared_ptr<FileOpener> m_fallbackOpener;
    int m_timeoutMs;
    int m_pending = 0;
};

}  // namespace tarnwick

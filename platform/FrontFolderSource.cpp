#include "FrontFolderSource.h"

#include "platform/DisplayServer.h"
#include "platform/dbus/KWinWindowStack.h"
#include "platform/dbus/ReportedFolderSource.h"
#include "platform/gnome/GnomeShellExtension.h"
#include "platform/gnome/GnomeShellFolderSource.h"
#include "platform/x11/X11FrontFolderSource.h"

#include <QDBusConnection>
#include <QTimer>

#include <cstdio>

#include <sys/stat.h>

namespace tarnwick {

namespace {

// Where nothing can be asked, the answer is always no folder.
class NoFrontFolderSource : public FrontFolderSource {
public:
    void requestFrontFolder(Callback done) override { done(std::nullopt); }
};

}  // namespace

std::unique_ptr<FrontFolderSource> FrontFolderSource::create() {
    switch (currentDisplayServer()) {
        case DisplayServer::x11:
            return std::make_unique<X11FrontFolderSource>(QDBusConnection::sessionBus());
        case DisplayServer::wayland:
            if (gnomeShellExtension::isGnomeWaylandSession())
                return std::make_unique<GnomeShellFolderSource>(
                    QDBusConnection::sessionBus(),
                    std::make_unique<ReportedFolderSource>(QDBusConnection::sessionBus(), false));
            return std::make_unique<ReportedFolderSource>(QDBusConnection::sessionBus(),
                                                          KWinWindowStack::isPlasmaSession());
        case DisplayServer::none:
            break;
    }
    return std::make_unique<NoFrontFolderSource>();
}

FrontFolderRequest::FrontFolderRequest(FrontFolderSource::Callback done, int deadlineMs,
                                       QObject* parent)
    : QObject(parent), m_done(std::move(done)) {
    QTimer::singleShot(deadlineMs, this, [this, deadlineMs] {
        fail(QStringLiteral("no answer within %1 ms").arg(deadlineMs));
    });
}

void FrontFolderRequest::finish(std::optional<QByteArray> folder) {
    if (!m_done) return;
    FrontFolderSource::Callback done = std::move(m_done);
    m_done = nullptr;
    deleteLater();
    done(std::move(folder));
}

void FrontFolderRequest::fail(const QString& message) {
    if (!m_done) return;
    reportFileManagerError(message);
    finish(std::nullopt);
}

void reportFileManagerError(const QString& message) {
    std::printf("File manager error: %s\n", qUtf8Printable(message));
    std::fflush(stdout);
}

bool isFolderOnDisk(const QByteArray& path) {
    struct stat st;
    return !path.isEmpty() && stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace tarnwick

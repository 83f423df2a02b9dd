#pragma once

#include "platform/FileManagerWindow.h"
#include "platform/FrontFolderSource.h"

#include <QDBusConnection>
#include <QObject>

#include <memory>

namespace tarnwick {

// The front folder on GNOME under Wayland. With Tarnwick's shell extension running, the shell's
// own window stack (with each GTK window's object path and bus name) finds the front Nautilus
// window and its tab exactly as the X server's stack does on X11. Without it, `fallback` answers
// (what the file manager reports, when that is a single folder).
class GnomeShellFolderSource : public QObject, public FrontFolderSource {
    Q_OBJECT
public:
    GnomeShellFolderSource(QDBusConnection bus, std::unique_ptr<FrontFolderSource> fallback,
                           QObject* parent = nullptr);
    ~GnomeShellFolderSource() override;

    void requestFrontFolder(Callback done) override;

private:
    void answerFor(FrontFolderRequest* request, const WindowStack& stack);

    QDBusConnection m_bus;
    std::unique_ptr<FrontFolderSource> m_fallback;
};

}  // namespace tarnwick

#pragma once

#include "platform/FileManagerWindow.h"
#include "platform/FrontFolderSource.h"

#include <QDBusConnection>
#include <QObject>

namespace tarnwick {

// The folder of the topmost file-manager window in the X window stack, our own windows skipped
// (a panel in front must not hide it), as that file manager tells it (see askWindowFolder).
class X11FrontFolderSource : public QObject, public FrontFolderSource {
    Q_OBJECT
public:
    explicit X11FrontFolderSource(QDBusConnection bus, QObject* parent = nullptr);

    void requestFrontFolder(Callback done) override;

    // Where the window stack comes from; tests replace the X server's with their own.
    std::function<std::optional<WindowStack>()> readStack;

private:
    void answerFor(FrontFolderRequest* request, const WindowStack& stack,
                   const QString& fileManagerOwner);

    QDBusConnection m_bus;
};

}  // namespace tarnwick

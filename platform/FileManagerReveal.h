#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace tarnwick {

// Shows a file selected in its folder in the user's file manager.
class FileManagerReveal : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Asks for `path` (native bytes) to be shown and returns at once; `startupId` lets the file
    // manager's window come to the front (empty: none).
    virtual void reveal(const QByteArray& path, const QString& startupId) = 0;
    // Whether a request is still on its way; a process about to exit waits for idle() first.
    virtual bool isBusy() const = 0;

Q_SIGNALS:
    // The last pending request was delivered (or given up on, with its fallback done).
    void idle();
};

}  // namespace tarnwick

#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwick {

// Which folder the file manager's front window shows: the folder the user means when asking
// for a search without naming one.
class FrontFolderSource {
public:
    using Callback = std::function<void(std::optional<QByteArray> folder)>;

    // How long a question to the desktop may take in all before it counts as no answer: a file
    // manager just started answers its first question late (Nautilus 48: 0.9 s), and a panel a
    // moment late is better than none.
    static constexpr int kDeadlineMs = 3000;

    virtual ~FrontFolderSource() = default;

    // Asks; `done` runs once on the main thread (possibly before this returns) with the
    // folder's absolute native path, or nothing when no file-manager window shows a folder or
    // the desktop cannot tell. Failures print a "File manager error: " line.
    virtual void requestFrontFolder(Callback done) = 0;

    // The way that works in this session: the window stack on X11, what the file manager
    // reports on Wayland, nothing without a display.
    static std::unique_ptr<FrontFolderSource> create();
};

// One request's answer, given once: by the source, or by the deadline with nothing. What the
// request waits on (D-Bus calls) is parented to it, so a late answer finds no one to call.
class FrontFolderRequest : public QObject {
    Q_OBJECT
public:
    FrontFolderRequest(FrontFolderSource::Callback done, int deadlineMs, QObject* parent);

    void finish(std::optional<QByteArray> folder);
    // Prints "File manager error: " and `message`, and answers nothing.
    void fail(const QString& message);
    bool isFinished() const { return !m_done; }

private:
    FrontFolderSource::Callback m_done;
};

// Prints one "File manager error: " line on standard output.
void reportFileManagerError(const QString& message);

// Whether `path` is a folder on disk (following symbolic links).
bool isFolderOnDisk(const QByteArray& path);

}  // namespace tarnwick

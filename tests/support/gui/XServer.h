#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QWindow>

#include <optional>

// The X server a GUI test runs on: a private Xvfb (and a window manager when asked) that
// run-with-xvfb starts, driven through XTEST with xdotool and read back from the server.
namespace tarnwick::test::xserver {

// Whether this process talks to an X server (offscreen has none, even inside an X session).
bool available();

// Has the server carry out every request this process made so far. Qt buffers them: a click
// aimed at a window Qt has just resized would otherwise land where the window used to be.
void sync();
// Handles every event the server has sent so far: what the server did in answer to requests
// of this process shows before a test looks.
void settle();

// Input through XTEST, each after sync(). Key names are xdotool's ("ctrl+c", "Caps_Lock").
bool click(QPoint at, int button = 1);
bool keys(const QStringList& keys);
bool type(const QString& text);
bool xdotool(const QStringList& arguments);
// The keyboard focus to the visible window of class `windowClass` (no window manager needed).
bool focus(const QString& windowClass);

// -1 when no visible window has that class.
int windowHeight(const QString& windowClass);
// The visible windows whose _NET_WM_PID is `pid`.
QList<QByteArray> windowsOf(qint64 pid);
bool setTextProperty(const QWindow& window, const QString& name, const QString& value);

// A window of another X client (xmessage) at `geometry`, shown once constructed.
class OtherClient {
public:
    static inline const QString kClass = QStringLiteral("Xmessage");
    explicit OtherClient(QRect geometry);
    ~OtherClient();
    bool isShown() const { return m_shown; }

private:
    QProcess m_process;
    bool m_shown = false;
};

}  // namespace tarnwick::test::xserver

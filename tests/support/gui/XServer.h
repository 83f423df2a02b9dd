#pragma once

#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QWindow>

#include <optional>

namespace tarnwick::test {

// The private Xvfb of run-with-xvfb: input through xdotool after sync(), windows read back.
struct xserver {
    // Whether this process talks to an X server (offscreen has none, even inside an X session).
    static bool available();
    // Has the server carry out the requests Qt buffered (a resize before a click aimed at it).
    static void sync();
    // sync(), then handles every event the server has sent so far.
    static void settle();
    // The lines xdotool printed, or nothing when it failed. Key names are xdotool's ("ctrl+c").
    static std::optional<QList<QByteArray>> run(const QStringList& arguments);
    static bool xdotool(const QStringList& arguments) { return run(arguments).has_value(); }
    // No --sync: it waits for a motion that never comes when the pointer is already there.
    static bool click(QPoint at, int button = 1) {
        const QString x = QString::number(at.x()), y = QString::number(at.y());
        return xdotool({"mousemove", x, y, "click", QString::number(button)});
    }
    static bool keys(const QStringList& keys) {
        return xdotool(QStringList{"key", "--delay", "40"} + keys);
    }
    static bool type(const QString& text) { return xdotool({"type", "--delay", "40", text}); }
    // The keyboard focus to the visible window of class `windowClass` (no window manager needed).
    static bool focus(const QString& windowClass) {
        return xdotool(
            {"search", "--sync", "--onlyvisible", "--class", windowClass, "windowfocus", "--sync"});
    }
    // -1 when no visible window has that class.
    static int windowHeight(const QString& windowClass);
    // The visible windows whose _NET_WM_PID is `pid`.
    static QList<QByteArray> windowsOf(qint64 pid);
    static bool setTextProperty(const QWindow& window, const QString& name, const QString& value);

    // A window of another X client (xmessage) at `geometry`, shown once constructed.
    class OtherClient {
    public:
        static inline const QString kClass = QStringLiteral("Xmessage");
        explicit OtherClient(QRect at) {
            const QString geometry = QStringLiteral("%1x%2+%3+%4").arg(at.width()).arg(at.height());
            m_process.start("xmessage", {"-geometry", geometry.arg(at.x()).arg(at.y()), kClass});
            m_shown = m_process.waitForStarted() &&
                      xdotool({"search", "--sync", "--onlyvisible", "--class", kClass});
        }
        ~OtherClient() {
            m_process.kill();
            m_process.waitForFinished();
        }
        bool isShown() const { return m_shown; }

    private:
        QProcess m_process;
        bool m_shown = false;
    };
};

}  // namespace tarnwick::test

#pragma once

#include <QGuiApplication>
#include <QProcess>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <optional>

namespace tarnwick::test {

// The private Xvfb of run-with-xvfb: input through xdotool after sync(), windows read back.
struct xserver {
    static xcb_connection_t* connection() {
        auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return x11 ? x11->connection() : nullptr;
    }
    // Whether this process talks to an X server (offscreen has none, even inside an X session).
    static bool available() {
        return QGuiApplication::platformName() == QLatin1String("xcb") && connection();
    }
    // Has the server carry out the requests Qt buffered (a resize before a click aimed at it).
    static void sync() {
        if (xcb_connection_t* x = connection())
            std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    }
    // sync(), then handles every event the server has sent so far.
    static void settle() { sync(), QCoreApplication::processEvents(); }
    // The lines xdotool printed, or nothing when it failed. Key names are xdotool's ("ctrl+c").
    static std::optional<QList<QByteArray>> run(const QStringList& arguments) {
        sync();
        QProcess process;
        process.start(QStringLiteral("xdotool"), arguments);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            return std::nullopt;
        QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }
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
    static int windowHeight(const QString& windowClass) {
        const auto lines = run(
            {"search", "--onlyvisible", "--class", windowClass, "getwindowgeometry", "--shell"});
        for (const QByteArray& line : lines.value_or(QList<QByteArray>()))
            if (line.startsWith("HEIGHT=")) return line.mid(7).toInt();
        return -1;
    }
    // The visible windows whose _NET_WM_PID is `pid`.
    static QList<QByteArray> windowsOf(qint64 pid) {
        return run({"search", "--onlyvisible", "--pid", QString::number(pid)})
            .value_or(QList<QByteArray>());
    }
    static bool setTextProperty(const QWindow& window, const QString& name, const QString& value) {
        sync();
        const QString id = QString::number(window.winId());
        return QProcess::execute("xprop", {"-id", id, "-f", name, "8u", "-set", name, value}) == 0;
    }

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

#include "XServer.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace tarnwick::test::xserver {

namespace {

xcb_connection_t* qtConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
// The lines xdotool printed, or nothing when it failed.
std::optional<QList<QByteArray>> run(const QStringList& arguments) {
    sync();
    QProcess process;
    process.start(u"xdotool"_s, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput().split('\n');
}

}  // namespace

bool available() {
    return QGuiApplication::platformName() == "xcb"_L1 && qtConnection();
}
void sync() {
    if (xcb_connection_t* connection = qtConnection())
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}
void settle() {
    sync();
    QCoreApplication::processEvents();
}
bool xdotool(const QStringList& arguments) {
    return run(arguments).has_value();
}
bool click(QPoint at, int button) {
    // No --sync: it waits for a motion that never comes when the pointer is already there.
    return xdotool(u"mousemove %1 %2 click %3"_s.arg(at.x()).arg(at.y()).arg(button).split(u' '));
}
bool keys(const QStringList& keys) {
    return xdotool(QStringList{u"key"_s, u"--delay"_s, u"40"_s} + keys);
}
bool type(const QString& text) {
    return xdotool({u"type"_s, u"--delay"_s, u"40"_s, text});
}
bool focus(const QString& windowClass) {
    return xdotool(u"search --sync --onlyvisible --class %1 windowfocus --sync"_s.arg(windowClass)
                       .split(u' '));
}
int windowHeight(const QString& windowClass) {
    const auto lines =
        run(u"search --onlyvisible --class %1 getwindowgeometry --shell"_s.arg(windowClass)
                .split(u' '));
    for (const QByteArray& line : lines.value_or(QList<QByteArray>()))
        if (line.startsWith("HEIGHT=")) return line.mid(7).toInt();
    return -1;
}
QList<QByteArray> windowsOf(qint64 pid) {
    QList<QByteArray> windows =
        run(u"search --onlyvisible --pid %1"_s.arg(pid).split(u' ')).value_or(QList<QByteArray>());
    windows.removeAll(QByteArray());
    return windows;
}
bool setTextProperty(const QWindow& window, const QString& name, const QString& value) {
    sync();
    return QProcess::execute(u"xprop"_s, {u"-id"_s, QString::number(window.winId()), u"-f"_s, name,
                                          u"8u"_s, u"-set"_s, name, value}) == 0;
}
OtherClient::OtherClient(QRect at) {
    m_process.start(
        u"xmessage"_s,
        {u"-geometry"_s, u"%1x%2+%3+%4"_s.arg(at.width()).arg(at.height()).arg(at.x()).arg(at.y()),
         kClass});
    m_shown = m_process.waitForStarted() &&
              xdotool(u"search --sync --onlyvisible --class %1"_s.arg(kClass).split(u' '));
}
OtherClient::~OtherClient() {
    m_process.kill();
    m_process.waitForFinished();
}

}  // namespace tarnwick::test::xserver

#include "XServer.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace tarnwick::test {

namespace {

xcb_connection_t* qtConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

bool xserver::available() {
    return QGuiApplication::platformName() == "xcb"_L1 && qtConnection();
}
void xserver::sync() {
    if (xcb_connection_t* connection = qtConnection())
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}
void xserver::settle() {
    sync();
    QCoreApplication::processEvents();
}
std::optional<QList<QByteArray>> xserver::run(const QStringList& arguments) {
    sync();
    QProcess process;
    process.start(u"xdotool"_s, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    lines.removeAll(QByteArray());
    return lines;
}
int xserver::windowHeight(const QString& windowClass) {
    const auto lines =
        run(u"search --onlyvisible --class %1 getwindowgeometry --shell"_s.arg(windowClass)
                .split(u' '));
    for (const QByteArray& line : lines.value_or(QList<QByteArray>()))
        if (line.startsWith("HEIGHT=")) return line.mid(7).toInt();
    return -1;
}
QList<QByteArray> xserver::windowsOf(qint64 pid) {
    return run(u"search --onlyvisible --pid %1"_s.arg(pid).split(u' '))
        .value_or(QList<QByteArray>());
}
bool xserver::setTextProperty(const QWindow& window, const QString& name, const QString& value) {
    sync();
    return QProcess::execute(u"xprop"_s, {u"-id"_s, QString::number(window.winId()), u"-f"_s, name,
                                          u"8u"_s, u"-set"_s, name, value}) == 0;
}

}  // namespace tarnwick::test

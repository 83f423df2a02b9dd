#include "XdoTool.h"

#include <QProcess>
#include <QStringList>

namespace tarnwick::test {

namespace {

bool runQuietly(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.setStandardOutputFile(QProcess::nullDevice());
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(30000) && xdotool.exitStatus() == QProcess::NormalExit &&
           xdotool.exitCode() == 0;
}

}  // namespace

bool xdoClick(QPoint at, int button) {
    return runQuietly({QStringLiteral("mousemove"), QString::number(at.x()),
                       QString::number(at.y()), QStringLiteral("click"), QString::number(button)});
}

bool xdoWaitForWindowClass(const QString& windowClass) {
    return runQuietly({QStringLiteral("search"), QStringLiteral("--sync"),
                       QStringLiteral("--onlyvisible"), QStringLiteral("--class"), windowClass});
}

bool xdoFocusWindowClass(const QString& windowClass) {
    return runQuietly({QStringLiteral("search"), QStringLiteral("--sync"),
                       QStringLiteral("--onlyvisible"), QStringLiteral("--class"), windowClass,
                       QStringLiteral("windowfocus"), QStringLiteral("--sync")});
}

int xdoWindowHeight(const QString& windowClass) {
    QProcess xdotool;
    xdotool.start(
        QStringLiteral("xdotool"),
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"),
         windowClass, QStringLiteral("getwindowgeometry"), QStringLiteral("--shell")});
    if (!xdotool.waitForFinished(30000) || xdotool.exitCode() != 0) return -1;
    for (const QByteArray& line : xdotool.readAllStandardOutput().split('\n'))
        if (line.startsWith("HEIGHT=")) return line.mid(7).toInt();
    return -1;
}

bool xdoKeys(const QStringList& keys) {
    return runQuietly(
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} + keys);
}

bool xdoType(const QString& text) {
    return runQuietly(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

}  // namespace tarnwick::test

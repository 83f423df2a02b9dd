#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tarnwick::test {

// xdotool, for the tests that drive a real X server.
inline bool xdo(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// Presses and releases a key combination through XTEST, e.g. "ctrl+shift+space".
inline bool xdoKey(const QString& keys) {
    return xdo({QStringLiteral("key"), keys});
}

// The mapped windows whose _NET_WM_PID is `pid`.
inline QList<QByteArray> visibleWindowsOf(qint64 pid) {
    QProcess process;
    process.start(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                   QStringLiteral("--pid"), QString::number(pid)});
    process.waitForFinished(10000);
    QList<QByteArray> windows;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty()) windows.append(line.trimmed());
    return windows;
}

}  // namespace tarnwick::test

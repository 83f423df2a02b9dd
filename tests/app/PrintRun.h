#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace tarnwick::test {

// One `tarnwick --print ARGUMENTS` as a user starts it: its exit code and both outputs
// (exit code -1 when it did not end within a minute).
struct PrintRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline PrintRun runPrint(
    const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
    const QString& workingDirectory = {}) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TARNWICK_EXECUTABLE),
                  QStringList{QStringLiteral("--print")} + arguments);
    if (!process.waitForFinished(60000)) return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace tarnwick::test

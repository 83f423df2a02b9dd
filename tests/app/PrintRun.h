#pragma once

#include <QProcess>

namespace tarnwick::test {

// One `tarnwick ARGUMENTS` run: exit code (-1: still running after a minute) and both outputs.
struct PrintRun {
    int exitCode = -1;
    QByteArray out, err;
};

inline PrintRun runTarnwick(const QStringList& arguments, const QProcessEnvironment& env = {},
                            const QString& workingDirectory = {}) {
    QProcess process;
    if (!env.isEmpty()) process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TARNWICK_EXECUTABLE), arguments);
    if (!process.waitForFinished(60000)) return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace tarnwick::test

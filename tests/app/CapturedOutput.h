#pragma once

#include <QTemporaryFile>

#include <cstdio>

#include <unistd.h>

namespace tarnwick::test {

// Standard output of this process, caught in a file while the object lives: what the program
// prints as its diagnostics.
class CapturedOutput {
public:
    CapturedOutput() {
        std::fflush(stdout);
        m_file.open();
        dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~CapturedOutput() {
        std::fflush(stdout);
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
    }
    // What was printed so far.
    QByteArray text() {
        std::fflush(stdout);
        QFile read(m_file.fileName());
        return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray();
    }

private:
    int m_saved = dup(STDOUT_FILENO);
    QTemporaryFile m_file;
};

}  // namespace tarnwick::test

#pragma once

#include <QByteArray>
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
        m_saved = dup(STDOUT_FILENO);
        dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~CapturedOutput() { restore(); }

    // What was printed so far.
    QByteArray text() {
        std::fflush(stdout);
        QFile read(m_file.fileName());
        read.open(QIODevice::ReadOnly);
        return read.readAll();
    }

    void restore() {
        if (m_saved < 0) return;
        std::fflush(stdout);
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
        m_saved = -1;
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

}  // namespace tarnwick::test

// Peak memory of a content snippet from a 1 GB text file whose only match is near its end: the
// extraction streams the file, so the process must not grow by more than a few megabytes.
//
//   bench_snippet_memory [FILE]     (default /var/tmp/tarnwick-bench-snippet-1g.txt, made if
//   absent)

#include "spotlight/ContentSnippet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <fstream>
#include <string>

#include <sys/stat.h>

using namespace tarnwick;

namespace {

constexpr qint64 kFileBytes = qint64(1) << 30;

// Lines of words with some accented ones; "lighthouse" only in the last kilobyte.
bool makeTextFile(const char* path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string line =
        "the quarterly report of the café was reviewed by the naïve über committee, "
        "straße résumé data index folder search 0123456789\n";
    std::string block;
    while (block.size() < (1u << 20)) block += line;
    qint64 written = 0;
    while (written + qint64(block.size()) < kFileBytes - 4096) {
        out.write(block.data(), std::streamsize(block.size()));
        written += qint64(block.size());
    }
    out << "and near the very end stands the Lighthouse of the harbour\n";
    for (int i = 0; i < 20; ++i) out << line;
    return bool(out);
}

// A field of /proc/self/status in kilobytes.
qint64 statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* path = argc > 1 ? argv[1] : "/var/tmp/tarnwick-bench-snippet-1g.txt";
    struct stat st;
    if (stat(path, &st) != 0) {
        std::printf("writing %s ...\n", path);
        if (!makeTextFile(path)) return 1;
    }
    resetPeak();
    const qint64 before = statusKilobytes("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    const std::optional<QString> snippet =
        contentSnippet(QByteArray(path), QStringLiteral("lighthouse"));
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 peak = statusKilobytes("VmHWM:");
    std::printf("snippet: %s\n", snippet ? qPrintable(*snippet) : "(none)");
    std::printf("time: %.2f s; RSS before %lld kB, peak %lld kB, growth %.1f MB\n", seconds,
                (long long)before, (long long)peak, (peak - before) / 1024.0);
    return snippet ? 0 : 1;
}

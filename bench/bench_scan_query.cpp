// Times content queries of the embedded scanner over one folder: the first (which walks the
// folder) and the following ones (which reuse the walk and the cached text), and how long a
// running scan takes to stop.
//
//   bench_scan_query ROOT QUERY [REPEATS]
//   bench_scan_query --cancel ROOT QUERY

#include "index/scan/ScanIndex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstring>

using namespace tarnwick;

namespace {

struct Timing {
    double seconds;
    qsizetype hits;
};

Timing runQuery(ScanIndex& index, const QByteArray& root, const QString& text) {
    std::unique_ptr<MetadataQuery> query =
        index.createQuery(root, MetadataPredicate::contentContains, text);
    QEventLoop loop;
    QObject::connect(query.get(), &MetadataQuery::finishedGathering, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    query->start();
    loop.exec();
    return {timer.nsecsElapsed() / 1e9, query->resultCount()};
}

int timeQueries(const QByteArray& root, const QString& text, int repeats) {
    ScanIndex index;
    for (int i = 0; i < repeats; ++i) {
        const Timing t = runQuery(index, root, text);
        std::printf("query %d: %.3f s, %lld hits\n", i + 1, t.seconds, (long long)t.hits);
    }
    return 0;
}

// Stops a scan 200 ms into a cold query and times stop() plus the wait for every worker.
int timeCancellation(const QByteArray& root, const QString& text) {
    auto index = std::make_unique<ScanIndex>();
    std::unique_ptr<MetadataQuery> query =
        index->createQuery(root, MetadataPredicate::contentContains, text);
    query->start();
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    QElapsedTimer timer;
    timer.start();
    query->stop();
    query.reset();
    index.reset();  // the last owner of the worker threads waits for them
    std::printf("cancel: %.1f ms until every worker stopped\n", timer.nsecsElapsed() / 1e6);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc >= 4 && std::strcmp(argv[1], "--cancel") == 0)
        return timeCancellation(QByteArray(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROOT QUERY [REPEATS] | --cancel ROOT QUERY\n", argv[0]);
        return 2;
    }
    const int repeats = argc > 3 ? std::atoi(argv[3]) : 3;
    return timeQueries(QByteArray(argv[1]), QString::fromLocal8Bit(argv[2]), repeats);
}

// Query times of the Tracker backend against a private miner that has indexed a corpus.
//
//   bench_tracker --corpus=ROOT [--query=WORD] [Google Benchmark flags]
//
// The miner indexes ROOT first (the time is printed); each benchmark then runs one query from
// start() to finishedGathering through the event loop, as the panel sees it.
#include "index/tracker/TrackerIndex.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

QByteArray g_corpus;
QString g_query = QStringLiteral("note");
std::unique_ptr<tarnwick::TrackerIndex> g_index;

struct Answer {
    bool finished = false;
    qsizetype count = 0;
};

Answer runQuery(tarnwick::MetadataPredicate predicate, const QString& text) {
    auto query = g_index->createQuery(g_corpus, predicate, text);
    Answer answer;
    QEventLoop loop;
    QObject::connect(query.get(), &tarnwick::MetadataQuery::finishedGathering, &loop, [&] {
        answer.finished = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    query->start();
    if (!answer.finished) loop.exec();
    answer.count = query->resultCount();
    return answer;
}

void measure(benchmark::State& state, tarnwick::MetadataPredicate predicate, const QString& text) {
    Answer answer;
    for (auto _ : state) {
        answer = runQuery(predicate, text);
        if (!answer.finished) state.SkipWithError("the query never finished");
    }
    state.counters["results"] = double(answer.count);
}

void BM_Count(benchmark::State& state) {
    measure(state, tarnwick::MetadataPredicate::everything, {});
}
// The argument is the number of statement shares; 0 keeps the index's own choice.
void BM_ContentContains(benchmark::State& state) {
    const int defaultShares = g_index->statementShares();
    if (state.range(0) > 0) g_index->setStatementShares(int(state.range(0)));
    measure(state, tarnwick::MetadataPredicate::contentContains, g_query);
    g_index->setStatementShares(defaultShares);
}
void BM_NameOrContentContains(benchmark::State& state) {
    measure(state, tarnwick::MetadataPredicate::nameOrContentContains, g_query);
}

BENCHMARK(BM_Count)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ContentContains)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK(BM_NameOrContentContains)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Takes --corpus= and --query= out of the arguments before Google Benchmark sees them.
std::vector<char*> ownArguments(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--corpus=", 9) == 0)
            g_corpus = QByteArray(argv[i] + 9);
        else if (std::strncmp(argv[i], "--query=", 8) == 0)
            g_query = QString::fromUtf8(argv[i] + 8);
        else
            rest.push_back(argv[i]);
    }
    return rest;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<char*> rest = ownArguments(argc, argv);
    if (g_corpus.isEmpty()) {
        std::fprintf(stderr, "usage: bench_tracker --corpus=ROOT [--query=WORD]\n");
        return 2;
    }
    tarnwick::test::TrackerSandbox sandbox(g_corpus);
    QElapsedTimer indexing;
    indexing.start();
    if (!sandbox.start()) {
        std::fprintf(stderr, "sandbox: %s\n", qPrintable(sandbox.failure()));
        return 1;
    }
    std::printf("indexing %s: %.1f s\n", g_corpus.constData(), indexing.elapsed() / 1000.0);
    g_index = tarnwick::TrackerIndex::connectNow(5000);
    if (!g_index) {
        std::fprintf(stderr, "could not connect to the sandbox's miner\n");
        return 1;
    }
    std::printf("statement shares: %d\n", g_index->statementShares());
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_index.reset();
    return 0;
}

// Listing and filter runs over real trees. Point TARNWICK_BENCH_TREE at a folder made by
// ../shared/bench-data/make_tree.py (outside /tmp), e.g.
//   TARNWICK_BENCH_TREE=/var/tmp/tw-trees/t1000000 build/default/bench/bench_core
// Besides the timings, BM_Listing reports the resident memory the listing holds per item.
#include "core/DirectoryListing.h"
#include "core/FilterRun.h"
#include "core/WorkQueue.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include <cstdlib>

using namespace tarnwick;

namespace {

QByteArray benchTree() {
    const char* tree = std::getenv("TARNWICK_BENCH_TREE");
    return tree ? QByteArray(tree) : QByteArray("/usr");
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

const ListingPtr& sharedListing() {
    static ListingPtr listing = makeListing(listDirectory(benchTree(), ListingOptions{}));
    return listing;
}

void BM_Listing(benchmark::State& state) {
    ListingOptions options;
    options.threads = int(state.range(0));
    qsizetype count = 0;
    long growthKiB = -1;
    for (auto _ : state) {
        long before = residentKiB();
        QList<FileItem> items = listDirectory(benchTree(), options);
        // The first listing's growth: later ones reuse the memory the first gave back.
        if (growthKiB < 0) growthKiB = residentKiB() - before;
        count = items.size();
        benchmark::DoNotOptimize(items.data());
    }
    state.counters["items"] = double(count);
    state.counters["bytes_per_item"] = count ? double(growthKiB) * 1024 / double(count) : 0;
}
BENCHMARK(BM_Listing)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_NameRanks(benchmark::State& state) {
    QList<FileItem> items = sharedListing()->items;
    for (auto _ : state) benchmark::DoNotOptimize(makeListing(items, true));
}
BENCHMARK(BM_NameRanks)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Runs `work` as the session runs a filter run: on its queue's thread, at the level of background
// work, and waits for it.
template <typename Work>
void onFilterQueue(Work work) {
    static WorkQueue queue(1);
    queue.start(work);
    queue.waitForDone();
}

// The query set: 1, 3, 6 and 12 characters, substring and scattered.
const char* const kQueries[] = {"r", "rep", "report", "report final",
                                "e", "rpt", "rtfnal", "lghthsjrnl.t"};

void BM_FilterRun(benchmark::State& state) {
    const ListingPtr& listing = sharedListing();
    FilterRequest request;
    request.query = QString::fromLatin1(kQueries[state.range(0)]);
    request.sortMode = SortMode(state.range(1));
    qsizetype results = 0;
    for (auto _ : state) {
        onFilterQueue([&] {
            Results out = filterItems(listing, request);
            results = out.size();
            benchmark::DoNotOptimize(&out);
        });
    }
    state.SetLabel(std::string("'") + kQueries[state.range(0)] + "'");
    state.counters["items"] = double(listing->items.size());
    state.counters["results"] = double(results);
}
BENCHMARK(BM_FilterRun)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7}, {0}})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_FilterRunEmptyQuery(benchmark::State& state) {
    const ListingPtr& listing = sharedListing();
    FilterRequest request;
    request.sortMode = SortMode(state.range(0));
    for (auto _ : state)
        onFilterQueue([&] { benchmark::DoNotOptimize(filterItems(listing, request).size()); });
}
BENCHMARK(BM_FilterRunEmptyQuery)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Panels re-opened on a kept listing: a real SearchSession lists a tree and settles (its list
// complete and published), closes; FOLDERS folders of the tree get a new file each; a second
// session on the same store revalidates and settles. Prints both times, their ratio, and the
// memory the kept listing holds per item (resident set growth and the store's own count).
// Runs RUNS rounds, interleaved, and prints the medians; the files it adds are removed.
// Compare the two times of one run: the ratio is the figure, not the absolute times.
//   bench/bench_kept ROOT [FOLDERS=100] [RUNS=3]
#include "app/MemoryRelease.h"
#include "core/DirectoryListing.h"
#include "core/FilterRun.h"
#include "core/KeptListings.h"
#include "core/SearchSession.h"
#include "core/WorkQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <malloc.h>
#include <unistd.h>

using namespace tarnwick;

namespace {

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return double(fields.value(1).toLongLong()) * double(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// Milliseconds from startSearch to the session's first settling (list complete and published).
double untilSettled(SearchSession& session, double* firstShownMs) {
    QEventLoop loop;
    QElapsedTimer timer;
    *firstShownMs = -1;
    QObject::connect(&session, &SearchSession::resultsReplaced, &loop, [&] {
        if (*firstShownMs < 0 && !session.filteredItems().isEmpty())
            *firstShownMs = double(timer.nsecsElapsed()) / 1e6;
    });
    QObject::connect(&session, &SearchSession::settled, &loop, &QEventLoop::quit);
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    timer.start();
    session.startSearch();
    loop.exec();
    return double(timer.nsecsElapsed()) / 1e6;
}

void waitFor(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        usleep(20000);
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The same without the session, each step timed on its own: what a first panel computes (walk,
// pill counts, name ranks, the first filter run) against revalidation and one filter run.
void directRound(const QByteArray& root, const QByteArrayList& changed) {
    QElapsedTimer timer;
    timer.start();
    std::vector<KeptFolder> folders;
    ListingOptions options;
    options.folders = &folders;
    QList<FileItem> items = listDirectory(root, options);
    const double walk = double(timer.nsecsElapsed()) / 1e6;
    ExtensionCounts counts = countExtensions(items);
    ListingPtr listing = makeListing(std::move(items));
    filterItems(listing, FilterRequest{});
    const double first = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    const KeptListingPtr kept =
        keepListing(root, false, listing, std::move(counts), std::move(folders));
    const double keeping = double(timer.nsecsElapsed()) / 1e6;
    listing.reset();
    for (const QByteArray& folder : changed)
        QFile(folder + "/bench-kept-new").open(QIODevice::WriteOnly);
    timer.restart();
    const Revalidation again = revalidate(kept, root, RevalidationOptions{});
    const double revalidated = double(timer.nsecsElapsed()) / 1e6;
    filterItems(again.kept->listing, FilterRequest{});
    const double reopened = double(timer.nsecsElapsed()) / 1e6;
    for (const QByteArray& folder : changed)
        QFile::remove(QString::fromUtf8(folder + "/bench-kept-new"));
    std::printf(
        "direct: first %.0f ms (walk %.0f), kept in %.0f ms; re-opened %.0f ms "
        "(revalidation %.0f, %d folders kept, %d read): ratio %.3f\n",
        first, walk, keeping, reopened, revalidated, again.foldersKept, again.foldersRead,
        reopened / first);
}

}  // namespace

int main(int argc, char** argv) {
    // The allocator as the tray sets it: with glibc's own, freed listings stay in the heap and
    // later ones reuse its pages, a re-open about 15 % quicker than the application's.
    tuneAllocatorForLongRun();
    QCoreApplication app(argc, argv);
    // Background work at the bench's own priority: on a machine loaded by other work, threads
    // below it would measure the load, not the listing. Both panels run alike either way.
    WorkQueue::setYieldToInterface(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_kept ROOT [FOLDERS] [RUNS]\n");
        return 2;
    }
    const QByteArray root = argv[1];
    const int folderCount = argc > 2 ? std::atoi(argv[2]) : 100;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;

    // Folders to change, spread over the tree.
    QByteArrayList folders;
    for (const FileItem& item : listDirectory(root, ListingOptions{}))
        if (item.isDirectory()) folders.append(item.path());
    QByteArrayList changed;
    for (int i = 0; i < folderCount && !folders.isEmpty(); ++i)
        changed.append(folders[qsizetype(i) * folders.size() / folderCount]);
    folders.clear();

    std::vector<double> first, firstShown, again, againShown, perItemRss, perItemCount;
    qsizetype items = 0;
    for (int run = 0; run < runs; ++run) {
        WorkQueue::shared().waitForDone();  // large listings are freed in the background
        malloc_trim(0);
        const double before = residentMegabytes();
        SearchSession::Dependencies deps;
        deps.filterDebounceMs = 0;
        deps.kept = std::make_shared<KeptListings>();
        double shown = 0;
        {
            SearchSession session(root, deps);
            first.push_back(untilSettled(session, &shown));
            firstShown.push_back(shown);
            items = session.allItems().size();
            waitFor([&] { return deps.kept->count() == 1; });  // stamped in the background
        }
        WorkQueue::shared().waitForDone();
        malloc_trim(0);
        perItemRss.push_back((residentMegabytes() - before) * 1048576.0 / double(items));
        perItemCount.push_back(double(deps.kept->footprint()) / double(items));

        for (const QByteArray& folder : changed)
            QFile(folder + "/bench-kept-new").open(QIODevice::WriteOnly);
        {
            SearchSession session(root, deps);
            again.push_back(untilSettled(session, &shown));
            againShown.push_back(shown);
            if (session.allItems().size() != items + changed.size())
                std::fprintf(stderr, "wrong count: %lld\n", qint64(session.allItems().size()));
        }
        for (const QByteArray& folder : changed)
            QFile::remove(QString::fromUtf8(folder + "/bench-kept-new"));
        std::printf("run %d: first %.0f ms (shown %.0f), re-opened %.0f ms (shown %.0f)\n", run,
                    first.back(), firstShown.back(), again.back(), againShown.back());
    }
    directRound(root, changed);
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("%s: %lld items, %lld folders changed, %d runs, load average %.1f\n",
                root.constData(), qint64(items), qint64(changed.size()), runs, load[0]);
    std::printf("first listing settled: median %.0f ms\n", median(first));
    std::printf(
        "re-opened, revalidated and settled: median %.0f ms (kept list shown after %.0f ms)\n",
        median(again), median(againShown));
    std::printf("ratio re-open / first: %.3f\n", median(again) / median(first));
    std::printf("kept listing memory: %.1f B per item resident, %.1f B per item counted\n",
                median(perItemRss), median(perItemCount));
    return 0;
}

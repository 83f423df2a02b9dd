// Keystroke to name matches in a living search: a real SearchSession over a real folder, with
// the null index, timed from the keystroke (queryChanged, as the search field sends it) to the
// publication of its results, the 0.05 s debounce included. Prints the median and the worst of
// the query set per query length.
//   TARNWICK_BENCH_TREE=/var/tmp/tw-trees/t100000 build/default/bench/bench_session
#include "core/SearchSession.h"
#include "index/null/NullIndex.h"
#include "spotlight/SpotlightEngineFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace tarnwick;

namespace {

// Runs the event loop until `session` publishes, or 10 s pass; returns the milliseconds taken.
double untilPublished(SearchSession& session, const std::function<void()>& action) {
    QEventLoop loop;
    QElapsedTimer timer;
    QObject::connect(&session, &SearchSession::resultsReplaced, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    timer.start();
    action();
    loop.exec();
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* tree = std::getenv("TARNWICK_BENCH_TREE");
    const QByteArray folder = tree ? QByteArray(tree) : QByteArray("/usr");
    SearchSession::Dependencies deps;
    deps.engines = std::make_shared<SpotlightEngineFactory>(std::make_shared<NullIndex>());
    SearchSession session(folder, deps);
    const double listing = untilPublished(session, [&] { session.startSearch(); });
    std::printf("%s: %lld items listed and shown in %.0f ms\n", folder.constData(),
                qint64(session.allItems().size()), listing);

    const char* const queries[] = {"r", "rep", "report", "report final", "e", "rpt", "rtfnal",
                                   "lghthsjrnl.t"};
    constexpr size_t kQueries = std::size(queries);
    std::vector<double> all;
    std::vector<std::vector<double>> perQuery(kQueries);
    for (int round = 0; round < 5; ++round) {
        for (size_t q = 0; q < kQueries; ++q) {
            // Each query typed fresh after an empty field, so that every keystroke changes the list.
            untilPublished(session, [&] { session.queryChanged(QString()); });
            perQuery[q].push_back(untilPublished(
                session, [&] { session.queryChanged(QString::fromLatin1(queries[q])); }));
            all.push_back(perQuery[q].back());
        }
    }
    for (size_t q = 0; q < kQueries; ++q) {
        std::sort(perQuery[q].begin(), perQuery[q].end());
        std::printf("  \"%s\": median %.1f ms\n", queries[q], perQuery[q][perQuery[q].size() / 2]);
    }
    std::sort(all.begin(), all.end());
    std::printf("keystroke to name matches: median %.1f ms, 90th %.1f ms, worst %.1f ms "
                "(%zu keystrokes; 50 ms of it is the debounce)\n",
                all[all.size() / 2], all[all.size() * 9 / 10], all.back(), all.size());
    return 0;
}

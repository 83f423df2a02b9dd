#include "SharedMiner.h"

#include <QGuiApplication>
#include <QTest>

namespace tarnwick::test {
std::unique_ptr<QObject> newTrackerCountTest();
std::unique_ptr<QObject> newTrackerContentTest();
std::unique_ptr<QObject> newTrackerLiveTest();
std::unique_ptr<QObject> newTrackerFailureTest();
}  // namespace tarnwick::test

// One miner start for every class: they run here one after the other, the failure cases last,
// since they end the miner. A GUI application (offscreen) for the PDF in the corpus.
int main(int argc, char** argv) {
    using namespace tarnwick::test;
    QGuiApplication app(argc, argv);
    if (!startMiner()) return 1;
    int failed = 0;
    for (auto make :
         {newTrackerCountTest, newTrackerContentTest, newTrackerLiveTest, newTrackerFailureTest})
        failed += QTest::qExec(make().get(), argc, argv) != 0;
    miner().index.reset();
    miner().sandbox.stop();
    return failed;
}

#include "app/SingleInstance.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

// `tarnwick FOLDER` handed to the running instance while its first panel still connects to the
// index (Tracker's name held by a stub that never answers, so the connection takes its second):
// the instance lives on and shows the new panel.
class HandOverTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void handOverWhileTheIndexConnects() {
        PrivateSessionBus bus;
        QTemporaryDir home;
        QVERIFY(bus.start());
        FakeBusService tracker(bus.connect(QStringLiteral("tracker")));
        tracker.onCall("/org/freedesktop/Tracker3/Endpoint", "org.freedesktop.Tracker3.Endpoint",
                       "Query", [](const QDBusMessage&) { return FakeBusService::silence(); });
        QVERIFY(tracker.serve(QStringLiteral("org.freedesktop.Tracker3.Miner.Files")));
        QProcessEnvironment env = bus.environmentFor(QProcessEnvironment::systemEnvironment());
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        QProcess tarnwick;
        tarnwick.setProcessEnvironment(env);
        tarnwick.start(QStringLiteral(TARNWICK_EXECUTABLE), {home.path()});
        QTRY_VERIFY_WITH_TIMEOUT(tracker.callCount(QStringLiteral("Query")) > 0, 20000);
        QElapsedTimer connecting;
        connecting.start();
        const StartRequest request{StartRequest::Kind::openFolder, QFile::encodeName(home.path())};
        QCOMPARE(SingleInstance(bus.connect(QStringLiteral("second"))).handOver(request),
                 QString());
        if (connecting.elapsed() > 700) QSKIP("too busy to hand over while the index connects");
        QProcess windows;  // the panel, found by the process that shows it
        const QStringList search{"search", "--onlyvisible", "--pid",
                                 QString::number(tarnwick.processId())};
        QTRY_VERIFY_WITH_TIMEOUT((windows.start("xdotool", search), windows.waitForFinished(),
                                  !windows.readAllStandardOutput().isEmpty()),
                                 20000);
        QTest::qWait(1500);  // the connection has given up by now
        QCOMPARE(tarnwick.state(), QProcess::Running);
        tarnwick.terminate();
        QVERIFY(tarnwick.waitForFinished(10000));
    }
};

TARNWICK_TEST(HandOverTest)
#include "HandOverTest.moc"

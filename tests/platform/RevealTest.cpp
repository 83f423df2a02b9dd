#include "RecordingOpener.h"
#include "core/FileUri.h"
#include "platform/dbus/FileManager1Reveal.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kFolder = "/srv/photos/caf\xe9 2023";  // Latin-1 byte: not UTF-8
const QByteArray kFile = kFolder + "/a b#1.jpg";
const QString kFileManager = u"org.freedesktop.FileManager1"_s;

enum class Manager { absent, answers, refuses, silent };

}  // namespace

// Revealing through org.freedesktop.FileManager1 on a private session bus, with a scripted file
// manager, and the fallback that opens the folder when none answers.
class RevealTest : public QObject {
    Q_OBJECT

    PrivateSessionBus m_bus;
    int m_serial = 0;

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
    }

    void revealsOrOpensTheFolder_data() {
        QTest::addColumn<Manager>("manager");
        QTest::newRow("file manager shows the file") << Manager::answers;
        QTest::newRow("no file manager") << Manager::absent;
        QTest::newRow("file manager refuses") << Manager::refuses;
        QTest::newRow("file manager never answers") << Manager::silent;
    }
    void revealsOrOpensTheFolder() {
        QFETCH(Manager, manager);
        FakeBusService fake(m_bus.connect(u"manager%1"_s.arg(++m_serial)));
        QVERIFY(manager == Manager::absent || fake.serve(kFileManager));
        fake.onCall(u"/org/freedesktop/FileManager1"_s, kFileManager, u"ShowItems"_s,
                    [manager](const QDBusMessage&) {
                        return manager == Manager::answers   ? FakeBusService::answer()
                               : manager == Manager::refuses ? FakeBusService::error(u"x.Failed"_s)
                                                             : FakeBusService::silence();
                    });
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(m_bus.connect(u"client"_s), opener);
        QSignalSpy idle(&reveal, &FileManagerReveal::idle);
        QElapsedTimer waited;
        waited.start();
        reveal.reveal(kFile, u"tarnwick-1-1_TIME4242"_s);
        QVERIFY(reveal.isBusy());
        if (manager == Manager::silent) {
            QTRY_COMPARE(fake.callCount(u"ShowItems"_s), 1);
            QVERIFY(opener->opened.isEmpty());  // asked, not yet given up on
        }
        QVERIFY(idle.wait(5000));
        QVERIFY(!reveal.isBusy());
        const bool shown = manager == Manager::answers;
        QCOMPARE(opener->opened, shown ? QList<QByteArray>() : QList<QByteArray>{kFolder});
        if (manager == Manager::silent) QVERIFY(waited.elapsed() >= 900);  // not an early error
        if (manager == Manager::absent) return;
        const QVariantList asked = fake.calls(u"ShowItems"_s).value(0).arguments();
        QCOMPARE(asked.value(0).toStringList(), QStringList{fileUriFromPath(kFile)});
        QCOMPARE(pathFromFileUri(asked.value(0).toStringList().value(0).toLatin1()), kFile);
        QCOMPARE(asked.value(1).toString(), u"tarnwick-1-1_TIME4242"_s);
    }

    void fileInTheRootRevealsTheRoot() {
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(m_bus.connect(u"client"_s), opener);
        QSignalSpy idle(&reveal, &FileManagerReveal::idle);
        reveal.reveal("/vmlinuz", QString());
        reveal.reveal("/srv/sub/", QString());
        QTRY_VERIFY(!reveal.isBusy());
        QCOMPARE(idle.count(), 1);  // once, when the last request is done
        QCOMPARE(opener->opened, (QList<QByteArray>{"/", "/srv"}));
    }
};

TARNWICK_TEST(RevealTest)
#include "RevealTest.moc"

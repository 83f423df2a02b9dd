#include "FakeFileManager.h"
#include "RecordingOpener.h"
#include "core/FileUri.h"
#include "platform/dbus/FileManager1Reveal.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QByteArray kFolder = "/srv/photos/caf\xe9 2023";  // Latin-1 byte: not UTF-8
const QByteArray kFile = kFolder + "/a b#1.jpg";

}  // namespace

// Revealing through org.freedesktop.FileManager1 on a private session bus, with a fake file
// manager, and the fallback that opens the folder when none answers.
class RevealTest : public QObject {
    Q_OBJECT

    PrivateSessionBus m_bus;
    std::unique_ptr<QDBusConnection> m_client;
    std::unique_ptr<QDBusConnection> m_managerSide;
    FakeFileManager m_manager;
    int m_connections = 0;

    QDBusConnection connect(const char* name) {
        return QDBusConnection::connectToBus(
            QString::fromLatin1(m_bus.address()),
            QString::fromLatin1(name) + QString::number(++m_connections));
    }

    bool serveFileManager() {
        m_managerSide = std::make_unique<QDBusConnection>(connect("manager"));
        return m_managerSide->registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                             &m_manager, QDBusConnection::ExportAllSlots) &&
               m_managerSide->registerService(QStringLiteral("org.freedesktop.FileManager1"));
    }

private Q_SLOTS:
    void initTestCase() {
        QString busError;
        QVERIFY2(m_bus.start(&busError), qPrintable(busError));
    }

    void init() {
        m_client = std::make_unique<QDBusConnection>(connect("client"));
        QVERIFY(m_client->isConnected());
        m_manager.answer = FakeFileManager::Answer::reply;
        m_manager.shownUris.clear();
        m_manager.startupIds.clear();
    }

    void cleanup() {
        if (m_managerSide) {
            m_managerSide->unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
            m_managerSide->unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
            QDBusConnection::disconnectFromBus(m_managerSide->name());
            m_managerSide.reset();
        }
        QDBusConnection::disconnectFromBus(m_client->name());
        m_client.reset();
    }

    void fileManagerGetsTheExactUriAndStartupId() {
        QVERIFY(serveFileManager());
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(*m_client, opener);
        QSignalSpy idle(&reveal, &FileManagerReveal::idle);
        reveal.reveal(kFile, QStringLiteral("tarnwick-1-1_TIME4242"));
        QVERIFY(reveal.isBusy());
        QVERIFY(idle.wait(5000));
        QVERIFY(!reveal.isBusy());
        QCOMPARE(m_manager.shownUris.size(), 1);
        QCOMPARE(m_manager.shownUris.first(), QStringList{fileUriFromPath(kFile)});
        QCOMPARE(pathFromFileUri(m_manager.shownUris.first().first().toLatin1()), kFile);
        QCOMPARE(m_manager.startupIds.first(), QStringLiteral("tarnwick-1-1_TIME4242"));
        QVERIFY(opener->opened.isEmpty());
    }

    void noFileManagerOpensTheFolder() {
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(*m_client, opener);
        QSignalSpy idle(&reveal, &FileManagerReveal::idle);
        reveal.reveal(kFile, QString());
        QVERIFY(idle.wait(5000));
        QCOMPARE(opener->opened, QList<QByteArray>{kFolder});
    }

    void fileManagerErrorOpensTheFolder() {
        QVERIFY(serveFileManager());
        m_manager.answer = FakeFileManager::Answer::error;
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(*m_client, opener);
        QSignalSpy idle(&reveal, &FileManagerReveal::idle);
        reveal.reveal(kFile, QString());
        QVERIFY(idle.wait(5000));
        QCOMPARE(m_manager.shownUris.size(), 1);
        QCOMPARE(opener->opened, QList<QByteArray>{kFolder});
    }

    void silentFileManagerIsGivenUpAfterASecond() {
        QVERIFY(serveFileManager());
        m_manager.answer = FakeFileManager::Answer::silence;
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(*m_client, opener);
        QSignalSpy idle(&reveal, &FileManagerReveal::idle);
        QElapsedTimer waited;
        waited.start();
        reveal.reveal(kFile, QString());
        QTRY_COMPARE(m_manager.shownUris.size(), 1);
        QVERIFY(opener->opened.isEmpty());  // asked, not yet given up on
        QVERIFY(idle.wait(5000));
        QVERIFY(waited.elapsed() >= 900);  // the time-out, not an early error
        QCOMPARE(opener->opened, QList<QByteArray>{kFolder});
    }

    void fileInTheRootRevealsTheRoot() {
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(*m_client, opener);
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

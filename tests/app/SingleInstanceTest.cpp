#include "app/SingleInstance.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::StringLiterals;

// One tray application per session: this test process owns the name as the first instance
// would, and the real binary, started again, hands its command line over and leaves.
class SingleInstanceTest : public QObject {
    Q_OBJECT
private:
    PrivateSessionBus m_bus;
    QTemporaryDir m_home;
    int m_serial = 0;
    QProcessEnvironment environment() const {
        QProcessEnvironment env = m_bus.environmentFor(QProcessEnvironment::systemEnvironment());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"HOME"_s, m_home.path());
        env.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        return env;
    }
    // Runs tarnwick with raw arguments and gives its exit code, byte for byte (QProcess would pass
    // them through QString): a shell's printf rebuilds each from octal escapes. Waits in the event
    // loop, so that this process can answer the hand-over meanwhile.
    int start(const QList<QByteArray>& arguments, const QString& workingFolder = {}) {
        QString script = u"exec \"$0\""_s;
        QStringList escaped{QStringLiteral(TARNWICK_EXECUTABLE)};
        for (int i = 0; i < arguments.size(); ++i) {
            script += u" \"$(printf '%b' \"$%1\")\""_s.arg(i + 1);
            QString octal;
            for (char byte : arguments[i])
                octal += u"\\0%1"_s.arg(uint(uchar(byte)), 3, 8, QLatin1Char('0'));
            escaped << octal;
        }
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(workingFolder);
        process.start(u"/bin/sh"_s, QStringList{u"-c"_s, script} + escaped);
        const bool ended =
            process.waitForStarted(10000) &&
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
        return ended ? process.exitCode() : -1;
    }
    std::unique_ptr<SingleInstance> primary() {
        auto instance =
            std::make_unique<SingleInstance>(m_bus.connect(u"primary%1"_s.arg(++m_serial)));
        if (instance->claim() != SingleInstance::Claim::primary) return nullptr;
        return instance;
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
        QVERIFY(m_home.isValid());
    }
    void secondClaimFindsTheFirst() {
        auto first = primary();
        QVERIFY(first);
        SingleInstance second(m_bus.connect(u"second"_s));
        QCOMPARE(second.claim(), SingleInstance::Claim::alreadyRunning);
        first.reset();
        QTRY_COMPARE(second.claim(), SingleInstance::Claim::primary);
    }
    void commandLinesAreHandedOver() {
        auto instance = primary();
        QVERIFY(instance);
        QSignalSpy folders(instance.get(), &SingleInstance::folderRequested);
        QSignalSpy searches(instance.get(), &SingleInstance::searchRequested);
        QSignalSpy plain(instance.get(), &SingleInstance::activateRequested);
        QSignalSpy settings(instance.get(), &SingleInstance::settingsRequested);
        // Byte for byte, and a relative folder resolved where the command ran.
        const QByteArray folder = QFile::encodeName(m_home.path()) + "/caf\xe9 \xff folder";
        QCOMPARE(mkdir(folder.constData(), 0700), 0);
        QCOMPARE(start({folder}), 0);
        QVERIFY(QDir(m_home.path()).mkpath(u"here/sub"_s));
        QCOMPARE(start({"sub/../sub"}, m_home.filePath(u"here"_s)), 0);
        QCOMPARE(folders.size(), 2);
        QCOMPARE(folders[0][0].toByteArray(), folder);
        QCOMPARE(folders[1][0].toByteArray(),
                 QFile::encodeName(QDir(m_home.filePath(u"here/sub"_s)).canonicalPath()));
        QCOMPARE(start({"--activate"}), 0);
        QCOMPARE(start({}), 0);
        QCOMPARE(start({"--settings"}), 0);
        QCOMPARE(searches.size(), 1);
        QCOMPARE(plain.size(), 1);
        QCOMPARE(settings.size(), 1);
        // Bad command lines never reach the instance.
        const QByteArray file = QFile::encodeName(m_home.filePath(u"file.txt"_s));
        QFile(QFile::decodeName(file)).open(QIODevice::WriteOnly);
        QCOMPARE(start({"/nonexistent/folder"}), 1);
        QCOMPARE(start({file}), 1);
        QCOMPARE(start({"--activate", "/tmp"}), 2);
        QCOMPARE(start({"a", "b"}), 2);
        QCOMPARE(start({"--settings", "--activate"}), 2);
        QCOMPARE(folders.size() + searches.size() + plain.size() + settings.size(), 5);
    }
};

TARNWICK_TEST(SingleInstanceTest)
#include "SingleInstanceTest.moc"

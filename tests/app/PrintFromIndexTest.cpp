#include "PrintRun.h"
#include "tests/support/TestRunner.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QDir>
#include <QTest>

namespace tarnwick::test {

// `tarnwick --print` over a real Tracker miner that holds more than 5000 items: there the index
// alone answers, by name or content, as a panel's search does; smaller folders list on disk.
class PrintFromIndexTest : public QObject {
    Q_OBJECT
private:
    TrackerSandbox m_sandbox;

    void write(const QByteArray& relative, const QByteArray& text) {
        const QString path = QFile::decodeName(m_sandbox.corpus() + '/' + relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }

private Q_SLOTS:
    void initTestCase() {
        // 60 folders of 90 files, plus the folders and files the queries find: 5467 items.
        for (int folder = 0; folder < 60; ++folder)
            for (int file = 0; file < 90; ++file)
                write("bulk" + QByteArray::number(folder) + "/" + QByteArray::number(file), "x");
        write("reports/lighthouse-report.md", "annual figures\n");
        write("notes/keeper.txt", "the   Lighthouse\tkeeper's log\n");
        write("notes/other.txt", "nothing here\n");
        write("small/lighthouse.txt", "beam\n");
        QVERIFY2(m_sandbox.start(), qPrintable(m_sandbox.failure()));
    }

    void cleanupTestCase() { m_sandbox.stop(); }

    void answersFromTheIndexOrTheDisk_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<bool>("indexAlone");
        // Line feeds become blanks, pairs of blanks one, and a tab a blank: tabs are columns.
        const QByteArray keeper("notes/keeper.txt\tthe  Lighthouse keeper's log \n");
        QTest::newRow("by name or content")
            << QStringList{"@", "lighthouse"}
            << keeper + "reports/lighthouse-report.md\nsmall/lighthouse.txt\n"
            << true;
        QTest::newRow("without a query, nothing") << QStringList{"@"} << QByteArray() << true;
        QTest::newRow("one extension")
            << QStringList{"--ext", "txt", "@", "lighthouse"} << keeper + "small/lighthouse.txt\n"
            << true;
        QTest::newRow("a small folder, by content")
            << QStringList{"@/small", "beam"} << QByteArray("lighthouse.txt\tbeam \n") << false;
        QTest::newRow("the scanner, which does not count")
            << QStringList{"--index=scan", "@", "keeper"} << QByteArray("notes/keeper.txt\n")
            << false;
    }
    void answersFromTheIndexOrTheDisk() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(bool, indexAlone);
        for (QString& argument : arguments)
            argument.replace(u'@', QFile::decodeName(m_sandbox.corpus()));
        const PrintRun run = runTarnwick(QStringList{"--print"} + arguments);
        QCOMPARE(run.out, output);
        QCOMPARE(run.exitCode, 0);
        const QByteArray line = "tarnwick: " + m_sandbox.corpus() +
                                ": the index holds 5467 items here; searching the index alone\n";
        QCOMPARE(run.err, indexAlone ? line : QByteArray());
    }
};

TARNWICK_TEST(PrintFromIndexTest)

}  // namespace tarnwick::test

#include "PrintFromIndexTest.moc"

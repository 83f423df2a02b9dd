#include "PrintRun.h"
#include "tests/support/TestRunner.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace tarnwick::test {

// `tarnwick --print` on a folder a real Tracker miner has indexed with more than 5000 items:
// the index alone answers, by name or content, as a panel's search does there.
class PrintFromIndexTest : public QObject {
    Q_OBJECT
private:
    TrackerSandbox m_sandbox;

    using Run = PrintRun;
    static Run print(const QStringList& arguments) { return runPrint(arguments); }

    void write(const QByteArray& relative, const QByteArray& text) {
        const QString path = QFile::decodeName(m_sandbox.corpus() + '/' + relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QString corpus() const { return QFile::decodeName(m_sandbox.corpus()); }

private Q_SLOTS:
    void initTestCase() {
        // 60 folders of 90 files, 5460 items, plus the ones the queries find.
        for (int folder = 0; folder < 60; ++folder) {
            for (int file = 0; file < 90; ++file) {
                write("bulk" + QByteArray::number(folder) + "/item" + QByteArray::number(file) +
                          ".bin",
                      "x");
            }
        }
        write("reports/lighthouse-report.md", "annual figures\n");
        write("notes/keeper.txt", "the   Lighthouse\tkeeper's log\n");
        write("notes/other.txt", "nothing here\n");
        write("small/lighthouse.txt", "beam\n");
        QVERIFY2(m_sandbox.start(), qPrintable(m_sandbox.failure()));
    }

    void cleanupTestCase() { m_sandbox.stop(); }

    void aLargeFolderIsSearchedInTheIndexAlone() {
        const Run run = print({corpus(), QStringLiteral("lighthouse")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("searching the index alone"), run.err.constData());
        // Sorted by name; the one found by its text carries its passage: line feeds become blanks,
        // pairs of blanks one, and a tab a blank, since tabs separate the columns.
        QCOMPARE(run.out, QByteArray("notes/keeper.txt\tthe  Lighthouse keeper's log \n"
                                     "reports/lighthouse-report.md\n"
                                     "small/lighthouse.txt\n"));
    }

    void withoutAQueryNothingIsShown() {
        const Run run = print({corpus()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.contains("searching the index alone"));
        QVERIFY(run.out.isEmpty());
    }

    void pillsAndOrderApplyToTheIndexAnswer() {
        const Run run = print({QStringLiteral("--ext"), QStringLiteral("txt"), corpus(),
                               QStringLiteral("lighthouse")});
        QCOMPARE(run.out, QByteArray("notes/keeper.txt\tthe  Lighthouse keeper's log \n"
                                     "small/lighthouse.txt\n"));
    }

    // A small folder inside the same index, and the scanner that cannot count, list on disk.
    void smallFoldersAndTheScannerListOnDisk() {
        const Run small = print({corpus() + QStringLiteral("/small")});
        QCOMPARE(small.out, QByteArray("lighthouse.txt\n"));
        QVERIFY2(small.err.isEmpty(), small.err.constData());
        const Run scan =
            print({QStringLiteral("--index=scan"), corpus(), QStringLiteral("keeper")});
        QCOMPARE(scan.out, QByteArray("notes/keeper.txt\n"));
        QVERIFY(scan.err.isEmpty());
    }
};

TARNWICK_TEST(PrintFromIndexTest)

}  // namespace tarnwick::test

#include "PrintFromIndexTest.moc"

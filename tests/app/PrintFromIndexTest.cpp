#include "tests/support/TestRunner.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace tarnwick::test {

// `tarnwick --print` over a real miner: past 5000 items the index alone answers, else the disk.
class PrintFromIndexTest : public QObject {
    Q_OBJECT
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
    void answersFromTheIndexOrTheDisk() {
        // Line feeds become blanks, pairs of blanks one, and a tab a blank: tabs are columns.
        const QByteArray keeper("notes/keeper.txt\tthe  Lighthouse keeper's log \n");
        const QByteArray found = keeper + "reports/lighthouse-report.md\nsmall/lighthouse.txt\n";
        const std::tuple<QStringList, QByteArray, bool> rows[] = {
            {{"@", "lighthouse"}, found, true},
            {{"@"}, {}, true},  // without a query, nothing: exit 1
            {{"--ext", "txt", "@", "lighthouse"}, keeper + "small/lighthouse.txt\n", true},
            {{"@/small", "beam"}, "lighthouse.txt\tbeam \n", false},
            {{"--index=scan", "@", "keeper"}, "notes/keeper.txt\n", false},  // does not count
        };
        const QByteArray line = "tarnwick: " + m_sandbox.corpus() +
                                ": the index holds 5467 items here; searching the index alone\n";
        for (auto [arguments, output, indexAlone] : rows) {
            arguments.replaceInStrings(QStringLiteral("@"), QFile::decodeName(m_sandbox.corpus()));
            QProcess run;
            run.start(QStringLiteral(TARNWICK_EXECUTABLE), QStringList{"--print"} + arguments);
            QVERIFY(run.waitForFinished(60000) && run.exitCode() == (output.isEmpty() ? 1 : 0));
            QCOMPARE(run.readAllStandardOutput(), output);
            QCOMPARE(run.readAllStandardError(), indexAlone ? line : QByteArray());
        }
    }
};

TARNWICK_TEST(PrintFromIndexTest)
}  // namespace tarnwick::test

#include "PrintFromIndexTest.moc"

#include "PrintRun.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QProcess>
#include <QTest>

using namespace tarnwick::test;

// `tarnwick --print --index ...` as a user runs it, on a tree where one file matches by name
// and two only by content; without Tracker (the session bus is pointed nowhere).
class PrintIndexTest : public QObject {
    Q_OBJECT
private:
    TempTree m_tree;

    using Run = PrintRun;
    static Run print(const QStringList& arguments, const QString& workingDirectory = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=/nonexistent/tarnwick-test-bus"));
        return runPrint(arguments, env, workingDirectory);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_tree.isValid());
        m_tree.write("invoices.md", "list");
        m_tree.write("sub/notes.txt", "the INVOICE is due\n");
        m_tree.write("zeta.txt", "an invoice, paid\n");
        m_tree.write("other.txt", "nothing to see\n");
    }

    void contentHitsJoinTheNameMatches_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("output");
        // A row found by its text carries the passage around the match.
        const QByteArray all(
            "invoices.md\nsub/notes.txt\tthe INVOICE is due \nzeta.txt\tan invoice, paid \n");
        QTest::newRow("none") << QStringList{QStringLiteral("--index=none")}
                              << QByteArray("invoices.md\n");
        QTest::newRow("scan") << QStringList{QStringLiteral("--index"), QStringLiteral("scan")}
                              << all;
        QTest::newRow("auto, the default") << QStringList{} << all;
        QTest::newRow("tracker, not running")
            << QStringList{QStringLiteral("--index=tracker")} << QByteArray("invoices.md\n");
    }
    void contentHitsJoinTheNameMatches() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, output);
        const Run run = print(
            options + QStringList{QString::fromUtf8(m_tree.path()), QStringLiteral("invoice")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, output);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
    }

    void aRelativeFolderMeetsTheIndexPaths() {
        const Run run =
            print({QStringLiteral("--index=scan"), QStringLiteral("../"), QStringLiteral("due")},
                  QString::fromUtf8(m_tree.pathOf("sub")));
        QCOMPARE(run.out, QByteArray("sub/notes.txt\tthe INVOICE is due \n"));
    }

    void anUnknownBackendIsRefusedWithOneLine() {
        const Run run = print({QStringLiteral("--index"), QStringLiteral("spotlight"),
                               QString::fromUtf8(m_tree.path()), QStringLiteral("invoice")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.contains("spotlight"));
    }
};

TARNWICK_TEST(PrintIndexTest)
#include "PrintIndexTest.moc"

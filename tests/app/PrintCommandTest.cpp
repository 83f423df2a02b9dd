#include "PrintRun.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QProcess>
#include <QTest>

using namespace tarnwick::test;

// `tarnwick --print` as a user runs it from a terminal.
class PrintCommandTest : public QObject {
    Q_OBJECT
private:
    TempTree m_tree;

    using Run = PrintRun;
    static Run print(const QStringList& arguments) {
        return runPrint(QStringList{QStringLiteral("--index=none")} + arguments);
    }
    QString root() const { return QString::fromUtf8(m_tree.path()); }

private Q_SLOTS:
    void initTestCase() {
        m_tree.write("Report.pdf", "12345");
        m_tree.write("docs/report-old.txt", "1");
        m_tree.write("docs/photo.JPG", "123");
        m_tree.write("bad\xff name.txt", "x");
        m_tree.write("line\nbreak.md", "x");
    }

    void resultsFollowTheRankingAndTheSortOrder() {
        QCOMPARE(print({root(), QStringLiteral("rep")}).out,
                 QByteArray("docs/report-old.txt\nReport.pdf\n"));  // folder order: by name
        QCOMPARE(
            print({QStringLiteral("--sort"), QStringLiteral("size"), root(), QStringLiteral("rep")})
                .out,
            QByteArray("Report.pdf\ndocs/report-old.txt\n"));
        QCOMPARE(print({QStringLiteral("--ext"), QStringLiteral("JPG"),
                        QStringLiteral("--ext=__folder__"), root()})
                     .out,
                 QByteArray("docs\ndocs/photo.JPG\n"));
    }

    void namesArePrintedAsTheirBytes() {
        const Run run = print({QStringLiteral("-0"), root(), QStringLiteral("name")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("bad\xff name.txt", 13) + '\0');
        QCOMPARE(print({QStringLiteral("-0"), root(), QStringLiteral("break")}).out,
                 QByteArray("line\nbreak.md\0", 14));
    }

    void badInputGetsOneLineAndAnExitCode_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("missing folder") << QStringList{QStringLiteral("/nonexistent/folder")} << 1
                                        << QByteArray("No such file or directory");
        QTest::newRow("a file") << QStringList{QStringLiteral("@/Report.pdf")} << 1
                                << QByteArray("not a folder");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--frobnicate"), QStringLiteral("@")} << 2
            << QByteArray("frobnicate");
        QTest::newRow("unknown order")
            << QStringList{QStringLiteral("--sort=colour"), QStringLiteral("@")} << 2
            << QByteArray("colour");
        QTest::newRow("no folder") << QStringList{} << 2 << QByteArray("usage");
    }
    void badInputGetsOneLineAndAnExitCode() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        for (QString& argument : arguments) argument.replace(u'@', root());
        const Run run = print(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.contains(message), run.err.constData());
    }
};

TARNWICK_TEST(PrintCommandTest)
#include "PrintCommandTest.moc"

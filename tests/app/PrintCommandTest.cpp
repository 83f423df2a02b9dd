#include "PrintRun.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QTemporaryFile>
#include <QTest>

using namespace tarnwick::test;

// `tarnwick --print` (and the folder checks it shares with `--panel`) as a user runs it, on a
// tree where files match by name and by content; without Tracker (the session bus points
// nowhere), so that "auto" means the scanner, and on a display without screens.
class PrintCommandTest : public QObject {
    Q_OBJECT
private:
    TempTree m_tree;
    QTemporaryFile m_screens;

    PrintRun run(QStringList arguments, const QString& workingDirectory = {}) {
        for (QString& argument : arguments)
            argument.replace(u'@', QString::fromUtf8(m_tree.path()));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-test-bus");
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + m_screens.fileName());
        return runTarnwick(arguments, env, workingDirectory);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_tree.isValid() && m_screens.open() && m_screens.write("{\"screens\": []}"));
        m_screens.flush();
        m_tree.write("Report.pdf", "12345");
        m_tree.write("docs/report-old.txt", "1");
        m_tree.write("docs/photo.JPG", "123");
        m_tree.write("bad\xff name.txt", "x");
        m_tree.write("line\nbreak.md", "x");
        m_tree.write("invoices.md", "list");
        m_tree.write("sub/notes.txt", "the INVOICE is due\n");
        m_tree.write("zeta.txt", "an\tinvoice, paid\n");
        m_tree.write("other.txt", "nothing to see\n");
    }

    void resultsAsThePanelShowsThem_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        const QByteArray hits(
            "invoices.md\nsub/notes.txt\tthe INVOICE is due \n"
            "zeta.txt\tan invoice, paid \n");  // a tab would be a column
        QTest::newRow("by name") << QStringList{"--index=none", "@", "rep"}
                                 << QByteArray("docs/report-old.txt\nReport.pdf\n");
        QTest::newRow("by size") << QStringList{"--index=none", "--sort", "size", "@", "rep"}
                                 << QByteArray("Report.pdf\ndocs/report-old.txt\n");
        QTest::newRow("extensions without a query")
            << QStringList{"--index=none", "--ext", "JPG", "--ext=__folder__", "@"}
            << QByteArray("docs\nsub\ndocs/photo.JPG\n");
        QTest::newRow("bytes, NUL-ended") << QStringList{"--index=none", "-0", "@", "name"}
                                          << QByteArray("bad\xff name.txt\0", 14);
        QTest::newRow("a line feed in a name") << QStringList{"--index=none", "-0", "@", "break"}
                                               << QByteArray("line\nbreak.md\0", 14);
        QTest::newRow("scan") << QStringList{"--index", "scan", "@", "invoice"} << hits;
        QTest::newRow("auto, the default") << QStringList{"@", "invoice"} << hits;
        QTest::newRow("tracker, not running")
            << QStringList{"--index=tracker", "@", "invoice"} << QByteArray("invoices.md\n");
    }
    void resultsAsThePanelShowsThem() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        const PrintRun result = run(QStringList{"--print"} + arguments);
        QCOMPARE(result.out, output);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
    }

    // A folder given relatively, with a trailing '/', still meets the index's paths.
    void aRelativeFolderMeetsTheIndex() {
        const PrintRun result =
            run({"--print", "--index=scan", "../", "due"}, QString::fromUtf8(m_tree.pathOf("sub")));
        QCOMPARE(result.out, QByteArray("sub/notes.txt\tthe INVOICE is due \n"));
    }

    void badInputGetsOneLineAndAnExitCode_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        for (const char* mode : {"--print", "--panel"}) {
            const QString command = QString::fromLatin1(mode);
            QTest::addRow("%s, missing folder", mode)
                << QStringList{command, "/nonexistent/folder"} << 1
                << QByteArray("/nonexistent/folder: No such file or directory");
            QTest::addRow("%s, a file", mode)
                << QStringList{command, "@/Report.pdf"} << 1 << QByteArray("not a folder");
            QTest::addRow("%s, no folder", mode)
                << QStringList{command} << 2 << QByteArray("usage");
        }
        QTest::newRow("unknown option")
            << QStringList{"--print", "--frobnicate", "@"} << 2 << QByteArray("frobnicate");
        QTest::newRow("unknown order")
            << QStringList{"--print", "--sort=colour", "@"} << 2 << QByteArray("colour");
        QTest::newRow("unknown index")
            << QStringList{"--print", "--index", "spotlight", "@"} << 2 << QByteArray("spotlight");
        QTest::newRow("too many") << QStringList{"--print", "@", "a", "b"} << 2
                                  << QByteArray("usage");
        QTest::newRow("panel without a screen")
            << QStringList{"--panel", "@"} << 1 << QByteArray("no screen");
    }
    void badInputGetsOneLineAndAnExitCode() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        const PrintRun result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY(result.out.isEmpty());
        QByteArrayList lines;  // Qt's own warnings aside
        for (const QByteArray& line : result.err.split('\n'))
            if (line.startsWith("tarnwick: ")) lines.append(line);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains(message), result.err.constData());
    }
};

TARNWICK_TEST(PrintCommandTest)
#include "PrintCommandTest.moc"

#include "PrintRun.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QTemporaryFile>
#include <QTest>

using namespace tarnwick::test;

// `tarnwick --print` (and the folder checks it shares with `--panel`) on a tree where files match
// by name and by content; without Tracker (the session bus points nowhere), so that "auto" means
// the scanner, and on a display without screens.
class PrintCommandTest : public QObject {
    Q_OBJECT
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
    void resultsAsThePanelShowsThem() {
        const QByteArray hits =  // a tab in a passage would be a column
            "invoices.md\nsub/notes.txt\tthe INVOICE is due \nzeta.txt\tan invoice, paid \n";
        const struct {
            QStringList arguments;
            QByteArray output;
        } rows[] = {
            {{"--index=none", "@", "rep"}, "docs/report-old.txt\nReport.pdf\n"},
            {{"--index=none", "--sort", "size", "@", "rep"}, "Report.pdf\ndocs/report-old.txt\n"},
            {{"--index=none", "--ext", "JPG", "--ext=__folder__", "@"},
             "docs\nsub\ndocs/photo.JPG\n"},
            {{"--index=none", "-0", "@", "name"}, QByteArray("bad\xff name.txt\0", 14)},
            {{"--index=none", "-0", "@", "break"}, QByteArray("line\nbreak.md\0", 14)},
            {{"--index", "scan", "@", "invoice"}, hits},
            {{"@", "invoice"}, hits},  // "auto", without Tracker: the scanner
            {{"--index=tracker", "@", "invoice"}, "invoices.md\n"},  // not running: names only
        };
        for (const auto& row : rows) {
            const PrintRun result = run(QStringList{"--print"} + row.arguments);
            QCOMPARE(result.out, row.output);
            QCOMPARE(result.exitCode, 0);
            QVERIFY2(result.err.isEmpty(), result.err.constData());
        }
        // A folder given relatively, with a trailing '/', still meets the index's paths.
        const PrintRun result =
            run({"--print", "--index=scan", "../", "due"}, QString::fromUtf8(m_tree.pathOf("sub")));
        QCOMPARE(result.out, QByteArray("sub/notes.txt\tthe INVOICE is due \n"));
    }
    void badInputGetsOneLineAndAnExitCode() {
        const struct {
            QStringList arguments;
            int exitCode;
            const char* message;
        } rows[] = {
            {{"--print", "/nonexistent/folder"}, 1, "folder: No such file"},
            {{"--panel", "/nonexistent/folder"}, 1, "folder: No such file"},
            {{"--print", "@/Report.pdf"}, 1, "not a folder"},
            {{"--panel", "@/Report.pdf"}, 1, "not a folder"},
            {{"--print"}, 2, "usage"},
            {{"--panel"}, 2, "usage"},
            {{"--print", "--frobnicate", "@"}, 2, "frobnicate"},
            {{"--print", "--sort=colour", "@"}, 2, "colour"},
            {{"--print", "--index", "spotlight", "@"}, 2, "spotlight"},
            {{"--print", "@", "a", "b"}, 2, "usage"},
            {{"--panel", "@"}, 1, "no screen"},
        };
        for (const auto& row : rows) {
            const PrintRun result = run(row.arguments);
            QByteArrayList lines;  // Qt's own warnings aside
            for (const QByteArray& line : result.err.split('\n'))
                if (line.startsWith("tarnwick: ")) lines.append(line);
            QVERIFY2(result.exitCode == row.exitCode && result.out.isEmpty() && lines.size() == 1 &&
                         lines.first().contains(row.message),
                     qPrintable(row.arguments.join(u' ') + ": " + result.err));
        }
    }
};

TARNWICK_TEST(PrintCommandTest)
#include "PrintCommandTest.moc"

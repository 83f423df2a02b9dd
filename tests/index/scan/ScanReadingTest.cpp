#include "ScanTestSupport.h"
#include "index/scan/ScanIndex.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace tarnwick;

// What the scanner reads of a file: which names it reads and as what, where a file's text ends,
// broken documents, files too large to keep in memory. Never a crash, never unbounded memory.
class ScanReadingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsWhatTheFileSays_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("found");
        const auto row = [](const char* tag, const char* name, const QByteArray& content,
                            bool found) {
            QTest::newRow(tag) << QByteArray(name) << content << found;
        };
        const QByteArray big(2 * 1024 * 1024, 'y');  // more than is kept in memory: streamed
        const QByteArray head = "invoice" + QByteArray(4096 - 7, ' ');  // what is sniffed
        QByteArray nulEarly = big;
        nulEarly[100] = '\0';
        row("plain text", "a.txt", "The Invoice is due.", true);
        row("upper-case extension", "B.MD", "invoice", true);
        row("text by MIME type", "main.py", "print('INVOICE')\n", true);
        row("text by MIME type, no extension", "Makefile", "invoice:\n", true);
        row("name with a line feed, not UTF-8", "caf\xE9\n.txt", "invoice", true);
        row("image", "i.png", "invoice", false);
        row("office document", "j.docx", "invoice", false);
        row("unknown name, text", "k.zzqx", "an invoice", true);
        row("unknown name, PDF bytes", "k.zzqx", "%PDF-1.4 invoice", false);
        row("unknown name, NUL in the first bytes", "k.zzqx", head.left(4095) + '\0', false);
        row("unknown name, NUL after the first bytes", "k.zzqx", head + '\0', true);
        row("RTF", "letter.rtf", test::rtfDocument("Dear client,\\par your inv\\'f3ice."), true);
        row("PDF", "paper.pdf", test::makePdf({QStringLiteral("cover"), QStringLiteral("invoice")}),
            true);
        row("PDF name, garbage", "garbage.pdf", "%PDF-1.7\n\xFF\xFE garbage invoice", false);
        row("text up to a NUL", "nul.txt", QByteArray("invoice\0binary", 14), true);
        row("NUL before the text", "late-nul.txt", QByteArray("binary\0invoice", 14), false);
        row("ill-formed UTF-8 before", "latin1.txt", "r\xE9sum\xE9 invoice", false);
        row("ill-formed UTF-8 after", "late-garbage.txt", "invoice, then \xFF", true);
        row("streamed, across read pieces", "seam.log",
            QByteArray(64 * 1024 - 4, 'x') + "Invoice" + big, true);
        row("streamed, at the end", "tail.txt", big + " invoice", true);
        row("streamed, after a NUL", "binary.txt", nulEarly + " invoice", false);
        // Read long after the other workers ran out of files: the scan waits for it.
        row("long", "long.txt", QByteArray(24 * 1024 * 1024, 'z') + " invoice", true);
    }
    void findsWhatTheFileSays() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, found);
        test::TempTree tree;
        tree.write(name, content);
        ScanIndex index;
        QCOMPARE(test::hitsFor(index, tree.path(), QStringLiteral("invoice")),
                 found ? QSet<QByteArray>{name} : QSet<QByteArray>());
    }

    // Several gigabytes that are mostly holes: searched up to the first NUL byte, never read on.
    void hugeSparseFiles() {
        test::TempTree tree(QStringLiteral("/var/tmp"));
        const qint64 size = qint64(5) << 30;
        for (auto [name, offset] : {std::pair{"start.txt", qint64(0)}, {"end.txt", size - 64}}) {
            const int fd = ::open(tree.pathOf(name).constData(), O_WRONLY | O_CREAT, 0644);
            QCOMPARE(::pwrite(fd, "invoice", 7, offset), 7);
            QCOMPARE(::ftruncate(fd, size), 0);
            ::close(fd);
        }
        ScanIndex index;
        QCOMPARE(test::hitsFor(index, tree.path(), QStringLiteral("invoice")),
                 QSet<QByteArray>{"start.txt"});
    }

    void linksAreNotFollowed() {
        test::TempTree outside;
        outside.write("target.txt", "invoice");
        test::TempTree tree;
        tree.symlink(outside.pathOf("target.txt"), "link.txt");
        tree.symlink(outside.path(), "linked-folder");
        ScanIndex index;
        QCOMPARE(test::hitsFor(index, tree.path(), QStringLiteral("invoice")), QSet<QByteArray>());
    }
};

TARNWICK_TEST(ScanReadingTest)
#include "ScanReadingTest.moc"

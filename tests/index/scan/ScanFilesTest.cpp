#include "ScanTestSupport.h"
#include "index/scan/ScanIndex.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "tests/text/DocumentFixtures.h"

#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace tarnwick;
using test::relativePaths;
using test::runToEnd;

namespace {

QSet<QByteArray> hitsFor(const QByteArray& root, const QString& text) {
    ScanIndex index;
    std::unique_ptr<MetadataQuery> query =
        index.createQuery(root, MetadataPredicate::contentContains, text);
    if (!runToEnd(*query)) return {"<did not finish>"};
    return relativePaths(query->results(), root);
}

// A file of `size` bytes that holds `text` at `offset` and holes (zero bytes) elsewhere.
void makeSparseFile(const QByteArray& path, qint64 size, qint64 offset, const QByteArray& text) {
    int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::pwrite(fd, text.constData(), size_t(text.size()), offset), text.size());
    QCOMPARE(::ftruncate(fd, size), 0);
    ::close(fd);
}

}  // namespace

// What the scanner reads and what it refuses: never a crash, never unbounded memory.
class ScanFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void binaryAndIllFormedTextIsSkipped() {
        test::TempTree tree;
        tree.write("nul.txt", QByteArray("invoice\0\0\0binary", 17));
        tree.write("latin1.txt", "r\xE9sum\xE9 invoice");
        tree.write("late-garbage.txt", "invoice first, then \xFF");
        tree.write("utf16.txt", QByteArray("\xFF\xFEi\0n\0v\0", 8));
        // Text is searched up to its first NUL or ill-formed byte, whatever the file's size.
        QCOMPARE(hitsFor(tree.path(), QStringLiteral("invoice")),
                 (QSet<QByteArray>{"nul.txt", "late-garbage.txt"}));
    }

    // Big enough to be streamed rather than cached: matches across read pieces and at the end.
    void largeFilesAreStreamed() {
        test::TempTree tree;
        QByteArray seam(64 * 1024 - 4, 'x');
        seam += "Invoice";
        seam += QByteArray(2 * 1024 * 1024, 'y');
        tree.write("seam.log", seam);
        QByteArray tail(3 * 1024 * 1024, 'z');
        tail += " invoice";
        tree.write("tail.txt", tail);
        QByteArray accent(2 * 1024 * 1024, 'w');
        accent += QStringLiteral(" ínvoice").toUtf8();
        tree.write("accent.txt", accent);
        tree.write("none.txt", QByteArray(2 * 1024 * 1024, 'v'));
        QByteArray binary(2 * 1024 * 1024, 'u');
        binary[100] = '\0';
        binary += " invoice";
        tree.write("binary.txt", binary);
        QCOMPARE(hitsFor(tree.path(), QStringLiteral("invoice")),
                 (QSet<QByteArray>{"seam.log", "tail.txt", "accent.txt"}));
    }

    // Several gigabytes that are mostly holes: searched up to the first NUL byte, never read on.
    void hugeSparseFile() {
        test::TempTree tree(QStringLiteral("/var/tmp"));
        makeSparseFile(tree.pathOf("huge.txt"), qint64(5) << 30, 0, "invoice at the start");
        makeSparseFile(tree.pathOf("huge-end.txt"), qint64(5) << 30, (qint64(5) << 30) - 64,
                       "invoice at the end");
        tree.write("small.txt", "invoice");
        QCOMPARE(hitsFor(tree.path(), QStringLiteral("invoice")),
                 (QSet<QByteArray>{"huge.txt", "small.txt"}));
    }

    void brokenDocuments() {
        test::TempTree tree;
        QByteArray pdf = test::makePdf({QStringLiteral("invoice")});
        test::writeFileBytes(tree.pathOf("whole.pdf"), pdf);
        test::writeFileBytes(tree.pathOf("cut.pdf"), pdf.left(pdf.size() / 3));
        tree.write("garbage.pdf", "%PDF-1.7\n\xFF\xFE garbage invoice");
        tree.write("cut.rtf", "{\\rtf1\\ansi {\\fonttbl{\\f0 Ti");
        tree.write("open.rtf", "{\\rtf1 invoice {\\b unclosed");
        const QSet<QByteArray> hits = hitsFor(tree.path(), QStringLiteral("invoice"));
        QVERIFY(hits.contains("whole.pdf"));
        QVERIFY(hits.contains("open.rtf"));
        QVERIFY(!hits.contains("garbage.pdf"));  // not a PDF, and not read as text either
        QVERIFY(!hits.contains("cut.rtf"));      // cut.pdf may or may not still yield its text
    }

    void linksAreNotFollowedAndOddNamesSurvive() {
        test::TempTree outside;
        outside.write("target.txt", "invoice");
        test::TempTree tree;
        tree.symlink(outside.pathOf("target.txt"), "link.txt");
        tree.symlink(outside.path(), "linked-folder");
        tree.write("caf\xE9\n.txt", "invoice");
        QCOMPARE(hitsFor(tree.path(), QStringLiteral("invoice")),
                 QSet<QByteArray>{"caf\xE9\n.txt"});
    }
};

TARNWICK_TEST(ScanFilesTest)
#include "ScanFilesTest.moc"

#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "text/PlainTextReader.h"

#include <QtTest>

#include <sys/stat.h>

using namespace tarnwick;

namespace {

struct Collected {
    QByteArray bytes;
    int pieces = 0;
    qsizetype largestPiece = 0;
    ReadStatus status = ReadStatus::failed;
};

Collected readAll(const QByteArray& path, LinkPolicy links = LinkPolicy::follow) {
    Collected c;
    c.status = readUtf8File(path, links, [&c](QByteArrayView piece) {
        c.bytes.append(piece);
        ++c.pieces;
        c.largestPiece = std::max(c.largestPiece, piece.size());
        return true;
    });
    return c;
}

}  // namespace

class PlainTextReaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void streamsLargeFileInBoundedPieces() {
        test::TempTree tree;
        // "東" is three bytes, so sequences straddle the reader's chunk boundaries.
        const QByteArray content = QString(QStringLiteral("a東")).repeated(100000).toUtf8();
        tree.write("big.txt", content);
        const Collected c = readAll(tree.pathOf("big.txt"));
        QCOMPARE(c.status, ReadStatus::complete);
        QCOMPARE(c.bytes, content);
        QVERIFY(c.pieces > 1);
        QVERIFY(c.largestPiece <= kReadChunkBytes);
    }

    void invalidByteLateInFileFails() {
        test::TempTree tree;
        QByteArray content(3 * kReadChunkBytes, 'x');
        content.append('\xFF');
        content.append("tail");
        tree.write("late.txt", content);
        const Collected c = readAll(tree.pathOf("late.txt"));
        QCOMPARE(c.status, ReadStatus::failed);
        QCOMPARE(c.bytes, QByteArray(3 * kReadChunkBytes, 'x'));  // the text before the bad byte
    }

    void fileEndingInsideSequenceFails() {
        test::TempTree tree;
        tree.write("cut.txt", QByteArray("fine \xE6\x9D"));
        QCOMPARE(readAll(tree.pathOf("cut.txt")).status, ReadStatus::failed);
    }

    void utf16FileIsNotUtf8() {
        test::TempTree tree;
        const QString text = QStringLiteral("hello");
        QByteArray utf16("\xFF\xFE");
        utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        tree.write("wide.txt", utf16);
        QCOMPARE(readAll(tree.pathOf("wide.txt")).status, ReadStatus::failed);
    }

    void byteOrderMarkIsDropped() {
        test::TempTree tree;
        tree.write("bom.txt", QByteArray("\xEF\xBB\xBFhi"));
        const Collected c = readAll(tree.pathOf("bom.txt"));
        QCOMPARE(c.status, ReadStatus::complete);
        QCOMPARE(c.bytes, QByteArray("hi"));
    }

    void receiverCanStop() {
        test::TempTree tree;
        tree.write("long.txt", QByteArray(4 * kReadChunkBytes, 'y'));
        int pieces = 0;
        const ReadStatus status = readUtf8File(tree.pathOf("long.txt"), LinkPolicy::follow,
                                               [&pieces](QByteArrayView) { return ++pieces < 2; });
        QCOMPARE(status, ReadStatus::stopped);
        QCOMPARE(pieces, 2);
    }

    void nameThatIsNotUtf8IsReadable() {
        test::TempTree tree;
        tree.write("caf\xE9.txt", "menu");
        const Collected c = readAll(tree.pathOf("caf\xE9.txt"));
        QCOMPARE(c.status, ReadStatus::complete);
        QCOMPARE(c.bytes, QByteArray("menu"));
    }

    void refusesWhatIsNotARegularFile() {
        test::TempTree tree;
        tree.mkdir("folder");
        QCOMPARE(readAll(tree.pathOf("folder")).status, ReadStatus::failed);
        QCOMPARE(::mkfifo(tree.pathOf("pipe").constData(), 0644), 0);
        QCOMPARE(readAll(tree.pathOf("pipe")).status, ReadStatus::failed);  // without blocking
        QCOMPARE(readAll(tree.pathOf("missing")).status, ReadStatus::failed);
    }

    void linkPolicyDecidesOnSymbolicLinks() {
        test::TempTree tree;
        tree.write("target.txt", "linked");
        tree.symlink("target.txt", "link.txt");
        QCOMPARE(readAll(tree.pathOf("link.txt"), LinkPolicy::follow).bytes, QByteArray("linked"));
        QCOMPARE(readAll(tree.pathOf("link.txt"), LinkPolicy::refuse).status, ReadStatus::failed);
    }

    void decodedReaderGivesText() {
        test::TempTree tree;
        tree.write("x.txt", QStringLiteral("Grüße").toUtf8());
        QString text;
        const ReadStatus status =
            readPlainText(tree.pathOf("x.txt"), LinkPolicy::follow, [&text](QStringView piece) {
                text += piece;
                return true;
            });
        QCOMPARE(status, ReadStatus::complete);
        QCOMPARE(text, QStringLiteral("Grüße"));
    }
};

TARNWICK_TEST(PlainTextReaderTest)
#include "PlainTextReaderTest.moc"

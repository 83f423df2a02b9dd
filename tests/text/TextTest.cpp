#include "tests/support/ReferencePassage.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "text/ContentFolding.h"
#include "text/DocumentText.h"
#include "text/FoldedTextStream.h"
#include "text/NeedleSearch.h"
#include "text/PassageFinder.h"
#include "text/RtfReader.h"
#include "text/Utf8Validation.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::shown;
using tarnwick::test::wholeTextPassage;

namespace {

void readColumns() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ReadStatus>("status");
}
void row(const char* name, const QByteArray& input, const QString& text,
         ReadStatus status = ReadStatus::complete) {
    QTest::newRow(name) << input << text << status;
}

// Clusters that depend on their neighbours: flags, ZWJ sequences, CR LF, jamo, Thai, marks.
const QStringList kPieces =
    QStringLiteral(
        "a|B| |\n|\r\n|e\u0301|\u0301|İ|ß|Σ|🇩🇪|🇩|👨\u200D👩\u200D👧|\u200D|각|\u1100\u1161|😀|"
        "\U0001D400|ก|\u0E35|\u0E33|👍")
        .split(u'|');

QString randomText(QRandomGenerator& random, int count) {
    QString text;
    while (count-- > 0) text += kPieces[random.bounded(int(kPieces.size()))];
    return text;
}

// The text fed whole, or in random pieces of up to `largest` units.
QString streamed(const QString& text, const QString& query, int before = 40, int after = 60,
                 QRandomGenerator* random = nullptr, int largest = 1) {
    PassageFinder finder(query, before, after);
    for (qsizetype at = 0, length = text.size(); at < text.size(); at += length) {
        if (random) length = std::min<qsizetype>(1 + random->bounded(largest), text.size() - at);
        if (!finder.feed(QStringView(text).sliced(at, length))) break;
    }
    return shown(finder.finish());
}

}  // namespace

// The document readers, content folding as the index does it, the byte search over it, and the
// passage around the first match.
class TextTest : public QObject {
    Q_OBJECT
    test::TempTree m_tree;

private Q_SLOTS:
    void extractsRtf_data() {
        readColumns();
        row("breaks and symbols",
            "{\\rtf1\\ansi Hello\\par World\\tab end\\line next one\r\ntwo\\\ntree a\\{b\\}c\\\\d"
            "\\~e\\-f\\_g\\emdash h\\bullet  a\\zwj b\\Zunknown c\\Aunknown d}",
            "Hello\nWorld\tend\nnext onetwo\ntree a{b}c\\d\u00A0ef‑g—h• a\u200Dbcd");
        // 1252 by default; an unknown page falls back to it from another one.
        row("code pages",
            "{\\rtf1 caf\\'e9 \\'80\\ansicpg1251 \\'e0\\'e1\\ansicpg932 \\'82\\'a0\\ansicpg99999 "
            "\\'e9\\mac \\'8e}",
            "café €абあéé");
        row("hex and unicode",
            "{\\rtf1 \\'30\\'39\\'AF\\'af\\'C9 a\\'zb \\u8364?x\\u233\\'e9 z\\u-3913?"
            "\\u169?\\u8240?\\u-10179?\\u-8704?}",
            "09¯¯É azb €xé z\uF0B7©‰😀");
        // \ucN is per group (bare \uc: one), and a group's brace ends the skip.
        row("unicode skips",
            "{\\rtf1 {\\uc2 \\u26481\\'96\\'8ax}{\\uc0 \\u233 x}{\\uc2\\uc \\u233 ab}"
            "{\\uc2 \\u233 ab}\\u233 ab{\\u233}x{\\uc999999 \\u233 abcdefghijklmnopqrstuvwxyz}}",
            "東xéxébéébéxéqrstuvwxyz");
        row("destinations",
            "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Helvetica;}}{\\colortbl;\\red0\\green0\\blue0;}"
            "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret}{\\author Someone}}"
            "{\\*\\generator Writer 1.0;}{\\header Page head}{\\footer Page foot}"
            "{\\pict\\pngblip 89504e47}{\\*\\unknowndest hidden}"
            "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}} Body {\\b bold} text}",
            "shown Body bold text");
        row("binary", "{\\rtf1 a{\\pict\\bin6 }{\\\\x}}b\\bin-5 c\\bin3 {{{d}", "abcd");
        row("blanks before, text after", " \r\n{\\rtf1 ok}outside", "ok");
        row("truncated", "{\\rtf1\\ansi Hello {\\b wor", "Hello wor");
        row("not rtf", "Hello {\\rtf1 x}", "", ReadStatus::failed);
        row("cut header", "{\\rt", "", ReadStatus::failed);
        row("endless word, huge numbers",
            "{\\rtf1 \\" + QByteArray(1'000'000, 'x') +
                " y\\u99999999999999999999?z\\bin99999999999999999999 abc}",
            "yz");
        const QByteArray deep = QByteArray(1'000'000, '{') + "b" + QByteArray(1'000'000, '}');
        row("deep nesting", "{\\rtf1 a" + deep + "c}after", "abc");
    }
    void extractsRtf() {  // the same fed whole and cut after every byte
        QFETCH(QByteArray, input);
        for (qsizetype piece : {std::max<qsizetype>(input.size(), 1), qsizetype(1)}) {
            QString text;
            RtfTextExtractor extractor([&text](QStringView part) { return text += part, true; });
            for (qsizetype at = 0; at < input.size(); at += piece)
                extractor.feed(
                    QByteArrayView(input).sliced(at, std::min(piece, input.size() - at)));
            QTEST(extractor.finish(), "status");
            QTEST(text, "text");
        }
    }

    // '|' ends the valid prefix, '!' marks the bytes ill-formed: overlong forms, surrogates, past
    // U+10FFFF, the ends of E0's and F0's second bytes; a sequence cut at the end is not.
    void validUtf8Prefix() {
        for (QByteArray row :
             {"plain text|", "\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80|", "ab|\xC0\xAF!",
              "|\xE0\x80\xAF!", "\xE0\xA0\x80\xE0\xBF\xBF|\xE0\xC0\x80!", "x|\xED\xA0\x80!",
              "|\xF4\x90\x80\x80!", "\xF0\x90\x80\x80\xF0\xBF\xBF\xBF|\xF0\xC0\x80\x80!", "a|\x80!",
              "|\xFF\xFE!", "ok|\xF0\x9F\x98", "|\346\235a!", "12345678|\xFF!",
              "123456|\37789abcdef!"}) {
            const qsizetype valid = row.indexOf('|');
            const bool illFormed = row.endsWith('!');
            const Utf8Prefix prefix =
                tarnwick::validUtf8Prefix(row.remove(valid, 1).chopped(illFormed));
            QCOMPARE(QPair(prefix.validLength, prefix.illFormed), QPair(valid, illFormed));
        }
    }

    // Files named .rtf, read in pieces of at most kReadChunkBytes: RTF, or when they hold none,
    // strict UTF-8 (sequences straddling reads).
    void readsFiles_data() {
        readColumns();
        const QString many = QStringLiteral("a東").repeated(100000);
        row("rtf", "{\\rtf1 " + QByteArray("word\\'e9 \\par ").repeated(20000) + "}",
            QStringLiteral("wordé \n").repeated(20000));
        row("long text", many.toUtf8(), many);
        row("bad byte late", QByteArray(3 * kReadChunkBytes, 'x') + "\xFFtail",
            QString(3 * kReadChunkBytes, u'x'), ReadStatus::failed);
        row("ends inside a sequence", "fine \xE6\x9D", "fine ", ReadStatus::failed);
        row("utf-16", QByteArray("\xFF\xFEh\0i\0", 6), "", ReadStatus::failed);
        row("byte order mark", "\xEF\xBB\xBFhi", "hi");
        row("part of a byte order mark", "\xEF\xBB", "", ReadStatus::failed);
    }
    void readsFiles() {  // a piece longer than one read chunk stops the reading
        QFETCH(QByteArray, input);
        QFETCH(QString, text);
        m_tree.write("caf\xE9.rtf", input);
        NativeFile file = NativeFile::open(m_tree.pathOf("caf\xE9.rtf"), LinkPolicy::follow);
        QByteArray utf8;
        const auto sink = [&](QByteArrayView piece) {
            return utf8 += piece, piece.size() <= kReadChunkBytes;
        };
        QTEST(readDocumentUtf8(file, DocumentFormat::rtf, 0, sink), "status");
        QCOMPARE(utf8, text.toUtf8());
    }

    void opensOnlyRegularFilesAndTellsTheirFormat() {  // by the first bytes, for a name of no type
        QVERIFY(formatOfContent("{\\rtf1 x}").reader == DocumentFormat::rtf);
        QVERIFY(!formatOfContent(QByteArray(200, 'a') + '\0').reader);  // text at its start only
        m_tree.write("target.txt", "linked");
        m_tree.symlink("target.txt", "link.txt");
        m_tree.touch("target.txt", 1'700'000'123);
        m_tree.mkdir("folder");
        QCOMPARE(::mkfifo(m_tree.pathOf("pipe").constData(), 0644), 0);
        const NativeFile linked = NativeFile::open(m_tree.pathOf("link.txt"), LinkPolicy::follow);
        QCOMPARE(linked.modifiedMsecs(), 1'700'000'123'000);
        QCOMPARE(linked.head(4), QByteArray("link"));
        QVERIFY(!NativeFile::open(m_tree.pathOf("link.txt"), LinkPolicy::refuse).isOpen());
        const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{AF_UNIX, {}};
        qstrncpy(address.sun_path, m_tree.pathOf("socket").constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(listening);
        for (const char* name : {"folder", "pipe", "socket", "missing"})  // a FIFO without blocking
            QVERIFY(!NativeFile::open(m_tree.pathOf(name), LinkPolicy::follow).isOpen());
    }
    // A file that changes while it is read gives what it held when opened, or less when cut: a
    // log written without end cannot keep the reader going nor fill memory.
    void readsWhatWasThereWhenOpened_data() {
        QTest::addColumn<qint64>("newSize");
        QTest::addColumn<QByteArray>("text");
        const QByteArray before = QByteArray("word ").repeated(3 * kReadChunkBytes / 5);
        QTest::newRow("grows") << qint64(10 * kReadChunkBytes) << before;
        QTest::newRow("cut") << qint64(kReadChunkBytes + 3) << before.left(kReadChunkBytes + 3);
    }
    void readsWhatWasThereWhenOpened() {
        QFETCH(qint64, newSize);
        m_tree.write("log.txt", QByteArray("word ").repeated(3 * kReadChunkBytes / 5));
        NativeFile file = NativeFile::open(m_tree.pathOf("log.txt"), LinkPolicy::follow);
        QByteArray utf8;
        // Changed after the first piece, as a writer racing the reader would.
        const auto sink = [&](QByteArrayView piece) -> bool {
            if (utf8.isEmpty() && ::truncate(m_tree.pathOf("log.txt"), newSize) != 0) return false;
            return utf8 += piece, true;
        };
        QCOMPARE(readDocumentUtf8(file, DocumentFormat::plainText, 0, sink), ReadStatus::complete);
        QTEST(utf8, "text");
    }

    // As read from the index (tracker:unaccent(tracker:case-fold(~x))): sharp s expands, case is
    // folded before decomposition, Hebrew points and the Cyrillic titlo stay, no final sigma.
    void foldsAsTheIndexDoes() {
        const QString folds = QStringLiteral(
            "Ḱßẞ>kssss|ǅ>dz|ﬁ>fi|ℌ>H|İ>i|e\u0301Í>ei|\u05D0\u05B8\u0483>\u05D0\u05B8\u0483|ΣΑΣ>σασ|"
            "@AZ[`az{>@az[`az{|\uFDFA>صلى الله عليه وسلم");
        for (const QString& pair : folds.split(u'|')) {
            const QString text = pair.section(u'>', 0, 0), folded = pair.section(u'>', 1);
            QCOMPARE(foldForContentMatch(text), folded);
            QCOMPARE(foldUtf8ForContentMatch(text.toUtf8()), folded.toUtf8());
        }
    }

    // Pieces that end or start inside a run of marks that normalization reorders (a vowel sign of
    // class 130 ending in byte 0x80 before one of class 129), and a long text without any ASCII,
    // which is folded as it streams instead of being held to its end.
    void foldsAcrossPieces() {  // and whether anything was folded before the end
        const std::pair<QStringList, bool> cases[] = {
            {{"ཀ\u0F80", "\u0F71"}, false},
            {{"x\u0F72", "\u0F80\u0F71y"}, true},
            {QStringList(3000, QStringLiteral("東東東東東東Ḁ")), true}};
        for (const auto& [pieces, foldedBeforeTheEnd] : cases) {
            FoldedTextStream stream;
            QByteArray out;
            for (const QString& piece : pieces) stream.fold(piece.toUtf8(), out);
            QCOMPARE(!out.isEmpty(), foldedBeforeTheEnd);
            stream.finish(out);
            QCOMPARE(out, foldUtf8ForContentMatch(pieces.join(QString()).toUtf8()));
        }
    }

    // A match straddling one seam, or several pieces shorter than the needle.
    void needleFoundAcrossSeams() {
        StreamingNeedleSearch seams("abc"), late("abc");
        QVERIFY(!seams.feed("xa") && !seams.feed("b") && seams.feed("cy") && seams.found());
        QVERIFY(!late.feed("xab") && late.feed("c"));
        QVERIFY(!containsBytes("ab", "abc") && containsBytes("xabc", "abc") &&
                containsBytes("", ""));
    }

    // Up to 40 characters before the match and 60 after; a lone high surrogate ends the text; no
    // more text asked for once settled; millions of combining marks in one cluster refused.
    void passageWindows() {
        const QString a40(40, u'a'), b60(60, u'b');
        QCOMPARE(streamed(a40 + "mid" + b60, "mid"), a40 + "mid" + b60);
        QCOMPARE(streamed('a' + a40 + "mid" + b60 + 'b', "mid"), "…" + a40 + "mid" + b60 + "…");
        QCOMPARE(streamed("needle" + b60 + QChar(0xD83D), "needle"), "needle" + b60 + "…");
        PassageFinder finder(QStringLiteral("here"), 40, 60);  // no more asked once settled
        QVERIFY(finder.feed(QString(1000, u'.')));
        QVERIFY(!finder.feed(QStringLiteral("here") + QString(1000, u'.')));
        QCOMPARE(finder.finish()->text.size(), 40 + 4 + 60);
        PassageFinder marks(QStringLiteral("a"), 40, 60);  // a cluster too long to hold
        bool wanted = marks.feed(QStringLiteral("a"));
        for (int i = 0; i < 100 && wanted; ++i)
            wanted = marks.feed(QString(64 * 1024, QChar(0x301)));
        QVERIFY(!wanted && !marks.finish());
    }

    // Streaming gives what the whole-text algorithm gives, however the text is cut; the last texts
    // are long, fed in long pieces.
    void streamingEqualsWholeText() {
        QRandomGenerator random(42);
        for (int round = 0; round < 3040; ++round) {
            const bool isLong = round >= 3000;
            const QString text = randomText(random, isLong ? 20000 : random.bounded(120));
            QString query = text.mid(random.bounded(int(text.size()) + 1), 1 + random.bounded(6));
            if (query.isEmpty() || random.bounded(5) == 0)
                query = randomText(random, 1 + random.bounded(3));
            else if (random.bounded(2))
                query = query.toUpper();
            const int before = random.bounded(2) ? 40 : random.bounded(5);
            const int after = random.bounded(2) ? 60 : random.bounded(5);
            const int largest = 1 + random.bounded(isLong ? 4000 : 30);
            QCOMPARE(streamed(text, query, before, after, &random, largest),
                     wholeTextPassage(text, query, before, after));
        }
    }
};

TARNWICK_TEST(TextTest)
#include "TextTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}

#include "core/Graphemes.h"
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

#include <sys/stat.h>

using namespace tarnwick;

namespace {

template <typename Table>
void addRows(const Table& table) {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(table)); ++i) QTest::newRow(table[i].name) << i;
}

struct Read {
    QString text;
    ReadStatus status = ReadStatus::failed;
};

// RTF fed in pieces of `piece` bytes, as a file read may cut it anywhere.
Read extractRtf(QByteArrayView document, qsizetype piece) {
    Read read;
    RtfTextExtractor extractor([&read](QStringView text) {
        read.text += text;
        return true;
    });
    for (qsizetype at = 0; at < document.size(); at += piece)
        extractor.feed(document.sliced(at, std::min(piece, document.size() - at)));
    read.status = extractor.finish();
    return read;
}

// A file as a reader hands it over in UTF-8; a piece longer than one read chunk stops it.
ReadStatus readFile(const QByteArray& path, DocumentFormat format, QByteArray& utf8) {
    NativeFile file = NativeFile::open(path, LinkPolicy::follow);
    return readDocumentUtf8(file, format, 0, [&utf8](QByteArrayView piece) {
        utf8 += piece;
        return piece.size() <= kReadChunkBytes;
    });
}

struct Case {
    const char* name;
    QByteArray input;
    QString text;
    ReadStatus status = ReadStatus::complete;
};

const QByteArray kDeep = QByteArray(1'000'000, '{') + "b" + QByteArray(1'000'000, '}');
const Case kRtf[] = {
    {"breaks", "{\\rtf1\\ansi Hello\\par World\\tab end\\line next}", "Hello\nWorld\tend\nnext"},
    {"source line breaks", "{\\rtf1 one\r\ntwo\\\ntree}", "onetwo\ntree"},
    {"default 1252", "{\\rtf1 caf\\'e9 \\'80}", "café €"},
    {"cyrillic 1251", "{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'e1}", "аб"},
    {"japanese 932", "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}", "あ"},
    {"unknown code page", "{\\rtf1\\ansicpg1251\\ansicpg99999 \\'e9}", "é"},
    {"mac roman", "{\\rtf1\\mac \\'8e}", "é"},
    {"hex digit ends", "{\\rtf1 \\'30\\'39\\'AF\\'af\\'C9 a\\'zb}", "09¯¯É azb"},
    {"unicode", "{\\rtf1 \\u8364?x\\u233\\'e9 z\\u-3913?}", "€xé z\uF0B7"},
    {"parameter digit ends", "{\\rtf1 \\u169?\\u8240?}", "©‰"},
    {"uc2", "{\\rtf1\\uc2 \\u26481\\'96\\'8ax}", "東x"},
    {"uc0", "{\\rtf1\\uc0 \\u233 x}", "éx"},
    {"uc alone skips one", "{\\rtf1\\uc2\\uc \\u233 ab}", "éb"},
    {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", "😀"},
    {"uc is per group", "{\\rtf1 {\\uc2 \\u233 ab}\\u233 ab}", "ééb"},
    {"group ends the skip", "{\\rtf1 {\\u233}x}", "éx"},
    {"letter ends", "{\\rtf1 a\\zwj b\\Zunknown c\\Aunknown d}", "a\u200Dbcd"},
    {"destinations",
     "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Helvetica;}}{\\colortbl;\\red0\\green0\\blue0;}"
     "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret}{\\author Someone}}"
     "{\\*\\generator Writer 1.0;}{\\header Page head}{\\footer Page foot}"
     "{\\pict\\pngblip 89504e47}{\\*\\unknowndest hidden}"
     "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}} Body {\\b bold} text}",
     "shown Body bold text"},
    {"symbols", "{\\rtf1 a\\{b\\}c\\\\d\\~e\\-f\\_g\\emdash h\\bullet}", "a{b}c\\d\u00A0ef‑g—h•"},
    {"binary", "{\\rtf1 a{\\pict\\bin6 }{\\\\x}}b\\bin-5 c\\bin3 {{{d}", "abcd"},
    {"text after the document", "{\\rtf1 inside}outside", "inside"},
    {"truncated", "{\\rtf1\\ansi Hello {\\b wor", "Hello wor"},
    {"leading blanks", " \r\n{\\rtf1 ok}", "ok"},
    {"not rtf", "Hello {\\rtf1 x}", "", ReadStatus::failed},
    {"cut header", "{\\rt", "", ReadStatus::failed},
    {"endless word", "{\\rtf1 \\" + QByteArray(1'000'000, 'x') + " y}", "y"},
    {"huge numbers", "{\\rtf1 \\u99999999999999999999?z\\bin99999999999999999999 abc}", "z"},
    {"huge uc", "{\\rtf1\\uc999999 \\u233 abcdefghijklmnopqrstuvwxyz}", "éqrstuvwxyz"},
    {"deep nesting", "{\\rtf1 a" + kDeep + "c}after", "abc"},
};

const struct {
    const char* name;
    QByteArray bytes;
    qsizetype validLength;
    bool illFormed;
} kUtf8[] = {
    {"ascii", "plain text", 10, false},
    {"all lengths", "\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80", 9, false},
    {"overlong slash", "ab\xC0\xAF", 2, true},
    {"overlong three", "\xE0\x80\xAF", 0, true},
    {"E0 and its second byte's ends", "\xE0\xA0\x80\xE0\xBF\xBF\xE0\xC0\x80", 6, true},
    {"F0 and its second byte's ends", "\xF0\x90\x80\x80\xF0\xBF\xBF\xBF\xF0\xC0\x80\x80", 8, true},
    {"surrogate", "x\xED\xA0\x80", 1, true},
    {"above U+10FFFF", "\xF4\x90\x80\x80", 0, true},
    {"lone continuation", "a\x80", 1, true},
    {"FF byte", "\xFF\xFE", 0, true},
    {"cut at end", "ok\xF0\x9F\x98", 2, false},
    {"interrupted", "\346\235a", 0, true},
    {"bad after eight ascii", "12345678\xFF", 8, true},
    {"bad at seventh", "123456\37789abcdef", 6, true},
};

// Files named .rtf, read in pieces of at most kReadChunkBytes: RTF, or when they hold none,
// strict UTF-8.
const QString kMany = QStringLiteral("a東").repeated(100000);  // sequences straddle reads
const Case kFiles[] = {
    {"rtf", "{\\rtf1 " + QByteArray("word\\'e9 \\par ").repeated(20000) + "}",
     QStringLiteral("wordé \n").repeated(20000), ReadStatus::complete},
    {"long text", kMany.toUtf8(), kMany, ReadStatus::complete},
    {"bad byte late", QByteArray(3 * kReadChunkBytes, 'x') + "\xFFtail",
     QString(3 * kReadChunkBytes, u'x'), ReadStatus::failed},
    {"ends inside a sequence", "fine \xE6\x9D", "fine ", ReadStatus::failed},
    {"utf-16", QByteArray("\xFF\xFEh\0i\0", 6), "", ReadStatus::failed},
    {"byte order mark", "\xEF\xBB\xBFhi", "hi", ReadStatus::complete},
    {"part of a byte order mark", "\xEF\xBB", "", ReadStatus::failed},
};

}  // namespace

class ReadersTest : public QObject {
    Q_OBJECT

    test::TempTree m_tree;

    QByteArray write(const QByteArray& name, const QByteArray& content) {
        m_tree.write(name, content);
        return m_tree.pathOf(name);
    }

private Q_SLOTS:
    void extractsRtf_data() { addRows(kRtf); }
    void extractsRtf() {  // the same fed whole and cut after every byte
        QFETCH(int, row);
        for (qsizetype piece : {std::max<qsizetype>(kRtf[row].input.size(), 1), qsizetype(1)}) {
            const Read read = extractRtf(kRtf[row].input, piece);
            QCOMPARE(read.text, kRtf[row].text);
            QCOMPARE(read.status, kRtf[row].status);
        }
    }

    void validUtf8Prefix_data() { addRows(kUtf8); }
    void validUtf8Prefix() {
        QFETCH(int, row);
        const Utf8Prefix prefix = tarnwick::validUtf8Prefix(kUtf8[row].bytes);
        QCOMPARE(prefix.validLength, kUtf8[row].validLength);
        QCOMPARE(prefix.illFormed, kUtf8[row].illFormed);
    }

    void readsFiles_data() { addRows(kFiles); }
    void readsFiles() {
        QFETCH(int, row);
        QByteArray utf8;
        const QByteArray path = write("caf\xE9.rtf", kFiles[row].input);
        QCOMPARE(readFile(path, DocumentFormat::rtf, utf8), kFiles[row].status);
        QCOMPARE(utf8, kFiles[row].text.toUtf8());
    }

    void firstBytesDecideTheReader() {  // for a name of no type
        QVERIFY(formatOfContent("{\\rtf1 x}").reader == DocumentFormat::rtf);
        QVERIFY(!formatOfContent(QByteArray(200, 'a') + '\0').reader);  // text at its start only
    }

    void opensOnlyRegularFiles() {
        write("target.txt", "linked");
        m_tree.symlink("target.txt", "link.txt");
        m_tree.touch("target.txt", 1'700'000'123);
        m_tree.mkdir("folder");
        QCOMPARE(::mkfifo(m_tree.pathOf("pipe").constData(), 0644), 0);
        const NativeFile linked = NativeFile::open(m_tree.pathOf("link.txt"), LinkPolicy::follow);
        QCOMPARE(linked.modifiedMsecs(), 1'700'000'123'000);
        QCOMPARE(linked.head(4), QByteArray("link"));
        QVERIFY(!NativeFile::open(m_tree.pathOf("link.txt"), LinkPolicy::refuse).isOpen());
        for (const char* name : {"folder", "pipe", "missing"})  // a FIFO without blocking
            QVERIFY(!NativeFile::open(m_tree.pathOf(name), LinkPolicy::follow).isOpen());
    }
};

TARNWICK_TEST(ReadersTest)

namespace {

QString randomText(QRandomGenerator& random, const QStringList& pieces, int count) {
    QString text;
    while (count-- > 0) text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

// Read from the desktop index itself (SELECT tracker:unaccent(tracker:case-fold(~x))).
const struct {
    const char* name;
    QString text, folded;
} kFolds[] = {
    {"sharp s expands", "Ḱßẞ", "kssss"},
    {"titlecase digraph", "ǅ", "dz"},
    {"ligature", "ﬁ", "fi"},
    {"fold before decomposition", "ℌ", "H"},
    {"dotted capital I", "İ", "i"},
    {"accents", "e\u0301Í", "ei"},
    {"hebrew point and cyrillic titlo stay", "\u05D0\u05B8\u0483", "\u05D0\u05B8\u0483"},
    {"no final sigma", "ΣΑΣ", "σασ"},
    {"ascii letter ends", "@AZ[`az{", "@az[`az{"},
    {"many times longer", "\uFDFA", "صلى الله عليه وسلم"},
};

// A passage as a snippet shows it: "…" where it stops short of the text's start or end.
QString shown(const std::optional<Passage>& passage) {
    if (!passage) return QStringLiteral("none");
    return (passage->atTextStart ? "" : "…") + passage->text + (passage->atTextEnd ? "" : "…");
}

// The algorithm over the whole text at once: lowercase code point by code point remembering
// where each lowercased unit came from, find, map back, count clusters in the original.
QString wholeTextPassage(const QString& text, const QString& query, int before, int after) {
    const QString needle = query.toLower();
    QString lowered;
    QList<qsizetype> fromStart, fromEnd;
    for (qsizetype i = 0, width = 1; i < text.size(); i += width) {
        width =
            1 + (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate());
        const QString lower = text.mid(i, width).toLower();
        fromStart.append(QList<qsizetype>(lower.size(), i));
        fromEnd.append(QList<qsizetype>(lower.size(), i + width));
        lowered += lower;
    }
    const qsizetype at = lowered.indexOf(needle);
    if (needle.isEmpty() || at < 0) return shown(std::nullopt);
    std::vector<qsizetype> bounds = graphemeEnds(text);
    bounds.insert(bounds.begin(), 0);
    const auto first = std::lower_bound(bounds.begin(), bounds.end(), fromStart[at]);
    const qsizetype back = std::min<qsizetype>(before, first - bounds.begin());
    const qsizetype start = back > 0 ? *(first - back) : fromStart[at];
    const qsizetype matchEnd = fromEnd[at + needle.size() - 1];
    const auto next = std::upper_bound(bounds.begin(), bounds.end(), matchEnd);
    const qsizetype forth = std::min<qsizetype>(after, bounds.end() - next);
    const qsizetype end = forth > 0 ? *(next + forth - 1) : matchEnd;
    return shown(Passage{text.mid(start, end - start), start == 0, end == text.size()});
}

// The text fed whole, or in random pieces of up to `largest` units.
QString streamed(const QString& text, const QString& query, int before, int after,
                 QRandomGenerator* random = nullptr, int largest = 1) {
    PassageFinder finder(query, before, after);
    for (qsizetype at = 0, length = text.size(); at < text.size(); at += length) {
        if (random) length = std::min<qsizetype>(1 + random->bounded(largest), text.size() - at);
        if (!finder.feed(QStringView(text).sliced(at, length))) break;
    }
    return shown(finder.finish());
}

// Clusters that depend on their neighbours: flags, ZWJ sequences, CR LF, jamo, Thai, marks.
const QStringList kPassagePieces =
    QStringLiteral(
        "a|B| "
        "|\n|\r\n|e\u0301|\u0301|İ|ß|Σ|🇩🇪|🇩|👨\u200D👩\u200D👧|\u200D|각|\u1100\u1161|😀|\U0001D400|ก|"
        "\u0E35|\u0E33|👍")
        .split(u'|');

QString randomQuery(const QString& text, QRandomGenerator& random) {
    if (text.isEmpty() || random.bounded(5) == 0)
        return randomText(random, kPassagePieces, 1 + random.bounded(3));
    const QString query = text.mid(random.bounded(int(text.size())), 1 + random.bounded(6));
    return random.bounded(2) ? query.toUpper() : query;
}

QString around(int before, const QString& match, int after, QChar b = u'a', QChar a = u'b') {
    return QString(before, b) + match + QString(after, a);
}

const QString kCutPair = around(0, "needle", 60) + QChar(0xD83D);  // a lone high surrogate ends it
// The window of up to `before` and `after` characters around the first occurrence, cut from
// the original text.
const struct {
    const char* name;
    QString text, query;
    int before, after;
    QString passage;
} kWindows[] = {
    {"reaching both ends", around(40, "mid", 60), "mid", 40, 60, around(40, "mid", 60)},
    {"one short of both ends", around(41, "mid", 61), "mid", 40, 60,
     "…" + around(40, "mid", 60) + "…"},
    {"pending surrogate", kCutPair, "needle", 40, 60, around(0, "needle", 60) + "…"},
};

}  // namespace

// Content folding as the index does it, whole and streamed, and the byte search over it.
class ContentFoldingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void agreesWithTheIndex_data() { addRows(kFolds); }
    void agreesWithTheIndex() {
        QFETCH(int, row);
        QCOMPARE(foldForContentMatch(kFolds[row].text), kFolds[row].folded);
        QCOMPARE(foldUtf8ForContentMatch(kFolds[row].text.toUtf8()), kFolds[row].folded.toUtf8());
    }

    // Pieces that end or start inside a run of marks that normalization reorders (a vowel sign of
    // class 130 ending in byte 0x80 before one of class 129), and a long text without any ASCII,
    // which is folded as it streams instead of being held to its end.
    void runsAcrossPieces_data() {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<bool>("foldedBeforeTheEnd");
        QTest::newRow("run ends a piece") << QStringList{"ཀ\u0F80", "\u0F71"} << false;
        QTest::newRow("run starts a piece") << QStringList{"x\u0F72", "\u0F80\u0F71y"} << true;
        QTest::newRow("no ascii") << QStringList(3000, QStringLiteral("東東東東東東Ḁ")) << true;
    }
    void runsAcrossPieces() {
        QFETCH(QStringList, pieces);
        QFETCH(bool, foldedBeforeTheEnd);
        FoldedTextStream stream;
        QByteArray out;
        for (const QString& piece : pieces) stream.fold(piece.toUtf8(), out);
        QCOMPARE(!out.isEmpty(), foldedBeforeTheEnd);
        stream.finish(out);
        QCOMPARE(out, foldUtf8ForContentMatch(pieces.join(QString()).toUtf8()));
    }

    // A match straddling one seam, or several pieces shorter than the needle.
    void needleFoundAcrossSeams() {
        StreamingNeedleSearch seams("abc");
        QVERIFY(!seams.feed("xa") && !seams.feed("b") && seams.feed("cy") && seams.found());
        StreamingNeedleSearch late("abc");
        QVERIFY(!late.feed("xab") && late.feed("c"));
        QVERIFY(!containsBytes("ab", "abc") && containsBytes("xabc", "abc") &&
                containsBytes("", ""));
    }
};

class PassageFinderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windows_data() { addRows(kWindows); }
    void windows() {
        QFETCH(int, row);
        const auto& w = kWindows[row];
        QCOMPARE(streamed(w.text, w.query, w.before, w.after), w.passage);
    }

    void stopsAskingOnceSettled() {
        PassageFinder finder(QStringLiteral("here"), 40, 60);
        QVERIFY(finder.feed(QString(1000, u'.')));
        QVERIFY(!finder.feed(QStringLiteral("here") + QString(1000, u'.')));
        QCOMPARE(finder.finish()->text.size(), 40 + 4 + 60);
    }

    // Streaming gives what the whole-text algorithm gives, however the text is cut.
    void streamingEqualsWholeText() {
        QRandomGenerator random(42);
        for (int round = 0; round < 3000; ++round) {
            const QString text = randomText(random, kPassagePieces, random.bounded(120));
            const QString query = randomQuery(text, random);
            const int before = random.bounded(2) ? 40 : random.bounded(5);
            const int after = random.bounded(2) ? 60 : random.bounded(5);
            QCOMPARE(streamed(text, query, before, after, &random, 1 + random.bounded(30)),
                     wholeTextPassage(text, query, before, after));
        }
        QRandomGenerator big(5);
        for (int round = 0; round < 40; ++round) {
            const QString text = randomText(big, kPassagePieces, 20000);
            const QString query = text.mid(big.bounded(int(text.size())), 5);
            QCOMPARE(streamed(text, query, 40, 60, &big, 4000),
                     wholeTextPassage(text, query, 40, 60));
        }
    }

    // One cluster of millions of combining marks: holding it all is refused.
    void givesUpOnAClusterTooLongToHold() {
        PassageFinder finder(QStringLiteral("a"), 40, 60);
        bool wanted = finder.feed(QStringLiteral("a"));
        for (int i = 0; i < 100 && wanted; ++i)
            wanted = finder.feed(QString(64 * 1024, QChar(0x301)));
        QVERIFY(!wanted);
        QVERIFY(!finder.finish());
    }
};

TARNWICK_TEST(ContentFoldingTest)
TARNWICK_TEST(PassageFinderTest)
#include "TextTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}

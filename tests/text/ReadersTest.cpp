#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "text/DocumentText.h"
#include "text/RtfReader.h"
#include "text/Utf8Validation.h"

#include <QtTest>

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
#include "ReadersTest.moc"

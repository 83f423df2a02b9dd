#include "app/PreviewLoader.h"
#include "core/ContentMatch.h"
#include "core/MatchScore.h"
#include "index/scan/ScanIndex.h"
#include "spotlight/ContentSnippet.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QBuffer>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;
using Kind = PreviewContent::Kind;
using namespace Qt::StringLiterals;

namespace {
const QSize kBounds(400, 300);
QByteArray picture(QSize size, const char* format, const QByteArray& trailer = {}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data() + trailer;
}
// A JPEG whose EXIF (one big-endian TIFF entry) says "turn 90° clockwise to view", as cameras do.
QByteArray jpegTakenSideways(QSize stored) {
    const QByteArray exif(
        "\377\341\0\42Exif\0\0MM\0\52\0\0\0\10\0\1\1\22\0\3\0\0\0\1\0\6\0\0\0\0\0\0", 36);
    return picture(stored, "JPEG").insert(2, exif);  // right after the start-of-image marker
}
}  // namespace

// `tarnwick --print` and `--panel` without a session bus ("auto": the scanner) or screens.
class PrintCommandTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
    QTemporaryFile m_screens;
    // Exit code (-1: still running after a minute), output and errors of `tarnwick ARGUMENTS`.
    std::tuple<int, QByteArray, QByteArray> run(QStringList arguments, const QString& in = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-test-bus");
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + m_screens.fileName());
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(in);
        p.start(QStringLiteral(TARNWICK_EXECUTABLE),
                arguments.replaceInStrings(u"@"_s, QString::fromUtf8(m_tree.path())));
        if (!p.waitForFinished(60000)) return {-1, {}, {}};
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_tree.isValid() && m_screens.open() && m_screens.write("{\"screens\": []}"));
        m_screens.flush();
        m_tree.write("Report.pdf", "12345"), m_tree.write("docs/report-old.txt", "1");
        m_tree.write("docs/photo.JPG", "123"), m_tree.write("bad\xff name.txt", "x");
        m_tree.write("line\nbreak.md", "x"), m_tree.write("invoices.md", "list");
        m_tree.write("sub/notes.txt", "the INVOICE is due\n"), m_tree.write("other.txt", "nothing");
        m_tree.write("zeta.txt", "an\tinvoice, paid\n");
    }
    void resultsAsThePanelShowsThem() {
        const QByteArray hits =  // a tab in a passage would be a column
            "invoices.md\nsub/notes.txt\tthe INVOICE is due \nzeta.txt\tan invoice, paid \n";
        const std::pair<QStringList, QByteArray> rows[] = {
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
        for (const auto& [arguments, output] : rows) {
            const auto [code, out, err] = run(QStringList{"--print"} + arguments);
            QCOMPARE(out, output);
            QVERIFY2(code == 0 && err.isEmpty(), err.constData());
        }
        // A folder given relatively, with a trailing '/', still meets the index's paths.
        QCOMPARE(std::get<1>(run({"--print", "--index=scan", "../", "due"},
                                 QString::fromUtf8(m_tree.pathOf("sub")))),
                 QByteArray("sub/notes.txt\tthe INVOICE is due \n"));
    }
    // 0 printed, 1 nothing matched, 2 an error for --print; one line saying why.
    void exitCodesAndOneLine() {
        const std::tuple<QStringList, int, const char*> rows[] = {
            {{"--print", "/nonexistent/folder"}, 2, "folder: No such file"},
            {{"--panel", "/nonexistent/folder"}, 1, "folder: No such file"},
            {{"--print", "@/Report.pdf"}, 2, "not a folder"},
            {{"--panel", "@/Report.pdf"}, 1, "not a folder"},
            {{"--print", "--sort=colour", "@"}, 2, "colour"},
            {{"--panel"}, 2, "--panel"},
            {{"--panel", "@"}, 1, "no screen"},
            {{"--print", "--index=none", "@", "qqqzzz"}, 1, nullptr},
        };
        for (const auto& [arguments, exitCode, message] : rows) {
            const auto [code, out, err] = run(arguments);
            QByteArrayList lines;  // Qt's own warnings aside
            for (const QByteArray& line : err.split('\n'))
                if (line.startsWith("tarnwick: ")) lines.append(line);
            QVERIFY2(code == exitCode && out.isEmpty(), qPrintable(arguments.join(u' ')));
            QVERIFY(message ? lines.size() == 1 && lines.first().contains(message)
                            : lines.isEmpty());
        }
        // A reader that leaves early ends the search quietly, with success.
        QProcess shell;
        shell.start(u"bash"_s,
                    {u"-c"_s, u"\"$0\" --print --index=none \"$1\" | true; exit ${PIPESTATUS[0]}"_s,
                     QStringLiteral(TARNWICK_EXECUTABLE), QString::fromUtf8(m_tree.path())});
        QVERIFY(shell.waitForFinished(60000));
        QCOMPARE(shell.readAllStandardError(), QByteArray());
        QCOMPARE(shell.exitCode(), 0);
    }
    // One object per result, in the documented fields; a name that is not UTF-8 keeps its bytes.
    void jsonLines() {
        m_tree.symlink("invoices.md", "link");
        for (const char* name :
             {"invoices.md", "docs", "docs/photo.JPG", "sub/notes.txt", "link", "line\nbreak.md"})
            m_tree.touch(name, 1714555800);
        const QByteArray at = ",\"modified\":\"2024-05-01T09:30:00Z\"";
        const std::pair<QStringList, QByteArrayList> rows[] = {
            {{"--index=scan", "@", "due"},
             {"{\"path\":\"sub/notes.txt\",\"kind\":\"file\",\"size\":19" + at +
              ",\"match\":\"content\",\"score\":0,\"snippet\":\"the INVOICE is due \"}"}},
            {{"--index=none", "--ext=jpg", "--ext=__folder__", "@", "docs"},
             {"{\"path\":\"docs\",\"kind\":\"folder\",\"size\":null" + at +
                  ",\"match\":\"name\",\"score\":200}",
              "{\"path\":\"docs/photo.JPG\",\"kind\":\"file\",\"size\":3" + at +
                  ",\"match\":\"path\",\"score\":200}"}},
            {{"--index=none", "@", "link"},  // sorted by name after ranking
             {"{\"path\":\"line\\nbreak.md\",\"kind\":\"file\",\"size\":1" + at +
                  ",\"match\":\"name\",\"score\":" +
                  QByteArray::number(kRunBonus * (1 + 2 + 3 + 1)) + "}",
              "{\"path\":\"link\",\"kind\":\"symlink\",\"size\":11" + at +
                  ",\"match\":\"name\",\"score\":200}"}},
        };
        for (const auto& [arguments, lines] : rows) {
            const auto [code, out, err] = run(QStringList{"--print", "--json"} + arguments);
            QVERIFY2(code == 0 && err.isEmpty(), err.constData());
            QCOMPARE(out, lines.join('\n') + '\n');
        }
        const auto [code, out, err] =
            run({"--print", "--json", "--index=none", "--ext=txt", "@", "bad"});
        const QJsonObject bad = QJsonDocument::fromJson(out).object();
        QCOMPARE(bad.value("path"_L1).toString(), u"bad\uFFFD name.txt"_s);
        QCOMPARE(QByteArray::fromBase64(bad.value("path_bytes"_L1).toString().toLatin1()),
                 QByteArray("bad\xff name.txt"));
        QCOMPARE(bad.keys().size(), 7);  // and no snippet
    }
};

// What the preview decides to show for each kind of file, read off disk.
class PreviewLoaderTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
    PreviewContent load(const QByteArray& name, const QByteArray& bytes) {
        m_tree.write(name, bytes);
        return loadPreviewContent(m_tree.pathOf(name), kBounds);
    }
private Q_SLOTS:
    void picturesStandUprightAndFit() {
        const std::tuple<const char*, QByteArray, QSize> rows[] = {
            {"wide.png", picture({1600, 400}, "PNG"), {400, 100}},
            {"icon.png", picture({32, 16}, "PNG"), {32, 16}},
            {"photo.jpg", jpegTakenSideways({80, 40}), {40, 80}},
            {"big.jpg", jpegTakenSideways({1200, 600}), {150, 300}},
        };
        for (const auto& [name, bytes, shown] : rows) {
            const PreviewContent content = load(name, bytes);
            QVERIFY2(content.kind == Kind::image && content.name == QLatin1String(name), name);
            QCOMPARE(content.image.size(), shown);
        }
        const PreviewContent pdf = load("paper.pdf", makePdf({u"first"_s}));
        QVERIFY(pdf.kind == Kind::pdfPage && qAbs(pdf.image.height() - kBounds.height()) <= 2 &&
                pdf.image.width() < pdf.image.height());  // the first page, fitted; A4 is tall
    }
    void textShowsAsItIsRead() {
        const QByteArray code = "int main() { return 0; }\n";
        const std::tuple<QByteArray, QByteArray, QString> rows[] = {
            {"notes.txt", code, code},
            {"LICENSE.weird", code, code},
            {"caf\xe9.txt", code, code},  // a name not in UTF-8
            {"empty.m", "", ""},  // no content to sniff: typed by its name (MATLAB or Objective-C)
            {"mixed.txt", "ok \xff ok", u"ok \uFFFD ok"_s},
            {"letter.rtf", rtfDocument("Dear {\\b you},\\par hello"), "Dear you,\nhello"}};
        for (const auto& [name, bytes, text] : rows) {
            const PreviewContent content = load(name, bytes);
            QVERIFY2(content.kind == Kind::text && !content.textCut, name.constData());
            QCOMPARE(content.text, text);
        }
        // 'a' then two-byte characters: the limit falls inside one, which must not show as junk.
        PreviewContent content =
            load("long.txt", "a" + QByteArray("\xc3\xa9").repeated(150 * 1024));
        QVERIFY(content.textCut && !content.text.contains(QChar::ReplacementCharacter));
        QCOMPARE(content.text.size(), 1 + (kTextPreviewBytes - 1) / 2);
        content = load("long.rtf", rtfDocument(QByteArray(kTextPreviewBytes + 1, 'x')));
        QVERIFY(content.textCut && content.text == QString(kTextPreviewBytes, u'x'));
        content = load("full.rtf", rtfDocument(QByteArray(kTextPreviewBytes, 'x')));
        QVERIFY(!content.textCut && content.text.size() == kTextPreviewBytes);
    }
    void otherFilesShowTheirFacts() {
        const std::pair<QByteArray, QByteArray> rows[] = {
            {"blob.bin", QByteArray(1500, '\0')},
            {"broken.png", QByteArray("\x89PNG\r\n\x1a\n but no more")},
        };
        for (const auto& [name, bytes] : rows) {
            const PreviewContent content = load(name, bytes);
            QVERIFY(content.kind == Kind::facts && content.name == QString::fromUtf8(name));
            QCOMPARE(content.sizeText,
                     QLocale().formattedDataSize(bytes.size(), 1, QLocale::DataSizeSIFormat));
            QVERIFY(!content.typeComment.isEmpty() && !content.typeName.isEmpty() &&
                    !content.dateText.isEmpty());
        }
        QCOMPARE(loadPreviewContent(m_tree.path(), kBounds).kind, Kind::empty);  // a folder
        const PreviewContent gone = loadPreviewContent(m_tree.pathOf("gone.txt"), kBounds);
        QVERIFY(gone.kind == Kind::facts && gone.name == "gone.txt"_L1 && gone.sizeText.isEmpty());
    }
};

// Scanner, snippet and preview each read the format table (any of them ignoring it would fail),
// and each reaches a file however long its path.
class FormatsAgreeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachConsumerReadsTheTable() {
        const std::tuple<QByteArray, QByteArray, QString, Kind> rows[] = {
            {"memo", rtfDocument("{\\b an} invoice"), "an invoice", Kind::text},
            {"photo.png", picture({4, 4}, "PNG", "invoice"), contentMatchText(), Kind::image},
            {"paper.pdf", makePdf({u"the invoice"_s}), "the invoice ", Kind::pdfPage},
            // deeper than one path the kernel takes (PATH_MAX, 4096 bytes): walked to
            {QByteArray(250, 'd').append('/').repeated(20) + "deep.txt", "an invoice", "an invoice",
             Kind::text},
        };
        TempTree tree;
        for (const auto& [name, bytes, snippet, preview] : rows) tree.write(name, bytes);
        const QString query = u"invoice"_s;
        ScanIndex index;
        auto scan = index.createQuery(tree.path(), MetadataPredicate::contentContains, query);
        QSignalSpy finished(scan.get(), &MetadataQuery::finishedGathering);
        scan->start();
        QVERIFY(finished.wait(30000));
        QSet<QByteArray> hits;
        for (const MetadataItem& item : scan->results())
            hits.insert(item.path.mid(tree.path().size() + 1));
        for (const auto& [name, bytes, snippet, preview] : rows) {
            QVERIFY2(hits.contains(name) == (snippet != contentMatchText()), name.constData());
            QCOMPARE(contentSnippet(tree.pathOf(name), query).value_or(u"<none>"_s), snippet);
            QCOMPARE(loadPreviewContent(tree.pathOf(name), QSize(200, 200)).kind, preview);
        }
    }
};

TARNWICK_TEST(PrintCommandTest)
TARNWICK_TEST(PreviewLoaderTest)
TARNWICK_TEST(FormatsAgreeTest)
#include "AppTest.moc"

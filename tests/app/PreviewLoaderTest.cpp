#include "app/PreviewLoader.h"
#include "core/ContentMatch.h"
#include "index/scan/ScanIndex.h"
#include "spotlight/ContentSnippet.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QBuffer>
#include <QImage>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using Kind = PreviewContent::Kind;
using namespace Qt::StringLiterals;

namespace {

const QSize kBounds(400, 300);

QByteArray picture(QSize size, const char* format, const QByteArray& trailer = {}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes + trailer;
}

// A JPEG whose EXIF data says "turn 90° clockwise to view" (orientation 6), as cameras write.
QByteArray jpegTakenSideways(QSize stored) {
    const QByteArray exif = QByteArray(
        "\xff\xe1\0\x22"
        "Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0"
        "\x06\0\0\0\0\0\0",
        36);                                         // one big-endian TIFF entry, no next directory
    return picture(stored, "JPEG").insert(2, exif);  // right after the start-of-image marker
}

}  // namespace

// What the preview decides to show for each kind of file, read off disk.
class PreviewLoaderTest : public QObject {
    Q_OBJECT
    test::TempTree m_tree;
    PreviewContent load(const QByteArray& name, const QByteArray& bytes) {
        m_tree.write(name, bytes);
        return loadPreviewContent(m_tree.pathOf(name), kBounds);
    }

private Q_SLOTS:
    void picturesStandUprightAndFit() {
        const struct {
            const char* name;
            QByteArray bytes;
            QSize shown;
        } rows[] = {{"wide.png", picture({1600, 400}, "PNG"), {400, 100}},
                    {"icon.png", picture({32, 16}, "PNG"), {32, 16}},
                    {"photo.jpg", jpegTakenSideways({80, 40}), {40, 80}},
                    {"big.jpg", jpegTakenSideways({1200, 600}), {150, 300}}};
        for (const auto& row : rows) {
            const PreviewContent content = load(row.name, row.bytes);
            QVERIFY2(content.kind == Kind::image && content.name == QLatin1String(row.name),
                     row.name);
            QCOMPARE(content.image.size(), row.shown);
        }
        const PreviewContent pdf = load("paper.pdf", test::makePdf({u"first"_s}));
        QCOMPARE(pdf.kind, Kind::pdfPage);  // the first page, fitted; A4 is taller than wide
        QVERIFY(qAbs(pdf.image.height() - kBounds.height()) <= 2 &&
                pdf.image.width() < pdf.image.height());
    }
    void textShowsAsItIsRead() {
        const QByteArray code = "int main() { return 0; }\n";
        const std::tuple<QByteArray, QByteArray, QString> rows[] = {
            {"notes.txt", code, code},
            {"main.cpp", code, code},
            {"run.sh", code, code},
            {"LICENSE.weird", code, code},
            {"caf\xe9.txt", code, code},  // a name not in UTF-8
            {"mixed.txt", "ok \xff ok", u"ok \uFFFD ok"_s},
            {"letter.rtf", test::rtfDocument("Dear {\\b you},\\par hello"), "Dear you,\nhello"}};
        for (const auto& [name, bytes, text] : rows) {
            const PreviewContent content = load(name, bytes);
            QVERIFY2(content.kind == Kind::text && !content.textCut, name.constData());
            QCOMPARE(content.text, text);
        }
        // 'a' then two-byte characters: the limit falls inside one, which must not show as junk.
        QByteArray text("a");
        while (text.size() < 300 * 1024) text += "\xc3\xa9";
        PreviewContent content = load("long.txt", text);
        QVERIFY(content.textCut && !content.text.contains(QChar::ReplacementCharacter));
        QCOMPARE(content.text.size(), 1 + (kTextPreviewBytes - 1) / 2);
        content = load("long.rtf", test::rtfDocument(QByteArray(kTextPreviewBytes + 1, 'x')));
        QVERIFY(content.textCut && content.text == QString(kTextPreviewBytes, u'x'));
        content = load("full.rtf", test::rtfDocument(QByteArray(kTextPreviewBytes, 'x')));
        QVERIFY(!content.textCut && content.text.size() == kTextPreviewBytes);
    }
    void otherFilesShowTheirFacts() {
        for (const auto& [name, bytes] :
             {std::pair<QByteArray, QByteArray>{"blob.bin", QByteArray(1500, '\0')},
              {"broken.png", QByteArray("\x89PNG\r\n\x1a\n but nothing else", 25)}}) {
            const PreviewContent content = load(name, bytes);
            QVERIFY(content.kind == Kind::facts && content.name == QString::fromUtf8(name));
            QCOMPARE(content.sizeText,
                     QLocale().formattedDataSize(bytes.size(), 1, QLocale::DataSizeSIFormat));
            QVERIFY(!content.typeComment.isEmpty() && !content.typeName.isEmpty() &&
                    !content.dateText.isEmpty());
        }
        m_tree.mkdir("folder");
        QCOMPARE(loadPreviewContent(m_tree.pathOf("folder"), kBounds).kind, Kind::empty);
        const PreviewContent gone = loadPreviewContent(m_tree.pathOf("gone.txt"), kBounds);
        QVERIFY(gone.kind == Kind::facts && gone.name == "gone.txt"_L1 && gone.sizeText.isEmpty());
    }
};

// The scanner, the content snippet and the preview take a file for the same format: what one of
// them reads as text, the others read as text too.
class FormatsAgreeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameFormatForAll() {
        const QString query = u"invoice"_s;
        const struct {
            QByteArray name, bytes;
            QString snippet;  // kContentMatchText: found by none that reads text
            Kind preview;
        } rows[] = {
            {"letter.rtf", test::rtfDocument("Dear {\\b client},\\par the invoice."),
             "Dear client, the invoice.", Kind::text},
            {"main.c", "int invoice = 1;", "int invoice = 1;", Kind::text},
            {"notes", "an invoice, without a type", "an invoice, without a type", Kind::text},
            {"memo", test::rtfDocument("{\\b an} invoice"), "an invoice", Kind::text},
            {"blob", QByteArray("an invoice\0", 11), kContentMatchText, Kind::facts},
            {"paper.pdf", test::makePdf({u"the invoice"_s}), "the invoice ", Kind::pdfPage},
            {"photo.png", picture({4, 4}, "PNG", "invoice"), kContentMatchText, Kind::image},
            {"report.docx", "invoice", kContentMatchText, Kind::facts},
        };
        test::TempTree tree;
        for (const auto& row : rows) tree.write(row.name, row.bytes);
        ScanIndex index;
        std::unique_ptr<MetadataQuery> scan =
            index.createQuery(tree.path(), MetadataPredicate::contentContains, query);
        QSignalSpy finished(scan.get(), &MetadataQuery::finishedGathering);
        scan->start();
        QVERIFY(finished.wait(30000));
        QSet<QByteArray> scanHits;
        for (const MetadataItem& item : scan->results())
            scanHits.insert(item.path.mid(tree.path().size() + 1));
        for (const auto& row : rows) {
            const QByteArray path = tree.pathOf(row.name);
            QVERIFY2(scanHits.contains(row.name) == (row.snippet != kContentMatchText), row.name);
            QCOMPARE(contentSnippet(path, query).value_or(u"<none>"_s), row.snippet);
            QCOMPARE(loadPreviewContent(path, QSize(200, 200)).kind, row.preview);
        }
    }
};

TARNWICK_TEST(PreviewLoaderTest)
TARNWICK_TEST(FormatsAgreeTest)
#include "PreviewLoaderTest.moc"

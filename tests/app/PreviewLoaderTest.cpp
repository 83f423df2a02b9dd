#include "app/PreviewLoader.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QBuffer>
#include <QImage>
#include <QLocale>
#include <QTest>

using namespace tarnwick;

namespace {

const QSize kBounds(400, 300);

QByteArray picture(QSize size, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A JPEG whose EXIF data says "turn 90° clockwise to view" (orientation 6), as cameras write.
QByteArray jpegTakenSideways(QSize stored) {
    QByteArray jpeg = picture(stored, "JPEG");
    const QByteArray payload = QByteArray("Exif\0\0", 6) +
                               QByteArray("MM\0\x2a\0\0\0\x08", 8) +  // big-endian TIFF header
                               QByteArray("\0\x01", 2) +              // one entry
                               QByteArray("\x01\x12\0\x03\0\0\0\x01\0\x06\0\0", 12) +
                               QByteArray("\0\0\0\0", 4);  // no next directory
    const int length = int(payload.size()) + 2;
    QByteArray segment("\xff\xe1");
    segment += char(length >> 8);
    segment += char(length & 0xff);
    jpeg.insert(2, segment + payload);  // right after the start-of-image marker
    return jpeg;
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
    void picturesStandUprightAndFit_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("wide") << QByteArray("wide.png") << picture({1600, 400}, "PNG")
                              << QSize(400, 100);
        QTest::newRow("small") << QByteArray("icon.png") << picture({32, 16}, "PNG")
                               << QSize(32, 16);
        QTest::newRow("sideways photo")
            << QByteArray("photo.jpg") << jpegTakenSideways({80, 40}) << QSize(40, 80);
        QTest::newRow("large sideways photo")
            << QByteArray("big.jpg") << jpegTakenSideways({1200, 600}) << QSize(150, 300);
    }
    void picturesStandUprightAndFit() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, shown);
        const PreviewContent content = load(name, bytes);
        QCOMPARE(content.kind, PreviewContent::Kind::image);
        QCOMPARE(content.image.size(), shown);
        QCOMPARE(content.name, QString::fromUtf8(name));
    }

    void pdfShowsItsFirstPage() {
        const PreviewContent content = load("paper.pdf", test::makePdf({QStringLiteral("first")}));
        QCOMPARE(content.kind, PreviewContent::Kind::pdfPage);
        QVERIFY(content.image.height() <= kBounds.height() + 1);
        QVERIFY(content.image.height() >= kBounds.height() - 2);  // A4 is taller than wide
        QVERIFY(content.image.width() < content.image.height());
    }

    void textShowsAsItIsRead_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QByteArray code = "int main() { return 0; }\n";
        const QString codeText = QString::fromUtf8(code);
        QTest::newRow("plain") << QByteArray("notes.txt") << code << codeText;
        QTest::newRow("C++") << QByteArray("main.cpp") << code << codeText;
        QTest::newRow("shell") << QByteArray("run.sh") << code << codeText;
        QTest::newRow("no known extension") << QByteArray("LICENSE.weird") << code << codeText;
        QTest::newRow("name not UTF-8") << QByteArray("caf\xe9.txt") << code << codeText;
        QTest::newRow("invalid bytes") << QByteArray("mixed.txt") << QByteArray("ok \xff ok")
                                       << QStringLiteral("ok \uFFFD ok");
        QTest::newRow("rich text without its markup")
            << QByteArray("letter.rtf") << test::rtfDocument("Dear {\\b you},\\par hello")
            << QStringLiteral("Dear you,\nhello");
    }
    void textShowsAsItIsRead() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const PreviewContent content = load(name, bytes);
        QCOMPARE(content.kind, PreviewContent::Kind::text);
        QCOMPARE(content.text, text);
        QVERIFY(!content.textCut);
    }

    void onlyTheStartOfALongTextIsRead() {
        // 'a' then two-byte characters: the limit falls inside one, which must not show as junk.
        QByteArray text("a");
        while (text.size() < 300 * 1024) text += "\xc3\xa9";
        PreviewContent content = load("long.txt", text);
        QVERIFY(content.textCut);
        QCOMPARE(content.text.size(), 1 + (kTextPreviewBytes - 1) / 2);
        QVERIFY(!content.text.contains(QChar::ReplacementCharacter));
        content = load("long.rtf", test::rtfDocument(QByteArray(kTextPreviewBytes + 1, 'x')));
        QVERIFY(content.textCut);
        QCOMPARE(content.text, QString(kTextPreviewBytes, u'x'));
        content = load("full.rtf", test::rtfDocument(QByteArray(kTextPreviewBytes, 'x')));
        QVERIFY(!content.textCut);
        QCOMPARE(content.text.size(), kTextPreviewBytes);
    }

    void otherFilesShowTheirFacts_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("binary") << QByteArray("blob.bin") << QByteArray(1500, '\0');
        QTest::newRow("broken picture")
            << QByteArray("broken.png") << QByteArray("\x89PNG\r\n\x1a\n but nothing else", 25);
    }
    void otherFilesShowTheirFacts() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, bytes);
        const PreviewContent content = load(name, bytes);
        QCOMPARE(content.kind, PreviewContent::Kind::facts);
        QCOMPARE(content.name, QString::fromUtf8(name));
        QCOMPARE(content.sizeText,
                 QLocale().formattedDataSize(bytes.size(), 1, QLocale::DataSizeSIFormat));
        QVERIFY(!content.typeComment.isEmpty());
        QVERIFY(!content.typeName.isEmpty());
        QVERIFY(!content.dateText.isEmpty());
    }

    void folderShowsNothingAndAVanishedFileItsName() {
        m_tree.mkdir("folder");
        QCOMPARE(loadPreviewContent(m_tree.pathOf("folder"), kBounds).kind,
                 PreviewContent::Kind::empty);
        const PreviewContent content = loadPreviewContent(m_tree.pathOf("gone.txt"), kBounds);
        QCOMPARE(content.kind, PreviewContent::Kind::facts);
        QCOMPARE(content.name, QStringLiteral("gone.txt"));
        QVERIFY(content.sizeText.isEmpty());
    }
};

TARNWICK_TEST(PreviewLoaderTest)
#include "PreviewLoaderTest.moc"

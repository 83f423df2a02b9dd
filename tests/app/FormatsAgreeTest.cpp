#include "app/PreviewLoader.h"
#include "core/ContentMatch.h"
#include "index/scan/ScanIndex.h"
#include "spotlight/ContentSnippet.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

namespace {

const QString kQuery = QStringLiteral("invoice");

QByteArray pngHolding(const QByteArray& words) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage(4, 4, QImage::Format_RGB32).save(&buffer, "PNG");
    return bytes + words;
}

}  // namespace

// The scanner, the content snippet and the preview take a file for the same format: what one of
// them reads as text, the others read as text too.
class FormatsAgreeTest : public QObject {
    Q_OBJECT

    test::TempTree m_tree;
    QSet<QByteArray> m_scanHits;

private Q_SLOTS:
    void initTestCase() {
        m_tree.write("letter.rtf", test::rtfDocument("Dear {\\b client},\\par the invoice."));
        m_tree.write("main.c", "int invoice = 1;");
        m_tree.write("notes", "an invoice, in a name without a type");
        m_tree.write("memo", test::rtfDocument("{\\b an} invoice"));
        m_tree.write("blob", QByteArray("an invoice\0", 11));
        m_tree.write("paper.pdf", test::makePdf({QStringLiteral("the invoice")}));
        m_tree.write("photo.png", pngHolding("invoice"));
        m_tree.write("report.docx", "invoice");
        ScanIndex index;
        std::unique_ptr<MetadataQuery> query =
            index.createQuery(m_tree.path(), MetadataPredicate::contentContains, kQuery);
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        query->start();
        QVERIFY(finished.wait(30000));
        for (const MetadataItem& item : query->results())
            m_scanHits.insert(item.path.mid(m_tree.path().size() + 1));
    }

    void sameFormatForAll_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("snippet");
        QTest::addColumn<PreviewContent::Kind>("preview");
        QTest::newRow("rich text")
            << QByteArray("letter.rtf") << QStringLiteral("Dear client, the invoice.")
            << PreviewContent::Kind::text;
        QTest::newRow("source code") << QByteArray("main.c") << QStringLiteral("int invoice = 1;")
                                     << PreviewContent::Kind::text;
        QTest::newRow("told by its content")
            << QByteArray("notes") << QStringLiteral("an invoice, in a name without a type")
            << PreviewContent::Kind::text;
        QTest::newRow("rich text told by its content")
            << QByteArray("memo") << QStringLiteral("an invoice") << PreviewContent::Kind::text;
        QTest::newRow("binary told by its content")
            << QByteArray("blob") << kContentMatchText << PreviewContent::Kind::facts;
        QTest::newRow("pdf") << QByteArray("paper.pdf") << QStringLiteral("the invoice ")
                             << PreviewContent::Kind::pdfPage;
        QTest::newRow("picture") << QByteArray("photo.png") << kContentMatchText
                                 << PreviewContent::Kind::image;
        QTest::newRow("no reader")
            << QByteArray("report.docx") << kContentMatchText << PreviewContent::Kind::facts;
    }
    void sameFormatForAll() {
        QFETCH(QByteArray, name);
        QFETCH(QString, snippet);
        QFETCH(PreviewContent::Kind, preview);
        const QByteArray path = m_tree.pathOf(name);
        QCOMPARE(m_scanHits.contains(name), snippet != kContentMatchText);
        QCOMPARE(contentSnippet(path, kQuery).value_or(QStringLiteral("<none>")), snippet);
        QCOMPARE(loadPreviewContent(path, QSize(200, 200)).kind, preview);
    }
};

TARNWICK_TEST(FormatsAgreeTest)
#include "FormatsAgreeTest.moc"

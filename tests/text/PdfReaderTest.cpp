#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "tests/text/DocumentFixtures.h"
#include "text/PdfReader.h"

#include <QtTest>

using namespace tarnwick;

namespace {

QStringList pagesNamed(int count) {
    QStringList pages;
    for (int i = 1; i <= count; ++i) pages << QStringLiteral("page%1word").arg(i);
    return pages;
}

QStringList readPages(const QByteArray& path, int maxPages, ReadStatus* status = nullptr) {
    QStringList pages;
    const ReadStatus s =
        readPdfText(path, LinkPolicy::follow, maxPages, [&pages](QStringView page) {
            pages << page.toString();
            return true;
        });
    if (status) *status = s;
    return pages;
}

}  // namespace

class PdfReaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachPageIsFollowedByOneBlank() {
        test::TempTree tree;
        test::writeFileBytes(tree.pathOf("three.pdf"), test::makePdf(pagesNamed(3)));
        ReadStatus status;
        const QStringList pages = readPages(tree.pathOf("three.pdf"), 0, &status);
        QCOMPARE(status, ReadStatus::complete);
        QCOMPARE(pages.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(pages[i].endsWith(u' '));
            QCOMPARE(pages[i].trimmed(), QStringLiteral("page%1word").arg(i + 1));
        }
    }

    void pagesWithoutTextAddNothing() {
        test::TempTree tree;
        test::writeFileBytes(tree.pathOf("gaps.pdf"),
                             test::makePdf({QString(), QStringLiteral("middle"), QString()}));
        QCOMPARE(readPages(tree.pathOf("gaps.pdf"), 0), QStringList{QStringLiteral("middle ")});
    }

    void snippetTextStopsAfterTenPages() {
        test::TempTree tree;
        test::writeFileBytes(tree.pathOf("twelve.pdf"), test::makePdf(pagesNamed(12)));
        const std::optional<QString> text = pdfText(tree.pathOf("twelve.pdf"));
        QVERIFY(text);
        QVERIFY(text->contains(QStringLiteral("page10word")));
        QVERIFY(!text->contains(QStringLiteral("page11word")));
        QCOMPARE(readPages(tree.pathOf("twelve.pdf"), 0).size(), 12);
    }

    void nameThatIsNotUtf8IsReadable() {
        test::TempTree tree;
        const QByteArray path = tree.pathOf("r\xE9sum\xE9.pdf");
        test::writeFileBytes(path, test::makePdf({QStringLiteral("reachable")}));
        QCOMPARE(pdfText(path).value_or(QString()).trimmed(), QStringLiteral("reachable"));
    }

    void brokenOrEmptyDocumentsGiveNothing() {
        test::TempTree tree;
        tree.write("garbage.pdf", "%PDF-1.4 this is not really a PDF");
        tree.write("empty.pdf", "");
        test::writeFileBytes(tree.pathOf("blank.pdf"), test::makePdf({QString()}));
        QVERIFY(!pdfText(tree.pathOf("garbage.pdf")));
        QVERIFY(!pdfText(tree.pathOf("empty.pdf")));
        QVERIFY(!pdfText(tree.pathOf("blank.pdf")));
        QVERIFY(!pdfText(tree.pathOf("missing.pdf")));
        QByteArray truncated = test::makePdf(pagesNamed(2));
        truncated.truncate(truncated.size() / 2);
        test::writeFileBytes(tree.pathOf("truncated.pdf"), truncated);
        pdfText(tree.pathOf("truncated.pdf"));  // whatever it yields, it must not crash
    }

    void receiverCanStopBetweenPages() {
        test::TempTree tree;
        test::writeFileBytes(tree.pathOf("five.pdf"), test::makePdf(pagesNamed(5)));
        int pages = 0;
        const ReadStatus status = readPdfText(tree.pathOf("five.pdf"), LinkPolicy::follow, 0,
                                              [&pages](QStringView) { return ++pages < 2; });
        QCOMPARE(status, ReadStatus::stopped);
        QCOMPARE(pages, 2);
    }
};

TARNWICK_TEST(PdfReaderTest)
#include "PdfReaderTest.moc"

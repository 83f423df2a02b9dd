#include "spotlight/ContentSnippet.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "tests/text/DocumentFixtures.h"

#include <QtTest>

using namespace tarnwick;

namespace {
// Snippets as text, so that a failure shows both sides.
const QString kNoSnippet = QStringLiteral("<no snippet>");
QString shown(const std::optional<QString>& snippet) {
    return snippet.value_or(kNoSnippet);
}
}  // namespace

class ContentSnippetDocumentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void richTextParagraphsAndEscapes() {
        test::TempTree tree;
        tree.write(
            "letter.rtf",
            test::rtfDocument("{\\fonttbl{\\f0 Times;}}Dear Zo\\'eb,\\par the \\b Invoice\\b0  "
                              "is attached.\\par Regards"));
        QCOMPARE(shown(contentSnippet(tree.pathOf("letter.rtf"), QStringLiteral("invoice"))),
                 QStringLiteral("Dear Zoë, the Invoice is attached. Regards"));
    }

    void richTextUnicodeAndHiddenDestinations() {
        test::TempTree tree;
        tree.write("u.rtf", test::rtfDocument("{\\*\\comment invoice}\\u25105?\\u20204? invoice"));
        QCOMPARE(shown(contentSnippet(tree.pathOf("u.rtf"), QStringLiteral("INVOICE"))),
                 QStringLiteral("我们 invoice"));
    }

    void richTextThatIsNotRtf() {
        test::TempTree tree;
        tree.write("plain.rtf", "just words about invoice");
        QCOMPARE(shown(contentSnippet(tree.pathOf("plain.rtf"), QStringLiteral("invoice"))),
                 QStringLiteral("just words about invoice"));
        tree.write("binary.rtf", QByteArray("\x00\xFF\xFE invoice", 12));
        QCOMPARE(shown(contentSnippet(tree.pathOf("binary.rtf"), QStringLiteral("invoice"))),
                 kNoSnippet);
        tree.mkdir("bundle.rtfd");
        tree.write("bundle.rtfd/TXT.rtf", test::rtfDocument("invoice"));
        QCOMPARE(shown(contentSnippet(tree.pathOf("bundle.rtfd"), QStringLiteral("invoice"))),
                 kNoSnippet);
    }

    void pdfPagesAreJoinedByBlanks() {
        test::TempTree tree;
        test::writeFileBytes(tree.pathOf("two.pdf"),
                             test::makePdf({QStringLiteral("one page"), QStringLiteral("Second")}));
        QCOMPARE(shown(contentSnippet(tree.pathOf("two.pdf"), QStringLiteral("second"))),
                 QStringLiteral("one page Second "));
    }

    void pdfMatchOnlyOnPageElevenGivesNothing() {
        test::TempTree tree;
        QStringList pages;
        for (int i = 1; i <= 10; ++i) pages << QStringLiteral("padding %1").arg(i);
        pages << QStringLiteral("the lighthouse");
        test::writeFileBytes(tree.pathOf("eleven.pdf"), test::makePdf(pages));
        QCOMPARE(shown(contentSnippet(tree.pathOf("eleven.pdf"), QStringLiteral("lighthouse"))),
                 kNoSnippet);
        QVERIFY(contentSnippet(tree.pathOf("eleven.pdf"), QStringLiteral("padding 10")));
    }

    void unopenablePdfGivesNothing() {
        test::TempTree tree;
        tree.write("broken.pdf", "not a pdf at all");
        QCOMPARE(shown(contentSnippet(tree.pathOf("broken.pdf"), QStringLiteral("pdf"))),
                 kNoSnippet);
    }
};

TARNWICK_TEST(ContentSnippetDocumentTest)
#include "ContentSnippetDocumentTest.moc"

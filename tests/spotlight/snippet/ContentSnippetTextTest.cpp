#include "spotlight/ContentSnippet.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

#include <sys/stat.h>

using namespace tarnwick;

namespace {
// Snippets as text, so that a failure shows both sides.
const QString kNoSnippet = QStringLiteral("<no snippet>");
QString shown(const std::optional<QString>& snippet) {
    return snippet.value_or(kNoSnippet);
}
}  // namespace

namespace {

std::optional<QString> snippetOf(test::TempTree& tree, const QByteArray& name,
                                 const QByteArray& content, const QString& query) {
    tree.write(name, content);
    return contentSnippet(tree.pathOf(name), query);
}

const QString kEllipsis = QStringLiteral("…");

}  // namespace

class ContentSnippetTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowInTheMiddleHasBothMarks() {
        test::TempTree tree;
        const QString text = QString(500, u'a') + QStringLiteral("needle") + QString(494, u'b');
        QCOMPARE(shown(snippetOf(tree, "a.txt", text.toUtf8(), QStringLiteral("needle"))),
                 kEllipsis + QString(40, u'a') + QStringLiteral("needle") + QString(60, u'b') +
                     kEllipsis);
    }

    void matchNearTheEdgesHasNoMarkThere() {
        test::TempTree tree;
        const QString text = QString(40, u'a') + QStringLiteral("needle") + QString(60, u'b');
        QCOMPARE(shown(snippetOf(tree, "edges.md", text.toUtf8(), QStringLiteral("needle"))), text);
        const QString longer = QString(41, u'a') + QStringLiteral("needle") + QString(61, u'b');
        QCOMPARE(shown(snippetOf(tree, "longer.md", longer.toUtf8(), QStringLiteral("needle"))),
                 kEllipsis + longer.mid(1, 40 + 6 + 60) + kEllipsis);
    }

    void lineBreaksBecomeBlanksAndPairsOfBlanksOne() {
        test::TempTree tree;
        QCOMPARE(shown(snippetOf(tree, "lines.csv", "first line\nsecond   word",
                                 QStringLiteral("second"))),
                 QStringLiteral("first line second  word"));
        QCOMPARE(shown(snippetOf(tree, "four.csv", "x    y", QStringLiteral("x"))),
                 QStringLiteral("x  y"));
    }

    void upperCaseQueryFindsLowerCaseTextKeepingItsCase() {
        test::TempTree tree;
        QCOMPARE(shown(snippetOf(tree, "case.json", "{\"Name\": \"Invoice\"}",
                                 QStringLiteral("INVOICE"))),
                 QStringLiteral("{\"Name\": \"Invoice\"}"));
    }

    void noDiacriticFolding() {
        test::TempTree tree;
        QCOMPARE(shown(snippetOf(tree, "cafe.txt", "a café", QStringLiteral("cafe"))), kNoSnippet);
    }

    // Lowercasing "İ" gives two code points: the window still starts 40 characters before the
    // match in the file's own text.
    void expandingLowercaseBeforeTheMatch() {
        test::TempTree tree;
        const QString text =
            QString(45, QChar(0x130)) + QStringLiteral("Target") + QString(3, u'z');
        QCOMPARE(shown(snippetOf(tree, "turkish.txt", text.toUtf8(), QStringLiteral("target"))),
                 kEllipsis + QString(40, QChar(0x130)) + QStringLiteral("Targetzzz"));
    }

    // 40 and 60 characters as the reader sees them: a Thai consonant with its vowel mark and an
    // emoji (two UTF-16 units) are one character each.
    void thaiAndEmojiAroundTheMatch() {
        test::TempTree tree;
        const QString before = QStringLiteral("ก👍กี");  // three characters
        const QString after = QStringLiteral("👍ก");    // two
        const QString text = before.repeated(20) + QStringLiteral("needle") + after.repeated(40);
        QCOMPARE(shown(snippetOf(tree, "thai.txt", text.toUtf8(), QStringLiteral("needle"))),
                 kEllipsis + QStringLiteral("กี") + before.repeated(13) + QStringLiteral("needle") +
                     after.repeated(30) + kEllipsis);
    }

    void utf16TextIsNotReadable() {
        test::TempTree tree;
        const QString text = QStringLiteral("find me here");
        QByteArray utf16("\xFF\xFE");
        utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        QCOMPARE(shown(snippetOf(tree, "wide.txt", utf16, QStringLiteral("find"))), kNoSnippet);
    }

    // The match comes early; the bad byte sits megabytes later, past the passage.
    void invalidUtf8LateInABigFileGivesNothing() {
        test::TempTree tree;
        QByteArray content = "the needle is here ";
        content += QByteArray(3 * 1024 * 1024, 'x');
        QVERIFY(snippetOf(tree, "good.txt", content, QStringLiteral("needle")).has_value());
        content += "\xC0\xAF";
        QCOMPARE(shown(snippetOf(tree, "bad.txt", content, QStringLiteral("needle"))), kNoSnippet);
    }

    void matchAcrossReadBoundaries() {
        test::TempTree tree;
        QByteArray content(64 * 1024 - 3, 'x');
        content += " Straddling ";
        content += QByteArray(100, 'y');
        const std::optional<QString> snippet =
            snippetOf(tree, "seam.txt", content, QStringLiteral("straddling"));
        QVERIFY(snippet);
        QCOMPARE(*snippet, kEllipsis + QString(39, u'x') + QStringLiteral(" Straddling ") +
                               QString(59, u'y') + kEllipsis);
    }

    void otherExtensionsAreNeverRead() {
        test::TempTree tree;
        QCOMPARE(shown(contentSnippet(tree.pathOf("missing.docx"), QStringLiteral("x"))),
                 kContentMatchText);
        // Reading a FIFO would block: the answer comes at once.
        QCOMPARE(::mkfifo(tree.pathOf("pipe.log").constData(), 0644), 0);
        QCOMPARE(shown(contentSnippet(tree.pathOf("pipe.log"), QStringLiteral("x"))),
                 kContentMatchText);
    }

    void nothingToShow() {
        test::TempTree tree;
        QCOMPARE(shown(snippetOf(tree, "empty-query.txt", "text", QString())), kNoSnippet);
        QCOMPARE(shown(snippetOf(tree, "absent.txt", "text", QStringLiteral("zebra"))), kNoSnippet);
        QCOMPARE(shown(snippetOf(tree, "empty.txt", "", QStringLiteral("a"))), kNoSnippet);
        QCOMPARE(shown(contentSnippet(tree.pathOf("missing.txt"), QStringLiteral("a"))),
                 kNoSnippet);
        tree.mkdir("folder.txt");
        QCOMPARE(shown(contentSnippet(tree.pathOf("folder.txt"), QStringLiteral("a"))), kNoSnippet);
    }

    void extensionIsCaseInsensitiveAndNameNeedNotBeUtf8() {
        test::TempTree tree;
        QCOMPARE(shown(snippetOf(tree, "NOTES\xFF.TXT", "alpha beta", QStringLiteral("beta"))),
                 QStringLiteral("alpha beta"));
    }
};

TARNWICK_TEST(ContentSnippetTextTest)
#include "ContentSnippetTextTest.moc"

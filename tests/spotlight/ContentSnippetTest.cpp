#include "spotlight/ContentSnippet.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "text/PdfReader.h"

#include <QtTest>

#include <sys/stat.h>

using namespace tarnwick;

// The passage shown for a file matched by its content, chosen by the file's extension.
class ContentSnippetTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void passages_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("content");  // "<fifo>", "<folder>" or "<none>": no file
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("passage");  // "-": none
        auto row = [](const QByteArray& name, const QByteArray& content, const QString& query,
                      const QString& passage) {
            QTest::newRow(name.constData()) << name << content << query << passage;
        };
        const QString a = QString(40, u'a'), b = QString(60, u'b');
        // 40 characters before the match and 60 after, "…" where the text goes on.
        row("a.txt", (u'a' + a + "needle" + b + u'b').toUtf8(), "needle",
            u'…' + a + "needle" + b + u'…');
        row("edges.md", (a + "needle" + b).toUtf8(), "NEEDLE", a + "needle" + b);
        row("lines.csv", "first\nline\n\nsecond   word", "second", "first line second  word");
        row("case.json", "{\"Name\": \"Invoice\"}", "INVOICE", "{\"Name\": \"Invoice\"}");
        row("NOTES\xff.HTML", "alpha beta", "beta", "alpha beta");
        row("seam.xml", QByteArray(64 * 1024 - 3, 'x') + " Straddling " + QByteArray(100, 'y'),
            "straddling", u'…' + QString(39, u'x') + " Straddling " + QString(59, u'y') + u'…');
        // Plain text must be UTF-8 through to its end, the passage long settled by then.
        const QByteArray big = "the needle " + QByteArray(3 << 20, 'x');
        row("big.txt", big, "needle", "the needle " + QString(59, u'x') + u'…');
        row("late.txt", big + "\xC0\xAF", "needle", "-");
        row("letter.rtf", test::rtfDocument("Dear Zo\\'eb,\\par the \\b Invoice\\b0 ."), "invoice",
            "Dear Zoë, the Invoice.");
        row("bundle.rtfd", "<folder>", "x", "-");
        QStringList pages;  // the first ones are read
        for (int page = 1; page <= kSnippetPdfPages; ++page)
            pages << QStringLiteral("p%1").arg(page);
        const QByteArray pdf = test::makePdf(pages + QStringList{QStringLiteral("lighthouse")});
        row("pages.pdf", pdf, "p10", pages.join(u' ') + u' ');
        row("late.pdf", pdf, "lighthouse", "-");
        row("broken.pdf", "not a pdf", "pdf", "-");
        // A log is text, but a pipe is never read: it could block.
        row("pipe.log", "<fifo>", "x", "-");
        row("missing.docx", "<none>", "x", kContentMatchText);
        row("absent.txt", "text", "zebra", "-");
        row("empty.txt", "", "a", "-");
        row("missing.txt", "<none>", "a", "-");
        row("folder.txt", "<folder>", "a", "-");
        row("no query.txt", "text", "", "-");
    }
    void passages() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, query);
        QFETCH(QString, passage);
        test::TempTree tree;
        if (content == "<fifo>")
            QCOMPARE(::mkfifo(tree.pathOf(name), 0644), 0);
        else if (content == "<folder>")
            tree.mkdir(name);
        else if (content != "<none>")
            tree.write(name, content);
        QCOMPARE(contentSnippet(tree.pathOf(name), query).value_or("-"), passage);
    }
};

TARNWICK_TEST(ContentSnippetTest)
#include "ContentSnippetTest.moc"

#include "QueryProbe.h"
#include "TestCorpus.h"
#include "index/tracker/TrackerIndex.h"
#include "tests/support/TestRunner.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::test {

// Text and name queries against a real miner: substring, case and accent folding, literal
// treatment of hostile input, symbolic-link scopes, and agreement with mayHaveReadText.
class TrackerContentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        TestCorpus& c = m_corpus;
        c.writeText("notes/invoice.txt", "Please pay the Invoice by Friday.\n");
        c.writeText("notes/façade.md", "The façade was painted blue.\n");
        c.writeText("notes/plain-facade.txt", "FACADE IN CAPITALS\n");
        c.writeText("notes/nested/deep/Straße.txt", "Die Straße ist lang.\n");
        c.writeText("notes/specials.txt",
                    "star*glob? brack[1] quote\" single' back\\slash {braces} "
                    "SELECT ?x WHERE a   b\n");
        c.writePdf("notes/report.pdf", "quarterly invoice summary");
        // Text the extractor does not read: found by name only.
        c.write("notes/invoice-code.c", "int total;\n");
        c.write("notes/data.json", "{\"invoice\": 1}\n");
        c.write("notes/.hidden-invoice.txt", "invoice\n");
        c.write("notes/repo/.git/HEAD", "ref: refs/heads/main\n");
        c.write("notes/repo/invoice-in-repo.txt", "invoice\n");
        c.write(QByteArray("notes/bad\xff"
                           "-invoice.txt"),
                "0\n");
        c.write("../outside/invoice.txt", "invoice outside\n");
        QVERIFY(::symlink(c.path("notes").constData(), m_linked.constData()) == 0);
        QVERIFY2(m_sandbox.start(), qPrintable(m_sandbox.failure()));
        m_index = TrackerIndex::connectNow(5000);
        QVERIFY(m_index);
    }

    void cleanupTestCase() {
        m_index.reset();
        m_sandbox.stop();
    }

    void substringInsideAWord() {
        const Gathered hits = content("nvoic");
        QVERIFY(hits.finished);
        QCOMPARE(relative(hits), m_corpus.textsContaining("nvoic"));
        QVERIFY(relative(hits).contains("notes/report.pdf"));
    }

    void foldsCaseAndAccentsBothWays_data() {
        QTest::addColumn<QString>("query");
        QTest::newRow("upper with cedilla") << QStringLiteral("FAÇADE");
        QTest::newRow("plain lower") << QStringLiteral("facade");
        QTest::newRow("accent on the query only") << QStringLiteral("ínvoice");
        QTest::newRow("upper") << QStringLiteral("INVOICE");
    }
    void foldsCaseAndAccentsBothWays() {
        QFETCH(QString, query);
        const Gathered hits = content(query);
        QVERIFY(hits.finished);
        QVERIFY(!m_corpus.textsContaining(query).isEmpty());
        QCOMPARE(relative(hits), m_corpus.textsContaining(query));
    }

    void foldsSharpS() {
        QCOMPARE(relative(content("STRASSE")), QSet<QByteArray>{"notes/nested/deep/Straße.txt"});
    }

    void nameOrContentFindsBoth() {
        const Gathered hits = gather(*m_index, notes(), MetadataPredicate::nameOrContentContains,
                                     QStringLiteral("invoice"));
        QVERIFY(hits.finished);
        QSet<QByteArray> expected = m_corpus.textsContaining("invoice");
        // By name only: a file whose text the extractor skips, and a name that is not valid
        // UTF-8, which comes back with its own bytes. data.json holds the word but is neither;
        // hidden files and .git repositories are not indexed at all.
        expected += {"notes/invoice-code.c", QByteArray("notes/bad\xff"
                                                        "-invoice.txt")};
        QCOMPARE(relative(hits), expected);
    }

    void nameMatchesReportFoldersAndFileFacts() {
        const Gathered hits = gather(*m_index, notes(), MetadataPredicate::nameOrContentContains,
                                     QStringLiteral("NESTED"));
        QCOMPARE(hits.relativePaths(notes()), QSet<QByteArray>{"nested"});
        QVERIFY(hits.items.first().isFolder);

        const Gathered file = gather(*m_index, notes(), MetadataPredicate::nameOrContentContains,
                                     QStringLiteral("plain-fa"));
        QCOMPARE(file.items.size(), 1);
        const MetadataItem& item = file.items.first();
        struct stat info;
        QCOMPARE(::stat(item.path.constData(), &info), 0);
        QVERIFY(!item.isFolder);
        QCOMPARE(item.fileSize, std::optional<qint64>(info.st_size));
        // The index keeps whole seconds.
        QCOMPARE(item.contentModifiedMsecs, std::optional<qint64>(qint64(info.st_mtime) * 1000));
    }

    void hostileTextIsLiteralOrNothing_data() {
        QTest::addColumn<QString>("query");
        QTest::newRow("NUL") << QString(QChar(0)) + QStringLiteral("invoice");
        QTest::newRow("10,000 characters") << QString(10000, QLatin1Char('e'));
        QTest::newRow("only blanks") << QStringLiteral("   ");
        QTest::newRow("star") << QStringLiteral("*");
        QTest::newRow("question mark") << QStringLiteral("?");
        QTest::newRow("bracket") << QStringLiteral("[");
        QTest::newRow("bracketed") << QStringLiteral("brack[1]");
        QTest::newRow("star inside") << QStringLiteral("r*g");
        QTest::newRow("double quote") << QStringLiteral("\"");
        QTest::newRow("single quote") << QStringLiteral("'");
        QTest::newRow("backslash") << QStringLiteral("\\");
        QTest::newRow("braces") << QStringLiteral("{braces}");
        QTest::newRow("keywords") << QStringLiteral("SELECT ?x WHERE");
        QTest::newRow("injection") << QStringLiteral("\") || true || CONTAINS(?c, \"");
        QTest::newRow("percent") << QStringLiteral("%");
    }
    void hostileTextIsLiteralOrNothing() {
        QFETCH(QString, query);
        const Gathered hits = content(query);
        QVERIFY(hits.finished);
        const QSet<QByteArray> literal =
            query.contains(QChar(0)) ? QSet<QByteArray>() : m_corpus.textsContaining(query);
        QCOMPARE(relative(hits), literal);
        // Names too: nothing matches a name that does not hold the text.
        const Gathered named =
            gather(*m_index, notes(), MetadataPredicate::nameOrContentContains, query);
        QVERIFY(named.finished);
        for (const QByteArray& path : named.relativePaths(notes()))
            QVERIFY2(literal.contains("notes/" + path) ||
                         foldForMatching(QString::fromUtf8(path)).contains(foldForMatching(query)),
                     path.constData());
    }

    // However a statement is split across the endpoint's threads, the parts make up the same
    // answer: no file missed, none twice.
    void splitStatementsAnswerAlike_data() {
        QTest::addColumn<int>("shares");
        QTest::newRow("one") << 1;
        QTest::newRow("three") << 3;
        QTest::newRow("seven") << 7;
    }
    void splitStatementsAnswerAlike() {
        QFETCH(int, shares);
        m_index->setStatementShares(shares);
        const Gathered text = content("e");
        const Gathered named = gather(*m_index, notes(), MetadataPredicate::nameOrContentContains,
                                      QStringLiteral("invoice"));
        m_index->setStatementShares(2);
        const Gathered reference = gather(
            *m_index, notes(), MetadataPredicate::nameOrContentContains, QStringLiteral("invoice"));
        QVERIFY(text.finished && named.finished && reference.finished);
        QCOMPARE(text.items.size(), m_corpus.textsContaining("e").size());
        QCOMPARE(relative(text), m_corpus.textsContaining("e"));
        QCOMPARE(named.items.size(), reference.items.size());
        QCOMPARE(named.paths(), reference.paths());
    }

    void linkedScopeAnswersInItsOwnSpelling() {
        const Gathered real = content("invoice");
        const Gathered linked = gather(*m_index, m_linked, MetadataPredicate::contentContains,
                                       QStringLiteral("invoice"));
        QVERIFY(linked.finished);
        QVERIFY(!linked.items.isEmpty());
        for (const auto& item : linked.items) QVERIFY(item.path.startsWith(m_linked + '/'));
        QCOMPARE(linked.relativePaths(m_linked), real.relativePaths(notes()));
    }

    void scopeOutsideTheIndexFindsNothing() {
        const Gathered hits = gather(*m_index, m_sandbox.outside(),
                                     MetadataPredicate::contentContains, QStringLiteral("invoice"));
        QVERIFY(hits.finished);
        QVERIFY(hits.items.isEmpty());
    }

    // The contract the scanner relies on: where this says the index has a file's whole text,
    // a query for that text finds the file.
    void mayHaveReadTextAgreesWithTheIndex() {
        const QMap<QByteArray, QString> texts = m_corpus.texts();
        for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
            const QByteArray path = m_corpus.path(it.key());
            struct stat info;
            QCOMPARE(::stat(path.constData(), &info), 0);
            QVERIFY2(m_index->mayHaveReadText(path, info.st_size), path.constData());
            const QString firstLine = it.value().section(QLatin1Char('\n'), 0, 0);
            QVERIFY2(content(firstLine).paths().contains(path), path.constData());
        }
        for (const char* skipped : {"notes/invoice-code.c", "notes/data.json",
                                    "notes/.hidden-invoice.txt", "notes/repo/invoice-in-repo.txt"})
            QVERIFY2(!m_index->mayHaveReadText(m_corpus.path(skipped), 10), skipped);
    }

private:
    Gathered content(const QString& query) {
        return gather(*m_index, m_corpus.path("notes"), MetadataPredicate::contentContains, query);
    }
    QSet<QByteArray> relative(const Gathered& hits) const {
        return hits.relativePaths(m_sandbox.corpus());
    }
    QByteArray notes() const { return m_corpus.path("notes"); }

    TrackerSandbox m_sandbox;
    TestCorpus m_corpus{m_sandbox.corpus()};
    QByteArray m_linked = m_sandbox.outside() + "/linked-notes";
    std::unique_ptr<TrackerIndex> m_index;
};

TARNWICK_TEST(TrackerContentTest)

}  // namespace tarnwick::test

#include "TrackerContentTest.moc"

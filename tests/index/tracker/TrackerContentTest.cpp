#include "SharedMiner.h"

#include <QtTest>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::test {

namespace {

// Entries below `folder` that the miner names (not hidden, not inside a folder holding .git)
// whose name, folded, contains `needle`. On the bytes: names need not be UTF-8.
QSet<QByteArray> namesContaining(const QByteArray& folder, const QString& needle) {
    QSet<QByteArray> found;
    DIR* dir = ::access((folder + "/.git").constData(), F_OK) == 0 ? nullptr
                                                                   : ::opendir(folder.constData());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        const QByteArray path = folder + '/' + entry->d_name;
        if (entry->d_name[0] == '.') continue;
        // The miner keeps the name GLib shows for one that is not UTF-8.
        QString name = QString::fromUtf8(entry->d_name);
        if (name.contains(QChar::ReplacementCharacter))
            name += QStringLiteral(" (invalid encoding)");
        if (folded(name).contains(folded(needle))) found.insert(path);
        if (entry->d_type == DT_DIR) found += namesContaining(path, needle);
    }
    if (dir) ::closedir(dir);
    return found;
}

}  // namespace

// Text and name queries against the real miner, checked against what the files say: substring,
// case and accent folding, hostile text taken literally, statements split in parts, the facts of
// each hit, scopes in the caller's spelling, and what TrackerIndex says the extractor has read.
class TrackerContentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsWhatTheFilesHold_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("shares");
        for (const char* text : {"nvoic", "FAÇADE", "facade", "ínvoice", "STRASSE", "*", "?", "[",
                                 "brack[1]", "r*g", "\"", "'", "\\", "{braces}", "%",
                                 "SELECT ?x WHERE", "\") || true || CONTAINS(?c, \""})
            QTest::newRow(text) << QString::fromUtf8(text) << 2;
        QTest::newRow("NUL") << QString(QChar(0)) + QStringLiteral("invoice") << 2;
        QTest::newRow("10,000 characters") << QString(10000, QLatin1Char('e')) << 2;
        QTest::newRow("only blanks") << QStringLiteral("   ") << 2;
        for (int shares : {1, 3, 7}) QTest::addRow("e in %d parts", shares) << "e" << shares;
    }
    void findsWhatTheFilesHold() {
        QFETCH(QString, text);
        QFETCH(int, shares);
        const QByteArray notes = miner().path("notes");
        miner().index->setStatementShares(shares);
        const Gathered content = gather(notes, MetadataPredicate::contentContains, text);
        const Gathered either = gather(notes, MetadataPredicate::nameOrContentContains, text);
        miner().index->setStatementShares(2);
        QVERIFY(content.finished && either.finished);
        const QSet<QByteArray> texts = miner().textsContaining(text, notes);
        const QSet<QByteArray> textsOrNames = texts + namesContaining(notes, text);
        QCOMPARE(content.paths, texts);
        QCOMPARE(either.paths, textsOrNames);
        QCOMPARE(content.items.size() + either.items.size(), texts.size() + textsOrNames.size());
        for (const MetadataItem& item : either.items) {  // with the facts of the file or folder
            struct stat info;
            QCOMPARE(::stat(item.path.constData(), &info), 0);
            QCOMPARE(item.isFolder, S_ISDIR(info.st_mode));
            if (item.isFolder) continue;
            QCOMPARE(item.fileSize, std::optional<qint64>(info.st_size));
            QCOMPARE(item.contentModifiedMsecs, std::optional<qint64>(info.st_mtime * 1000));
        }
    }

    void scopesAnswerInTheirOwnSpelling_data() {
        QTest::addColumn<QByteArray>("scope");
        QTest::addColumn<QByteArray>("folder");  // whose texts the scope shows
        const QByteArray outside = miner().sandbox.outside();
        QTest::newRow("through a link") << outside + "/linked-notes" << miner().path("notes");
        QTest::newRow("blank and accent")
            << miner().path("notes/nested dír") << miner().path("notes/nested dír");
        QTest::newRow("not UTF-8")
            << miner().path("notes/odd\xff") << miner().path("notes/odd\xff");
        QTest::newRow("trailing slash") << miner().path("notes/") << miner().path("notes");
        QTest::newRow("root") << QByteArray("/") << QByteArray();
        QTest::newRow("outside the index") << outside << outside;
    }
    void scopesAnswerInTheirOwnSpelling() {
        QFETCH(QByteArray, scope);
        QFETCH(QByteArray, folder);
        const Gathered hits = gather(scope, MetadataPredicate::contentContains, "invoice");
        QVERIFY(hits.finished);
        const QByteArray base = scope.endsWith('/') ? scope.chopped(1) : scope;
        QSet<QByteArray> expected;
        for (const QByteArray& path : miner().textsContaining("invoice", folder))
            expected.insert(base + path.mid(folder.size()));
        QCOMPARE(expected.isEmpty(), scope == miner().sandbox.outside());
        QCOMPARE(hits.paths, expected);
    }

    // Where TrackerIndex says the extractor may have read a file's whole text, the index has it,
    // and the other way round: the scanner reads exactly the files the index has not.
    void mayHaveReadTextAgreesWithTheIndex_data() {
        QTest::addColumn<QByteArray>("kind");
        for (const QByteArray& kind : fileKinds()) QTest::newRow(kind.constData()) << kind;
    }
    void mayHaveReadTextAgreesWithTheIndex() {
        QFETCH(QByteArray, kind);
        const QByteArray path = miner().path("kinds/" + kind);
        const Gathered hits = gather(miner().path("kinds"), MetadataPredicate::contentContains,
                                     QString::fromLatin1(kindWord(kind)));
        QVERIFY(hits.finished);
        QCOMPARE(miner().index->mayHaveReadText(path, QFileInfo(QFile::decodeName(path)).size()),
                 hits.paths.contains(path));
    }
};

std::unique_ptr<QObject> newTrackerContentTest() {
    return std::make_unique<TrackerContentTest>();
}

}  // namespace tarnwick::test

#include "TrackerContentTest.moc"

#include "index/tracker/TrackerIndex.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::test {
namespace {
QString folded(const QString& text) {
    QString result;
    for (QChar c : text.toCaseFolded().normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing) result += c;
    return result.replace(QChar(0xDF), QLatin1String("ss"));
}
// The one miner the classes share: it indexes one corpus (made by startMiner()) once.
struct SharedMiner {
    TrackerSandbox sandbox;
    std::unique_ptr<TrackerIndex> index;
    QMap<QByteArray, QString> texts;  // the files whose text the extractor reads, by path
    QByteArray path(const QByteArray& relative) const { return sandbox.corpus() + '/' + relative; }
    // "@..." below the folder outside the roots, "/" the root, "" none, else below the corpus.
    QByteArray at(const QByteArray& spec) const {
        if (spec.isEmpty() || spec == "/") return spec;
        return spec.startsWith('@') ? sandbox.outside() + spec.mid(1) : path(spec);
    }
    // On the bytes: names need not be UTF-8. `text`: remembered as what the extractor reads.
    void write(const QByteArray& relative, const QByteArray& content, bool text = false) {
        for (qsizetype slash = 0; (slash = relative.indexOf('/', slash + 1)) > 0;)
            ::mkdir(path(relative.left(slash)).constData(), 0755);
        writeFileBytes(path(relative), content);
        if (text) texts.insert(path(relative), QString::fromUtf8(content));
    }
    void remove(const QByteArray& relative) {
        ::unlink(path(relative).constData());
        texts.remove(path(relative));
    }
    // The remembered files below `folder` whose text contains `needle`, folded as the index does.
    QSet<QByteArray> textsContaining(const QString& needle, const QByteArray& folder) const {
        QSet<QByteArray> found;
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            if (it.key().startsWith(folder + '/') && folded(it.value()).contains(folded(needle)))
                found.insert(it.key());
        return found;
    }
};
SharedMiner& miner() {
    static SharedMiner shared;
    return shared;
}
struct Gathered {
    std::unique_ptr<MetadataQuery> query;  // still live
    bool finished = false;
    QSet<QByteArray> paths;
    int progressSignals = 0, finishedSignals = 0;
};

const QList<QByteArray> kKinds =
    QByteArray(
        "plain.txt readme.md page.markdown NOTES.TXT main.c data.json site.html paper.pdf "
        ".secret.txt backup.txt~ nul.txt one-line.txt late-newline.txt po/messages.txt "
        ".config/note.txt repo/.git/HEAD repo/src/todo.txt limit.txt over.txt")
        .split(' ');
QByteArray kindWord(const QByteArray& kind) {
    QByteArray word = "qq";
    for (char c : kind)
        if (QChar::isLetter(uchar(c))) word += char(QChar::toLower(uchar(c)));
    return word + "qq";
}
bool startMiner() {
    SharedMiner& m = miner();
    // Counted: what the miner names, and what it leaves out.
    for (int i = 0; i < 40; ++i) m.write("tree/a/file" + QByteArray::number(i) + ".bin", "x");
    for (const char* name : {"tree/a/b/c/deep.txt", "tree/.hidden/secret.txt", "tree/.dotfile",
                             "tree/project/.git/HEAD", "tree/project/src/main.c"})
        m.write(name, "x\n");
    // Searched; files whose text the extractor does not read are found by name at most.
    m.write("notes/invoice.txt", "Please pay the Invoice by Friday.\n", true);
    m.write("notes/façade.md", "The façade was painted blue.\n", true);
    m.write("notes/plain-facade.txt", "FACADE IN CAPITALS\n", true);
    m.write("notes/nested dír/Straße.txt", "Die Straße: invoice 7.\n", true);
    m.write("notes/odd\xff/memo.txt", "an invoice memo\n", true);
    m.write("notes/specials.txt",
            "star*glob? brack[1] quote\" single' back\\slash {braces} SELECT ?x WHERE a   b\n",
            true);
    m.write("notes/report.pdf", makePdf({QStringLiteral("quarterly invoice summary")}));
    m.texts.insert(m.path("notes/report.pdf"), QStringLiteral("quarterly invoice summary"));
    m.write("notes/invoice-code.c", "int total;\n");
    m.write("notes/data.json", "{\"invoice\": 1}\n");
    m.write("notes/.hidden-invoice.txt", "invoice\n");
    m.write("notes/repo/.git/HEAD", "ref: refs/heads/main\n");
    m.write("notes/repo/invoice-in-repo.txt", "invoice\n");
    m.write("notes/bad\xff-invoice.txt", "0\n");
    // Which kinds the extractor read shows in which words a query finds.
    QByteArray lines;
    while (lines.size() <= 1048576) lines += QByteArray(99, 'x') + '\n';
    const QMap<QByteArray, QByteArray> before{
        {"site.html", "<p>"},
        {"nul.txt", QByteArray("a\0b ", 4)},
        {"one-line.txt", QByteArray(70000, 'x') + ' '},
        {"late-newline.txt", QByteArray(100, 'x') + '\n' + QByteArray(70000, 'y') + ' '},
        {"limit.txt", lines.left(1048576 - kindWord("limit.txt").size())},  // what is kept
        {"over.txt", lines.left(1048577 - kindWord("over.txt").size())}};
    for (const QByteArray& kind : kKinds) {
        const QByteArray word = kindWord(kind);
        m.write("kinds/" + kind, kind.endsWith(".pdf") ? makePdf({QString::fromLatin1(word)})
                                                       : before.value(kind) + word);
    }
    m.write("live/seed.txt", "nothing special here\n", true);
    const QByteArray outside = m.sandbox.outside();
    writeFileBytes(outside + "/invoice.txt", "invoice outside\n");
    ::symlink(m.path("notes").constData(), (outside + "/linked-notes").constData());
    ::symlink(m.path("tree/a").constData(), (outside + "/linked-a").constData());
    if (m.sandbox.start()) m.index = TrackerIndex::connectNow(5000);
    if (!m.index) qWarning("no miner: %s", qPrintable(m.sandbox.failure()));
    return m.index != nullptr;
}
Gathered gather(const QByteArray& scope, MetadataPredicate predicate, const QString& text = {}) {
    Gathered gathered;
    gathered.query = miner().index->createQuery(scope, predicate, text);
    QSignalSpy progress(gathered.query.get(), &MetadataQuery::gatheringProgress);
    QSignalSpy finished(gathered.query.get(), &MetadataQuery::finishedGathering);
    gathered.query->start();
    gathered.finished = finished.wait(60000);
    for (const MetadataItem& item : gathered.query->results()) gathered.paths.insert(item.path);
    gathered.progressSignals = int(progress.size());
    gathered.finishedSignals = int(finished.size());
    return gathered;
}
// Entries below `folder` that the miner names (not hidden, not inside a folder holding .git)
// whose name, folded, contains `needle` (all for an empty one); names need not be UTF-8.
QSet<QByteArray> namesContaining(const QByteArray& folder, const QString& needle = {}) {
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
constexpr int kChangeMs = 60000;  // a loaded machine may take this long; a quiet one, a second
std::unique_ptr<MetadataQuery> live(MetadataPredicate predicate, const char* text = "") {
    return gather(miner().path("live"), predicate, text).query;
}
// A hung miner: it holds its name and answers nothing at all.
class SilentService : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override { return true; }
};
// Milliseconds until connectAsync() answered without an index; -1 for an index or no answer.
qint64 msUntilRefused(int timeoutMs) {
    QObject context;
    QElapsedTimer clock;
    clock.start();
    qint64 answer = -2;
    TrackerIndex::connectAsync(
        &context,
        [&](std::unique_ptr<TrackerIndex> index) { answer = index ? -1 : clock.elapsed(); },
        timeoutMs);
    return QTest::qWaitFor([&] { return answer != -2; }, 20000) ? std::max<qint64>(answer, -1) : -1;
}
}  // namespace

// The count that decides whether a folder is listed on disk or searched in the index alone: what
// the index names where it covers the whole folder, 0 where it cannot.
class TrackerCountTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countsWhereTheIndexCoversTheFolder() {
        // scope=the folder on disk it counts ('@' the folder outside the roots); none where not
        // covered: outside the roots, a folder holding .git or below one, an ignored name, hidden,
        // missing
        for (const char* row :
             {"tree=tree", "tree/a=tree/a", "@/linked-a=tree/a", "@=", "tree/project=",
              "tree/project/src=", "kinds/po=", "tree/.hidden=", "tree/missing="}) {
            const QList<QByteArray> f = QByteArray(row).split('=');
            const QByteArray scope = miner().at(f[0]);
            QCOMPARE(miner().index->coversRecursively(scope), !f[1].isEmpty());
            const Gathered gathered = gather(scope, MetadataPredicate::everything);
            QVERIFY(gathered.finished && gathered.query->results().isEmpty());
            QCOMPARE(QPair(gathered.progressSignals, gathered.finishedSignals), QPair(1, 1));
            QCOMPARE(gathered.query->resultCount(),
                     f[1].isEmpty() ? 0 : namesContaining(miner().at(f[1])).size());
            QVERIFY(f[1].isEmpty() || gathered.query->resultCount() > 40);
        }
    }
};

// Text and name queries checked against what the files say: folding, hostile text taken
// literally, statements split in parts, facts of each hit, scopes, what the extractor has read.
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
        QCOMPARE(content.query->results().size() + either.query->results().size(),
                 texts.size() + textsOrNames.size());
        for (const MetadataItem& item : either.query->results()) {  // with the facts of each hit
            struct stat info;
            QCOMPARE(::stat(item.path.constData(), &info), 0);
            QCOMPARE(item.isFolder, S_ISDIR(info.st_mode));
            if (item.isFolder) continue;
            QCOMPARE(item.fileSize, std::optional<qint64>(info.st_size));
            QCOMPARE(item.contentModifiedMsecs, std::optional<qint64>(info.st_mtime * 1000));
        }
    }
    // Through a link, with a blank and accent, not UTF-8, with a trailing slash, the root, and
    // outside the index: each with the folder whose texts it shows.
    void scopesAnswerInTheirOwnSpelling() {
        for (const char* row : {"@/linked-notes=notes", "notes/nested dír=notes/nested dír",
                                "notes/odd\xff=notes/odd\xff", "notes/=notes", "/=", "@=@"}) {
            const QList<QByteArray> f = QByteArray(row).split('=');
            const QByteArray scope = miner().at(f[0]), folder = miner().at(f[1]);
            const Gathered hits = gather(scope, MetadataPredicate::contentContains, "invoice");
            QVERIFY(hits.finished);
            const QByteArray base = scope.endsWith('/') ? scope.chopped(1) : scope;
            QSet<QByteArray> expected;
            for (const QByteArray& path : miner().textsContaining("invoice", folder))
                expected.insert(base + path.mid(folder.size()));
            QCOMPARE(expected.isEmpty(), f[1] == "@");
            QCOMPARE(hits.paths, expected);
        }
    }
    // Where TrackerIndex says the extractor may have read a file's whole text, the index has it,
    // and the other way round: the scanner reads exactly the files the index has not.
    void mayHaveReadTextAgreesWithTheIndex() {
        for (const QByteArray& kind : kKinds) {
            const QByteArray path = miner().path("kinds/" + kind);
            const Gathered hits = gather(miner().path("kinds"), MetadataPredicate::contentContains,
                                         QString::fromLatin1(kindWord(kind)));
            QVERIFY(hits.finished);
            QVERIFY2(
                miner().index->mayHaveReadText(path, QFileInfo(QFile::decodeName(path)).size()) ==
                    hits.paths.contains(path),
                kind);
        }
    }
};

// Queries stay live: an added or removed file is one update, held while updates are disabled, and
// none once stopped or for a change that leaves the results as they were.
class TrackerLiveTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void updates() {
        auto content = live(MetadataPredicate::contentContains, "zephyr");
        auto count = live(MetadataPredicate::everything);
        auto disabled = live(MetadataPredicate::nameOrContentContains, "zephyr");
        auto stopped = live(MetadataPredicate::nameOrContentContains, "zephyr");
        auto unaffected = live(MetadataPredicate::nameOrContentContains, "unaffected");
        QSignalSpy updates(content.get(), &MetadataQuery::updated);
        QSignalSpy disabledUpdates(disabled.get(), &MetadataQuery::updated);
        QSignalSpy stoppedUpdates(stopped.get(), &MetadataQuery::updated);
        QSignalSpy unaffectedUpdates(unaffected.get(), &MetadataQuery::updated);
        const qsizetype before = count->resultCount();
        QCOMPARE(content->resultCount() + disabled->resultCount(), 0);
        disabled->disableUpdates();
        stopped->stop();
        miner().write("live/wind.txt", "A warm Zephyr blew.\n", true);
        QTRY_COMPARE_WITH_TIMEOUT(content->resultCount(), 1, kChangeMs);
        QTRY_COMPARE_WITH_TIMEOUT(count->resultCount(), before + 1, kChangeMs);
        QCOMPARE(content->results().first().path, miner().path("live/wind.txt"));
        QTest::qWait(300);  // once `content` saw the change, the others would have too
        QCOMPARE(updates.count(), 1);
        QCOMPARE(disabledUpdates.size() + stoppedUpdates.size() + unaffectedUpdates.size(), 0);
        QCOMPARE(disabled->resultCount() + stopped->resultCount(), 0);
        disabled->enableUpdates();
        QVERIFY(disabledUpdates.wait(kChangeMs));
        QCOMPARE(disabled->results().first().path, miner().path("live/wind.txt"));
        miner().remove("live/wind.txt");
        QTRY_COMPARE_WITH_TIMEOUT(content->resultCount(), 0, kChangeMs);
        QTRY_COMPARE_WITH_TIMEOUT(count->resultCount(), before, kChangeMs);
        QCOMPARE(updates.count(), 2);
    }
};

// Tracker missing, mute or dying: connecting and querying end, never hang. Runs last, as it ends
// the shared miner.
class TrackerFailureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Without a bus, refused at once; a stopped miner times out, and its query waits without
    // holding the event loop until the miner dies; then later queries end and connecting fails,
    // until a silent service holds either of the miner's names (LocalSearch's is asked first).
    void refusedTimedOutOrEnded() {
        const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-bus");
        const qint64 elapsedMs = msUntilRefused(10000);
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QVERIFY2(elapsedMs >= 0 && elapsedMs < 5000, QByteArray::number(elapsedMs));
        miner().sandbox.signalMiner(SIGSTOP);  // a silent miner times out
        const qint64 silentMs = msUntilRefused(1000);
        QVERIFY2(silentMs >= 900 && silentMs < 5000, QByteArray::number(silentMs));
        auto query = miner().index->createQuery(
            miner().path("notes"), MetadataPredicate::nameOrContentContains, "invoice");
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        QElapsedTimer clock;
        clock.start();
        query->start();
        QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()));
        QTest::qWait(300);
        QCOMPARE(finished.size(), 0);
        miner().sandbox.signalMiner(SIGKILL);
        QVERIFY(finished.wait(30000));
        QCOMPARE(query->resultCount(), 0);
        const Gathered after =
            gather(miner().path("notes"), MetadataPredicate::contentContains, "invoice");
        QVERIFY(after.finished);
        QCOMPARE(after.query->resultCount(), 0);
        const qint64 deadMs = msUntilRefused(10000);
        QVERIFY2(deadMs >= 0 && deadMs < 5000, QByteArray::number(deadMs));
        for (const char* name :
             {"org.freedesktop.LocalSearch3", "org.freedesktop.Tracker3.Miner.Files"}) {
            SilentService silent;
            QDBusConnection bus = QDBusConnection::connectToBus(QString::fromUtf8(address),
                                                                QString::fromLatin1(name));
            QVERIFY(
                bus.registerVirtualObject(QStringLiteral("/"), &silent, QDBusConnection::SubPath) &&
                bus.registerService(QString::fromLatin1(name)));
            const qint64 hungMs = msUntilRefused(1000);
            bus.unregisterObject(QStringLiteral("/"));
            QDBusConnection::disconnectFromBus(QString::fromLatin1(name));
            QVERIFY2(hungMs >= 900 && hungMs < 5000, name);
        }
    }
};

}  // namespace tarnwick::test

#include "TrackerMinerTest.moc"

// One miner start for every class: they run here one after the other, the failure cases last,
// since they end the miner. A GUI application (offscreen) for the PDF in the corpus.
int main(int argc, char** argv) {
    using namespace tarnwick::test;
    QGuiApplication app(argc, argv);
    if (!startMiner()) return 1;
    int failed = 0;
    std::unique_ptr<QObject> tests[] = {
        std::make_unique<TrackerCountTest>(), std::make_unique<TrackerContentTest>(),
        std::make_unique<TrackerLiveTest>(), std::make_unique<TrackerFailureTest>()};
    for (auto& test : tests) failed += QTest::qExec(test.get(), argc, argv) != 0;
    miner().index.reset();
    miner().sandbox.stop();
    return failed;
}

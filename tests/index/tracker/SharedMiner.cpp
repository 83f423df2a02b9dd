#include "SharedMiner.h"

#include "tests/support/DocumentFixtures.h"

#include <QSignalSpy>

#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::test {

SharedMiner& miner() {
    static SharedMiner shared;
    return shared;
}

void SharedMiner::write(const QByteArray& relative, const QByteArray& content, bool text) {
    for (qsizetype slash = 0; (slash = relative.indexOf('/', slash + 1)) > 0;)
        ::mkdir(path(relative.left(slash)).constData(), 0755);
    writeFileBytes(path(relative), content);
    if (text) texts.insert(path(relative), QString::fromUtf8(content));
}

void SharedMiner::remove(const QByteArray& relative) {
    ::unlink(path(relative).constData());
    texts.remove(path(relative));
}

QSet<QByteArray> SharedMiner::textsContaining(const QString& needle,
                                              const QByteArray& folder) const {
    QSet<QByteArray> found;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        if (it.key().startsWith(folder + '/') && folded(it.value()).contains(folded(needle)))
            found.insert(it.key());
    return found;
}

QList<QByteArray> fileKinds() {
    return QByteArray(
               "plain.txt readme.md page.markdown NOTES.TXT main.c data.json site.html "
               "paper.pdf .secret.txt backup.txt~ nul.txt one-line.txt late-newline.txt "
               "po/messages.txt .config/note.txt repo/.git/HEAD repo/src/todo.txt "
               "limit.txt over.txt")
        .split(' ');
}

QByteArray kindWord(const QByteArray& kind) {
    QByteArray word = "qq";
    for (char c : kind)
        if (QChar::isLetter(uchar(c))) word += char(QChar::toLower(uchar(c)));
    return word + "qq";
}

QString folded(const QString& text) {
    QString result;
    for (QChar c : text.toCaseFolded().normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing) result += c;
    return result.replace(QChar(0xDF), QLatin1String("ss"));
}

bool startMiner() {
    SharedMiner& m = miner();
    // Counted: what the miner names, and what it leaves out.
    for (int i = 0; i < 40; ++i) m.write("tree/a/file" + QByteArray::number(i) + ".bin", "x");
    m.write("tree/a/b/c/deep.txt", "deep\n");
    m.write("tree/.hidden/secret.txt", "s\n");
    m.write("tree/.dotfile", "d\n");
    m.write("tree/project/.git/HEAD", "ref\n");
    m.write("tree/project/src/main.c", "int main;\n");
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
    for (const QByteArray& kind : fileKinds()) {
        const QByteArray word = kindWord(kind);
        QByteArray before = kind.endsWith(".html") ? "<p>" : "";
        if (kind == "nul.txt") before = QByteArray("a\0b ", 4);
        if (kind == "one-line.txt") before = QByteArray(70000, 'x') + ' ';
        if (kind == "late-newline.txt")
            before = QByteArray(100, 'x') + '\n' + QByteArray(70000, 'y') + ' ';
        if (kind == "limit.txt") before = lines.left(1048576 - word.size());  // what is kept
        if (kind == "over.txt") before = lines.left(1048577 - word.size());
        m.write("kinds/" + kind,
                kind.endsWith(".pdf") ? makePdf({QString::fromLatin1(word)}) : before + word);
    }
    m.write("live/seed.txt", "nothing special here\n", true);
    const QByteArray outside = m.sandbox.outside();
    writeFileBytes(outside + "/invoice.txt", "invoice outside\n");
    ::symlink(m.path("notes").constData(), (outside + "/linked-notes").constData());
    ::symlink(m.path("tree/a").constData(), (outside + "/linked-a").constData());
    if (m.sandbox.start()) m.index = TrackerIndex::connectNow(5000);
    if (!m.index) std::fprintf(stderr, "no miner: %s\n", qPrintable(m.sandbox.failure()));
    return m.index != nullptr;
}

Gathered gather(const QByteArray& scope, MetadataPredicate predicate, const QString& text) {
    std::unique_ptr<MetadataQuery> query = miner().index->createQuery(scope, predicate, text);
    QSignalSpy progress(query.get(), &MetadataQuery::gatheringProgress);
    QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
    query->start();
    Gathered gathered;
    gathered.finished = finished.wait(60000);
    gathered.count = query->resultCount();
    gathered.items = query->results();
    for (const MetadataItem& item : gathered.items) gathered.paths.insert(item.path);
    gathered.progressSignals = int(progress.size());
    gathered.finishedSignals = int(finished.size());
    return gathered;
}

}  // namespace tarnwick::test

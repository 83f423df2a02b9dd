#include "AppcastTestFeeds.h"
#include "app/Appcast.h"
#include "tests/support/TestRunner.h"

#include <QTest>
#include <QTimeZone>

using namespace tarnwick;
using tarnwick::test::appcastWith;
using namespace Qt::StringLiterals;

namespace {

AppcastVersion version(const char* text) {
    const auto parsed = AppcastVersion::parse(QString::fromUtf8(text));
    if (!parsed) qFatal("not a version: %s", text);
    return *parsed;
}

QByteArray item(const QByteArray& version, const QByteArray& enclosure) {
    return "<item><sparkle:version>" + version + "</sparkle:version>" + enclosure + "</item>\n";
}

}  // namespace

// Version order as the update checker needs it, reading appcasts (Sparkle spellings, items left
// out and why, documents that are no appcast) and what a feed means for the running version.
class AppcastTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void versions() {
        const std::pair<const char*, const char*> older[] = {{"1.9", "1.10"},
                                                             {"1.0", "1.0.1"},
                                                             {"1.99.99", "2.0"},
                                                             {"1.0-beta", "1.0"},
                                                             {"1.0b2", "1.0"},
                                                             {"1.0b2", "1.0rc1"},
                                                             {"2.0-alpha.3", "2.0-beta.1"},
                                                             {"2.0dev", "2.0a1"},
                                                             {"1.0-beta.2", "1.0-beta.10"},
                                                             {"1.0", "1.1-beta"},
                                                             {"1.2~rc1", "1.2"},
                                                             {"1.0-beta", "1.0-beta.1"},
                                                             {"1.999999999999", "1.1000000000000"}};
        for (const auto& [a, b] : older)
            QVERIFY2(
                version(a) < version(b) && version(b) > version(a) && !(version(a) == version(b)),
                a);
        const std::pair<const char*, const char*> same[] = {{"1.0", "1.0.0"},
                                                            {"0", "0.0.0"},
                                                            {"v2.1", "2.1.0"},
                                                            {"1.4+20240101", "1.4"},
                                                            {"1.0-beta.2", "1.0beta2"},
                                                            {"1.0-RC1", "1.0rc1"},
                                                            {"1.02", "1.2"}};
        for (const auto& [a, b] : same) QVERIFY2(version(a) == version(b), a);
        for (const char* text : {"", "latest", "v", "1..2", "1.", "1.0-", "1.0 beta", "1.0-beta..1",
                                 "-1.0", "1.0/2", "12345678901234567890", "１.０"})
            QVERIFY2(!AppcastVersion::parse(QString::fromUtf8(text)), text);
    }
    void readsItemsOfThisPlatform() {
        const AppcastFeed feed = parseAppcast(appcastWith(
            {"1.2"},
            item("9", "<enclosure url=\"https://x.example/t.dmg\" sparkle:os=\"macos\"/>") +
                item("8", "<sparkle:channel>beta</sparkle:channel><enclosure url=\"https://x\"/>") +
                "<item><enclosure url=\"https://x.example/t.deb\" sparkle:version=\"300\" "
                "sparkle:os=\"linux\" sparkle:shortVersionString=\"3.0 beta\"/></item>"));
        QVERIFY2(feed.error.isEmpty() && feed.rejected.isEmpty(), qPrintable(feed.error));
        QCOMPARE(feed.items.size(), size_t(2));
        const AppcastItem& item = feed.items.front();
        QCOMPARE(item.version, version("1.2"));
        QCOMPARE(item.displayVersion, u"1.2"_s);
        QCOMPARE(item.title, u"Version 1.2"_s);
        QCOMPARE(item.downloadUrl, QUrl("https://downloads.example.org/tarnwick_1.2_amd64.deb"));
        QVERIFY(item.releaseNotesHtml.contains("<li>Changes in 1.2</li>"_L1));
        QCOMPARE(item.published, QDateTime(QDate(2025, 3, 1), QTime(10, 0), QTimeZone::utc()));
        QCOMPARE(feed.items.back().version, version("300"));
        QCOMPARE(feed.items.back().displayVersion, u"3.0 beta"_s);
    }
    void rejectsItemsWithWrongTypes_data() {
        QTest::addColumn<QByteArray>("itemXml");
        QTest::addColumn<QString>("reason");
        const QByteArray good = "<enclosure url=\"https://x.example/a.deb\"";
        const QString longHttp = "http://x.example/" + QString(80, u'a') + ".deb";
        QTest::newRow("no version") << "<item>" + good + "/></item>"
                                    << "no version";
        QTest::newRow("a word") << item("latest", good + "/>") << "not a version";
        QTest::newRow("no enclosure") << item("2", {}) << "no enclosure";
        QTest::newRow("http") << item("2", "<enclosure url=\"" + longHttp.toLatin1() + "\"/>")
                              << "the download \"" + longHttp.left(80) + "\" is not an https";
        QTest::newRow("no URL") << item("2", "<enclosure url=\"::\"/>") << "not an https link";
        QTest::newRow("length a word") << item("2", good + " length=\"big\"/>") << "not a number";
        QTest::newRow("length < 0") << item("2", good + " length=\"-4\"/>") << "not a number";
    }
    void rejectsItemsWithWrongTypes() {
        QFETCH(QByteArray, itemXml);
        QFETCH(QString, reason);
        const AppcastFeed feed = parseAppcast(appcastWith({"1.0"}, itemXml));
        QVERIFY2(feed.error.isEmpty(), qPrintable(feed.error));
        QCOMPARE(feed.items.size(), size_t(1));
        QCOMPARE(feed.rejected.size(), 1);
        QVERIFY2(feed.rejected.front().startsWith("item 2: "_L1) &&
                     feed.rejected.front().contains(reason),
                 qPrintable(feed.rejected.front()));
        // Alone, the item makes the feed fail with its reason.
        const AppcastVerdict verdict =
            judgeAppcast(parseAppcast(appcastWith({}, itemXml)), version("1.0"));
        QCOMPARE(verdict.outcome, AppcastVerdict::Outcome::failed);
        QVERIFY2(verdict.message.contains(reason), qPrintable(verdict.message));
    }
    void rejectsDocumentsThatAreNoAppcast() {
        const QByteArray entities =
            "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">"
            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c "
            "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
            "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e "
            "\"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]>"
            "<rss><channel><title>&e;&e;&e;&e;</title></channel></rss>";
        for (const QByteArray& xml :
             {QByteArray(), QByteArray("<!DOCTYPE html><html><body>Moved</body></html>"),
              appcastWith({"2.0"}).left(200), appcastWith({"2.0"}) + "<rss/>",
              QByteArray("<rss><channel><item></channel></rss>"),
              QByteArray("<rss><channel><item><sparkle:version>2</sparkle:version></item>"
                         "</channel></rss>"),
              QByteArray("<rss version=\"2.0\"></rss>"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11),
              entities}) {
            const AppcastFeed feed = parseAppcast(xml);
            QVERIFY2(!feed.error.isEmpty() && feed.items.empty(), xml.left(60).constData());
            const AppcastVerdict verdict = judgeAppcast(feed, version("1.0"));
            QCOMPARE(verdict.outcome, AppcastVerdict::Outcome::failed);
            QCOMPARE(verdict.message, feed.error);
        }
    }
    void judgesTheNewestItemWhateverItsPlace() {
        using Outcome = AppcastVerdict::Outcome;
        const AppcastFeed feed = parseAppcast(appcastWith({"1.5", "2.1", "1.10", "2.0"}));
        const AppcastVerdict verdict = judgeAppcast(feed, version("1.9"));
        QCOMPARE(verdict.outcome, Outcome::updateFound);
        QCOMPARE(verdict.update->version, version("2.1"));
        QCOMPARE(judgeAppcast(feed, version("2.1.0")).outcome, Outcome::upToDate);
        QCOMPARE(judgeAppcast(feed, version("2.2")).outcome, Outcome::upToDate);
        QCOMPARE(judgeAppcast(feed, version("2.1-rc1")).outcome, Outcome::updateFound);
        QCOMPARE(judgeAppcast(parseAppcast(appcastWith({})), version("1.0")).outcome,
                 Outcome::upToDate);
    }
};

TARNWICK_TEST(AppcastTest)
#include "AppcastTest.moc"

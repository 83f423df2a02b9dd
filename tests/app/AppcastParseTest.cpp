#include "AppcastTestFeeds.h"
#include "app/Appcast.h"
#include "tests/support/TestRunner.h"

#include <QTest>
#include <QTimeZone>

using namespace tarnwick;
using tarnwick::test::appcastWith;

namespace {

AppcastVersion version(const char* text) {
    return *AppcastVersion::parse(QString::fromLatin1(text));
}

QByteArray item(const QByteArray& inner) {
    return "<item>" + inner + "</item>\n";
}

}  // namespace

// Reading appcasts: the Sparkle spellings, items that must be left out and why, documents that
// are no appcast at all, and what a feed means for the running version.
class AppcastParseTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsItemFields() {
        const AppcastFeed feed = parseAppcast(appcastWith({"1.2"}));
        QVERIFY2(feed.error.isEmpty(), qPrintable(feed.error));
        QCOMPARE(feed.items.size(), size_t(1));
        const AppcastItem& item = feed.items.front();
        QCOMPARE(item.version, version("1.2"));
        QCOMPARE(item.displayVersion, QStringLiteral("1.2"));
        QCOMPARE(item.title, QStringLiteral("Version 1.2"));
        QCOMPARE(item.downloadUrl, QUrl("https://downloads.example.org/tarnwick_1.2_amd64.deb"));
        QVERIFY(item.releaseNotesHtml.contains(QLatin1String("<li>Changes in 1.2</li>")));
        QCOMPARE(item.published, QDateTime(QDate(2025, 3, 1), QTime(10, 0), QTimeZone::utc()));
    }

    void readsVersionFromEnclosureAttributes() {
        const QByteArray extra = item(
            "<enclosure url=\"https://x.example/t.deb\" sparkle:version=\"300\" "
            "sparkle:shortVersionString=\"3.0 beta\"/>");
        const AppcastFeed feed = parseAppcast(appcastWith({}, extra));
        QCOMPARE(feed.items.size(), size_t(1));
        QCOMPARE(feed.items.front().version, version("300"));
        QCOMPARE(feed.items.front().displayVersion, QStringLiteral("3.0 beta"));
    }

    void leavesOutOtherPlatformsAndChannelsSilently() {
        const QByteArray extra =
            item(
                "<sparkle:version>9</sparkle:version>"
                "<enclosure url=\"https://x.example/t.dmg\" sparkle:os=\"macos\"/>") +
            item(
                "<sparkle:version>8</sparkle:version><sparkle:channel>beta</sparkle:channel>"
                "<enclosure url=\"https://x.example/t.deb\"/>") +
            item(
                "<sparkle:version>7</sparkle:version>"
                "<enclosure url=\"https://x.example/t.deb\" sparkle:os=\"linux\"/>");
        const AppcastFeed feed = parseAppcast(appcastWith({}, extra));
        QCOMPARE(feed.items.size(), size_t(1));
        QCOMPARE(feed.items.front().version, version("7"));
        QVERIFY(feed.rejected.isEmpty());
    }

    void rejectsItemsWithWrongTypes_data() {
        QTest::addColumn<QByteArray>("itemXml");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no version")
            << item("<enclosure url=\"https://x.example/a.deb\"/>") << "no version";
        QTest::newRow("version is a word") << item(
                                                  "<sparkle:version>latest</sparkle:version>"
                                                  "<enclosure url=\"https://x.example/a.deb\"/>")
                                           << "not a version";
        QTest::newRow("no enclosure")
            << item("<sparkle:version>2</sparkle:version>") << "no enclosure";
        QTest::newRow("plain http download")
            << item(
                   "<sparkle:version>2</sparkle:version><enclosure "
                   "url=\"http://x.example/a.deb\"/>")
            << "not an https link";
        QTest::newRow("download is no URL")
            << item("<sparkle:version>2</sparkle:version><enclosure url=\"::\"/>")
            << "not an https link";
        QTest::newRow("length is a word")
            << item(
                   "<sparkle:version>2</sparkle:version>"
                   "<enclosure url=\"https://x.example/a.deb\" length=\"big\"/>")
            << "not a number";
        QTest::newRow("negative length")
            << item(
                   "<sparkle:version>2</sparkle:version>"
                   "<enclosure url=\"https://x.example/a.deb\" length=\"-4\"/>")
            << "not a number";
    }
    void rejectsItemsWithWrongTypes() {
        QFETCH(QByteArray, itemXml);
        QFETCH(QString, reason);
        const AppcastFeed feed = parseAppcast(appcastWith({"1.0"}, itemXml));
        QVERIFY2(feed.error.isEmpty(), qPrintable(feed.error));
        QCOMPARE(feed.items.size(), size_t(1));
        QCOMPARE(feed.rejected.size(), 1);
        QVERIFY2(feed.rejected.front().startsWith(QLatin1String("item 2: ")),
                 qPrintable(feed.rejected.front()));
        QVERIFY2(feed.rejected.front().contains(reason), qPrintable(feed.rejected.front()));
    }

    void rejectsDocumentsThatAreNoAppcast_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("html page") << QByteArray("<!DOCTYPE html><html><body>Moved</body></html>");
        QTest::newRow("truncated") << appcastWith({"2.0"}).left(200);
        QTest::newRow("garbage after the feed") << appcastWith({"2.0"}) + "<rss/>";
        QTest::newRow("unclosed tag") << QByteArray("<rss><channel><item></channel></rss>");
        QTest::newRow("undeclared prefix") << QByteArray(
            "<rss><channel><item><sparkle:version>2</sparkle:version>"
            "</item></channel></rss>");
        QTest::newRow("no channel") << QByteArray("<rss version=\"2.0\"></rss>");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11);
        QTest::newRow("entity bomb") << QByteArray(
            "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">"
            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
            "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
            "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]>"
            "<rss><channel><title>&e;&e;&e;&e;</title></channel></rss>");
    }
    void rejectsDocumentsThatAreNoAppcast() {
        QFETCH(QByteArray, xml);
        const AppcastFeed feed = parseAppcast(xml);
        QVERIFY(!feed.error.isEmpty());
        QVERIFY(feed.items.empty());
        const AppcastVerdict verdict = judgeAppcast(feed, version("1.0"));
        QCOMPARE(verdict.outcome, AppcastVerdict::Outcome::failed);
        QCOMPARE(verdict.message, feed.error);
    }

    void judgesTheNewestItemWhateverItsPlace() {
        const AppcastFeed feed = parseAppcast(appcastWith({"1.5", "2.1", "1.10", "2.0"}));
        const AppcastVerdict verdict = judgeAppcast(feed, version("1.9"));
        QCOMPARE(verdict.outcome, AppcastVerdict::Outcome::updateFound);
        QCOMPARE(verdict.update->version, version("2.1"));
    }

    void judgesSameOrOlderAsUpToDate() {
        const AppcastFeed feed = parseAppcast(appcastWith({"1.0", "2.0.0"}));
        QCOMPARE(judgeAppcast(feed, version("2.0")).outcome, AppcastVerdict::Outcome::upToDate);
        QCOMPARE(judgeAppcast(feed, version("2.1")).outcome, AppcastVerdict::Outcome::upToDate);
        QCOMPARE(judgeAppcast(feed, version("2.0-rc1")).outcome,
                 AppcastVerdict::Outcome::updateFound);
    }

    void judgesAnEmptyFeedAsUpToDate() {
        QCOMPARE(judgeAppcast(parseAppcast(appcastWith({})), version("1.0")).outcome,
                 AppcastVerdict::Outcome::upToDate);
    }

    void failsWhenNoItemIsUsable() {
        const QByteArray bad = item(
            "<sparkle:version>x</sparkle:version>"
            "<enclosure url=\"https://x.example/a.deb\"/>");
        const AppcastVerdict verdict =
            judgeAppcast(parseAppcast(appcastWith({}, bad)), version("1.0"));
        QCOMPARE(verdict.outcome, AppcastVerdict::Outcome::failed);
        QVERIFY2(verdict.message.contains(QLatin1String("not a version")),
                 qPrintable(verdict.message));
    }
};

TARNWICK_TEST(AppcastParseTest)
#include "AppcastParseTest.moc"

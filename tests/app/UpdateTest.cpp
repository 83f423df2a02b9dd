#include "LocalHttpsServer.h"
#include "app/Appcast.h"
#include "app/AppcastDialog.h"
#include "app/AppcastFetcher.h"
#include "app/AppcastSchedule.h"
#include "app/UpdateManager.h"
#include "tests/support/TestRunner.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

using namespace tarnwick;
using namespace Qt::StringLiterals;
using namespace tarnwick::test;
using Response = LocalHttpsServer::Response;

namespace {

// An appcast in the Sparkle style with one item per entry of `versions` (each its own https
// download); `extraItem` is inserted verbatim after them.
QByteArray appcastWith(std::initializer_list<const char*> versions,
                       const QByteArray& extraItem = {}) {
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" xmlns:sparkle=\""
        "http://www.andymatuschak.org/xml-namespaces/sparkle\">\n<channel>\n<title>T</title>\n";
    for (const QByteArray v : versions)
        xml += "<item><title>Version " + v + "</title>\n<sparkle:version>" + v +
               "</sparkle:version>\n<description><![CDATA[<ul><li>Changes in " + v +
               "</li></ul>]]></description>\n<pubDate>Sat, 01 Mar 2025 10:00:00 +0000</pubDate>\n"
               "<enclosure url=\"https://downloads.example.org/tarnwick_" +
               v +
               "_amd64.deb\" length=\"123456\" type=\"application/vnd.debian.binary-package\"/>\n"
               "</item>\n";
    return xml + extraItem + "</channel>\n</rss>\n";
}

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

// Downloading appcasts from a local HTTPS server that only this test's fetchers trust: what
// arrives, and what a broken or hostile server gets (errors, redirects to http, size, time).
class AppcastFetchTest : public QObject {
    Q_OBJECT
    LocalHttpsServer m_server;

    // The body, or "!" and the message of the failure; exactly one report per fetch.
    static QString run(AppcastFetcher& fetcher, const QUrl& url) {
        QSignalSpy fetched(&fetcher, &AppcastFetcher::fetched);
        QSignalSpy failed(&fetcher, &AppcastFetcher::failed);
        fetcher.fetch(url);
        if (!QTest::qWaitFor([&] { return fetched.count() + failed.count() > 0; }, 20000))
            return "!(no answer)";
        QTest::qWait(50);
        if (fetched.count() + failed.count() != 1) return "!(two reports)";
        return fetched.isEmpty() ? "!" + failed.front().front().toString()
                                 : QString::fromUtf8(fetched.front().front().toByteArray());
    }

private Q_SLOTS:
    void fetches() {
        const QString error = m_server.start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QByteArray feed = appcastWith({"2.0"});
        auto to = [this](const char* path) {
            return "Location: " + m_server.url(path).toEncoded();
        };
        using Body = Response::Body;
        m_server.route("/appcast.xml", "200 OK", {}, feed);
        m_server.route("/gone.xml", "404 Not Found", {}, "<html>no</html>");
        m_server.route("/broken.xml", "500 Internal Server Error");
        m_server.route("/to-http.xml", "302 Found", "Location: http://127.0.0.1:9/a.xml\r\n");
        m_server.route("/to-https.xml", "301 Moved", to("/appcast.xml") + "\r\n");
        m_server.route("/loop.xml", "302 Found", to("/loop.xml") + "\r\n");
        m_server.route("/silent.xml", "200 OK", "Content-Length: 5000\r\n", {}, Body::silent);
        m_server.route("/endless.xml", "200 OK", {}, {}, Body::endless);
        m_server.route("/huge.xml", "200 OK", "Content-Length: 5000000000\r\n", {}, Body::silent);
        const struct {
            const char* path;
            AppcastFetcher::Limits limits;
            QString outcome;
        } rows[] = {
            {"/appcast.xml", {}, QString::fromUtf8(feed)},
            {"/to-https.xml", {}, QString::fromUtf8(feed)},
            {"/gone.xml", {}, "HTTP 404 Not Found"},
            {"/broken.xml", {}, "HTTP 500"},
            {"/to-http.xml", {}, "refusing the redirect to http://127.0.0.1:9/"},
            {"/loop.xml", {}, "!"},
            {"/silent.xml", {1 << 20, 700, 5}, "did not answer within 0.7 seconds"},
            {"/endless.xml", {256 * 1024, 15000, 5}, "larger than"},
            {"/huge.xml", {1 << 20, 15000, 5}, "more than"},
        };
        for (const auto& row : rows) {
            AppcastFetcher fetcher;
            fetcher.setSslConfiguration(m_server.clientConfiguration());
            fetcher.setLimits(row.limits);
            const QString outcome = run(fetcher, m_server.url(row.path));
            QVERIFY2(row.outcome.startsWith(u'<')
                         ? outcome == row.outcome
                         : outcome.startsWith(u'!') && outcome.contains(row.outcome),
                     qPrintable(QString::fromLatin1(row.path) + ": " + outcome.left(200)));
        }
        QCOMPARE(m_server.requests.mid(0, 3),
                 (QList<QByteArray>{"/appcast.xml", "/to-https.xml", "/appcast.xml"}));
        // The allowed redirects, each maybe sent twice (Qt resends a request once when the
        // server closes the connection under it).
        QVERIFY(m_server.requests.count("/loop.xml") <= 2 * 6);
        const qsizetype asked = m_server.requests.size();
        AppcastFetcher untrusting;  // the system's trust store has never seen this certificate
        const QString refused = run(untrusting, QUrl("http://127.0.0.1:9/appcast.xml"));
        QVERIFY2(refused.contains(QLatin1String("only https")), qPrintable(refused));
        QCOMPARE(m_server.requests.size(), asked);
        QVERIFY(run(untrusting, m_server.url("/appcast.xml")).startsWith(u'!'));
        // A new fetch replaces the running one, which reports nothing.
        AppcastFetcher fetcher;
        fetcher.setSslConfiguration(m_server.clientConfiguration());
        fetcher.fetch(m_server.url("/silent.xml"));
        QCOMPARE(run(fetcher, m_server.url("/appcast.xml")), QString::fromUtf8(feed));
    }
};

// The update checker as the application uses it: the schedule (nothing at first start, a day
// later, overdue checks), reminders for scheduled finds, the dialog of a check the user asked
// for, and what its answers store.
class UpdateManagerTest : public QObject {
    Q_OBJECT
    LocalHttpsServer m_server;
    QTemporaryDir m_settingsDir;
    std::unique_ptr<UpdateManager> manager(const QString& running = u"1.0"_s) {
        auto updates = std::make_unique<UpdateManager>(
            UpdateManager::Setup{m_server.url("/appcast.xml"), running, 0});
        updates->fetcher().setSslConfiguration(m_server.clientConfiguration());
        updates->fetcher().setLimits({1 << 20, 5000, 5});
        return updates;
    }
    // Starts the manager (a scheduled check) or asks it to check; true once the check is done.
    static bool check(UpdateManager& updates, bool userAsks) {
        QSignalSpy finished(&updates, &UpdateManager::checkFinished);
        userAsks ? updates.checkForUpdates() : updates.start();
        return finished.wait(20000);
    }
    static QString dialogText(const UpdateManager& updates) {
        QStringList texts;
        for (const QLabel* label : updates.dialog()->findChildren<QLabel*>())
            if (label->isVisibleTo(updates.dialog())) texts << label->text();
        return texts.join(u'\n');
    }
    static void press(const UpdateManager& updates, const QString& button) {
        for (QPushButton* candidate : updates.dialog()->findChildren<QPushButton*>())
            if (candidate->text().remove(u'&') == button) return candidate->click();
        QFAIL(qPrintable("no button " + button));
    }
    void serve(const QByteArray& feed) { m_server.route("/appcast.xml", "200 OK", {}, feed); }
    static void setLastCheck(qint64 hoursAgo) {
        AppcastPreferences::setLastCheck(QDateTime::currentDateTimeUtc().addSecs(-hoursAgo * 3600));
    }
    static bool aDayFromNow(const QDateTime& when) {
        return qAbs(when.secsTo(QDateTime::currentDateTimeUtc().addDays(1))) < 5;
    }

private Q_SLOTS:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        const QString error = m_server.start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    void init() {
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s).clear();
        serve(appcastWith({"1.0", "2.0"}));
    }
    void scheduledChecks() {
        for (int start = 0; start < 2; ++start) {  // a restart within that day changes nothing
            auto updates = manager();
            updates->start();
            QTest::qWait(300);
            QVERIFY(m_server.requests.isEmpty() && AppcastPreferences::lastCheck());
            QVERIFY(aDayFromNow(updates->nextScheduledCheck()));
        }
        setLastCheck(30);  // overdue: runs, and finds 2.0 with a reminder, not a window
        auto updates = manager();
        QSignalSpy found(updates.get(), &UpdateManager::updateFound);
        QVERIFY(check(*updates, false));
        QCOMPARE(found.count(), 1);
        QCOMPARE(found.front().front().toString(), u"2.0"_s);
        QVERIFY(updates->updateAvailable());
        QVERIFY(!updates->dialog() || !updates->dialog()->isVisible());
        QVERIFY(aDayFromNow(updates->nextScheduledCheck()));
        // Up to date, failing, or only the skipped version: quiet.
        AppcastPreferences::setSkippedVersion(u"2.0.0"_s);
        for (const QByteArray& feed : {appcastWith({"0.9", "1.0.0"}),
                                       QByteArray("<rss><channel><item>"), appcastWith({"2.0"})}) {
            setLastCheck(25);
            serve(feed);
            auto again = manager();
            QSignalSpy foundAgain(again.get(), &UpdateManager::updateFound);
            QVERIFY(check(*again, false));
            QVERIFY(foundAgain.isEmpty() && !again->dialog() && !again->updateAvailable());
        }
        // The user who asks still sees the skipped version.
        QVERIFY(check(*updates, true));
        QVERIFY2(dialogText(*updates).contains("Tarnwick 2.0 is now available"_L1),
                 qPrintable(dialogText(*updates)));
    }
    void aCheckTheUserAskedFor_data() {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("answer");  // the button pressed, or none to close the window
        QTest::addColumn<QString>("skipped");
        const QByteArray feed = "/appcast.xml";
        const QStringList offer{"A new version of Tarnwick is available!", "you have 1.0"};
        QTest::newRow("later") << "1.0" << feed << offer << "Remind Me Later" << QString();
        QTest::newRow("skip") << "1.0" << feed << offer << "Skip This Version"
                              << "2.0";
        QTest::newRow("closed") << "1.0" << feed << offer << QString() << QString();
        QTest::newRow("same") << "2.0.0" << feed
                              << QStringList{"You're up to date!", "Tarnwick 2.0.0 is currently"}
                              << QString() << QString();
        QTest::newRow("newer") << "2.1" << feed << QStringList{"Tarnwick 2.1 is currently the"}
                               << QString() << QString();
        QTest::newRow("malformed")
            << "1.0" << QByteArray("/bad.xml") << QStringList{"Update Error!", "not well-formed"}
            << QString() << QString();
        QTest::newRow("missing") << "1.0" << QByteArray("/nothing-here.xml")
                                 << QStringList{"Update Error!", "HTTP 404"} << QString()
                                 << QString();
    }
    void aCheckTheUserAskedFor() {
        QFETCH(QString, running);
        QFETCH(QByteArray, path);
        QFETCH(QStringList, shown);
        QFETCH(QString, answer);
        QFETCH(QString, skipped);
        m_server.route("/bad.xml", "200 OK", {}, "<rss><channel>");
        // The stored feed address overrides the built-in one.
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s)
            .setValue(u"updateFeedURL"_s, m_server.url(path).toString());
        auto updates = manager(running);
        QSignalSpy availability(updates.get(), &UpdateManager::updateAvailableChanged);
        updates->checkForUpdates();
        QVERIFY(updates->dialog()->isVisible());
        QVERIFY(dialogText(*updates).contains("Checking for updates"_L1));
        QVERIFY(QSignalSpy(updates.get(), &UpdateManager::checkFinished).wait(20000));
        for (const QString& text : shown)
            QVERIFY2(dialogText(*updates).contains(text), qPrintable(dialogText(*updates)));
        const bool offered = shown.contains("you have 1.0"_L1);  // offered until answered
        QCOMPARE(updates->updateAvailable(), offered);
        if (offered) answer.isEmpty() ? updates->dialog()->reject() : press(*updates, answer);
        QVERIFY(!updates->updateAvailable());
        QCOMPARE(availability.count(), offered ? 2 : 0);
        QCOMPARE(updates->dialog()->isVisible(), !offered);
        QCOMPARE(AppcastPreferences::skippedVersion(), skipped);
    }
    void cancellingACheckIgnoresItsAnswer() {
        m_server.route("/slow.xml", "200 OK", {}, {}, Response::Body::silent);
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s)
            .setValue(u"updateFeedURL"_s, m_server.url("/slow.xml").toString());
        auto updates = manager();
        QSignalSpy finished(updates.get(), &UpdateManager::checkFinished);
        updates->checkForUpdates();
        press(*updates, u"Cancel"_s);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!updates->dialog()->isVisible());
        QTest::qWait(200);
        QCOMPARE(finished.count(), 1);
    }
    void nextCheckFollowsTheLastOne() {
        using appcast_schedule::nextCheck;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QCOMPARE(nextCheck(std::nullopt, now, 0), now.addDays(1));
        QCOMPARE(nextCheck(now.addSecs(-3600), now, 0), now.addSecs(23 * 3600));
        QCOMPARE(nextCheck(now.addDays(-3), now, 60000), now.addSecs(60));
        // A clock set back does not put the check off by more than a day.
        QCOMPARE(nextCheck(now.addDays(30), now, 0), now.addDays(1));
    }
};

TARNWICK_TEST(AppcastTest)
TARNWICK_TEST(AppcastFetchTest)
TARNWICK_TEST(UpdateManagerTest)
#include "UpdateTest.moc"

#include "app/Appcast.h"
#include "app/AppcastDialog.h"
#include "app/AppcastFetcher.h"
#include "app/AppcastSchedule.h"
#include "app/UpdateManager.h"
#include "tests/support/TestRunner.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

// HTTPS on 127.0.0.1 with a certificate only client() trusts; each path answers a whole
// response, headers and then silence, or an endless body.
class LocalHttpsServer : public QObject {
public:
    enum class Body { complete, silent, endless };
    QString start() {  // empty, or why it could not listen
        const QString key = m_dir.filePath("key.pem"), cert = m_dir.filePath("cert.pem");
        QProcess openssl;
        openssl.start("openssl",
                      {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                       "-nodes", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                       "-keyout", key, "-out", cert});
        QFile keyFile(key), certFile(cert);
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0 ||
            !keyFile.open(QIODevice::ReadOnly) || !certFile.open(QIODevice::ReadOnly))
            return "no certificate";
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(m_certificate = QSslCertificate(&certFile));
        configuration.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
        m_server.setSslConfiguration(configuration);
        connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) serve(socket);
        });
        return m_server.listen(QHostAddress::LocalHost, 0) ? QString() : m_server.errorString();
    }
    void route(const QByteArray& path, const QByteArray& status, const QByteArray& headers = {},
               const QByteArray& body = {}, Body kind = Body::complete) {
        m_routes[path] = {status, headers, body, kind};
    }
    QUrl url(const QByteArray& path) const {
        return QUrl(u"https://127.0.0.1:%1"_s.arg(m_server.serverPort()) + QLatin1String(path));
    }
    QSslConfiguration client() const {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setCaCertificates({m_certificate});
        return configuration;
    }
    QList<QByteArray> requests;  // the paths asked for, in order
private:
    struct Route {
        QByteArray status, headers, body;
        Body kind;
    };
    void serve(QTcpSocket* socket) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
            if (!(*request += socket->readAll()).contains("\r\n\r\n")) return;
            requests << request->left(request->indexOf("\r\n")).split(' ').value(1);
            const Route r = m_routes.value(requests.last(), {"404 Not Found", {}, "none", {}});
            QByteArray head = "HTTP/1.1 " + r.status + "\r\nConnection: close\r\n" + r.headers;
            if (r.kind == Body::complete) {
                socket->write(head + "Content-Length: " + QByteArray::number(r.body.size()) +
                              "\r\n\r\n" + r.body);
                return socket->disconnectFromHost();
            }
            socket->write(head + "\r\n");
            if (r.kind == Body::silent) return;
            auto* pump = new QTimer(socket);
            connect(pump, &QTimer::timeout, socket, [socket] {
                if (socket->bytesToWrite() < (1 << 20)) socket->write(QByteArray(1 << 16, 'x'));
            });
            pump->start(2);
        });
    }
    QTemporaryDir m_dir;
    QSslServer m_server;
    QSslCertificate m_certificate;
    QHash<QByteArray, Route> m_routes;
};

// A Sparkle appcast with one https download per version, then `extra`.
QByteArray appcastWith(std::initializer_list<const char*> versions, const QByteArray& extra = {}) {
    QByteArray xml =
        "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>";
    for (const char* v : versions)
        xml += QByteArray(
                   "<item><title>Version @</title><sparkle:version>@</sparkle:version>"
                   "<description><![CDATA[<li>@</li>]]></description><pubDate>Sat, 01 "
                   "Mar 2025 10:00:00 +0000</pubDate><enclosure url=\"https://d.example/"
                   "t_@.deb\"/></item>\n")
                   .replace("@", v);
    return xml + extra + "</channel></rss>\n";
}
QByteArray item(const QByteArray& version, const QByteArray& enclosure) {
    return "<item><sparkle:version>" + version + "</sparkle:version>" + enclosure + "</item>\n";
}
AppcastVersion version(const QString& text) {
    const auto parsed = AppcastVersion::parse(text);
    if (!parsed) qFatal("not a version: %s", qPrintable(text));
    return *parsed;
}

}  // namespace

// Version order, reading appcasts (Sparkle spellings, items left out and why, documents that are
// no appcast) and what a feed means for the running version.
class AppcastTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void versions() {
        // "a<b": a comes first; "a=b": the same version.
        const QString pairs = QString::fromUtf8(
            "1.9<1.10 1.0<1.0.1 1.99.99<2.0 1.0-beta<1.0 1.0b2<1.0 1.0b2<1.0rc1 2.0dev<2.0a1 "
            "2.0-alpha.3<2.0-beta.1 1.0-beta.2<1.0-beta.10 1.0<1.1-beta 1.2~rc1<1.2 "
            "1.0-beta<1.0-beta.1 1.999999999999<1.1000000000000 1.0=1.0.0 0=0.0.0 v2.1=2.1.0 "
            "1.4+20240101=1.4 1.0-beta.2=1.0beta2 1.0-RC1=1.0rc1 1.02=1.2");
        for (const QString& pair : pairs.split(u' ')) {
            const bool less = pair.contains(u'<');
            const AppcastVersion a = version(pair.section(less ? u'<' : u'=', 0, 0)),
                                 b = version(pair.section(less ? u'<' : u'=', 1));
            QVERIFY2(less ? a < b && b > a && !(a == b) : a == b, qPrintable(pair));
        }
        for (const char* text : {"", "latest", "v", "1..2", "1.", "1.0-", "1.0 beta", "1.0-beta..1",
                                 "-1.0", "1.0/2", "12345678901234567890", "１.０"})
            QVERIFY2(!AppcastVersion::parse(QString::fromUtf8(text)), text);
    }
    void readsAndJudgesItems() {
        const AppcastFeed feed = parseAppcast(appcastWith(
            {"1.2"},
            item("9", "<enclosure url=\"https://x.example/t.dmg\" sparkle:os=\"macos\"/>") +
                item("8", "<sparkle:channel>beta</sparkle:channel><enclosure url=\"https://x\"/>") +
                "<item><enclosure url=\"https://x.example/t.deb\" sparkle:version=\"300\" "
                "sparkle:os=\"linux\" sparkle:shortVersionString=\"3.0 beta\"/></item>"));
        QVERIFY2(feed.error.isEmpty() && feed.rejected.isEmpty(), qPrintable(feed.error));
        QCOMPARE(feed.items.size(), size_t(2));
        const AppcastItem &a = feed.items.front(), &b = feed.items.back();
        QVERIFY(a.version == version("1.2") && b.version == version("300"));
        QCOMPARE(
            (QStringList{a.displayVersion, a.title, a.downloadUrl.toString(),
                         a.published.toString(Qt::ISODate), a.releaseNotesHtml, b.displayVersion}),
            (QStringList{"1.2", "Version 1.2", "https://d.example/t_1.2.deb",
                         "2025-03-01T10:00:00Z", "<li>1.2</li>", "3.0 beta"}));
        using enum AppcastVerdict::Outcome;  // the newest item counts, whatever its place
        const AppcastFeed four = parseAppcast(appcastWith({"1.5", "2.1", "1.10", "2.0"}));
        const AppcastVerdict verdict = judgeAppcast(four, version("1.9"));
        QVERIFY(verdict.outcome == updateFound && verdict.update->version == version("2.1"));
        QCOMPARE(judgeAppcast(four, version("2.1.0")).outcome, upToDate);
        QCOMPARE(judgeAppcast(four, version("2.2")).outcome, upToDate);
        QCOMPARE(judgeAppcast(four, version("2.1-rc1")).outcome, updateFound);
        QCOMPARE(judgeAppcast(parseAppcast(appcastWith({})), version("1.0")).outcome, upToDate);
    }
    void rejectsItemsWithWrongTypes() {
        const QByteArray good = "<enclosure url=\"https://x.example/a.deb\"";
        const QString http = "http://x.example/" + QString(80, u'a') + ".deb";
        const std::pair<QByteArray, QString> rows[] = {
            {"<item>" + good + "/></item>", "no version"},
            {item("latest", good + "/>"), "not a version"},
            {item("2", {}), "no enclosure"},
            {item("2", "<enclosure url=\"" + http.toLatin1() + "\"/>"), '"' + http.left(80) + '"'},
            {item("2", "<enclosure url=\"::\"/>"), "not an https link"},
            {item("2", good + " length=\"big\"/>"), "not a number"},
            {item("2", good + " length=\"-4\"/>"), "not a number"},
        };
        for (const auto& [xml, reason] : rows) {
            const AppcastFeed feed = parseAppcast(appcastWith({"1.0"}, xml));
            QVERIFY2(feed.error.isEmpty() && feed.items.size() == 1 && feed.rejected.size() == 1 &&
                         feed.rejected.front().startsWith("item 2: "_L1) &&
                         feed.rejected.front().contains(reason),
                     qPrintable(reason + ": " + feed.rejected.join(u'|')));
            // Alone, the item makes the feed fail with its reason.
            const AppcastVerdict alone =
                judgeAppcast(parseAppcast(appcastWith({}, xml)), version("1.0"));
            QVERIFY2(
                alone.outcome == AppcastVerdict::Outcome::failed && alone.message.contains(reason),
                qPrintable(alone.message));
        }
    }
    void rejectsDocumentsThatAreNoAppcast() {
        QByteArray entities = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">";
        for (char c = 'b'; c <= 'e'; ++c)  // each expands ten of the one before
            entities += "<!ENTITY " + QByteArray(1, c) + " \"" +
                        ("&" + QByteArray(1, char(c - 1)) + ";").repeated(10) + "\">";
        entities += "]><rss><channel><title>&e;&e;&e;&e;</title></channel></rss>";
        for (const QByteArray& xml : {entities, appcastWith({"2.0"}).left(200),
                                      QByteArray("<html><body>Moved</body></html>"),
                                      QByteArray("<rss version=\"2.0\"></rss>")}) {
            const AppcastFeed feed = parseAppcast(xml);
            const AppcastVerdict verdict = judgeAppcast(feed, version("1.0"));
            QVERIFY2(!feed.error.isEmpty() && feed.items.empty() &&
                         verdict.outcome == AppcastVerdict::Outcome::failed &&
                         verdict.message == feed.error,
                     xml.left(60).constData());
        }
    }
};

// Fetching from a local HTTPS server (what arrives, what a broken or hostile server gets), and
// the update checker as the application uses it: schedule, reminders, the dialog and its answers.
class UpdateManagerTest : public QObject {
    Q_OBJECT
    LocalHttpsServer m_server;
    QTemporaryDir m_settingsDir;
    std::unique_ptr<UpdateManager> manager(const QString& running = u"1.0"_s) {
        auto updates = std::make_unique<UpdateManager>(
            UpdateManager::Setup{m_server.url("/appcast.xml"), running, 0});
        updates->fetcher().setSslConfiguration(m_server.client());
        updates->fetcher().setLimits({1 << 20, 5000, 5});
        return updates;
    }
    // The body, or "!" and the failure's message; exactly one report per fetch.
    static QString fetch(AppcastFetcher& fetcher, const QUrl& url) {
        QSignalSpy fetched(&fetcher, &AppcastFetcher::fetched),
            failed(&fetcher, &AppcastFetcher::failed);
        fetcher.fetch(url);
        if (!QTest::qWaitFor([&] { return fetched.count() + failed.count() > 0; }, 20000))
            return "!(no answer)";
        QTest::qWait(50);
        if (fetched.count() + failed.count() != 1) return "!(two reports)";
        return fetched.isEmpty() ? "!" + failed.front().front().toString()
                                 : QString::fromUtf8(fetched.front().front().toByteArray());
    }
    // A scheduled check (start) or one the user asked for; true once it is done.
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
    static void useFeed(const QUrl& url) {  // the stored address overrides the built-in one
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s).setValue(u"updateFeedURL"_s, url.toString());
    }
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
    void fetches() {
        const QByteArray feed = appcastWith({"2.0"}),
                         to = "Location: " + m_server.url("/").toEncoded(),
                         toHttp = "Location: http://127.0.0.1:9/a\r\n",
                         some = "Content-Length: 5000\r\n", huge = "Content-Length: 5000000000\r\n";
        using enum LocalHttpsServer::Body;
        const std::tuple<const char*, QByteArray, QByteArray, LocalHttpsServer::Body,
                         AppcastFetcher::Limits, const char*>
            rows[] = {
                // path, status, headers, body, limits, failure ("": the feed arrives)
                {"/feed.xml", "200 OK", {}, complete, {}, ""},
                {"/to-https.xml", "301 Moved", to + "feed.xml\r\n", complete, {}, ""},
                {"/gone.xml", "404 Not Found", {}, complete, {}, "HTTP 404 Not Found"},
                {"/to-http.xml",
                 "302 Found",
                 toHttp,
                 complete,
                 {},
                 "redirect to http://127.0.0.1:9/"},
                {"/loop.xml", "302 Found", to + "loop.xml\r\n", complete, {}, "!"},
                {"/silent.xml", "200 OK", some, silent, {1 << 20, 700, 5}, "in 0.7 seconds"},
                {"/endless.xml", "200 OK", {}, endless, {256 * 1024, 15000, 5}, "larger than"},
                {"/huge.xml", "200 OK", huge, silent, {1 << 20, 15000, 5}, "more than"},
            };
        for (const auto& [path, status, headers, body, limits, failure] : rows)
            m_server.route(path, status, headers, status == "200 OK" ? feed : QByteArray(), body);
        const qsizetype before = m_server.requests.size();
        for (const auto& [path, status, headers, body, limits, failure] : rows) {
            AppcastFetcher fetcher;
            fetcher.setSslConfiguration(m_server.client());
            fetcher.setLimits(limits);
            const QString outcome = fetch(fetcher, m_server.url(path));
            QVERIFY2(*failure ? outcome.startsWith(u'!') && outcome.contains(failure)
                              : outcome == QString::fromUtf8(feed),
                     qPrintable(QString::fromLatin1(path) + ": " + outcome.left(200)));
        }
        QCOMPARE(m_server.requests.mid(before, 3),
                 (QList<QByteArray>{"/feed.xml", "/to-https.xml", "/feed.xml"}));
        // The allowed redirects, each maybe sent twice (Qt resends once on a closed connection).
        QVERIFY(m_server.requests.count("/loop.xml") <= 2 * 6);
        const qsizetype asked = m_server.requests.size();
        AppcastFetcher untrusting;  // the system's trust store has never seen this certificate
        const QString refused = fetch(untrusting, QUrl("http://127.0.0.1:9/appcast.xml"));
        QVERIFY2(refused.contains("only https"_L1), qPrintable(refused));
        QCOMPARE(m_server.requests.size(), asked);
        QVERIFY(fetch(untrusting, m_server.url("/feed.xml")).startsWith(u'!'));
        AppcastFetcher fetcher;  // a new fetch replaces the running one, which reports nothing
        fetcher.setSslConfiguration(m_server.client());
        fetcher.fetch(m_server.url("/silent.xml"));
        QCOMPARE(fetch(fetcher, m_server.url("/feed.xml")), QString::fromUtf8(feed));
    }
    void scheduledChecks() {
        using appcast_schedule::nextCheck;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QCOMPARE(nextCheck(std::nullopt, now, 0), now.addDays(1));
        QCOMPARE(nextCheck(now.addSecs(-3600), now, 0), now.addSecs(23 * 3600));
        QCOMPARE(nextCheck(now.addDays(-3), now, 60000), now.addSecs(60));
        // A clock set back does not put the check off by more than a day.
        QCOMPARE(nextCheck(now.addDays(30), now, 0), now.addDays(1));
        const qsizetype asked = m_server.requests.size();
        for (int start = 0; start < 2; ++start) {  // a restart within that day changes nothing
            auto updates = manager();
            updates->start();
            QTest::qWait(300);
            QVERIFY(m_server.requests.size() == asked && AppcastPreferences::lastCheck());
            QVERIFY(aDayFromNow(updates->nextScheduledCheck()));
        }
        setLastCheck(30);  // overdue: runs, and finds 2.0 with a reminder, not a window
        auto updates = manager();
        QSignalSpy found(updates.get(), &UpdateManager::updateFound);
        QVERIFY(check(*updates, false));
        QVERIFY(found.count() == 1 && found.front().front() == u"2.0"_s);
        QVERIFY(updates->updateAvailable() &&
                (!updates->dialog() || !updates->dialog()->isVisible()));
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
    void aCheckTheUserAskedFor() {
        m_server.route("/bad.xml", "200 OK", {}, "<rss><channel>");
        const char* offer = "A new version of Tarnwick is available!|you have 1.0";
        const struct {
            const char *running, *path, *shown;
            QString answer, skipped;  // the button pressed (none: the window closed)
        } rows[] = {
            {"1.0", "/appcast.xml", offer, "Remind Me Later", {}},
            {"1.0", "/appcast.xml", offer, "Skip This Version", "2.0"},
            {"1.0", "/appcast.xml", offer, {}, {}},
            {"2.0.0", "/appcast.xml", "You're up to date!|Tarnwick 2.0.0 is currently", {}, {}},
            {"2.1", "/appcast.xml", "Tarnwick 2.1 is currently the", {}, {}},
            {"1.0", "/bad.xml", "Update Error!|not well-formed", {}, {}},
            {"1.0", "/nothing-here.xml", "Update Error!|HTTP 404", {}, {}}};
        for (const auto& row : rows) {
            init();
            useFeed(m_server.url(row.path));
            auto updates = manager(QString::fromLatin1(row.running));
            QSignalSpy availability(updates.get(), &UpdateManager::updateAvailableChanged);
            updates->checkForUpdates();
            QVERIFY(updates->dialog()->isVisible());
            QVERIFY(dialogText(*updates).contains("Checking for updates"_L1));
            QVERIFY(QSignalSpy(updates.get(), &UpdateManager::checkFinished).wait(20000));
            for (const QString& text : QString::fromUtf8(row.shown).split(u'|'))
                QVERIFY2(dialogText(*updates).contains(text), qPrintable(dialogText(*updates)));
            const bool offered = qstrcmp(row.shown, offer) == 0;  // offered until answered
            QCOMPARE(updates->updateAvailable(), offered);
            if (offered)
                row.answer.isEmpty() ? updates->dialog()->reject() : press(*updates, row.answer);
            QVERIFY(!updates->updateAvailable());
            QCOMPARE(availability.count(), offered ? 2 : 0);
            QCOMPARE(updates->dialog()->isVisible(), !offered);
            QCOMPARE(AppcastPreferences::skippedVersion(), row.skipped);
        }
        // Cancelled, a check ignores its answer.
        m_server.route("/slow.xml", "200 OK", {}, {}, LocalHttpsServer::Body::silent);
        useFeed(m_server.url("/slow.xml"));
        auto updates = manager();
        QSignalSpy finished(updates.get(), &UpdateManager::checkFinished);
        updates->checkForUpdates();
        press(*updates, u"Cancel"_s);
        QVERIFY(finished.count() == 1 && !updates->dialog()->isVisible());
        QTest::qWait(200);
        QCOMPARE(finished.count(), 1);
    }
};

TARNWICK_TEST(AppcastTest)
TARNWICK_TEST(UpdateManagerTest)
#include "UpdateTest.moc"

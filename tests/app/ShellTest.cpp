#include "app/Appcast.h"
#include "app/AppcastDialog.h"
#include "app/AppcastFetcher.h"
#include "app/AppcastSchedule.h"
#include "app/FileManagerActions.h"
#include "app/LoginItem.h"
#include "app/SettingsGroup.h"
#include "app/SettingsKeyCap.h"
#include "app/SettingsSwitch.h"
#include "app/SettingsView.h"
#include "app/UpdateManager.h"
#include "core/Preferences.h"
#include "platform/xdg/AutostartEntry.h"
#include "platform/xdg/DesktopEntryFile.h"
#include "platform/xdg/NautilusScriptAction.h"
#include "platform/xdg/ThunarActionsFile.h"
#include "platform/xdg/ThunarCustomActions.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSslKey>
#include <QSslServer>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

#include <functional>
#include <map>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace tarnwick;
using tarnwick::test::TempTree;
using namespace Qt::StringLiterals;

namespace {
// HTTPS on 127.0.0.1 that only `client` trusts: a whole answer, headers then silence, or no end.
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
        QSslConfiguration configuration = client = QSslConfiguration::defaultConfiguration();
        client.setCaCertificates({QSslCertificate(certFile.readAll())});
        configuration.setLocalCertificate(client.caCertificates().value(0));
        configuration.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
        m_server.setSslConfiguration(configuration);
        connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) serve(socket);
        });
        return m_server.listen(QHostAddress::LocalHost, 0) ? QString() : m_server.errorString();
    }
    QUrl url(const QByteArray& path) const {
        return QUrl(u"https://127.0.0.1:%1"_s.arg(m_server.serverPort()) + QLatin1String(path));
    }
    QSslConfiguration client;    // trusts the server
    QList<QByteArray> requests;  // the paths asked for, in order
    // Per path: status, headers, body.
    QHash<QByteArray, std::tuple<QByteArray, QByteArray, QByteArray, Body>> routes;

private:
    void serve(QTcpSocket* socket) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
            if (!(*request += socket->readAll()).contains("\r\n\r\n")) return;
            requests << request->left(request->indexOf("\r\n")).split(' ').value(1);
            const auto [status, headers, body, kind] =
                routes.value(requests.last(), {"404 Not Found", {}, "none", Body::complete});
            const QByteArray head = "HTTP/1.1 " + status + "\r\nConnection: close\r\n" + headers;
            if (kind == Body::complete) {
                socket->write(head + "Content-Length: " + QByteArray::number(body.size()) +
                              "\r\n\r\n" + body);
                return socket->disconnectFromHost();
            }
            socket->write(head + "\r\n");
            if (kind == Body::silent) return;
            auto* pump = new QTimer(socket);
            connect(pump, &QTimer::timeout, socket, [socket] {
                if (socket->bytesToWrite() < (1 << 20)) socket->write(QByteArray(1 << 16, 'x'));
            });
            pump->start(2);
        });
    }
    QTemporaryDir m_dir;
    QSslServer m_server;
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
const QByteArray kTemplate =
    "[Desktop Entry]\nType=Application\nName=Tarnwick\nExec=tarnwick\nX-Test=from-template\n";
const QByteArray kEntry = "autostart/org.tarnwick.Tarnwick.desktop";
// A uca.xml as Thunar writes it, with a comment, an entity, non-ASCII and an unknown attribute.
const QByteArray kUserFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<!-- my own actions -->\n"
    "<action custom=\"kept\">\n\t<icon></icon>\n\t<unique-id>1700000000000001-1</unique-id>\n"
    "\t<name>Open Terminal Here \xf0\x9f\x96\xa5 \xe7\xab\xaf\xe6\x9c\xab</name>\n"
    "\t<command>exo-open --working-directory %f &amp;&amp; true</command>\n"
    "\t<patterns>*</patterns>\n\t<startup-notify/>\n\t<directories/>\n</action>\n</actions>\n";
const QString kId = u"org.tarnwick.Tarnwick.search-here"_s;
const QByteArray kScript = "data/nautilus/scripts/Search with Tarnwick";
QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
QString packaged(const QByteArray& relative) {
    return QStringLiteral(TARNWICK_SOURCE_DIR "/packaging/") + QLatin1String(relative);
}
QString pathIn(const TempTree& tree, const QByteArray& relative) {
    return QString::fromLocal8Bit(tree.pathOf(relative));
}
ThunarAction ourAction(const QString& command = u"'/usr/bin/tarnwick' %f"_s) {
    return {kId, u"Search with Tarnwick"_s, u"Search <here> & now"_s, u"x"_s, command, true};
}
QStringList texts(const QByteArray& xml, const char* name) {  // of each element `name`
    QStringList found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String(name))
            found << reader.readElementText();
    return reader.hasError() ? QStringList{u"(malformed)"_s} : found;
}
}  // namespace

// Version order, reading appcasts (items left out and why, non-appcasts) and judging a feed.
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
            QVERIFY(feed.error.isEmpty() && feed.items.size() == 1 && feed.rejected.size() == 1 &&
                    feed.rejected.front().startsWith("item 2: "_L1) &&
                    feed.rejected.front().contains(reason));
            const AppcastVerdict alone =
                judgeAppcast(parseAppcast(appcastWith({}, xml)), version("1.0"));
            QVERIFY(alone.outcome == AppcastVerdict::Outcome::failed &&
                    alone.message.contains(reason));  // alone, it fails the feed
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
            QVERIFY(!feed.error.isEmpty() && feed.items.empty() && verdict.message == feed.error &&
                    verdict.outcome == AppcastVerdict::Outcome::failed);
        }
    }
};

// Fetching from a broken or hostile server, and the update checker's schedule and dialog.
class UpdateManagerTest : public QObject {
    Q_OBJECT
    using enum LocalHttpsServer::Body;
    LocalHttpsServer m_server;
    QTemporaryDir m_settingsDir;
    std::unique_ptr<UpdateManager> manager(const QString& running = u"1.0"_s) {
        auto updates = std::make_unique<UpdateManager>(
            UpdateManager::Setup{m_server.url("/appcast.xml"), running, 0});
        updates->fetcher().setSslConfiguration(m_server.client);
        updates->fetcher().setLimits({1 << 20, 5000, 5});
        return updates;
    }
    // The body, or "!" and the failure's message; exactly one report per fetch.
    static QString fetch(AppcastFetcher& fetcher, const QUrl& url) {
        QSignalSpy fetched(&fetcher, &AppcastFetcher::fetched),
            failed(&fetcher, &AppcastFetcher::failed);
        fetcher.fetch(url);
        const bool answered =
            QTest::qWaitFor([&] { return fetched.count() + failed.count(); }, 20000);
        QTest::qWait(50);
        if (!answered || fetched.count() + failed.count() != 1) return "!(no answer, or two)";
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
    static void useFeed(const QUrl& url) {  // the stored address overrides the built-in one
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s).setValue(u"updateFeedURL"_s, url.toString());
    }
    static bool aDayFromNow(const QDateTime& when) {
        return qAbs(when.secsTo(QDateTime::currentDateTimeUtc().addDays(1))) < 5;
    }
private Q_SLOTS:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QCOMPARE(m_server.start(), QString());
    }
    void init() {
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s).clear();
        m_server.routes["/appcast.xml"] = {"200 OK", {}, appcastWith({"1.0", "2.0"}), complete};
    }
    void fetches() {
        const QByteArray feed = appcastWith({"2.0"}),
                         to = "Location: " + m_server.url("/").toEncoded(),
                         toHttp = "Location: http://127.0.0.1:9/a\r\n",
                         some = "Content-Length: 5000\r\n", huge = "Content-Length: 5000000000\r\n";
        const std::tuple<const char*, QByteArray, QByteArray, LocalHttpsServer::Body,
                         AppcastFetcher::Limits, const char*>
            rows[] = {
                // path, status, headers, body, limits, failure ("": the feed arrives)
                {"/feed.xml", "200 OK", {}, complete, {}, ""},
                {"/to-https.xml", "301 Moved", to + "feed.xml\r\n", complete, {}, ""},
                {"/gone.xml", "404 Not Found", {}, complete, {}, "HTTP 404 Not Found"},
                {"/to-http.xml", "302 Found", toHttp, complete, {}, "to http://127.0.0.1:9/"},
                {"/loop.xml", "302 Found", to + "loop.xml\r\n", complete, {}, "!"},
                {"/silent.xml", "200 OK", some, silent, {1 << 20, 700, 5}, "in 0.7 seconds"},
                {"/endless.xml", "200 OK", {}, endless, {256 * 1024, 15000, 5}, "larger than"},
                {"/huge.xml", "200 OK", huge, silent, {1 << 20, 15000, 5}, "more than"},
            };
        for (const auto& [path, status, headers, body, limits, failure] : rows)
            m_server.routes[path] = {status, headers, status == "200 OK" ? feed : QByteArray(),
                                     body};
        for (const auto& [path, status, headers, body, limits, failure] : rows) {
            AppcastFetcher fetcher;
            fetcher.setSslConfiguration(m_server.client);
            fetcher.setLimits(limits);
            const QString outcome = fetch(fetcher, m_server.url(path));
            QVERIFY2(*failure ? outcome.startsWith(u'!') && outcome.contains(failure)
                              : outcome == QString::fromUtf8(feed),
                     qPrintable(QString::fromLatin1(path) + ": " + outcome.left(200)));
        }
        // The allowed redirects, each maybe sent twice (Qt resends once on a closed connection).
        QVERIFY(m_server.requests.count("/loop.xml") <= 2 * 6);
        AppcastFetcher untrusting;  // the system's trust store has never seen this certificate
        const QString refused = fetch(untrusting, QUrl("http://127.0.0.1:9/appcast.xml"));
        QVERIFY2(refused.contains("only https"_L1), qPrintable(refused));
        QVERIFY(fetch(untrusting, m_server.url("/feed.xml")).startsWith(u'!'));
        AppcastFetcher fetcher;  // a new fetch replaces the running one, which reports nothing
        fetcher.setSslConfiguration(m_server.client);
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
        AppcastPreferences::setLastCheck(QDateTime::currentDateTimeUtc().addDays(
            -2));  // overdue: runs, and finds 2.0 with a reminder, not a window
        auto updates = manager();
        QSignalSpy found(updates.get(), &UpdateManager::updateFound);
        QVERIFY(check(*updates, false) && found.count() == 1 && found.front().front() == u"2.0"_s);
        QVERIFY(updates->updateAvailable() &&
                (!updates->dialog() || !updates->dialog()->isVisible()));
        QVERIFY(aDayFromNow(updates->nextScheduledCheck()));
        // Up to date, failing, or only the skipped version: quiet.
        AppcastPreferences::setSkippedVersion(u"2.0.0"_s);
        for (const QByteArray& feed : {appcastWith({"0.9", "1.0.0"}),
                                       QByteArray("<rss><channel><item>"), appcastWith({"2.0"})}) {
            AppcastPreferences::setLastCheck(QDateTime::currentDateTimeUtc().addDays(-2));
            m_server.routes["/appcast.xml"] = {"200 OK", {}, feed, complete};
            auto again = manager();
            QSignalSpy foundAgain(again.get(), &UpdateManager::updateFound);
            QVERIFY(check(*again, false));
            QVERIFY(foundAgain.isEmpty() && !again->dialog() && !again->updateAvailable());
        }
        // A build without a feed leaves updates to the package manager: overdue, with a stored
        // address, it still asks nothing, and the user cannot ask either.
        AppcastPreferences::setLastCheck(QDateTime::currentDateTimeUtc().addDays(-2));
        useFeed(m_server.url("/appcast.xml"));
        const qsizetype before = m_server.requests.size();
        UpdateManager packaged(UpdateManager::Setup{QUrl(), u"1.0"_s, 0});
        packaged.start();
        packaged.checkForUpdates();
        QTest::qWait(300);
        QVERIFY(!packaged.isEnabled() && m_server.requests.size() == before && !packaged.dialog());
        QVERIFY(!packaged.nextScheduledCheck().isValid() && updates->isEnabled());
        // The user who asks still sees the skipped version.
        QVERIFY(check(*updates, true));
        QVERIFY(dialogText(*updates).contains("Tarnwick 2.0 is now available"_L1));
    }
    void aCheckTheUserAskedFor() {
        m_server.routes["/bad.xml"] = {"200 OK", {}, "<rss><channel>", complete};
        const char* offer = "A new version of Tarnwick is available!|you have 1.0";
        // Running version, feed, texts shown, button pressed (none: closed), version skipped.
        const std::tuple<const char*, const char*, const char*, QString, QString> rows[] = {
            {"1.0", "/appcast.xml", offer, "Remind Me Later", {}},
            {"1.0", "/appcast.xml", offer, "Skip This Version", "2.0"},
            {"1.0", "/appcast.xml", offer, {}, {}},
            {"2.0.0", "/appcast.xml", "You're up to date!|Tarnwick 2.0.0 is currently", {}, {}},
            {"1.0", "/bad.xml", "Update Error!|not well-formed", {}, {}},
            {"1.0", "/nothing-here.xml", "Update Error!|HTTP 404", {}, {}}};
        for (const auto& [running, path, shown, answer, skipped] : rows) {
            init();
            useFeed(m_server.url(path));
            auto updates = manager(QString::fromLatin1(running));
            QSignalSpy availability(updates.get(), &UpdateManager::updateAvailableChanged);
            updates->checkForUpdates();
            QVERIFY(updates->dialog()->isVisible() && dialogText(*updates).contains("Checking"_L1));
            QVERIFY(QSignalSpy(updates.get(), &UpdateManager::checkFinished).wait(20000));
            for (const QString& text : QString::fromUtf8(shown).split(u'|'))
                QVERIFY2(dialogText(*updates).contains(text), qPrintable(dialogText(*updates)));
            const bool offered = qstrcmp(shown, offer) == 0;  // offered until answered
            QCOMPARE(updates->updateAvailable(), offered);
            if (offered) answer.isEmpty() ? updates->dialog()->reject() : press(*updates, answer);
            QVERIFY(!updates->updateAvailable() && availability.count() == (offered ? 2 : 0));
            QCOMPARE(updates->dialog()->isVisible(), !offered);
            QCOMPARE(AppcastPreferences::skippedVersion(), skipped);
        }
        // Cancelled, a check ignores its answer.
        m_server.routes["/slow.xml"] = {"200 OK", {}, {}, silent};
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

// Launch at login: on copies the template, off deletes it; the state is the session's reading.
class LoginItemTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
    LoginItem item(const QByteArray& templatePath = "share/template.desktop") const {
        return LoginItem(pathIn(m_tree, kEntry), {pathIn(m_tree, templatePath)});
    }
private Q_SLOTS:
    void roundTripAndFailures() {
        m_tree.write("share/template.desktop", kTemplate);
        const QByteArray entry = "[Desktop Entry]\nType=Application\nExec=tarnwick\nHidden=";
        const std::pair<QByteArray, bool> rows[] = {
            {{}, false},
            {entry + "true", false},
            {entry + "false", true},
            {"\n", false},  // empty
            {"Exec=tarnwick", false},
            {"[Something]\nExec=tarnwick", false},
            {QByteArray("\177ELF\2\1\0\0\0[[[", 12), false},
        };
        for (const auto& [content, on] : rows) {
            if (!content.isEmpty()) m_tree.write(kEntry, content.trimmed());
            QVERIFY2(item().isEnabled() == on, content.constData());
            QVERIFY(item().setEnabled(true) && item().isEnabled());
            QCOMPARE(contentOf(pathIn(m_tree, kEntry)), kTemplate);  // broken or hidden: replaced
            QVERIFY(item().setEnabled(false) && item().setEnabled(false));  // off twice: no failure
            QVERIFY(!QFile::exists(pathIn(m_tree, kEntry)) && !item().isEnabled());
        }
        qputenv("XDG_CONFIG_HOME", m_tree.path());
        QCOMPARE(LoginItem::forThisApplication().entryPath(), pathIn(m_tree, kEntry));
        QString error;  // failures change nothing
        QVERIFY(!item("share/nowhere.desktop").setEnabled(true, &error) &&
                error.contains("template"_L1));
        m_tree.write("share/html.desktop", "<html></html>");
        QVERIFY(!item("share/html.desktop").setEnabled(true, &error));
        QVERIFY(!QFile::exists(pathIn(m_tree, kEntry)));
        m_tree.mkdir(kEntry);  // a folder in the entry's place
        error.clear();
        QVERIFY(!item().setEnabled(true, &error) && !error.isEmpty());
        QVERIFY(!item().setEnabled(false, &error) && !item().isEnabled());
    }
};

// Unprivileged: a read-only autostart folder fails both ways, reporting the real state.
class LoginItemPermissionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyAutostartFolder() {
        TempTree tree;
        tree.write("template.desktop", kTemplate), tree.mkdir("autostart");
        const LoginItem item(pathIn(tree, kEntry), {pathIn(tree, "template.desktop")});
        auto mode = [&tree](const QByteArray& relative, mode_t mode) {
            return ::chmod(tree.pathOf(relative).constData(), mode) == 0;
        };
        QString error;
        QVERIFY(mode("autostart", 0555) && !item.setEnabled(true, &error) && !error.isEmpty());
        QVERIFY(!item.isEnabled() && mode("autostart", 0755) && item.setEnabled(true));
        QVERIFY(mode("autostart", 0555) && !item.setEnabled(false, &error) && item.isEnabled());
        QVERIFY(mode("autostart", 0755) && mode(kEntry, 0) && !item.isEnabled());
    }
};

// The packaged files, read as the desktop reads them: a typo would lose a menu entry or icon.
class PackagedFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void desktopEntriesIconsAndMetainfo() {
        const char *app = "org.tarnwick.Tarnwick.desktop", *fm = "file-managers/tarnwick-search-";
        const std::tuple<QByteArray, const char*, const char*> rows[] = {
            {app, "Desktop Entry", "tarnwick %f"},
            {app, "Desktop Action search", "tarnwick --activate"},
            {app, "Desktop Action settings", "tarnwick --settings"},
            {"autostart/org.tarnwick.Tarnwick.desktop", "Desktop Entry", "tarnwick"},
            {"file-managers/org.tarnwick.Tarnwick.servicemenu.desktop",
             "Desktop Action searchWithTarnwick", "tarnwick %f"},
            {fm + QByteArray("folder.nemo_action"), "Nemo Action", "tarnwick %F"},
            {fm + QByteArray("here.nemo_action"), "Nemo Action", "tarnwick %P"},
        };
        for (const auto& [file, group, exec] : rows) {
            DesktopEntryFile entry;
            QCOMPARE(entry.loadFile(packaged(file)), DesktopEntryFile::LoadResult::loaded);
            QCOMPARE(entry.string(group, "Exec"), std::optional(QString::fromLatin1(exec)));
            QCOMPARE(entry.string(group, "Icon")
                         .value_or(entry.string(group, "Icon-Name").value_or(QString())),
                     QString::fromLatin1(LoginItem::kAppId));
        }
        QVERIFY(readAutostartEntry(packaged("autostart/org.tarnwick.Tarnwick.desktop"))
                    .startsAtLogin());
        for (const char* icon :
             {"icons/org.tarnwick.Tarnwick.svg", "icons/org.tarnwick.Tarnwick-symbolic.svg"}) {
            QSvgRenderer renderer(packaged(icon));
            QVERIFY(renderer.isValid() &&
                    renderer.viewBox().width() == renderer.viewBox().height());
        }
        const QByteArray metainfo = contentOf(packaged("org.tarnwick.Tarnwick.metainfo.xml"));
        QCOMPARE(texts(metainfo, "id") + texts(metainfo, "launchable"),
                 (QStringList{LoginItem::kAppId, app}));
    }
};

// The settings window shows what is stored at each drawing, and its controls change just that.
class SettingsViewTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
    std::unique_ptr<SettingsView> m_view;
    bool m_gnomeOffered = false, m_gnomeInstalled = false;
    QString m_problem;  // why the shortcut does not work
    QString path(const QByteArray& relative) const { return pathIn(m_tree, relative); }
    void open(const QByteArray& templatePath = "template.desktop") {
        SettingsServices services{LoginItem(path(kEntry), {path(templatePath)}),
                                  {},
                                  {},
                                  [this] { return m_problem; },
                                  {}};
        const QString script = path("nautilus/scripts/Search with Tarnwick"),
                      uca = path("Thunar/uca.xml");
        services.fileManagerActions = [script, uca] {
            return FileManagerActions({script, ThunarActionsFile(uca, {}), true, true},
                                      "/usr/bin/tarnwick");
        };
        services.gnomeShortcut = {[this] { return m_gnomeOffered; },
                                  [this] { return m_gnomeInstalled; },
                                  [this](QString*) { return m_gnomeInstalled = true; },
                                  [this](QString*) { return !(m_gnomeInstalled = false); }};
        m_view = std::make_unique<SettingsView>(std::move(services));
        m_view->showAndRaise();
    }
    SettingsSwitch* switchNamed(const char* name) const {
        for (SettingsSwitch* candidate : m_view->findChildren<SettingsSwitch*>())
            if (candidate->accessibleName() == QLatin1String(name)) return candidate;
        return nullptr;
    }
    QPushButton* buttonIn(const QString& groupTitle) const {
        for (SettingsGroup* group : m_view->findChildren<SettingsGroup*>()) {
            const QList<QLabel*> labels = group->findChildren<QLabel*>();
            if (!labels.isEmpty() && labels.front()->text() == groupTitle)
                return group->isVisibleTo(m_view.get()) ? group->findChild<QPushButton*>()
                                                        : nullptr;
        }
        return nullptr;
    }
    QString shortcutShown() const {  // the first key cap, when the header names it too
        const QList<SettingsKeyCap*> caps = m_view->findChildren<SettingsKeyCap*>();
        for (const QLabel* label : m_view->findChildren<QLabel*>())
            if (!caps.isEmpty() && label->text().startsWith("Press "_L1))
                return label->text().contains("<b>" + caps[0]->text() + "</b>") ? caps[0]->text()
                                                                                : label->text();
        return u"no key cap or header"_s;
    }
private Q_SLOTS:
    void showsAndChangesWhatIsStored() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path("settings"));
        m_tree.write("template.desktop", "[Desktop Entry]\nType=Application\nExec=tarnwick\n");
        open();
        m_view->close();
        m_view->showAndRaise();
        SettingsSwitch* hidden = switchNamed("Show hidden files in results");
        QVERIFY(m_view->isVisible() && hidden && !hidden->isChecked());
        QTest::mouseClick(hidden, Qt::LeftButton);
        QVERIFY(Preferences::showHiddenFiles());
        QTest::mouseClick(hidden, Qt::LeftButton);
        QCOMPARE(Preferences::readBool(u"showHiddenFiles"_s), std::optional(false));
        Preferences::setShowHiddenFiles(true);  // changed elsewhere: shown at the next drawing
        m_view->showAndRaise();
        QVERIFY(hidden->isChecked());
        // Kept listings: on by default, off and on again; a budget of 0 set by hand shows off,
        // and turning it on stores the budget shown.
        SettingsSwitch* keep = switchNamed("Keep recent folder listings");
        auto* budget = m_view->findChild<QSpinBox*>();
        QVERIFY(keep && keep->isChecked() && budget && budget->value() == 256);
        QTest::mouseClick(keep, Qt::LeftButton);
        QVERIFY(!Preferences::keepsListings() && !budget->isEnabled());
        QTest::mouseClick(keep, Qt::LeftButton);
        budget->setValue(512);
        QVERIFY(Preferences::keepsListings() && Preferences::keptListingsMegabytes() == 512);
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s).setValue(u"keptListingsMegabytes"_s, 0);
        m_view->showAndRaise();
        QVERIFY(!keep->isChecked() && budget->value() == 256);
        QTest::mouseClick(keep, Qt::LeftButton);
        QVERIFY(Preferences::keepsListings() && Preferences::keptListingsMegabytes() == 256);
        SettingsSwitch* login = switchNamed("Launch at login");
        QVERIFY(login && !login->isChecked());
        QTest::mouseClick(login, Qt::LeftButton);
        QVERIFY(QFile::exists(path(kEntry)) && login->isChecked());
        m_tree.write(kEntry, "[Desktop Entry]\nHidden=true\n");  // hidden: shown off, at a drawing
        m_view->showAndRaise();
        QVERIFY(!login->isChecked());
        QTest::mouseClick(login, Qt::LeftButton);
        QTest::mouseClick(login, Qt::LeftButton);
        QVERIFY(!QFile::exists(path(kEntry)) && !login->isChecked());
        open("no-template.desktop");  // a change that fails shows the real state
        QTest::mouseClick(switchNamed("Launch at login"), Qt::LeftButton);
        QVERIFY(!QFile::exists(path(kEntry)) && !switchNamed("Launch at login")->isChecked());
        const QList<QMessageBox*> told = m_view->findChildren<QMessageBox*>();  // and says why
        QVERIFY(told.size() == 1 && told[0]->isVisible() &&
                told[0]->text().contains("no autostart template"_L1));
        told[0]->close();
        QCOMPARE(shortcutShown(), u"Ctrl+Shift+Space"_s);  // the stored shortcut, read anew
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s).setValue(u"hotKeyCode"_s, 36);
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s).setValue(u"hotKeyModifiers"_s, 0x0900);
        m_view->showAndRaise();
        QCOMPARE(shortcutShown(), u"Alt+Super+Return"_s);
        m_problem = u"Plasma did not bind it."_s;  // what to do, instead of what to press
        m_view->showAndRaise();
        const QList<QLabel*> labels = m_view->findChildren<QLabel*>();
        QVERIFY(shortcutShown() == u"no key cap or header"_s &&
                std::any_of(labels.begin(), labels.end(),
                            [this](QLabel* label) { return label->text().startsWith(m_problem); }));
        m_problem.clear();
        QVERIFY(!buttonIn(u"Shortcut"_s));  // the buttons; the GNOME one offered only where needed
        m_gnomeOffered = true, m_view->refresh();
        const QString script = path("nautilus/scripts/Search with Tarnwick");
        for (QPushButton* button : {buttonIn(u"File Manager"_s), buttonIn(u"Shortcut"_s)}) {
            QVERIFY(button && button->text() == "Add"_L1);
            button->click();
            QCOMPARE(button->text(), u"Remove"_s);
            QVERIFY(m_gnomeInstalled ||
                    (QFile::exists(script) && QFile(path("Thunar/uca.xml")).size() > 0));
            button->click();
            QCOMPARE(button->text(), u"Add"_s);
            QVERIFY(!m_gnomeInstalled && !QFile::exists(script));
        }
    }
};

// Editing Thunar's shared uca.xml: ours in and out, the rest byte for byte, the unreadable alone.
class ThunarActionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editsOnlyOurAction() {
        const ThunarActionsEdit added = editThunarActions(kUserFile, kId, ourAction());
        // The old file with our action inserted before </actions>.
        QVERIFY(added.ok &&
                added.xml.startsWith(kUserFile.left(kUserFile.lastIndexOf("</actions>"))) &&
                added.xml.endsWith("</action>\n</actions>\n"));
        QCOMPARE(texts(added.xml, "command").last(), ourAction().command);
        QVERIFY(added.xml.contains("<description>Search &lt;here&gt; &amp; now</description>"));
        const ThunarAction moved = ourAction(u"'/opt/tarnwick/bin/tarnwick' %f"_s);
        const ThunarActionsEdit twice = editThunarActions(added.xml, kId, moved);
        QVERIFY(twice.ok && texts(twice.xml, "unique-id").count(kId) == 1);
        QCOMPARE(texts(twice.xml, "command").last(), moved.command);
        QCOMPARE(twice.xml.size() - added.xml.size(),
                 moved.command.size() - ourAction().command.size());
        QCOMPARE(editThunarActions(twice.xml, kId, std::nullopt).xml, kUserFile);
        const QByteArray other = "<actions><action><unique-id>a</unique-id></action>";
        const QByteArray ours = "<action><unique-id>" + kId.toUtf8() + "</unique-id></action>";
        QCOMPARE(editThunarActions(other + ours + "</actions>", kId, std::nullopt).xml,
                 other + "</actions>");
        // An empty <actions /> opens up for ours, and stays as it is with nothing to remove.
        const QByteArray empty = "<?xml version=\"1.0\"?>\n<actions />\n";
        const ThunarActionsEdit opened = editThunarActions(empty, kId, ourAction());
        QVERIFY(opened.ok && texts(opened.xml, "unique-id") == QStringList{kId});
        QVERIFY(opened.xml.startsWith("<?xml version=\"1.0\"?>\n<actions >\n<action>") &&
                opened.xml.endsWith("</action>\n</actions>\n"));
        QCOMPARE(editThunarActions(empty, kId, std::nullopt).xml, empty);
    }
    void refusesWhatItCannotRead() {
        for (const QByteArray& content :
             {kUserFile.left(kUserFile.size() / 2), QByteArray("<?xml version=\"1.0\"?><accels/>"),
              QByteArray("<actions><action><name>caf\xe9</name></action></actions>"),
              QByteArray("<actions/><actions/>")})
            QVERIFY(!editThunarActions(content, kId, ourAction()).ok &&
                    !editThunarActions(content, kId, std::nullopt).ok &&
                    !hasThunarAction(content, kId));
    }
    // The first copy is kept; a new user file starts from the system's.
    void fileEdits() {
        TempTree tree;
        auto at = [&tree](const char* relative) { return pathIn(tree, relative); };
        tree.write("Thunar/uca.xml", kUserFile);
        const ThunarActionsFile file(at("Thunar/uca.xml"), {});
        QString error;
        QVERIFY2(file.install(ourAction(), &error), qPrintable(error));
        QVERIFY(file.contains(kId) && file.remove(kId, &error) && !file.contains(kId));
        QCOMPARE(contentOf(at("Thunar/uca.xml")), kUserFile);
        tree.write("Thunar/uca.xml", "<actions>\n</actions>\n");
        QVERIFY2(file.install(ourAction(), &error), qPrintable(error));
        QCOMPARE(contentOf(at("Thunar/uca.xml.before-tarnwick")), kUserFile);
        tree.write("etc/xdg/Thunar/uca.xml", kUserFile);
        const ThunarActionsFile user(at("home/Thunar/uca.xml"),
                                     {at("etc/no/Thunar/uca.xml"), at("etc/xdg/Thunar/uca.xml")});
        QVERIFY(user.remove(kId, &error) && !QFile::exists(at("home/Thunar/uca.xml")));
        QVERIFY2(user.install(ourAction(), &error), qPrintable(error));
        QCOMPARE(texts(contentOf(at("home/Thunar/uca.xml")), "unique-id").size(), 2);
        QCOMPARE(contentOf(at("etc/xdg/Thunar/uca.xml")), kUserFile);
    }
};

// `tarnwick --install-file-manager-actions [--remove]`; the Nautilus script as Nautilus runs it.
class FileManagerActionsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TempTree> m_tree;
    static int command(bool remove = false) { return installFileManagerActions(remove); }
    QString at(const QByteArray& relative) const { return pathIn(*m_tree, relative); }
private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<TempTree>();
        qputenv("XDG_DATA_HOME", m_tree->pathOf("data"));
        qputenv("XDG_CONFIG_HOME", m_tree->pathOf("config"));
        qputenv("XDG_CONFIG_DIRS", m_tree->pathOf("etc-xdg"));
        m_tree->mkdir("data/nautilus");
        m_tree->write("config/Thunar/uca.xml", kUserFile);
        // No file manager programs on PATH: the folders above are what makes them present.
        qputenv("PATH", m_tree->pathOf("empty-bin"));
    }
    void installsAndRemovesWhatItCan() {
        QCOMPARE(command(), 0);
        const FileManagerActions actions = FileManagerActions::forThisUser();
        QCOMPARE(actions.presentFileManagers(), (QStringList{"Nautilus", "Thunar"}));
        QVERIFY(actions.isInstalled() && QFileInfo(at(kScript)).isExecutable());
        QCOMPARE(texts(contentOf(at("config/Thunar/uca.xml")), "unique-id").last(), kId);
        QCOMPARE(command(true), 0);
        QVERIFY(!FileManagerActions::forThisUser().isInstalled() && !QFile::exists(at(kScript)));
        QCOMPARE(contentOf(at("config/Thunar/uca.xml")), kUserFile);
        m_tree->write("config/Thunar/uca.xml", "<actions><action>");
        QCOMPARE(command(), 1);  // Nautilus still gets its script
        QCOMPARE(contentOf(at("config/Thunar/uca.xml")), QByteArray("<actions><action>"));
        QVERIFY(QFile::exists(at(kScript)) && QDir(at("config/Thunar")).removeRecursively());
        QCOMPARE(command(), 0);
        QCOMPARE(FileManagerActions::forThisUser().presentFileManagers(), QStringList{"Nautilus"});
        QVERIFY(!QFile::exists(at("config/Thunar")));
    }
    // Run in the shown folder, the script hands the selected folder, or else the shown one, on.
    void nautilusScriptSearchesTheSelectedOrShownFolder() {
        const QByteArray program = m_tree->pathOf("bin dir/it's tarnwick");  // must be quoted
        m_tree->write("bin dir/it's tarnwick",
                      "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + m_tree->pathOf("args") + "\"\n");
        QFile::setPermissions(at("bin dir/it's tarnwick"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_tree->mkdir("shown/sub folder"), m_tree->write("shown/file.txt");
        const QString script = at("scripts/Search");
        const NautilusScriptAction action(script, program);
        QString error;
        QVERIFY2(action.install(&error) && action.isInstalled(), qPrintable(error));
        const std::pair<QStringList, QByteArray> rows[] = {
            {{"file.txt", "sub folder"}, "shown/sub folder"},
            {{"file.txt"}, "shown"},
            {{}, "shown"}};
        for (const auto& [selection, folder] : rows) {
            QProcess process;
            process.setWorkingDirectory(at("shown"));
            process.start(script, selection);
            QVERIFY(process.waitForFinished(10000));
            QCOMPARE(contentOf(at("args")), m_tree->pathOf(folder) + '\n');
        }
        QVERIFY(action.remove(&error) && !QFile::exists(script));
        // A user's own script of that name is never overwritten or deleted.
        m_tree->write("scripts/Search", "#!/bin/sh\necho mine\n");
        QVERIFY(!action.isInstalled() && !action.install(&error) && action.remove(&error));
        QCOMPARE(contentOf(script), QByteArray("#!/bin/sh\necho mine\n"));
    }
};

// Each file the settings write, on a file system that is full at once (a 64 kB tmpfs) or
// mounted read-only: the old file stays whole, the writer says why, no temporary file is left.
class SafeWriteTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_mount;
    bool m_mounted = false;
    QString at(const QString& relative) const { return m_mount.filePath(relative); }
    void put(const QString& relative, const QByteArray& content) {
        QVERIFY(QDir().mkpath(QFileInfo(at(relative)).path()));
        QFile file(at(relative));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    void fill() {  // until the file system refuses a single further byte
        QFile filler(at("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(512, 'x')) > 0) {
        }
        while (filler.write("x", 1) > 0) {
        }
    }
    QStringList filesBeside(const QString& relative) const {
        return QDir(QFileInfo(at(relative)).path())
            .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
private Q_SLOTS:
    void init() {
        const QByteArray point = QFile::encodeName(m_mount.path());
        if (::mount("tarnwick-test", point.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP(qPrintable("mounting a 64 kB tmpfs was refused: "_L1 + qt_error_string()));
        m_mounted = true;
    }
    void cleanup() {
        if (m_mounted) ::umount2(QFile::encodeName(m_mount.path()).constData(), MNT_DETACH);
        m_mounted = false;
    }
    void keepsTheOldFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("readOnly");
        for (const char* file : {"settings", "autostart", "nautilus", "thunar"})
            for (const bool readOnly : {false, true})
                QTest::addRow("%s, %s", file, readOnly ? "read-only" : "full") << file << readOnly;
    }
    void keepsTheOldFile() {
        QFETCH(QString, file);
        QFETCH(bool, readOnly);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_mount.path());
        const QString script = u"nautilus/scripts/Search with Tarnwick"_s;
        const std::map<QString, std::pair<QString, std::function<QString()>>> writers{
            {u"settings"_s,
             {u"Tarnwick/Tarnwick.conf"_s,
              [] { return Preferences::setShowHiddenFiles(true).value_or(QString()); }}},
            {u"autostart"_s,
             {QString::fromLatin1(kEntry),
              [this] {
                  QString error;
                  writeAutostartEntry(at(u"template.desktop"_s), at(QString::fromLatin1(kEntry)),
                                      &error);
                  return error;
              }}},
            {u"nautilus"_s,
             {script,
              [this, script] {
                  QString error;
                  NautilusScriptAction(at(script), "/new/tarnwick").install(&error);
                  return error;
              }}},
            {u"thunar"_s,
             {u"Thunar/uca.xml"_s,
              [this] {
                  QString error;
                  ThunarActionsFile(at(u"Thunar/uca.xml"_s), {}).install(ourAction(), &error);
                  return error;
              }}},
        };
        const auto& [target, write] = writers.at(file);
        put(u"template.desktop"_s, kTemplate);
        put(u"Tarnwick/Tarnwick.conf"_s, "[General]\nshowHiddenFiles=false\n");
        put(QString::fromLatin1(kEntry), "[Desktop Entry]\nExec=old\n");
        put(u"Thunar/uca.xml"_s, kUserFile);
        put(u"Thunar/uca.xml.before-tarnwick"_s, kUserFile);
        QVERIFY(QDir().mkpath(QFileInfo(at(script)).path()) &&
                NautilusScriptAction(at(script), "/old/tarnwick").install(nullptr));
        const QByteArray before = contentOf(at(target));
        const QStringList beside = filesBeside(target);
        const auto mode = [&] {
            struct stat st {};
            ::stat(QFile::encodeName(at(target)).constData(), &st);
            return st.st_mode;
        };
        const mode_t modeBefore = mode();
        if (readOnly)
            QCOMPARE(::mount("tarnwick-test", QFile::encodeName(m_mount.path()).constData(),
                             nullptr, MS_REMOUNT | MS_RDONLY, nullptr),
                     0);
        else
            fill();
        const QString error = write();
        QVERIFY2(!error.isEmpty(), "a failed write must say so");
        QCOMPARE(contentOf(at(target)), before);
        QCOMPARE(mode(), modeBefore);  // the script still runs
        QCOMPARE(filesBeside(target), beside);
    }
};

TARNWICK_TEST(AppcastTest)
TARNWICK_TEST(UpdateManagerTest)
TARNWICK_TEST(LoginItemTest)
TARNWICK_TEST(LoginItemPermissionTest)
TARNWICK_TEST(SafeWriteTest)
TARNWICK_TEST(PackagedFilesTest)
TARNWICK_TEST(SettingsViewTest)
TARNWICK_TEST(ThunarActionsTest)
TARNWICK_TEST(FileManagerActionsTest)
#include "ShellTest.moc"

#include "AppcastTestFeeds.h"
#include "LocalHttpsServer.h"
#include "app/AppcastFetcher.h"
#include "tests/support/TestRunner.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;
using Response = LocalHttpsServer::Response;

// Downloading appcasts from a local HTTPS server that only this test's fetchers trust: what
// arrives, and what a broken or hostile server gets (errors, redirects to http, size, time).
class AppcastFetchTest : public QObject {
    Q_OBJECT
private:
    LocalHttpsServer m_server;

    struct Outcome {
        bool ok = false;
        QByteArray body;
        QString message;
    };

    Outcome fetch(const QByteArray& path, AppcastFetcher::Limits limits = {}) {
        AppcastFetcher fetcher;
        fetcher.setSslConfiguration(m_server.clientConfiguration());
        fetcher.setLimits(limits);
        return run(fetcher, m_server.url(path));
    }

    static Outcome run(AppcastFetcher& fetcher, const QUrl& url) {
        QSignalSpy fetched(&fetcher, &AppcastFetcher::fetched);
        QSignalSpy failed(&fetcher, &AppcastFetcher::failed);
        fetcher.fetch(url);
        if (!QTest::qWaitFor([&] { return fetched.count() + failed.count() > 0; }, 20000))
            return {false, {}, QStringLiteral("(no answer at all)")};
        // Exactly one report per fetch, also when the reply ends after a failure.
        QTest::qWait(50);
        if (fetched.count() + failed.count() != 1)
            return {false, {}, QStringLiteral("(two reports)")};
        if (!fetched.isEmpty()) return {true, fetched.front().front().toByteArray(), {}};
        return {false, {}, failed.front().front().toString()};
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
        m_server.route("/appcast.xml", Response{200, "OK", {}, appcastWith({"2.0"}), {}});
        m_server.route("/gone.xml", Response{404, "Not Found", {}, "<html>no</html>", {}});
        m_server.route("/broken.xml", Response{500, "Internal Server Error", {}, {}, {}});
        m_server.route(
            "/to-http.xml",
            Response{302, "Found", {{"Location", "http://127.0.0.1:9/appcast.xml"}}, {}, {}});
        m_server.route("/to-https.xml",
                       Response{301,
                                "Moved Permanently",
                                {{"Location", m_server.url("/appcast.xml").toEncoded()}},
                                {},
                                {}});
        m_server.route(
            "/loop.xml",
            Response{302, "Found", {{"Location", m_server.url("/loop.xml").toEncoded()}}, {}, {}});
        m_server.route(
            "/silent.xml",
            Response{200, "OK", {{"Content-Length", "5000"}}, {}, Response::Body::silent});
        m_server.route("/endless.xml", Response{200, "OK", {}, {}, Response::Body::endless});
        m_server.route(
            "/announced-huge.xml",
            Response{200, "OK", {{"Content-Length", "5000000000"}}, {}, Response::Body::silent});
    }

    void deliversTheBody() {
        const Outcome outcome = fetch("/appcast.xml");
        QVERIFY2(outcome.ok, qPrintable(outcome.message));
        QCOMPARE(outcome.body, appcastWith({"2.0"}));
    }

    void reportsHttpErrors() {
        Outcome outcome = fetch("/gone.xml");
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.message.contains(QLatin1String("HTTP 404 Not Found")),
                 qPrintable(outcome.message));
        outcome = fetch("/broken.xml");
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.message.contains(QLatin1String("HTTP 500")), qPrintable(outcome.message));
    }

    void refusesARedirectToHttp() {
        const Outcome outcome = fetch("/to-http.xml");
        QVERIFY(!outcome.ok);
        QVERIFY2(
            outcome.message.contains(QLatin1String("refusing the redirect to http://127.0.0.1:9/")),
            qPrintable(outcome.message));
    }

    void followsARedirectToHttps() {
        const int before = int(m_server.requests().size());
        const Outcome outcome = fetch("/to-https.xml");
        QVERIFY2(outcome.ok, qPrintable(outcome.message));
        QCOMPARE(outcome.body, appcastWith({"2.0"}));
        QCOMPARE(m_server.requests().mid(before),
                 (QList<QByteArray>{"/to-https.xml", "/appcast.xml"}));
    }

    void stopsARedirectLoop() {
        const Outcome outcome = fetch("/loop.xml");
        QVERIFY(!outcome.ok);
        // At most the allowed redirects, each maybe sent twice (Qt resends a request once when
        // the server closes the connection under it).
        QVERIFY(m_server.requests().count("/loop.xml") <= 2 * 6);
    }

    void refusesPlainHttpAddresses() {
        AppcastFetcher fetcher;
        const int before = int(m_server.requests().size());
        const Outcome refused = run(fetcher, QUrl("http://127.0.0.1:9/appcast.xml"));
        QVERIFY(!refused.ok);
        QVERIFY2(refused.message.contains(QLatin1String("only https")),
                 qPrintable(refused.message));
        QCOMPARE(m_server.requests().size(), before);
    }

    void givesUpOnASilentServerAtTheDeadline() {
        QElapsedTimer clock;
        clock.start();
        const Outcome outcome = fetch("/silent.xml", {1 << 20, 700, 5});
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.message.contains(QLatin1String("did not answer within 0.7 seconds")),
                 qPrintable(outcome.message));
        QVERIFY(clock.elapsed() < 10000);
    }

    void capsAnEndlessBody() {
        const Outcome outcome = fetch("/endless.xml", {256 * 1024, 15000, 5});
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.message.contains(QLatin1String("larger than")),
                 qPrintable(outcome.message));
    }

    void refusesAnAnnouncedHugeBodyAtOnce() {
        const Outcome outcome = fetch("/announced-huge.xml", {1 << 20, 15000, 5});
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.message.contains(QLatin1String("more than")), qPrintable(outcome.message));
    }

    void trustsTheTestCertificateOnlyWhenTold() {
        AppcastFetcher fetcher;  // the system's trust store, which has never seen this certificate
        const Outcome outcome = run(fetcher, m_server.url("/appcast.xml"));
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.message.contains(QLatin1String("SSL"), Qt::CaseInsensitive) ||
                     outcome.message.contains(QLatin1String("certificate"), Qt::CaseInsensitive),
                 qPrintable(outcome.message));
    }

    void aNewFetchReplacesTheRunningOne() {
        AppcastFetcher fetcher;
        fetcher.setSslConfiguration(m_server.clientConfiguration());
        QSignalSpy fetched(&fetcher, &AppcastFetcher::fetched);
        QSignalSpy failed(&fetcher, &AppcastFetcher::failed);
        fetcher.fetch(m_server.url("/silent.xml"));
        fetcher.fetch(m_server.url("/appcast.xml"));
        QVERIFY(QTest::qWaitFor([&] { return !fetched.isEmpty(); }, 20000));
        QTest::qWait(100);
        QCOMPARE(fetched.count(), 1);
        QCOMPARE(failed.count(), 0);
    }
};

TARNWICK_TEST(AppcastFetchTest)
#include "AppcastFetchTest.moc"

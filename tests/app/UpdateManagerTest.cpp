#include "AppcastTestFeeds.h"
#include "LocalHttpsServer.h"
#include "app/AppcastDialog.h"
#include "app/AppcastSchedule.h"
#include "app/UpdateManager.h"
#include "tests/support/TestRunner.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;
using Response = LocalHttpsServer::Response;

// The update checker as the application uses it, against a local HTTPS server: the schedule
// (nothing at first start, a day later, overdue checks), reminders for scheduled finds, the
// dialog of a check the user asked for, and what its answers store.
class UpdateManagerTest : public QObject {
    Q_OBJECT
private:
    LocalHttpsServer m_server;
    QTemporaryDir m_settingsDir;

    std::unique_ptr<UpdateManager> manager(const char* running = "1.0") {
        auto updates = std::make_unique<UpdateManager>(
            UpdateManager::Setup{m_server.url("/appcast.xml"), QString::fromLatin1(running), 0});
        updates->fetcher().setSslConfiguration(m_server.clientConfiguration());
        updates->fetcher().setLimits({1 << 20, 5000, 5});
        return updates;
    }

    static bool waitForCheck(UpdateManager& updates) {
        QSignalSpy finished(&updates, &UpdateManager::checkFinished);
        return finished.wait(20000);
    }

    static QString dialogText(const UpdateManager& updates) {
        QStringList texts;
        for (const QLabel* label : updates.dialog()->findChildren<QLabel*>())
            if (label->isVisibleTo(updates.dialog())) texts << label->text();
        return texts.join(QLatin1Char('\n'));
    }

    static void press(const UpdateManager& updates, const QString& button) {
        for (QPushButton* candidate : updates.dialog()->findChildren<QPushButton*>())
            if (candidate->text().remove(QLatin1Char('&')) == button) return candidate->click();
        QFAIL(qPrintable("no button " + button));
    }

    void serve(const QByteArray& feed) {
        m_server.route("/appcast.xml", Response{200, "OK", {}, feed, {}});
    }

    static void setLastCheck(qint64 hoursAgo) {
        AppcastPreferences::setLastCheck(QDateTime::currentDateTimeUtc().addSecs(-hoursAgo * 3600));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
    }

    void init() {
        QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick")).clear();
        serve(appcastWith({"1.0", "2.0"}));
    }

    void firstStartAsksNothingAndWaitsADay() {
        const auto before = m_server.requests().size();
        auto updates = manager();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        updates->start();
        QTest::qWait(300);
        QCOMPARE(m_server.requests().size(), before);
        QVERIFY(AppcastPreferences::lastCheck().has_value());
        QVERIFY(qAbs(updates->nextScheduledCheck().secsTo(now.addDays(1))) < 5);

        // A restart within that day neither checks nor moves the day.
        auto restarted = manager();
        restarted->start();
        QTest::qWait(300);
        QCOMPARE(m_server.requests().size(), before);
        QVERIFY(qAbs(restarted->nextScheduledCheck().secsTo(now.addDays(1))) < 5);
    }

    void anOverdueCheckRunsAndRemindsGently() {
        setLastCheck(30);
        auto updates = manager();
        QSignalSpy found(updates.get(), &UpdateManager::updateFound);
        updates->start();
        QVERIFY(waitForCheck(*updates));
        QCOMPARE(found.count(), 1);
        QCOMPARE(found.front().front().toString(), QStringLiteral("2.0"));
        QVERIFY(updates->updateAvailable());
        // A reminder, not a window.
        QVERIFY(!updates->dialog() || !updates->dialog()->isVisible());
        QVERIFY(qAbs(updates->nextScheduledCheck().secsTo(
                    QDateTime::currentDateTimeUtc().addDays(1))) < 5);
    }

    void aScheduledCheckKeepsQuietWhenUpToDateOrFailing() {
        setLastCheck(25);
        serve(appcastWith({"0.9", "1.0.0"}));
        auto updates = manager();
        QSignalSpy found(updates.get(), &UpdateManager::updateFound);
        updates->start();
        QVERIFY(waitForCheck(*updates));
        setLastCheck(25);
        serve("<rss><channel><item>");
        auto again = manager();
        QSignalSpy foundAgain(again.get(), &UpdateManager::updateFound);
        again->start();
        QVERIFY(waitForCheck(*again));
        QCOMPARE(found.count() + foundAgain.count(), 0);
        QVERIFY(!updates->dialog() && !again->dialog());
    }

    void aScheduledCheckSkipsTheSkippedVersionButTheUserStillSeesIt() {
        AppcastPreferences::setSkippedVersion(QStringLiteral("2.0.0"));
        setLastCheck(48);
        auto updates = manager();
        QSignalSpy found(updates.get(), &UpdateManager::updateFound);
        updates->start();
        QVERIFY(waitForCheck(*updates));
        QCOMPARE(found.count(), 0);
        QVERIFY(!updates->updateAvailable());

        updates->checkForUpdates();
        QVERIFY(waitForCheck(*updates));
        QVERIFY(updates->dialog()->isVisible());
        QVERIFY2(dialogText(*updates).contains(QLatin1String("Tarnwick 2.0 is now available")),
                 qPrintable(dialogText(*updates)));
    }

    void aNewerVersionIsOfferedUntilAnswered() {
        auto updates = manager();
        QSignalSpy availability(updates.get(), &UpdateManager::updateAvailableChanged);
        updates->checkForUpdates();
        QVERIFY(updates->dialog()->isVisible());
        QVERIFY(dialogText(*updates).contains(QLatin1String("Checking for updates")));
        QVERIFY(waitForCheck(*updates));
        QVERIFY2(
            dialogText(*updates).contains(QLatin1String("A new version of Tarnwick is available!")),
            qPrintable(dialogText(*updates)));
        QVERIFY(dialogText(*updates).contains(QLatin1String("you have 1.0")));
        QVERIFY(updates->updateAvailable());

        press(*updates, QStringLiteral("Remind Me Later"));
        QVERIFY(!updates->updateAvailable());
        QVERIFY(!updates->dialog()->isVisible());
        QCOMPARE(availability.count(), 2);
        QVERIFY(AppcastPreferences::skippedVersion().isEmpty());
    }

    void skippingStoresTheVersion() {
        auto updates = manager();
        updates->checkForUpdates();
        QVERIFY(waitForCheck(*updates));
        press(*updates, QStringLiteral("Skip This Version"));
        QCOMPARE(AppcastPreferences::skippedVersion(), QStringLiteral("2.0"));
        QVERIFY(!updates->updateAvailable());
    }

    void closingTheDialogCountsAsRemindMeLater() {
        auto updates = manager();
        updates->checkForUpdates();
        QVERIFY(waitForCheck(*updates));
        QVERIFY(updates->updateAvailable());
        updates->dialog()->reject();
        QVERIFY(!updates->updateAvailable());
        QVERIFY(AppcastPreferences::skippedVersion().isEmpty());
    }

    void sameOrOlderIsUpToDate_data() {
        QTest::addColumn<QString>("running");
        QTest::newRow("same") << "2.0.0";
        QTest::newRow("older feed") << "2.1";
    }
    void sameOrOlderIsUpToDate() {
        QFETCH(QString, running);
        auto updates = manager(qPrintable(running));
        updates->checkForUpdates();
        QVERIFY(waitForCheck(*updates));
        QVERIFY2(dialogText(*updates).contains(QLatin1String("You're up to date!")),
                 qPrintable(dialogText(*updates)));
        QVERIFY(dialogText(*updates).contains(
            QStringLiteral("Tarnwick %1 is currently the newest").arg(running)));
        QVERIFY(!updates->updateAvailable());
    }

    void failuresAreShownToTheUser_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<QString>("message");
        QTest::newRow("malformed")
            << QByteArray("/appcast.xml") << QByteArray("<rss><channel>") << "not well-formed";
        QTest::newRow("missing") << QByteArray("/nothing-here.xml") << QByteArray() << "HTTP 404";
    }
    void failuresAreShownToTheUser() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, feed);
        QFETCH(QString, message);
        if (!feed.isEmpty()) serve(feed);
        QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick"))
            .setValue(QStringLiteral("updateFeedURL"), m_server.url(path).toString());
        auto updates = manager();
        updates->checkForUpdates();
        QVERIFY(waitForCheck(*updates));
        QVERIFY2(dialogText(*updates).contains(QLatin1String("Update Error!")),
                 qPrintable(dialogText(*updates)));
        QVERIFY2(dialogText(*updates).contains(message), qPrintable(dialogText(*updates)));
        QVERIFY(!updates->updateAvailable());
    }

    void cancellingACheckIgnoresItsAnswer() {
        m_server.route("/slow.xml", Response{200, "OK", {}, {}, Response::Body::silent});
        QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick"))
            .setValue(QStringLiteral("updateFeedURL"), m_server.url("/slow.xml").toString());
        auto updates = manager();
        QSignalSpy finished(updates.get(), &UpdateManager::checkFinished);
        updates->checkForUpdates();
        press(*updates, QStringLiteral("Cancel"));
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

TARNWICK_TEST(UpdateManagerTest)
#include "UpdateManagerTest.moc"

#include "platform/portal/PortalGlobalShortcut.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;
const QString kShortcuts = u"org.freedesktop.portal.GlobalShortcuts"_s;
const QString kSession = u"/org/freedesktop/portal/desktop/session/1_1/t"_s;

ShortcutKey controlShiftSpace() {
    ShortcutKey key;
    key.keysym = 0x20;
    key.keysymName = u"space"_s;
    key.control = key.shift = true;
    key.description = u"Search File Manager Window"_s;
    return key;
}

}  // namespace

// The shortcut through a scripted GlobalShortcuts portal on a private bus: session, binding with
// our trigger, activations of our shortcut only, refusals and a desktop without the interface.
class PortalShortcutTest : public QObject {
    Q_OBJECT

    PrivateSessionBus m_bus;
    std::unique_ptr<FakeBusService> m_portal;
    int m_serial = 0;
    int m_activations = 0;

    // A request-style call: answered now with the Request path made from the call's
    // handle_token, whose Response signal follows, as portals do.
    FakeBusService::Handler respond(uint code, QVariantMap results, int optionsArgument) {
        return [=, this](const QDBusMessage& call) {
            QVariantMap options;
            call.arguments().value(optionsArgument).value<QDBusArgument>() >> options;
            const QString path = u"/org/freedesktop/portal/desktop/request/%1/%2"_s.arg(
                call.service().mid(1).replace(u'.', u'_'),
                options.value(u"handle_token"_s).toString());
            QTimer::singleShot(0, m_portal.get(), [=, this] {
                m_portal->emitSignal(path, u"org.freedesktop.portal.Request"_s, u"Response"_s,
                                     {code, results});
            });
            return FakeBusService::answer({QVariant::fromValue(QDBusObjectPath(path))});
        };
    }

    void servePortal(uint bindCode, bool withInterface = true) {
        m_portal = std::make_unique<FakeBusService>(m_bus.connect(u"portal%1"_s.arg(++m_serial)));
        QVERIFY(m_portal->serve(u"org.freedesktop.portal.Desktop"_s));
        if (withInterface)
            m_portal->onCall(kPortalPath, kShortcuts, u"CreateSession"_s,
                             respond(0, {{u"session_handle"_s, kSession}}, 0));
        m_portal->onCall(kPortalPath, kShortcuts, u"BindShortcuts"_s, respond(bindCode, {}, 3));
    }

public Q_SLOTS:
    void activated() { ++m_activations; }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
    }

    void bindsOurShortcutAndHearsOnlyItsActivations() {
        servePortal(0);
        PortalGlobalShortcut shortcut(m_bus.connect(u"app"_s));
        QVERIFY(m_bus.connect(u"app"_s).connect({}, kPortalPath, kShortcuts, u"Activated"_s, this,
                                                SLOT(activated())));
        QSignalSpy pressed(&shortcut, &GlobalShortcut::pressed);
        shortcut.registerKey(controlShiftSpace());
        QTRY_COMPARE(shortcut.sessionHandle(), kSession);
        const QVariantList bind = m_portal->calls(u"BindShortcuts"_s).value(0).arguments();
        QCOMPARE(bind.value(0).value<QDBusObjectPath>().path(), kSession);
        const QDBusArgument list = bind.value(1).value<QDBusArgument>();
        QCOMPARE(list.currentSignature(), u"a(sa{sv})"_s);
        QString id;
        QVariantMap properties;
        list.beginArray();
        list.beginStructure();
        list >> id >> properties;
        QCOMPARE(id, u"activate-search"_s);
        QCOMPARE(properties.value(u"preferred_trigger"_s).toString(), u"CTRL+SHIFT+space"_s);
        QCOMPARE(properties.value(u"description"_s).toString(), u"Search File Manager Window"_s);

        // Ours, another shortcut, ours in another session, ours again.
        for (const auto& [session, shortcutId] :
             {std::pair(kSession, id), std::pair(kSession, u"something-else"_s),
              std::pair(kSession + u"x"_s, id), std::pair(kSession, id)})
            m_portal->emitSignal(kPortalPath, kShortcuts, u"Activated"_s,
                                 {QVariant::fromValue(QDBusObjectPath(session)), shortcutId,
                                  qulonglong(1), QVariantMap()});
        // Once all reached this process through the app's connection, the shortcut has them.
        QTRY_COMPARE(m_activations, 4);
        QCoreApplication::processEvents();
        QCOMPARE(pressed.size(), 2);

        shortcut.unregisterKey();
        QTRY_COMPARE(m_portal->callCount(u"Close"_s), 1);
        QVERIFY(shortcut.sessionHandle().isEmpty());
    }

    void refusals_data() {
        QTest::addColumn<bool>("withInterface");
        QTest::addColumn<uint>("bindCode");
        QTest::addColumn<int>("failure");  // -1: none
        QTest::newRow("the user cancels the desktop's dialog") << true << 1u << 1;
        QTest::newRow("no GlobalShortcuts on this desktop") << false << 0u << -1;
    }
    void refusals() {
        QFETCH(bool, withInterface);
        QFETCH(uint, bindCode);
        QFETCH(int, failure);
        servePortal(bindCode, withInterface);
        PortalGlobalShortcut shortcut(m_bus.connect(u"app"_s));
        QSignalSpy failed(&shortcut, &GlobalShortcut::registrationFailed);
        QSignalSpy unavailable(&shortcut, &GlobalShortcut::unavailable);
        shortcut.registerKey(controlShiftSpace());
        QTRY_COMPARE(failed.size() + unavailable.size(), 1);
        QCOMPARE(unavailable.size(), failure < 0 ? 1 : 0);
        if (failure >= 0) QCOMPARE(failed.at(0).at(0).toInt(), failure);
    }
};

TARNWICK_TEST(PortalShortcutTest)
#include "PortalShortcutTest.moc"

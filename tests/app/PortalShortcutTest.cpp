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

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kSessionPath = QStringLiteral("/org/freedesktop/portal/desktop/session/1_1/t");

// The Request path the portal makes for a call's handle_token.
QString requestPath(const QDBusMessage& call, const QVariantMap& options) {
    QString sender = call.service().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
        .arg(sender, options.value(QStringLiteral("handle_token")).toString());
}

QVariantMap optionsOf(const QVariant& value) {
    QVariantMap map;
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        value.value<QDBusArgument>() >> map;
    else
        map = value.toMap();
    return map;
}

ShortcutKey controlShiftSpace() {
    ShortcutKey key;
    key.keysym = 0x20;
    key.keysymName = QStringLiteral("space");
    key.control = key.shift = true;
    key.description = QStringLiteral("Search File Manager Window");
    return key;
}

}  // namespace

// The shortcut through a scripted GlobalShortcuts portal: session, binding with our trigger,
// activations of our shortcut only, refusals and a desktop without the interface.
class PortalShortcutTest : public QObject {
    Q_OBJECT
private:
    PrivateSessionBus m_bus;
    std::unique_ptr<FakeBusService> m_portal;
    uint m_bindResponse = 0;
    QVariantMap m_boundShortcut;
    int m_serial = 0;

    // Answers a request-style call now and sends its Response right after, as portals do.
    FakeBusService::Handler respond(std::function<uint()> code, QVariantMap results,
                                    int optionsArgument) {
        return [this, code, results, optionsArgument](const QDBusMessage& call) {
            const QString path =
                requestPath(call, optionsOf(call.arguments().value(optionsArgument)));
            const uint status = code();
            QTimer::singleShot(0, m_portal.get(), [this, path, status, results] {
                m_portal->emitSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                     QStringLiteral("Response"), {status, results});
            });
            return FakeBusService::answer({QVariant::fromValue(QDBusObjectPath(path))});
        };
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
    }
    void init() {
        m_bindResponse = 0;
        m_portal = std::make_unique<FakeBusService>(
            m_bus.connect(QStringLiteral("portal%1").arg(++m_serial)));
        QVERIFY(m_portal->serve(kPortal));
        m_portal->onCall(
            kPortalPath, kShortcuts, QStringLiteral("CreateSession"),
            respond([] { return 0u; }, {{QStringLiteral("session_handle"), kSessionPath}}, 0));
        m_portal->onCall(kPortalPath, kShortcuts, QStringLiteral("BindShortcuts"),
                         respond([this] { return m_bindResponse; }, {}, 3));
    }
    void cleanup() { m_portal.reset(); }

    void bindsOurShortcutWithTheStoredTrigger() {
        PortalGlobalShortcut shortcut(m_bus.connect(QStringLiteral("app")));
        shortcut.registerKey(controlShiftSpace());
        QTRY_COMPARE(m_portal->callCount(QStringLiteral("BindShortcuts")), 1);
        const QDBusMessage bind = m_portal->calls(QStringLiteral("BindShortcuts")).first();
        QCOMPARE(bind.arguments().value(0).value<QDBusObjectPath>().path(), kSessionPath);
        QCOMPARE(bind.arguments().value(1).value<QDBusArgument>().currentSignature(),
                 QStringLiteral("a(sa{sv})"));
        const QDBusArgument list = bind.arguments().value(1).value<QDBusArgument>();
        list.beginArray();
        list.beginStructure();
        QString id;
        QVariantMap properties;
        list >> id >> properties;
        list.endStructure();
        list.endArray();
        QCOMPARE(id, QStringLiteral("activate-search"));
        QCOMPARE(properties.value(QStringLiteral("preferred_trigger")).toString(),
                 QStringLiteral("CTRL+SHIFT+space"));
        QCOMPARE(properties.value(QStringLiteral("description")).toString(),
                 QStringLiteral("Search File Manager Window"));
        QCOMPARE(shortcut.sessionHandle(), kSessionPath);
    }

    void onlyOurActivationsArePresses() {
        PortalGlobalShortcut shortcut(m_bus.connect(QStringLiteral("app")));
        QSignalSpy pressed(&shortcut, &GlobalShortcut::pressed);
        shortcut.registerKey(controlShiftSpace());
        QTRY_COMPARE(shortcut.sessionHandle(), kSessionPath);
        auto activate = [this](const QString& session, const QString& id) {
            m_portal->emitSignal(
                kPortalPath, kShortcuts, QStringLiteral("Activated"),
                {QVariant::fromValue(QDBusObjectPath(session)), id, qulonglong(1), QVariantMap()});
        };
        activate(kSessionPath, QStringLiteral("activate-search"));
        activate(kSessionPath, QStringLiteral("something-else"));
        activate(QStringLiteral("/org/freedesktop/portal/desktop/session/1_1/other"),
                 QStringLiteral("activate-search"));
        activate(kSessionPath, QStringLiteral("activate-search"));
        QTRY_COMPARE(pressed.size(), 2);
        QTest::qWait(100);
        QCOMPARE(pressed.size(), 2);
    }

    void refusedBindingIsAFailureWithTheResponseCode() {
        m_bindResponse = 1;  // the user cancelled the desktop's dialog
        PortalGlobalShortcut shortcut(m_bus.connect(QStringLiteral("app")));
        QSignalSpy failed(&shortcut, &GlobalShortcut::registrationFailed);
        shortcut.registerKey(controlShiftSpace());
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toInt(), 1);
    }

    void unregisteringClosesTheSession() {
        m_portal->onCall(kSessionPath, QStringLiteral("org.freedesktop.portal.Session"),
                         QStringLiteral("Close"),
                         [](const QDBusMessage&) { return FakeBusService::answer(); });
        PortalGlobalShortcut shortcut(m_bus.connect(QStringLiteral("app")));
        shortcut.registerKey(controlShiftSpace());
        QTRY_COMPARE(shortcut.sessionHandle(), kSessionPath);
        shortcut.unregisterKey();
        QTRY_COMPARE(m_portal->callCount(QStringLiteral("Close")), 1);
        QVERIFY(shortcut.sessionHandle().isEmpty());
    }

    void desktopWithoutTheInterfaceIsUnavailable() {
        m_portal->onCall(kPortalPath, kShortcuts, QStringLiteral("CreateSession"),
                         [](const QDBusMessage&) {
                             return FakeBusService::error(
                                 QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"));
                         });
        PortalGlobalShortcut shortcut(m_bus.connect(QStringLiteral("app")));
        QSignalSpy unavailable(&shortcut, &GlobalShortcut::unavailable);
        QSignalSpy failed(&shortcut, &GlobalShortcut::registrationFailed);
        shortcut.registerKey(controlShiftSpace());
        QTRY_COMPARE(unavailable.size(), 1);
        QCOMPARE(failed.size(), 0);
    }
};

TARNWICK_TEST(PortalShortcutTest)
#include "PortalShortcutTest.moc"

#include "PlatformTest.h"
#include "RecordingOpener.h"
#include "core/FileUri.h"
#include "platform/dbus/FileManager1Reveal.h"
#include "platform/dbus/ReportedFolderSource.h"
#include "platform/portal/PortalGlobalShortcut.h"
#include "platform/x11/X11FrontFolderSource.h"
#include "tests/support/TempTree.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kFileManager = u"org.freedesktop.FileManager1"_s;
const QString kManagerPath = u"/org/freedesktop/FileManager1"_s;
const QString kWindows = u"OpenWindowsWithLocations"_s;
const QString kWindow1 = u"/org/gnome/Nautilus/window/1"_s;
const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;
const QString kShortcuts = u"org.freedesktop.portal.GlobalShortcuts"_s;
const QString kSession = u"/org/freedesktop/portal/desktop/session/1_1/t"_s;

// The source's answer, waited for: the folder, "none", or "no answer" when none came in time.
QByteArray ask(FrontFolderSource& source) {
    auto answer = std::make_shared<QByteArray>("no answer");
    source.requestFrontFolder([answer](auto folder) { *answer = folder.value_or("none"); });
    [[maybe_unused]] bool given = QTest::qWaitFor([&] { return *answer != "no answer"; }, 4000);
    return *answer;
}

// Scripted desktop services, each on a connection of its own to a private session bus.
class BusTest : public QObject {
    Q_OBJECT
protected:
    PrivateSessionBus m_bus;
    int m_serial = 0;
    std::unique_ptr<FakeBusService> fake(const QString& name) {
        auto service = std::make_unique<FakeBusService>(m_bus.connect(u"fake%1"_s.arg(++m_serial)));
        return service->serve(name) ? std::move(service) : nullptr;
    }
private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
    }
};

using Nautilus = std::tuple<QVariant, QByteArray, bool>;
using Reported = std::tuple<int, QString, QByteArray>;
enum class Manager { absent, answers, refuses, silent };

}  // namespace

// The front folder as file managers tell it over D-Bus: Nautilus's window locations, Dolphin's
// confirmation of its title, KWin's window stack and what Wayland allows, with answers of the
// wrong shape or none at all. Which window or tab is meant is the rules' test; here: that the
// questions are asked and the answers read.
class FileManagerQueryTest : public BusTest {
    Q_OBJECT
    TempTree m_tree;
    const QByteArray m_music = m_tree.pathOf("Music");
    const QByteArray m_photos = m_tree.pathOf("Photos \xc3\xa9t\xc3\xa9");
    std::unique_ptr<FakeBusService> m_fileManager;
    QVariant windows(const QByteArray& folder) const {
        return QVariant::fromValue(
            QMap<QString, QStringList>{{kWindow1, {fileUriFromPath(folder)}}});
    }
    std::unique_ptr<X11FrontFolderSource> x11Seeing(const WindowFacts& window) {
        auto source = std::make_unique<X11FrontFolderSource>(m_bus.connect(u"client"_s));
        source->readStack = [window] { return std::optional(WindowStack{{window}, {}}); };
        return source;
    }
    // Dolphin (pid 4242) with two windows; the second shows `open`, compared as Dolphin does:
    // exactly, trailing slash included.
    std::unique_ptr<FakeBusService> dolphin(const QString& open) {
        auto dolphin = fake(u"org.kde.dolphin-4242"_s);
        dolphin->setIntrospection(u"/dolphin"_s,
                                  u"<node name='Dolphin_1'/><node name='Dolphin_2'/>"_s);
        for (const QString& window : {u"Dolphin_1"_s, u"Dolphin_2"_s})
            dolphin->onCall(u"/dolphin/"_s + window, u"org.kde.dolphin.MainWindow"_s,
                            u"isUrlOpen"_s, [=](const QDBusMessage& call) {
                                return FakeBusService::answer(
                                    {window == u"Dolphin_2" && call.arguments()[0] == open});
                            });
        return dolphin;
    }
    // KWin that runs our script by calling back with `report` as the window stack.
    std::unique_ptr<FakeBusService> kwin(const QString& report) {
        auto kwin = fake(u"org.kde.KWin"_s);
        auto script = std::make_shared<QString>();
        kwin->onCall(u"/Scripting"_s, u"org.kde.kwin.Scripting"_s, u"loadScript"_s,
                     [script](const QDBusMessage& call) {
                         QFile file(call.arguments().value(0).toString());
                         *script = file.open(QIODevice::ReadOnly) ? file.readAll() : QString();
                         return FakeBusService::answer({7});
                     });
        kwin->onCall(
            u"/Scripting/Script7"_s, u"org.kde.kwin.Script"_s, u"run"_s,
            [service = kwin.get(), script, report](const QDBusMessage&) {
                // callDBus("service", "path", "interface", "report", "token", ...)
                const QRegularExpression pattern(
                    uR"re(callDBus\("([^"]+)", "([^"]+)", "([^"]+)", "report", "([^"]+)")re"_s);
                const auto call = pattern.match(*script);
                service->connection().send(
                    QDBusMessage::createMethodCall(call.captured(1), call.captured(2),
                                                   call.captured(3), u"report"_s)
                    << call.captured(4) << report);
                return FakeBusService::answer();
            });
        return kwin;
    }
private Q_SLOTS:
    void init() {
        m_tree.mkdir("Music");
        m_tree.mkdir("Photos \xc3\xa9t\xc3\xa9");
        QVERIFY(m_fileManager = fake(kFileManager));  // a fresh unique name
    }
    void cleanup() { m_fileManager.reset(); }
    // On X11 the front window carries GTK's properties; its file manager lists its windows.
    void nautilusWindow_data() {  // reported (invalid: no answer ever), class, found
        const QByteArray nautilus = "org.gnome.Nautilus";
        const QMap<QString, QStringList> unlisted{{u"/w/9"_s, {fileUriFromPath(m_music)}}};
        table<Nautilus>({
            {"its only tab", {windows(m_music), nautilus, true}},
            {"another GTK application", {windows(m_music), "Gedit", false}},
            {"window not listed", {QVariant::fromValue(unlisted), nautilus, false}},
            {"folder gone", {windows(m_music + "/gone"), nautilus, false}},
            {"wrong shape", {QVariant(u"a string"_s), nautilus, false}},
            // Given up by the deadline, far from the bus's own 25-second time-out.
            {"silence", {QVariant(), nautilus, false}},
        });
    }
    void nautilusWindow() {
        const auto& [reported, className, found] = row<Nautilus>();
        m_fileManager->setProperty(kManagerPath, kFileManager, kWindows, reported);
        if (!reported.isValid())
            m_fileManager->onCall(kManagerPath, u"org.freedesktop.DBus.Properties"_s, u"Get"_s,
                                  [](auto&) { return FakeBusService::silence(); });
        const QByteArray owner = m_fileManager->uniqueName().toUtf8();
        QCOMPARE(ask(*x11Seeing({.className = className,
                                 .title = "Music",
                                 .gtkObjectPath = kWindow1.toUtf8(),
                                 .gtkUniqueBusName = className == "Gedit" ? ":1.999" : owner})),
                 found ? m_music : "none");
        QCOMPARE(m_fileManager->callCount(u"Get"_s) > 0, className != "Gedit");
    }
    void dolphinConfirmsTheTitlesPath_data() {
        table<std::tuple<QString>>({
            {"open in a window", {fileUriFromPath(m_photos)}},
            // How Dolphin keeps a folder reached by going up or back, or typed in its location bar.
            {"open with a trailing slash", {fileUriFromPath(m_photos) + u'/'}},
            {"not open anywhere", {QString()}},
        });
    }
    void dolphinConfirmsTheTitlesPath() {
        const auto& [open] = row<std::tuple<QString>>();
        const auto service = dolphin(open);
        const WindowFacts window{
            .pid = 4242, .className = "dolphin", .title = m_photos + " \xe2\x80\x94 Dolphin"};
        QCOMPARE(ask(*x11Seeing(window)), open.isEmpty() ? "none" : m_photos);
        QVERIFY(service->callCount(u"isUrlOpen"_s) > 0);
    }
    // On Wayland: what the file manager reports, after KWin's window stack on Plasma.
    void reportedFolder_data() {  // plasma (0: no, 1: without KWin, 2: KWin tells Dolphin's)
        table<Reported>({
            {"the only window", {0, kWindows, m_photos}},
            {"open locations", {0, u"OpenLocations"_s, m_photos}},
            {"no file manager", {0, QString(), "none"}},
            {"plasma without KWin", {1, kWindows, m_photos}},
            {"plasma: KWin's stack", {2, kWindows, m_music}},
        });
    }
    void reportedFolder() {
        const auto& [plasma, property, folder] = row<Reported>();
        if (property.isEmpty())
            m_fileManager.reset();
        else
            m_fileManager->setProperty(kManagerPath, kFileManager, property,
                                       property == kWindows
                                           ? windows(m_photos)
                                           : QVariant(QStringList{fileUriFromPath(m_photos)}));
        std::unique_ptr<FakeBusService> dolphin, kwin;
        if (plasma == 2) {
            dolphin = this->dolphin(fileUriFromPath(m_music));
            kwin = this->kwin(
                uR"([{"caption": "Search", "resourceClass": "tarnwick", "pid": %1},
                {"caption": "%2 — Dolphin", "resourceClass": "dolphin", "pid": 4242}])"_s
                    .arg(QCoreApplication::applicationPid())
                    .arg(QFile::decodeName(m_music)));
        }
        ReportedFolderSource source(m_bus.connect(u"client"_s), plasma > 0);
        QCOMPARE(ask(source), folder);
        if (kwin) QTRY_COMPARE(kwin->callCount(u"unloadScript"_s), 1);
    }
};

// The shortcut through a scripted GlobalShortcuts portal: session, binding with our trigger,
// activations of our shortcut only, refusals and a desktop without the interface.
class PortalShortcutTest : public BusTest {
    Q_OBJECT
    std::unique_ptr<FakeBusService> m_portal;
    int m_activations = 0;
    static inline const ShortcutKey kKey{.keysym = 0x20,
                                         .keysymName = u"space"_s,
                                         .control = true,
                                         .shift = true,
                                         .description = u"Search File Manager Window"_s};
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
        m_portal.reset();  // the name is free again
        QVERIFY(m_portal = fake(u"org.freedesktop.portal.Desktop"_s));
        if (withInterface)
            m_portal->onCall(kPortalPath, kShortcuts, u"CreateSession"_s,
                             respond(0, {{u"session_handle"_s, kSession}}, 0));
        m_portal->onCall(kPortalPath, kShortcuts, u"BindShortcuts"_s, respond(bindCode, {}, 3));
    }
public Q_SLOTS:
    void activated() { ++m_activations; }
private Q_SLOTS:
    void bindsOurShortcutAndHearsOnlyItsActivations() {
        servePortal(0);
        PortalGlobalShortcut shortcut(m_bus.connect(u"app"_s));
        QVERIFY(m_bus.connect(u"app"_s).connect({}, kPortalPath, kShortcuts, u"Activated"_s, this,
                                                SLOT(activated())));
        QSignalSpy pressed(&shortcut, &GlobalShortcut::pressed);
        shortcut.registerKey(kKey);
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
    void refusals_data() {  // with the interface, the bind's response code, failure (-1: none)
        table<std::tuple<bool, uint, int>>({
            {"the user cancels the desktop's dialog", {true, 1u, 1}},
            {"no GlobalShortcuts on this desktop", {false, 0u, -1}},
        });
    }
    void refusals() {
        const auto& [withInterface, bindCode, failure] = row<std::tuple<bool, uint, int>>();
        servePortal(bindCode, withInterface);
        PortalGlobalShortcut shortcut(m_bus.connect(u"app"_s));
        QSignalSpy failed(&shortcut, &GlobalShortcut::registrationFailed);
        QSignalSpy unavailable(&shortcut, &GlobalShortcut::unavailable);
        shortcut.registerKey(kKey);
        QTRY_COMPARE(failed.size() + unavailable.size(), 1);
        QCOMPARE(unavailable.size(), failure < 0 ? 1 : 0);
        if (failure >= 0) QCOMPARE(failed.at(0).at(0).toInt(), failure);
    }
};

// Revealing through org.freedesktop.FileManager1 with a scripted file manager, and the fallback
// that opens the folder when none answers.
class RevealTest : public BusTest {
    Q_OBJECT
    static inline const QByteArray kFolder = "/srv/photos/caf\xe9 2023";  // not UTF-8
    static inline const QByteArray kFile = kFolder + "/a b#1.jpg";
private Q_SLOTS:
    void revealsOrOpensTheFolder_data() {
        table<std::tuple<Manager>>({
            {"file manager shows the file", {Manager::answers}},
            {"no file manager", {Manager::absent}},
            {"file manager refuses", {Manager::refuses}},
            {"file manager never answers", {Manager::silent}},
        });
    }
    void revealsOrOpensTheFolder() {
        const auto [manager] = row<std::tuple<Manager>>();
        auto fm = manager == Manager::absent
                      ? std::make_unique<FakeBusService>(m_bus.connect(u"absent"_s))
                      : fake(kFileManager);
        QVERIFY(fm);
        fm->onCall(kManagerPath, kFileManager, u"ShowItems"_s, [manager](const QDBusMessage&) {
            return manager == Manager::answers   ? FakeBusService::answer()
                   : manager == Manager::refuses ? FakeBusService::error(u"x.Failed"_s)
                                                 : FakeBusService::silence();
        });
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(m_bus.connect(u"client"_s), opener);
        QSignalSpy idle(&reveal, &FileManagerReveal::idle);
        QElapsedTimer waited;
        waited.start();
        reveal.reveal(kFile, u"tarnwick-1-1_TIME4242"_s);
        QVERIFY(reveal.isBusy());
        if (manager == Manager::silent) {
            QTRY_COMPARE(fm->callCount(u"ShowItems"_s), 1);
            QVERIFY(opener->opened.isEmpty());  // asked, not yet given up on
        }
        QVERIFY(idle.wait(5000));
        QVERIFY(!reveal.isBusy());
        const bool shown = manager == Manager::answers;
        QCOMPARE(opener->opened, shown ? QList<QByteArray>() : QList<QByteArray>{kFolder});
        if (manager == Manager::silent) QVERIFY(waited.elapsed() >= 900);  // not an early error
        if (manager == Manager::absent) return;
        const QVariantList asked = fm->calls(u"ShowItems"_s).value(0).arguments();
        QCOMPARE(asked.value(0).toStringList(), QStringList{fileUriFromPath(kFile)});
        QCOMPARE(asked.value(1).toString(), u"tarnwick-1-1_TIME4242"_s);
    }
    void fileInTheRootRevealsTheRoot() {
        auto opener = std::make_shared<RecordingOpener>();
        FileManager1Reveal reveal(m_bus.connect(u"client"_s), opener);
        QSignalSpy idle(&reveal, &FileManagerReveal::idle);
        reveal.reveal("/vmlinuz", QString());
        reveal.reveal("/srv/sub/", QString());
        QTRY_VERIFY(!reveal.isBusy());
        QCOMPARE(idle.count(), 1);  // once, when the last request is done
        QCOMPARE(opener->opened, (QList<QByteArray>{"/", "/srv"}));
    }
};

TARNWICK_TEST(FileManagerQueryTest)
TARNWICK_TEST(PortalShortcutTest)
TARNWICK_TEST(RevealTest)
#include "BusTest.moc"

#include "core/FileUri.h"
#include "platform/dbus/KWinWindowStack.h"
#include "platform/dbus/ReportedFolderSource.h"
#include "platform/x11/X11FrontFolderSource.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QRegularExpression>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kFileManager1 = u"org.freedesktop.FileManager1"_s;
const QString kFileManagerPath = u"/org/freedesktop/FileManager1"_s;
const QString kWindows = u"OpenWindowsWithLocations"_s;
const QString kWindow1 = u"/org/gnome/Nautilus/window/1"_s;
const QString kWindow2 = u"/org/gnome/Nautilus/window/2"_s;

using Windows = QMap<QString, QStringList>;

// The source's answer, waited for: the folder, "none", or "no answer" when none came in time.
QByteArray ask(FrontFolderSource& source) {
    auto answer = std::make_shared<QByteArray>("no answer");
    source.requestFrontFolder(
        [answer](std::optional<QByteArray> folder) { *answer = folder.value_or("none"); });
    [[maybe_unused]] const bool answered =
        QTest::qWaitFor([&] { return *answer != "no answer"; }, 4000);
    return *answer;
}

}  // namespace

// The front folder as file managers tell it over D-Bus, against scripted file managers on a
// private bus: Nautilus's window locations, Dolphin's confirmation, KWin's window stack, what
// Wayland allows, and file managers that answer garbage or nothing.
class FileManagerQueryTest : public QObject {
    Q_OBJECT

    PrivateSessionBus m_bus;
    TempTree m_tree;
    QByteArray m_music, m_photos;
    std::unique_ptr<FakeBusService> m_fileManager;
    int m_serial = 0;

    std::unique_ptr<FakeBusService> fake(const QString& serviceName) {
        auto service = std::make_unique<FakeBusService>(m_bus.connect(u"fake%1"_s.arg(++m_serial)));
        return service->serve(serviceName) ? std::move(service) : nullptr;
    }
    QString uri(const QByteArray& path) const { return fileUriFromPath(path); }
    QByteArray folder(const QByteArray& name) const {
        return name == "music" ? m_music : name == "photos" ? m_photos : name;
    }

    // A Dolphin process (pid 4242) with two windows; the second shows `openUri`, which, like
    // Dolphin, it compares exactly (trailing slash included). Empty: nothing open.
    std::unique_ptr<FakeBusService> fakeDolphin(const QString& openUri, QStringList* asked) {
        auto dolphin = fake(u"org.kde.dolphin-4242"_s);
        dolphin->setIntrospection(u"/dolphin"_s,
                                  u"<node name=\"Dolphin_1\"/><node name=\"Dolphin_2\"/>"_s);
        for (const QString& window : {u"Dolphin_1"_s, u"Dolphin_2"_s})
            dolphin->onCall(
                u"/dolphin/"_s + window, u"org.kde.dolphin.MainWindow"_s, u"isUrlOpen"_s,
                [=](const QDBusMessage& call) {
                    *asked << call.arguments().value(0).toString();
                    return FakeBusService::answer(
                        {!openUri.isEmpty() && asked->last() == openUri && window == u"Dolphin_2"});
                });
        return dolphin;
    }
    // KWin that runs our script by calling back with `report` as the window list.
    std::unique_ptr<FakeBusService> fakeKWin(const QString& report) {
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
                const auto call =
                    QRegularExpression(
                        uR"re(callDBus\("([^"]+)", "([^"]+)", "([^"]+)", "report", "([^"]+)")re"_s)
                        .match(*script);
                QDBusMessage back = QDBusMessage::createMethodCall(
                    call.captured(1), call.captured(2), call.captured(3), u"report"_s);
                back << call.captured(4) << report;
                service->connection().send(back);
                return FakeBusService::answer();
            });
        return kwin;
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
        m_tree.mkdir("Music");
        m_tree.mkdir("Photos \xc3\xa9t\xc3\xa9");
        m_music = m_tree.pathOf("Music");
        m_photos = m_tree.pathOf("Photos \xc3\xa9t\xc3\xa9");
    }
    void init() {
        m_fileManager = fake(kFileManager1);  // a fresh unique name, nothing scripted
        QVERIFY(m_fileManager);
    }
    void cleanup() { m_fileManager.reset(); }

    // On X11: the front window carries GTK's properties; its file manager lists its windows.
    void nautilusWindow_data() {
        QTest::addColumn<QVariant>("reply");  // invalid: no reply ever
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<QByteArray>("folder");
        const QByteArray nautilus = "org.gnome.Nautilus";
        auto windows = [](const Windows& map) { return QVariant::fromValue(map); };
        QTest::newRow("its only tab") << windows({{kWindow1, {"music"}}}) << QByteArray("Music")
                                      << nautilus << QByteArray("music");
        QTest::newRow("the tab the title names")
            << windows({{kWindow1, {"music", "photos"}}, {kWindow2, {"/"}}})
            << QByteArray("Photos \xc3\xa9t\xc3\xa9") << nautilus << QByteArray("photos");
        QTest::newRow("another GTK application")
            << windows({{kWindow1, {"music"}}}) << QByteArray("Music") << QByteArray("Gedit")
            << QByteArray("none");
        QTest::newRow("window not listed") << windows({{kWindow2, {"music"}}})
                                           << QByteArray("Music") << nautilus << QByteArray("none");
        QTest::newRow("folder that is gone")
            << windows({{kWindow1, {"/nonexistent/gone"}}}) << QByteArray("gone") << nautilus
            << QByteArray("none");
        QTest::newRow("answer of the wrong shape")
            << QVariant(u"not a map"_s) << QByteArray("Music") << nautilus << QByteArray("none");
        // Given up by the deadline, far from the bus's own 25-second time-out.
        QTest::newRow("silence") << QVariant() << QByteArray("Music") << nautilus
                                 << QByteArray("none");
    }
    void nautilusWindow() {
        QFETCH(QVariant, reply);
        QFETCH(QByteArray, title);
        QFETCH(QByteArray, className);
        QFETCH(QByteArray, folder);
        Windows windows = reply.value<Windows>();
        for (QStringList& tabs : windows)
            for (QString& tab : tabs) tab = uri(this->folder(tab.toUtf8()));
        if (!reply.isValid()) m_fileManager->silenceProperties(kFileManagerPath, kFileManager1);
        m_fileManager->setProperty(kFileManagerPath, kFileManager1, kWindows,
                                   windows.isEmpty() ? reply : QVariant::fromValue(windows));
        WindowFacts window;
        window.className = className;
        window.title = title;
        window.gtkObjectPath = kWindow1.toUtf8();
        window.gtkUniqueBusName =
            className == "Gedit" ? ":1.999" : m_fileManager->uniqueName().toUtf8();
        X11FrontFolderSource source(m_bus.connect(u"client"_s));
        source.readStack = [window] { return std::optional(WindowStack{{window}, std::nullopt}); };
        QCOMPARE(ask(source), this->folder(folder));
        QCOMPARE(m_fileManager->callCount(u"Get"_s) == 0, className == "Gedit");
    }

    void dolphinConfirmsTheTitlesPath_data() {
        QTest::addColumn<QString>("openUri");
        QTest::newRow("open in a window") << uri(m_photos);
        // How Dolphin keeps a folder reached by going up or back, or typed in its location bar.
        QTest::newRow("open with a trailing slash") << uri(m_photos) + u'/';
        QTest::newRow("not open anywhere") << QString();
    }
    void dolphinConfirmsTheTitlesPath() {
        QFETCH(QString, openUri);
        QStringList asked;
        auto dolphin = fakeDolphin(openUri, &asked);
        WindowFacts window;
        window.pid = 4242;
        window.className = "dolphin";
        window.title = m_photos + " \xe2\x80\x94 Dolphin";
        X11FrontFolderSource source(m_bus.connect(u"client"_s));
        source.readStack = [window] { return std::optional(WindowStack{{window}, std::nullopt}); };
        QCOMPARE(ask(source), openUri.isEmpty() ? QByteArray("none") : m_photos);
        QVERIFY(asked.contains(uri(m_photos)));
    }

    // On Wayland: what the file manager reports, after KWin's window stack on Plasma.
    void reportedFolder_data() {
        QTest::addColumn<int>("plasma");  // 0: not Plasma, 1: Plasma without KWin, 2: with KWin
        QTest::addColumn<QString>("property");
        QTest::addColumn<QStringList>("uris");  // one window each, or the open locations
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("the only window")
            << 0 << kWindows << QStringList{"music"} << QByteArray("music");
        QTest::newRow("two windows")
            << 0 << kWindows << QStringList{"music", "photos"} << QByteArray("none");
        QTest::newRow("open locations only")
            << 0 << u"OpenLocations"_s << QStringList{"photos"} << QByteArray("photos");
        QTest::newRow("no file manager") << 0 << QString() << QStringList() << QByteArray("none");
        QTest::newRow("plasma without KWin")
            << 1 << kWindows << QStringList{"photos"} << QByteArray("photos");
        // The file manager alone could not tell: two windows.
        QTest::newRow("plasma: KWin's stack")
            << 2 << kWindows << QStringList{"photos", "photos"} << QByteArray("music");
    }
    void reportedFolder() {
        QFETCH(int, plasma);
        QFETCH(QString, property);
        QFETCH(QStringList, uris);
        QFETCH(QByteArray, folder);
        Windows windows;
        for (QString& location : uris) {
            location = uri(this->folder(location.toUtf8()));
            windows.insert(u"/w/%1"_s.arg(windows.size()), {location});
        }
        if (property.isEmpty())
            m_fileManager.reset();
        else if (property == kWindows)
            m_fileManager->setProperty(kFileManagerPath, kFileManager1, property,
                                       QVariant::fromValue(windows));
        else
            m_fileManager->setProperty(kFileManagerPath, kFileManager1, property, uris);
        QStringList asked;
        std::unique_ptr<FakeBusService> dolphin, kwin;
        if (plasma == 2) {
            dolphin = fakeDolphin(uri(m_music), &asked);
            kwin = fakeKWin(
                uR"([{"caption": "Search", "resourceClass": "tarnwick", "pid": %1},
                {"caption": "%2 — Dolphin", "resourceClass": "dolphin", "pid": 4242}])"_s
                    .arg(QCoreApplication::applicationPid())
                    .arg(QFile::decodeName(m_music)));
        }
        ReportedFolderSource source(m_bus.connect(u"client"_s), plasma > 0);
        QCOMPARE(ask(source), this->folder(folder));
        if (plasma < 2) return;
        QVERIFY(asked.contains(uri(m_music)));
        QTRY_COMPARE(kwin->callCount(u"unloadScript"_s), 1);
    }

    void kwinReportsAreReadCarefully() {
        const auto stack = windowStackFromKWinReport(
            R"([{"caption": "/srv \u2014 Dolphin", "resourceClass": "dolphin",
                 "resourceName": "dolphin", "pid": 12, "minimized": true}, {"caption": "x"}])");
        QVERIFY(stack);
        QCOMPARE(stack->topFirst.size(), 2);
        QCOMPARE(stack->topFirst[0].title, QByteArray("/srv \xe2\x80\x94 Dolphin"));
        QCOMPARE(stack->topFirst[0].className, QByteArray("dolphin"));
        QCOMPARE(stack->topFirst[0].pid, std::optional<qint64>(12));
        QVERIFY(stack->topFirst[0].hidden);
        QCOMPARE(stack->topFirst[1].pid, std::nullopt);
        for (const char* wrong : {"{\"caption\": \"x\"}", "[1, 2]", "not json"})
            QVERIFY(!windowStackFromKWinReport(wrong));
        QVERIFY(windowStackFromKWinReport("[]"));
    }
};

TARNWICK_TEST(FileManagerQueryTest)
#include "FileManagerQueryTest.moc"

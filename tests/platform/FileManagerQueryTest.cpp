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

const QString kFileManager = u"org.freedesktop.FileManager1"_s;
const QString kManagerPath = u"/org/freedesktop/FileManager1"_s;
const QString kWindows = u"OpenWindowsWithLocations"_s;
const QString kWindow1 = u"/org/gnome/Nautilus/window/1"_s;

// The source's answer, waited for: the folder, "none", or "no answer" when none came in time.
QByteArray ask(FrontFolderSource& source) {
    auto answer = std::make_shared<QByteArray>("no answer");
    source.requestFrontFolder([answer](auto folder) { *answer = folder.value_or("none"); });
    [[maybe_unused]] bool given = QTest::qWaitFor([&] { return *answer != "no answer"; }, 4000);
    return *answer;
}

}  // namespace

// The front folder as file managers tell it over D-Bus, against scripted services on a private
// bus: Nautilus's window locations, Dolphin's confirmation of its title, KWin's window stack and
// what Wayland allows, with answers of the wrong shape or none at all. Which window or tab is
// meant is the rules' test; here: that the questions are asked and the answers read.
class FileManagerQueryTest : public QObject {
    Q_OBJECT

    PrivateSessionBus m_bus;
    TempTree m_tree;
    QByteArray m_music, m_photos;
    std::unique_ptr<FakeBusService> m_fileManager;
    int m_serial = 0;

    std::unique_ptr<FakeBusService> fake(const QString& name) {
        auto service = std::make_unique<FakeBusService>(m_bus.connect(u"fake%1"_s.arg(++m_serial)));
        return service->serve(name) ? std::move(service) : nullptr;
    }
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
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
        m_tree.mkdir("Music");
        m_tree.mkdir("Photos \xc3\xa9t\xc3\xa9");
        m_music = m_tree.pathOf("Music");
        m_photos = m_tree.pathOf("Photos \xc3\xa9t\xc3\xa9");
    }
    void init() { QVERIFY(m_fileManager = fake(kFileManager)); }  // a fresh unique name
    void cleanup() { m_fileManager.reset(); }

    // On X11 the front window carries GTK's properties; its file manager lists its windows.
    void nautilusWindow_data() {
        QTest::addColumn<QVariant>("reported");  // invalid: no answer ever
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<bool>("found");
        QTest::newRow("its only tab")
            << windows(m_music) << QByteArray("org.gnome.Nautilus") << true;
        QTest::newRow("another GTK application")
            << windows(m_music) << QByteArray("Gedit") << false;
        QTest::newRow("window not listed") << QVariant::fromValue(QMap<QString, QStringList>{
                                                  {u"/w/9"_s, {fileUriFromPath(m_music)}}})
                                           << QByteArray("org.gnome.Nautilus") << false;
        QTest::newRow("folder gone")
            << windows(m_music + "/gone") << QByteArray("org.gnome.Nautilus") << false;
        QTest::newRow("wrong shape")
            << QVariant(u"a string"_s) << QByteArray("org.gnome.Nautilus") << false;
        // Given up by the deadline, far from the bus's own 25-second time-out.
        QTest::newRow("silence") << QVariant() << QByteArray("org.gnome.Nautilus") << false;
    }
    void nautilusWindow() {
        QFETCH(QVariant, reported);
        QFETCH(QByteArray, className);
        QFETCH(bool, found);
        m_fileManager->setProperty(kManagerPath, kFileManager, kWindows, reported);
        if (!reported.isValid())
            m_fileManager->onCall(kManagerPath, u"org.freedesktop.DBus.Properties"_s, u"Get"_s,
                                  [](auto&) { return FakeBusService::silence(); });
        WindowFacts window;
        window.className = className;
        window.title = "Music";
        window.gtkObjectPath = kWindow1.toUtf8();
        window.gtkUniqueBusName =
            className == "Gedit" ? ":1.999" : m_fileManager->uniqueName().toUtf8();
        QCOMPARE(ask(*x11Seeing(window)), found ? m_music : "none");
        QCOMPARE(m_fileManager->callCount(u"Get"_s) > 0, className != "Gedit");
    }

    void dolphinConfirmsTheTitlesPath_data() {
        QTest::addColumn<QString>("open");
        QTest::newRow("open in a window") << fileUriFromPath(m_photos);
        // How Dolphin keeps a folder reached by going up or back, or typed in its location bar.
        QTest::newRow("open with a trailing slash") << fileUriFromPath(m_photos) + u'/';
        QTest::newRow("not open anywhere") << QString();
    }
    void dolphinConfirmsTheTitlesPath() {
        QFETCH(QString, open);
        const auto service = dolphin(open);
        WindowFacts window;
        window.pid = 4242;
        window.className = "dolphin";
        window.title = m_photos + " \xe2\x80\x94 Dolphin";
        QCOMPARE(ask(*x11Seeing(window)), open.isEmpty() ? "none" : m_photos);
        QVERIFY(service->callCount(u"isUrlOpen"_s) > 0);
    }

    // On Wayland: what the file manager reports, after KWin's window stack on Plasma.
    void reportedFolder_data() {
        QTest::addColumn<int>("plasma");  // 0: no, 1: without KWin, 2: KWin tells Dolphin's folder
        QTest::addColumn<QString>("property");
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("the only window") << 0 << kWindows << m_photos;
        QTest::newRow("open locations") << 0 << u"OpenLocations"_s << m_photos;
        QTest::newRow("no file manager") << 0 << QString() << QByteArray("none");
        QTest::newRow("plasma without KWin") << 1 << kWindows << m_photos;
        QTest::newRow("plasma: KWin's stack") << 2 << kWindows << m_music;
    }
    void reportedFolder() {
        QFETCH(int, plasma);
        QFETCH(QString, property);
        QFETCH(QByteArray, folder);
        if (property.isEmpty())
            m_fileManager.reset();
        else if (property == kWindows)
            m_fileManager->setProperty(kManagerPath, kFileManager, property, windows(m_photos));
        else
            m_fileManager->setProperty(kManagerPath, kFileManager, property,
                                       QStringList{fileUriFromPath(m_photos)});
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

    void kwinReportsAreReadCarefully() {
        const auto stack = windowStackFromKWinReport(
            R"([{"caption": "/srv \u2014 Dolphin", "resourceClass": "dolphin", "pid": 12,
                 "minimized": true}, {"caption": "x"}])");
        QVERIFY(stack && stack->topFirst.size() == 2);
        QCOMPARE(stack->topFirst[0].title, QByteArray("/srv \xe2\x80\x94 Dolphin"));
        QCOMPARE(stack->topFirst[0].className, QByteArray("dolphin"));
        QCOMPARE(stack->topFirst[0].pid, std::optional<qint64>(12));
        QVERIFY(stack->topFirst[0].hidden && !stack->topFirst[1].pid);
        for (const char* wrong : {"{\"caption\": \"x\"}", "[1, 2]", "not json"})
            QVERIFY(!windowStackFromKWinReport(wrong));
    }
};

TARNWICK_TEST(FileManagerQueryTest)
#include "FileManagerQueryTest.moc"

#include "CapturedOutput.h"
#include "core/FileUri.h"
#include "platform/dbus/KWinWindowStack.h"
#include "platform/dbus/ReportedFolderSource.h"
#include "platform/x11/X11FrontFolderSource.h"
#include "platform/x11/X11WindowStack.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QDBusObjectPath>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QString kFileManager1 = QStringLiteral("org.freedesktop.FileManager1");
const QString kFileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");
const QByteArray kWindowPath = "/org/gnome/Nautilus/window/1";

// One answer of a front-folder source, waited for in the event loop.
struct Answer {
    bool given = false;
    std::optional<QByteArray> folder;
};

Answer ask(FrontFolderSource& source, int waitMs = 4000) {
    auto answer = std::make_shared<Answer>();
    source.requestFrontFolder([answer](std::optional<QByteArray> folder) {
        answer->given = true;
        answer->folder = std::move(folder);
    });
    QElapsedTimer clock;
    clock.start();
    while (!answer->given && clock.elapsed() < waitMs) QTest::qWait(10);
    return *answer;
}

}  // namespace

// The front folder as file managers tell it over D-Bus, against scripted file managers on a
// private bus: Nautilus's window locations, Dolphin's confirmation, what Wayland allows, and
// file managers that answer garbage or nothing.
class FileManagerQueryTest : public QObject {
    Q_OBJECT
private:
    PrivateSessionBus m_bus;
    QTemporaryDir m_tree;
    QByteArray m_music, m_photos;
    std::unique_ptr<FakeBusService> m_fileManager;
    int m_serial = 0;

    WindowFacts nautilusWindow(const QByteArray& title) {
        WindowFacts window;
        window.id = 5;
        window.pid = 4242;
        window.className = "org.gnome.Nautilus";
        window.title = title;
        window.gtkObjectPath = kWindowPath;
        window.gtkUniqueBusName = m_fileManager->uniqueName().toUtf8();
        return window;
    }
    std::unique_ptr<X11FrontFolderSource> sourceSeeing(QList<WindowFacts> windows) {
        auto source =
            std::make_unique<X11FrontFolderSource>(m_bus.connect(QStringLiteral("client")));
        source->readStack = [windows] { return std::optional(WindowStack{windows, std::nullopt}); };
        return source;
    }
    void reportWindows(const QMap<QString, QStringList>& windows) {
        m_fileManager->setProperty(kFileManagerPath, kFileManager1,
                                   QStringLiteral("OpenWindowsWithLocations"),
                                   QVariant::fromValue(windows));
    }
    QString uri(const QByteArray& path) { return fileUriFromPath(path); }

    // A Dolphin process (pid 4242) with two windows; the second shows `openUri`, which, like
    // Dolphin, it compares exactly (trailing slash included). Empty: nothing open.
    std::unique_ptr<FakeBusService> fakeDolphin(const QString& openUri, QStringList* asked) {
        auto dolphin = std::make_unique<FakeBusService>(
            m_bus.connect(QStringLiteral("dolphin%1").arg(++m_serial)));
        if (!dolphin->serve(QStringLiteral("org.kde.dolphin-4242"))) return nullptr;
        dolphin->setIntrospection(
            QStringLiteral("/dolphin"),
            QStringLiteral("<node name=\"Dolphin_1\"/><node name=\"Dolphin_2\"/>"));
        for (const QString& window : {QStringLiteral("Dolphin_1"), QStringLiteral("Dolphin_2")}) {
            dolphin->onCall(
                QStringLiteral("/dolphin/") + window, QStringLiteral("org.kde.dolphin.MainWindow"),
                QStringLiteral("isUrlOpen"), [asked, openUri, window](const QDBusMessage& call) {
                    const QString uri = call.arguments().value(0).toString();
                    *asked << uri;
                    return FakeBusService::answer(
                        {!openUri.isEmpty() && uri == openUri && window == "Dolphin_2"});
                });
        }
        return dolphin;
    }
    // KWin that runs our script by calling back with `report` as the window list.
    std::unique_ptr<FakeBusService> fakeKWin(const QString& report) {
        auto kwin = std::make_unique<FakeBusService>(
            m_bus.connect(QStringLiteral("kwin%1").arg(++m_serial)));
        if (!kwin->serve(QStringLiteral("org.kde.KWin"))) return nullptr;
        auto script = std::make_shared<QByteArray>();
        kwin->onCall(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"),
                     QStringLiteral("loadScript"), [script](const QDBusMessage& call) {
                         QFile file(call.arguments().value(0).toString());
                         file.open(QIODevice::ReadOnly);
                         *script = file.readAll();
                         return FakeBusService::answer({7});
                     });
        FakeBusService* service = kwin.get();
        kwin->onCall(QStringLiteral("/Scripting/Script7"), QStringLiteral("org.kde.kwin.Script"),
                     QStringLiteral("run"), [service, script, report](const QDBusMessage&) {
                         // callDBus("service", "path", "interface", "report", "token", ...)
                         const QRegularExpression call(
                             QStringLiteral("callDBus\\(\"([^\"]+)\", \"([^\"]+)\", \"([^\"]+)\", "
                                            "\"report\", \"([^\"]+)\""));
                         const auto match = call.match(QString::fromUtf8(*script));
                         if (match.hasMatch()) {
                             QDBusMessage back = QDBusMessage::createMethodCall(
                                 match.captured(1), match.captured(2), match.captured(3),
                                 QStringLiteral("report"));
                             back << match.captured(4) << report;
                             service->connection().send(back);
                         }
                         return FakeBusService::answer();
                     });
        return kwin;
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
        QVERIFY(m_tree.isValid());
        m_music = QFile::encodeName(m_tree.filePath(QStringLiteral("Music")));
        m_photos =
            QFile::encodeName(m_tree.filePath(QString::fromUtf8("Photos \xc3\xa9t\xc3\xa9")));
        QVERIFY(QDir().mkpath(QFile::decodeName(m_music)));
        QVERIFY(QDir().mkpath(QFile::decodeName(m_photos)));
    }
    void init() {
        // A file manager of its own for every case: a fresh unique name and nothing scripted.
        m_fileManager = std::make_unique<FakeBusService>(
            m_bus.connect(QStringLiteral("filemanager%1").arg(++m_serial)));
        QVERIFY(m_fileManager->serve(kFileManager1));
    }
    void cleanup() { m_fileManager.reset(); }

    void nautilusWindowShowsItsOnlyTab() {
        reportWindows({{QString::fromLatin1(kWindowPath), {uri(m_music)}}});
        auto source = sourceSeeing({nautilusWindow("Music")});
        const Answer answer = ask(*source);
        QVERIFY(answer.given);
        QCOMPARE(answer.folder, std::optional(m_music));
    }

    void severalTabsFollowTheTitle() {
        reportWindows({{QString::fromLatin1(kWindowPath), {uri(m_music), uri(m_photos)}},
                       {QStringLiteral("/org/gnome/Nautilus/window/2"), {uri("/")}}});
        auto source = sourceSeeing({nautilusWindow("Photos \xc3\xa9t\xc3\xa9")});
        QCOMPARE(ask(*source).folder, std::optional(m_photos));
    }

    void aGtkWindowOfAnotherApplicationIsNoFileManager() {
        reportWindows({{QString::fromLatin1(kWindowPath), {uri(m_music)}}});
        WindowFacts editor = nautilusWindow("Music");
        editor.className = "Gedit";
        editor.gtkUniqueBusName = ":1.999";
        auto source = sourceSeeing({editor});
        const Answer answer = ask(*source);
        QVERIFY(answer.given);
        QCOMPARE(answer.folder, std::nullopt);
        QCOMPARE(m_fileManager->callCount(QStringLiteral("Get")), 0);
    }

    void unlistedWindowIsAnError() {
        reportWindows({{QStringLiteral("/org/gnome/Nautilus/window/9"), {uri(m_music)}}});
        CapturedOutput output;
        auto source = sourceSeeing({nautilusWindow("Music")});
        QCOMPARE(ask(*source).folder, std::nullopt);
        QVERIFY(output.text().startsWith("File manager error: "));
    }

    void garbageAnswerIsAnError() {
        m_fileManager->setProperty(kFileManagerPath, kFileManager1,
                                   QStringLiteral("OpenWindowsWithLocations"),
                                   QStringLiteral("not a map"));
        CapturedOutput output;
        auto source = sourceSeeing({nautilusWindow("Music")});
        const Answer answer = ask(*source);
        QVERIFY(answer.given);
        QCOMPARE(answer.folder, std::nullopt);
        QVERIFY(output.text().startsWith("File manager error: OpenWindowsWithLocations"));
    }

    void silentFileManagerCostsTheDeadlineOnly() {
        m_fileManager->silenceProperties(kFileManagerPath, kFileManager1);
        CapturedOutput output;
        auto source = sourceSeeing({nautilusWindow("Music")});
        QElapsedTimer clock;
        clock.start();
        const Answer answer = ask(*source, 10000);
        QVERIFY(answer.given);
        QCOMPARE(answer.folder, std::nullopt);
        // Given up by the deadline, far from the bus's own 25-second time-out.
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(output.text().startsWith("File manager error: "));
    }

    void folderThatIsGoneIsNoFolder() {
        reportWindows({{QString::fromLatin1(kWindowPath), {uri(m_music + "/vanished")}}});
        auto source = sourceSeeing({nautilusWindow("vanished")});
        const Answer answer = ask(*source);
        QVERIFY(answer.given);
        QCOMPARE(answer.folder, std::nullopt);
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
        const bool open = !openUri.isEmpty();
        QStringList asked;
        auto dolphin = fakeDolphin(openUri, &asked);
        QVERIFY(dolphin);
        WindowFacts window;
        window.id = 9;
        window.pid = 4242;
        window.className = "dolphin";
        window.title = m_photos + " \xe2\x80\x94 Dolphin";
        auto source = sourceSeeing({window});
        const Answer answer = ask(*source);
        QVERIFY(answer.given);
        QCOMPARE(answer.folder, open ? std::optional(m_photos) : std::nullopt);
        QVERIFY(asked.contains(uri(m_photos)));
    }

    void waylandTakesTheOnlyWindow() {
        reportWindows({{QString::fromLatin1(kWindowPath), {uri(m_music)}}});
        ReportedFolderSource source(m_bus.connect(QStringLiteral("client")), false);
        QCOMPARE(ask(source).folder, std::optional(m_music));
        reportWindows({{QString::fromLatin1(kWindowPath), {uri(m_music)}},
                       {QStringLiteral("/org/gnome/Nautilus/window/2"), {uri(m_photos)}}});
        const Answer two = ask(source);
        QVERIFY(two.given);
        QCOMPARE(two.folder, std::nullopt);
    }

    void waylandWithOnlyOpenLocations() {
        m_fileManager->setProperty(kFileManagerPath, kFileManager1, QStringLiteral("OpenLocations"),
                                   QStringList{uri(m_photos)});
        ReportedFolderSource source(m_bus.connect(QStringLiteral("client")), false);
        QCOMPARE(ask(source).folder, std::optional(m_photos));
    }

    void plasmaAsksKWinForTheStack() {
        QStringList asked;
        auto dolphin = fakeDolphin(uri(m_music), &asked);
        QVERIFY(dolphin);
        const QString report =
            QStringLiteral(
                "[{\"caption\": \"Search\", \"resourceClass\": \"tarnwick\", \"pid\": %1},"
                " {\"caption\": \"%2 \u2014 Dolphin\", \"resourceClass\": \"dolphin\","
                " \"pid\": 4242, \"minimized\": false}]")
                .arg(QCoreApplication::applicationPid())
                .arg(QFile::decodeName(m_music));
        auto kwin = fakeKWin(report);
        QVERIFY(kwin);
        // The file manager alone could not tell: two windows.
        reportWindows({{QString::fromLatin1(kWindowPath), {uri(m_photos)}},
                       {QStringLiteral("/org/gnome/Nautilus/window/2"), {uri(m_photos)}}});
        ReportedFolderSource source(m_bus.connect(QStringLiteral("client")), true);
        QCOMPARE(ask(source).folder, std::optional(m_music));
        QVERIFY(asked.contains(uri(m_music)));
        QTRY_COMPARE(kwin->callCount(QStringLiteral("unloadScript")), 1);
    }

    void plasmaWithoutKWinFallsBackToTheFileManager() {
        reportWindows({{QString::fromLatin1(kWindowPath), {uri(m_photos)}}});
        ReportedFolderSource source(m_bus.connect(QStringLiteral("client")), true);
        QCOMPARE(ask(source).folder, std::optional(m_photos));
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
        QVERIFY(!windowStackFromKWinReport("{\"caption\": \"x\"}"));
        QVERIFY(!windowStackFromKWinReport("[1, 2]"));
        QVERIFY(!windowStackFromKWinReport("not json"));
        QVERIFY(windowStackFromKWinReport("[]"));
    }

    void waylandWithoutAFileManagerIsQuiet() {
        m_fileManager.reset();
        CapturedOutput output;
        ReportedFolderSource source(m_bus.connect(QStringLiteral("client")), false);
        const Answer answer = ask(source);
        QVERIFY(answer.given);
        QCOMPARE(answer.folder, std::nullopt);
        QCOMPARE(output.text(), QByteArray());
    }
};

TARNWICK_TEST(FileManagerQueryTest)
#include "FileManagerQueryTest.moc"

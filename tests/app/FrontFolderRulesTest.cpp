#include "platform/FileManagerWindow.h"
#include "platform/WindowTitlePath.h"
#include "platform/dbus/NautilusTabChoice.h"
#include "platform/dbus/ReportedFolderSource.h"
#include "tests/support/TestRunner.h"

#include <QSet>
#include <QTest>

using namespace tarnwick;

namespace {

WindowFacts window(uint32_t id, QByteArray className, QByteArray title = {}) {
    WindowFacts facts;
    facts.id = id;
    facts.pid = 1000 + id;
    facts.instanceName = className.toLower();
    facts.className = className;
    facts.title = title;
    return facts;
}

WindowFacts gtkWindow(uint32_t id, QByteArray className, QByteArray busName) {
    WindowFacts facts = window(id, className);
    facts.gtkObjectPath = "/org/gnome/Nautilus/window/" + QByteArray::number(id);
    facts.gtkUniqueBusName = busName;
    return facts;
}

std::optional<uint32_t> frontId(const WindowStack& stack, qint64 ownPid = 1,
                                const QString& owner = QStringLiteral(":1.7")) {
    const auto front = frontFileManagerWindow(stack, ownPid, owner);
    if (!front) return std::nullopt;
    return front->window.id;
}

}  // namespace

// Which file-manager window is in front, and what its title or its tabs say of its folder.
class FrontFolderRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titlesCarryingAPath_data() {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("dolphin") << QByteArray("/home/me/Documents \xe2\x80\x94 Dolphin")
                                 << QByteArray("/home/me/Documents");
        QTest::newRow("thunar") << QByteArray("/tmp - Thunar") << QByteArray("/tmp");
        QTest::newRow("nemo puts the name first")
            << QByteArray("Documents - /home/me/Documents") << QByteArray("/home/me/Documents");
        QTest::newRow("a separator inside the path")
            << QByteArray("/home/me/a - b - Thunar") << QByteArray("/home/me/a - b");
        QTest::newRow("trailing slash") << QByteArray("/srv/ - Thunar") << QByteArray("/srv");
        QTest::newRow("root") << QByteArray("/ \xe2\x80\x93 Dolphin") << QByteArray("/");
        QTest::newRow("bytes that are not UTF-8") << QByteArray(
                                                         "/home/me/a\xff"
                                                         "b - Thunar")
                                                  << QByteArray(
                                                         "/home/me/a\xff"
                                                         "b");
        QTest::newRow("name only") << QByteArray("Documents - Thunar") << QByteArray();
        QTest::newRow("cut in the middle")
            << QByteArray("/home/me/very\xe2\x80\xa6long - Thunar") << QByteArray();
    }
    void titlesCarryingAPath() {
        QFETCH(QByteArray, title);
        QFETCH(QByteArray, folder);
        const QSet<QByteArray> onDisk{"/home/me/Documents",
                                      "/tmp",
                                      "/home/me/a - b",
                                      "/home/me/a",
                                      "/home/me",
                                      "/srv",
                                      "/",
                                      "/home/me/a\xff"
                                      "b"};
        const auto found = folderFromTitle(
            title, [&onDisk](const QByteArray& path) { return onDisk.contains(path); });
        QCOMPARE(found.value_or(QByteArray()), folder);
    }

    void candidatesComeLongestFirst() {
        const QList<QByteArray> candidates = folderPathsInTitle("/a - b - c");
        QCOMPARE(candidates, (QList<QByteArray>{"/a - b - c", "/a - b", "/a"}));
    }

    void kindsOfFileManagerWindow() {
        const QString owner = QStringLiteral(":1.7");
        QCOMPARE(fileManagerKindOf(gtkWindow(1, "xmessage", ":1.7"), owner),
                 std::optional(FileManagerKind::nautilus));
        // Another GTK application: not a file manager, whatever it exports.
        QCOMPARE(fileManagerKindOf(gtkWindow(1, "Gedit", ":1.9"), owner), std::nullopt);
        QCOMPARE(fileManagerKindOf(gtkWindow(1, "org.gnome.Nautilus", ":1.9"), owner),
                 std::optional(FileManagerKind::nautilus));
        QCOMPARE(fileManagerKindOf(window(1, "org.gnome.Nautilus"), owner),
                 std::optional(FileManagerKind::titled));
        QCOMPARE(fileManagerKindOf(window(1, "dolphin"), owner),
                 std::optional(FileManagerKind::dolphin));
        QCOMPARE(fileManagerKindOf(window(1, "Thunar"), owner),
                 std::optional(FileManagerKind::titled));
        QCOMPARE(fileManagerKindOf(window(1, "Nemo"), owner),
                 std::optional(FileManagerKind::titled));
        // Nemo exports GTK's properties too and owns FileManager1 when no Nautilus runs, but
        // answers none of Nautilus's questions: its title tells.
        QCOMPARE(fileManagerKindOf(gtkWindow(1, "Nemo", ":1.7"), owner),
                 std::optional(FileManagerKind::titled));
        QCOMPARE(fileManagerKindOf(window(1, "firefox"), owner), std::nullopt);
        QCOMPARE(fileManagerKindOf(gtkWindow(1, "xmessage", ":1.7"), QString()), std::nullopt);
    }

    void topmostFileManagerWindowWins() {
        WindowStack stack;
        stack.topFirst = {window(1, "firefox"), window(2, "Thunar"), window(3, "dolphin")};
        QCOMPARE(frontId(stack), std::optional<uint32_t>(2));
    }

    void ownWindowsAreLookedThrough() {
        WindowStack stack;
        WindowFacts panel = window(1, "tarnwick");
        panel.pid = 77;
        WindowFacts ownDolphinLookalike = window(2, "dolphin");
        ownDolphinLookalike.pid = 77;
        stack.topFirst = {panel, ownDolphinLookalike, gtkWindow(3, "x", ":1.7")};
        QCOMPARE(frontId(stack, 77), std::optional<uint32_t>(3));
    }

    void hiddenAndElsewhereWindowsAreLookedThrough() {
        WindowStack stack;
        stack.currentDesktop = 1;
        WindowFacts minimised = window(1, "Thunar");
        minimised.hidden = true;
        WindowFacts otherDesktop = window(2, "Thunar");
        otherDesktop.desktop = 0;
        WindowFacts sticky = window(3, "Thunar");
        sticky.desktop = 0xFFFFFFFF;
        stack.topFirst = {minimised, otherDesktop, sticky};
        QCOMPARE(frontId(stack), std::optional<uint32_t>(3));
        stack.topFirst = {minimised, otherDesktop};
        QCOMPARE(frontId(stack), std::nullopt);
    }

    void gtkWindowsAreWorthAnOwnerQuestion() {
        WindowStack stack;
        stack.topFirst = {window(1, "Thunar")};
        QVERIFY(!anyGtkWindow(stack));
        stack.topFirst.append(gtkWindow(2, "gedit", ":1.3"));
        QVERIFY(anyGtkWindow(stack));
    }

    void nautilusTabs_data() {
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("one tab, whatever the title")
            << QStringList{"file:///srv/Music"} << "Something" << QByteArray("/srv/Music");
        QTest::newRow("the tab named by the title")
            << QStringList{"file:///srv/Music", "file:///srv/Photos", "file:///srv/Work"}
            << "Photos" << QByteArray("/srv/Photos");
        QTest::newRow("percent-encoded name")
            << QStringList{"file:///srv/Music", "file:///srv/My%20Files"} << "My Files"
            << QByteArray("/srv/My Files");
        QTest::newRow("home is Home")
            << QStringList{"file:///home/me", "file:///srv"} << "Home" << QByteArray("/home/me");
        QTest::newRow("no tab matches")
            << QStringList{"file:///a", "file:///b"} << "c" << QByteArray();
        QTest::newRow("two places, one name")
            << QStringList{"file:///a/x", "file:///b/x"} << "x" << QByteArray();
        QTest::newRow("the same place twice")
            << QStringList{"file:///a/x", "file:///a/x/", "file:///b"} << "x" << QByteArray("/a/x");
        QTest::newRow("not a local folder") << QStringList{"trash:///"} << "Trash" << QByteArray();
        QTest::newRow("no tabs") << QStringList{} << "x" << QByteArray();
    }
    void nautilusTabs() {
        QFETCH(QStringList, tabs);
        QFETCH(QString, title);
        QFETCH(QByteArray, folder);
        QCOMPARE(nautilusWindowFolder(tabs, title, "/home/me/").value_or(QByteArray()), folder);
    }

    void waylandNeedsASingleWindowWithASingleFolder() {
        ReportedLocations one;
        one.windows = WindowLocations{{"/w/1", {"file:///srv/x"}}};
        QCOMPARE(singleReportedFolder(one), std::optional<QByteArray>("/srv/x"));
        ReportedLocations twoTabs;
        twoTabs.windows = WindowLocations{{"/w/1", {"file:///srv/x", "file:///srv/y"}}};
        QCOMPARE(singleReportedFolder(twoTabs), std::nullopt);
        ReportedLocations twoWindows;
        twoWindows.windows = WindowLocations{{"/w/1", {"file:///x"}}, {"/w/2", {"file:///y"}}};
        QCOMPARE(singleReportedFolder(twoWindows), std::nullopt);
        // Windows are listed but none is open: the flat list must not be used instead.
        ReportedLocations noWindows;
        noWindows.windows = WindowLocations{};
        noWindows.openLocations = {"file:///stale"};
        QCOMPARE(singleReportedFolder(noWindows), std::nullopt);
        ReportedLocations nemo;
        nemo.openLocations = {"file:///srv/z/"};
        QCOMPARE(singleReportedFolder(nemo), std::optional<QByteArray>("/srv/z"));
        nemo.openLocations.append("file:///srv/w");
        QCOMPARE(singleReportedFolder(nemo), std::nullopt);
        ReportedLocations remote;
        remote.openLocations = {"sftp://host/srv"};
        QCOMPARE(singleReportedFolder(remote), std::nullopt);
    }
};

TARNWICK_TEST(FrontFolderRulesTest)
#include "FrontFolderRulesTest.moc"

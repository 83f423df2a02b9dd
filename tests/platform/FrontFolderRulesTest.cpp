#include "platform/FileManagerWindow.h"
#include "platform/WindowTitlePath.h"
#include "platform/dbus/NautilusTabChoice.h"
#include "platform/dbus/ReportedFolderSource.h"
#include "tests/support/TestRunner.h"

#include <QSet>
#include <QTest>

using namespace tarnwick;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kNone = -1;
const QString kOwner = QStringLiteral(":1.7");  // owns org.freedesktop.FileManager1

// "Class" or "Class:trait": gtk (GTK's D-Bus properties, on kOwner's bus name), own (this
// process's), hidden, desktop0 (while desktop 1 is shown), sticky (on every desktop).
WindowFacts window(uint32_t id, const QString& spec) {
    const QStringList parts = spec.split(u':');
    const QString trait = parts.value(1);
    WindowFacts facts;
    facts.id = id;
    facts.pid = trait == u"own" ? 1 : 1000 + id;
    facts.className = parts[0].toUtf8();
    facts.instanceName = facts.className.toLower();
    if (trait == u"gtk") facts.gtkObjectPath = "/org/gnome/Nautilus/window/1";
    if (trait == u"gtk") facts.gtkUniqueBusName = kOwner.toUtf8();
    facts.hidden = trait == u"hidden";
    if (trait == u"desktop0") facts.desktop = 0;
    if (trait == u"sticky") facts.desktop = 0xFFFFFFFF;
    return facts;
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
        QTest::newRow("longest path of several")
            << QByteArray("/home/me/a - b - Thunar") << QByteArray("/home/me/a - b");
        QTest::newRow("trailing slash") << QByteArray("/srv/ - Thunar") << QByteArray("/srv");
        QTest::newRow("root") << QByteArray("/ \xe2\x80\x93 Dolphin") << QByteArray("/");
        QTest::newRow("not UTF-8")
            << QByteArray("/home/me/a\xff - Thunar") << QByteArray("/home/me/a\xff");
        QTest::newRow("name only") << QByteArray("Documents - Thunar") << QByteArray();
        QTest::newRow("cut in the middle")
            << QByteArray("/home/me/very\xe2\x80\xa6long - Thunar") << QByteArray();
    }
    void titlesCarryingAPath() {
        QFETCH(QByteArray, title);
        QFETCH(QByteArray, folder);
        const QSet<QByteArray> onDisk{
            "/home/me/Documents", "/tmp", "/home/me/a - b", "/home/me/a", "/home/me", "/srv", "/",
            "/home/me/a\xff"};
        const auto found =
            folderFromTitle(title, [&](const QByteArray& p) { return onDisk.contains(p); });
        QCOMPARE(found.value_or(QByteArray()), folder);
    }

    void kindOfWindow_data() {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("kind");
        const int nautilus = int(FileManagerKind::nautilus), titled = int(FileManagerKind::titled);
        QTest::newRow("GTK window of the owner") << "xmessage:gtk" << kOwner << nautilus;
        QTest::newRow("GTK window, no owner") << "xmessage:gtk" << QString() << kNone;
        QTest::newRow("another GTK application") << "Gedit:gtk"
                                                 << ":1.9" << kNone;
        QTest::newRow("Nautilus by class") << "org.gnome.Nautilus:gtk"
                                           << ":1.9" << nautilus;
        QTest::newRow("Nautilus without GTK's properties")
            << "org.gnome.Nautilus" << kOwner << titled;
        QTest::newRow("Dolphin") << "dolphin" << kOwner << int(FileManagerKind::dolphin);
        QTest::newRow("Thunar") << "Thunar" << kOwner << titled;
        // Nemo exports GTK's properties and owns FileManager1 where no Nautilus runs, but
        // answers none of Nautilus's questions: its title tells.
        QTest::newRow("Nemo owning FileManager1") << "Nemo:gtk" << kOwner << titled;
        QTest::newRow("a browser") << "firefox" << kOwner << kNone;
    }
    void kindOfWindow() {
        QFETCH(QString, spec);
        QFETCH(QString, owner);
        QFETCH(int, kind);
        const auto found = fileManagerKindOf(window(1, spec), owner);
        QCOMPARE(found ? int(*found) : kNone, kind);
    }

    void frontWindow_data() {
        QTest::addColumn<QString>("stack");  // window specs, topmost first
        QTest::addColumn<int>("front");      // its place, from 1
        QTest::newRow("topmost file manager wins") << "firefox Thunar dolphin" << 2;
        QTest::newRow("own windows are looked through") << "tarnwick:own dolphin:own x:gtk" << 3;
        QTest::newRow("hidden and elsewhere are looked through")
            << "Thunar:hidden Thunar:desktop0 Thunar:sticky" << 3;
        QTest::newRow("none visible") << "Thunar:hidden Thunar:desktop0" << kNone;
    }
    void frontWindow() {
        QFETCH(QString, stack);
        QFETCH(int, front);
        WindowStack windows;
        windows.currentDesktop = 1;
        for (const QString& spec : stack.split(u' '))
            windows.topFirst.append(window(uint32_t(windows.topFirst.size() + 1), spec));
        const auto found = frontFileManagerWindow(windows, 1, kOwner);
        QCOMPARE(found ? int(found->window.id) : kNone, front);
        QCOMPARE(anyGtkWindow(windows), stack.contains(u":gtk"));
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

    // Without a window stack (Wayland) only one window with one folder, or one open location.
    void singleReportedFolder_data() {
        QTest::addColumn<QStringList>("windows");  // one window's tabs, separated by spaces
        QTest::addColumn<QStringList>("openLocations");
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("one window, one tab")
            << QStringList{"file:///srv/x"} << QStringList() << QByteArray("/srv/x");
        QTest::newRow("two tabs") << QStringList{"file:///x file:///y"} << QStringList()
                                  << QByteArray();
        QTest::newRow("two windows")
            << QStringList{"file:///x", "file:///y"} << QStringList() << QByteArray();
        // Windows are listed, none open: the flat list must not be used instead.
        QTest::newRow("no window open")
            << QStringList{""} << QStringList{"file:///stale"} << QByteArray();
        QTest::newRow("one open location")
            << QStringList() << QStringList{"file:///srv/z/"} << QByteArray("/srv/z");
        QTest::newRow("two open locations")
            << QStringList() << QStringList{"file:///srv/z", "file:///srv/w"} << QByteArray();
        QTest::newRow("remote") << QStringList() << QStringList{"sftp://host/srv"} << QByteArray();
    }
    void singleReportedFolder() {
        QFETCH(QStringList, windows);
        QFETCH(QStringList, openLocations);
        QFETCH(QByteArray, folder);
        ReportedLocations reported{std::nullopt, openLocations};
        if (!windows.isEmpty()) reported.windows = WindowLocations();
        for (const QString& tabs : windows)
            if (!tabs.isEmpty())
                reported.windows->insert(u"/w/%1"_s.arg(reported.windows->size()),
                                         tabs.split(u' '));
        QCOMPARE(tarnwick::singleReportedFolder(reported).value_or(QByteArray()), folder);
    }
};

TARNWICK_TEST(FrontFolderRulesTest)
#include "FrontFolderRulesTest.moc"

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
const QString kOwner = u":1.7"_s;  // owns org.freedesktop.FileManager1

// "Class" or "Class:trait": gtk (GTK's D-Bus properties, on kOwner's bus name), own (this
// process's), hidden, desktop0 (while desktop 1 is shown), sticky (on every desktop).
WindowFacts window(uint32_t id, const QString& spec) {
    const QString trait = spec.section(u':', 1);
    WindowFacts facts;
    facts.id = id;
    facts.pid = trait == u"own" ? 1 : 1000 + id;
    facts.className = spec.section(u':', 0, 0).toUtf8();
    facts.instanceName = facts.className.toLower();
    facts.gtkObjectPath = trait == u"gtk" ? "/org/gnome/Nautilus/window/1" : "";
    facts.gtkUniqueBusName = trait == u"gtk" ? kOwner.toUtf8() : "";
    facts.hidden = trait == u"hidden";
    if (trait.startsWith(u"desktop") || trait == u"sticky")
        facts.desktop = trait == u"sticky" ? 0xFFFFFFFF : 0;
    return facts;
}

// Splits "a b|c" into windows (by '|') of tabs (by ' ').
WindowLocations windowsOf(const char* list) {
    WindowLocations windows;
    for (const QString& tabs : QString::fromLatin1(list).split(u'|', Qt::SkipEmptyParts))
        windows.insert(u"/w/%1"_s.arg(windows.size()), tabs.split(u' '));
    return windows;
}

}  // namespace

// Which file-manager window is in front, and what its title or its tabs say of its folder.
class FrontFolderRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titlesCarryingAPath_data() {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArray>("folder");
        auto row = [](const char* name, const char* title, const char* folder) {
            QTest::newRow(name) << QByteArray(title) << QByteArray(folder);
        };
        row("dolphin", "/home/me/Documents \xe2\x80\x94 Dolphin", "/home/me/Documents");
        row("thunar", "/tmp - Thunar", "/tmp");
        row("nemo puts the name first", "Documents - /home/me/Documents", "/home/me/Documents");
        row("longest path of several", "/home/me/a - b - Thunar", "/home/me/a - b");
        row("trailing slash", "/srv/ - Thunar", "/srv");
        row("root", "/ \xe2\x80\x93 Dolphin", "/");
        row("not UTF-8", "/home/me/a\xff - Thunar", "/home/me/a\xff");
        row("name only", "Documents - Thunar", "");
        row("cut in the middle", "/home/me/very\xe2\x80\xa6long - Thunar", "");
    }
    void titlesCarryingAPath() {
        QFETCH(QByteArray, title);
        QFETCH(QByteArray, folder);
        const QSet<QByteArray> onDisk{
            "/home/me/Documents", "/tmp", "/home/me/a - b", "/home/me/a", "/home/me", "/srv", "/",
            "/home/me/a\xff"};
        const auto found =
            folderFromTitle(title, [&](auto& path) { return onDisk.contains(path); });
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
        QTest::newRow("Nautilus, no GTK properties") << "org.gnome.Nautilus" << kOwner << titled;
        QTest::newRow("Dolphin") << "dolphin" << kOwner << int(FileManagerKind::dolphin);
        // Nemo exports GTK's properties and owns FileManager1 where no Nautilus runs, but
        // answers none of Nautilus's questions: its title tells.
        QTest::newRow("Nemo owning FileManager1") << "Nemo:gtk" << kOwner << titled;
        QTest::newRow("Thunar") << "Thunar" << kOwner << titled;
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
        WindowStack windows{{}, 1};
        for (const QString& spec : stack.split(u' '))
            windows.topFirst.append(window(uint32_t(windows.topFirst.size() + 1), spec));
        const auto found = frontFileManagerWindow(windows, 1, kOwner);
        QCOMPARE(found ? int(found->window.id) : kNone, front);
        QCOMPARE(anyGtkWindow(windows), stack.contains(u":gtk"));
    }

    void nautilusTabs_data() {
        QTest::addColumn<QString>("tabs");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("folder");
        auto row = [](const char* name, const char* tabs, const char* title, const char* folder) {
            QTest::newRow(name) << QString::fromLatin1(tabs) << QString::fromLatin1(title)
                                << QByteArray(folder);
        };
        row("one tab, whatever the title", "file:///srv/Music", "Something", "/srv/Music");
        row("the tab the title names", "file:///srv/Music file:///srv/Photos", "Photos",
            "/srv/Photos");
        row("percent-encoded", "file:///srv/Music file:///srv/My%20Files", "My Files",
            "/srv/My Files");
        row("home is Home", "file:///home/me file:///srv", "Home", "/home/me");
        row("no tab matches", "file:///a file:///b", "c", "");
        row("two places, one name", "file:///a/x file:///b/x", "x", "");
        row("the same place twice", "file:///a/x file:///a/x/ file:///b", "x", "/a/x");
        row("not a local folder", "trash:///", "Trash", "");
        row("no tabs", "", "x", "");
    }
    void nautilusTabs() {
        QFETCH(QString, tabs);
        QFETCH(QString, title);
        QFETCH(QByteArray, folder);
        const QStringList uris = tabs.split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(nautilusWindowFolder(uris, title, "/home/me/").value_or(QByteArray()), folder);
    }

    // Without a window stack (Wayland) only one window with one folder, or one open location.
    void singleReportedFolder_data() {
        QTest::addColumn<bool>("listsWindows");
        QTest::addColumn<WindowLocations>("windows");
        QTest::addColumn<QStringList>("openLocations");
        QTest::addColumn<QByteArray>("folder");
        auto row = [](const char* name, const char* windows, QStringList open, const char* folder) {
            QTest::newRow(name) << bool(windows) << windowsOf(windows ? windows : "") << open
                                << QByteArray(folder);
        };
        row("one window, one tab", "file:///srv/x", {}, "/srv/x");
        row("two tabs", "file:///x file:///y", {}, "");
        row("two windows", "file:///x|file:///y", {}, "");
        // Windows are listed, none open: the flat list must not be used instead.
        row("no window open", "", {"file:///stale"}, "");
        row("one open location", nullptr, {"file:///srv/z/"}, "/srv/z");
        row("two open locations", nullptr, {"file:///srv/z", "file:///srv/w"}, "");
        row("remote", nullptr, {"sftp://host/srv"}, "");
    }
    void singleReportedFolder() {
        QFETCH(bool, listsWindows);
        QFETCH(WindowLocations, windows);
        QFETCH(QStringList, openLocations);
        QFETCH(QByteArray, folder);
        const ReportedLocations reported{listsWindows ? std::optional(windows) : std::nullopt,
                                         openLocations};
        QCOMPARE(tarnwick::singleReportedFolder(reported).value_or(QByteArray()), folder);
    }
};

TARNWICK_TEST(FrontFolderRulesTest)
#include "FrontFolderRulesTest.moc"

#include "PlatformTest.h"
#include "core/FileUri.h"
#include "platform/CapsLock.h"
#include "platform/ClipboardPayload.h"
#include "platform/DisplayServer.h"
#include "platform/FileManagerWindow.h"
#include "platform/WindowTitlePath.h"
#include "platform/dbus/KWinWindowStack.h"
#include "platform/dbus/NautilusTabChoice.h"
#include "platform/dbus/ReportedFolderSource.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>
#include <QUrl>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kNone = -1;
const QString kOwner = u":1.7"_s;  // owns org.freedesktop.FileManager1

// "Class" or "Class:trait": gtk (GTK's D-Bus properties, on kOwner's bus name), own (this
// process's), hidden, desktop0 (while desktop 1 is shown), sticky (on every desktop).
WindowFacts window(uint32_t id, const QString& spec) {
    const QString trait = spec.section(u':', 1);
    const QByteArray className = spec.section(u':', 0, 0).toUtf8();
    const bool gtk = trait == u"gtk", sticky = trait == u"sticky";
    return {.id = id,
            .pid = trait == u"own" ? 1 : 1000 + id,
            .instanceName = className.toLower(),
            .className = className,
            .gtkObjectPath = gtk ? "/org/gnome/Nautilus/window/1" : "",
            .gtkUniqueBusName = gtk ? kOwner.toUtf8() : "",
            .hidden = trait == u"hidden",
            .desktop = sticky || trait == u"desktop0" ? std::optional(sticky ? 0xFFFFFFFFu : 0u)
                                                      : std::nullopt};
}

// Windows (split by '|') of tabs (split by ' '); null: windows not listed at all.
std::optional<WindowLocations> windowsOf(const char* list) {
    if (!list) return std::nullopt;
    WindowLocations windows;
    for (const QString& tabs : QString::fromLatin1(list).split(u'|', Qt::SkipEmptyParts))
        windows.insert(u"/w/%1"_s.arg(windows.size()), tabs.split(u' '));
    return windows;
}

using Bytes = std::tuple<QByteArray, QByteArray>;
using Kind = std::tuple<QString, QString, int>;
using Stack = std::tuple<QString, int>;
using Tabs = std::tuple<QString, QString, QByteArray>;
using Reported = std::tuple<const char*, QStringList, QByteArray>;
using Server = std::tuple<QString, QString, QString, int>;
using Format = std::tuple<QString, QByteArray>;

}  // namespace

// Which file-manager window is in front, and what its title, its tabs or KWin say of its folder.
class FrontFolderRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titlesCarryingAPath_data() {
        table<Bytes>({
            {"dolphin", {"/home/me/Documents \xe2\x80\x94 Dolphin", "/home/me/Documents"}},
            {"thunar", {"/tmp - Thunar", "/tmp"}},
            {"nemo puts the name first", {"Documents - /home/me/Documents", "/home/me/Documents"}},
            {"longest path of several", {"/home/me/a - b - Thunar", "/home/me/a - b"}},
            {"trailing slash", {"/srv/ - Thunar", "/srv"}},
            {"root", {"/ \xe2\x80\x93 Dolphin", "/"}},
            {"not UTF-8", {"/home/me/a\xff - Thunar", "/home/me/a\xff"}},
            {"name only", {"Documents - Thunar", ""}},
            {"cut in the middle", {"/home/me/very\xe2\x80\xa6long - Thunar", ""}},
        });
    }
    void titlesCarryingAPath() {
        const auto& [title, folder] = row<Bytes>();
        const QSet<QByteArray> onDisk{
            "/home/me/Documents", "/tmp", "/home/me/a - b", "/home/me/a", "/home/me", "/srv", "/",
            "/home/me/a\xff"};
        const auto found =
            folderFromTitle(title, [&](auto& path) { return onDisk.contains(path); });
        QCOMPARE(found.value_or(QByteArray()), folder);
    }
    void kindOfWindow_data() {
        const int nautilus = int(FileManagerKind::nautilus), titled = int(FileManagerKind::titled);
        table<Kind>({
            {"GTK window of the owner", {"xmessage:gtk", kOwner, nautilus}},
            {"GTK window, no owner", {"xmessage:gtk", "", kNone}},
            {"another GTK application", {"Gedit:gtk", ":1.9", kNone}},
            {"Nautilus by class", {"org.gnome.Nautilus:gtk", ":1.9", nautilus}},
            {"Nautilus, no GTK properties", {"org.gnome.Nautilus", kOwner, titled}},
            {"Dolphin", {"dolphin", kOwner, int(FileManagerKind::dolphin)}},
            // Nemo exports GTK's properties and owns FileManager1 where no Nautilus runs, but
            // answers none of Nautilus's questions: its title tells.
            {"Nemo owning FileManager1", {"Nemo:gtk", kOwner, titled}},
            {"Thunar", {"Thunar", kOwner, titled}},
            {"a browser", {"firefox", kOwner, kNone}},
        });
    }
    void kindOfWindow() {
        const auto& [spec, owner, kind] = row<Kind>();
        const auto found = fileManagerKindOf(window(1, spec), owner);
        QCOMPARE(found ? int(*found) : kNone, kind);
    }
    void frontWindow_data() {  // window specs, topmost first; the front one's place from 1
        table<Stack>({
            {"topmost file manager wins", {"firefox Thunar dolphin", 2}},
            {"own windows are looked through", {"tarnwick:own dolphin:own x:gtk", 3}},
            {"hidden and elsewhere are looked through",
             {"Thunar:hidden Thunar:desktop0 Thunar:sticky", 3}},
            {"none visible", {"Thunar:hidden Thunar:desktop0", kNone}},
        });
    }
    void frontWindow() {
        const auto& [stack, front] = row<Stack>();
        WindowStack windows{{}, 1};
        for (const QString& spec : stack.split(u' '))
            windows.topFirst.append(window(uint32_t(windows.topFirst.size() + 1), spec));
        const auto found = frontFileManagerWindow(windows, 1, kOwner);
        QCOMPARE(found ? int(found->window.id) : kNone, front);
        QCOMPARE(anyGtkWindow(windows), stack.contains(u":gtk"));
    }
    void nautilusTabs_data() {
        table<Tabs>({
            {"one tab, whatever the title", {"file:///srv/Music", "Something", "/srv/Music"}},
            {"the tab the title names",
             {"file:///srv/Music file:///srv/Photos", "Photos", "/srv/Photos"}},
            {"percent-encoded",
             {"file:///srv/Music file:///srv/My%20Files", "My Files", "/srv/My Files"}},
            {"home is Home", {"file:///home/me file:///srv", "Home", "/home/me"}},
            {"no tab matches", {"file:///a file:///b", "c", ""}},
            {"two places, one name", {"file:///a/x file:///b/x", "x", ""}},
            {"the same place twice", {"file:///a/x file:///a/x/ file:///b", "x", "/a/x"}},
            {"not a local folder", {"trash:///", "Trash", ""}},
            {"no tabs", {"", "x", ""}},
        });
    }
    void nautilusTabs() {
        const auto& [tabs, title, folder] = row<Tabs>();
        const QStringList uris = tabs.split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(nautilusWindowFolder(uris, title, "/home/me/").value_or(QByteArray()), folder);
    }
    // Without a window stack (Wayland) only one window with one folder, or one open location.
    void singleReportedFolder_data() {
        table<Reported>({
            {"one window, one tab", {"file:///srv/x", {}, "/srv/x"}},
            {"two tabs", {"file:///x file:///y", {}, ""}},
            {"two windows", {"file:///x|file:///y", {}, ""}},
            // Windows are listed, none open: the flat list must not be used instead.
            {"no window open", {"", {"file:///stale"}, ""}},
            {"one open location", {nullptr, {"file:///srv/z/"}, "/srv/z"}},
            {"two open locations", {nullptr, {"file:///srv/z", "file:///srv/w"}, ""}},
            {"remote", {nullptr, {"sftp://host/srv"}, ""}},
        });
    }
    void singleReportedFolder() {
        const auto& [windows, openLocations, folder] = row<Reported>();
        const ReportedLocations reported{windowsOf(windows), openLocations};
        QCOMPARE(tarnwick::singleReportedFolder(reported).value_or(QByteArray()), folder);
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

// What the session and Qt's platform plug-in decide: the display server the desktop services
// talk to, and whether a key event's native modifiers tell Caps Lock (on xcb: the panel's tests
// on a real X server).
class PlatformNameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayServer_data() {  // session type, Wayland socket, Qt platform
        const int x11 = int(DisplayServer::x11), wayland = int(DisplayServer::wayland);
        table<Server>({
            {"x11 session", {"x11", "", "xcb", x11}},
            {"no session type", {"", "", "xcb", x11}},
            // XWayland: Qt talks X11, but the root sees no native Wayland client.
            {"xwayland by type", {"Wayland", "", "xcb", wayland}},
            {"xwayland by socket", {"x11", "wayland-0", "xcb", wayland}},
            {"wayland-egl", {"", "wayland-1", "wayland-egl", wayland}},
            // Offscreen has no X connection even inside an X11 session.
            {"offscreen", {"x11", "", "offscreen", int(DisplayServer::none)}},
        });
    }
    void displayServer() {
        const auto& [sessionType, socket, platform, server] = row<Server>();
        QCOMPARE(int(displayServerFor(sessionType, socket, platform)), server);
    }
    void capsLock() {
        QVERIFY(capsLockInNativeModifiers(0x12, u"wayland-egl"_s));  // Lock, with Num Lock
        QVERIFY(!capsLockInNativeModifiers(0x11, u"wayland"_s));     // Shift, Num Lock
        QVERIFY(!capsLockInNativeModifiers(0x2, u"offscreen"_s));    // no modifier state there
    }
};

// What the clipboard holds after copying a path, or files, read back from the clipboard.
class ClipboardPayloadTest : public QObject {
    Q_OBJECT
    static inline const QByteArray kOddPath = "/home/ana/caf\xe9 \xff/notes #1.txt";  // not UTF-8
    static inline const QByteArray kUris =
        "file:///a/b.txt\nfile:///home/ana/caf%E9%20%FF/notes%20%231.txt";
    static const QMimeData* copied(std::unique_ptr<QMimeData> payload) {
        QGuiApplication::clipboard()->setMimeData(payload.release());
        return QGuiApplication::clipboard()->mimeData();
    }
private Q_SLOTS:
    void pathIsPlainTextWithTheExactBytes() {
        copied(filesPayload({kOddPath}));
        const QMimeData* data = copied(pathPayload(kOddPath));
        QCOMPARE(data->formats(), QStringList{u"text/plain"_s});  // the files are gone
        QCOMPARE(data->data(u"text/plain"_s), kOddPath);
    }
    void filesAreOfferedToEveryFileManager_data() {  // empty: not offered
        table<Format>({
            {"uri list", {"text/uri-list", QByteArray(kUris).replace("\n", "\r\n") + "\r\n"}},
            {"gnome", {"x-special/gnome-copied-files", "copy\n" + kUris}},
            {"mate", {"x-special/mate-copied-files", "copy\n" + kUris}},
            {"kde: copied, not cut", {"application/x-kde-cutselection", "0"}},
            {"no text", {"text/plain", ""}},
        });
    }
    void filesAreOfferedToEveryFileManager() {
        const auto& [format, content] = row<Format>();
        const QMimeData* data = copied(filesPayload({"/a/b.txt", kOddPath}));
        QCOMPARE(data->hasFormat(format) ? data->data(format) : QByteArray(), content);
        QCOMPARE(pathFromFileUri(data->urls().value(1).toEncoded()), kOddPath);
    }
};

TARNWICK_TEST(FrontFolderRulesTest)
TARNWICK_TEST(PlatformNameTest)
TARNWICK_TEST(ClipboardPayloadTest)
#include "RulesTest.moc"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}

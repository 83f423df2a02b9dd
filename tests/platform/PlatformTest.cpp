#include <gio/gio.h>

#include "RecordingOpener.h"
#include "StubDefaultApp.h"
#include "core/FileUri.h"
#include "core/PathAnchor.h"
#include "platform/CapsLock.h"
#include "platform/ClipboardPayload.h"
#include "platform/DisplayServer.h"
#include "platform/FileManagerWindow.h"
#include "platform/FocusLossWatcher.h"
#include "platform/WindowTitlePath.h"
#include "platform/dbus/FileManager1Reveal.h"
#include "platform/dbus/KWinWindowStack.h"
#include "platform/dbus/NautilusTabChoice.h"
#include "platform/dbus/ReportedFolderSource.h"
#include "platform/portal/GnomeCustomKeybinding.h"
#include "platform/portal/PortalGlobalShortcut.h"
#include "platform/x11/X11FrontFolderSource.h"
#include "platform/x11/X11KeyGrab.h"
#include "platform/x11/XInputClickWatcher.h"
#include "platform/xdg/GioFileOpener.h"
#include "platform/xdg/GioTrash.h"
#include "platform/xdg/TrashFolders.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"
#include "tests/support/gui/XServer.h"

#include <QClipboard>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QRasterWindow>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Designated initializers name only what a case sets; the rest keeps its default on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// A table whose rows are tuples in one column, so that each row reads as one line of data.
template <typename Row>
void table(std::initializer_list<std::pair<const char*, Row>> rows) {
    QTest::addColumn<Row>("row");
    for (const auto& [name, row] : rows) QTest::newRow(name) << row;
}
template <typename Row>
const Row& row() {
    return *static_cast<const Row*>(QTest::qData("row", qMetaTypeId<Row>()));
}

constexpr int kNone = -1;
const QString kOwner = u":1.7"_s;  // owns org.freedesktop.FileManager1

// "Class:trait": gtk (properties on kOwner), own, hidden, desktop0 (1 shown), sticky.
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

const QByteArray kOddPath = "/home/ana/caf\xe9 \xff/notes #1.txt";  // not UTF-8
const QByteArray kUris = "file:///a/b.txt\nfile:///home/ana/caf%E9%20%FF/notes%20%231.txt";
const QMimeData* copied(std::unique_ptr<QMimeData> payload) {
    QGuiApplication::clipboard()->setMimeData(payload.release());
    return QGuiApplication::clipboard()->mimeData();
}

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

enum class Manager { absent, answers, refuses, silent };

// Ctrl+Shift+`keysym` (space by default), or Alt+Super+`keysym`.
ShortcutKey shortcut(quint32 keysym = 0x20, bool altSuper = false) {
    return {.keysym = keysym,
            .keysymName = u"space"_s,
            .control = !altSuper,
            .alt = altSuper,
            .shift = !altSuper,
            .super = altSuper,
            .description = u"Search File Manager Window"_s};
}

std::unique_ptr<QRasterWindow> windowAt(QRect geometry, Qt::WindowFlags flags = {}) {
    auto window = std::make_unique<QRasterWindow>();
    window->setFlags(window->flags() | flags);
    window->setGeometry(geometry);
    window->show();
    return QTest::qWaitForWindowExposed(window.get()) ? std::move(window) : nullptr;
}

const auto exists = [](const QByteArray& path) {
    struct stat st;
    return statAnyLength(path, &st, false) == 0;
};

QByteArray readFile(const QByteArray& path) {
    QFile file;  // opened by its bytes: the name need not be UTF-8
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? file.readAll() : "";
}

// Home, data folder and files on one volume, set before GLib reads (and caches) them.
struct PrivateHome : TempTree {
    PrivateHome() {
        mkdir("home");
        mkdir("files");
        qputenv("HOME", pathOf("home"));
        qputenv("XDG_DATA_HOME", pathOf("data"));
    }
    QByteArray trashed(const QByteArray& name) const { return pathOf("data/Trash/files/" + name); }
};

enum class Mover { gio, claimsOnly, misplaces, refuses };

// GNOME's two keybinding schemas, as far as ours touches them.
const char* const kSchemas =
    R"(<schemalist><schema id="org.gnome.settings-daemon.plugins.media-keys" path="/org/gnome/)"
    R"(settings-daemon/plugins/media-keys/"><key name="custom-keybindings" type="as"><default>)"
    R"([]</default></key></schema><schema id="org.gnome.settings-daemon.plugins.media-keys.)"
    R"(custom-keybinding"><key name="name" type="s"><default>''</default></key><key name=)"
    R"("command" type="s"><default>''</default></key><key name="binding" type="s"><default>)"
    R"(''</default></key></schema></schemalist>)";
const QByteArray kUsersOwn =
    "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/";

// GSettings reads its schemas and backend once per process: set everything before first use.
void isolateSettings(TempTree& root, bool withSchemas) {
    root.mkdir("schemas");
    if (withSchemas) root.write("schemas/gnome-keys.gschema.xml", kSchemas);
    if (withSchemas)
        QProcess::execute(u"glib-compile-schemas"_s, {QFile::decodeName(root.pathOf("schemas"))});
    qputenv("GSETTINGS_SCHEMA_DIR", root.pathOf("schemas"));
    qputenv("XDG_DATA_DIRS", root.pathOf("no-system-schemas"));
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CONFIG_HOME", root.pathOf("config"));
}

}  // namespace

// Decisions from data alone: the front file-manager window and what its title, tabs or KWin say
// of its folder, the display server, and what the clipboard holds.
class RulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titlesCarryingAPath_data() {
        table<std::tuple<QByteArray, QByteArray>>({
            {"dolphin", {"/h/D \xe2\x80\x94 Dolphin", "/h/D"}},
            {"thunar", {"/t - Thunar", "/t"}},
            {"nemo puts the name first", {"D - /h/D", "/h/D"}},
            {"longest path of several", {"/h/a - b - Thunar", "/h/a - b"}},
            {"trailing slash", {"/s/ - Thunar", "/s"}},
            {"root", {"/ \xe2\x80\x93 Dolphin", "/"}},
            {"not UTF-8", {"/a\xff - Thunar", "/a\xff"}},
            {"name only", {"D - Thunar", ""}},
            {"cut in the middle", {"/h/very\xe2\x80\xa6long - Thunar", ""}},
        });
    }
    void titlesCarryingAPath() {
        const auto& [title, folder] = row<std::tuple<QByteArray, QByteArray>>();
        const QSet<QByteArray> onDisk{"/h/D", "/t", "/h/a - b", "/h/a", "/h", "/s", "/", "/a\xff"};
        const auto found = folderFromTitle(title, [&](auto& p) { return onDisk.contains(p); });
        QCOMPARE(found.value_or(QByteArray()), folder);
    }
    void kindOfWindow_data() {
        const int nautilus = int(FileManagerKind::nautilus), titled = int(FileManagerKind::titled);
        table<std::tuple<QString, QString, int>>({
            {"GTK window of the owner", {"xmessage:gtk", kOwner, nautilus}},
            {"GTK window, no owner", {"xmessage:gtk", "", kNone}},
            {"another GTK application", {"Gedit:gtk", ":1.9", kNone}},
            {"Nautilus by class", {"org.gnome.Nautilus:gtk", ":1.9", nautilus}},
            {"Nautilus, no GTK properties", {"org.gnome.Nautilus", kOwner, titled}},
            {"Dolphin", {"dolphin", kOwner, int(FileManagerKind::dolphin)}},
            // Nemo: GTK's properties and FileManager1, but none of Nautilus's answers.
            {"Nemo owning FileManager1", {"Nemo:gtk", kOwner, titled}},
            {"Thunar", {"Thunar", kOwner, titled}},
            {"a browser", {"firefox", kOwner, kNone}},
        });
    }
    void kindOfWindow() {
        const auto& [spec, owner, kind] = row<std::tuple<QString, QString, int>>();
        const auto found = fileManagerKindOf(window(1, spec), owner);
        QCOMPARE(found ? int(*found) : kNone, kind);
    }
    void frontWindow_data() {  // window specs, topmost first; the front one's place from 1
        table<std::tuple<QString, int>>({
            {"topmost file manager wins", {"firefox Thunar dolphin", 2}},
            {"own windows are looked through", {"tarnwick:own dolphin:own x:gtk", 3}},
            {"not shown: looked through", {"Thunar:hidden Thunar:desktop0 Thunar:sticky", 3}},
            {"none visible", {"Thunar:hidden Thunar:desktop0", kNone}},
        });
    }
    void frontWindow() {
        const auto& [stack, front] = row<std::tuple<QString, int>>();
        WindowStack windows{{}, 1};
        for (const QString& spec : stack.split(u' '))
            windows.topFirst.append(window(uint32_t(windows.topFirst.size() + 1), spec));
        const auto found = frontFileManagerWindow(windows, 1, kOwner);
        QCOMPARE(found ? int(found->window.id) : kNone, front);
        QCOMPARE(anyGtkWindow(windows), stack.contains(u":gtk"));
    }
    void nautilusTabs_data() {
        table<std::tuple<QString, QString, QByteArray>>({
            {"one tab, whatever the title", {"file:///srv/Music", "Something", "/srv/Music"}},
            {"the tab the title names", {"file:///s/M file:///s/Photos", "Photos", "/s/Photos"}},
            {"percent-encoded", {"file:///s/M file:///s/My%20Files", "My Files", "/s/My Files"}},
            {"home is Home", {"file:///home/me file:///srv", "Home", "/home/me"}},
            {"no tab matches", {"file:///a file:///b", "c", ""}},
            {"two places, one name", {"file:///a/x file:///b/x", "x", ""}},
            {"the same place twice", {"file:///a/x file:///a/x/ file:///b", "x", "/a/x"}},
            {"not a local folder", {"trash:///", "Trash", ""}},
            {"no tabs", {"", "x", ""}},
        });
    }
    void nautilusTabs() {
        const auto& [tabs, title, folder] = row<std::tuple<QString, QString, QByteArray>>();
        const QStringList uris = tabs.split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(nautilusWindowFolder(uris, title, "/home/me/").value_or(QByteArray()), folder);
    }
    // Without a window stack (Wayland) only one window with one folder, or one open location.
    void singleReportedFolder_data() {
        table<std::tuple<const char*, QStringList, QByteArray>>({
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
        const auto& [windows, openLocations, folder] =
            row<std::tuple<const char*, QStringList, QByteArray>>();
        const ReportedLocations reported{windowsOf(windows), openLocations};
        QCOMPARE(tarnwick::singleReportedFolder(reported).value_or(QByteArray()), folder);
    }
    void kwinReportsAreReadCarefully() {
        // Caption, class and pid are read on the bus; here what only a stack shows.
        const auto stack = windowStackFromKWinReport(R"([{"minimized": true}, {"caption": "x"}])");
        QVERIFY(stack && stack->topFirst.size() == 2);
        QVERIFY(stack->topFirst[0].hidden && !stack->topFirst[1].hidden && !stack->topFirst[1].pid);
        for (const char* wrong : {"{\"caption\": \"x\"}", "[1, 2]", "not json"})
            QVERIFY(!windowStackFromKWinReport(wrong));
    }
    // The display server the desktop services talk to, and Caps Lock off xcb.
    void displayServer_data() {  // session type, Wayland socket, Qt platform
        const int x11 = int(DisplayServer::x11), wayland = int(DisplayServer::wayland);
        table<std::tuple<QString, QString, QString, int>>({
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
        const auto& [sessionType, socket, platform, server] =
            row<std::tuple<QString, QString, QString, int>>();
        QCOMPARE(int(displayServerFor(sessionType, socket, platform)), server);
    }
    void capsLock() {
        QVERIFY(capsLockInNativeModifiers(0x12, u"wayland-egl"_s));  // Lock, with Num Lock
        QVERIFY(!capsLockInNativeModifiers(0x11, u"wayland"_s));     // Shift, Num Lock
        QVERIFY(!capsLockInNativeModifiers(0x2, u"offscreen"_s));    // no modifier state there
    }
    // What the clipboard holds after copying a path, or files, read back from the clipboard.
    void pathIsPlainTextWithTheExactBytes() {
        copied(filesPayload({kOddPath}));
        const QMimeData* data = copied(pathPayload(kOddPath));
        QCOMPARE(data->formats(), QStringList{u"text/plain"_s});  // the files are gone
        QCOMPARE(data->data(u"text/plain"_s), kOddPath);
    }
    void filesAreOfferedToEveryFileManager_data() {  // empty: not offered
        table<std::tuple<QString, QByteArray>>({
            {"uri list", {"text/uri-list", QByteArray(kUris).replace("\n", "\r\n") + "\r\n"}},
            {"gnome", {"x-special/gnome-copied-files", "copy\n" + kUris}},
            {"mate", {"x-special/mate-copied-files", "copy\n" + kUris}},
            {"kde: copied, not cut", {"application/x-kde-cutselection", "0"}},
            {"no text", {"text/plain", ""}},
        });
    }
    void filesAreOfferedToEveryFileManager() {
        const auto& [format, content] = row<std::tuple<QString, QByteArray>>();
        const QMimeData* data = copied(filesPayload({"/a/b.txt", kOddPath}));
        QCOMPARE(data->hasFormat(format) ? data->data(format) : QByteArray(), content);
        QCOMPARE(pathFromFileUri(data->urls().value(1).toEncoded()), kOddPath);
    }
};

// What file managers and KWin tell over D-Bus of the front folder, with wrong answers or none,
// and revealing through FileManager1, or opening the folder when none answers.
class FileManagerQueryTest : public BusTest {
    Q_OBJECT
    static inline const QByteArray kFolder = "/srv/photos/caf\xe9 2023";  // not UTF-8
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
    // Dolphin (pid 4242) whose second window shows `open`, compared exactly, as Dolphin does.
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
    // KWin that runs our script by calling back with `report` as the window stack. Only
    // "start" runs it: the number loadScript hands out can be that of another client's script.
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
            u"/Scripting"_s, u"org.kde.kwin.Scripting"_s, u"start"_s,
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
        table<std::tuple<QVariant, QByteArray, bool>>({
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
        const auto& [reported, className, found] = row<std::tuple<QVariant, QByteArray, bool>>();
        m_fileManager->setProperty(kManagerPath, kFileManager, kWindows, reported);
        if (!reported.isValid())
            m_fileManager->onCall(kManagerPath, u"org.freedesktop.DBus.Properties"_s, u"Get"_s,
                                  [](auto&) { return FakeBusService::silence(); });
        const QByteArray owner = m_fileManager->uniqueName().toUtf8();
        QCOMPARE(ask(*x11Seeing({.className = className,
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
    // plasma (0: no, 1: without KWin, 2: KWin tells Dolphin's), the file manager's property,
    // the folder found, how late the file manager answers (ms)
    void reportedFolder_data() {
        table<std::tuple<int, QString, QByteArray, int>>({
            {"the only window", {0, kWindows, m_photos, 0}},
            {"open locations", {0, u"OpenLocations"_s, m_photos, 0}},
            {"no file manager", {0, QString(), "none", 0}},
            {"plasma without KWin", {1, kWindows, m_photos, 0}},
            {"plasma: KWin's stack", {2, kWindows, m_music, 0}},
            // A file manager just started answers its first question late.
            {"a first answer after 1.5 s", {0, kWindows, m_photos, 1500}},
        });
    }
    void reportedFolder() {
        const auto& [plasma, property, folder, delayMs] =
            row<std::tuple<int, QString, QByteArray, int>>();
        m_fileManager->delayReplies(delayMs);
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
    void revealsOrOpensTheFolder_data() {  // file manager, path, its folder
        const QByteArray file = kFolder + "/a b#1.jpg";
        table<std::tuple<Manager, QByteArray, QByteArray>>({
            {"file manager shows the file", {Manager::answers, file, kFolder}},
            {"no file manager", {Manager::absent, file, kFolder}},
            {"file manager refuses", {Manager::refuses, file, kFolder}},
            {"file manager never answers", {Manager::silent, file, kFolder}},
            {"a file in the root", {Manager::absent, "/vmlinuz", "/"}},
            {"a folder with a trailing slash", {Manager::absent, "/srv/sub/", "/srv"}},
        });
    }
    void revealsOrOpensTheFolder() {
        const auto [manager, path, folder] = row<std::tuple<Manager, QByteArray, QByteArray>>();
        auto& fm = m_fileManager;
        if (manager == Manager::absent) fm.reset();
        if (fm)
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
        reveal.reveal(path, u"tarnwick-1-1_TIME4242"_s);
        QVERIFY(reveal.isBusy());
        if (manager == Manager::silent) {
            QTRY_COMPARE(fm->callCount(u"ShowItems"_s), 1);
            QVERIFY(opener->opened.isEmpty());  // asked, not yet given up on
        }
        QVERIFY(idle.wait(5000) && !reveal.isBusy());
        const bool shown = manager == Manager::answers;
        QCOMPARE(opener->opened, shown ? QList<QByteArray>() : QList<QByteArray>{folder});
        if (manager == Manager::silent) QVERIFY(waited.elapsed() >= 900);  // not an early error
        if (manager == Manager::absent) return;
        const QVariantList asked = fm->calls(u"ShowItems"_s).value(0).arguments();
        QCOMPARE(asked.value(0).toStringList(), QStringList{fileUriFromPath(path)});
        QCOMPARE(asked.value(1).toString(), u"tarnwick-1-1_TIME4242"_s);
    }
};

// The shortcut through a scripted GlobalShortcuts portal: one that binds what CreateSession names
// (xdg-desktop-portal-kde 5.27), one that binds what BindShortcuts names (later versions), one
// that answers success and binds nothing, and desktops that refuse.
enum class Portal { createBinds, bindBinds, bindsNothing, cancels, absent };
class PortalShortcutTest : public BusTest {
    Q_OBJECT
    using Shortcuts = QList<std::pair<QString, QVariantMap>>;  // a(sa{sv})
    std::unique_ptr<FakeBusService> m_portal;
    int m_activations = 0;
    static inline const ShortcutKey kKey = shortcut();
    static Shortcuts shortcutsIn(const QVariant& argument) {  // as bound: with Plasma's key name
        Shortcuts shortcuts;
        argument.value<QDBusArgument>() >> shortcuts;
        for (auto& [id, properties] : shortcuts)
            properties.insert(u"trigger_description"_s, u"Ctrl+Shift+Space"_s);
        return shortcuts;
    }
    // Answered with the Request path made from the call's handle_token, then its Response.
    using Results = std::function<QVariantMap(const QVariantList& arguments, QVariantMap options)>;
    FakeBusService::Handler respond(int optionsArgument, Results results, uint code = 0) {
        return [=, this](const QDBusMessage& call) {
            QVariantMap options;
            call.arguments().value(optionsArgument).value<QDBusArgument>() >> options;
            const QString path = u"/org/freedesktop/portal/desktop/request/%1/%2"_s.arg(
                call.service().mid(1).replace(u'.', u'_'),
                options.value(u"handle_token"_s).toString());
            const QVariantMap answer = results(call.arguments(), options);
            QTimer::singleShot(0, m_portal.get(), [=, this] {
                m_portal->emitSignal(path, u"org.freedesktop.portal.Request"_s, u"Response"_s,
                                     {code, answer});
            });
            return FakeBusService::answer({QVariant::fromValue(QDBusObjectPath(path))});
        };
    }
    void servePortal(Portal kind) {
        m_portal.reset();  // the name is free again
        QVERIFY(m_portal = fake(u"org.freedesktop.portal.Desktop"_s));
        if (kind == Portal::absent) return;
        qDBusRegisterMetaType<Shortcuts::value_type>(), qDBusRegisterMetaType<Shortcuts>();
        auto bound = std::make_shared<Shortcuts>();
        const auto listed = [bound] {
            return QVariantMap{{u"shortcuts"_s, QVariant::fromValue(*bound)}};
        };
        m_portal->onCall(kPortalPath, kShortcuts, u"CreateSession"_s,
                         respond(0, [=](auto&, auto options) {
                             if (kind == Portal::createBinds)
                                 *bound = shortcutsIn(options.value(u"shortcuts"_s));
                             return QVariantMap{{u"session_handle"_s, kSession}};
                         }));
        // Each answers with what it bound itself: 5.27's BindShortcuts with nothing.
        m_portal->onCall(kPortalPath, kShortcuts, u"BindShortcuts"_s,
                         respond(
                             3,
                             [=](auto& arguments, auto) {
                                 if (kind == Portal::bindBinds)
                                     *bound = shortcutsIn(arguments.value(1));
                                 return kind == Portal::bindBinds ? listed() : QVariantMap();
                             },
                             kind == Portal::cancels));
        m_portal->onCall(kPortalPath, kShortcuts, u"ListShortcuts"_s,
                         respond(1, [=](auto&, auto) { return listed(); }));
    }
public Q_SLOTS:
    void activated() { ++m_activations; }
private Q_SLOTS:
    void bindsOurShortcutAndHearsOnlyItsActivations() {
        servePortal(Portal::bindBinds);
        PortalGlobalShortcut shortcut(m_bus.connect(u"app"_s));
        QVERIFY(m_bus.connect(u"app"_s).connect({}, kPortalPath, kShortcuts, u"Activated"_s, this,
                                                SLOT(activated())));
        QSignalSpy pressed(&shortcut, &GlobalShortcut::pressed);
        shortcut.registerKey(kKey);
        QTRY_COMPARE(shortcut.sessionHandle(), kSession);
        QTRY_COMPARE(m_portal->callCount(u"BindShortcuts"_s), 1);  // sent after the session
        const QVariantList bind = m_portal->calls(u"BindShortcuts"_s).value(0).arguments();
        QCOMPARE(bind.value(0).value<QDBusObjectPath>().path(), kSession);
        Shortcuts shortcuts;
        bind.value(1).value<QDBusArgument>() >> shortcuts;
        const auto& [id, properties] = shortcuts.value(0);
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
    // Bound only when listed back; the trigger as the desktop names it, or the failure's status.
    void outcome_data() {  // portal, failure (0: bound, -1: unavailable), ListShortcuts asked
        table<std::tuple<Portal, int, bool>>({
            {"Plasma 5.27: bound at CreateSession", {Portal::createBinds, 0, true}},
            {"later portals: bound by BindShortcuts", {Portal::bindBinds, 0, false}},
            {"success without a binding", {Portal::bindsNothing, 3, true}},
            {"the user cancels the desktop's dialog", {Portal::cancels, 1, false}},
            {"no GlobalShortcuts on this desktop", {Portal::absent, -1, false}},
        });
    }
    void outcome() {
        const auto& [kind, failure, listAsked] = row<std::tuple<Portal, int, bool>>();
        servePortal(kind);
        PortalGlobalShortcut shortcut(m_bus.connect(u"app"_s));
        QSignalSpy bound(&shortcut, &GlobalShortcut::bound);
        QSignalSpy failed(&shortcut, &GlobalShortcut::registrationFailed);
        QSignalSpy unavailable(&shortcut, &GlobalShortcut::unavailable);
        shortcut.registerKey(kKey);
        QTRY_COMPARE(bound.size() + failed.size() + unavailable.size(), 1);
        QCOMPARE(bound.value(0).value(0).toString(), failure ? QString() : u"Ctrl+Shift+Space"_s);
        QCOMPARE(unavailable.size(), failure < 0 ? 1 : 0);
        QCOMPARE(failed.value(0).value(0).toInt(), std::max(failure, 0));
        QCOMPARE(m_portal->callCount(u"ListShortcuts"_s), int(listAsked));
    }
};

// On a private Xvfb without a window manager: the key grab (lock keys, keys another client holds,
// grabs given back), raw presses around our windows and another client's, and activation lost
// to that client's focus, as on Wayland when the user clicks elsewhere.
class X11InputTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QRasterWindow> m_panel, m_popup, m_hidden;
    std::unique_ptr<xserver::OtherClient> m_other;
    static std::unique_ptr<QRasterWindow> activeWindow() {
        auto window = windowAt({1000, 100, 200, 100});
        if (window) window->requestActivate();
        return window && QTest::qWaitForWindowActive(window.get()) ? std::move(window) : nullptr;
    }
    static bool focusElsewhere() {
        return xserver::focus(xserver::OtherClient::kClass) && QTest::qWaitFor([] {
                   return QGuiApplication::applicationState() != Qt::ApplicationActive;
               });
    }
    // Waits for the watcher to read the press, judged with the pointer still where it was made.
    static bool clickAndWait(XInputClickWatcher& watcher, QPoint at, int button = 1) {
        const int before = watcher.pressesSeen();
        return xserver::click(at, button) &&
               QTest::qWaitFor([&] { return watcher.pressesSeen() > before; });
    }
private Q_SLOTS:
    void initTestCase() {
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
        m_panel = windowAt({200, 200, 400, 300});
        m_popup = windowAt({700, 200, 150, 100}, Qt::Popup);
        m_hidden = windowAt({200, 600, 200, 100});
        QVERIFY(m_panel && m_popup && m_hidden);
        m_hidden->hide();
        QTRY_VERIFY(!m_hidden->isExposed());
        m_other = std::make_unique<xserver::OtherClient>(QRect(900, 600, 300, 120));
        QVERIFY(m_other->isShown());
    }
    void onlyOurCombinationArrives_data() {  // lock key, keys typed (ours last)
        table<std::tuple<QString, QStringList>>({
            {"ours after others", {"", {"space", "ctrl+space", "ctrl+shift+space"}}},
            {"with caps lock", {"Caps_Lock", {"ctrl+shift+space"}}},
            {"with num lock", {"Num_Lock", {"ctrl+shift+space"}}},
            {"alt and super from the modifier map", {"", {"alt+super+Return"}}},
        });
    }
    void onlyOurCombinationArrives() {
        const auto& [lock, typed] = row<std::tuple<QString, QStringList>>();
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        grab.registerKey(typed.last() == u"alt+super+Return" ? shortcut(0xff0d, true) : shortcut());
        QVERIFY(grab.isGrabbed());
        if (!lock.isEmpty()) QVERIFY(xserver::keys({lock}));
        QVERIFY(xserver::keys(typed));
        const bool arrived = pressed.wait(5000);
        if (!lock.isEmpty()) QVERIFY(xserver::keys({lock}));  // off again, for the other cases
        QVERIFY(arrived);
        xserver::settle();
        QCOMPARE(pressed.size(), 1);
    }
    void heldKeyCountsOnce() {
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        grab.registerKey(shortcut());
        QVERIFY(xserver::xdotool({u"keydown"_s, u"ctrl+shift+space"_s}));
        QTest::qWait(1000);  // past the server's auto-repeat delay of 660 ms
        QVERIFY(xserver::xdotool({u"keyup"_s, u"ctrl+shift+space"_s}));
        xserver::settle();
        QCOMPARE(pressed.size(), 1);
    }
    void refusals() {
        X11KeyGrab first, second;
        first.registerKey(shortcut());
        QVERIFY(first.isGrabbed());
        QSignalSpy failed(&second, &GlobalShortcut::registrationFailed);
        second.registerKey(shortcut());
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed[0][0].toInt() == 10 && !second.isGrabbed());  // BadAccess: another holds it
        first.unregisterKey();
        second.registerKey(shortcut());
        QVERIFY(failed.size() == 1 && second.isGrabbed());
        second.registerKey(shortcut(0x0100263a));  // U+263A as a keysym: on no keyboard layout
        QCOMPARE(failed.size(), 2);
        QCOMPARE(failed[1][0].toInt(), X11KeyGrab::kKeyNotOnKeyboard);
    }
    void clicksOutsideOurWindowsCount_data() {  // where, button, counts
        table<std::tuple<QPoint, int, bool>>({
            {"left on the desktop", {{50, 50}, 1, true}},
            {"right on the desktop", {{50, 50}, 3, true}},
            {"middle on the desktop", {{50, 50}, 2, false}},
            {"wheel on the desktop", {{50, 50}, 4, false}},
            {"on our panel", {{210, 210}, 1, false}},
            {"right in our panel's corner", {{599, 499}, 3, false}},
            {"on our pop-up", {{750, 250}, 1, false}},
            {"just right of our panel", {{600, 300}, 1, true}},
            {"where our hidden window was", {{300, 650}, 1, true}},
            {"in another client", {{950, 640}, 1, true}},
        });
    }
    void clicksOutsideOurWindowsCount() {
        const auto& [at, button, counts] = row<std::tuple<QPoint, int, bool>>();
        XInputClickWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy clicked(&watcher, &XInputClickWatcher::clickedOutside);
        QVERIFY(clickAndWait(watcher, at, button));
        QCOMPARE(clicked.count(), counts ? 1 : 0);
    }
    void stoppingFromTheSignalIsSafe() {
        XInputClickWatcher watcher, witness;
        QVERIFY(watcher.start() && witness.start());
        connect(&watcher, &XInputClickWatcher::clickedOutside, &watcher, &XInputClickWatcher::stop);
        QSignalSpy clicked(&watcher, &XInputClickWatcher::clickedOutside);
        // Two presses queued at once: the second must not be read after the stop, nor later.
        QVERIFY(xserver::click({50, 50}) && clickAndWait(witness, {60, 60}));
        QTRY_COMPARE(witness.pressesSeen(), 2);
        QTRY_COMPARE(clicked.count(), 1);
        QCOMPARE(watcher.pressesSeen(), 1);
        watcher.stop();  // again: harmless
    }
    void reportsOnlyFocusLeavingTheApplication_data() {  // watch before active, to own, stopped
        table<std::tuple<bool, bool, bool, int>>({
            {"lost after the first activation", {true, false, false, 1}},
            {"lost, watched from active", {false, false, false, 1}},
            {"moved to another own window", {false, true, false, 0}},
            {"lost, stopped watcher", {false, false, true, 0}},
        });
    }
    void reportsOnlyFocusLeavingTheApplication() {
        const auto& [watchBeforeActive, toOwnWindow, stopped, reports] =
            row<std::tuple<bool, bool, bool, int>>();
        FocusLossWatcher watcher;
        QSignalSpy lost(&watcher, &FocusLossWatcher::clickedOutside);
        if (watchBeforeActive) QVERIFY(watcher.start());
        const auto window = activeWindow();
        QVERIFY(window);
        if (!watchBeforeActive) QVERIFY(watcher.start());
        QCOMPARE(lost.count(), 0);
        if (stopped) watcher.stop();
        const auto second = toOwnWindow ? activeWindow() : nullptr;
        QVERIFY(toOwnWindow ? second != nullptr : focusElsewhere());
        QCOMPARE(lost.count(), reports);
        // Inactive for the next case, while our windows are still there to lose the focus.
        QVERIFY(focusElsewhere());
    }
};

// Moving to the trash through GIO into a private XDG data home, checked on disk.
class TrashTest : public QObject {
    Q_OBJECT
    PrivateHome m_home;
private Q_SLOTS:
    void itemArrivesWithItsContent_data() {  // name, file inside the item (or the item itself)
        table<std::tuple<QByteArray, QByteArray>>({
            {"file, no data folder yet", {"first.txt", ""}},
            {"name that is not UTF-8", {"caf\xe9-\xff.txt", ""}},
            {"folder", {"album", "/inner/photo.jpg"}},
            {"same name again: found each time", {"first.txt", ""}},
            // past PATH_MAX, where GIO takes no path
            {"deep file", {QByteArray(250, 'd').append('/').repeated(20) + "deep.txt", ""}},
        });
    }
    void itemArrivesWithItsContent() {
        const auto& [name, file] = row<std::tuple<QByteArray, QByteArray>>();
        m_home.write("files/" + name + file, "content of " + name);
        const TrashOutcome outcome = GioTrash().moveToTrash(m_home.pathOf("files/" + name));
        QVERIFY2(outcome.trashed, qPrintable(outcome.message));
        QVERIFY(!exists(m_home.pathOf("files/" + name)));
        const QByteArray entry = lastPathComponent(name);
        QCOMPARE(readFile(m_home.trashed(entry + file)), "content of " + name);
        // Where to restore it to, percent-encoded as GIO writes it.
        QVERIFY(readFile(m_home.pathOf("data/Trash/info/" + entry + ".trashinfo"))
                    .contains("\nPath=" + m_home.pathOf("files/" + name).toPercentEncoding("/")));
    }
    // A mover that reports success is believed only when the item is found in a trash folder.
    void outcomeIsCheckedOnDisk_data() {  // mover, the file stays put, part of the message
        table<std::tuple<Mover, bool, QString>>({
            {"vanished file: GIO's message", {Mover::gio, false, ""}},
            {"success that leaves the file", {Mover::claimsOnly, true, "stays.txt"}},
            {"success that moves it elsewhere", {Mover::misplaces, false, "stays.txt"}},
            {"refusal", {Mover::refuses, true, "no trash"}},
        });
    }
    void outcomeIsCheckedOnDisk() {
        const auto [mover, staysPut, told] = row<std::tuple<Mover, bool, QString>>();
        const QByteArray path = m_home.pathOf("files/stays.txt");
        ::unlink(path.constData());
        if (mover != Mover::gio) m_home.write("files/stays.txt");
        GioTrash trash = mover == Mover::gio ? GioTrash() : GioTrash([&](const QByteArray& from) {
            if (mover == Mover::misplaces) ::rename(from, m_home.pathOf("home/stays.txt"));
            return mover == Mover::refuses ? std::optional(u"no trash"_s) : std::nullopt;
        });
        const TrashOutcome outcome = trash.moveToTrash(path);
        QVERIFY(!outcome.trashed && !outcome.message.isEmpty());
        QVERIFY2(outcome.message.contains(told), qPrintable(outcome.message));
        QCOMPARE(exists(path), staysPut);
    }
    void trashFoldersOfTheHomeVolume() {
        struct stat st;
        QCOMPARE(lstat(m_home.path().constData(), &st), 0);
        const QByteArray uid = QByteArray::number(getuid());
        const QList<QByteArray> folders =
            trashFilesFolders(m_home.pathOf("files/x.txt"), st.st_dev, m_home.pathOf("data"));
        QCOMPARE(folders.value(0), m_home.trashed({}).chopped(1));
        QVERIFY(folders.value(1).endsWith("/.Trash/" + uid + "/files") &&
                folders.value(2).endsWith("/.Trash-" + uid + "/files"));
    }
};

// Run unprivileged: a file in a read-only folder stays put; without GNOME's schemas no keybinding
// is offered, and nothing aborts.
class RefusalTest : public QObject {
    Q_OBJECT
    TempTree m_root;
private Q_SLOTS:
    void readOnlyParentRefuses() {
        if (geteuid() == 0) QSKIP("root ignores permissions: run as an unprivileged user");
        PrivateHome home;
        home.write("files/locked/kept.txt", "kept");
        QCOMPARE(chmod(home.pathOf("files/locked").constData(), 0555), 0);
        const TrashOutcome outcome = GioTrash().moveToTrash(home.pathOf("files/locked/kept.txt"));
        QVERIFY(!outcome.trashed && !outcome.message.isEmpty());
        QCOMPARE(readFile(home.pathOf("files/locked/kept.txt")), QByteArray("kept"));
        QVERIFY(!exists(home.trashed("kept.txt")));
    }
    void nothingIsOffered() {
        isolateSettings(m_root, false);
        QVERIFY(!GnomeCustomKeybinding::isOffered() && !GnomeCustomKeybinding::isInstalled());
        QString error;
        QVERIFY(!GnomeCustomKeybinding::install(u"x"_s, u"y"_s, u"<Control>z"_s, &error) &&
                !error.isEmpty());
        QVERIFY(GnomeCustomKeybinding::remove());
    }
};

// Opening with the default application through GIO, where a stub script is that application.
class FileOpenerTest : public QObject {
    Q_OBJECT
    StubDefaultApp m_stub;
    TempTree m_files;
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_stub.isValid());
        m_stub.environment(true);
        // GLib announces launches on the session bus: never an autolaunched one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-test-bus");
        m_files.write("notes caf\xe9 #2.txt", "notes\n");  // Latin-1: not UTF-8
        m_files.write("empty notes.txt");  // typed application/x-zerosize by GLib 2.84
    }
    void reachesTheDefaultApplication_data() {
        table<std::tuple<QByteArray, bool>>({
            {"vanished file", {"gone.txt", false}},
            {"text file with an odd name", {"notes caf\xe9 #2.txt", true}},
            {"empty file: the type of its name", {"empty notes.txt", true}},
            {"folder", {"", true}},
        });
    }
    void reachesTheDefaultApplication() {
        const auto& [name, opens] = row<std::tuple<QByteArray, bool>>();
        QByteArray path = name.isEmpty() ? m_files.path() : m_files.pathOf(name);
        const qsizetype before = m_stub.openedPaths().size();
        const std::optional<QString> error = GioFileOpener().open(path);
        QCOMPARE(error.has_value(), !opens);
        if (!opens) {  // the folder next: had the vanished file started the stub, it comes first
            QVERIFY(!error->isEmpty() && !GioFileOpener().open(path = m_files.path()));
        }
        QTRY_COMPARE(m_stub.openedPaths().mid(before), QList<QByteArray>{path});
    }
};

// The custom keybinding standing in for the portal's shortcut on GNOME, in GSettings (a keyfile).
class GnomeKeybindingTest : public QObject {
    Q_OBJECT
    TempTree m_root;
    const QByteArray m_keyfile = m_root.pathOf("config/glib-2.0/settings/keyfile");
private Q_SLOTS:
    void initTestCase() {
        isolateSettings(m_root, true);
        QVERIFY(exists(m_root.pathOf("schemas/gschemas.compiled")));
        m_root.write("config/glib-2.0/settings/keyfile",  // one of the user's own
                     "[org/gnome/settings-daemon/plugins/media-keys]\ncustom-keybindings=['" +
                         kUsersOwn + "']\n");
    }
    void installsBesideTheUsersOwnAndRemovesOnlyOurs() {
        QVERIFY(GnomeCustomKeybinding::isOffered() && !GnomeCustomKeybinding::isInstalled());
        for (int time = 0; time < 2; ++time)  // again: still one entry of ours
            QVERIFY(GnomeCustomKeybinding::install(u"Tarnwick: search"_s,
                                                   u"'/opt/t w/tarnwick' --activate"_s,
                                                   u"<Control><Shift>space"_s));
        QVERIFY(GnomeCustomKeybinding::isInstalled());
        QByteArray text = readFile(m_keyfile);
        QVERIFY2(text.contains("custom-keybindings=['" + kUsersOwn + "', '" +
                               QByteArray(GnomeCustomKeybinding::kPath) + "']\n\n[" +
                               QByteArray(GnomeCustomKeybinding::kPath).mid(1).chopped(1) +
                               "]\nname='Tarnwick: search'\n"
                               "command=\"'/opt/t w/tarnwick' --activate\"\n"
                               "binding='<Control><Shift>space'\n"),
                 text.constData());
        QVERIFY(GnomeCustomKeybinding::remove() && !GnomeCustomKeybinding::isInstalled());
        text = readFile(m_keyfile);
        QVERIFY2(text.contains("custom-keybindings=['" + kUsersOwn + "']"), text.data());
        QVERIFY(!text.contains("--activate"));
        const QString command = GnomeCustomKeybinding::activateCommand();  // the path quoted
        QVERIFY(command.startsWith(u'\'') && command.endsWith(QLatin1String("' --activate")));
    }
};

TARNWICK_TEST(RulesTest)
TARNWICK_TEST(FileManagerQueryTest)
TARNWICK_TEST(PortalShortcutTest)
TARNWICK_TEST(X11InputTest)
TARNWICK_TEST(TrashTest)
TARNWICK_TEST(RefusalTest)
TARNWICK_TEST(FileOpenerTest)
TARNWICK_TEST(GnomeKeybindingTest)
#include "PlatformTest.moc"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}

#include "app/FileManagerActions.h"
#include "app/LoginItem.h"
#include "app/SettingsGroup.h"
#include "app/SettingsKeyCap.h"
#include "app/SettingsSwitch.h"
#include "app/SettingsView.h"
#include "core/Preferences.h"
#include "platform/xdg/AutostartEntry.h"
#include "platform/xdg/DesktopEntryFile.h"
#include "platform/xdg/ThunarCustomActions.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>

using namespace tarnwick;
using tarnwick::test::TempTree;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kTemplate =
    "[Desktop Entry]\nType=Application\nName=Tarnwick\nExec=tarnwick\nX-Test=from-template\n";
const QByteArray kEntry = "autostart/org.tarnwick.Tarnwick.desktop";
// A uca.xml as Thunar writes it, with a comment, an entity, non-ASCII names (one outside the
// Basic Multilingual Plane) and an attribute Thunar does not know.
const QByteArray kUserFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<!-- my own actions -->\n<action>\n"
    "\t<icon>utilities-terminal</icon>\n"
    "\t<name>Open Terminal Here \xf0\x9f\x96\xa5 \xe7\xab\xaf\xe6\x9c\xab</name>\n"
    "\t<unique-id>1700000000000001-1</unique-id>\n"
    "\t<command>exo-open --working-directory %f &amp;&amp; true</command>\n"
    "\t<patterns>*</patterns>\n\t<startup-notify/>\n\t<directories/>\n</action>\n"
    "<action custom=\"kept\">\n\t<icon></icon>\n\t<name>Shrink images</name>\n"
    "\t<unique-id>1700000000000002-2</unique-id>\n\t<command>mogrify -resize 50% %F</command>\n"
    "\t<patterns>*.png;*.jpg</patterns>\n\t<image-files/>\n</action>\n</actions>\n";
const QString kId = u"org.tarnwick.Tarnwick.search-here"_s;
const QByteArray kScript = "data/nautilus/scripts/Search with Tarnwick";
QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
QString packaged(const QByteArray& relative) {
    return QStringLiteral(TARNWICK_SOURCE_DIR "/packaging/") + QLatin1String(relative);
}
QString pathIn(const TempTree& tree, const QByteArray& relative) {
    return QString::fromLocal8Bit(tree.pathOf(relative));
}
ThunarAction ourAction(const QString& command = u"'/usr/bin/tarnwick' %f"_s) {
    return {kId, u"Search with Tarnwick"_s, u"Search <here> & now"_s, u"x"_s, command, true};
}
QStringList texts(const QByteArray& xml, const char* name) {  // of each element `name`
    QStringList found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String(name))
            found << reader.readElementText();
    return reader.hasError() ? QStringList{u"(malformed)"_s} : found;
}

}  // namespace

// Launch at login through a private autostart folder: the state is what the session would do
// with the autostart file; on copies the packaged template, off deletes it.
class LoginItemTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
    LoginItem item(const QByteArray& templatePath = "share/template.desktop") const {
        return LoginItem(pathIn(m_tree, kEntry), {pathIn(m_tree, templatePath)});
    }
private Q_SLOTS:
    void initTestCase() { m_tree.write("share/template.desktop", kTemplate); }
    void roundTrip() {
        const QByteArray entry = "[Desktop Entry]\nType=Application\nExec=tarnwick\nHidden=";
        const std::pair<QByteArray, bool> rows[] = {
            {{}, false},
            {entry + "true", false},
            {entry + "false", true},
            {"\n", false},  // empty
            {"Exec=tarnwick", false},
            {"[Something]\nExec=tarnwick", false},
            {QByteArray("\177ELF\2\1\0\0\0[[[", 12), false},
        };
        for (const auto& [content, on] : rows) {
            if (!content.isEmpty()) m_tree.write(kEntry, content.trimmed());
            QVERIFY2(item().isEnabled() == on, content.constData());
            QVERIFY(item().setEnabled(true) && item().isEnabled());
            QCOMPARE(contentOf(pathIn(m_tree, kEntry)), kTemplate);  // broken or hidden: replaced
            QVERIFY(item().setEnabled(false) && item().setEnabled(false));  // off twice: no failure
            QVERIFY(!QFile::exists(pathIn(m_tree, kEntry)) && !item().isEnabled());
        }
        qputenv("XDG_CONFIG_HOME", m_tree.path());
        QCOMPARE(LoginItem::forThisApplication().entryPath(), pathIn(m_tree, kEntry));
    }
    void failuresChangeNothing() {
        QString error;
        QVERIFY(!item("share/nowhere.desktop").setEnabled(true, &error));
        QVERIFY2(error.contains("template"_L1), qPrintable(error));
        m_tree.write("share/html.desktop", "<html></html>");
        QVERIFY(!item("share/html.desktop").setEnabled(true, &error));
        QVERIFY(!QFile::exists(pathIn(m_tree, kEntry)));
        m_tree.mkdir(kEntry);  // a folder in the entry's place
        error.clear();
        QVERIFY(!item().setEnabled(true, &error) && !error.isEmpty());
        QVERIFY(!item().setEnabled(false, &error) && !item().isEnabled());
    }
};

// As a user whose permissions apply: a read-only autostart folder makes both directions fail,
// and the state reported is still the real one; an entry that cannot be read counts as off.
class LoginItemPermissionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyAutostartFolder() {
        TempTree tree;
        tree.write("template.desktop", kTemplate);
        tree.mkdir("autostart");
        const LoginItem item(pathIn(tree, kEntry), {pathIn(tree, "template.desktop")});
        auto mode = [&tree](const QByteArray& relative, mode_t mode) {
            return ::chmod(tree.pathOf(relative).constData(), mode) == 0;
        };
        QString error;
        QVERIFY(mode("autostart", 0555) && !item.setEnabled(true, &error) && !error.isEmpty());
        QVERIFY(!item.isEnabled());
        QVERIFY(mode("autostart", 0755) && item.setEnabled(true));
        QVERIFY(mode("autostart", 0555) && !item.setEnabled(false, &error) && item.isEnabled());
        QVERIFY(mode("autostart", 0755) && mode(kEntry, 0) && !item.isEnabled());
    }
};

// The files the package installs, read the way the desktop reads them: a typo here would leave
// Tarnwick without a menu entry, an icon, a working autostart or file-manager actions.
class PackagedFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void desktopEntriesIconsAndMetainfo() {
        const char *app = "org.tarnwick.Tarnwick.desktop", *fm = "file-managers/tarnwick-search-";
        const std::tuple<QByteArray, const char*, const char*> rows[] = {
            {app, "Desktop Entry", "tarnwick %f"},
            {app, "Desktop Action search", "tarnwick --activate"},
            {app, "Desktop Action settings", "tarnwick --settings"},
            {"autostart/org.tarnwick.Tarnwick.desktop", "Desktop Entry", "tarnwick"},
            {"file-managers/org.tarnwick.Tarnwick.servicemenu.desktop",
             "Desktop Action searchWithTarnwick", "tarnwick %f"},
            {fm + QByteArray("folder.nemo_action"), "Nemo Action", "tarnwick %F"},
            {fm + QByteArray("here.nemo_action"), "Nemo Action", "tarnwick %P"},
        };
        for (const auto& [file, group, exec] : rows) {
            DesktopEntryFile entry;
            QCOMPARE(entry.loadFile(packaged(file)), DesktopEntryFile::LoadResult::loaded);
            QCOMPARE(entry.string(group, "Exec"), std::optional(QString::fromLatin1(exec)));
            QCOMPARE(entry.string(group, "Icon")
                         .value_or(entry.string(group, "Icon-Name").value_or(QString())),
                     QString::fromLatin1(LoginItem::kAppId));
        }
        QVERIFY(readAutostartEntry(packaged("autostart/org.tarnwick.Tarnwick.desktop"))
                    .startsAtLogin());
        for (const char* icon :
             {"icons/org.tarnwick.Tarnwick.svg", "icons/org.tarnwick.Tarnwick-symbolic.svg"}) {
            QSvgRenderer renderer(packaged(icon));
            QVERIFY2(
                renderer.isValid() && renderer.viewBox().width() == renderer.viewBox().height(),
                icon);
        }
        const QByteArray metainfo = contentOf(packaged("org.tarnwick.Tarnwick.metainfo.xml"));
        QCOMPARE(texts(metainfo, "id") + texts(metainfo, "launchable"),
                 (QStringList{LoginItem::kAppId, app}));
    }
};

// The settings window over a private settings file and autostart folder: it shows what is
// stored and on disk each time it is drawn, and its switches and buttons change exactly that.
class SettingsViewTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
    std::unique_ptr<SettingsView> m_view;
    bool m_gnomeOffered = false, m_gnomeInstalled = false;
    QString path(const QByteArray& relative) const { return pathIn(m_tree, relative); }
    void open(const QByteArray& templatePath = "template.desktop") {
        SettingsServices services{LoginItem(path(kEntry), {path(templatePath)}), {}, {}};
        const QString script = path("nautilus/scripts/Search with Tarnwick"),
                      uca = path("Thunar/uca.xml");
        services.fileManagerActions = [script, uca] {
            return FileManagerActions({script, ThunarActionsFile(uca, {}), true, true},
                                      "/usr/bin/tarnwick");
        };
        services.gnomeShortcut = {[this] { return m_gnomeOffered; },
                                  [this] { return m_gnomeInstalled; },
                                  [this](QString*) { return m_gnomeInstalled = true; },
                                  [this](QString*) { return !(m_gnomeInstalled = false); }};
        m_view = std::make_unique<SettingsView>(std::move(services));
        m_view->showAndRaise();
    }
    SettingsSwitch* switchNamed(const char* name) const {
        for (SettingsSwitch* candidate : m_view->findChildren<SettingsSwitch*>())
            if (candidate->accessibleName() == QLatin1String(name)) return candidate;
        return nullptr;
    }
    QPushButton* buttonIn(const QString& groupTitle) const {
        for (SettingsGroup* group : m_view->findChildren<SettingsGroup*>()) {
            const QList<QLabel*> labels = group->findChildren<QLabel*>();
            if (!labels.isEmpty() && labels.front()->text() == groupTitle)
                return group->isVisibleTo(m_view.get()) ? group->findChild<QPushButton*>()
                                                        : nullptr;
        }
        return nullptr;
    }
    QString shortcutShown() const {  // the first key cap, when the header names it too
        const QList<SettingsKeyCap*> caps = m_view->findChildren<SettingsKeyCap*>();
        for (const QLabel* label : m_view->findChildren<QLabel*>())
            if (!caps.isEmpty() && label->text().startsWith("Press "_L1))
                return label->text().contains("<b>" + caps[0]->text() + "</b>") ? caps[0]->text()
                                                                                : label->text();
        return u"no key cap or header"_s;
    }
private Q_SLOTS:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path("settings"));
        m_tree.write("template.desktop", "[Desktop Entry]\nType=Application\nExec=tarnwick\n");
    }
    void init() { QSettings(u"Tarnwick"_s, u"Tarnwick"_s).clear(), open(); }
    void cleanup() { m_view.reset(); }
    void switchesShowAndChangeWhatIsStored() {
        m_view->close();
        m_view->showAndRaise();
        SettingsSwitch* hidden = switchNamed("Show hidden files in results");
        QVERIFY(m_view->isVisible() && hidden && !hidden->isChecked());
        QTest::mouseClick(hidden, Qt::LeftButton);
        QVERIFY(Preferences::showHiddenFiles());
        QTest::mouseClick(hidden, Qt::LeftButton);
        QCOMPARE(Preferences::readBool(u"showHiddenFiles"_s), std::optional(false));
        Preferences::setShowHiddenFiles(true);  // changed elsewhere: shown at the next drawing
        m_view->showAndRaise();
        QVERIFY(hidden->isChecked());
        SettingsSwitch* login = switchNamed("Launch at login");
        QVERIFY(login && !login->isChecked());
        QTest::mouseClick(login, Qt::LeftButton);
        QVERIFY(QFile::exists(path(kEntry)) && login->isChecked());
        m_tree.write(kEntry, "[Desktop Entry]\nHidden=true\n");
        m_view->showAndRaise();
        QVERIFY(!login->isChecked());
        m_tree.write(kEntry, "[Desktop Entry]\nExec=x\n");
        m_view->refresh();
        QVERIFY(login->isChecked());
        QTest::mouseClick(login, Qt::LeftButton);
        QVERIFY(!QFile::exists(path(kEntry)) && !login->isChecked());
        open("no-template.desktop");  // a change that fails shows the real state
        QTest::mouseClick(switchNamed("Launch at login"), Qt::LeftButton);
        QVERIFY(!QFile::exists(path(kEntry)) && !switchNamed("Launch at login")->isChecked());
        QCOMPARE(shortcutShown(), u"Ctrl+Shift+Space"_s);  // the stored shortcut, read anew
        QSettings settings(u"Tarnwick"_s, u"Tarnwick"_s);
        settings.setValue(u"hotKeyCode"_s, 36);
        settings.setValue(u"hotKeyModifiers"_s, 0x0900);
        settings.sync();
        m_view->showAndRaise();
        QCOMPARE(shortcutShown(), u"Alt+Super+Return"_s);
    }
    void buttonsAddAndRemove() {
        QVERIFY(!buttonIn(u"Shortcut"_s));  // offered only where needed
        m_gnomeOffered = true;
        m_view->refresh();
        const QString script = path("nautilus/scripts/Search with Tarnwick");
        for (QPushButton* button : {buttonIn(u"File Manager"_s), buttonIn(u"Shortcut"_s)}) {
            QVERIFY(button && button->text() == "Add"_L1);
            button->click();
            QCOMPARE(button->text(), u"Remove"_s);
            QVERIFY(m_gnomeInstalled ||
                    (QFile::exists(script) && QFile(path("Thunar/uca.xml")).size() > 0));
            button->click();
            QCOMPARE(button->text(), u"Add"_s);
            QVERIFY(!m_gnomeInstalled && !QFile::exists(script));
        }
    }
};

// Editing Thunar's shared uca.xml: our action goes in and out, everything else stays byte for
// byte, and a file we cannot understand is left alone.
class ThunarActionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editsOnlyOurAction() {
        const ThunarActionsEdit added = editThunarActions(kUserFile, kId, ourAction());
        QVERIFY2(added.ok, qPrintable(added.error));
        QCOMPARE(texts(added.xml, "unique-id"),
                 (QStringList{"1700000000000001-1", "1700000000000002-2", kId}));
        // The old file with our action inserted before </actions>.
        QVERIFY(added.xml.startsWith(kUserFile.left(kUserFile.lastIndexOf("</actions>"))) &&
                added.xml.endsWith("</action>\n</actions>\n"));
        QCOMPARE(texts(added.xml, "command").last(), ourAction().command);
        QVERIFY(added.xml.contains("<description>Search &lt;here&gt; &amp; now</description>"));
        const ThunarAction moved = ourAction(u"'/opt/tarnwick/bin/tarnwick' %f"_s);
        const ThunarActionsEdit twice = editThunarActions(added.xml, kId, moved);
        QVERIFY(twice.ok && texts(twice.xml, "unique-id").count(kId) == 1);
        QCOMPARE(texts(twice.xml, "command").last(), moved.command);
        QCOMPARE(twice.xml.size() - added.xml.size(),
                 moved.command.size() - ourAction().command.size());
        const ThunarActionsEdit removed = editThunarActions(twice.xml, kId, std::nullopt);
        QVERIFY(removed.ok && removed.xml == kUserFile);
        const ThunarActionsEdit fresh = editThunarActions({}, kId, ourAction());
        QVERIFY(fresh.ok && hasThunarAction(fresh.xml, kId));
        QCOMPARE(texts(fresh.xml, "unique-id"), QStringList{kId});
        const ThunarActionsEdit compact = editThunarActions(
            "<actions><action><unique-id>a</unique-id></action><action><unique-id>" + kId.toUtf8() +
                "</unique-id></action></actions>",
            kId, std::nullopt);
        QCOMPARE(compact.xml,
                 QByteArray("<actions><action><unique-id>a</unique-id></action></actions>"));
        // An empty list as one tag is opened up for our action, left as it is with nothing to
        // remove.
        const QByteArray empty = "<?xml version=\"1.0\"?>\n<actions />\n";
        const ThunarActionsEdit opened = editThunarActions(empty, kId, ourAction());
        QVERIFY2(opened.ok, qPrintable(opened.error));
        QCOMPARE(texts(opened.xml, "unique-id"), QStringList{kId});
        QVERIFY(opened.xml.startsWith("<?xml version=\"1.0\"?>\n<actions >\n<action>") &&
                opened.xml.endsWith("</action>\n</actions>\n"));
        QCOMPARE(editThunarActions(empty, kId, std::nullopt).xml, empty);
    }
    void refusesWhatItCannotRead() {
        for (const QByteArray& content :
             {kUserFile.left(kUserFile.size() / 2), QByteArray("<?xml version=\"1.0\"?><accels/>"),
              QByteArray("<actions><action><name>caf\xe9</name></action></actions>"),
              QByteArray("<actions/><actions/>")}) {
            QVERIFY(!editThunarActions(content, kId, ourAction()).ok &&
                    !editThunarActions(content, kId, std::nullopt).ok &&
                    !hasThunarAction(content, kId));
        }
    }
    // The first copy is kept; a broken file is left alone; a new user file starts from the
    // system's.
    void fileEdits() {
        TempTree tree;
        auto at = [&tree](const char* relative) { return pathIn(tree, relative); };
        tree.write("Thunar/uca.xml", kUserFile);
        const ThunarActionsFile file(at("Thunar/uca.xml"), {});
        QString error;
        QVERIFY2(file.install(ourAction(), &error), qPrintable(error));
        QVERIFY(file.contains(kId) && file.remove(kId, &error) && !file.contains(kId));
        QCOMPARE(contentOf(at("Thunar/uca.xml")), kUserFile);
        tree.write("Thunar/uca.xml", "<actions>\n</actions>\n");
        QVERIFY2(file.install(ourAction(), &error), qPrintable(error));
        QCOMPARE(contentOf(at("Thunar/uca.xml.before-tarnwick")), kUserFile);
        tree.write("broken/uca.xml", kUserFile.left(100));
        QVERIFY(!ThunarActionsFile(at("broken/uca.xml"), {}).install(ourAction(), &error));
        QVERIFY2(error.contains("left unchanged"_L1), qPrintable(error));
        QCOMPARE(contentOf(at("broken/uca.xml")), kUserFile.left(100));
        QVERIFY(!QFile::exists(at("broken/uca.xml.before-tarnwick")));
        tree.write("etc/xdg/Thunar/uca.xml", kUserFile);
        const ThunarActionsFile user(at("home/Thunar/uca.xml"),
                                     {at("etc/no/Thunar/uca.xml"), at("etc/xdg/Thunar/uca.xml")});
        QVERIFY(user.remove(kId, &error));  // nothing to remove: nothing written
        QVERIFY(!QFile::exists(at("home/Thunar/uca.xml")));
        QVERIFY2(user.install(ourAction(), &error), qPrintable(error));
        QCOMPARE(texts(contentOf(at("home/Thunar/uca.xml")), "unique-id").size(), 3);
        QCOMPARE(contentOf(at("etc/xdg/Thunar/uca.xml")), kUserFile);
    }
};

// `tarnwick --install-file-manager-actions [--remove]` for a user with Nautilus and Thunar,
// whose uca.xml has an action of its own; the Nautilus script as Nautilus runs it.
class FileManagerActionsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TempTree> m_tree;
    static int command(QStringList options) {
        return installFileManagerActions(QStringList{"tarnwick", "--install-file-manager-actions"} +
                                         options);
    }
    QString at(const QByteArray& relative) const { return pathIn(*m_tree, relative); }
private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<TempTree>();
        qputenv("XDG_DATA_HOME", m_tree->pathOf("data"));
        qputenv("XDG_CONFIG_HOME", m_tree->pathOf("config"));
        qputenv("XDG_CONFIG_DIRS", m_tree->pathOf("etc-xdg"));
        m_tree->mkdir("data/nautilus");
        m_tree->write("config/Thunar/uca.xml", kUserFile);
        // No file manager programs on PATH: the folders above are what makes them present.
        qputenv("PATH", m_tree->pathOf("empty-bin"));
    }
    void installsAndRemovesWhatItCan() {
        QCOMPARE(command({}), 0);
        const FileManagerActions actions = FileManagerActions::forThisUser();
        QCOMPARE(actions.presentFileManagers(), (QStringList{"Nautilus", "Thunar"}));
        QVERIFY(actions.isInstalled() && QFileInfo(at(kScript)).isExecutable());
        QCOMPARE(texts(contentOf(at("config/Thunar/uca.xml")), "unique-id").last(), kId);
        QCOMPARE(command({"--remove"}), 0);
        QVERIFY(!FileManagerActions::forThisUser().isInstalled() && !QFile::exists(at(kScript)));
        QCOMPARE(contentOf(at("config/Thunar/uca.xml")), kUserFile);
        QVERIFY(command({"--force"}) == 2 && !QFile::exists(at(kScript)));
        m_tree->write("config/Thunar/uca.xml", "<actions><action>");
        QCOMPARE(command({}), 1);  // Nautilus still gets its script
        QCOMPARE(contentOf(at("config/Thunar/uca.xml")), QByteArray("<actions><action>"));
        QVERIFY(QFile::exists(at(kScript)) && QDir(at("config/Thunar")).removeRecursively());
        QCOMPARE(command({}), 0);
        QCOMPARE(FileManagerActions::forThisUser().presentFileManagers(), QStringList{"Nautilus"});
        QVERIFY(!QFile::exists(at("config/Thunar")));
    }
    // Run in the shown folder, the script hands the selected folder, or else the shown one, on.
    void nautilusScriptSearchesTheSelectedOrShownFolder() {
        const QByteArray program = m_tree->pathOf("bin dir/it's tarnwick");  // must be quoted
        m_tree->write("bin dir/it's tarnwick",
                      "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + m_tree->pathOf("args") + "\"\n");
        QFile::setPermissions(at("bin dir/it's tarnwick"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_tree->mkdir("shown/sub folder"), m_tree->write("shown/file.txt");
        const QString script = at("scripts/Search");
        const NautilusScriptAction action(script, program);
        QString error;
        QVERIFY2(action.install(&error) && action.isInstalled(), qPrintable(error));
        const std::pair<QStringList, QByteArray> rows[] = {
            {{"file.txt", "sub folder"}, "shown/sub folder"},
            {{"file.txt"}, "shown"},
            {{}, "shown"}};
        for (const auto& [selection, folder] : rows) {
            QProcess process;
            process.setWorkingDirectory(at("shown"));
            process.start(script, selection);
            QVERIFY(process.waitForFinished(10000));
            QCOMPARE(contentOf(at("args")), m_tree->pathOf(folder) + '\n');
        }
        QVERIFY(action.remove(&error) && !QFile::exists(script));
        // A user's own script of that name is never overwritten or deleted.
        m_tree->write("scripts/Search", "#!/bin/sh\necho mine\n");
        QVERIFY(!action.isInstalled() && !action.install(&error) && action.remove(&error));
        QCOMPARE(contentOf(script), QByteArray("#!/bin/sh\necho mine\n"));
    }
};

TARNWICK_TEST(LoginItemTest)
TARNWICK_TEST(LoginItemPermissionTest)
TARNWICK_TEST(PackagedFilesTest)
TARNWICK_TEST(SettingsViewTest)
TARNWICK_TEST(ThunarActionsTest)
TARNWICK_TEST(FileManagerActionsTest)
#include "SettingsTest.moc"

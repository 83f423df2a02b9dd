#include "app/LoginItem.h"
#include "app/SettingsGroup.h"
#include "app/SettingsKeyCap.h"
#include "app/SettingsSwitch.h"
#include "app/SettingsView.h"
#include "core/Preferences.h"
#include "platform/xdg/AutostartEntry.h"
#include "platform/xdg/DesktopEntryFile.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QFile>
#include <QLabel>
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

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString packaged(const char* relative) {
    return QStringLiteral(TARNWICK_SOURCE_DIR "/packaging/") + QLatin1String(relative);
}

QString pathIn(const TempTree& tree, const QByteArray& relative) {
    return QString::fromLocal8Bit(tree.pathOf(relative));
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
        for (const auto& [content, on] : {std::pair<QByteArray, bool>{{}, false},
                                          {entry + "true", false},
                                          {entry + "false", true},
                                          {"\n", false},  // empty
                                          {"Exec=tarnwick", false},
                                          {"[Something]\nExec=tarnwick", false},
                                          {QByteArray("\x7f"
                                                      "ELF\x02\x01\0\0\0[[[",
                                                      12),
                                           false}}) {
            if (!content.isEmpty()) m_tree.write(kEntry, content.trimmed());
            QVERIFY2(item().isEnabled() == on, content.constData());
            QVERIFY(item().setEnabled(true) && item().isEnabled());
            QCOMPARE(contentOf(pathIn(m_tree, kEntry)), kTemplate);  // broken or hidden: replaced
            QVERIFY(item().setEnabled(false));
            QVERIFY(!QFile::exists(pathIn(m_tree, kEntry)) && !item().isEnabled());
            QVERIFY(item().setEnabled(false));  // off when already off is no failure
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
        const char* app = "org.tarnwick.Tarnwick.desktop";
        const struct {
            const char *file, *group, *exec;
        } rows[] = {
            {app, "Desktop Entry", "tarnwick %f"},
            {app, "Desktop Action search", "tarnwick --activate"},
            {app, "Desktop Action settings", "tarnwick --settings"},
            {"autostart/org.tarnwick.Tarnwick.desktop", "Desktop Entry", "tarnwick"},
            {"file-managers/org.tarnwick.Tarnwick.servicemenu.desktop",
             "Desktop Action searchWithTarnwick", "tarnwick %f"},
            {"file-managers/tarnwick-search-folder.nemo_action", "Nemo Action", "tarnwick %F"},
            {"file-managers/tarnwick-search-here.nemo_action", "Nemo Action", "tarnwick %P"}};
        for (const auto& row : rows) {
            DesktopEntryFile entry;
            QCOMPARE(entry.loadFile(packaged(row.file)), DesktopEntryFile::LoadResult::loaded);
            QCOMPARE(entry.string(row.group, "Exec"), std::optional(QString::fromLatin1(row.exec)));
            QCOMPARE(entry.string(row.group, "Icon")
                         .value_or(entry.string(row.group, "Icon-Name").value_or(QString())),
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
        QFile file(packaged("org.tarnwick.Tarnwick.metainfo.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader reader(&file);
        QStringList ids;  // then the launchable
        while (!reader.atEnd())
            if (reader.readNext() == QXmlStreamReader::StartElement &&
                (reader.name() == "id"_L1 || reader.name() == "launchable"_L1))
                ids << reader.readElementText();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(ids, (QStringList{LoginItem::kAppId, app}));
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
        const QString script = path("nautilus/scripts/Search with Tarnwick");
        const QString uca = path("Thunar/uca.xml");
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
        QVERIFY(m_view->isVisible());
        SettingsSwitch* hidden = switchNamed("Show hidden files in results");
        QVERIFY(hidden && !hidden->isChecked());
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
    }
    void showsTheStoredShortcut() {
        QCOMPARE(shortcutShown(), u"Ctrl+Shift+Space"_s);
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

TARNWICK_TEST(LoginItemTest)
TARNWICK_TEST(LoginItemPermissionTest)
TARNWICK_TEST(PackagedFilesTest)
TARNWICK_TEST(SettingsViewTest)
#include "SettingsTest.moc"

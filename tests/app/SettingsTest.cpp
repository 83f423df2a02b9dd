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
const QByteArray kEntry = "config/autostart/org.tarnwick.Tarnwick.desktop";

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString packaged(const char* relative) {
    return QStringLiteral(TARNWICK_SOURCE_DIR "/packaging/") + QLatin1String(relative);
}

}  // namespace

// Launch at login through a private autostart folder: the switch's state is what the session
// would do with the autostart file, turning it on copies the packaged template, off deletes it.
class LoginItemTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TempTree> m_tree;
    QString path(const QByteArray& relative) const {
        return QString::fromLocal8Bit(m_tree->pathOf(relative));
    }
    LoginItem item(const QByteArray& templatePath = "share/template.desktop") const {
        return LoginItem(path(kEntry), {path(templatePath)});
    }

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<TempTree>();
        m_tree->write("share/template.desktop", kTemplate);
    }
    void roundTrip() {
        const QByteArray entry = "[Desktop Entry]\nType=Application\nExec=tarnwick\nHidden=";
        for (const auto& [content, on] : {std::pair<QByteArray, bool>{{}, false},
                                          {entry + "true\n", false},
                                          {entry + "false\n", true},
                                          {"\n", false},  // empty
                                          {"Exec=tarnwick\n", false},
                                          {"[Something]\nExec=tarnwick\n", false},
                                          {QByteArray("\x7f"
                                                      "ELF\x02\x01\0\0\0[[[",
                                                      12),
                                           false}}) {
            if (!content.isEmpty()) m_tree->write(kEntry, content.trimmed());
            QVERIFY2(item().isEnabled() == on, content.constData());
            QVERIFY(item().setEnabled(true));
            QVERIFY(item().isEnabled());
            QCOMPARE(contentOf(path(kEntry)), kTemplate);  // a broken or hidden entry is replaced
            QVERIFY(item().setEnabled(false));
            QVERIFY(!QFile::exists(path(kEntry)) && !item().isEnabled());
            QVERIFY(item().setEnabled(false));  // off when already off is no failure
        }
    }
    void failuresChangeNothing() {
        QString error;
        QVERIFY(!item("share/nowhere.desktop").setEnabled(true, &error));
        QVERIFY2(error.contains("template"_L1), qPrintable(error));
        m_tree->write("share/html.desktop", "<html></html>");
        QVERIFY(!item("share/html.desktop").setEnabled(true, &error));
        QVERIFY(!QFile::exists(path(kEntry)));
        m_tree->mkdir(kEntry);  // a folder in the entry's place
        error.clear();
        QVERIFY(!item().setEnabled(true, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!item().setEnabled(false, &error));
        QVERIFY(!item().isEnabled());
    }
    void findsTheEntryUnderXdgConfigHome() {
        qputenv("XDG_CONFIG_HOME", m_tree->pathOf("config"));
        QCOMPARE(LoginItem::forThisApplication().entryPath(), path(kEntry));
    }
};

// As a user whose permissions apply: a read-only autostart folder makes both directions fail,
// and the state reported is still the real one.
class LoginItemPermissionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyAutostartFolder() {
        TempTree tree;
        tree.write("template.desktop", kTemplate);
        tree.mkdir("autostart");
        const QByteArray folder = tree.pathOf("autostart");
        const LoginItem item(QString::fromLocal8Bit(folder + "/org.tarnwick.Tarnwick.desktop"),
                             {QString::fromLocal8Bit(tree.pathOf("template.desktop"))});
        QVERIFY(::chmod(folder.constData(), 0555) == 0);
        QString error;
        QVERIFY(!item.setEnabled(true, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!item.isEnabled());
        QVERIFY(::chmod(folder.constData(), 0755) == 0);
        QVERIFY(item.setEnabled(true));
        QVERIFY(::chmod(folder.constData(), 0555) == 0);
        QVERIFY(!item.setEnabled(false, &error));
        QVERIFY(item.isEnabled());
        // An entry that cannot be read counts as off.
        QVERIFY(::chmod(folder.constData(), 0755) == 0);
        QVERIFY(::chmod((folder + "/org.tarnwick.Tarnwick.desktop").constData(), 0) == 0);
        QVERIFY(!item.isEnabled());
    }
};

// The files the package installs, read the way the desktop reads them: a typo here would leave
// Tarnwick without a menu entry, an icon, a working autostart or file-manager actions.
class PackagedFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void desktopEntries() {
        const struct {
            const char* file;
            const char* group;
            const char* exec;
        } rows[] = {
            {"org.tarnwick.Tarnwick.desktop", "Desktop Entry", "tarnwick %f"},
            {"org.tarnwick.Tarnwick.desktop", "Desktop Action search", "tarnwick --activate"},
            {"org.tarnwick.Tarnwick.desktop", "Desktop Action settings", "tarnwick --settings"},
            {"autostart/org.tarnwick.Tarnwick.desktop", "Desktop Entry", "tarnwick"},
            {"file-managers/org.tarnwick.Tarnwick.servicemenu.desktop",
             "Desktop Action searchWithTarnwick", "tarnwick %f"},
            {"file-managers/tarnwick-search-folder.nemo_action", "Nemo Action", "tarnwick %F"},
            {"file-managers/tarnwick-search-here.nemo_action", "Nemo Action", "tarnwick %P"},
        };
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
    }
    void iconsAndMetainfo() {
        for (const char* icon :
             {"icons/org.tarnwick.Tarnwick.svg", "icons/org.tarnwick.Tarnwick-symbolic.svg"}) {
            QSvgRenderer renderer(packaged(icon));
            QVERIFY2(renderer.isValid(), icon);
            QCOMPARE(renderer.viewBox().width(), renderer.viewBox().height());
        }
        QFile file(packaged("org.tarnwick.Tarnwick.metainfo.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader reader(&file);
        QStringList ids;
        QString launchable;
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement) continue;
            if (reader.name() == "id"_L1) ids << reader.readElementText();
            if (reader.name() == "launchable"_L1) launchable = reader.readElementText();
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(ids, QStringList{LoginItem::kAppId});
        QCOMPARE(launchable, u"org.tarnwick.Tarnwick.desktop"_s);
    }
};

// The settings window over a private settings file and autostart folder: it shows what is
// stored and on disk each time it is drawn, and its switches and buttons change exactly that.
class SettingsViewTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<SettingsView> m_view;
    bool m_gnomeOffered = false;
    bool m_gnomeInstalled = false;
    QString path(const QByteArray& relative) const {
        return QString::fromLocal8Bit(m_tree->pathOf(relative));
    }
    QString entry() const { return path("autostart/org.tarnwick.Tarnwick.desktop"); }
    SettingsServices services(const QString& templatePath) {
        SettingsServices services{LoginItem(entry(), {templatePath}), {}, {}};
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
        return services;
    }
    SettingsSwitch* switchNamed(const char* name) const {
        for (SettingsSwitch* candidate : m_view->findChildren<SettingsSwitch*>())
            if (candidate->accessibleName() == QLatin1String(name)) return candidate;
        return nullptr;
    }
    QStringList keyCaps() const {
        QStringList texts;
        for (const SettingsKeyCap* cap : m_view->findChildren<SettingsKeyCap*>())
            texts << cap->text();
        return texts;
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
    QString headerText() const {
        for (const QLabel* label : m_view->findChildren<QLabel*>())
            if (label->text().startsWith("Press "_L1)) return label->text();
        return {};
    }

private Q_SLOTS:
    void initTestCase() {
        m_tree = std::make_unique<TempTree>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path("settings"));
    }
    void init() {
        QSettings(u"Tarnwick"_s, u"Tarnwick"_s).clear();
        QFile::remove(entry());
        m_tree->write("template/org.tarnwick.Tarnwick.desktop",
                      "[Desktop Entry]\nType=Application\nExec=tarnwick\n");
        m_gnomeOffered = m_gnomeInstalled = false;
        m_view = std::make_unique<SettingsView>(
            services(path("template/org.tarnwick.Tarnwick.desktop")));
    }
    void cleanup() { m_view.reset(); }
    void isTheSettingsWindow() {
        QCOMPARE(m_view->windowTitle(), u"Tarnwick Settings"_s);
        m_view->showAndRaise();
        QCOMPARE(m_view->size(), QSize(420, 480));
        m_view->close();
        QVERIFY(!m_view->isVisible());
        m_view->showAndRaise();
        QVERIFY(m_view->isVisible());
    }
    void switchesShowAndChangeWhatIsStored() {
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
        QVERIFY(QFile::exists(entry()) && login->isChecked());
        m_tree->write("autostart/org.tarnwick.Tarnwick.desktop", "[Desktop Entry]\nHidden=true\n");
        m_view->showAndRaise();
        QVERIFY(!login->isChecked());
        m_tree->write("autostart/org.tarnwick.Tarnwick.desktop", "[Desktop Entry]\nExec=x\n");
        m_view->refresh();
        QVERIFY(login->isChecked());
        QTest::mouseClick(login, Qt::LeftButton);
        QVERIFY(!QFile::exists(entry()) && !login->isChecked());
        // A change that fails shows the real state.
        m_view = std::make_unique<SettingsView>(services(path("no-template.desktop")));
        QTest::mouseClick(switchNamed("Launch at login"), Qt::LeftButton);
        QVERIFY(!QFile::exists(entry()) && !switchNamed("Launch at login")->isChecked());
    }
    void showsTheStoredShortcut() {
        m_view->showAndRaise();
        QCOMPARE(keyCaps().value(0), u"Ctrl+Shift+Space"_s);
        QVERIFY2(headerText().contains("<b>Ctrl+Shift+Space</b>"_L1), qPrintable(headerText()));
        QCOMPARE(keyCaps().size(), 7);
        QVERIFY(keyCaps().contains(u"Esc"_s));
        QSettings settings(u"Tarnwick"_s, u"Tarnwick"_s);
        settings.setValue(u"hotKeyCode"_s, 36);
        settings.setValue(u"hotKeyModifiers"_s, 0x0900);
        settings.sync();
        m_view->showAndRaise();
        QCOMPARE(keyCaps().value(0), u"Alt+Super+Return"_s);
        QVERIFY(headerText().contains("<b>Alt+Super+Return</b>"_L1));
    }
    void buttonsAddAndRemove() {
        m_view->showAndRaise();
        QVERIFY(!buttonIn(u"Shortcut"_s));  // offered only where needed
        m_gnomeOffered = true;
        m_view->refresh();
        const QString script = path("nautilus/scripts/Search with Tarnwick");
        for (QPushButton* button : {buttonIn(u"File Manager"_s), buttonIn(u"Shortcut"_s)}) {
            QVERIFY(button);
            QCOMPARE(button->text(), u"Add"_s);
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

#include "app/SettingsGroup.h"
#include "app/SettingsKeyCap.h"
#include "app/SettingsSwitch.h"
#include "app/SettingsView.h"
#include "core/Preferences.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

using namespace tarnwick;
using tarnwick::test::TempTree;
using namespace Qt::StringLiterals;

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

TARNWICK_TEST(SettingsViewTest)
#include "SettingsViewTest.moc"

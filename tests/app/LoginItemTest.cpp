#include "app/LoginItem.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

using namespace tarnwick;
using tarnwick::test::TempTree;

namespace {

const QByteArray kTemplate =
    "[Desktop Entry]\nType=Application\nName=Tarnwick\nExec=tarnwick\nX-Test=from-template\n";

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// Launch at login through a private XDG_CONFIG_HOME: the switch's state is what the session
// would do with the autostart file, turning it on copies the packaged template, off deletes it.
class LoginItemTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempTree> m_tree;
    QString m_entry;
    QString m_template;

    LoginItem item() const { return LoginItem(m_entry, {m_template}); }
    void writeEntry(const QByteArray& content) {
        m_tree->write("config/autostart/org.tarnwick.Tarnwick.desktop", content);
    }

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<TempTree>();
        m_tree->write("share/tarnwick/autostart/org.tarnwick.Tarnwick.desktop", kTemplate);
        m_template = QString::fromLocal8Bit(
            m_tree->pathOf("share/tarnwick/autostart/org.tarnwick.Tarnwick.desktop"));
        m_entry = QString::fromLocal8Bit(
            m_tree->pathOf("config/autostart/org.tarnwick.Tarnwick.desktop"));
    }

    void roundTrip() {
        QVERIFY(!item().isEnabled());
        QVERIFY(item().setEnabled(true));
        QVERIFY(item().isEnabled());
        QCOMPARE(contentOf(m_entry), kTemplate);
        QVERIFY(item().setEnabled(false));
        QVERIFY(!QFile::exists(m_entry));
        QVERIFY(!item().isEnabled());
        // Off when already off is no failure.
        QVERIFY(item().setEnabled(false));
    }

    void hiddenEntryCountsAsOffAndIsReplacedWhenTurnedOn() {
        writeEntry("[Desktop Entry]\nType=Application\nExec=tarnwick\nHidden=true\n");
        QVERIFY(!item().isEnabled());
        QVERIFY(item().setEnabled(true));
        QVERIFY(item().isEnabled());
        QCOMPARE(contentOf(m_entry), kTemplate);
    }

    void hiddenFalseCountsAsOn() {
        writeEntry("[Desktop Entry]\nType=Application\nExec=tarnwick\nHidden=false\n");
        QVERIFY(item().isEnabled());
    }

    void brokenEntriesCountAsOff_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no group") << QByteArray("Exec=tarnwick\n");
        QTest::newRow("other group") << QByteArray("[Something]\nExec=tarnwick\n");
        QTest::newRow("garbage") << QByteArray(
            "\x7f"
            "ELF\x02\x01\x01\0\0\0[[[",
            14);
    }
    void brokenEntriesCountAsOff() {
        QFETCH(QByteArray, content);
        writeEntry(content);
        QVERIFY(!item().isEnabled());
        // Turning on repairs it, off removes it.
        QVERIFY(item().setEnabled(true));
        QVERIFY(item().isEnabled());
        QVERIFY(item().setEnabled(false));
        QVERIFY(!QFile::exists(m_entry));
    }

    void missingTemplateFailsAndChangesNothing() {
        const LoginItem withoutTemplate(m_entry, {m_tree->path() + "/nowhere.desktop"});
        QString error;
        QVERIFY(!withoutTemplate.setEnabled(true, &error));
        QVERIFY2(error.contains(QLatin1String("template")), qPrintable(error));
        QVERIFY(!QFile::exists(m_entry));
        QVERIFY(!withoutTemplate.isEnabled());
    }

    void templateThatIsNoDesktopEntryIsRefused() {
        m_tree->write("share/tarnwick/autostart/org.tarnwick.Tarnwick.desktop", "<html></html>");
        QString error;
        QVERIFY(!item().setEnabled(true, &error));
        QVERIFY(!QFile::exists(m_entry));
    }

    void aFolderInTheEntrysPlaceIsAnError() {
        m_tree->mkdir("config/autostart/org.tarnwick.Tarnwick.desktop");
        QString error;
        QVERIFY(!item().setEnabled(true, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!item().setEnabled(false, &error));
        QVERIFY(!item().isEnabled());
    }

    void findsTheEntryUnderXdgConfigHome() {
        qputenv("XDG_CONFIG_HOME", m_tree->pathOf("xdg-config"));
        const LoginItem real = LoginItem::forThisApplication();
        QCOMPARE(real.entryPath(), QString::fromLocal8Bit(m_tree->pathOf(
                                       "xdg-config/autostart/org.tarnwick.Tarnwick.desktop")));
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
        const QString entry =
            QString::fromLocal8Bit(tree.pathOf("autostart/org.tarnwick.Tarnwick.desktop"));
        const LoginItem item(entry, {QString::fromLocal8Bit(tree.pathOf("template.desktop"))});
        QVERIFY(::chmod(tree.pathOf("autostart").constData(), 0555) == 0);
        QString error;
        QVERIFY(!item.setEnabled(true, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!item.isEnabled());

        QVERIFY(::chmod(tree.pathOf("autostart").constData(), 0755) == 0);
        QVERIFY(item.setEnabled(true));
        QVERIFY(::chmod(tree.pathOf("autostart").constData(), 0555) == 0);
        QVERIFY(!item.setEnabled(false, &error));
        QVERIFY(item.isEnabled());
        QVERIFY(::chmod(tree.pathOf("autostart").constData(), 0755) == 0);
    }

    void unreadableEntryCountsAsOff() {
        TempTree tree;
        tree.write("autostart/org.tarnwick.Tarnwick.desktop", kTemplate);
        const QByteArray entry = tree.pathOf("autostart/org.tarnwick.Tarnwick.desktop");
        QVERIFY(::chmod(entry.constData(), 0) == 0);
        QVERIFY(!LoginItem(QString::fromLocal8Bit(entry), {}).isEnabled());
    }
};

TARNWICK_TEST(LoginItemTest)
TARNWICK_TEST(LoginItemPermissionTest)
#include "LoginItemTest.moc"

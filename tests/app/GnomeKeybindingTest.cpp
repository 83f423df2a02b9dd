#include <gio/gio.h>

#include "platform/portal/GnomeCustomKeybinding.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

namespace {

// GNOME's two keybinding schemas, as far as ours touches them.
const char* const kSchemas = R"(<schemalist>
  <schema id="org.gnome.settings-daemon.plugins.media-keys"
          path="/org/gnome/settings-daemon/plugins/media-keys/">
    <key name="custom-keybindings" type="as"><default>[]</default></key>
  </schema>
  <schema id="org.gnome.settings-daemon.plugins.media-keys.custom-keybinding">
    <key name="name" type="s"><default>''</default></key>
    <key name="command" type="s"><default>''</default></key>
    <key name="binding" type="s"><default>''</default></key>
  </schema>
</schemalist>
)";

// GSettings reads its schemas and backend once per process: set everything before first use.
void isolateSettings(const QTemporaryDir& root, bool withSchemas) {
    const QString schemas = root.filePath(QStringLiteral("schemas"));
    QDir().mkpath(schemas);
    if (withSchemas) {
        QFile file(schemas + QStringLiteral("/gnome-keys.gschema.xml"));
        file.open(QIODevice::WriteOnly);
        file.write(kSchemas);
        file.close();
        QProcess::execute(QStringLiteral("glib-compile-schemas"), {schemas});
    }
    qputenv("GSETTINGS_SCHEMA_DIR", schemas.toUtf8());
    qputenv("XDG_DATA_DIRS", root.filePath(QStringLiteral("no-system-schemas")).toUtf8());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
}

}  // namespace

// The custom keybinding that stands in for the shortcut on GNOME without the portal, written to
// GSettings (a keyfile here) where GNOME's keyboard settings look for it.
class GnomeKeybindingTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;

    QByteArray keyfile() const {
        QFile file(m_root.filePath(QStringLiteral("config/glib-2.0/settings/keyfile")));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    bool install() {
        return GnomeCustomKeybinding::install(QStringLiteral("Tarnwick: search"),
                                              QStringLiteral("'/opt/t w/tarnwick' --activate"),
                                              QStringLiteral("<Control><Shift>space"));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        isolateSettings(m_root, true);
        QVERIFY(QFile::exists(m_root.filePath(QStringLiteral("schemas/gschemas.compiled"))));
    }

    void installWritesACompleteKeybinding() {
        QVERIFY(GnomeCustomKeybinding::isOffered());
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        QVERIFY(install());
        QVERIFY(GnomeCustomKeybinding::isInstalled());
        const QByteArray text = keyfile();
        QVERIFY2(text.contains("[org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/"
                               "tarnwick]"),
                 text.constData());
        QVERIFY(text.contains("binding='<Control><Shift>space'"));
        QVERIFY(text.contains("command=\"'/opt/t w/tarnwick' --activate\""));
        QVERIFY(
            text.contains("custom-keybindings=['/org/gnome/settings-daemon/plugins/media-keys/"
                          "custom-keybindings/tarnwick/']"));
        QVERIFY(GnomeCustomKeybinding::remove());
    }

    void theUsersOtherKeybindingsStay() {
        // One of the user's own, as GNOME's keyboard settings would have written it.
        GSettings* list = g_settings_new("org.gnome.settings-daemon.plugins.media-keys");
        const char* const mine[] = {
            "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/", nullptr};
        QVERIFY(g_settings_set_strv(list, "custom-keybindings", mine));
        g_settings_sync();
        g_object_unref(list);
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        QVERIFY(install());
        QVERIFY(install());  // again: still one entry of ours
        QByteArray text = keyfile();
        QVERIFY2(text.contains("custom-keybindings=['/org/gnome/settings-daemon/plugins/media-keys/"
                               "custom-keybindings/custom0/', '/org/gnome/settings-daemon/plugins/"
                               "media-keys/custom-keybindings/tarnwick/']"),
                 text.constData());
        QVERIFY(GnomeCustomKeybinding::remove());
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        text = keyfile();
        QVERIFY(
            text.contains("custom-keybindings=['/org/gnome/settings-daemon/plugins/media-keys/"
                          "custom-keybindings/custom0/']"));
        QVERIFY(!text.contains("tarnwick --activate"));
    }

    void commandQuotesTheProgramsPath() {
        const QString command = GnomeCustomKeybinding::activateCommand();
        QVERIFY(command.endsWith(QLatin1String("' --activate")));
        QVERIFY(command.startsWith(QLatin1Char('\'')));
    }
};

// Where GNOME's schemas are not installed nothing is offered, and nothing aborts.
class GnomeKeybindingAbsentTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        isolateSettings(m_root, false);
    }
    void nothingIsOffered() {
        QVERIFY(!GnomeCustomKeybinding::isOffered());
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        QString error;
        QVERIFY(!GnomeCustomKeybinding::install(QStringLiteral("x"), QStringLiteral("y"),
                                                QStringLiteral("<Control>z"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(GnomeCustomKeybinding::remove());
    }
};

TARNWICK_TEST(GnomeKeybindingTest)
TARNWICK_TEST(GnomeKeybindingAbsentTest)
#include "GnomeKeybindingTest.moc"

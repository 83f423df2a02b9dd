#include <gio/gio.h>

#include "platform/portal/GnomeCustomKeybinding.h"
#include "tests/support/TestRunner.h"

#include <QDir>
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
</schemalist>)";

const QByteArray kList =
    "custom-keybindings=['/org/gnome/settings-daemon/plugins/media-keys/"
    "custom-keybindings/custom0/'";

// GSettings reads its schemas and backend once per process: set everything before first use.
void isolateSettings(const QTemporaryDir& root, bool withSchemas) {
    const QString schemas = root.filePath(QStringLiteral("schemas"));
    QDir().mkpath(schemas);
    QFile file(schemas + QStringLiteral("/gnome-keys.gschema.xml"));
    if (withSchemas && file.open(QIODevice::WriteOnly) && file.write(kSchemas) > 0) {
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

    QTemporaryDir m_root;

    QByteArray keyfile() const {
        QFile file(m_root.filePath(QStringLiteral("config/glib-2.0/settings/keyfile")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase() {
        isolateSettings(m_root, true);
        QVERIFY(QFile::exists(m_root.filePath(QStringLiteral("schemas/gschemas.compiled"))));
        // One of the user's own, as GNOME's keyboard settings would have written it.
        GSettings* list = g_settings_new("org.gnome.settings-daemon.plugins.media-keys");
        const char* const mine[] = {
            "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/", nullptr};
        QVERIFY(g_settings_set_strv(list, "custom-keybindings", mine));
        g_settings_sync();
        g_object_unref(list);
    }

    void installsBesideTheUsersOwnAndRemovesOnlyOurs() {
        QVERIFY(GnomeCustomKeybinding::isOffered());
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        for (int time = 0; time < 2; ++time)  // again: still one entry of ours
            QVERIFY(GnomeCustomKeybinding::install(QStringLiteral("Tarnwick: search"),
                                                   QStringLiteral("'/opt/t w/tarnwick' --activate"),
                                                   QStringLiteral("<Control><Shift>space")));
        QVERIFY(GnomeCustomKeybinding::isInstalled());
        QByteArray text = keyfile();
        for (const QByteArray& line : QList<QByteArray>{
                 kList + ", '" + GnomeCustomKeybinding::kPath + "']",
                 "[org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/tarnwick]\n",
                 "\nname='Tarnwick: search'\n", "\ncommand=\"'/opt/t w/tarnwick' --activate\"\n",
                 "\nbinding='<Control><Shift>space'\n"})
            QVERIFY2(text.contains(line), text.constData());
        QVERIFY(GnomeCustomKeybinding::remove());
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        text = keyfile();
        QVERIFY2(text.contains(kList + "]"), text.data());
        QVERIFY(!text.contains("--activate"));
    }

    void commandQuotesTheProgramsPath() {
        const QString command = GnomeCustomKeybinding::activateCommand();
        QVERIFY(command.startsWith(u'\'') && command.endsWith(QLatin1String("' --activate")));
    }
};

// Where GNOME's schemas are not installed nothing is offered, and nothing aborts.
class GnomeKeybindingAbsentTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

private Q_SLOTS:
    void nothingIsOffered() {
        isolateSettings(m_root, false);
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

#include "app/LoginItem.h"
#include "platform/xdg/AutostartEntry.h"
#include "platform/xdg/DesktopEntryFile.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QFile>
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

TARNWICK_TEST(LoginItemTest)
TARNWICK_TEST(LoginItemPermissionTest)
TARNWICK_TEST(PackagedFilesTest)
#include "LoginItemTest.moc"

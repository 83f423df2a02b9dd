#include "app/LoginItem.h"
#include "platform/xdg/AutostartEntry.h"
#include "platform/xdg/DesktopEntryFile.h"
#include "tests/support/TestRunner.h"

#include <QFile>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

using namespace tarnwick;

namespace {

QString packaged(const char* relative) {
    return QStringLiteral(TARNWICK_SOURCE_DIR "/packaging/") + QLatin1String(relative);
}

}  // namespace

// The files the package installs, read the way the desktop reads them: a typo here would leave
// Tarnwick without a menu entry, an icon, a working autostart or file-manager actions.
class PackagedFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void desktopEntries_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QString>("exec");
        QTest::newRow("menu entry") << packaged("org.tarnwick.Tarnwick.desktop")
                                    << QByteArray("Desktop Entry") << "tarnwick %f";
        QTest::newRow("menu entry, search action")
            << packaged("org.tarnwick.Tarnwick.desktop") << QByteArray("Desktop Action search")
            << "tarnwick --activate";
        QTest::newRow("menu entry, settings action")
            << packaged("org.tarnwick.Tarnwick.desktop") << QByteArray("Desktop Action settings")
            << "tarnwick --settings";
        QTest::newRow("autostart") << packaged("autostart/org.tarnwick.Tarnwick.desktop")
                                   << QByteArray("Desktop Entry") << "tarnwick";
        QTest::newRow("dolphin") << packaged(
                                        "file-managers/org.tarnwick.Tarnwick.servicemenu.desktop")
                                 << QByteArray("Desktop Action searchWithTarnwick")
                                 << "tarnwick %f";
        QTest::newRow("nemo, selected folder")
            << packaged("file-managers/tarnwick-search-folder.nemo_action")
            << QByteArray("Nemo Action") << "tarnwick %F";
        QTest::newRow("nemo, shown folder")
            << packaged("file-managers/tarnwick-search-here.nemo_action")
            << QByteArray("Nemo Action") << "tarnwick %P";
    }
    void desktopEntries() {
        QFETCH(QString, file);
        QFETCH(QByteArray, group);
        QFETCH(QString, exec);
        DesktopEntryFile entry;
        QCOMPARE(entry.loadFile(file), DesktopEntryFile::LoadResult::loaded);
        QVERIFY(entry.hasGroup(group.constData()));
        QCOMPARE(entry.string(group.constData(), "Exec"), std::optional<QString>(exec));
        const QString icon =
            entry.string(group.constData(), "Icon")
                .value_or(entry.string(group.constData(), "Icon-Name").value_or(QString()));
        QCOMPARE(icon, QString::fromLatin1(LoginItem::kAppId));
    }

    void autostartTemplateStartsAtLogin() {
        QVERIFY(readAutostartEntry(packaged("autostart/org.tarnwick.Tarnwick.desktop"))
                    .startsAtLogin());
    }

    void iconsRender_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("application") << packaged("icons/org.tarnwick.Tarnwick.svg");
        QTest::newRow("symbolic") << packaged("icons/org.tarnwick.Tarnwick-symbolic.svg");
    }
    void iconsRender() {
        QFETCH(QString, file);
        QSvgRenderer renderer(file);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBox().width(), renderer.viewBox().height());
    }

    void metainfoNamesTheDesktopEntry() {
        QFile file(packaged("org.tarnwick.Tarnwick.metainfo.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader reader(&file);
        QStringList ids;
        QString launchable;
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement) continue;
            if (reader.name() == QLatin1String("id")) ids << reader.readElementText();
            if (reader.name() == QLatin1String("launchable")) launchable = reader.readElementText();
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(ids, QStringList{LoginItem::kAppId});
        QCOMPARE(launchable, QStringLiteral("org.tarnwick.Tarnwick.desktop"));
    }
};

TARNWICK_TEST(PackagedFilesTest)
#include "PackagedFilesTest.moc"

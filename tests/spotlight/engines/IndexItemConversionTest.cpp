#include "spotlight/IndexItemConversion.h"
#include "tests/support/FakeMetadataQuery.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

class IndexItemConversionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void datesFallBackAndSizeAndFolderTypeCarryOver() {
        MetadataItem both = metadataItem("/s/both", 12);
        both.contentModifiedMsecs = 5000;
        both.changedMsecs = 9000;
        MetadataItem changedOnly = metadataItem("/s/changed", std::nullopt, true);
        changedOnly.changedMsecs = 7000;
        MetadataItem epoch = metadataItem("/s/epoch");
        epoch.contentModifiedMsecs = 0;  // a real date, not a missing one
        epoch.changedMsecs = 7000;
        const QList<FileItem> items =
            fileItemsFromMetadata({both, changedOnly, metadataItem("/s/neither"), epoch}, "/s");
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[0].modifiedMsecs(), 5000);
        QCOMPARE(items[1].modifiedMsecs(), 7000);
        QVERIFY(!items[2].modified());
        QCOMPARE(items[3].modifiedMsecs(), 0);
        QCOMPARE(items[0].fileSize(), 12);
        QCOMPARE(items[1].fileSize(), 0);
        QVERIFY(!items[0].isDirectory());
        QVERIFY(items[1].isDirectory());
    }

    void relativeDirectoriesFollowTheScope_data() {
        QTest::addColumn<QByteArray>("scope");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("relativeDirectory");
        QTest::newRow("in the scope") << QByteArray("/s") << QByteArray("/s/a.txt") << QByteArray();
        QTest::newRow("two down") << QByteArray("/s") << QByteArray("/s/a/b/c")
                                  << QByteArray("a/b");
        QTest::newRow("root scope")
            << QByteArray("/") << QByteArray("/etc/x/hosts") << QByteArray("etc/x");
        QTest::newRow("root child") << QByteArray("/") << QByteArray("/etc") << QByteArray();
        QTest::newRow("not UTF-8")
            << QByteArray("/s\xe9") << QByteArray("/s\xe9/d\xff/n\xfe") << QByteArray("d\xff");
    }
    void relativeDirectoriesFollowTheScope() {
        QFETCH(QByteArray, scope);
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, relativeDirectory);
        const QList<FileItem> items = fileItemsFromMetadata({metadataItem(path)}, scope);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].path(), path);
        QCOMPARE(items[0].nativeRelativeDirectory().toByteArray(), relativeDirectory);
        QCOMPARE(items[0].url(), FileItem::fromPath(path, scope, false, 0).url());
    }

    void keepsTheOrderAndLeavesOutWhatHasNoNameInTheScope() {
        const QList<FileItem> items = fileItemsFromMetadata(
            {metadataItem({}), metadataItem("/s/a/1"), metadataItem("/s"), metadataItem("/s/d/"),
             metadataItem("/s2/x"), metadataItem("relative/x"), metadataItem("/s/b/2"),
             metadataItem("/s/a/3")},
            "/s");
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0].path(), QByteArray("/s/a/1"));
        QCOMPARE(items[1].path(), QByteArray("/s/b/2"));
        QCOMPARE(items[2].path(), QByteArray("/s/a/3"));
        QCOMPARE(&items[0].folder(), &items[2].folder());  // siblings share, as in a listing
    }
};

TARNWICK_TEST(IndexItemConversionTest)
#include "IndexItemConversionTest.moc"

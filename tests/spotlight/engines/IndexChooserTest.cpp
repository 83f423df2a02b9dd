#include "index/null/NullIndex.h"
#include "index/scan/ScanIndex.h"
#include "spotlight/IndexChooser.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;

class IndexChooserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyTheFourNamesAreBackends() {
        QCOMPARE(indexBackendFromName(u"auto"), IndexBackend::automatic);
        QCOMPARE(indexBackendFromName(u"none"), IndexBackend::none);
        for (const char16_t* bad : {u"Auto", u"", u"automatic", u"spotlight"})
            QCOMPARE(indexBackendFromName(bad), std::nullopt);
    }

    void trackerServesOnlyWhereItRunsAndForAutoWhereItCovers() {
        using B = IndexBackend;
        using C = IndexChoice;
        QCOMPARE(chooseIndex(B::automatic, true, true), C::trackerWithScanner);
        QCOMPARE(chooseIndex(B::automatic, true, false), C::scannerAlone);
        QCOMPARE(chooseIndex(B::automatic, false, false), C::scannerAlone);
        QCOMPARE(chooseIndex(B::tracker, true, false), C::trackerAlone);
        QCOMPARE(chooseIndex(B::tracker, false, false), C::nothing);
        QCOMPARE(chooseIndex(B::scan, true, true), C::scannerAlone);
        QCOMPARE(chooseIndex(B::none, true, true), C::nothing);
    }

    void withoutTrackerEveryFolderSharesTheScannerOrNothing_data() {
        QTest::addColumn<IndexBackend>("backend");
        QTest::addColumn<bool>("scanner");
        QTest::newRow("auto") << IndexBackend::automatic << true;
        QTest::newRow("tracker") << IndexBackend::tracker << false;
        QTest::newRow("scan") << IndexBackend::scan << true;
        QTest::newRow("none") << IndexBackend::none << false;
    }
    void withoutTrackerEveryFolderSharesTheScannerOrNothing() {
        QFETCH(IndexBackend, backend);
        QFETCH(bool, scanner);
        IndexChooser chooser(backend, nullptr);
        const std::shared_ptr<MetadataIndex> index = chooser.indexFor("/home");
        QCOMPARE(dynamic_cast<ScanIndex*>(index.get()) != nullptr, scanner);
        QCOMPARE(dynamic_cast<NullIndex*>(index.get()) != nullptr, !scanner);
        QCOMPARE(chooser.indexFor("/srv/other").get(), index.get());
    }
};

TARNWICK_TEST(IndexChooserTest)
#include "IndexChooserTest.moc"

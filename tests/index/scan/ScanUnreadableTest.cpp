#include "ScanTestSupport.h"
#include "index/scan/ScanIndex.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;

// Runs as an unprivileged user (root reads everything): files and folders the user may not
// read are passed over, the rest is still found.
class ScanUnreadableTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unreadableFilesAndFoldersArePassedOver() {
        if (::geteuid() == 0) QSKIP("needs an unprivileged user; CTest runs it as nobody");
        test::TempTree tree;
        for (const char* name : {"open.txt", "closed.txt", "locked/inside.txt", "blind/seen.txt"})
            tree.write(name, "invoice");
        QCOMPARE(::chmod(tree.pathOf("closed.txt").constData(), 0), 0);
        QCOMPARE(::chmod(tree.pathOf("locked").constData(), 0), 0);
        QCOMPARE(::chmod(tree.pathOf("blind").constData(), 0111), 0);  // can pass, not list
        ScanIndex index;
        QCOMPARE(test::hitsFor(index, tree.path(), QStringLiteral("invoice")),
                 QSet<QByteArray>{"open.txt"});
    }
};

TARNWICK_TEST(ScanUnreadableTest)
#include "ScanUnreadableTest.moc"

#include "tests/support/TestRunner.h"
#include "text/NeedleSearch.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace tarnwick;

class NeedleSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Found in pieces exactly when found in the whole, matches across any number of seams.
    void piecesAgreeWithWhole() {
        QRandomGenerator random(17);
        for (int round = 0; round < 5000; ++round) {
            QByteArray haystack;
            const int length = random.bounded(60);
            for (int i = 0; i < length; ++i) haystack.append(char('a' + random.bounded(3)));
            QByteArray needle;
            const int needleLength = 1 + random.bounded(6);
            for (int i = 0; i < needleLength; ++i) needle.append(char('a' + random.bounded(3)));
            StreamingNeedleSearch search(needle);
            bool found = false;
            for (qsizetype at = 0; at < haystack.size();) {
                const qsizetype piece =
                    std::min<qsizetype>(1 + random.bounded(4), haystack.size() - at);
                found = search.feed(QByteArrayView(haystack).sliced(at, piece));
                at += piece;
            }
            QCOMPARE(found, haystack.contains(needle));
            QCOMPARE(containsBytes(haystack, needle), haystack.contains(needle));
        }
    }
};

TARNWICK_TEST(NeedleSearchTest)
#include "NeedleSearchTest.moc"

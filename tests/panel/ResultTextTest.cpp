#include "panel/RelativeDate.h"
#include "panel/ResultText.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;

namespace {

const QByteArray kRoot = "/home/ada/Work";

// "START,LENGTH START,LENGTH ..."
QList<TextRange> ranges(const QString& text) {
    QList<TextRange> out;
    for (const QString& range : text.split(u' ', Qt::SkipEmptyParts))
        out.append({range.section(u',', 0, 0).toInt(), range.section(u',', 1).toInt()});
    return out;
}
QString text(const QList<TextRange>& ranges) {
    QStringList out;
    for (const TextRange& r : ranges)
        out.append(QStringLiteral("%1,%2").arg(r.start).arg(r.length));
    return out.join(u' ');
}

// A path below kRoot; a trailing '/' makes it a folder.
FileItem itemAt(const QByteArray& relative, qint64 size = 0, qint64 modified = FileItem::kNoDate) {
    const bool folder = relative.endsWith('/');
    return FileItem::fromPath(kRoot + "/" + (folder ? relative.chopped(1) : relative), kRoot,
                              folder, size, modified);
}

}  // namespace

// What a result row says. Each row's input is part of what is compared, so a failure names it.
class ResultTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void highlights() {
        for (const char* row :
             {"Banana.txt|an|1,2 3,2", "Report proposal.docx|re po|0,2 2,2 10,2", "banana|ana|1,3",
              "aaaa|aa|0,2 2,2", "banana|an na|1,5", "report|report port|0,6",
              "Report proposal.docx|re  po|0,2 2,2 10,2", "Report proposal.docx|  re |0,2",
              "Report proposal.docx|re\tpo|", "a\tb|a\tb|0,3", "Report proposal.docx||",
              "Report proposal.docx|   |", "Müller Bericht.pdf|MÜL|0,3", "ОТЧЁТ за год|отчёт|0,5",
              "Ωmega ωmega|ω|0,1 6,1", "fun 😀 times 😀|😀|4,2 13,2"}) {
            const QStringList f = QString::fromUtf8(row).split(u'|');
            QCOMPARE(f[0] + u'|' + f[1] + u'|' + text(highlightRanges(f[0], f[1])), row);
        }
    }
    // "a very long file name.txt" (25) elided to "a very…name.txt": head 6, tail 8.
    void marksFollowTheElidedName() {
        const QString name = QStringLiteral("a very long file name.txt");
        const std::optional<ElisionCut> cut =
            middleElisionCut(name, QStringLiteral("a very\u2026name.txt"));
        QVERIFY(cut && cut->head == 6 && cut->tail == 8);
        QCOMPARE(middleElisionCut(name, name), std::nullopt);
        QCOMPARE(middleElisionCut(name, QStringLiteral("something else")), std::nullopt);
        for (const char* row :
             {"2,4|2,4", "17,4|7,4", "7,4|6,1", "4,16|4,2 6,1 7,3", "7,2 12,3|6,1"}) {
            const QString marked = QString(row).section(u'|', 0, 0);
            QCOMPARE(marked + u'|' + text(rangesAfterElision(ranges(marked), 25, *cut)), row);
        }
    }
    // The snippet (brighter, '*'), else the folder below the opened one, else the type.
    void secondLine() {
        for (const char* row :
             {"notes.TXT||TXT", "Report.Pdf||PDF", "README||File", ".bashrc||File",
              "photos.2024/||Folder", "docs/old/plan.txt||docs/old", "docs/old/||docs",
              "docs/old/plan.txt|…the plan…|*…the plan…",
              "plan.txt|Content match|*Content match"}) {
            const QStringList f = QString::fromUtf8(row).split(u'|');
            const SecondLine got = tarnwick::secondLine(
                itemAt(f[0].toUtf8()), f[1].isEmpty() ? std::nullopt : std::optional(f[1]));
            QCOMPARE(f[0] + u'|' + f[1] + QString(got.tone == SecondLine::snippet ? "|*" : "|") +
                         got.text,
                     row);
        }
    }
    // path|size|age|meta
    void metaText() {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        for (const char* row :
             {"a|12345||12.3 kB", "a|999||999 bytes", "a|5400000000||5.4 GB",
              "a|12345|2 hr. ago|12.3 kB  ·  2 hr. ago", "a|0|now|0 bytes  ·  now",
              "d/|4096|3 days ago|3 days ago", "d/|4096||"}) {
            const QStringList f = QString::fromUtf8(row).split(u'|');
            const FileItem item =
                itemAt(f[0].toUtf8(), f[1].toLongLong(), f[2].isEmpty() ? FileItem::kNoDate : 1);
            QCOMPARE(QStringList(f.mid(0, 3)).join(u'|') + u'|' +
                         tarnwick::metaText(item, f[2], english),
                     row);
        }
    }
    // Rows "SHIFT|text", shifted by seconds, days or months; Jan 31 to Feb 28 is a month.
    void ageInTheLargestWholeUnit() {
        const auto shifted = [](QDateTime t, const QString& by) {
            for (const QString& part : by.split(u' ', Qt::SkipEmptyParts)) {
                const int n = part.chopped(1).toInt();
                t = part.endsWith(u's')   ? t.addSecs(n)
                    : part.endsWith(u'd') ? t.addDays(n)
                                          : t.addMonths(n);
            }
            return t;
        };
        const RelativeDateFormatter english(QLocale(QLocale::English, QLocale::UnitedStates));
        const QDateTime now(QDate(2024, 3, 15), QTime(12, 0));
        for (const char* row :
             {"0s|now", "-1s|1 sec. ago", "-30s|30 sec. ago", "-3599s|59 min. ago",
              "-7300s|2 hr. ago", "-169200s|1 day ago", "-6d|6 days ago", "-7d|1 wk. ago",
              "-15d|2 wk. ago", "-1M 60s|4 wk. ago", "-1M|1 mo. ago", "-11M|11 mo. ago",
              "-12M|1 yr. ago", "7200s|in 2 hr.", "21d|in 3 wk."}) {
            const QString by = QString(row).section(u'|', 0, 0);
            QCOMPARE(by + u'|' + english.format(shifted(now, by), now), row);
        }
        const QDateTime jan31(QDate(2023, 1, 31), QTime(9, 0));
        QCOMPARE(ageBetween(jan31, jan31.addDays(28)), (Age{Age::months, 1}));
        QCOMPARE(ageBetween(jan31, jan31.addDays(28).addSecs(-3600)), (Age{Age::weeks, 3}));
        const RelativeDateFormatter german(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(german.format(Age{Age::hours, 2}), QStringLiteral("vor 2 Std."));
    }
};

TARNWICK_TEST(ResultTextTest)
#include "ResultTextTest.moc"

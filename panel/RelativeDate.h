#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <memory>

namespace tarnwick {

// How long ago (negative count: how far ahead) a moment lies, in the largest calendar unit
// that fits at least once: "1 day" for 47 hours, "2 weeks" for 15 days, "1 month" from the
// same day of the next month on. Less than a second apart is `now`.
struct Age {
    enum Unit { now, seconds, minutes, hours, days, weeks, months, years };
    Unit unit = now;
    qint64 count = 0;
    bool operator==(const Age&) const = default;
};
Age ageBetween(const QDateTime& then, const QDateTime& now);

// Relative dates in a locale's words, through ICU: abbreviated for the eye ("2 hr. ago", "3 wk.
// ago", "now"), spelled out for the ear ("2 hours ago"). Building ICU's formatter loads locale
// data, so one instance serves many rows.
class RelativeDateFormatter {
public:
    enum class Width { abbreviated, spelledOut };
    explicit RelativeDateFormatter(const QLocale& locale = QLocale(),
                                   Width width = Width::abbreviated);
    ~RelativeDateFormatter();
    RelativeDateFormatter(const RelativeDateFormatter&) = delete;
    RelativeDateFormatter& operator=(const RelativeDateFormatter&) = delete;

    QString format(const Age& age) const;
    QString format(const QDateTime& then, const QDateTime& now) const {
        return format(ageBetween(then, now));
    }

private:
    struct Icu;  // keeps ICU's headers out of the panel's
    std::unique_ptr<Icu> m_icu;
};

}  // namespace tarnwick

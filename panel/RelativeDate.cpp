#include "RelativeDate.h"

#include <unicode/reldatefmt.h>
#include <unicode/unistr.h>

namespace tarnwick {

namespace {

// Whole calendar months from `from` to `to` (from <= to): a month counts once the same day and
// time of the next month is reached (the 31st counts on the last day of a shorter month).
qint64 wholeMonths(const QDateTime& from, const QDateTime& to) {
    const QDate a = from.date();
    const QDate b = to.date();
    qint64 months = qint64(b.year() - a.year()) * 12 + (b.month() - a.month());
    if (months <= 0) return 0;
    const QDateTime reached = from.addMonths(int(months));
    if (reached > to) --months;
    return months;
}

Age ageFrom(const QDateTime& earlier, const QDateTime& later) {
    const qint64 seconds = earlier.secsTo(later);
    if (seconds < 1) return {Age::now, 0};
    if (seconds < 60) return {Age::seconds, seconds};
    if (seconds < 3600) return {Age::minutes, seconds / 60};
    if (seconds < 86400) return {Age::hours, seconds / 3600};
    const qint64 months = wholeMonths(earlier, later);
    if (months >= 12) return {Age::years, months / 12};
    if (months >= 1) return {Age::months, months};
    const qint64 days = seconds / 86400;
    if (days >= 7) return {Age::weeks, days / 7};
    return {Age::days, days};
}

URelativeDateTimeUnit icuUnit(Age::Unit unit) {
    switch (unit) {
        case Age::now:
        case Age::seconds:
            return UDAT_REL_UNIT_SECOND;
        case Age::minutes:
            return UDAT_REL_UNIT_MINUTE;
        case Age::hours:
            return UDAT_REL_UNIT_HOUR;
        case Age::days:
            return UDAT_REL_UNIT_DAY;
        case Age::weeks:
            return UDAT_REL_UNIT_WEEK;
        case Age::months:
            return UDAT_REL_UNIT_MONTH;
        case Age::years:
            return UDAT_REL_UNIT_YEAR;
    }
    return UDAT_REL_UNIT_SECOND;
}

}  // namespace

struct RelativeDateFormatter::Icu {
    std::unique_ptr<icu::RelativeDateTimeFormatter> formatter;
};

Age ageBetween(const QDateTime& then, const QDateTime& now) {
    const QDateTime a = then.toLocalTime();
    const QDateTime b = now.toLocalTime();
    if (a <= b) return ageFrom(a, b);
    Age ahead = ageFrom(b, a);
    ahead.count = -ahead.count;
    return ahead;
}

RelativeDateFormatter::RelativeDateFormatter(const QLocale& locale, Width width) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale(locale.name().toLatin1().constData());
    const UDateRelativeDateTimeFormatterStyle style =
        width == Width::spelledOut ? UDAT_STYLE_LONG : UDAT_STYLE_SHORT;
    auto formatter = std::make_unique<icu::RelativeDateTimeFormatter>(
        icuLocale, nullptr, style, UDISPCTX_CAPITALIZATION_NONE, status);
    if (U_SUCCESS(status)) m_icu.reset(new Icu{std::move(formatter)});
}

RelativeDateFormatter::~RelativeDateFormatter() = default;

QString RelativeDateFormatter::format(const Age& age) const {
    if (!m_icu) return {};
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    if (age.unit == Age::now) {
        m_icu->formatter->format(UDAT_DIRECTION_PLAIN, UDAT_ABSOLUTE_NOW, text, status);
    } else {
        // ICU counts the past as negative offsets ("2 hr. ago").
        m_icu->formatter->formatNumeric(double(-age.count), icuUnit(age.unit), text, status);
    }
    if (U_FAILURE(status)) return {};
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

}  // namespace tarnwick

#include "engine/read/formats/xmlhistory/xmldates.h"

#include "engine/read/linestamps.h"
#include "engine/read/shared/clock.h"
#include "engine/read/shared/dates.h"

#include <QRegularExpression>
#include <optional>

namespace {

// A date's three numbers in the order written, and whether its year comes first.
struct Numbers
{
    int n[3] = {};
    bool yearFirst = false;
    bool dots = false; // "26.11.2010": the day first in every locale that writes so
};

std::optional<Numbers> numbersOf(QStringView date)
{
    static const QRegularExpression form(QStringLiteral(
        "^\\s*(\\d{1,4})\\s*[/.\\-年]\\s*(\\d{1,2})\\s*[/.\\-月]\\s*(\\d{1,4})\\s*日?\\.?\\s*$"));
    const QRegularExpressionMatch m = form.match(date.toString());
    if (!m.hasMatch())
        return std::nullopt;
    Numbers numbers;
    for (int i = 0; i < 3; ++i)
        numbers.n[i] = m.capturedView(i + 1).toInt();
    numbers.yearFirst = m.capturedView(1).size() == 4;
    numbers.dots = date.contains(u'.');
    if (!numbers.yearFirst && m.capturedView(3).size() < 3)
        numbers.n[2] += 2000; // "1/20/10"
    return numbers;
}

QDate monthFirst(const Numbers &d)
{
    return d.yearFirst ? QDate(d.n[0], d.n[1], d.n[2]) : QDate(d.n[2], d.n[0], d.n[1]);
}

QDate dayFirst(const Numbers &d)
{
    return d.yearFirst ? QDate(d.n[0], d.n[1], d.n[2]) : QDate(d.n[2], d.n[1], d.n[0]);
}

// The UTC date of a DateTime attribute ("2007-07-06T21:46:40.076Z").
QDate utcDate(QStringView dateTime)
{
    if (dateTime.size() < 10)
        return QDate();
    return QDate::fromString(dateTime.first(10).toString(), Qt::ISODate);
}

// Whether a local date can be that of a moment whose UTC date is `utc` (time zones reach a day
// either way).
bool near(QDate local, QDate utc)
{
    return local.isValid() && utc.isValid() && qAbs(local.daysTo(utc)) <= 1;
}

} // namespace

qint32 XmlDates::intern(QStringView text, qint32 &last)
{
    // Events in a row mostly share their date, their day and their recipients.
    if (last >= 0 && m_texts[last] == text)
        return last;
    return last = m_index.intern(m_texts, text);
}

void XmlDates::add(qsizetype line, const QString &date, const QString &time,
                   const QString &dateTime, const QString &to)
{
    if (date.isEmpty() && time.isEmpty() && to.isEmpty())
        return;
    m_events.append({line, intern(date, m_last.date), intern(time, m_last.time),
                     intern(dateTime.size() < 10 ? QStringView() : QStringView(dateTime).first(10),
                            m_last.utcDay),
                     intern(to, m_last.to)});
}

void XmlDates::finish(LineStamps &stamps) const
{
    // What each distinct text reads as, worked out once.
    const qsizetype texts = m_texts.size();
    QList<std::optional<std::optional<Numbers>>> numbers(texts);
    QList<std::optional<QDate>> utcDates(texts);
    QList<std::optional<QString>> times(texts);
    const auto numbersAt = [&](qint32 i) -> const std::optional<Numbers> & {
        if (!numbers[i])
            numbers[i].emplace(numbersOf(m_texts[i]));
        return *numbers[i];
    };
    const auto utcAt = [&](qint32 i) {
        if (!utcDates[i])
            utcDates[i].emplace(utcDate(m_texts[i]));
        return *utcDates[i];
    };
    const auto timeAt = [&](qint32 i) -> const QString & {
        if (!times[i])
            times[i].emplace(xmlTimeText(m_texts[i]));
        return *times[i];
    };

    // The file's order, from the dates that tell it.
    qsizetype monthVotes = 0, dayVotes = 0;
    for (const Event &e : m_events) {
        const auto &d = numbersAt(e.date);
        if (!d || d->yearFirst)
            continue;
        const QDate month = monthFirst(*d), day = dayFirst(*d);
        const QDate utc = utcAt(e.utcDay);
        const bool monthFits = month.isValid() && (!utc.isValid() || near(month, utc));
        const bool dayFits = day.isValid() && (!utc.isValid() || near(day, utc));
        monthVotes += monthFits && !dayFits;
        dayVotes += dayFits && !monthFits;
        dayVotes += d->dots && dayFits && monthFits ? 1 : 0;
    }
    const bool dayOrder = dayVotes > monthVotes;
    // Events in a row mostly share their date and their day in UTC, and so the date chosen.
    qint32 lastDate = -1, lastUtcDay = -1;
    QString chosenText;
    for (const Event &e : m_events) {
        if (e.date == lastDate && e.utcDay == lastUtcDay) {
            stamps.add(e.line, chosenText, timeAt(e.time), 0, m_texts[e.to]);
            continue;
        }
        lastDate = e.date;
        lastUtcDay = e.utcDay;
        QString &date = chosenText;
        date = m_texts[e.date];
        if (const auto &d = numbersAt(e.date)) {
            const QDate month = monthFirst(*d), day = dayFirst(*d);
            const QDate utc = utcAt(e.utcDay);
            QDate chosen = dayOrder ? day : month;
            // The event's own moment decides where the file's order does not fit it.
            if (near(month, utc) && !near(day, utc))
                chosen = month;
            else if (near(day, utc) && !near(month, utc))
                chosen = day;
            else if (!chosen.isValid())
                chosen = dayOrder ? month : day;
            if (chosen.isValid())
                date = dateText(chosen);
        }
        stamps.add(e.line, date, timeAt(e.time), 0, m_texts[e.to]);
    }
}

QString xmlTimeText(QStringView time)
{
    QString text = time.trimmed().toString();
    // "18.32.07": dots where other locales write colons.
    if (!text.contains(u':'))
        text.replace(u'.', u':');
    if (const auto parsed = parseClockTime(text))
        return parsed->text();
    return time.toString();
}

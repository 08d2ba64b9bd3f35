#include "engine/read/chat/recordlines.h"

#include "engine/read/chat/quotebook.h"
#include "engine/read/linestamps.h"
#include "engine/read/logformat.h"
#include "engine/read/shared/dates.h"
#include "engine/read/shared/utc.h"

#include <QLocale>
#include <limits>

namespace {

// How long a quote of the message answered may be.
constexpr qsizetype QuoteLength = 40;

// Lines converted ahead: a batch of them, and so many batches waiting at most.
constexpr size_t BatchLines = 1024;
constexpr size_t BatchesAhead = 4;

// "09:05", or "09:05:30" where the export wrote seconds (made by hand: every message has one).
QString timeText(const QDateTime &at, bool seconds)
{
    const QTime time = at.time();
    char16_t text[8];
    const auto two = [&text](int at, int value) {
        text[at] = char16_t(u'0' + value / 10);
        text[at + 1] = char16_t(u'0' + value % 10);
    };
    two(0, time.hour());
    text[2] = u':';
    two(3, time.minute());
    if (!seconds)
        return QString(reinterpret_cast<const QChar *>(text), 5);
    text[5] = u':';
    two(6, time.second());
    return QString(reinterpret_cast<const QChar *>(text), 8);
}

QString sizeText(qint64 size)
{
    if (size < 0)
        return {};
    if (size < 1024)
        return QString::number(size) + QStringLiteral(" B");
    const double kb = double(size) / 1024;
    if (kb < 1024)
        return QString::number(kb, 'f', kb < 10 ? 1 : 0) + QStringLiteral(" KB");
    const double mb = kb / 1024;
    return QString::number(mb, 'f', mb < 10 ? 1 : 0) + QStringLiteral(" MB");
}

// A short text on one line: its line breaks become blanks.
QString oneLine(QString text)
{
    if (text.contains(u'\n') || text.contains(u'\r'))
        text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text;
}

// A day as a page heads it when the export has no line of its own for it: "2024/01/15(月)".
QString dayText(QDate date)
{
    static const char16_t *const Weekdays[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    return dateText(date) + u'(' + QString::fromUtf16(Weekdays[date.dayOfWeek() - 1]) + u')';
}

} // namespace

RecordLines::RecordLines(std::unique_ptr<RecordReader> records, const ReadSource &source)
    : m_records(std::move(records))
    , m_headerText(source.headerText)
    , m_stamps(source.stamps)
    , m_stampsWanted(source.stampsWanted)
    , m_zone(source.timeZone.isValid() ? source.timeZone : QTimeZone::systemTimeZone())
    , m_names(source.names)
    , m_pipe(BatchesAhead)
{
    // Records held whole are handed out again without the export read again (packed ones are
    // unpacked on the threads that work ahead of the page): keeping their lines too would only
    // add to the memory they take, and to the page's thread.
    m_keeping = m_keepWanted = source.readAgain && !m_records->heldWhole();
    m_convertAhead = m_records->readsAnywhere();
    m_stamps.setRolling(true);
}

RecordLines::~RecordLines()
{
    stopAhead();
}

bool RecordLines::load()
{
    return m_records->load();
}

bool RecordLines::restart()
{
    stopAhead();
    m_passEnded = false;
    if (!m_stampsDone)
        m_stamps.clear(); // noted again by this pass
    m_linesOut = 0;
    m_replayed = 0;
    if (m_replaying || (m_stampsDone && m_keeping)) { // the first pass was kept whole
        m_keeping = false;
        m_replaying = true;
        return true;
    }
    m_kept.clear();
    m_keptText.clear();
    m_keeping = m_keepWanted && !m_stampsDone; // only the first pass is kept
    if (m_keeping) // room for the text at once, where the export's size tells it
        m_keptText.reserve(size_t(qBound<qsizetype>(0, m_records->total(), KeptBytes / 2)));
    m_out.clear();
    m_outAt = 0;
    m_day = QDate();
    m_anchors.clear();
    m_anchorsSaid.clear();
    m_anchorsTabled = 0;
    m_messages = 0;
    return m_records->restart();
}

qsizetype RecordLines::linesConsumed() const
{
    if (!m_replaying || m_kept.empty())
        return m_thread.joinable() ? m_consumed : m_records->consumed();
    return qsizetype(double(m_records->total()) * double(m_replayed) / double(m_kept.size()));
}

bool RecordLines::next(QString &line, LineInfo &info)
{
    if (m_replaying)
        return replay(line, info);
    Out *const next = nextOut();
    if (!next)
        return false;
    Out &out = *next;
    if (out.opens && m_stampsWanted)
        m_stamps.addRolling(m_linesOut, stampDate(out.date), out.time, out.repeated, !m_stampsDone,
                            out.to);
    if (m_keeping)
        keep(out);
    line = std::move(out.text);
    info = {out.role, textcodec::LineEnd::CrLf, std::move(out.ref), out.sourceLine};
    if (!m_convertAhead)
        ++m_outAt;
    ++m_linesOut;
    return true;
}

RecordLines::Out *RecordLines::nextOut()
{
    if (m_passEnded)
        return nullptr;
    if (!m_convertAhead) {
        if (m_outAt == m_out.size()) {
            m_out.clear();
            m_outAt = 0;
        }
        while (m_out.empty()) {
            chat::Record *const record = m_records->nextRecord(m_record);
            if (!record) {
                endPass();
                return nullptr;
            }
            convert(*record);
        }
        return m_records->failed() ? nullptr : &m_out[m_outAt];
    }
    if (!m_thread.joinable()) {
        m_pipe.reset();
        m_taken.clear();
        m_takenAt = 0;
        m_thread = std::thread(&RecordLines::convertAhead, this);
    }
    while (m_takenAt == m_taken.size()) {
        if (!m_pipe.take(m_taken)) { // the records are the caller's again
            m_thread.join();
            endPass();
            return nullptr;
        }
        m_takenAt = 0;
    }
    Out &out = m_taken[m_takenAt++];
    m_consumed = out.consumed;
    return &out;
}

void RecordLines::endPass()
{
    m_passEnded = true;
    m_stampsDone |= !m_records->failed();
    m_keeping &= !m_records->failed();
}

void RecordLines::convertAhead()
{
    // The lines are made straight into the batch.
    for (bool more = true; more;) {
        m_out.clear(); // a spent batch: what it still holds is freed here, where it was made
        while (m_out.size() < BatchLines) {
            chat::Record *const record = m_records->nextRecord(m_record);
            if (!record) {
                more = false;
                break;
            }
            const size_t from = m_out.size();
            convert(*record);
            if (m_records->failed()) { // nothing of a record that failed is handed out
                m_out.resize(from);
                more = false;
                break;
            }
            const qsizetype consumed = m_records->consumed();
            for (size_t i = from; i < m_out.size(); ++i)
                m_out[i].consumed = consumed;
        }
        if (!m_pipe.put(m_out, !more))
            return;
    }
}

void RecordLines::stopAhead()
{
    if (!m_thread.joinable())
        return;
    m_pipe.stop();
    m_thread.join();
    m_pipe.reset();
    m_taken.clear();
    m_takenAt = 0;
    m_out.clear();
    m_outAt = 0;
}

void RecordLines::keep(const Out &out)
{
    const qsizetype sizes = out.text.size() + out.time.size() + out.to.size() + out.ref.size();
    if (qsizetype(m_keptText.size() + (m_kept.size() + 1) * sizeof(Kept) / 2) + sizes
        > KeptBytes / 2) {
        m_keeping = false; // too long a chat: later passes read it again
        m_kept = {};
        m_keptText = {};
        return;
    }
    const auto append = [this](const QString &text) {
        m_keptText.append(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
        return qint32(text.size());
    };
    Kept k;
    k.text = qsizetype(m_keptText.size());
    k.textSize = append(out.text);
    k.time = qsizetype(m_keptText.size());
    k.timeSize = append(out.time);
    k.toSize = append(out.to);
    k.refSize = append(out.ref);
    k.day = out.date.toJulianDay();
    k.repeated = qint32(out.repeated);
    k.sourceLine = qint32(qMin<qint64>(out.sourceLine, std::numeric_limits<qint32>::max()));
    k.role = out.role;
    k.opens = out.opens;
    m_kept.push_back(k);
}

bool RecordLines::replay(QString &line, LineInfo &info)
{
    if (m_replayed >= m_kept.size())
        return false;
    const Kept &k = m_kept[m_replayed++];
    const auto text = [this](qsizetype at, qint32 size) {
        return size == 0 ? QString()
                         : QString(reinterpret_cast<const QChar *>(m_keptText.data() + at), size);
    };
    if (k.opens && m_stampsWanted)
        m_stamps.addRolling(m_linesOut, stampDate(QDate::fromJulianDay(k.day)),
                            text(k.time, k.timeSize), k.repeated, false,
                            text(k.time + k.timeSize, k.toSize));
    line = text(k.text, k.textSize);
    info = {k.role, textcodec::LineEnd::CrLf, text(k.time + k.timeSize + k.toSize, k.refSize),
            k.sourceLine};
    ++m_linesOut;
    return true;
}

QStringList RecordLines::people() const
{
    return m_records->chat().participants + m_actors;
}

void RecordLines::name(QString &who) const
{
    const auto it = m_names.constFind(who);
    if (it != m_names.constEnd())
        who = *it;
}

void RecordLines::convert(chat::Record &record)
{
    if (!m_names.isEmpty()) { // the user's names for the ids the export gives
        chat::Message &m = record.message;
        name(m.sender);
        name(m.replySender);
        name(record.event.actor);
        for (QString &to : m.recipients)
            name(to);
        for (chat::Reaction &r : m.reactions) {
            for (QString &by : r.by)
                name(by);
        }
        for (auto it = m_names.cbegin(); it != m_names.cend(); ++it) {
            if (it.key().size() >= 4) // an id, not a word that happens to be short
                record.event.text.replace(it.key(), it.value());
        }
    }
    if (record.kind == chat::Record::Kind::Event && !record.event.actor.isEmpty()
        && !m_actors.contains(record.event.actor))
        m_actors.append(record.event.actor);
    switch (record.kind) {
    case chat::Record::Kind::Day:
        day(record.day.date, record.day.text);
        break;
    case chat::Record::Kind::Message:
        message(record.message);
        break;
    case chat::Record::Kind::Event:
        event(record.event);
        break;
    }
}

void RecordLines::day(QDate date, const QString &text)
{
    if (!date.isValid())
        return;
    m_day = date;
    open(SeparatorLine, LineRole::Frame, date, QString());
    add(text.isEmpty() ? dayText(date) : oneLine(text), LineRole::Date);
    add(SeparatorLine, LineRole::Frame);
}

QString RecordLines::shownZone() const
{
    if (!m_instant.isValid())
        return {};
    const QString offset = m_zone.displayName(m_instant, QTimeZone::OffsetName);
    const QString id = QString::fromUtf8(m_zone.id());
    return id == offset || id.isEmpty() ? offset : id + QStringLiteral(" (") + offset + u')';
}

void RecordLines::message(const chat::Message &m)
{
    if (m.when.instant && !m_instant.isValid())
        m_instant = m.when.at;
    const QDateTime at = shown(m.when);
    // A reply under the message it answers opens no day of its own, which would take the days
    // back and forth: said on another day, it shows its date with its time.
    const bool underDay = m.threaded && m_day.isValid();
    if (at.isValid() && at.date() != m_day && !underDay)
        day(at.date(), QString());
    QString time = at.isValid() && !m.when.dayOnly ? timeText(at, m.when.seconds) : QString();
    if (underDay && at.isValid() && at.date() != m_day)
        time = time.isEmpty() ? dateText(at.date()) : dateText(at.date()) + u' ' + time;
    const QString lead = time.isEmpty() ? QString() : time + u' ';
    open(oneLine(m.sender) + u' ' + m_headerText, LineRole::Header, at.date(), time, lead.size(),
         m.recipients.join(u'、'));
    // Where the page's link says the message stands in the export.
    m_out.back().ref = m.id;
    m_out.back().sourceLine = m.line;
    ++m_messages;
    if (!m.id.isEmpty())
        m_anchorsSaid.emplace_back(chat::idKey(m.id), m_messages);

    // Its lines one by one, the first opened by its time.
    bool first = true;
    auto line = [&](QString text, LineRole role, QString ref = QString()) {
        if (first && !lead.isEmpty())
            text = lead + text;
        first = false;
        add(std::move(text), role, std::move(ref));
    };
    // Whatever a reader gives, a line holds no line break: a text's breaks make lines of their
    // own, and the short lines are one line each.
    auto push = [&](const QString &text, LineRole role, QString ref = QString()) {
        line(oneLine(text), role, std::move(ref));
    };
    if (m.forwarded)
        push(m.forwardedFrom.isEmpty() ? QStringLiteral("[転送]")
                                       : QStringLiteral("[転送] ") + m.forwardedFrom,
             LineRole::Placeholder);
    if (!m.replyTo.isEmpty() || !m.replyQuote.isEmpty()) {
        const qint64 answered = m.replyTo.isEmpty() ? 0 : anchor(chat::idKey(m.replyTo));
        push(replyLine(m), LineRole::Reply,
             answered > 0 ? u'u' + QString::number(answered) : QString());
    }
    if (m.alsoSent)
        push(QStringLiteral("[チャンネルにも投稿]"), LineRole::Placeholder);
    for (const QString &text : m.text) {
        if (!text.contains(u'\n')) { // most are one line: no copy of it
            line(text.endsWith(u'\r') ? text.chopped(1) : text, LineRole::Message);
            continue;
        }
        for (QString part : text.split(u'\n')) {
            if (part.endsWith(u'\r'))
                part.chop(1);
            line(std::move(part), LineRole::Message);
        }
    }
    for (const chat::Attachment &a : m.attachments)
        push(attachmentLine(a), LineRole::Attachment, a.path);
    if (!m.reactions.isEmpty())
        push(reactionLine(m.reactions), LineRole::Reactions);
    if (m.edited)
        push(QStringLiteral("[編集済み]"), LineRole::Edited);
    if (first)
        line(QString(), LineRole::Message);
}

void RecordLines::event(const chat::Event &e)
{
    if (e.when.instant && !m_instant.isValid())
        m_instant = e.when.at;
    const QDateTime at = shown(e.when);
    if (at.isValid() && at.date() != m_day)
        day(at.date(), QString());
    const QString time = at.isValid() && !e.when.dayOnly ? timeText(at, e.when.seconds) : QString();
    open(SeparatorLine, LineRole::Frame, at.date(), time);
    const QStringList lines = e.text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        add(i == 0 && !time.isEmpty() ? time + u' ' + lines[i] : lines[i], LineRole::Notice);
    add(SeparatorLine, LineRole::Frame);
}

QDateTime RecordLines::shown(const chat::Moment &when)
{
    if (!when.instant || !when.at.isValid())
        return when.at;
    // The zone's offset holds from the instant it was asked for up to its next transition; an
    // export's instants mostly go forward, so most are shown without asking the zone again.
    const qint64 ms = when.at.toMSecsSinceEpoch();
    if (ms < m_offsetFrom || ms >= m_offsetUntil) {
        m_offset = m_zone.offsetFromUtc(when.at);
        const QTimeZone::OffsetData next = m_zone.nextTransition(when.at);
        m_offsetFrom = ms;
        m_offsetUntil = next.atUtc.isValid() ? next.atUtc.toMSecsSinceEpoch()
                                             : std::numeric_limits<qint64>::max();
    }
    // Only its date and time are read: a clock time in UTC standing for the zone's.
    return utc::fromMSecs(ms + qint64(m_offset) * 1000);
}

QString RecordLines::replyLine(const chat::Message &m)
{
    QString quote = m.replyQuote.simplified();
    if (quote.size() > QuoteLength)
        quote = quote.left(QuoteLength - 1) + u'…';
    QString line = QStringLiteral("[返信]");
    if (!m.replySender.isEmpty())
        line += u' ' + m.replySender;
    if (!quote.isEmpty())
        line += u"「" + quote + u"」";
    else if (m.replySender.isEmpty())
        line += QStringLiteral(" #") + m.replyTo;
    return line;
}

QString RecordLines::attachmentLine(const chat::Attachment &a)
{
    QString line = u'[' + (a.kind.isEmpty() ? QStringLiteral("ファイル") : a.kind) + u']';
    if (!a.name.isEmpty())
        line += u' ' + a.name;
    const QString size = sizeText(a.size);
    if (!size.isEmpty())
        line += QStringLiteral(" (") + size + u')';
    return line;
}

QString RecordLines::reactionLine(const QList<chat::Reaction> &reactions)
{
    QStringList parts;
    for (const chat::Reaction &r : reactions)
        parts.append(r.by.isEmpty() ? r.emoji : r.emoji + u' ' + r.by.join(u'、'));
    return QStringLiteral("[リアクション] ") + parts.join(QStringLiteral(" / "));
}

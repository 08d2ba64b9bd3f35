#include "engine/read/formats/kakaotalk/kakaotalkrecords.h"

#include "engine/read/formats/kakaotalk/kakaotalklines.h"
#include "engine/read/shared/dates.h"

using kakaotalk::Line;

namespace {

QStringView firstPiece(QStringView line)
{
    const qsizetype lf = line.indexOf(u'\n');
    QStringView piece = lf < 0 ? line : line.first(lf);
    return piece.endsWith(u'\r') ? piece.chopped(1) : piece;
}

chat::Moment moment(QDate date, const std::optional<ClockTime> &time)
{
    if (!date.isValid())
        return {};
    return time ? chat::Moment::written(date, QTime(time->hour, time->minute))
                : chat::Moment::onDay(date);
}

} // namespace

KakaoTalkRecords::KakaoTalkRecords(QFile &file, const textcodec::Detection &detection,
                                   TextLines::PieceDone pieceDone)
    : m_lines(file, detection, std::move(pieceDone))
{
}

bool KakaoTalkRecords::load()
{
    // The chat's name is in the title, the first line that is not blank.
    if (!m_lines.restart())
        return false;
    QString line;
    while (m_lines.next(line)) {
        const QStringView first = firstPiece(line).trimmed();
        if (first.isEmpty())
            continue;
        if (kakaotalk::isTitle(first)) {
            m_chat.name = kakaotalk::chatName(first);
            continue; // the saved-on line may follow
        }
        if (kakaotalk::isSavedLine(first))
            m_chat.savedOn = savedOnDate(first);
        break;
    }
    return !m_lines.failed();
}

bool KakaoTalkRecords::restart()
{
    m_pieces.clear();
    m_piece = 0;
    m_pieceLine = 0;
    m_preamble = true;
    m_day = QDate();
    m_open = chat::Record();
    m_isOpen = false;
    return m_lines.restart();
}

bool KakaoTalkRecords::nextPiece(QStringView &piece, bool &first)
{
    if (m_piece >= m_pieces.size()) {
        if (!m_lines.next(m_line))
            return false;
        m_pieces = QStringView(m_line).split(u'\n');
        m_piece = 0;
    }
    first = m_piece == 0;
    piece = m_pieces[m_piece++];
    ++m_pieceLine;
    if (piece.endsWith(u'\r')) // a CR LF inside a file whose lines end in LF
        piece.chop(1);
    return true;
}

bool KakaoTalkRecords::open(chat::Record &&record, chat::Record &done)
{
    m_preamble = false;
    const bool wasOpen = m_isOpen;
    if (wasOpen) {
        close(m_open);
        done = std::move(m_open);
    }
    m_open = std::move(record);
    m_isOpen = true;
    return wasOpen;
}

void KakaoTalkRecords::close(chat::Record &record) const
{
    // The blank line a phone writes before a day line ends the record before it.
    if (record.kind == chat::Record::Kind::Event) {
        while (record.event.text.endsWith(u'\n'))
            record.event.text.chop(1);
        return;
    }
    QStringList &text = record.message.text;
    while (!text.isEmpty() && text.last().isEmpty())
        text.removeLast();
    if (text.size() == 1) {
        if (auto a = kakaotalk::placeholder(text.first())) {
            record.message.attachments.append(*a);
            text.clear();
        }
    }
}

bool KakaoTalkRecords::next(chat::Record &record)
{
    QStringView piece;
    bool first = false;
    while (nextPiece(piece, first)) {
        const Line line = first ? kakaotalk::parseLine(piece) : Line();
        chat::Record r;
        switch (line.kind) {
        case Line::Kind::Text:
            if (m_preamble && first
                && (piece.trimmed().isEmpty() || kakaotalk::isTitle(piece)
                    || kakaotalk::isSavedLine(piece)))
                continue;
            if (!(first && kakaotalk::isEventText(piece)) && m_isOpen
                && m_open.kind != chat::Record::Kind::Day) {
                if (m_open.kind == chat::Record::Kind::Message)
                    m_open.message.text.append(piece.toString());
                else
                    m_open.event.text += u'\n' + piece;
                continue;
            }
            if (piece.trimmed().isEmpty())
                continue;
            // A desktop export's event, or a line that belongs to no record: an event of its
            // own, on the day it stands under.
            r.kind = chat::Record::Kind::Event;
            r.event = {piece.toString(), kakaotalk::eventActor(piece), moment(m_day, {})};
            break;
        case Line::Kind::Day:
            r.kind = chat::Record::Kind::Day;
            r.day = {line.date, line.text};
            m_day = line.date;
            break;
        case Line::Kind::Message:
            r.message.line = m_pieceLine;
            r.message.sender = line.sender;
            r.message.when = moment(line.date.isValid() ? line.date : m_day, line.time);
            r.message.text = QStringList {line.text};
            break;
        case Line::Kind::Event:
            r.kind = chat::Record::Kind::Event;
            r.event = {line.text, kakaotalk::eventActor(line.text), moment(line.date, line.time)};
            break;
        }
        if (open(std::move(r), record))
            return true;
    }
    if (!m_isOpen || m_lines.failed())
        return false;
    close(m_open);
    record = std::move(m_open);
    m_isOpen = false;
    return true;
}

#include "engine/read/formats/kakaotalk/kakaotalklines.h"

#include "engine/read/shared/scan.h"

#include <algorithm>
#include <array>

using scan::isDigit;
using scan::number;
using scan::take;

namespace kakaotalk {
namespace {

// The desktop app's day line is this between two runs of fifteen dashes.
constexpr QStringView Dashes = u"--------------- ";
constexpr QStringView DashesAfter = u" ---------------";

void skipBlanks(QStringView &text)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.sliced(1);
}

// January is 1; 0 for no month.
int monthOf(QStringView word)
{
    static const std::array<QStringView, 12> Names
        = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
           u"July",    u"August",   u"September", u"October", u"November", u"December"};
    for (size_t m = 0; m < Names.size(); ++m) {
        const QStringView name = Names[m];
        if (word.compare(name, Qt::CaseInsensitive) == 0
            || (word.size() >= 3 && name.startsWith(word, Qt::CaseInsensitive)))
            return int(m) + 1;
    }
    return 0;
}

bool isWeekday(QStringView word)
{
    static const std::array<QStringView, 14> Names
        = {u"월요일", u"화요일",  u"수요일",    u"목요일",   u"금요일", u"토요일",   u"일요일",
           u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday", u"Sunday"};
    for (const QStringView name : Names) {
        if (word.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Takes a date off the front of `text`: "2019년 7월 10일", "2019. 7. 10.", "July 10, 2019",
// "Jul 10, 2019". Invalid, with `text` as it was, when there is none.
QDate takeDate(QStringView &text)
{
    QStringView t = text;
    std::optional<int> y, m, d;
    if (!t.isEmpty() && isDigit(t.front())) {
        y = number(t, 4, 4);
        const bool korean = y && take(t, u'년');
        if (!korean && !(y && take(t, u'.')))
            return {};
        skipBlanks(t);
        m = number(t, 1, 2);
        if (!m || !take(t, korean ? u'월' : u'.'))
            return {};
        skipBlanks(t);
        d = number(t, 1, 2);
        if (!d || !take(t, korean ? u'일' : u'.'))
            return {};
    } else {
        const qsizetype blank = t.indexOf(u' ');
        if (blank < 3 || blank > 9)
            return {};
        const int month = monthOf(t.first(blank));
        if (!month)
            return {};
        m = month;
        t = t.sliced(blank + 1);
        d = number(t, 1, 2);
        if (!d || !take(t, u", "))
            return {};
        y = number(t, 4, 4);
        if (!y)
            return {};
    }
    const QDate date(*y, *m, *d);
    if (date.isValid())
        text = t;
    return date;
}

// A day line's date: "2019년 7월 10일 수요일", "Wednesday, July 10, 2019", "July 10, 2019".
QDate dayDate(QStringView text)
{
    const qsizetype comma = text.indexOf(u", ");
    if (comma > 0 && comma < 10 && isWeekday(text.first(comma)))
        text = text.sliced(comma + 2);
    const QDate date = takeDate(text);
    skipBlanks(text);
    return text.isEmpty() || isWeekday(text) ? date : QDate();
}

// Takes a time off the front of `text`: "오후 9:03", "9:03 PM", "21:03".
std::optional<ClockTime> takeTime(QStringView &text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 1 || colon > 6 || text.size() < colon + 3 || !isDigit(text[colon + 1])
        || !isDigit(text[colon + 2]))
        return std::nullopt;
    qsizetype end = colon + 3;
    // "9:03 PM", with a blank or a narrow one before the mark.
    const QStringView after = text.sliced(end);
    if (after.size() >= 3 && after.front().isSpace()
        && (after.sliced(1).startsWith(u"AM", Qt::CaseInsensitive)
            || after.sliced(1).startsWith(u"PM", Qt::CaseInsensitive)))
        end += 3;
    const auto time = parseClockTime(text.first(end));
    if (time)
        text = text.sliced(end);
    return time;
}

// "[Ann] [오후 9:03] text": the first "] [" that a time and "]" follow ends the name.
Line desktopMessage(QStringView line)
{
    for (qsizetype at = line.indexOf(u"] ["); at > 0; at = line.indexOf(u"] [", at + 1)) {
        const qsizetype close = line.indexOf(u']', at + 3);
        if (close < 0)
            break;
        if (close + 1 < line.size() && line[close + 1] != u' ')
            continue;
        const auto time = parseClockTime(line.sliced(at + 3, close - at - 3));
        if (!time)
            continue;
        Line parsed;
        parsed.kind = Line::Kind::Message;
        parsed.time = time;
        parsed.sender = line.sliced(1, at - 1).toString();
        parsed.text = line.sliced(qMin(close + 2, line.size())).toString();
        return parsed;
    }
    return {};
}

Line desktopDay(QStringView line)
{
    if (!line.startsWith(Dashes) || !line.endsWith(DashesAfter)
        || line.size() <= Dashes.size() + DashesAfter.size())
        return {};
    const QStringView inner = line.sliced(Dashes.size()).chopped(DashesAfter.size());
    Line parsed;
    parsed.date = dayDate(inner);
    if (parsed.date.isValid()) {
        parsed.kind = Line::Kind::Day;
        parsed.text = inner.toString();
    }
    return parsed;
}

// "2019년 7월 10일 오후 9:03, Ann : text", "2019. 7. 10. 오후 9:03: Ann님이 나갔습니다.",
// "July 10, 2019, 9:03 PM, Ann : text", "Jul 10, 2019 at 21:03, Ann : text", and the day lines.
Line phoneLine(QStringView line)
{
    Line parsed;
    QStringView rest = line;
    parsed.date = takeDate(rest);
    if (!parsed.date.isValid()) {
        parsed.date = dayDate(line);
        if (parsed.date.isValid()) {
            parsed.kind = Line::Kind::Day;
            parsed.text = line.toString();
        }
        return parsed;
    }
    const qsizetype dateEnd = line.size() - rest.size();
    if (!take(rest, u" at ") && !take(rest, u", ") && !take(rest, u' '))
        return {};
    parsed.time = takeTime(rest);
    if (!parsed.time) {
        if (!isWeekday(rest))
            return {};
        parsed.kind = Line::Kind::Day; // iOS: "2019년 7월 10일 수요일"
        parsed.text = line.toString();
        return parsed;
    }
    if (rest.isEmpty()) {
        // Android: the day with its first record's time, which that record shows.
        parsed.kind = Line::Kind::Day;
        parsed.text = line.first(dateEnd).toString();
        parsed.time.reset();
        return parsed;
    }
    const bool iosEvent = take(rest, u": ");
    if (!iosEvent && !take(rest, u", "))
        return {};
    const qsizetype colon = rest.indexOf(u" : ");
    if (!iosEvent && (colon >= 0 || rest.endsWith(u" :"))) {
        parsed.kind = Line::Kind::Message;
        parsed.sender = rest.first(colon >= 0 ? colon : rest.size() - 2).toString();
        parsed.text = colon >= 0 ? rest.sliced(colon + 3).toString() : QString();
    } else {
        parsed.kind = Line::Kind::Event;
        parsed.text = rest.toString();
    }
    return parsed;
}

} // namespace

Line parseLine(QStringView line)
{
    if (line.isEmpty())
        return {};
    const QChar c = line.front();
    if (c == u'[')
        return desktopMessage(line);
    if (c == u'-')
        return desktopDay(line);
    if (isDigit(c) || c.isLetter())
        return phoneLine(line);
    return {};
}

bool isEventText(QStringView text)
{
    static const std::array<QStringView, 5> KoreanEnds = {
        u"들어왔습니다.", u"나갔습니다.", u"초대했습니다.", u"초대하였습니다.", u"내보냈습니다."};
    if (text.contains(u"님이 ")) {
        for (const QStringView end : KoreanEnds) {
            if (text.endsWith(end))
                return true;
        }
    }
    return text.endsWith(u" joined this chatroom.") || text.endsWith(u" left this chatroom.");
}

QString eventActor(QStringView text)
{
    if (const qsizetype at = text.indexOf(u"님이 "); at > 0)
        return text.first(at).toString();
    for (const QStringView end : {u" joined this chatroom.", u" left this chatroom."}) {
        if (text.endsWith(end) && text.size() > end.size())
            return text.chopped(end.size()).toString();
    }
    return {};
}

std::optional<chat::Attachment> placeholder(QStringView text)
{
    while (text.endsWith(u' ')) // iOS writes "이모티콘 "
        text.chop(1);
    chat::Attachment a;
    if (text == u"사진" || text == u"Photo") {
        a.kind = QStringLiteral("写真");
    } else if (text.startsWith(u"사진 ") && text.endsWith(u'장') && text.size() > 4
               && std::all_of(text.begin() + 3, text.end() - 1, isDigit)) {
        a.kind = QStringLiteral("写真");
        a.name = text.sliced(3).toString(); // "3장": how many
    } else if (text == u"동영상" || text == u"Video") {
        a.kind = QStringLiteral("動画");
    } else if (text == u"이모티콘" || text == u"(이모티콘)" || text == u"Emoticons") {
        a.kind = QStringLiteral("スタンプ");
    } else if (text.startsWith(u"파일: ") || text.startsWith(u"File: ")) {
        a.kind = QStringLiteral("ファイル");
        a.name = text.sliced(text.indexOf(u": ") + 2).toString();
        if (a.name.isEmpty())
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return a;
}

bool isTitle(QStringView line)
{
    return line.endsWith(u"카카오톡 대화") || line.startsWith(u"KakaoTalk Chats")
        || line.endsWith(u" with KakaoTalk Chats")
        || (line.startsWith(u"Talk_") && line.endsWith(u".txt"));
}

QString chatName(QStringView title)
{
    // A phone names a group with its head count after it: "Team 12 카카오톡 대화",
    // "KakaoTalk Chats with Team (12)".
    const auto withoutCount = [](QStringView name, bool parens) {
        QStringView n = name;
        if (parens && !(n.endsWith(u')') && n.contains(u" (")))
            return name.toString();
        if (parens)
            n = n.chopped(1);
        const qsizetype blank = n.lastIndexOf(parens ? u'(' : u' ');
        const QStringView count = n.sliced(blank + 1);
        const bool digits
            = blank > 0 && !count.isEmpty() && std::all_of(count.begin(), count.end(), isDigit);
        return (digits ? name.first(parens ? blank - 1 : blank) : name).toString();
    };
    title = title.trimmed();
    if (title.endsWith(u"님과 카카오톡 대화"))
        return title.chopped(10).trimmed().toString();
    if (title.endsWith(u" 카카오톡 대화"))
        return withoutCount(title.chopped(8), false);
    if (title.startsWith(u"KakaoTalk Chats with "))
        return withoutCount(title.sliced(21), true);
    if (title.startsWith(u"KakaoTalk Chats "))
        return withoutCount(title.sliced(16), true);
    if (title.endsWith(u" with KakaoTalk Chats"))
        return title.chopped(21).toString();
    return {};
}

bool isSavedLine(QStringView line)
{
    return line.startsWith(u"저장한 날짜") || line.startsWith(u"Date Saved");
}

} // namespace kakaotalk

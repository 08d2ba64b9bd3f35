#pragma once

#include "engine/read/chat/chatmodel.h"
#include "engine/read/shared/clock.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

// The lines of a KakaoTalk text export, each told apart on its own. The app writes three forms:
// - the desktop app: day lines "--------------- 2019년 7월 10일 수요일 ---------------" (or
//   "--------------- Wednesday, July 10, 2019 ---------------"), messages
//   "[Ann] [오후 9:03] text", and events on lines of their own without a time
//   ("Ann님이 들어왔습니다.");
// - Android: day lines "2019년 7월 10일 오후 9:03" (the first record's time), messages
//   "2019년 7월 10일 오후 9:03, Ann : text", events "2019년 7월 10일 오후 9:03, Ann님이
//   나갔습니다." and in English "July 10, 2019, 9:03 PM, Ann : text" (a day line is read as its
//   date);
// - iOS: day lines "2019년 7월 10일 수요일", messages "2019. 7. 10. 오후 9:03, Ann : text", events
//   "2019. 7. 10. 오후 9:03: Ann님이 나갔습니다.".
// Before them stand a title ("Ann 님과 카카오톡 대화", "KakaoTalk Chats with Ann") and the date
// the export was saved ("저장한 날짜 : …", "Date Saved : …"). Any other line goes on the record
// before it: a message's text runs over as many lines as it has.
namespace kakaotalk {

struct Line
{
    enum class Kind { Text, Day, Message, Event };
    Kind kind = Kind::Text;
    QDate date; // a phone's record and any day line
    std::optional<ClockTime> time; // a record's, where the line tells it
    QString sender;
    QString text; // a message's or an event's first line; a day line as written
};

// What a line is; a desktop event is told by its words (isEventText), not here.
Line parseLine(QStringView line);

// Whether a line without a time is a desktop export's event, and who did it ("Ann" of
// "Ann님이 나갔습니다."); empty when the text does not say.
bool isEventText(QStringView text);
QString eventActor(QStringView text);

// The attachment a message's whole text stands for ("사진", "동영상", "이모티콘", "파일: a.pdf").
std::optional<chat::Attachment> placeholder(QStringView text);

// The first lines: whether a line is the title, and the chat's name in it (empty for a title
// that is the file's name, "Talk_2019.7.10 21:03-1.txt"); whether it tells when it was saved.
bool isTitle(QStringView line);
QString chatName(QStringView title);
bool isSavedLine(QStringView line);

} // namespace kakaotalk

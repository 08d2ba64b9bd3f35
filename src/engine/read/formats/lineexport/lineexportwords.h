#pragma once

#include <QString>
#include <QStringView>

// The words of a LINE export that are the app's, not its users': the title and the saved-on
// line at the top, the events it records, and the placeholders it writes for what is not
// text (stickers, photos, calls).

// The first line of an export from a phone ("[LINE] 猫の集会のトーク履歴", "[LINE] Chat history
// with Firm") or from the desktop app ("Chat history in "Firm"", "[LINE] Chat in Firm").
bool isLineExportTitle(QStringView firstLine);
// The chat's name in such a title ("猫の集会", "Firm"); the title without "[LINE] " when its
// form is not known.
QString chatName(QStringView title);

// The line under the title that tells when the export was saved ("保存日時：2024/01/15 21:03",
// "Saved on: 5/4/2020, 17:03", "儲存日期： 2020/10/01 09:32").
bool isSavedOnLine(QStringView line);

// An event the app records in a sender's name ("Ann added a note.", "Group call ended.",
// "[記事本] …"), which is no words of that sender.
bool isEventText(QStringView text);
// A notice that a message was taken back ("Bo unsent a message.", "王大明已收回訊息",
// "メッセージの送信を取り消しました"), with or without the name glued to it.
bool isUnsendText(QStringView text);

// What the app writes in place of a message that is not text ("[スタンプ]", "[Photo]", "貼圖",
// "☎ 通話時間 0:20", "☎ Missed call"): shown as such, not as words.
bool isPlaceholder(QStringView text);

#pragma once

#include "engine/read/chat/chatmodel.h"

#include <QString>
#include <QStringView>
#include <optional>

// The words a WhatsApp export writes in place of what is not text. iPhones mark each with a
// left-to-right mark, so that they are known in any language; Android phones write them in the
// phone's language, and only the languages listed are known.
namespace whatsapp {

// What an iPhone writes after the last mark of a media record: "<attached: 00000012-PHOTO-…
// .jpg>" (the file beside the text in the export's ZIP), "image omitted", "Bild weggelassen".
chat::Attachment iosMedium(QStringView text);

// What an Android phone writes in place of a message that is a medium: "<Media omitted>",
// "<メディアは含まれていません>", or the first line of "IMG-20200101-WA0001.jpg (file attached)",
// whose caption follows on the next lines.
std::optional<chat::Attachment> androidMedium(QStringView text);

// Takes the mark of an edited message off the end of its last line: one after a left-to-right
// mark ("‎<This message was edited>", "‎<Diese Nachricht wurde bearbeitet.>"), or one of the
// marks Android phones write without it.
bool takeEditedMark(QString &line);

// What a file is by the name WhatsApp gave it ("00000012-PHOTO-…", "IMG-…", "VID-…") or by
// its extension: "写真", "動画", "音声", "スタンプ", "GIF", "連絡先" or "ファイル".
QString kindOfFile(QStringView name);

} // namespace whatsapp

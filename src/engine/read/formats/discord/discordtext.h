#pragma once

#include "engine/read/chat/chatmodel.h"

#include <QString>
#include <QStringView>

// What both Discord forms write alike: their instants and the files they name.
namespace discord {

// An instant as the exporter writes it ("2020-08-08T14:28:17.123+02:00") or the data package
// ("2022-09-09 00:14:25" in UTC, older ones "2020-11-30 23:30:03.690000+00:00"); none when the
// text is no time.
chat::Moment moment(QStringView text);
// The last part of a path or an address, without its query ("a/b/photo.png?ex=1" → "photo.png").
QString fileName(QStringView pathOrUrl);
// The kind of a file as the page names it, by its extension.
QString fileKind(QStringView fileName);
// A path the export holds the file at, relative to it; empty for an address on the web.
QString localPath(QStringView pathOrUrl);

} // namespace discord

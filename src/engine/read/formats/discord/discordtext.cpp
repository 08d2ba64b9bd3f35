#include "engine/read/formats/discord/discordtext.h"

#include "engine/read/shared/isotime.h"

#include <QDateTime>

namespace discord {

chat::Moment moment(QStringView text)
{
    // Most are written in full, read as they are.
    if (text.size() >= 20 && text[10] == u'T' && !text.front().isSpace() && !text.back().isSpace()
        && (text.sliced(19).contains(u'+') || text.sliced(19).contains(u'-')
            || text.endsWith(u'Z'))) {
        const QDateTime at = isoDateTime(text);
        return at.isValid() ? chat::Moment::fromInstant(at) : chat::Moment();
    }
    QString iso = text.trimmed().toString();
    if (iso.size() < 19)
        return {};
    iso[10] = u'T';
    // The package's times without an offset are in UTC.
    const QStringView clock = QStringView(iso).sliced(19);
    if (!clock.contains(u'+') && !clock.contains(u'-') && !clock.endsWith(u'Z'))
        iso += u'Z';
    const QDateTime at = isoDateTime(iso);
    return at.isValid() ? chat::Moment::fromInstant(at) : chat::Moment();
}

QString fileName(QStringView pathOrUrl)
{
    QStringView name = pathOrUrl;
    if (name.contains(u"://")) {
        if (const qsizetype query = name.indexOf(u'?'); query >= 0)
            name.truncate(query);
    }
    const qsizetype slash = qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    return name.sliced(slash + 1).toString();
}

QString fileKind(QStringView fileName)
{
    static const QStringList Photos = QStringLiteral("jpg jpeg png webp bmp heic avif").split(u' ');
    static const QStringList Videos = QStringLiteral("mp4 mov webm mkv avi").split(u' ');
    static const QStringList Sounds = QStringLiteral("mp3 ogg wav m4a flac").split(u' ');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString ext = dot < 0 ? QString() : fileName.sliced(dot + 1).toString().toLower();
    if (ext == u"gif")
        return QStringLiteral("GIF");
    if (Photos.contains(ext))
        return QStringLiteral("写真");
    if (Videos.contains(ext))
        return QStringLiteral("動画");
    if (Sounds.contains(ext))
        return QStringLiteral("音声");
    return QStringLiteral("ファイル");
}

QString localPath(QStringView pathOrUrl)
{
    if (pathOrUrl.isEmpty() || pathOrUrl.contains(u"://"))
        return {};
    // Written on Windows with backslashes.
    return pathOrUrl.toString().replace(u'\\', u'/');
}

} // namespace discord

#include "engine/read/formats/skype/skypecontent.h"

#include <QRegularExpression>

namespace skype {

namespace {

QString attribute(const QString &tag, const QString &name)
{
    const QRegularExpression re(QStringLiteral("\\b") + name + QStringLiteral("=\"([^\"]*)\""));
    const QRegularExpressionMatch m = re.match(tag);
    return m.hasMatch() ? unescaped(m.captured(1)) : QString();
}

QString element(const QString &text, const QString &name)
{
    const QRegularExpression re(u'<' + name + QStringLiteral("(?:\\s[^>]*)?>(.*?)</") + name + u'>',
                                QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1) : QString();
}

// Markup left over after what means something was read: the tags go, their text stays.
QString stripped(QString text)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    return unescaped(text.remove(tags));
}

QString fileKind(const QString &type)
{
    if (type.startsWith(u"Picture") || type.contains(u"Media_Album"))
        return QStringLiteral("写真");
    if (type.startsWith(u"Video") || type.contains(u"Media_Video"))
        return QStringLiteral("動画");
    if (type.startsWith(u"Audio") || type.contains(u"AudioMsg"))
        return QStringLiteral("音声");
    return QStringLiteral("ファイル");
}

} // namespace

QString unescaped(QString text)
{
    if (!text.contains(u'&'))
        return text;
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9A-Fa-f]+);"));
    QString out;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).sliced(last, m.capturedStart() - last);
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        out += ok && code > 0 && code <= 0x10FFFF
            ? QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1)
            : m.captured(0);
        last = m.capturedEnd();
    }
    out += QStringView(text).sliced(last);
    return out.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

QString idName(const QString &id)
{
    QString name = id;
    static const QRegularExpression prefix(QStringLiteral("^\\d+:(live:)?"));
    name.remove(prefix);
    return name.isEmpty() ? id : name;
}

QString emoji(const QString &key)
{
    static const QHash<QString, QString> known = {
        {QStringLiteral("like"), QStringLiteral("👍")},
        {QStringLiteral("heart"), QStringLiteral("❤️")},
        {QStringLiteral("laugh"), QStringLiteral("😆")},
        {QStringLiteral("surprised"), QStringLiteral("😮")},
        {QStringLiteral("sad"), QStringLiteral("😢")},
        {QStringLiteral("angry"), QStringLiteral("😠")},
    };
    return known.value(key, key);
}

Content message(const QString &type, const QString &content)
{
    Content c;
    if (!content.contains(u'<') && !content.contains(u'&')) { // plain text, as most messages are
        // Most are one line with nothing to trim.
        if (!content.isEmpty() && !content.front().isSpace() && !content.back().isSpace()
            && !content.contains(u'\n') && !content.contains(u'\r')) {
            c.text = {content};
            return c;
        }
        QString plain = content;
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        plain = plain.trimmed();
        if (!plain.isEmpty())
            c.text = plain.split(u'\n');
        return c;
    }
    QString text = content;
    // The message answered, quoted before the answer.
    static const QRegularExpression quote(QStringLiteral("<quote\\b([^>]*)>(.*?)</quote>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    if (const QRegularExpressionMatch m = quote.match(text); m.hasMatch()) {
        c.replyTo = attribute(m.captured(1), QStringLiteral("messageid"));
        c.replySender = attribute(m.captured(1), QStringLiteral("authorname"));
        static const QRegularExpression legacy(QStringLiteral("<legacyquote>.*?</legacyquote>"),
                                               QRegularExpression::DotMatchesEverythingOption);
        c.replyQuote = stripped(m.captured(2).remove(legacy)).simplified();
        if (c.replyTo.isEmpty())
            c.replyTo = QStringLiteral("?");
        text.remove(m.capturedStart(), m.capturedLength());
    }
    static const QRegularExpression editMark(QStringLiteral("<e_m\\b[^>]*>(</e_m>)?"));
    if (text.contains(editMark)) {
        c.edited = true;
        text.remove(editMark);
    }
    // Shared files and pictures.
    static const QRegularExpression object(QStringLiteral("<URIObject\\b([^>]*)>(.*?)</URIObject>"),
                                           QRegularExpression::DotMatchesEverythingOption);
    for (auto it = object.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        chat::Attachment a;
        a.kind = fileKind(attribute(m.captured(1), QStringLiteral("type")) + type);
        static const QRegularExpression original(QStringLiteral("<OriginalName\\s+v=\"([^\"]*)\""));
        static const QRegularExpression size(QStringLiteral("<FileSize\\s+v=\"(\\d+)\""));
        a.name = unescaped(original.match(m.captured(2)).captured(1));
        if (a.name.isEmpty())
            a.name = stripped(element(m.captured(2), QStringLiteral("Title")))
                         .remove(QRegularExpression(QStringLiteral("^Title:\\s*")));
        const QRegularExpressionMatch s = size.match(m.captured(2));
        a.size = s.hasMatch() ? s.captured(1).toLongLong() : -1;
        c.attachments.append(a);
    }
    text.remove(object);
    // Links, mentions and emoticons keep their text; a link its address where that differs.
    static const QRegularExpression link(QStringLiteral("<a\\b([^>]*)>(.*?)</a>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    QString linked;
    qsizetype last = 0;
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        linked += QStringView(text).sliced(last, m.capturedStart() - last);
        const QString shown = stripped(m.captured(2));
        const QString href = attribute(m.captured(1), QStringLiteral("href"));
        linked += (href.isEmpty() || href == shown)
            ? m.captured(2)
            : m.captured(2) + QStringLiteral(" (") + href.toHtmlEscaped() + u')';
        last = m.capturedEnd();
    }
    linked += QStringView(text).sliced(last);
    static const QRegularExpression mention(QStringLiteral("<at\\b[^>]*>"));
    linked.replace(mention, QStringLiteral("@"));
    linked.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString plain = stripped(linked).trimmed();
    if (!plain.isEmpty())
        c.text = plain.split(u'\n');
    return c;
}

bool isEvent(const QString &type)
{
    return type.startsWith(u"Event/") || type.startsWith(u"ThreadActivity/");
}

QString event(const QString &type, const QString &content, const QString &senderId)
{
    if (type == u"Event/Call") {
        static const QRegularExpression list(QStringLiteral("<partlist\\b([^>]*)>"));
        const QString kind = attribute(list.match(content).captured(1), QStringLiteral("type"));
        if (kind == u"started")
            return senderId + QStringLiteral(" が通話を始めました");
        if (kind == u"missed")
            return senderId + QStringLiteral(" からの不在着信");
        const QString seconds = element(content, QStringLiteral("duration"));
        if (!seconds.isEmpty()) {
            // A call of more than a year is a damaged field, not a call.
            const double d = seconds.toDouble();
            const int s = d > 0 && d < 366.0 * 86400 ? int(d) : 0;
            return QStringLiteral("通話が終わりました (%1:%2)")
                .arg(s / 60)
                .arg(s % 60, 2, 10, QLatin1Char('0'));
        }
        return QStringLiteral("通話が終わりました");
    }
    const QString initiator = stripped(element(content, QStringLiteral("initiator")));
    const QString who = initiator.isEmpty() ? senderId : initiator;
    QStringList targets;
    static const QRegularExpression target(QStringLiteral("<target>(.*?)</target>"));
    for (auto it = target.globalMatch(content); it.hasNext();)
        targets.append(stripped(it.next().captured(1)));
    if (type == u"ThreadActivity/AddMember")
        return who + QStringLiteral(" が ") + targets.join(u'、')
            + QStringLiteral(" を追加しました");
    if (type == u"ThreadActivity/DeleteMember") {
        if (targets == QStringList {who})
            return who + QStringLiteral(" が退出しました");
        return who + QStringLiteral(" が ") + targets.join(u'、')
            + QStringLiteral(" を削除しました");
    }
    if (type == u"ThreadActivity/TopicUpdate")
        return who + QStringLiteral(" がトピックを「")
            + stripped(element(content, QStringLiteral("value"))) + QStringLiteral("」にしました");
    if (type == u"ThreadActivity/PictureUpdate")
        return who + QStringLiteral(" がグループの画像を変えました");
    return {};
}

} // namespace skype

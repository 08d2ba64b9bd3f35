// The short lines of a chat export's message on the modern page: what the other outputs write
// as "[返信] …", "[写真] …", "[リアクション] …" and "[編集済み]" shown as what they are.
#include "engine/page/htmltext.h"
#include "engine/page/modern/modernbody.h"

#include <QStringBuilder>

namespace {

// The line's words after the bracket the other outputs lead it with ("[返信] Ann「…」").
QStringView afterBracket(QStringView text, QStringView bracket)
{
    if (!text.startsWith(bracket))
        return text;
    return text.sliced(bracket.size()).trimmed();
}

// A picture a browser shows by itself; other files are linked.
bool isPicture(QStringView href)
{
    static constexpr QStringView Pictures[]
        = {u".jpg", u".jpeg", u".png", u".gif", u".webp", u".bmp", u".avif"};
    for (const QStringView ending : Pictures) {
        if (href.endsWith(ending, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

void ModernBody::shortLine(const QString &line, LineRole role, QStringView ref)
{
    // The line is text the page's filter escaped; `ref` is an anchor or a relative address
    // made by the run, escaped here as an attribute all the same.
    const QStringView text = unstamped(line);
    const QString href = htmlEscaped(ref.toString());
    QString html;
    switch (role) {
    case LineRole::Reply: {
        const QStringView quote = afterBracket(text, u"[返信]");
        html = ref.isEmpty()
            ? QString(QStringLiteral("<span class=\"re\">↩ ") % quote % QStringLiteral("</span>"))
            : QString(QStringLiteral("<a class=\"re\" href=\"#") % href % QStringLiteral("\">↩ ")
                      % quote % QStringLiteral("</a>"));
        break;
    }
    case LineRole::Attachment:
        if (ref.isEmpty())
            html = QStringLiteral("<span class=\"ph\">") % text % QStringLiteral("</span>");
        else if (isPicture(ref))
            html = QStringLiteral("<a class=\"pic\" href=\"") % href
                % QStringLiteral("\"><img src=\"") % href
                % QStringLiteral("\" alt=\"\" loading=\"lazy\"></a>\n<span class=\"ph\">") % text
                % QStringLiteral("</span>");
        else
            html = QStringLiteral("<a class=\"ph\" href=\"") % href % QStringLiteral("\">") % text
                % QStringLiteral("</a>");
        break;
    case LineRole::Reactions:
        for (const QStringView one : afterBracket(text, u"[リアクション]").split(u" / "))
            html += QStringLiteral("<span class=\"rx\">") % one % QStringLiteral("</span>");
        break;
    default: // edited: the mark alone
        html = QStringLiteral("<span class=\"ed\">編集済み</span>");
        break;
    }
    textLine(html, Block::Utterance, false);
}

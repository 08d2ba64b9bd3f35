#include "modernpage.h"

#include "markupfilter.h"
#include "modernassets.h"
#include "readablecolor.h"
#include "settings/palette.h"

namespace {

QString speakerNumber(qsizetype k)
{
    return QString::number(k + 1);
}

// The speaker's light and dark colours as custom properties of its class, and the rules by
// which the page's script shows only this speaker ("only-sN" on the root) or hides it
// ("hide-sN"): a style rule reaches every utterance at once, however long the log.
QString speakerRule(const QString &cls, const QString &color)
{
    return QLatin1Char('.') % cls % QStringLiteral("{--cl:")
        % readable::readableOn(color, modernassets::LightBackground) % QStringLiteral(";--cd:")
        % readable::readableOn(color, modernassets::DarkBackground) % QStringLiteral("}\n.only-")
        % cls % QStringLiteral(" .part>:not(.") % cls % QStringLiteral("),.hide-") % cls
        % QStringLiteral(" .part>.") % cls % QStringLiteral("{display:none}\n");
}

QString facts(const ModernPageInfo &info)
{
    QString text
        = QStringLiteral("発言者 %1 人・発言 %2 件").arg(info.speakers.size()).arg(info.utterances);
    if (!info.firstDate.isEmpty()) {
        text += QStringLiteral("・") % htmlEscaped(info.firstDate);
        if (info.lastDate != info.firstDate)
            text += QStringLiteral(" ～ ") % htmlEscaped(info.lastDate);
    }
    return text;
}

void writeStyle(const ModernPageInfo &info, QString &page, const PageSink &sink)
{
    using namespace modernassets;
    page += QStringLiteral("<style>") % Style;
    const QString nar = info.narColor.isEmpty() ? QStringLiteral("#0000FF") : info.narColor;
    page += QStringLiteral(":root{--notel:") % LightNoteBackground % QStringLiteral(";--noted:")
        % DarkNoteBackground % QStringLiteral(";--nl:")
        % readable::readableOn(nar, LightNoteBackground) % QStringLiteral(";--nd:")
        % readable::readableOn(nar, DarkNoteBackground) % QStringLiteral("}\n");
    page += QStringLiteral(":root[data-theme=dark]{") % DarkVariables
        % QStringLiteral("}\n:root[data-theme=dark] :is(.u,.legend li){--c:var(--cd)}\n");
    page += QStringLiteral("@media (prefers-color-scheme:dark){:root:not([data-theme=light]){")
        % DarkVariables
        % QStringLiteral("}\n:root:not([data-theme=light]) :is(.u,.legend li){--c:var(--cd)}}\n");
    for (qsizetype k = 0; k < info.speakers.size(); ++k) {
        const QString &color = info.speakers[k].color;
        page += speakerRule(QLatin1Char('s') + speakerNumber(k),
                            color.isEmpty() ? info.bodyColor : color);
        if (page.size() >= 32 * 1024) {
            sink(page);
            page.resize(0);
        }
    }
    page += PrintStyle % QStringLiteral("</style>\n");
}

void writeLegend(const ModernPageInfo &info, QString &page, const PageSink &sink)
{
    page += QStringLiteral("<ul class=\"legend\" aria-label=\"発言者\">\n");
    for (qsizetype k = 0; k < info.speakers.size(); ++k) {
        const ModernSpeaker &s = info.speakers[k];
        const QString n = speakerNumber(k);
        page += QStringLiteral("<li class=\"sp s") % n
            % QStringLiteral("\"><span class=\"sw\" aria-hidden=\"true\"></span><span class=\"n\">")
            % markupText(s.name) % QStringLiteral("</span><span class=\"cnt\">")
            % QString::number(s.utterances)
            % QStringLiteral(" 件</span><span class=\"js-only\"><button type=\"button\" "
                             "class=\"only\" data-s=\"s")
            % n
            % QStringLiteral("\" aria-pressed=\"false\">だけ表示</button><button type=\"button\" "
                             "class=\"hide\" data-s=\"s")
            % n % QStringLiteral("\" aria-pressed=\"false\">隠す</button></span></li>\n");
        if (page.size() >= 32 * 1024) {
            sink(page);
            page.resize(0);
        }
    }
    page += QStringLiteral("</ul>\n");
}

} // namespace

QString htmlEscaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += u"&amp;";
            break;
        case '<':
            out += u"&lt;";
            break;
        case '>':
            out += u"&gt;";
            break;
        case '"':
            out += u"&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString markupText(QStringView markup)
{
    // After the chat filter every "<" opens a whole tag.
    QString out;
    out.reserve(markup.size());
    for (qsizetype i = 0; i < markup.size();) {
        if (markup[i] == u'<') {
            i = chatTagEnd(markup, i);
        } else {
            out += markup[i];
            ++i;
        }
    }
    return out;
}

void writeModernHead(const ModernPageInfo &info, const PageSink &sink)
{
    QString page = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta name=\"color-scheme\" content=\"light dark\">\n<title>");
    page += htmlEscaped(info.baseName);
    for (qsizetype k = 0; k < info.speakers.size(); ++k) {
        page += (k == 0 ? QStringLiteral(" : ") : QStringLiteral(" + "))
            % markupText(info.speakers[k].name).replace(u'<', QStringLiteral("&lt;"));
        if (page.size() >= 32 * 1024) {
            sink(page);
            page.resize(0);
        }
    }
    page += QStringLiteral("</title>\n");
    writeStyle(info, page, sink);
    page += QStringLiteral("</head>\n<body>\n<header class=\"top\">\n<h1>")
        % htmlEscaped(info.baseName) % QStringLiteral("</h1>\n<p class=\"facts\">") % facts(info)
        % QStringLiteral(
                "</p>\n<div class=\"tools\" role=\"search\"><input type=\"search\" id=\"q\" "
                "placeholder=\"発言を検索\" aria-label=\"発言を検索\" autocomplete=\"off\">"
                "<span id=\"found\" aria-live=\"polite\"></span>"
                "<button type=\"button\" id=\"all\">全部を表示</button>"
                "<button type=\"button\" id=\"theme\" aria-pressed=\"false\">ダークにする</button>"
                "</div>\n");
    writeLegend(info, page, sink);
    page += QStringLiteral("</header>\n<script>") % modernassets::Script
        % QStringLiteral("</script>\n<main id=\"log\">\n");
    sink(page);
}

QByteArray modernPageEnd()
{
    return QByteArrayLiteral("</main>\n</body>\n</html>\n");
}

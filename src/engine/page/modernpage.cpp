#include "engine/page/modernpage.h"

#include "engine/page/modernassets.h"
#include "engine/page/pageassets.h"
#include "engine/page/readablecolor.h"
#include "settings/palette.h"

#include <QCryptographicHash>

namespace {

QString speakerNumber(qsizetype k)
{
    return QString::number(k + 1);
}

// The speaker's light and dark colours as custom properties of its class, and the rules by
// which the page's script shows only this speaker ("only-sN" on the root) or hides it
// ("hide-sN"): a style rule reaches every utterance at once, however long the log.
QString speakerRule(const QString &cls, const QString &light, const QString &dark)
{
    return QLatin1Char('.') % cls % QStringLiteral("{--cl:") % light % QStringLiteral(";--cd:")
        % dark % QStringLiteral("}\n.only-") % cls % QStringLiteral(" .part>:not(.") % cls
        % QStringLiteral("),.hide-") % cls % QStringLiteral(" .part>.") % cls
        % QStringLiteral("{display:none}\n");
}

// Collects text and hands it on in pieces of about 32 KB.
class PieceBuffer
{
public:
    explicit PieceBuffer(const PageSink &sink)
        : m_sink(sink)
    {
    }
    ~PieceBuffer() { flush(); }
    PieceBuffer &operator+=(const QString &text)
    {
        m_text += text;
        if (m_text.size() >= 32 * 1024)
            flush();
        return *this;
    }
    void flush()
    {
        if (!m_text.isEmpty())
            m_sink(m_text);
        m_text.resize(0);
    }

private:
    const PageSink &m_sink;
    QString m_text;
};

// The speakers' colours made readable on both backgrounds, worked out once per page.
struct ReadableColors
{
    QStringList light;
    QStringList dark;
};

ReadableColors readableColors(const ModernPageInfo &info)
{
    ReadableColors colors;
    for (const ModernSpeaker &speaker : info.speakers) {
        const QString &color = speaker.color.isEmpty() ? info.bodyColor : speaker.color;
        colors.light.append(readable::readableOn(color, modernassets::LightBackground));
        colors.dark.append(readable::readableOn(color, modernassets::DarkBackground));
    }
    return colors;
}

// The text of the page's style element. It is made twice: once for its hash, which the page's
// security policy names, and once into the page.
void styleSheet(const ModernPageInfo &info, const ReadableColors &colors, const PageSink &sink)
{
    using namespace modernassets;
    PieceBuffer out(sink);
    out += style();
    const QString nar = info.narColor.isEmpty() ? QStringLiteral("#0000FF") : info.narColor;
    out += QStringLiteral(":root{--notel:") % LightNoteBackground % QStringLiteral(";--noted:")
        % DarkNoteBackground % QStringLiteral(";--nl:")
        % readable::readableOn(nar, LightNoteBackground) % QStringLiteral(";--nd:")
        % readable::readableOn(nar, DarkNoteBackground) % QStringLiteral("}\n");
    out += QStringLiteral(":root[data-theme=dark]{") % darkVariables()
        % QStringLiteral("}\n:root[data-theme=dark] :is(.u,.legend li){--c:var(--cd)}\n");
    out += QStringLiteral("@media (prefers-color-scheme:dark){:root:not([data-theme=light]){")
        % darkVariables()
        % QStringLiteral("}\n:root:not([data-theme=light]) :is(.u,.legend li){--c:var(--cd)}}\n");
    for (qsizetype k = 0; k < info.speakers.size(); ++k)
        out += speakerRule(QLatin1Char('s') + speakerNumber(k), colors.light[k], colors.dark[k]);
    out += printStyle();
    if (!info.nav.indexName.isEmpty())
        out += pageassets::pageNavStyle();
}

// A CSP hash source for text the page holds inline: "'sha256-…'".
QString hashSource(QCryptographicHash &hash)
{
    return QStringLiteral("'sha256-") + QString::fromLatin1(hash.result().toBase64())
        + QLatin1Char('\'');
}

// The page runs its own script and style and nothing else: no other script, no style from
// elsewhere, no request at all. Chat text that slipped past the filter could neither run nor
// send anything.
QString securityPolicy(const ModernPageInfo &info, const ReadableColors &colors)
{
    QCryptographicHash style(QCryptographicHash::Sha256);
    styleSheet(info, colors, [&style](QStringView piece) { style.addData(piece.toUtf8()); });
    static const QString script = [] {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(modernassets::script().toUtf8());
        return hashSource(hash);
    }();
    return QStringLiteral("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
                          "'none'; script-src ")
        % script % QStringLiteral("; style-src ") % hashSource(style)
        % QStringLiteral("; base-uri 'none'; form-action 'none'\">\n");
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

void writeModernHead(const ModernPageInfo &info, const PageSink &sink)
{
    QString page = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta name=\"color-scheme\" content=\"light dark\">\n");
    const ReadableColors colors = readableColors(info);
    page += securityPolicy(info, colors) % QStringLiteral("<title>");
    const QString heading = htmlEscaped(info.chatName.isEmpty() ? info.baseName : info.chatName);
    page += heading;
    for (qsizetype k = 0; k < info.speakers.size(); ++k) {
        page += (k == 0 ? QStringLiteral(" : ") : QStringLiteral(" + "))
            % markupText(info.speakers[k].name).replace(u'<', QStringLiteral("&lt;"));
        if (page.size() >= 32 * 1024) {
            sink(page);
            page.resize(0);
        }
    }
    page += QStringLiteral("</title>\n<style>");
    sink(page);
    page.resize(0);
    styleSheet(info, colors, sink);
    page += QStringLiteral("</style>\n");
    page += QStringLiteral("</head>\n<body>\n<header class=\"top\">\n<h1>") % heading
        % QStringLiteral("</h1>\n<p class=\"facts\">") % facts(info) % QStringLiteral("</p>\n")
        % pageNavHtml(info.nav)
        % QStringLiteral(
                "<div class=\"tools\" role=\"search\"><input type=\"search\" id=\"q\" "
                "placeholder=\"発言を検索\" aria-label=\"発言を検索\" autocomplete=\"off\">"
                "<span id=\"found\" aria-live=\"polite\"></span>"
                "<button type=\"button\" id=\"all\">全部を表示</button>"
                "<button type=\"button\" id=\"theme\" aria-pressed=\"false\">ダークにする</button>"
                "</div>\n");
    writeLegend(info, page, sink);
    page += QStringLiteral("</header>\n<script>") % modernassets::script()
        % QStringLiteral("</script>\n<main id=\"log\">\n");
    sink(page);
}

QByteArray modernPageEnd()
{
    return QByteArrayLiteral("</main>\n</body>\n</html>\n");
}

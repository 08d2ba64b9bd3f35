#include "engine/page/modern/modernpage.h"

#include "engine/page/distinctcolors.h"
#include "engine/page/modern/modernassets.h"
#include "engine/page/modern/moderncalendar.h"
#include "engine/page/modern/modernstats.h"
#include "engine/page/pageassets.h"
#include "engine/page/readablecolor.h"
#include "engine/text/speakerkeys.h"
#include "settings/palette.h"
#include "settings/settings.h"

#include <QCryptographicHash>
#include <QHash>
#include <charconv>

namespace {

QString speakerNumber(qsizetype k)
{
    return QString::number(k + 1);
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
    template<typename Text> PieceBuffer &operator+=(const Text &text)
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

// The speakers' colours made readable on both backgrounds, worked out once per page: many
// speakers share a few colours.
struct ReadableColors
{
    QList<distinct::ThemeColors> colors; // each once, in the order speakers first have them
    QList<qsizetype> colorOf; // per speaker, its entry in `colors`
};

ReadableColors readableColors(const ModernPageInfo &info)
{
    QHash<QString, qsizetype> made;
    ReadableColors colors;
    for (const ModernSpeaker &speaker : info.speakers) {
        const QString &color = speaker.color.isEmpty() ? info.bodyColor : speaker.color;
        auto it = made.constFind(color);
        if (it == made.cend()) {
            it = made.insert(color, colors.colors.size());
            colors.colors.append(distinct::themeColors(color));
        }
        colors.colorOf.append(*it);
    }
    return colors;
}

// The speakers' light and dark colours as custom properties of their classes, one rule per
// colour: ".s1,.s9{--cl:…;--cd:…}". (The page's script adds the rules that show or hide
// speakers.)
void speakerRules(const ReadableColors &colors, PieceBuffer &out)
{
    QList<QList<qsizetype>> speakersOf(colors.colors.size());
    for (qsizetype k = 0; k < colors.colorOf.size(); ++k)
        speakersOf[colors.colorOf[k]].append(k);
    for (qsizetype c = 0; c < colors.colors.size(); ++c) {
        bool first = true;
        for (const qsizetype k : std::as_const(speakersOf[c])) {
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, k + 1).ptr;
            out += first ? QLatin1StringView(".s") : QLatin1StringView(",.s");
            first = false;
            out += QLatin1StringView(digits, end - digits);
        }
        out += QStringLiteral("{--cl:") % colors.colors[c].light % QStringLiteral(";--cd:")
            % colors.colors[c].dark % QStringLiteral("}\n");
    }
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
    out += QStringLiteral(":root[data-theme=dark]{") % pageassets::darkVariables()
        % QStringLiteral("}\n:root[data-theme=dark] :is(.u,.legend li,.sc){--c:var(--cd)}\n");
    out += QStringLiteral("@media (prefers-color-scheme:dark){:root:not([data-theme=light]){")
        % pageassets::darkVariables()
        % QStringLiteral(
               "}\n:root:not([data-theme=light]) :is(.u,.legend li,.sc){--c:var(--cd)}}\n");
    speakerRules(colors, out);
    out += printStyle();
    if (info.chatExport)
        out += exportStyle();
    if (!info.nav.indexName.isEmpty())
        out += pageNavStyle();
}

// The page runs its own script and style and nothing else: no other script, no style from
// elsewhere, no request at all. Chat text that slipped past the filter could neither run nor
// send anything.
QString securityPolicy(const ModernPageInfo &info, const ReadableColors &colors)
{
    QCryptographicHash style(QCryptographicHash::Sha256);
    styleSheet(info, colors, [&style](QStringView piece) { style.addData(piece.toUtf8()); });
    static const QString script = hashSource(modernassets::script());
    // An export's pictures are shown from the folder beside the page, never from elsewhere.
    return securityPolicyMeta(script, hashSource(style.result()),
                              info.chatExport ? QStringView(u"img-src 'self'") : QStringView());
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
    if (!info.timeZone.isEmpty())
        text += QStringLiteral("・時刻は ") % htmlEscaped(info.timeZone);
    if (hasCalendar(info)) // the days at the page's end (moderncalendar.h)
        text += QStringLiteral("・<a href=\"#cal\">カレンダー</a>");
    if (!info.speakers.isEmpty()) // the charts at the page's end (modernstats.h)
        text += QStringLiteral("・<a href=\"#stats\">統計</a>");
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

ModernPageInfo modernPageInfo(const PageFacts &facts, const Settings &settings)
{
    ModernPageInfo info;
    info.baseName = facts.baseName;
    info.chatName = facts.chatName;
    for (qsizetype k = 0; k < facts.speakers.count(); ++k) {
        const qsizetype lines = facts.speakers.lineCount(k);
        info.speakers.append({facts.speakers.name(k), facts.colors.value(k), lines});
        info.utterances += lines;
    }
    info.firstDate = facts.stamps.firstDate();
    info.lastDate = facts.stamps.lastDate();
    info.bodyColor = colorcode::checkedCode(settings.bodyColor);
    info.narColor = colorcode::checkedCode(settings.narColor);
    if (!facts.indexName.isEmpty())
        info.nav = {facts.indexName, facts.pageName};
    info.chatExport = facts.chatExport;
    info.timeZone = facts.timeZone;
    info.redacted = facts.redacted;
    return info;
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
    page += QStringLiteral(
                "</head>\n<body>\n<header class=\"top\">\n<button type=\"button\" "
                "id=\"theme\" class=\"js-only\" aria-pressed=\"false\">ダークにする</button>"
                "<h1>")
        % heading % QStringLiteral("</h1>\n");
    if (info.redacted)
        page += QStringLiteral("<p class=\"facts\" role=\"note\"><strong>") % RedactedNotice
            % QStringLiteral("</strong></p>\n");
    page += QStringLiteral("<p class=\"facts\">") % facts(info) % QStringLiteral("</p>\n")
        % pageNavHtml(info.nav);
    writeLegend(info, page, sink);
    // The tools stay at the top of the window while the reader scrolls; without the script they
    // are not shown, since nothing would make them work.
    page += QStringLiteral(
                "</header>\n<div class=\"tools\" id=\"tools\" role=\"search\"><div class=\"bar\">"
                "<input type=\"search\" id=\"q\" placeholder=\"発言を検索\" "
                "aria-label=\"発言を検索\" "
                "autocomplete=\"off\" enterkeyhint=\"search\">"
                "<span id=\"found\" aria-live=\"polite\"></span>"
                "<button type=\"button\" class=\"step\" id=\"prev\" aria-label=\"前の一致\" "
                "title=\"前の一致 (Shift+Enter)\">↑</button>"
                "<button type=\"button\" class=\"step\" id=\"next\" aria-label=\"次の一致\" "
                "title=\"次の一致 (Enter)\">↓</button>"
                "<label class=\"opt\"><input type=\"checkbox\" "
                "id=\"hits\">一致した発言だけ表示</label>"
                "<button type=\"button\" id=\"all\">全部を表示</button>"
                "<span id=\"said\" role=\"status\"></span></div></div>\n<script>")
        % modernassets::script() % QStringLiteral("</script>\n<main id=\"log\">\n");
    sink(page);
}

QByteArray modernPageEnd()
{
    return QByteArrayLiteral("</body>\n</html>\n");
}

ModernPageWriter::ModernPageWriter(const PageFacts &facts, const Settings &settings)
    : m_info(modernPageInfo(facts, settings))
    , m_body(facts.tests, facts.speakers, facts.stamps)
{
    m_provenance = facts.provenance;
}

void ModernPageWriter::writeHead(const PageBytes &out)
{
    writeModernHead(m_info, [&out](QStringView piece) { out(piece.toUtf8()); });
}

LineRole ModernPageWriter::writeLine(const QString &line, LineRole role, QStringView ref,
                                     qint64 sourceLine, QByteArray &out)
{
    return m_body.write(line, role, out, ref, sourceLine);
}

void ModernPageWriter::writeEnd(QByteArray &out)
{
    m_body.finish(out);
    out.append("</main>\n");
    writeCalendarSection(m_body.stats(), m_info, out);
    writeStatsSection(m_body.stats(), m_info, out);
    if (m_provenance)
        out.append(provenanceHtml(m_provenance()).toUtf8());
    out.append(modernPageEnd());
}

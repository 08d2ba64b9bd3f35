#include "engine/page/classic/classichead.h"

#include "engine/page/htmltext.h"
#include "engine/page/pagewriter.h"
#include "settings/settings.h"

#include <array>

namespace {

using textcodec::CrLf;

const QString InputStyle = QStringLiteral(
    "input, select{\r\n\tborder-left:1px solid #33b3ff;\r\n\tborder-right:1px solid "
    "#33b3ff;\r\n\tborder-top:1px solid #33b3ff;\r\n\tborder-bottom:1px solid "
    "#33b3ff;\r\n\tfont-size : 13pt;\r\n\tfont-family:ＭＳ ゴシック;}");

// Both functions reach every element carrying the id; a class's font elements all share it.
const QString ColorChangeScript
    = QStringLiteral("function CChange(id,color){\r\n"
                     "\tvar els = document.querySelectorAll('[id=\"' + id + '\"]');\r\n"
                     "\tfor(var i=0; i<els.length; i++){\r\n"
                     "\t\tels[i].style.color = color;\r\n"
                     "\t}\r\n"
                     "}\r\n");

const QString BoldScript
    = QStringLiteral("function CBold(id,chk){\r\n"
                     "\tvar els = document.querySelectorAll('[id=\"' + id + '\"]');\r\n"
                     "\tvar str;\r\n"
                     "\tif (chk){\r\n"
                     "\t\tstr = \"bold\";\r\n"
                     "\t} else {\r\n"
                     "\t\tstr = \"normal\";\r\n"
                     "\t}\r\n"
                     "\tfor(var i=0; i<els.length; i++){\r\n"
                     "\t\tels[i].style.fontWeight = str;\r\n"
                     "\t}\r\n"
                     "}\r\n");

const std::array<const char *, 12> Swatches
    = {"#FFFFFF", "#FFFFCC", "#CCFF66", "#C2FED8", "#CCFFFF", "#E4E1FF",
       "#CCCCFF", "#FFDFFF", "#FFCCCC", "#DFDFDF", "#B90618", "#000000"};

// Collects the head's text and hands it on whenever a good piece has gathered.
class HeadOut
{
public:
    explicit HeadOut(const PageSink &sink)
        : m_sink(sink)
    {
    }
    ~HeadOut() { flush(); }

    template<typename Text> HeadOut &operator+=(const Text &text)
    {
        m_text += text;
        return *this;
    }
    // Called between speakers: the pieces stay small however many speakers there are.
    void pieceDone()
    {
        if (m_text.size() >= PieceChars)
            flush();
    }

private:
    static constexpr qsizetype PieceChars = 32 * 1024;

    void flush()
    {
        if (!m_text.isEmpty())
            m_sink(m_text);
        m_text.resize(0);
    }

    const PageSink &m_sink;
    QString m_text;
};

QString labelCell(const QString &className, const QString &text)
{
    return QStringLiteral("<td><font class=") % className % QStringLiteral(" id=") % className
        % QLatin1Char('>') % text % QStringLiteral("</font></td>");
}

QString legendLabel(const ClassicSpeakers &speakers, qsizetype index)
{
    return speakers.legendLabels.value(index);
}

void appendHead(HeadOut &page, const QString &baseName, const ClassicSpeakers &speakers,
                const ClassicLook &look, bool utf8Page)
{
    page += QStringLiteral("<html>\r\n<head>\r\n");
    if (utf8Page)
        page += Utf8MetaTag % CrLf;
    page += QStringLiteral("<title>") % baseName % QStringLiteral(" : ");
    for (qsizetype k = 0; k < speakers.titleNames.size(); ++k) {
        if (k > 0)
            page += QStringLiteral(" + ");
        page += speakers.titleNames[k];
        page.pieceDone();
    }
    page += QStringLiteral("</title>\r\n<style type=\"text/css\">\r\n<!--\r\n");
    // Without quotes: a browser ignores a quoted colour value.
    page += QStringLiteral(".Bbody{color:") % look.bodyColor % QStringLiteral(";}") % CrLf;
    page += QStringLiteral(".nar{color:") % look.narColor % QStringLiteral(";}") % CrLf;
    for (qsizetype k = 0; k < speakers.speakerClasses.size(); ++k) {
        page += QLatin1Char('.') % speakers.speakerClasses[k] % QStringLiteral("{color:")
            % speakers.speakerColors.value(k);
        if (look.boldMessages)
            page += QStringLiteral("; font-weight:bold");
        page += QStringLiteral(";}") % CrLf;
        page.pieceDone();
    }
    if (look.hasScript())
        page += InputStyle % CrLf;
    page += QStringLiteral("-->\r\n</style>\r\n") % CrLf;
    if (look.hasScript()) {
        page += QStringLiteral("<script language=\"JavaScript\" type=\"text/javascript\">\r\n"
                               "<!--\r\n");
        if (look.jsForeColor)
            page += ColorChangeScript;
        if (look.jsFontBold)
            page += BoldScript;
        page += QStringLiteral("//-->\r\n</script>\r\n");
    }
    page += QStringLiteral("</head>\r\n<body>\r\n<font id=Bbody class=Bbody>") % CrLf;
    page += QStringLiteral("<center><br>") % CrLf;
    if (look.redacted)
        page += QStringLiteral("<b>") % RedactedNotice % QStringLiteral("</b><br><br>") % CrLf;
}

void appendLegend(HeadOut &page, const ClassicSpeakers &speakers, const ClassicLook &look)
{
    const auto line = [&page](const QString &text) {
        page += text % CrLf;
    };
    const QString bbody = QStringLiteral("Bbody");

    line(QStringLiteral("<table border=1 cellspacing=3 cellPadding=3 width=75%>"));
    if (look.jsBgColor) {
        line(QStringLiteral("<tr>"));
        line(labelCell(bbody, legendLabel(speakers, 1)));
        line(QStringLiteral("<td colspan=2>"));
        for (const char *code : Swatches) {
            const QString c = QLatin1String(code);
            line(QStringLiteral("<font color=\"") % c
                 % QStringLiteral("\" onClick=\"document.bgColor = '") % c
                 % QStringLiteral("';\">■</font>"));
        }
        line(QStringLiteral("</td>"));
        if (look.jsFontBold)
            line(QStringLiteral("<td nowrap>太字</td>"));
        line(QStringLiteral("</tr>"));
    }

    line(QStringLiteral("<tr>"));
    line(labelCell(bbody, QStringLiteral(".Bbody")));
    line(labelCell(bbody, legendLabel(speakers, 0)));
    line(QStringLiteral("<td>") % colorPickerHtml(bbody, look.bodyColor, look)
         % QStringLiteral("</td>"));
    if (look.jsFontBold) {
        line(look.jsBgColor ? QStringLiteral("<td align=center>－</td>")
                            : QStringLiteral("<td nowrap>太字</td>"));
    }
    line(QStringLiteral("</tr>"));

    const QString nar = QStringLiteral("nar");
    line(QStringLiteral("<tr>"));
    line(labelCell(bbody, QStringLiteral(".nar")));
    line(labelCell(nar, legendLabel(speakers, 2)));
    line(QStringLiteral("<td>") % colorPickerHtml(nar, look.narColor, look)
         % QStringLiteral("</td>"));
    if (look.jsFontBold)
        line(QStringLiteral("<td align=center>－</td>"));
    line(QStringLiteral("</tr>"));

    for (qsizetype k = 0; k < speakers.speakerClasses.size(); ++k) {
        const QString &c = speakers.speakerClasses[k];
        line(QStringLiteral("<tr>"));
        line(labelCell(bbody, QLatin1Char('.') + c));
        line(labelCell(c, legendLabel(speakers, k + 3)));
        line(QStringLiteral("<td>") % colorPickerHtml(c, speakers.speakerColors.value(k), look)
             % QStringLiteral("</td>"));
        if (look.jsFontBold) {
            line(QStringLiteral("<td align=center valign=center><input type=checkbox "
                                "onClick=CBold('")
                 % c % QStringLiteral("',this.checked)")
                 % (look.boldMessages ? QStringLiteral(" checked") : QString())
                 % QStringLiteral("></td>"));
        }
        line(QStringLiteral("</tr>"));
        page.pieceDone();
    }
    line(QStringLiteral("</table>"));
    line(QStringLiteral("</center>"));
    if (!look.timeZone.isEmpty())
        line(QStringLiteral("<center>時刻は ") % htmlEscaped(look.timeZone)
             % QStringLiteral("</center>"));
    line(QStringLiteral("<br>"));
    page += QStringLiteral("<DL>");
}

QString option(const QString &value, const QString &label, const QString &currentColor)
{
    return QStringLiteral("\t<option value=\"") % value % QStringLiteral("\" style=\"color:")
        % value % QLatin1Char('"')
        % (currentColor == value ? QStringLiteral(" selected") : QString()) % QLatin1Char('>')
        % label % QStringLiteral("</option>\r\n");
}

} // namespace

ClassicLook ClassicLook::fromSettings(const Settings &settings, const Palette &palette)
{
    ClassicLook look;
    look.bodyColor = colorcode::checkedCode(settings.bodyColor);
    look.narColor = colorcode::checkedCode(settings.narColor);
    look.boldMessages = settings.boldMessages == 1;
    look.jsBgColor = settings.jsBgColor == JsWanted;
    look.jsForeColor = settings.jsForeColor == JsWanted;
    look.jsFontBold = settings.jsFontBold == JsWanted;
    look.speakerIds = settings.jsForeColor != JsNotWanted || settings.jsFontBold != JsNotWanted;
    const qsizetype count = qMin<qsizetype>(qMax(settings.colorCount, 0), palette.size());
    for (qsizetype b = 0; b < count; ++b)
        look.paletteCodes.append(colorcode::checkedCode(palette[b].code));
    return look;
}

QStringList makeLegendLabels(const QStringList &names)
{
    return QStringList {QStringLiteral("本文"), QStringLiteral("背景色"),
                        QStringLiteral("ナレーション")}
    + names;
}

void writeClassicHead(const QString &baseName, const ClassicSpeakers &speakers,
                      const ClassicLook &look, const PageSink &sink, bool utf8Page)
{
    HeadOut page(sink);
    appendHead(page, baseName, speakers, look, utf8Page);
    appendLegend(page, speakers, look);
}

QString colorPickerHtml(const QString &className, const QString &currentColor,
                        const ClassicLook &look)
{
    if (!look.jsForeColor) {
        return QStringLiteral("<font color=\"") % currentColor % QStringLiteral("\">")
            % currentColor % QStringLiteral("</font>");
    }
    QString html = QStringLiteral("<select onChange=CChange('") % className
        % QStringLiteral("',this.value)>\r\n");
    html += option(look.bodyColor, QStringLiteral("&nbsp;本文&nbsp;"), currentColor);
    html += option(look.narColor, QStringLiteral("&nbsp;ナレーション&nbsp;"), currentColor);
    for (const QString &code : look.paletteCodes)
        html += option(code, QStringLiteral("&nbsp;") % code % QStringLiteral("&nbsp;"),
                       currentColor);
    html += QStringLiteral("</select><br>\r\n");
    return html;
}

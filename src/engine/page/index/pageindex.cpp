#include "engine/page/index/pageindex.h"

#include "engine/page/chatstats.h"
#include "engine/page/htmltext.h"
#include "engine/page/index/indexassets.h"
#include "fileio/filename.h"

#include <QCollator>
#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

namespace {

// The mark by which an index page is known as one this program wrote.
const QByteArray IndexMark
    = QByteArrayLiteral("<meta name=\"generator\" content=\"Pelorin index\">");
// Where the index's term files are (termindex.h), on a line of its own.
const QString TermsMeta = QStringLiteral("<meta name=\"pelorin-terms\" content=\"");
const QString SpeakerSeparator = QStringLiteral("、");

QString unescaped(QString text)
{
    return text.replace(QStringLiteral("&#10;"), QStringLiteral("\n"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

QString unlinked(QStringView link)
{
    return fileio::decodeName(QByteArray::fromPercentEncoding(link.toLatin1()));
}

QString dates(const IndexEntry &e)
{
    if (e.fileDate) // not the log's own: said as what it is
        return htmlEscaped(e.firstDate) % QStringLiteral(" (ファイルの日時)");
    if (e.firstDate.isEmpty() || e.lastDate == e.firstDate)
        return htmlEscaped(e.firstDate);
    return htmlEscaped(e.firstDate) % QStringLiteral(" ～ ") % htmlEscaped(e.lastDate);
}

// The index runs its own script and style, and the search data scripts of its folder (a
// file's own origin is "self"); nothing else is fetched, nothing sent.
QString securityPolicy()
{
    static const QString policy = securityPolicyMeta(
        QString(hashSource(indexassets::indexScript()) + QStringLiteral(" 'self'")),
        hashSource(indexassets::indexStyle()));
    return policy;
}

// "2024/01 12 0 5": the first month and the counts from it on; empty without them.
QString monthsAttribute(const IndexEntry &e)
{
    if (e.firstMonth < 0 || e.months.isEmpty())
        return QString();
    QString text = ChatStats::monthText(e.firstMonth);
    for (const qint32 count : e.months)
        text += u' ' + QString::number(count);
    return text;
}

void readMonths(QStringView value, IndexEntry &e)
{
    const QList<QStringView> parts = value.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() < 2 || parts[0].size() != 7 || parts[0][4] != u'/')
        return;
    bool yearOk = false, monthOk = false;
    const int year = parts[0].first(4).toInt(&yearOk);
    const int month = parts[0].sliced(5).toInt(&monthOk);
    if (!yearOk || !monthOk || month < 1 || month > 12)
        return;
    QList<qint32> months;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        bool ok = false;
        const int count = parts[i].toInt(&ok);
        if (!ok || count < 0)
            return;
        months.append(count);
    }
    e.firstMonth = year * 12 + month - 1;
    e.months = months;
}

// "2 0 15": each month's first day with utterances; empty where the page has no day anchors.
QString daysAttribute(const IndexEntry &e)
{
    if (!e.anchors || e.firstDays.size() != e.months.size() || e.months.isEmpty())
        return QString();
    QString text;
    for (const qint32 day : e.firstDays)
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + QString::number(day);
    return text;
}

void readDays(QStringView value, IndexEntry &e)
{
    QList<qint32> days;
    for (const QStringView part : value.split(u' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int day = part.toInt(&ok);
        if (!ok || day < 0 || day > 31)
            return;
        days.append(day);
    }
    e.firstDays = days;
}

// The utterances per month as a small line, its figures in its title.
QString sparkline(const IndexEntry &e)
{
    if (e.firstMonth < 0 || e.months.isEmpty())
        return QString();
    const qsizetype n = e.months.size();
    const qint32 most = std::max(1, *std::max_element(e.months.cbegin(), e.months.cend()));
    const qsizetype busiest
        = std::max_element(e.months.cbegin(), e.months.cend()) - e.months.cbegin();
    QString points;
    const auto point = [&](double x, qint32 count) {
        if (!points.isEmpty())
            points += u' ';
        points += QString::number(qRound(x * 10) / 10.0) % u','
            % QString::number(qRound((19.0 - 18.0 * count / most) * 10) / 10.0);
    };
    if (n == 1) { // one month: a level line
        point(0, e.months[0]);
        point(100, e.months[0]);
    }
    for (qsizetype i = 0; n > 1 && i < n; ++i)
        point(100.0 * double(i) / double(n - 1), e.months[i]);
    const QString busiestMonth = ChatStats::monthText(e.firstMonth + int(busiest))
        % QStringLiteral(" の ") % QString::number(most) % QStringLiteral(" 件");
    QString title = QStringLiteral("月ごとの発言数: ");
    if (n > 1)
        title += ChatStats::monthText(e.firstMonth) % QStringLiteral(" ～ ")
            % ChatStats::monthText(e.firstMonth + int(n) - 1) % QStringLiteral("、最も多いのは ");
    title += busiestMonth;
    return QStringLiteral("<svg class=\"spark\" viewBox=\"0 0 100 20\" "
                          "preserveAspectRatio=\"none\" role=\"img\"><title>")
        % title % QStringLiteral("</title><polyline points=\"") % points
        % QStringLiteral("\"/></svg>");
}

QString row(const IndexEntry &e)
{
    const QString months = monthsAttribute(e);
    const QString days = months.isEmpty() ? QString() : daysAttribute(e);
    const QString page = pageLink(e.page);
    const QString title
        = e.chatName.isEmpty() ? htmlEscaped(fileio::printable(e.log)) : htmlEscaped(e.chatName);
    // Names are written as the pages write them: text whose entities the browser reads.
    return QStringLiteral("<tr data-page=\"") % page % QStringLiteral("\" data-log=\"")
        % pageLink(e.log) % QStringLiteral("\" data-chat=\"") % htmlEscaped(e.chatName)
        % QStringLiteral("\" data-speakers=\"")
        % htmlEscaped(e.speakers.join(QLatin1Char('\n'))).replace(u'\n', QStringLiteral("&#10;"))
        % QStringLiteral("\" data-utterances=\"") % QString::number(e.utterances)
        % QStringLiteral("\" data-first=\"") % htmlEscaped(e.firstDate)
        % QStringLiteral("\" data-last=\"") % htmlEscaped(e.lastDate)
        % (e.fileDate ? QStringLiteral("\" data-filedate=\"1") : QString())
        % QStringLiteral("\" data-anchors=\"") % (e.anchors ? u'1' : u'0')
        % QStringLiteral("\" data-search=\"") % (e.searchData ? u'1' : u'0')
        % (months.isEmpty() ? QString() : QStringLiteral("\" data-months=\"") % months)
        % (days.isEmpty() ? QString() : QStringLiteral("\" data-days=\"") % days)
        % QStringLiteral("\"><td class=\"chat\"><a href=\"") % page % QStringLiteral("\">") % title
        % QStringLiteral("</a>")
        % (e.chatName.isEmpty() ? QString()
                                : QStringLiteral("<span class=\"log\">")
                   % htmlEscaped(fileio::printable(e.log)) % QStringLiteral("</span>"))
        // The index's search passes over a page without its data: the row says so.
        % (e.searchData ? QString()
                        : QStringLiteral("<span class=\"log\">（検索できません）</span>"))
        % QStringLiteral("</td><td class=\"who\">") % e.speakers.join(SpeakerSeparator)
        % QStringLiteral("</td><td class=\"num\">") % QString::number(e.utterances)
        % QStringLiteral("</td><td class=\"date\">") % dates(e)
        % QStringLiteral("</td><td class=\"trend\">") % sparkline(e)
        % QStringLiteral("</td></tr>\n");
}

} // namespace

QString indexFileName(const QString &prefix)
{
    return prefix + QStringLiteral("index.htm");
}

QString pageLink(const QString &fileName)
{
    return QString::fromLatin1(fileio::encodeName(fileName).toPercentEncoding());
}

QString searchDataName(const QString &page)
{
    return page + QStringLiteral(".js");
}

QString dateInName(const QString &logName)
{
    // Eight digits, or four, two and two with one separator, and no digit around them.
    static const QRegularExpression date(
        QStringLiteral("(?<!\\d)(\\d{4})([-_.]?)(\\d{2})\\2(\\d{2})(?!\\d)"));
    for (auto it = date.globalMatch(logName); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QDate day(m.capturedView(1).toInt(), m.capturedView(3).toInt(),
                        m.capturedView(4).toInt());
        if (day.isValid())
            return day.toString(u"yyyy/MM/dd");
    }
    return QString();
}

void sortNewestFirst(QList<IndexEntry> &entries)
{
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setNumericMode(true);
    std::sort(entries.begin(), entries.end(),
              [&collator](const IndexEntry &a, const IndexEntry &b) {
                  if (a.lastDate.isEmpty() != b.lastDate.isEmpty())
                      return b.lastDate.isEmpty();
                  if (a.lastDate != b.lastDate)
                      return a.lastDate > b.lastDate;
                  if (a.firstDate != b.firstDate)
                      return a.firstDate > b.firstDate;
                  const int c = collator.compare(a.log, b.log);
                  return c != 0 ? c > 0 : a.page > b.page;
              });
}

bool isIndexHead(QByteArrayView head)
{
    return head.startsWith("<!DOCTYPE html>") && QByteArrayView(head).indexOf(IndexMark) >= 0;
}

QByteArray indexPage(const QString &folderName, const QList<IndexEntry> &entries,
                     const QString &termFiles)
{
    QString page = QStringLiteral(
                       "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<meta name=\"color-scheme\" content=\"light dark\">\n")
        % QString::fromLatin1(IndexMark) % u'\n'
        % (termFiles.isEmpty() ? QString() : TermsMeta % htmlEscaped(termFiles) % u"\">\n")
        % securityPolicy() % QStringLiteral("<title>") % htmlEscaped(folderName)
        % QStringLiteral(" : 一覧</title>\n<style>") % indexassets::indexStyle()
        % QStringLiteral("</style>\n</head>\n<body>\n<header class=\"top\">\n<h1>")
        % htmlEscaped(folderName)
        % QStringLiteral("</h1>\n<p class=\"facts\">ページ %1 件（新しい順）</p>\n")
              .arg(entries.size())
        % QStringLiteral(
                       "<div class=\"tools\" role=\"search\"><input type=\"search\" id=\"q\" "
                       "placeholder=\"すべてのページを検索\" aria-label=\"すべてのページを検索\" "
                       "autocomplete=\"off\"><button type=\"button\" id=\"theme\" "
                       "aria-pressed=\"false\">ダークにする</button></div>\n"
                       "<p id=\"status\" aria-live=\"polite\"></p>\n<ol id=\"hits\" hidden></ol>\n"
                       "</header>\n<main>\n<table>\n<thead><tr><th>チャット</th><th>発言者</th>"
                       "<th class=\"num\">発言</th><th>日付</th>"
                       "<th>月ごとの発言</th></tr></thead>\n<tbody>\n");
    for (const IndexEntry &e : entries)
        page += row(e);
    page += QStringLiteral("</tbody>\n</table>\n</main>\n<script>") % indexassets::indexScript()
        % QStringLiteral("</script>\n</body>\n</html>\n");
    return page.toUtf8();
}

QString readTermsMeta(QStringView line)
{
    if (!line.startsWith(TermsMeta))
        return QString();
    const QStringView rest = line.sliced(TermsMeta.size());
    const qsizetype end = rest.indexOf(u'"');
    return end < 0 ? QString() : unescaped(rest.first(end).toString());
}

bool readIndexRow(QStringView line, IndexEntry &e)
{
    if (!line.startsWith(u"<tr data-page=\"") || !line.contains(u'>'))
        return false;
    static const QRegularExpression attribute(QStringLiteral(" data-([a-z]+)=\"([^\"]*)\""));
    const QString tag = line.left(line.indexOf(u'>')).toString();
    bool counted = false;
    e = IndexEntry();
    for (auto it = attribute.globalMatch(tag); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QStringView name = m.capturedView(1);
        const QStringView value = m.capturedView(2);
        if (name == u"page")
            e.page = unlinked(value);
        else if (name == u"log")
            e.log = unlinked(value);
        else if (name == u"chat")
            e.chatName = unescaped(value.toString());
        else if (name == u"speakers" && !value.isEmpty())
            e.speakers
                = unescaped(value.toString()).replace(u'<', QStringLiteral("&lt;")).split(u'\n');
        else if (name == u"utterances")
            e.utterances = value.toLongLong(&counted);
        else if (name == u"first")
            e.firstDate = unescaped(value.toString());
        else if (name == u"last")
            e.lastDate = unescaped(value.toString());
        else if (name == u"filedate")
            e.fileDate = value == u"1";
        else if (name == u"anchors")
            e.anchors = value == u"1";
        else if (name == u"search")
            e.searchData = value == u"1";
        else if (name == u"months")
            readMonths(value, e);
        else if (name == u"days")
            readDays(value, e);
    }
    if (e.firstDays.size() != e.months.size())
        e.firstDays.clear(); // not this row's months: the timeline links to the pages alone
    return counted && !e.page.isEmpty() && !e.page.contains(u'/');
}

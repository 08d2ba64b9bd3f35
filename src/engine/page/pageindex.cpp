#include "engine/page/pageindex.h"

#include "engine/page/htmltext.h"
#include "fileio/atomicfile.h"
#include "fileio/filename.h"
#include "fileio/inputfile.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

namespace {

// The mark by which an index page is known as one this program wrote.
const QByteArray IndexMark
    = QByteArrayLiteral("<meta name=\"generator\" content=\"Pelorin index\">");
const QString SpeakerSeparator = QStringLiteral("、");

QString unescaped(QString text)
{
    return text.replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

// A file name as a relative link: every byte but the unreserved ones percent-encoded, so any
// name (also one that is not UTF-8) reaches its file.
QString linkTo(const QString &fileName)
{
    return QString::fromLatin1(fileio::encodeName(fileName).toPercentEncoding());
}

QString dates(const IndexEntry &e)
{
    if (e.firstDate.isEmpty() || e.lastDate == e.firstDate)
        return htmlEscaped(e.firstDate);
    return htmlEscaped(e.firstDate) % QStringLiteral(" ～ ") % htmlEscaped(e.lastDate);
}

QByteArray indexPage(const QString &folderName, const QList<IndexEntry> &entries)
{
    QString page = QStringLiteral(
                       "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<meta name=\"color-scheme\" content=\"light dark\">\n")
        % QString::fromLatin1(IndexMark) % QStringLiteral("\n<title>") % htmlEscaped(folderName)
        % QStringLiteral(" : 一覧</title>\n<style>\n"
                         ":root{color-scheme:light dark}\n"
                         "body{margin:0 auto;max-width:60rem;padding:1rem;font:16px/1.6 "
                         "system-ui,\"Noto Sans CJK JP\",sans-serif}\n"
                         "table{border-collapse:collapse;width:100%}\n"
                         "th,td{text-align:left;vertical-align:top;padding:.4rem .5rem;"
                         "border-bottom:1px solid #8888;overflow-wrap:anywhere}\n"
                         ".num{text-align:right}\n"
                         "@media (max-width:40rem){thead{display:none}tr,td{display:block}"
                         "td{border:0;padding:.1rem 0}tr{padding:.5rem 0;border-bottom:1px solid "
                         "#8888}td.num{text-align:left}td.num::after{content:\" 件\"}}\n"
                         "</style>\n</head>\n<body>\n<h1>")
        % htmlEscaped(folderName)
        % QStringLiteral(
              "</h1>\n<p>ページ %1 件</p>\n<table>\n<thead><tr><th>ログ</th><th>発言者</th>"
              "<th class=\"num\">発言</th><th>日付</th></tr></thead>\n<tbody>\n")
              .arg(entries.size());
    for (const IndexEntry &e : entries) {
        // Names are written as the pages write them: text whose entities the browser reads.
        const QString speakers = e.speakers.join(SpeakerSeparator);
        // File names percent-encoded, byte for byte: a later run finds every page again.
        page += QStringLiteral("<tr data-page=\"") % linkTo(e.page)
            % QStringLiteral("\" data-log=\"") % linkTo(e.log)
            % QStringLiteral("\" data-speakers=\"")
            % htmlEscaped(e.speakers.join(QLatin1Char('\n')))
            % QStringLiteral("\" data-utterances=\"") % QString::number(e.utterances)
            % QStringLiteral("\" data-first=\"") % htmlEscaped(e.firstDate)
            % QStringLiteral("\" data-last=\"") % htmlEscaped(e.lastDate)
            % QStringLiteral("\"><td><a href=\"") % linkTo(e.page) % QStringLiteral("\">")
            % htmlEscaped(fileio::printable(e.log)) % QStringLiteral("</a></td><td>") % speakers
            % QStringLiteral("</td><td class=\"num\">") % QString::number(e.utterances)
            % QStringLiteral("</td><td>") % dates(e) % QStringLiteral("</td></tr>\n");
    }
    page += QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n");
    return page.toUtf8();
}

} // namespace

QString indexFileName(const QString &prefix)
{
    return prefix + QStringLiteral("index.htm");
}

QList<IndexEntry> readIndexEntries(const QByteArray &page)
{
    QList<IndexEntry> entries;
    if (!page.contains(IndexMark))
        return entries;
    static const QRegularExpression row(QStringLiteral(
        "<tr data-page=\"([^\"]*)\" data-log=\"([^\"]*)\" data-speakers=\"([^\"]*)\" "
        "data-utterances=\"(\\d+)\" data-first=\"([^\"]*)\" data-last=\"([^\"]*)\">"));
    const QString text = QString::fromUtf8(page);
    for (auto it = row.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        IndexEntry e;
        e.page = fileio::decodeName(QByteArray::fromPercentEncoding(m.captured(1).toLatin1()));
        e.log = fileio::decodeName(QByteArray::fromPercentEncoding(m.captured(2).toLatin1()));
        const QString speakers = m.captured(3);
        if (!speakers.isEmpty())
            e.speakers = unescaped(speakers).replace(u'<', QStringLiteral("&lt;")).split(u'\n');
        e.utterances = m.captured(4).toLongLong();
        e.firstDate = unescaped(m.captured(5));
        e.lastDate = unescaped(m.captured(6));
        if (!e.page.isEmpty() && !e.page.contains(u'/'))
            entries.append(e);
    }
    return entries;
}

bool writePageIndex(const QString &folder, const QString &prefix, const QList<IndexEntry> &entries,
                    QString *error)
{
    const QString name = indexFileName(prefix);
    const QString path = folder + u'/' + name;
    const auto fail = [error](const char *reason) {
        if (error)
            *error = QString::fromUtf8(reason);
        return false;
    };
    for (const IndexEntry &e : entries) {
        if (e.page == name)
            return fail(QT_TRANSLATE_NOOP("FileError", "a page of this run has the index's name"));
    }

    // Rows of earlier runs stay while their pages are there; this run's rows replace them.
    QHash<QString, IndexEntry> rows;
    if (fileio::exists(path)) {
        QByteArray old;
        if (fileio::readWholeFile(path, old) != fileio::ReadOpen::Ok)
            return fail(QT_TRANSLATE_NOOP("FileError", "the index there could not be read"));
        if (!old.contains(IndexMark))
            return fail(QT_TRANSLATE_NOOP("FileError", "the name is taken by another file"));
        for (const IndexEntry &e : readIndexEntries(old)) {
            if (fileio::fileId(folder + u'/' + e.page))
                rows.insert(e.page, e);
        }
    }
    for (const IndexEntry &e : entries)
        rows.insert(e.page, e);

    QList<IndexEntry> sorted = rows.values();
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setNumericMode(true);
    std::sort(sorted.begin(), sorted.end(), [&collator](const IndexEntry &a, const IndexEntry &b) {
        const int c = collator.compare(a.log, b.log);
        return c != 0 ? c < 0 : a.page < b.page;
    });
    // The title names the folder itself, also when the logs were given as "chat.txt" or "./".
    const QString absolute = QDir::cleanPath(fileio::absolutePath(folder));
    QString folderName = absolute.mid(absolute.lastIndexOf(u'/') + 1);
    if (folderName.isEmpty())
        folderName = absolute;
    return fileio::writeFileAtomically(path, indexPage(fileio::printable(folderName), sorted),
                                       error);
}

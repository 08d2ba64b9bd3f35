// The modern page made from random chat lines, read the way a browser's tokenizer reads it: every
// element of the page is one the page writes or chat markup lets through, no attribute is an
// event handler ("on…"), the only script that runs is the page's own, and links go to http,
// https or the page's own anchors.
//
// Input: a control byte (bits 0-1: a text log, an XML history or a LINE export), then lines.
// A line starting with "@" names the next speaker; an XML history takes the next two lines as the
// message's date and time, a LINE export the next one as its time.
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/page/modern/modernassets.h"
#include "support/recordinghost.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, QStringView context = {})
{
    if (ok)
        return;
    std::fprintf(stderr, "at: %s\n", qPrintable(context.left(200).toString()));
    std::abort();
}

struct Fixture
{
    QTemporaryDir dir;
    Fixture() { check(dir.isValid()); }
};

Fixture &fixture()
{
    static int argc = 1;
    static char name[] = "fuzz_modernpage";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Fixture f;
    return f;
}

QString xmlEscaped(QString text)
{
    // Characters XML 1.0 does not allow are left out: the history is to be read, not refused.
    text.removeIf([](QChar c) { return c < u' ' && c != u'\t'; });
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'"', QStringLiteral("&quot;"));
}

// The log of one of three kinds from the input's lines.
QByteArray makeLog(int kind, const QStringList &lines)
{
    QString log;
    QString speaker = QStringLiteral("A");
    if (kind == 1)
        log = QStringLiteral("<?xml version=\"1.0\"?>\n<Log>");
    else if (kind == 2)
        log = QStringLiteral("[LINE] chat\n2024/01/15(月)\n");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(u'@')) {
            speaker = line.mid(1);
            continue;
        }
        if (kind == 0) {
            log += speaker + QStringLiteral(" の発言 :\r\n") + line + QStringLiteral("\r\n");
        } else if (kind == 1) {
            const QString date = lines.value(i + 1), time = lines.value(i + 2);
            log += QStringLiteral(
                       "<Message Date=\"%1\" Time=\"%2\"><From><User FriendlyName=\"%3\"/>"
                       "</From><Text>%4</Text></Message>")
                       .arg(xmlEscaped(date), xmlEscaped(time), xmlEscaped(speaker),
                            xmlEscaped(line));
            i += 2;
        } else {
            QString name = speaker, text = line;
            name.remove(u'\t');
            text.replace(u'\t', u' ');
            log += lines.value(i + 1).left(5) + u'\t' + name + u'\t' + text + u'\n';
            i += 1;
        }
    }
    if (kind == 1)
        log += QStringLiteral("</Log>\n");
    return log.toUtf8();
}

struct Tag
{
    QString name; // lower case
    bool end = false;
    QList<std::pair<QString, QString>> attributes; // names lower case, values as written
};

const QSet<QString> &allowedElements()
{
    static const QSet<QString> names = {
        // the page's own
        "html", "head", "meta", "title", "style", "body", "header", "button", "h1", "p", "ul", "li",
        "span", "div", "input", "label", "script", "main", "section", "template", "h2", "a", "time",
        // the calendar and the statistics after the utterances
        "h3", "table", "thead", "tbody", "tr", "th", "td", "svg", "g", "rect", "line", "text",
        "details", "summary", "dl", "dt", "dd",
        // where the page came from, at its end
        "footer", "code",
        // chat markup
        "b", "i", "u", "s", "strike", "em", "strong", "big", "small", "sub", "sup", "tt", "br",
        "font"};
    return names;
}

// Reads the page as a browser's tokenizer does and checks each tag; the text of script, style
// and title elements is read as their end tag ends it.
void checkPage(const QString &page)
{
    const qsizetype n = page.size();
    const auto letter = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    const auto space = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
    };
    check(page.startsWith(QStringLiteral("<!DOCTYPE html>")));
    int scripts = 0, styles = 0;
    for (qsizetype i = 15; i < n; ++i) {
        if (page[i] != u'<')
            continue;
        const qsizetype start = i;
        qsizetype k = i + 1;
        check(k < n && page[k] != u'!' && page[k] != u'?', page.mid(start));
        Tag tag;
        tag.end = k < n && page[k] == u'/';
        if (tag.end)
            ++k;
        if (k >= n || !letter(page[k])) {
            check(!tag.end, page.mid(start));
            continue; // a "<" that is text
        }
        const qsizetype nameStart = k;
        while (k < n && !space(page[k]) && page[k] != u'/' && page[k] != u'>')
            ++k;
        tag.name = page.sliced(nameStart, k - nameStart).toLower();
        while (k < n && page[k] != u'>') {
            if (space(page[k]) || page[k] == u'/') {
                ++k;
                continue;
            }
            const qsizetype a = k++;
            while (k < n && !space(page[k]) && page[k] != u'/' && page[k] != u'>'
                   && page[k] != u'=')
                ++k;
            QString name = page.sliced(a, k - a).toLower(), value;
            while (k < n && space(page[k]))
                ++k;
            if (k < n && page[k] == u'=') {
                ++k;
                while (k < n && space(page[k]))
                    ++k;
                qsizetype v = k;
                if (k < n && (page[k] == u'"' || page[k] == u'\'')) {
                    const QChar quote = page[k++];
                    v = k;
                    while (k < n && page[k] != quote)
                        ++k;
                    value = page.sliced(v, k - v);
                    ++k;
                } else {
                    while (k < n && !space(page[k]) && page[k] != u'>')
                        ++k;
                    value = page.sliced(v, k - v);
                }
            }
            tag.attributes.append({name, value});
        }
        check(k < n, page.mid(start));
        const QString whole = page.sliced(start, k + 1 - start);
        check(allowedElements().contains(tag.name), whole);
        for (const auto &[name, value] : std::as_const(tag.attributes)) {
            check(!name.startsWith(u"on"), whole);
            if (name == u"href")
                check(value.startsWith(u"http://", Qt::CaseInsensitive)
                          || value.startsWith(u"https://", Qt::CaseInsensitive)
                          || value.startsWith(u"#u") || value.startsWith(u"#d") || value == u"#cal"
                          || value == u"#stats",
                      whole);
        }
        i = k;
        if (tag.end)
            continue;
        // Raw text: up to the element's end tag.
        if (tag.name == u"script" || tag.name == u"style" || tag.name == u"title") {
            const qsizetype close
                = page.indexOf(QStringLiteral("</") + tag.name, i + 1, Qt::CaseInsensitive);
            check(close > i, whole);
            const QStringView text = QStringView(page).sliced(i + 1, close - i - 1);
            if (tag.name == u"script") {
                // The page's own script, then the empty ones that end chapters.
                check(scripts == 0 ? text == modernassets::script() : text.isEmpty(), whole);
                ++scripts;
            } else if (tag.name == u"style") {
                ++styles;
            } else {
                check(!text.contains(u'<'), text);
            }
            i = close - 1;
        }
    }
    check(scripts >= 1 && styles == 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    Fixture &f = fixture();
    const int kind = data[0] % 3;
    const QString input
        = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QByteArray log = makeLog(kind, input.split(u'\n'));
    const QString logPath
        = f.dir.filePath(kind == 1 ? QStringLiteral("log.xml") : QStringLiteral("log.txt"));
    const QString pagePath = f.dir.filePath(QStringLiteral("_log.htm"));
    QFile::remove(pagePath);
    {
        QFile out(logPath);
        check(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(out.write(log) == log.size());
    }
    AppState state;
    state.settings.iniPath = f.dir.filePath(QStringLiteral("missing.ini"));
    state.settings.headerText = QStringLiteral(" の発言 :");
    state.settings.changeType = 1;
    state.settings.pageStyle = pageStyleWord(PageStyle::Modern);
    state.palette = colorcode::defaultPalette();
    state.settings.colorCount = int(state.palette.size());
    state.selection.setItems({{logPath, f.dir.filePath(QStringLiteral("_log."))}});
    RecordingHost host;
    convertToHtml(state, host);
    QFile page(pagePath);
    if (!page.open(QIODevice::ReadOnly))
        return 0; // no speakers: nothing written
    const QByteArray bytes = page.readAll();
    const QString text = QString::fromUtf8(bytes);
    check(text.toUtf8() == bytes, QStringLiteral("not UTF-8"));
    checkPage(text);
    return 0;
}

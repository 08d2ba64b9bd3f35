// The conversion run on arbitrary log bytes, through the engine as the window drives it.
// The text output keeps every line, adding at most one TAB in front; the HTML page lets no tag
// of the log through that is outside the chat markup set; the log itself is never changed.
//
// The modern page lets no tag through either, and links only to http and https addresses and
// its own anchors.
//
// Input: a control byte (output kind, header choice, name colouring, scripts, XML history,
// modern page, an encoding asked for: the log's length then picks which), then the log. With
// the custom header chosen, the log's first line (up to 12 characters) is the header text.
#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/run.h"
#include "engine/intake.h"
#include "engine/read/logreader.h"
#include "htmlcheck.h"
#include "support/recordinghost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const QString &context = QString())
{
    if (ok)
        return;
    if (!context.isEmpty())
        std::fprintf(stderr, "at: %s\n", qPrintable(context));
    std::abort();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The lines of decoded text split at `end`, a last line without one kept.
QStringList logLines(const QString &text, const QString &end)
{
    QStringList lines = text.split(end);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString decoded(QByteArrayView bytes, textcodec::Encoding encoding)
{
    QString text;
    textcodec::Decoder(encoding).decode(bytes, text, true);
    return text;
}

// Whether bytes come back unchanged through decoding and encoding.
bool lossless(QByteArrayView bytes, textcodec::Encoding encoding)
{
    QByteArray again;
    textcodec::encodeAppend(decoded(bytes, encoding), encoding, again);
    return again == bytes;
}

struct Fixture
{
    QTemporaryDir dir;
    QString logPath, xmlPath, textPath, htmlPath;
    AppState defaults;

    Fixture()
    {
        check(dir.isValid());
        logPath = dir.filePath(QStringLiteral("log.txt"));
        xmlPath = dir.filePath(QStringLiteral("log.xml"));
        textPath = dir.filePath(QStringLiteral("_log.txt"));
        htmlPath = dir.filePath(QStringLiteral("_log.htm"));
        defaults.settings.iniPath = dir.filePath(QStringLiteral("missing.ini"));
        loadSettings(defaults.settings, defaults.palette); // the defaults: no file is there
    }
};

Fixture &fixture()
{
    static int argc = 1;
    static char name[] = "fuzz_convert";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Fixture f;
    return f;
}

bool allowedPageTag(const htmlcheck::Tag &tag, bool scripts)
{
    if (htmlcheck::isChatTag(tag))
        return true;
    static const QStringList own
        = {QStringLiteral("body"),   QStringLiteral("html"),  QStringLiteral("font"),
           QStringLiteral("center"), QStringLiteral("table"), QStringLiteral("tr"),
           QStringLiteral("td"),     QStringLiteral("dl"),    QStringLiteral("dt"),
           QStringLiteral("dd"),     QStringLiteral("br"),    QStringLiteral("select"),
           QStringLiteral("option"), QStringLiteral("input")};
    if (!own.contains(tag.name))
        return false;
    for (const QString &a : tag.attributes) {
        if (a.startsWith(u"on")
            && !(scripts && (tag.name == u"select" || tag.name == u"input" || tag.name == u"font")))
            return false;
    }
    return true;
}

// The text output is the log with a TAB put in front of some lines, in the log's encoding, mark
// and line ends (a LINE export's converted lines are checked by fuzz_logformat).
void checkText(const Fixture &f, const QByteArray &log, const LogFormat &format, bool written)
{
    if (!written) {
        check(!QFile::exists(f.textPath));
        return;
    }
    const QByteArray out = readAll(f.textPath);
    if (format.lineExport())
        return;
    const textcodec::Detection &d = format.detection;
    const QByteArrayView mark = QByteArrayView(log).first(d.bomBytes);
    check(out.startsWith(mark));
    const QByteArrayView logBody = QByteArrayView(log).sliced(d.bomBytes);
    const QByteArrayView outBody = QByteArrayView(out).sliced(d.bomBytes);
    const QString end = !d.hasLineEnd || d.lineEnd == textcodec::LineEnd::CrLf
        ? QStringLiteral("\r\n")
        : d.lineEnd == textcodec::LineEnd::Lf ? QStringLiteral("\n")
                                              : QStringLiteral("\r");
    const QStringList in = logLines(decoded(logBody, d.encoding), end);
    const QString outText = decoded(outBody, d.encoding);
    check(outText.endsWith(end) || in.isEmpty());
    const QStringList lines = logLines(outText, end);
    check(lines.size() == in.size());
    for (qsizetype i = 0; i < in.size(); ++i)
        check(lines[i] == in[i] || lines[i] == u'\t' + in[i]);
    // Code page 932 keeps text (a character with two byte pairs comes back as one of them);
    // the other encodings keep every byte.
    if (d.encoding != textcodec::Encoding::ShiftJis)
        check(lossless(logBody, d.encoding) && lossless(outBody, d.encoding));
}

void checkPage(const Fixture &f, bool written, bool scripts, bool utf8)
{
    if (!written) {
        check(!QFile::exists(f.htmlPath));
        return;
    }
    const QByteArray bytes = readAll(f.htmlPath);
    const QString page = utf8 ? QString::fromUtf8(bytes) : cp932::decode(bytes);
    check(utf8 == bytes.startsWith("<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"));
    const qsizetype body = page.indexOf(QStringLiteral("<body>"));
    check(body > 0);
    // The legend's own controls may carry handlers; the log's lines below it never do.
    const qsizetype lines = page.indexOf(QStringLiteral("<DL>"), body);
    check(lines > body);
    qsizetype at = 0;
    check(htmlcheck::onlyAllowedTags(
              QStringView(page).sliced(body, lines - body),
              [scripts](const auto &t) { return allowedPageTag(t, scripts); }, &at),
          page.mid(body + at, 120));
    check(htmlcheck::onlyAllowedTags(
              QStringView(page).sliced(lines),
              [](const auto &t) { return allowedPageTag(t, false); }, &at),
          page.mid(lines + at, 120));
    const qsizetype title = page.indexOf(QStringLiteral("<title>")) + 7;
    const qsizetype titleEnd = page.indexOf(QStringLiteral("</title>"), title);
    check(title >= 7 && titleEnd >= title);
    check(htmlcheck::onlyAllowedTags(QStringView(page).sliced(title, titleEnd - title),
                                     htmlcheck::isChatTag));
    check(page.count(QStringLiteral("<script"), Qt::CaseInsensitive) == (scripts ? 1 : 0));
}

bool allowedModernTag(const htmlcheck::Tag &tag)
{
    if (htmlcheck::isChatTag(tag))
        return true;
    // The page's own: blocks, day headings, the words of the app, the list of a section's
    // blocks at its end.
    static const QStringList own
        = {QStringLiteral("section"), QStringLiteral("div"),     QStringLiteral("p"),
           QStringLiteral("time"),    QStringLiteral("a"),       QStringLiteral("h2"),
           QStringLiteral("span"),    QStringLiteral("template")};
    if (!own.contains(tag.name))
        return false;
    for (const QString &a : tag.attributes) {
        if (a != u"class" && a != u"id" && a != u"href" && a != u"rel" && a != u"data-w"
            && a != u"title")
            return false;
    }
    return true;
}

// The calendar, the statistics and where the page came from, after the utterances: the
// program's own tables, charts and links to the page's days and utterances, names as text.
bool allowedStatsTag(const htmlcheck::Tag &tag)
{
    static const QStringList own
        = {"section", "h2",  "h3",  "table", "thead", "tbody", "tr",     "th",      "td",
           "span",    "div", "svg", "rect",  "line",  "text",  "title",  "details", "summary",
           "dl",      "dt",  "dd",  "a",     "p",     "g",     "footer", "code"};
    static const QStringList attributes = {"class",       "id",        "href",
                                           "scope",       "role",      "aria-labelledby",
                                           "aria-hidden", "viewbox",   "preserveaspectratio",
                                           "width",       "height",    "x",
                                           "y",           "x1",        "y1",
                                           "x2",          "y2",        "title",
                                           "open",        "data-name", "data-size",
                                           "data-sha256"};
    if (!own.contains(tag.name))
        return false;
    for (const QString &a : tag.attributes) {
        if (!attributes.contains(a))
            return false;
    }
    return true;
}

void checkModernPage(const Fixture &f, bool written)
{
    if (!written) {
        check(!QFile::exists(f.htmlPath));
        return;
    }
    const QByteArray bytes = readAll(f.htmlPath);
    const QString page = QString::fromUtf8(bytes);
    check(page.toUtf8() == bytes); // valid UTF-8 throughout
    check(page.startsWith(QStringLiteral("<!DOCTYPE html>")));
    const QString open = QStringLiteral("<main id=\"log\">");
    const qsizetype from = page.indexOf(open) + open.size();
    const qsizetype to = page.lastIndexOf(QStringLiteral("</main>"));
    check(from >= open.size() && to >= from);
    const QStringView body = QStringView(page).sliced(from, to - from);
    qsizetype at = 0;
    check(htmlcheck::onlyAllowedTags(body, allowedModernTag, &at), body.mid(at, 120).toString());
    for (qsizetype h = body.indexOf(u"href=\""); h >= 0; h = body.indexOf(u"href=\"", h + 1)) {
        const QStringView target = body.sliced(h + 6);
        // A scheme is any case ("HTTPS://"), as the modern page's own fuzz check takes it.
        check(target.startsWith(u"http://", Qt::CaseInsensitive)
                  || target.startsWith(u"https://", Qt::CaseInsensitive)
                  || target.startsWith(u"#u"),
              target.left(60).toString());
    }
    // The calendar and the statistics, between the utterances and the page's end.
    const qsizetype bodyEnd = page.lastIndexOf(QStringLiteral("</body>"));
    check(bodyEnd >= to);
    const QStringView stats = QStringView(page).sliced(to + 7, bodyEnd - to - 7);
    check(htmlcheck::onlyAllowedTags(stats, allowedStatsTag, &at), stats.mid(at, 120).toString());
    for (qsizetype h = stats.indexOf(u"href=\""); h >= 0; h = stats.indexOf(u"href=\"", h + 1))
        check(stats.sliced(h + 6).startsWith(u"#u") || stats.sliced(h + 6).startsWith(u"#d"),
              stats.mid(h, 60).toString());
    const qsizetype title = page.indexOf(QStringLiteral("<title>")) + 7;
    const qsizetype titleEnd = page.indexOf(QStringLiteral("</title>"), title);
    check(title >= 7 && titleEnd >= title && !page.sliced(title, titleEnd - title).contains(u'<'));
    check(page.count(QStringLiteral("<script"), Qt::CaseInsensitive) == 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    Fixture &f = fixture();
    const uint8_t control = data[0];
    const QByteArray log(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QFile::remove(f.textPath);
    QFile::remove(f.htmlPath);
    const bool xml = control & 32;
    const QString logPath = xml ? f.xmlPath : f.logPath;
    {
        QFile out(logPath);
        check(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(out.write(log) == log.size());
    }

    AppState state = f.defaults;
    const bool html = control & 1;
    const bool scripts = control & 8;
    const QString logText = cp932::decode(log);
    state.settings.changeType = html ? 1 : 0;
    if (control & 2) {
        state.settings.headerMode = QStringLiteral("1");
        state.settings.headerText = logText.section(QStringLiteral("\r\n"), 0, 0).left(12);
    } else if (control & 16) {
        state.settings.headerMode = QStringLiteral("0");
        state.settings.headerText = QStringLiteral(" の発言 :");
    }
    state.settings.colorNameToo = (control & 4) ? 1 : 0;
    const bool modern = control & 64;
    state.settings.pageStyle
        = modern ? pageStyleWord(PageStyle::Modern) : pageStyleWord(PageStyle::Classic);
    // Detected, or asked for: Shift-JIS, UTF-8 or UTF-16 by the log's length.
    state.settings.logEncoding = EncodingWords[(control & 128) ? 1 + log.size() % 3 : 0];
    if (scripts) {
        state.settings.jsBgColor = JsWanted;
        state.settings.jsForeColor = JsWanted;
        state.settings.jsFontBold = JsWanted;
    }
    check(addLogFiles(state.selection, {logPath}, state.settings.addStr) == 1);

    RecordingHost host;
    mnuRun_Click(state, host);
    const bool written = state.colorDialogCloses == 2;
    // A log not written is reported: the header text to adjust, or what the file looks like.
    check(written ? host.settingsDialogOpened == 0
                  : host.settingsDialogOpened > 0 || !host.messages.isEmpty());
    check(readAll(logPath) == log);
    LogReader reader; // what the run read the log as
    reader.open(logPath, state.settings.headerText, encodingChoice(state.settings.logEncoding));
    if (html && modern)
        checkModernPage(f, written);
    else if (html)
        checkPage(f, written, scripts, reader.format().utf8Page());
    else if (!xml)
        checkText(f, log, reader.format(), written);
    return 0;
}

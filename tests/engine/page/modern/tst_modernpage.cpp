// The modern page (engine/page/modern/) as a run writes it: its readable colours, the links in
// chat text, the page of a text log and of an XML history, the lines of structured messages
// (in every output), colours carried by name from log to log, and the index of a run of pages.
#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/convert/textconverter.h"
#include "engine/intake.h"
#include "engine/page/htmltext.h"
#include "engine/page/modern/modernbody.h"
#include "engine/page/readablecolor.h"
#include "fileio/filename.h"
#include "support/files.h"
#include "support/recordinghost.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

const QString Sep = QStringLiteral("―――――");

QByteArray sjisLog(const QStringList &lines)
{
    return cp932::encode(QString(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

} // namespace

// The modern page: its colours, its links, the page a run writes, colours carried from log
// to log, and the folder's index page.
class TestModernPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void readableColours_data();
    void readableColours();
    void chatLinks_data();
    void chatLinks();
    void textLogPage();
    void xmlHistoryTimes();
    void statistics_data();
    void statistics();
    void structuredMessages_data();
    void structuredMessages();
    void coloursCarriedByName();
    void indexPage();

private:
    QString writeLog(const QString &name, const QByteArray &bytes);
    void run(const QStringList &paths);
    QByteArray output(const QString &name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    RecordingHost m_host;
};

void TestModernPage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_state = AppState();
    m_host = RecordingHost();
    Settings &s = m_state.settings;
    s.iniPath = m_dir->filePath(QStringLiteral("settings.ini"));
    s.headerText = QStringLiteral(" の発言 :");
    s.changeType = 1;
    s.bodyColor = QStringLiteral("#000000");
    s.narColor = QStringLiteral("#0000FF");
    s.addStr = QStringLiteral("_");
    s.pageStyle = pageStyleWord(PageStyle::Modern);
    m_state.palette = colorcode::defaultPalette();
    s.colorCount = 8;
}

QString TestModernPage::writeLog(const QString &name, const QByteArray &bytes)
{
    return writeFile(m_dir->filePath(name), bytes);
}

void TestModernPage::run(const QStringList &paths)
{
    QList<Selection::Item> items;
    for (const QString &p : paths)
        items.append({p, outputStem(p, m_state.settings.addStr)});
    m_state.selection.setItems(items);
    convertToHtml(m_state, m_host);
}

QByteArray TestModernPage::output(const QString &name) const
{
    QFile f(m_dir->filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestModernPage::readableColours_data()
{
    QTest::addColumn<QString>("color");
    QTest::addColumn<QString>("background");
    QTest::addColumn<bool>("kept"); // readable as it is
    const QString light = QStringLiteral("#FFFFFF"), dark = QStringLiteral("#1B1D21");
    QTest::newRow("pink on light") << "#FF00FF" << light << false;
    QTest::newRow("orange on light") << "#FF8000" << light << false;
    QTest::newRow("white on light") << "#FFFFFF" << light << false;
    QTest::newRow("pale yellow on light") << "#FFFFCC" << light << false;
    QTest::newRow("navy on light") << "#000080" << light << true;
    QTest::newRow("navy on dark") << "#000080" << dark << false;
    QTest::newRow("black on dark") << "#000000" << dark << false;
    QTest::newRow("dark red on dark") << "#400000" << dark << false;
    QTest::newRow("yellow on dark") << "#FFFF00" << dark << true;
}

void TestModernPage::readableColours()
{
    QFETCH(QString, color);
    QFETCH(QString, background);
    QFETCH(bool, kept);
    const QString got = readable::readableOn(color, background);
    QVERIFY2(readable::contrast(got, background) >= 4.5, qPrintable(got));
    if (kept) {
        QCOMPARE(got, color);
        return;
    }
    const QColor before(color), after(got);
    QVERIFY(before.hslSaturationF() == 0 || qAbs(before.hslHueF() - after.hslHueF()) < 0.02);
    // Only as far as needed: one step less would not do.
    const bool darker = after.lightness() < before.lightness();
    const QColor less = QColor::fromHsl(after.hslHue(), after.hslSaturation(),
                                        after.lightness() + (darker ? 3 : -3));
    QVERIFY2(readable::contrast(less.name(), background) < 4.6, qPrintable(got));
}

void TestModernPage::chatLinks_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("open");
    const auto a = [](const char *url) {
        return QStringLiteral("<a href=\"%1\" rel=\"noopener noreferrer\">%1</a>").arg(url);
    };
    QTest::newRow("sentence end") << "see http://a.example/x."
                                  << "see " + a("http://a.example/x") + "." << QStringList();
    QTest::newRow("parentheses") << "(https://a.example/p_(q))"
                                 << "(" + a("https://a.example/p_(q)") + ")" << QStringList();
    // A bare "&" never starts a character reference ("&reg", "&times" without ";").
    QTest::newRow("parameters") << "<b>http://a.example/?q=abc&region=jp&notify=1&times=3</b>"
                                << "<b>"
            + a("http://a.example/?q=abc&amp;region=jp&amp;notify=1&amp;times=3") + "</b>"
                                << QStringList();
    QTest::newRow("escaped '&' kept") << "http://a.example/?a=1&amp;b=2&AMP;c"
                                      << a("http://a.example/?a=1&amp;b=2&AMP;c") << QStringList();
    QTest::newRow("escaped brackets") << "&lt;http://a.example/&gt;"
                                      << "&lt;" + a("http://a.example/") + "&gt;" << QStringList();
    QTest::newRow("other schemes stay text")
        << "javascript:alert(1) ftp://a.example xhttp://a.example data:text/html,x"
        << "javascript:alert(1) ftp://a.example xhttp://a.example data:text/html,x"
        << QStringList();
    // A scheme in capitals, between Japanese and an emoji; none right after a letter.
    QTest::newRow("among Japanese")
        << "見て HTTPS://A.example/x 😀 かhttp://b.example"
        << "見て " + a("HTTPS://A.example/x") + " 😀 かhttp://b.example" << QStringList();
    QTest::newRow("no host") << "http:// and https://"
                             << "http:// and https://" << QStringList();
    // A ">" in a quoted value does not end the tag for the link maker.
    QTest::newRow("quoted '>'") << "<font face='a>b http://a.example/ autofocus'>x"
                                << "<font face='a>b http://a.example/ autofocus'>x"
                                << QStringList {"font"};
    QTest::newRow("tags left open") << "<font color=red><b>x</font><i>"
                                    << "<font color=red><b>x</font><i>" << QStringList {"i"};
}

void TestModernPage::chatLinks()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QFETCH(QStringList, open);
    QByteArray out;
    OpenTags openTags;
    appendChatHtml(html, out, openTags);
    QCOMPARE(QString::fromUtf8(out), expected);
    QStringList names;
    for (const QLatin1StringView name : std::as_const(openTags))
        names.append(name);
    QCOMPARE(names, open);
}

void TestModernPage::textLogPage()
{
    QStringList log {"B<b> の発言 :", // a tag the name leaves open stays out of the legend
                     "hi http://b.example/",
                     "<b>unclosed",
                     "A の発言 :",
                     "(L) <script>x</script>",
                     Sep,
                     "X joined",
                     Sep,
                     "after"};
    for (int i = 0; i < ModernBody::SectionBlocks; ++i)
        log << QStringLiteral("A の発言 :") << QStringLiteral("line %1").arg(i);
    QByteArray bytes = sjisLog(log);
    bytes.replace("after", "aft\xff"); // a byte Shift-JIS does not define
    run({writeLog(QStringLiteral("chat.v2.txt"), bytes)});
    QVERIFY(m_host.messages.isEmpty());
    const QString page = QString::fromUtf8(output(QStringLiteral("_chat.v2.htm")));
    QVERIFY(page.startsWith(QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n"
                                           "<meta charset=\"utf-8\">\n<meta name=\"viewport\" "
                                           "content=\"width=device-width, initial-scale=1\">")));
    // The log's name without its extension, its own dots kept.
    QVERIFY(page.contains(QStringLiteral("<title>chat.v2 : A + B</title>")));
    QVERIFY(page.contains(QStringLiteral("<span class=\"n\">B</span>")));
    QVERIFY(page.contains(
        QStringLiteral(
            "<p class=\"facts\">発言者 2 人・発言 %1 件・<a href=\"#stats\">統計</a></p>")
            .arg(ModernBody::SectionBlocks + 2)));
    QVERIFY(page.contains(QStringLiteral(
        "<div class=\"u s2\" id=\"u1\"><a href=\"#u1\" title=\"元のファイルの 1 行目\">"
        "B</a>&#13;<p>hi <a "
        "href=\"http://b.example/\" rel=\"noopener noreferrer\">http://b.example/"
        "</a>\n<b>unclosed</b></p></div>&#13;")));
    QVERIFY(page.contains(QStringLiteral("<p>") + HeartHtml
                          + QStringLiteral(" &lt;script>x&lt;/script></p></div>&#13;"
                                           "<div class=\"note\">X joined</div>&#13;"
                                           "<div class=\"u s1 more\"><p>aft\uFFFD</p>")));
    QVERIFY(page.contains(QStringLiteral("id=\"u%1\"").arg(ModernBody::SectionBlocks + 2)));
    // A's next words go under the same name; the section lists what its blocks are.
    QVERIFY(page.contains(QStringLiteral("<div class=\"u s1 g\" id=\"u3\">")));
    QVERIFY(page.contains(QStringLiteral("<template data-w=\"2 1 0 -1 1 1 1 ")));
    QCOMPARE(page.count(QStringLiteral("<section class=\"part\">")), 2);
    QCOMPARE(page.count(QStringLiteral("</template></section>")), 2);
    // The statistics follow the utterances: a log without dates has its speakers' counts.
    QVERIFY(page.contains(QStringLiteral("</template></section>\n</div>\n</main>\n<section "
                                         "class=\"stats\" id=\"stats\"")));
    QVERIFY(page.contains(QStringLiteral("<th scope=\"row\">A</th><td class=\"num\">%1 件</td>")
                              .arg(ModernBody::SectionBlocks + 1)));
    QVERIFY(page.contains(QStringLiteral("<a href=\"#u2\" title=\"元のファイルの 4 行目\">A</a>")));
    // Then where the page came from.
    QVERIFY(page.contains(QStringLiteral("</section>\n<footer class=\"prov\" id=\"provenance\">")));
    QVERIFY(page.contains(QStringLiteral("<dt>ファイル名</dt><dd>chat.v2.txt</dd>")));
    QVERIFY(page.endsWith(QStringLiteral("</dl>\n</footer>\n</body>\n</html>\n")));
}

void TestModernPage::xmlHistoryTimes()
{
    const QByteArray xml
        = "<?xml version=\"1.0\"?>\n<Log>"
          "<Message Date=\"2003/07/12\" Time=\"21:03:00\"><From><User FriendlyName=\"Aki\"/>"
          "</From><Text>a\nb \xf0\x9f\x98\x80</Text></Message>"
          "<Join Date=\"2003/07/12\" Time=\"21:04:00\"><User FriendlyName=\"Bo\"/><Text>Bo "
          "joined</Text></Join>"
          "<Message Date=\"2003/07/12\" Time=\"21:05:00\"><From><User FriendlyName=\"Bo\"/>"
          "</From><Text>c</Text></Message>"
          "<Message Date=\"2003/07/13\" Time=\"00:01:00\"><From><User FriendlyName=\"Aki\"/>"
          "</From><To><User FriendlyName=\"Bo\"/><User FriendlyName=\"&lt;i&gt;Cy\"/></To>"
          "<Text>d</Text></Message></Log>";
    run({writeLog(QStringLiteral("hist.xml"), xml)});
    const QString page = QString::fromUtf8(output(QStringLiteral("_hist.htm")));
    QVERIFY(page.contains(QStringLiteral("発言者 2 人・発言 3 件・2003/07/12 ～ 2003/07/13")));
    // A new day is a heading of its own; the utterances show their time, and whom they were
    // sent to when that was more than one.
    const QStringList times = {"<h2 class=\"day\" id=\"d20030712\">2003/07/12</h2>",
                               "<time>21:03:00</time>&#13;<p>a\nb 😀", "<time>21:05:00</time>",
                               "<h2 class=\"day\" id=\"d20030713\">2003/07/13</h2>",
                               "<span class=\"to\">→ Bo、&lt;i>Cy</span><time>00:01:00</time>"};
    qsizetype at = 0;
    for (const QString &time : times) {
        at = page.indexOf(time, at);
        QVERIFY2(at > 0, qPrintable(time));
    }
    QCOMPARE(page.count(QStringLiteral("<time>")), 3);

    // The classic page of the same history stays as it was: no times, no UTF-8.
    m_state.settings.pageStyle = pageStyleWord(PageStyle::Classic);
    run({m_dir->filePath(QStringLiteral("hist.xml"))});
    const QByteArray classic = output(QStringLiteral("_hist.htm"));
    QVERIFY(classic.startsWith("<html>\r\n<head>\r\n<title>hist : Aki + Bo</title>"));
    QVERIFY(classic.contains("b &#128512;"));
    QVERIFY(!classic.contains("21:03"));

    // A LINE export's messages show their time once, in the header; its day lines are headings,
    // its title names the page, a sticker is shown as the app's word for it.
    m_state.settings.pageStyle = pageStyleWord(PageStyle::Modern);
    run({writeLog(QStringLiteral("line.txt"),
                  "[LINE] Chat history with Aki\n\n2024/01/15(\xe6\x9c\x88)\n21:03\tAki\tx\n"
                  "21:04\tBo\t\"y\nz\"\n21:05\tBo left.\n21:06\tBo\t[Sticker]\n")});
    const QString line = QString::fromUtf8(output(QStringLiteral("_line.htm")));
    QVERIFY(line.contains(QStringLiteral("<h1>Aki</h1>")));
    QVERIFY(
        line.contains(QStringLiteral("<h2 class=\"day\" id=\"d20240115\">2024/01/15(月)</h2>")));
    QVERIFY(line.contains(QStringLiteral("<time>21:03</time>&#13;<p>x</p>")));
    QVERIFY(line.contains(QStringLiteral("<time>21:04</time>&#13;<p>y\nz</p>")));
    QVERIFY(line.contains(QStringLiteral("<div class=\"note\">21:05 Bo left.</div>")));
    QVERIFY(line.contains(QStringLiteral("<p><span class=\"ph\">[Sticker]</span></p>")));
}

// The lines of a LINE export's or an XML history's message stay lines of that message in every
// output, also when they read like a header line or a separator, and a LINE export's text is
// plain text: typed markup shows as typed.
// The statistics of a history whose stamps come in any order: months between are empty, the
// first and the last are the earliest and the latest, and the days' run is counted by the
// calendar, whose days are each one link; a time that does not read leaves the hour grid out.
void TestModernPage::statistics_data()
{
    QTest::addColumn<QStringList>("stamps"); // date, time, speaker of each message
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("hours");
    QTest::newRow("out of order")
        << QStringList {"2003/07/13", "10:00:00", "Aki", "2003/05/02", "09:00:00", "Bo",
                        "2003/07/12", "23:00:00", "Aki", "2003/07/13", "10:00:00", "Bo"}
        << QStringList {"<title>2003/05: 1 件</title>", "<title>2003/06: 0 件</title>",
                        "<title>2003/07: 3 件</title>",
                        "<dd><a href=\"#u2\">2003/05/02 09:00:00 <span class=\"sc s2\">Bo</span>",
                        "<dd><a href=\"#u4\">2003/07/13 10:00:00 <span class=\"sc s2\">Bo</span>",
                        "<dd>2 日（2003/07/12 ～ 2003/07/13）</dd>",
                        "<title>日曜 10時台: 2 件</title>",
                        // the calendar's day is one, its link the first heading's
                        "<h2 class=\"day\">2003/07/13</h2>",
                        "<a class=\"q4\" href=\"#d20030713\" title=\"2003年7月13日 2件\">"
                        "13<span> 2件</span></a>",
                        "<a class=\"q2\" href=\"#d20030502\" title=\"2003年5月2日 1件\">"}
        << true;
    // A date centuries off spreads the months over the last fifty years only.
    QTest::newRow("a date far off")
        << QStringList {"0749/07/12", "10:00:00", "Aki", "2003/07/12", "10:00:00", "Bo"}
        << QStringList {"<svg class=\"months\" width=\"6000\"", "1953/08 ～ 2003/07、",
                        "<dd><a href=\"#u1\">0749/07/12 10:00:00"}
        << true;
    QTest::newRow("times that do not read")
        << QStringList {"2003/07/12", "late", "Aki", "2003/07/12", "25:00", "Bo"}
        << QStringList {"<dd><a href=\"#u1\">2003/07/12 <span class=\"sc s1\">Aki</span>",
                        "<dd>1 日（2003/07/12）</dd>"}
        << false;
}

void TestModernPage::statistics()
{
    QFETCH(QStringList, stamps);
    QFETCH(QStringList, shown);
    QFETCH(bool, hours);
    QByteArray xml = "<?xml version=\"1.0\"?>\n<Log>";
    for (qsizetype i = 0; i + 2 < stamps.size(); i += 3)
        xml += "<Message Date=\"" + stamps[i].toUtf8() + "\" Time=\"" + stamps[i + 1].toUtf8()
            + "\"><From><User FriendlyName=\"" + stamps[i + 2].toUtf8()
            + "\"/></From><Text>x</Text></Message>";
    run({writeLog(QStringLiteral("hist.xml"), xml + "</Log>")});
    const QString page = QString::fromUtf8(output(QStringLiteral("_hist.htm")));
    const QString stats = page.mid(page.indexOf(u"<main"));
    for (const QString &text : shown)
        QVERIFY2(stats.contains(text), qPrintable(text + u'\n' + stats));
    QCOMPARE(stats.contains(u"class=\"hours\""), hours);
}

void TestModernPage::structuredMessages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("plain"); // a text line as the pages show it
    QTest::addColumn<QString>("place"); // the title of the message's link on the modern page
    QTest::newRow("LINE") << "talk.txt"
                          << QByteArray("[LINE] x\r\n2024/01/15(\xe6\x9c\x88)\r\n"
                                        "21:03\tAl\t\"one\r\nBo \xe3\x81\xae\xe7\x99\xba"
                                        "\xe8\xa8\x80 :\r\n\xe2\x80\x95\xe2\x80\x95\xe2\x80"
                                        "\x95\xe2\x80\x95\xe2\x80\x95\r\nfake\r\n<b>&lt;\"\r\n")
                          << "&lt;b&gt;&amp;lt;"
                          << " title=\"元のファイルの 3 行目\"";
    QTest::newRow("XML") << "hist.xml"
                         << QByteArray("<?xml version=\"1.0\"?>\n<Log><Message><From><User "
                                       "FriendlyName=\"Al\"/></From><Text>one\nBo \xe3\x81\xae"
                                       "\xe7\x99\xba\xe8\xa8\x80 :\n\xe2\x80\x95\xe2\x80\x95"
                                       "\xe2\x80\x95\xe2\x80\x95\xe2\x80\x95\nfake\n"
                                       "&lt;b&gt;&amp;lt;</Text></Message></Log>")
                         << "<b>&lt;"
                         << " title=\"元のファイルの 2 行目\""; // the line naming the sender
}

void TestModernPage::structuredMessages()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, log);
    QFETCH(QString, plain);
    QFETCH(QString, place);
    const QString path = writeLog(name, log);
    const QString stem = m_dir->filePath(u'_' + name.chopped(3));
    m_state.selection.setItems({{path, stem}});
    convertToText(m_state, m_host);
    const QString text = name.endsWith(u"xml") ? cp932::decode(readFile(stem + u"txt"))
                                               : QString::fromUtf8(readFile(stem + u"txt"));
    QVERIFY2(text.contains(u"\tBo の発言 :\r\n\t" + Sep + u"\r\n\tfake\r\n"), qPrintable(text));

    for (const QString &style :
         {pageStyleWord(PageStyle::Classic), pageStyleWord(PageStyle::Modern)}) {
        m_state.settings.pageStyle = style;
        run({path});
        const QByteArray bytes = readFile(stem + u"htm");
        const QString page = style == pageStyleWord(PageStyle::Modern) || !name.endsWith(u"xml")
            ? QString::fromUtf8(bytes)
            : cp932::decode(bytes);
        if (style == pageStyleWord(PageStyle::Classic)) {
            QVERIFY2(page.contains(u"<dd>Bo の発言 :<br>\r\n<dd>" + Sep + u"<br>\r\n<dd>fake<br>"),
                     qPrintable(page));
            QVERIFY(page.contains(u"<dd>" + plain + u"<br>"));
            QVERIFY(!page.contains(u"HATSUGEN_02"));
        } else {
            QVERIFY2(page.contains(u"発言者 1 人"), qPrintable(page));
            QVERIFY(page.contains(u"\nBo の発言 :\n" + Sep + u"\nfake\n" + plain));
            QVERIFY(page.contains(u"<a href=\"#u1\"" + place + u">Al</a>"));
        }
    }
}

void TestModernPage::coloursCarriedByName()
{
    const QString first
        = writeLog(QStringLiteral("a.txt"), sjisLog({"Bo の発言 :", "x", "Cy の発言 :", "y"}));
    const QString second
        = writeLog(QStringLiteral("b.txt"), sjisLog({"Al の発言 :", "x", "Cy の発言 :", "y"}));
    // The user gives Cy entry 5 in the first log's dialog.
    m_host.onSpeakerDialog = [](SpeakerHandover &h) {
        if (h.table.size() == 2 && h.table[0].name == u"Bo") {
            h.table[1].paletteIndex = QStringLiteral("5");
            h.speakerColors[1] = colorcode::defaultColorCode(5);
        }
        h.colorDialogCloses = 2;
    };
    run({first, second});
    QCOMPARE(m_host.speakerDialogs.size(), 2);
    const SpeakerHandover &later = m_host.speakerDialogs[1];
    QCOMPARE(later.table[1].name, QStringLiteral("Cy"));
    QCOMPARE(later.table[1].paletteIndex, QStringLiteral("5")); // preselected
    QCOMPARE(later.table[0].paletteIndex, QStringLiteral("1")); // Al takes the turn
    const QString cyLight
        = readable::readableOn(colorcode::defaultColorCode(5), QStringLiteral("#FFFFFF"));
    QVERIFY(output(QStringLiteral("_b.htm")).contains(QByteArray("s2{--cl:" + cyLight.toLatin1())));

    // A new run starts afresh, and the classic page never carries colours.
    m_host.speakerDialogs.clear();
    m_state.settings.pageStyle = pageStyleWord(PageStyle::Classic);
    run({first, second});
    QCOMPARE(m_host.speakerDialogs[1].table[1].paletteIndex, QStringLiteral("2"));
}

void TestModernPage::indexPage()
{
    m_state.settings.makeIndex = 1;
    const QString a = writeLog(QStringLiteral("a.txt"), sjisLog({"Bo の発言 :", "x"}));
    const QString b = writeLog(QStringLiteral("b & <c>.txt"),
                               sjisLog({"Al の発言 :", "x", "Cy の発言 :", "y", "Al の発言 :"}));
    // A name that is not UTF-8 (a Shift-JIS name from an archive).
    const QByteArray odd = QFile::encodeName(m_dir->path()) + "/sj\x82\xA0.txt";
    std::FILE *f = std::fopen(odd.constData(), "wb");
    QVERIFY(f && std::fputs("Eve \x82\xCC\x94\xAD\x8C\xBE :\r\nx\r\n", f) >= 0);
    std::fclose(f);
    run({a, b, fileio::decodeName(odd)});
    QString index = QString::fromUtf8(output(QStringLiteral("_index.htm")));
    QVERIFY(index.startsWith(QStringLiteral("<!DOCTYPE html>")));
    QVERIFY(index.contains(QStringLiteral("<td class=\"chat\"><a href=\"_a.htm\">a.txt</a></td>"
                                          "<td class=\"who\">Bo</td><td class=\"num\">1</td>")));
    QVERIFY(index.contains(QStringLiteral("<a href=\"_b%20%26%20%3Cc%3E.htm\">b &amp; "
                                          "&lt;c&gt;.txt</a></td><td class=\"who\">Al、Cy</td>"
                                          "<td class=\"num\">3</td>")));

    // A later run keeps the rows of pages still there and drops those of pages gone.
    QVERIFY(QFile::remove(m_dir->filePath(QStringLiteral("_a.htm"))));
    // Given by a relative name, the log's folder is still named in the title.
    const QString c = writeLog(QStringLiteral("c.txt"), sjisLog({"Di の発言 :", "x"}));
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_state.selection.setItems({{QStringLiteral("c.txt"), QStringLiteral("_c.")}});
    convertToHtml(m_state, m_host);
    QVERIFY(QDir::setCurrent(cwd));
    index = QString::fromUtf8(output(QStringLiteral("_index.htm")));
    QVERIFY(index.contains(u"<h1>" + QFileInfo(m_dir->path()).fileName() + u"</h1>"));
    QVERIFY(!index.contains(QStringLiteral("a.txt")));
    QVERIFY(index.contains(
        QStringLiteral("b &amp; &lt;c&gt;.txt</a></td><td class=\"who\">Al、Cy</td>")));
    QVERIFY(index.contains(QStringLiteral("sj\\x82\\xA0.txt</a>")));
    // Logs without dates: by name, the later name first.
    QVERIFY(index.indexOf(QStringLiteral("b &amp;")) > index.indexOf(QStringLiteral("c.txt")));

    // A file of that name this program did not write as an index is left alone.
    const QByteArray foreign = "<html>mine</html>";
    QFile::remove(m_dir->filePath(QStringLiteral("_index.htm")));
    writeLog(QStringLiteral("_index.htm"), foreign);
    run({c});
    QCOMPARE(output(QStringLiteral("_index.htm")), foreign);
    QCOMPARE(m_host.messages.size(), 1);
    QCOMPARE(m_host.messages[0].title, QStringLiteral("保存エラー"));
    QCOMPARE(m_state.colorDialogCloses, 2); // the page itself was written
}

QTEST_GUILESS_MAIN(TestModernPage)
#include "tst_modernpage.moc"

// The classic page (engine/page/classic/) as a run writes it: the whole page, its colours and
// legend columns, colour codes from an edited settings file, the head in bounded pieces, the
// title, the speakers' lines, a long body, and the colour dialog's outcomes.
#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/intake.h"
#include "engine/page/classic/classichead.h"
#include "engine/page/htmltext.h"
#include "engine/text/speakerkeys.h"
#include "settings/inifile.h"
#include "support/files.h"
#include "support/recordinghost.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sep = QStringLiteral("―――――");

QString lines(const QStringList &l)
{
    return l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace

// The HTML converter run over real files, with a recording window.
class TestHtmlPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void wholePage();
    void colours_data();
    void colours();
    void legendColumns_data();
    void legendColumns();
    void hostileColourCodes_data();
    void hostileColourCodes();
    void headGoesOutInPieces();
    void titleAndNames();
    void speakersFindTheirOwnLines();
    void chunkedBody();
    void linesTheirBytesLeaveOpen_data();
    void linesTheirBytesLeaveOpen();
    void pageOfBytesIsPageOfText_data();
    void pageOfBytesIsPageOfText();
    void dialogOutcomes();

private:
    QString writeLog(const QString &name, const QString &text);
    void select(const QStringList &paths);
    QString page(const QString &logPath);
    QString convertOne(const QString &text, const QString &name = QStringLiteral("chat.txt"));

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    RecordingHost m_host;
};

void TestHtmlPage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_state = AppState();
    m_host = RecordingHost();
    Settings &s = m_state.settings;
    s.iniPath = m_dir->filePath(QStringLiteral("settings.ini"));
    s.headerText = QStringLiteral(" の発言 :");
    s.changeType = 1;
    s.bodyColor = QStringLiteral("#111111");
    s.narColor = QStringLiteral("#222222");
    s.addStr = QStringLiteral("_");
    s.jsBgColor = s.jsForeColor = s.jsFontBold = JsNotWanted;
    for (int n = 1; n <= 8; ++n)
        m_state.palette.append({QStringLiteral("#00000%1").arg(n), QStringLiteral("c%1").arg(n)});
    s.colorCount = 8;
}

QString TestHtmlPage::writeLog(const QString &name, const QString &text)
{
    return writeFile(m_dir->filePath(name), cp932::encode(text));
}

void TestHtmlPage::select(const QStringList &paths)
{
    QList<Selection::Item> items;
    for (const QString &p : paths)
        items.append({p, outputStem(p, m_state.settings.addStr)});
    m_state.selection.setItems(items);
}

QString TestHtmlPage::page(const QString &logPath)
{
    const qsizetype slash = logPath.lastIndexOf(QLatin1Char('/')) + 1;
    QFile f(logPath.left(slash) + QLatin1Char('_') + logPath.mid(slash).chopped(3)
            + QStringLiteral("htm"));
    return f.open(QIODevice::ReadOnly) ? cp932::decode(f.readAll()) : QString();
}

QString TestHtmlPage::convertOne(const QString &text, const QString &name)
{
    const QString path = writeLog(name, text);
    select({path});
    convertToHtml(m_state, m_host);
    return page(path);
}

void TestHtmlPage::wholePage()
{
    const QString got = convertOne(lines({"B の発言 :", "hi", "A の発言 :", "<b>yo</b>(L)(l)(Ｌ)",
                                          Sep, "X joined", Sep, "<script>x</script>"}));
    const QString expected
        = QStringLiteral(
              "<html>\r\n<head>\r\n<title>chat : A + B</title>\r\n<style type=\"text/css\">\r\n"
              "<!--\r\n.Bbody{color:#111111;}\r\n.nar{color:#222222;}\r\n"
              ".HATSUGEN_01{color:#000001;}\r\n.HATSUGEN_02{color:#000002;}\r\n"
              "-->\r\n</style>\r\n\r\n</head>\r\n<body>\r\n<font id=Bbody class=Bbody>\r\n"
              "<center><br>\r\n<table border=1 cellspacing=3 cellPadding=3 width=75%>\r\n"
              "<tr>\r\n<td><font class=Bbody id=Bbody>.Bbody</font></td>\r\n"
              "<td><font class=Bbody id=Bbody>本文</font></td>\r\n"
              "<td><font color=\"#111111\">#111111</font></td>\r\n</tr>\r\n"
              "<tr>\r\n<td><font class=Bbody id=Bbody>.nar</font></td>\r\n"
              "<td><font class=nar id=nar>ナレーション</font></td>\r\n"
              "<td><font color=\"#222222\">#222222</font></td>\r\n</tr>\r\n"
              "<tr>\r\n<td><font class=Bbody id=Bbody>.HATSUGEN_01</font></td>\r\n"
              "<td><font class=HATSUGEN_01 id=HATSUGEN_01>A</font></td>\r\n"
              "<td><font color=\"#000001\">#000001</font></td>\r\n</tr>\r\n"
              "<tr>\r\n<td><font class=Bbody id=Bbody>.HATSUGEN_02</font></td>\r\n"
              "<td><font class=HATSUGEN_02 id=HATSUGEN_02>B</font></td>\r\n"
              "<td><font color=\"#000002\">#000002</font></td>\r\n</tr>\r\n"
              "</table>\r\n</center>\r\n<br>\r\n"
              "<DL><dt>B の発言 :\r\n<font class=HATSUGEN_02>\r\n<dd>hi<br>\r\n"
              "</font>\r\n<dt>A の発言 :\r\n<font class=HATSUGEN_01>\r\n<dd><b>yo</b>")
        + HeartHtml + HeartHtml
        + QStringLiteral("(Ｌ)<br>\r\n"
                         "\r\n<dt><font class=Bbody id=Bbody>―――――</font><br>\r\n"
                         "<dt><font class=nar id=nar>X joined</font><br>\r\n"
                         "\r\n<dt><font class=Bbody id=Bbody>―――――</font><br>\r\n"
                         "<dd>&lt;script>x&lt;/script><br>\r\n"
                         "</font>\r\n</dl>\r\n</body>\r\n</html>\r\n");
    QCOMPARE(got, expected);
    QCOMPARE(m_state.colorDialogCloses, 2);
    QCOMPARE(m_host.statusTexts.last(), QString());
}

void TestHtmlPage::colours_data()
{
    QTest::addColumn<QStringList>("names"); // in order of appearance
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QStringList>("paletteIndexes"); // in speaker order

    QTest::newRow("alphabetical, not by appearance")
        << QStringList {"B", "A", "C"} << QStringList() << QStringList {"1", "2", "3"};
    QTest::newRow("wraps after the palette")
        << QStringList {"a0", "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9"} << QStringList()
        << QStringList {"1", "2", "3", "4", "5", "6", "7", "8", "1", "2"};
    QTest::newRow("rule moves the turn")
        << QStringList {"C", "B", "A"} << QStringList {"05<$>A<$>先頭にあったら"}
        << QStringList {"5", "6", "7"};
    QTest::newRow("rule beyond the palette")
        << QStringList {"A", "B"} << QStringList {"12<$>A<$>先頭にあったら"}
        << QStringList {"12", "1"};
    QTest::newRow("rule colour at the int limit")
        << QStringList {"A", "B"} << QStringList {"2147483647<$>A<$>先頭にあったら"}
        << QStringList {"2147483647", "1"};
    QTest::newRow("rule colour beyond the int range")
        << QStringList {"A", "B"} << QStringList {"99999999999<$>A<$>先頭にあったら"}
        << QStringList {"0", "1"};
}

void TestHtmlPage::colours()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, rules);
    QFETCH(QStringList, paletteIndexes);
    IniDocument ini;
    ini.setValue(QStringLiteral("MsgRule"), QStringLiteral("Count"), QString::number(rules.size()));
    for (int r = 0; r < rules.size(); ++r)
        ini.setValue(QStringLiteral("MsgRule"), QStringLiteral("rule_0%1").arg(r + 1), rules[r]);
    QVERIFY(ini.save(m_state.settings.iniPath));
    m_state.settings.msgRuleEnable = 1;

    QStringList log;
    for (const QString &n : names)
        log << n + QStringLiteral(" の発言 :") << QStringLiteral("text");
    const QString got = convertOne(lines(log));
    QCOMPARE(m_host.speakerDialogs.size(), 1);
    const SpeakerHandover &h = m_host.speakerDialogs[0];
    QStringList indexes;
    for (qsizetype k = 0; k < h.table.size(); ++k) {
        indexes << h.table[k].paletteIndex;
        const int n = h.table[k].paletteIndex.toInt();
        // The colour handed over is that palette entry's, or empty when there is none.
        const QString code = n >= 1 && n <= 8 ? QStringLiteral("#00000%1").arg(n) : QString();
        QCOMPARE(h.speakerColors[k], code);
        QCOMPARE(h.table[k].colorCode, code.mid(1));
        QVERIFY(got.contains(QStringLiteral(".%1{color:%2;}").arg(speakerClassName(k), code)));
    }
    QCOMPARE(indexes, paletteIndexes);
}

void TestHtmlPage::legendColumns_data()
{
    QTest::addColumn<QString>("bg");
    QTest::addColumn<QString>("fore");
    QTest::addColumn<QString>("bold");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    const QString y = JsWanted, n = JsNotWanted;
    QTest::newRow("no scripts") << n << n << n << QStringList {"<font class=HATSUGEN_01>"}
                                << QStringList {
                                       "<script", "input, select{",
                                       "太字",    "背景色",
                                       "<select", "<font class=HATSUGEN_01 id=HATSUGEN_01>\r\n"};
    QTest::newRow("bold only")
        << n << n << y
        << QStringList {"input, select{",
                        "function CBold(id,chk){",
                        "<td><font color=\"#222222\">#222222</font></td>\r\n"
                        "<td align=center>－</td>",
                        "<td><font color=\"#111111\">#111111</font></td>\r\n"
                        "<td nowrap>太字</td>",
                        "<input type=checkbox onClick=CBold('HATSUGEN_01',this.checked)>",
                        "<font class=HATSUGEN_01 id=HATSUGEN_01>"}
        << QStringList {"CChange", "背景色", "<select"};
    QTest::newRow("background and bold")
        << y << n << y
        << QStringList {"<td><font class=Bbody id=Bbody>背景色</font></td>\r\n<td colspan=2>",
                        "<font color=\"#B90618\" onClick=\"document.bgColor = "
                        "'#B90618';\">■</font>",
                        "</td>\r\n<td nowrap>太字</td>\r\n</tr>",
                        "#111111</font></td>\r\n<td align=center>－</td>"}
        << QStringList {"CChange"};
    // Only two "いらない" drop the ids; any other word keeps them, without a script.
    for (const auto &[fore, bold] : {std::pair {"yes", "要る"}, std::pair {"", "いらない"}})
        QTest::newRow(qPrintable(QStringLiteral("\"%1\" and \"%2\"").arg(fore, bold)))
            << n << QString::fromUtf8(fore) << QString::fromUtf8(bold)
            << QStringList {"<font class=HATSUGEN_01 id=HATSUGEN_01>\r\n"} // the utterance
            << QStringList {"<script", "<select", "太字"};
    QTest::newRow("colour drop-downs")
        << n << y << n
        << QStringList {"function CChange(id,color){",
                        "<select onChange=CChange('HATSUGEN_01',this.value)>\r\n"
                        "\t<option value=\"#111111\" "
                        "style=\"color:#111111\">&nbsp;本文&nbsp;</option>\r\n",
                        "\t<option value=\"#000001\" style=\"color:#000001\" "
                        "selected>&nbsp;#000001&nbsp;</option>\r\n",
                        "</select><br>\r\n</td>", "<font class=HATSUGEN_01 id=HATSUGEN_01>"}
        << QStringList {"CBold", "太字"};
}

void TestHtmlPage::legendColumns()
{
    QFETCH(QString, bg);
    QFETCH(QString, fore);
    QFETCH(QString, bold);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    m_state.settings.jsBgColor = bg;
    m_state.settings.jsForeColor = fore;
    m_state.settings.jsFontBold = bold;
    const QString got = convertOne(lines({"A の発言 :", "x"}));
    for (const QString &p : present)
        QVERIFY2(got.contains(p), qPrintable(p));
    for (const QString &a : absent)
        QVERIFY2(!got.contains(a), qPrintable(a));
}

void TestHtmlPage::hostileColourCodes_data()
{
    QTest::addColumn<QString>("stored"); // palette entry 1, body and narration colour
    QTest::addColumn<QString>("shown");

    QTest::newRow("image with a handler") << "\"><img src=x onerror=alert(1)>"
                                          << "#000000";
    QTest::newRow("svg, then hexadecimal digits") << "<svg onload=alert(1)>#ABCDEF"
                                                  << "#ABCDEF";
    QTest::newRow("a colour name") << "red"
                                   << "#0000ED";
    QTest::newRow("lower case") << "#ff80c0"
                                << "#FF80C0";
}

// Colour codes come from a file anyone may have edited: only "#RRGGBB" reaches the page.
void TestHtmlPage::hostileColourCodes()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    Settings &s = m_state.settings;
    s.bodyColor = s.narColor = m_state.palette[0].code = stored;
    s.jsBgColor = s.jsForeColor = s.jsFontBold = JsWanted;
    s.colorNameToo = 1;
    const QString got = convertOne(lines({"A の発言 :", "x"}));
    for (const char *rule :
         {".Bbody{color:%1;}", ".nar{color:%1;}", ".HATSUGEN_01{color:%1;}",
          "<font color=\"%1\"><dt>A の発言 :", "<option value=\"%1\" style=\"color:%1\" selected>"})
        QVERIFY2(got.contains(QString::fromUtf8(rule).arg(shown)), rule);
    for (const char *markup : {"<img", "<svg", "onerror", "onload", "red"})
        QVERIFY2(!got.contains(QLatin1String(markup)), markup);
}

// With every script on, each legend row carries the whole palette: the head is handed on in
// pieces of bounded size (scripts/bench measures the memory of a run with 100 000 speakers).
void TestHtmlPage::headGoesOutInPieces()
{
    ClassicLook style;
    style.jsBgColor = style.jsForeColor = style.jsFontBold = true;
    style.bodyColor = style.narColor = QStringLiteral("#000000");
    for (int b = 1; b <= 99; ++b)
        style.paletteCodes.append(QStringLiteral("#0000%1").arg(b, 2, 10, QLatin1Char('0')));
    ClassicSpeakers speakers;
    for (int k = 0; k < 2000; ++k) {
        speakers.titleNames.append(QStringLiteral("s%1").arg(k));
        speakers.speakerColors.append(style.paletteCodes[k % 99]);
        speakers.speakerClasses.append(speakerClassName(k));
    }
    speakers.legendLabels = makeLegendLabels(speakers.titleNames);
    qsizetype total = 0, largest = 0;
    writeClassicHead(QStringLiteral("chat"), speakers, style, [&](QStringView piece) {
        total += piece.size();
        largest = qMax(largest, piece.size());
    });
    QVERIFY2(total > 15'000'000, qPrintable(QString::number(total)));
    QVERIFY2(largest < 64 * 1024, qPrintable(QString::number(largest)));
}

void TestHtmlPage::titleAndNames()
{
    m_state.settings.colorNameToo = 1;
    m_state.settings.boldMessages = 1;
    const QString got = convertOne(lines({"Bo  の発言 : hi", "x", "Al の発言 :"}),
                                   QStringLiteral("chat.2005.01.txt"));
    // The classic title stops at the name's first dot, as it always did.
    QVERIFY(got.contains(QStringLiteral("<title>chat : Al + Bo</title>")));
    QVERIFY(got.contains(QStringLiteral(".HATSUGEN_02{color:#000002; font-weight:bold;}")));
    // The header in its speaker's colour, the rest of the line inside the speaker's font.
    QVERIFY(got.contains(QStringLiteral("<font color=\"#000002\"><dt>Bo  の発言 :</font>\r\n"
                                        "<font class=HATSUGEN_02> hi\r\n")));

    // A custom header holding markup characters still finds its lines.
    m_state.settings.headerText = QStringLiteral(" <said>");
    QVERIFY(convertOne(lines({"Al <said> x"})).contains(QStringLiteral("<dt>Al &lt;said></font>")));
}

void TestHtmlPage::speakersFindTheirOwnLines()
{
    const QStringList names {"user#1", "user11", "a*b", "aXb", "[x]", "x", "who?", "whom"};
    QStringList log;
    for (const QString &n : names)
        log << n + QStringLiteral(" の発言 :") << n;
    QString got = convertOne(lines(log));
    const SpeakerHandover h = m_host.speakerDialogs.value(0);
    QCOMPARE(h.table.size(), names.size());
    for (qsizetype k = 0; k < h.table.size(); ++k) {
        const QString n = h.table[k].name;
        QVERIFY2(got.contains(QStringLiteral("<dt>%1 の発言 :\r\n<font class=%2>\r\n<dd>%1<br>")
                                  .arg(n, speakerClassName(k))),
                 qPrintable(n));
    }

    // Past 99 speakers the class numbers go on; "a", "A", "a" are the two speakers A and a.
    log.clear();
    for (int k = 1; k <= 101; ++k)
        log << QStringLiteral("s%1 の発言 :").arg(k, 3, 10, QLatin1Char('0'));
    log << "a の発言 :"
        << "A の発言 :"
        << "a の発言 :";
    got = convertOne(lines(log));
    const QList<SpeakerTableEntry> &table = m_host.speakerDialogs.last().table;
    QCOMPARE(table.size(), 103);
    QCOMPARE(table[0].name + table[1].name + table[2].name, QStringLiteral("Aas001"));
    QVERIFY(got.contains(QStringLiteral("<dt>s099 の発言 :\r\n<font class=HATSUGEN_101>")));
    QVERIFY(got.contains(QStringLiteral(".HATSUGEN_100{color:#000004;}")));
    QCOMPARE(got.count(QStringLiteral("<font class=HATSUGEN_01>")), 1); // "A" alone
}

// Most lines of a text log go into the page as their bytes; these need their text.
void TestHtmlPage::linesTheirBytesLeaveOpen_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("shown");
    QTest::newRow("standard header of no speaker")
        << lines({"A の発言：", "B の発言 :"})
        << QStringLiteral("<dt><font class=Bbody id=Bbody>B の発言 :</font><br>");
    QTest::newRow("send notice keeps the frame open")
        << lines({"A の発言：", Sep, "a.txt を送信しようとしています。", "accepted", Sep, "x"})
        << QStringLiteral("<dt><font class=nar id=nar>accepted</font><br>\r\n"
                          "\r\n<dt><font class=Bbody id=Bbody>―――――</font><br>\r\n<dd>x<br>");
    QTest::newRow("brackets, and a heart among them")
        << lines({"A の発言：", "(^^)", "(^^) (l)"})
        << QStringLiteral("<dd>(^^)<br>\r\n<dd>(^^) ") + HeartHtml + QStringLiteral("<br>");
    QTest::newRow("after a line of more than a megabyte")
        << lines({"A の発言：", QString((1 << 20) + 1, u'y'), Sep, "n", Sep, "z"})
        << QStringLiteral("<dt><font class=nar id=nar>n</font><br>\r\n"
                          "\r\n<dt><font class=Bbody id=Bbody>―――――</font><br>\r\n<dd>z<br>");
}

void TestHtmlPage::linesTheirBytesLeaveOpen()
{
    QFETCH(QString, log);
    QFETCH(QString, shown);
    m_state.settings.headerText = QStringLiteral(" の発言：");
    const QString got = convertOne(log);
    QVERIFY2(got.contains(shown), qPrintable(got.right(300)));
}

// A UTF-8 log is written from its bytes, header lines too; the same text in UTF-16 is decoded
// line by line: the pages are the same.
void TestHtmlPage::pageOfBytesIsPageOfText_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<bool>("nameToo");
    const QString log
        = lines({"A の発言：x の発言：y", "hi", "<b>B</b> の発言：", "(l)", "ア(L)イ の発言：",
                 "*ほし?[1] の発言：", "B の発言：", "A の発言："});
    QTest::newRow("header lines") << log << false;
    QTest::newRow("names in their colour too") << log << true;
}

void TestHtmlPage::pageOfBytesIsPageOfText()
{
    QFETCH(QString, log);
    QFETCH(bool, nameToo);
    m_state.settings.headerText = QStringLiteral(" の発言：");
    m_state.settings.colorNameToo = nameToo ? 1 : 0;
    const QByteArray utf16(reinterpret_cast<const char *>(log.utf16()), log.size() * 2);
    QByteArrayList pages;
    const QByteArrayList logs {QByteArray("\xEF\xBB\xBF") + log.toUtf8(),
                               QByteArray("\xFF\xFE") + utf16};
    for (const QByteArray &bytes : logs) {
        QDir(m_dir->path()).mkdir(QString::number(pages.size()));
        const QString path = writeFile(
            m_dir->filePath(QString::number(pages.size()) + QStringLiteral("/chat.txt")), bytes);
        select({path});
        convertToHtml(m_state, m_host);
        QFile page(path.chopped(8) + QStringLiteral("_chat.htm"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        pages.append(page.readAll());
    }
    QVERIFY(pages[0].contains("x の発言：y"));
    QCOMPARE(pages[0], pages[1]);
}

void TestHtmlPage::chunkedBody()
{
    QStringList log {QStringLiteral("A の発言 :")};
    QString body = QStringLiteral("<DL><dt>A の発言 :\r\n<font class=HATSUGEN_01>\r\n");
    for (int j = 1; j < 2500; ++j) {
        log << QString::number(j);
        body += QStringLiteral("<dd>%1<br>\r\n").arg(j);
    }
    const QString got = convertOne(lines(log));
    QVERIFY(got.endsWith(body + QStringLiteral("</font>\r\n</dl>\r\n</body>\r\n</html>\r\n")));
    QCOMPARE(got.count(QStringLiteral("<dd>")), 2499);
    QVERIFY(m_host.eventsProcessed >= 2); // at the chunk boundaries 1000 and 2000
    QCOMPARE(m_host.progressMaximum, 2499);
}

void TestHtmlPage::dialogOutcomes()
{
    const QString first = writeLog(QStringLiteral("a.txt"), lines({"A の発言 :"}));
    const QString second = writeLog(QStringLiteral("b.txt"), lines({"B の発言 :"}));
    select({first, second});

    // Closed without OK on the first log: nothing is written, the run stops.
    m_host.onSpeakerDialog = [](SpeakerHandover &h) {
        h.colorDialogCloses = 1;
    };
    convertToHtml(m_state, m_host);
    QCOMPARE(m_host.speakerDialogs.size(), 1);
    QCOMPARE(m_state.colorDialogCloses, 1);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("_a.htm"))));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("_b.htm"))));
    QCOMPARE(m_host.statusTexts.last(), QString());

    // OK with a colour changed: the page uses the chosen colour.
    m_host.onSpeakerDialog = [](SpeakerHandover &h) {
        h.speakerColors[0] = QStringLiteral("#ABCDEF");
        h.colorDialogCloses = 2;
    };
    convertToHtml(m_state, m_host);
    QCOMPARE(m_state.colorDialogCloses, 2);
    QVERIFY(page(second).contains(QStringLiteral(".HATSUGEN_01{color:#ABCDEF;}")));
    QVERIFY(page(first).contains(QStringLiteral("<title>a : A</title>")));

    // Confirmed for the rest of the run: one dialog, naming its log; the later logs keep the
    // colour chosen for each name.
    const QString third = writeLog(QStringLiteral("c.txt"), lines({"B の発言 :", "C の発言 :"}));
    writeLog(QStringLiteral("a.txt"), lines({"A の発言 :", "B の発言 :"}));
    select({first, third, second});
    m_host.speakerDialogs.clear();
    m_host.onSpeakerDialog = [](SpeakerHandover &h) {
        h.table[1].paletteIndex = QStringLiteral("5"); // B
        h.speakerColors[1] = QStringLiteral("#000005");
        h.forRestOfRun = true;
        h.colorDialogCloses = 2;
    };
    convertToHtml(m_state, m_host);
    QCOMPARE(m_host.speakerDialogs.size(), 1);
    const SpeakerHandover &asked = m_host.speakerDialogs.first();
    QCOMPARE(asked.logName + u' ' + QString::number(asked.logNumber) + u'/'
                 + QString::number(asked.logCount),
             QStringLiteral("a.txt 1/3"));
    QVERIFY(page(third).contains(QStringLiteral(".HATSUGEN_01{color:#000005;}"))); // B
    QVERIFY(page(second).contains(QStringLiteral(".HATSUGEN_01{color:#000005;}")));
    m_host.onSpeakerDialog = nullptr;
    convertToHtml(m_state, m_host); // a new run asks again
    QCOMPARE(m_host.speakerDialogs.size(), 4);

    // A log without speakers: reported, nothing written, and the outcome is reset.
    const QString none = writeLog(QStringLiteral("d.txt"), lines({"no header here"}));
    select({none});
    convertToHtml(m_state, m_host);
    QCOMPARE(m_state.colorDialogCloses, 0);
    QCOMPARE(m_host.messages.last().title, QStringLiteral("ログ解析エラー"));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("_d.htm"))));
}

QTEST_GUILESS_MAIN(TestHtmlPage)
#include "tst_htmlpage.moc"

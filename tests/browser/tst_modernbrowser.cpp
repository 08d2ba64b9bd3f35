#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/page/distinctcolors.h"
#include "support/recordinghost.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Chromium = QStringLiteral("/usr/bin/chromium");
constexpr int ChromiumTimeoutMs = 90000;

// What Chromium made of a page: the page's DOM, its console and the requests it sent.
struct BrowserRun
{
    QByteArray dom;
    QStringList console; // every console message of the page
    QStringList requests; // every request the page itself sent
};

BrowserRun runChromium(const QString &pagePath, const QStringList &extra, const QString &workDir)
{
    QTemporaryDir profile;
    const QString netLog = workDir + QStringLiteral("/net.json");
    QFile::remove(netLog);
    QProcess chromium;
    chromium.setProcessChannelMode(QProcess::SeparateChannels);
    chromium.start(Chromium,
                   QStringList {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                                QStringLiteral("--disable-gpu"), QStringLiteral("--no-first-run"),
                                QStringLiteral("--disable-background-networking"),
                                QStringLiteral("--disable-component-update"),
                                QStringLiteral("--disable-sync"),
                                QStringLiteral("--hide-scrollbars"),
                                QStringLiteral("--user-data-dir=") + profile.path(),
                                QStringLiteral("--window-size=400,900"),
                                QStringLiteral("--enable-logging=stderr"), QStringLiteral("--v=0"),
                                QStringLiteral("--log-net-log=") + netLog,
                                QStringLiteral("--virtual-time-budget=30000")}
                       + extra + QStringList {QStringLiteral("file://") + pagePath});
    BrowserRun run;
    if (!chromium.waitForStarted(ChromiumTimeoutMs))
        return run;
    if (!chromium.waitForFinished(ChromiumTimeoutMs)) {
        chromium.kill();
        chromium.waitForFinished(5000);
        qWarning("chromium did not finish in time");
        return run;
    }
    run.dom = chromium.readAllStandardOutput();
    for (const QByteArray &line : chromium.readAllStandardError().split('\n')) {
        if (line.contains(":CONSOLE"))
            run.console.append(QString::fromUtf8(line));
    }
    // The page's own requests: those of the file's origin, which Chromium writes as "null".
    QFile log(netLog);
    if (log.open(QIODevice::ReadOnly)) {
        const QJsonArray events = QJsonDocument::fromJson(log.readAll())["events"].toArray();
        for (const QJsonValue &event : events) {
            const QJsonObject params = event[QLatin1String("params")].toObject();
            const QString url = params[QLatin1String("url")].toString();
            if (params[QLatin1String("initiator")].toString() == u"null"
                && !url.startsWith(u"file:"))
                run.requests.append(url);
        }
    }
    return run;
}

QJsonObject checkResults(const QByteArray &dom)
{
    const QByteArray open = "<pre id=\"pelorin-result\">";
    const qsizetype from = dom.indexOf(open);
    const qsizetype to = dom.indexOf("</pre>", from);
    if (from < 0 || to < from)
        return QJsonObject();
    QByteArray json = dom.mid(from + open.size(), to - from - open.size());
    json.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
    return QJsonDocument::fromJson(json).object();
}

} // namespace

// Modern pages opened in headless Chromium at a phone's width: what they fetch, what they say
// on the console, their colours in both themes, the filters, the search, links and chat text
// that tries to run a script.
class TestModernBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void page_data();
    void page();
    void screenshot();

private:
    QString makePage(const QString &name, const Palette &palette, const QStringList &logs);
    void runChecks(const QString &label, const QString &page, const QByteArray &expected,
                   const QStringList &extra, const QByteArray &slip = QByteArray());

    QTemporaryDir m_dir;
    QList<std::pair<QString, QJsonObject>> m_results; // row name, result
    QString m_fullPage;
};

// The logs converted in one run, as name, name2, name3, …; the last one's page.
QString TestModernBrowser::makePage(const QString &name, const Palette &palette,
                                    const QStringList &logs)
{
    AppState state;
    Settings &s = state.settings;
    s.iniPath = m_dir.filePath(QStringLiteral("settings.ini"));
    s.headerText = QStringLiteral(" の発言 :");
    s.changeType = 1;
    s.bodyColor = QStringLiteral("#000000");
    s.narColor = QStringLiteral("#0000FF");
    s.pageStyle = pageStyleWord(PageStyle::Modern);
    state.palette = palette;
    s.colorCount = int(palette.size());
    QList<Selection::Item> items;
    QString stem;
    for (qsizetype i = 0; i < logs.size(); ++i) {
        const QString logName = i ? name + QString::number(i + 1) : name;
        const QString logPath = m_dir.filePath(logName + QStringLiteral(".txt"));
        QFile logFile(logPath);
        if (!logFile.open(QIODevice::WriteOnly))
            return QString();
        // A LINE talk history is UTF-8, as the app writes it.
        logFile.write(logs[i].startsWith(u"[LINE]") ? logs[i].toUtf8() : cp932::encode(logs[i]));
        logFile.close();
        stem = m_dir.filePath(u'_' + logName + u'.');
        items.append({logPath, stem});
    }
    state.selection.setItems(items);
    RecordingHost host;
    convertToHtml(state, host);
    return stem + QStringLiteral("htm");
}

// `slip`: markup put into the page's text as if the chat filter had let it through; the page's
// security policy must keep it from running or fetching anything.
void TestModernBrowser::runChecks(const QString &label, const QString &page,
                                  const QByteArray &expected, const QStringList &extra,
                                  const QByteArray &slip)
{
    QFile file(page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QFile script(QStringLiteral(PELORIN_SOURCE_DIR "/tests/browser/modernpagecheck.js"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    const QString checked = page + QStringLiteral(".checked.htm");
    QFile out(checked);
    QVERIFY(out.open(QIODevice::WriteOnly));
    // The page's policy lets the check script run too, and nothing else.
    const QByteArray check = "window.PELORIN_EXPECTED = " + expected + ";\n" + script.readAll();
    const QByteArray hash = "'sha256-"
        + QCryptographicHash::hash(check, QCryptographicHash::Sha256).toBase64() + "' ";
    QByteArray html = file.readAll();
    QVERIFY(html.contains("script-src 'sha256-"));
    html.replace("script-src ", QByteArray("script-src " + hash));
    html.replace("<main id=\"log\">\n", QByteArray("<main id=\"log\">\n" + slip));
    out.write(html + "<script>" + check + "</script>\n");
    out.close();

    const BrowserRun run
        = runChromium(checked, extra + QStringList {QStringLiteral("--dump-dom")}, m_dir.path());
    const QJsonObject results = checkResults(run.dom);
    QVERIFY2(!results.isEmpty(),
             qPrintable(QStringLiteral("no check result in Chromium's page: ")
                        + QString::fromUtf8(run.dom.right(2000))));
    for (auto it = results.begin(); it != results.end(); ++it)
        m_results.append({label + u": " + it.key(), it.value().toObject()});
    const auto row = [&](const QString &name, const QStringList &found) {
        m_results.append({label + u": " + name,
                          QJsonObject {{"ok", found.isEmpty()},
                                       {"actual", found.join(u'\n')},
                                       {"expected", QStringLiteral("none")}}});
    };
    // A slip is refused by the policy, which Chromium reports on the console; nothing else.
    QStringList console = run.console;
    if (!slip.isEmpty())
        console.removeIf([](const QString &m) { return m.contains(u"Content Security Policy"); });
    row(QStringLiteral("console messages"), console);
    row(QStringLiteral("requests outside the file"), run.requests);
}

void TestModernBrowser::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(QFile::exists(Chromium),
             "Chromium is needed for the browser tests: install the chromium package "
             "(scripts/deps.sh lists it)");

    // Hostile chat text, links, a notice, a speaker's run of messages and words to search for.
    const QString log = QStringLiteral(
        "Ann の発言 :\r\nwords of Ann with a needle\r\n<b>strong words</b>\r\n"
        "<script>window.PELORIN_INJECTED = 1;</script>\r\n"
        "<img src=x onerror=\"window.PELORIN_INJECTED = 2\">\r\n"
        "<b onmouseover=\"window.PELORIN_INJECTED = 3\">bold</b>\r\n"
        "<iframe src=\"javascript:window.PELORIN_INJECTED = 4\"></iframe>\r\n"
        "<a href=\"javascript:window.PELORIN_INJECTED = 5\">x</a> javascript:alert(1)\r\n"
        "see https://example.org/a?b=1&c=2 and http://example.com/.\r\n"
        "<font face=\"a>b http://127.0.0.1:9/ onfocus=window.PELORIN_INJECTED=6 autofocus\">x\r\n"
        "―――――\r\nBo joined\r\n―――――\r\n"
        "Bo の発言 :\r\nwords of Bo\r\nmore of Bo\r\n"
        "Bo の発言 :\r\nｗｗｗ and おやすみ and ﾃﾞｰﾀ and ＡＢＣ and ΟΔΟΣ\r\n"
        "https://example.org/?q=xyz&region=jp&notify=1&times=3&copy=2&amp;lang=ja\r\n"
        "Ann の発言 :\r\nagain a needle\r\n");
    m_fullPage = makePage(QStringLiteral("chat"), colorcode::defaultPalette(), {log});
    const QByteArray expected
        = "{full: true, systemDark: false, firstSpeakerUtterances: 2, search: 'needle', "
          "searchMatches: 2, links: 4, utterances: 4, grouped: 1, days: 0, "
          "address: 'https://example.org/?q=xyz&region=jp&notify=1&times=3&copy=2&lang=ja', "
          "fold: [['www', 'ｗｗｗ'], ['オヤスミ', 'おやすみ'], ['でーた', 'ﾃﾞｰﾀ'], ['abc', "
          "'ＡＢＣ'], "
          "['REGION', 'region'], ['σ', 'Σ']]";
    runChecks(QStringLiteral("default palette"), m_fullPage, expected + "}", {});
    // What the filter keeps out, put into the page behind its back.
    runChecks(QStringLiteral("security policy"), m_fullPage, expected + ", slip: true}", {},
              "<script>window.PELORIN_INJECTED = 7;</script><img src=\"http://127.0.0.1:9/i\" "
              "onerror=\"window.PELORIN_INJECTED = 8\"><style>@import "
              "url(http://127.0.0.1:9/s.css);</style><div "
              "style=\"background:url(http://127.0.0.1:9/b)\">slip</div>\n");

    // Very light and very dark colours, eight speakers, read in a dark system theme.
    const Palette extreme
        = {{"#FFFFFF", "a"}, {"#FFFFCC", "b"}, {"#000000", "c"}, {"#0A0A0A", "d"},
           {"#FFFF00", "e"}, {"#00FFFF", "f"}, {"#202020", "g"}, {"#F0F0F0", "h"}};
    QString many;
    for (int k = 1; k <= 8; ++k)
        many += QStringLiteral("Speaker%1 の発言 :\r\nline %1\r\n").arg(k);
    const QString extremePage = makePage(QStringLiteral("extreme"), extreme, {many});
    runChecks(QStringLiteral("light and dark palette"), extremePage,
              "{full: false, systemDark: true, links: 0, utterances: 8}",
              {QStringLiteral("--force-dark-mode"),
               QStringLiteral("--blink-settings=preferredColorScheme=0")});

    // Thirty speakers on the default palette, and three logs of one run whose third page has
    // names the first two gave the same colour: each a colour of its own in both themes.
    QString thirty;
    for (int k = 1; k <= 30; ++k)
        thirty
            += QStringLiteral("Member%1 の発言 :\r\nline %1\r\n").arg(k, 2, 10, QLatin1Char('0'));
    const auto speakersApart = [](int speakers) -> QByteArray {
        return "{full: false, systemDark: false, links: 0, utterances: "
            + QByteArray::number(speakers) + ", speakers: " + QByteArray::number(speakers)
            + ", apart: " + QByteArray::number(distinct::MinimumDifference)
            + ", deltaE: " + QByteArray::number(distinct::MinimumDeltaE) + "}";
    };
    runChecks(QStringLiteral("thirty speakers"),
              makePage(QStringLiteral("thirty"), colorcode::defaultPalette(), {thirty}),
              speakersApart(30), {});
    const auto logOf = [](const char *names) {
        QString text;
        for (const QString &name : QString::fromLatin1(names).split(u' '))
            text += name + QStringLiteral(" の発言 :\r\nx\r\n");
        return text;
    };
    runChecks(QStringLiteral("three logs"),
              makePage(QStringLiteral("run"), colorcode::defaultPalette(),
                       {logOf("A B"), logOf("B C"), logOf("A B C")}),
              speakersApart(3), {});

    // Days of a LINE talk history, each under its heading.
    QString days = QStringLiteral("[LINE] Annとのトーク履歴\r\n保存日時：2024/02/01 10:00\r\n\r\n");
    for (int day = 1; day <= 4; ++day) {
        days += QStringLiteral("2024/01/%1(月)\r\n").arg(day, 2, 10, QLatin1Char('0'));
        for (int k = 0; k < 12; ++k)
            days += QStringLiteral("21:%1\tAnn\tline %1\r\n").arg(k, 2, 10, QLatin1Char('0'));
        days += QStringLiteral("\r\n");
    }
    runChecks(QStringLiteral("days"),
              makePage(QStringLiteral("days"), colorcode::defaultPalette(), {days}),
              "{full: false, systemDark: false, links: 0, utterances: 48, days: 4}", {});

    // Two months of a LINE talk history, one speaker's name trying to be markup: the figures
    // of the statistics.
    const QString hostile = QStringLiteral("<script>window.PELORIN_INJECTED=9</script> & \"Q\"");
    const QString talk
        = QStringLiteral("[LINE] Annとのトーク履歴\r\n保存日時：2024/03/01 10:00\r\n\r\n"
                         "2024/01/30(火)\r\n21:00\tAnn\thello\r\n21:05\t")
        + hostile
        + QStringLiteral("\thi\r\n\r\n2024/01/31(水)\r\n08:15\tAnn\tmorning\r\n\r\n"
                         "2024/02/01(木)\r\n23:59\tAnn\tlate\r\n\r\n"
                         "2024/02/03(土)\r\n10:00\t")
        + hostile + QStringLiteral("\tlast\r\n");
    // In the check script's own text "<" is written as an escape.
    const QByteArray name = "\\u003cscript>window.PELORIN_INJECTED=9\\u003c/script> & \\\"Q\\\"";
    runChecks(QStringLiteral("statistics"),
              makePage(QStringLiteral("stats"), colorcode::defaultPalette(), {talk}),
              "{full: false, systemDark: false, links: 0, utterances: 5, days: 4, stats: {"
              "speakers: ['Ann: 3 件', '"
                  + name
                  + ": 2 件'], "
                    "months: ['2024/01: 3 件', '2024/02: 2 件'], "
                    "moments: ['2024/01/30 21:00 Ann', '2024/02/03 10:00 "
                  + name
                  + "', "
                    "'3 日（2024/01/30 ～ 2024/02/01）'], busiest: ['火曜 21時台: 2 件']}, "
                    "calendar: {days: ['2024年1月30日 2件', '2024年1月31日 1件', "
                    "'2024年2月1日 1件', '2024年2月3日 1件'], open: '2024年 ', "
                    "jump: 'd20240131'}}",
              {});

    // A long talk: its chapters are drawn only as they come into view.
    QString talkLong
        = QStringLiteral("[LINE] Boとのトーク履歴\r\n保存日時：2024/03/01 10:00\r\n\r\n");
    QByteArray calendarDays;
    for (int day = 1; day <= 30; ++day) {
        talkLong += QStringLiteral("2024/01/%1(月)\r\n").arg(day, 2, 10, QLatin1Char('0'));
        for (int k = 0; k < 40; ++k)
            talkLong += QStringLiteral("10:%1\t%2\tline %1\r\n")
                            .arg(k, 2, 10, QLatin1Char('0'))
                            .arg(k % 3 ? QStringLiteral("Bo") : QStringLiteral("Cy"));
        talkLong += QStringLiteral("\r\n");
        calendarDays += (day > 1 ? ", '" : "['") + QByteArray("2024年1月") + QByteArray::number(day)
            + "日 40件'";
    }
    calendarDays += ']';
    runChecks(QStringLiteral("long talk"),
              makePage(QStringLiteral("long"), colorcode::defaultPalette(), {talkLong}),
              "{full: false, systemDark: false, links: 0, utterances: 1200, days: 30, "
              "calendar: {days: "
                  + calendarDays + ", open: '2024年 ', jump: 'd20240127'}}",
              {});
}

void TestModernBrowser::page_data()
{
    QTest::addColumn<QJsonObject>("result");
    for (const auto &[name, result] : std::as_const(m_results))
        QTest::newRow(qPrintable(name)) << result;
}

void TestModernBrowser::page()
{
    QFETCH(QJsonObject, result);
    QVERIFY2(result.value(QStringLiteral("ok")).toBool(),
             qPrintable(QStringLiteral("got %1, expected %2")
                            .arg(result.value(QStringLiteral("actual")).toString(),
                                 result.value(QStringLiteral("expected")).toString())));
}

// The page at a phone's width, as a picture (kept in the test's folder while it runs).
void TestModernBrowser::screenshot()
{
    const QString png = m_dir.filePath(QStringLiteral("phone.png"));
    runChromium(m_fullPage, {QStringLiteral("--screenshot=") + png}, m_dir.path());
    QFile picture(png);
    QVERIFY(picture.open(QIODevice::ReadOnly));
    QVERIFY(picture.readAll().startsWith("\x89PNG"));
}

QTEST_GUILESS_MAIN(TestModernBrowser)
#include "tst_modernbrowser.moc"

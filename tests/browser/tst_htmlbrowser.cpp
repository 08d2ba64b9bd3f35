#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "support/recordinghost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Chromium = QStringLiteral("/usr/bin/chromium");
constexpr int ChromiumTimeoutMs = 90000;

const QString AnnColor = QStringLiteral("#0000FF");
const QString BoColor = QStringLiteral("#008000");
const QString BodyColor = QStringLiteral("#123456");
const QString NarColor = QStringLiteral("#654321");
const QString PickColor = QStringLiteral("#FF00FF");

} // namespace

// Generated pages opened in headless Chromium: colours, the legend's controls, and chat text
// that tries to run a script.
class TestHtmlBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void page_data();
    void page();
    void utf8Page();

private:
    QByteArray dumpDom(const QString &pagePath);

    QTemporaryDir m_dir;
    QJsonObject m_results;
};

QByteArray TestHtmlBrowser::dumpDom(const QString &pagePath)
{
    QTemporaryDir profile;
    QProcess chromium;
    chromium.setProcessChannelMode(QProcess::SeparateChannels);
    chromium.start(Chromium,
                   {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                    QStringLiteral("--disable-gpu"), QStringLiteral("--no-first-run"),
                    QStringLiteral("--disable-background-networking"),
                    QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                    QStringLiteral("--user-data-dir=") + profile.path(),
                    QStringLiteral("--virtual-time-budget=5000"), QStringLiteral("--dump-dom"),
                    QStringLiteral("file://") + pagePath});
    if (!chromium.waitForStarted(ChromiumTimeoutMs))
        return QByteArray();
    if (!chromium.waitForFinished(ChromiumTimeoutMs)) {
        chromium.kill();
        chromium.waitForFinished(5000);
        qWarning("chromium did not finish in time");
        return QByteArray();
    }
    return chromium.readAllStandardOutput();
}

void TestHtmlBrowser::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(QFile::exists(Chromium),
             "Chromium is needed for the browser tests: install the chromium package "
             "(scripts/deps.sh lists it)");

    AppState state;
    Settings &s = state.settings;
    s.iniPath = m_dir.filePath(QStringLiteral("settings.ini"));
    s.headerText = QStringLiteral(" の発言 :");
    s.changeType = 1;
    s.bodyColor = BodyColor;
    s.narColor = NarColor;
    s.jsBgColor = s.jsForeColor = s.jsFontBold = JsWanted;
    // The fourth colour code, as a crafted settings file could hold it, must stay inert.
    state.palette = {{AnnColor, QStringLiteral("blue")},
                     {BoColor, QStringLiteral("green")},
                     {PickColor, QStringLiteral("pink")},
                     {QStringLiteral("\"><img src=x onerror=\"window.PELORIN_INJECTED = 4\">"),
                      QStringLiteral("<img src=x onerror=\"window.PELORIN_INJECTED = 5\">")}};
    s.colorCount = 4;

    const QString log = QStringLiteral("Ann の発言 :\r\nwords of Ann\r\n<b>strong words</b>\r\n"
                                       "<script>window.PELORIN_INJECTED = 1;</script>\r\n"
                                       "<img src=x onerror=\"window.PELORIN_INJECTED = 2\">\r\n"
                                       "<b onmouseover=\"window.PELORIN_INJECTED = 3\">bold</b>\r\n"
                                       "―――――\r\nBo joined\r\n―――――\r\n"
                                       "Bo の発言 :\r\nwords of Bo\r\nmore of Bo\r\n");
    const QString logPath = m_dir.filePath(QStringLiteral("chat.txt"));
    QFile logFile(logPath);
    QVERIFY(logFile.open(QIODevice::WriteOnly));
    logFile.write(cp932::encode(log));
    logFile.close();
    state.selection.setItems({{logPath, m_dir.filePath(QStringLiteral("_chat."))}});
    RecordingHost host;
    convertToHtml(state, host);

    QFile page(m_dir.filePath(QStringLiteral("_chat.htm")));
    QVERIFY(page.open(QIODevice::ReadOnly));
    QByteArray html = page.readAll();
    QVERIFY(html.contains("<font class=HATSUGEN_01 id=HATSUGEN_01>"));

    QFile script(QStringLiteral(PELORIN_SOURCE_DIR "/tests/browser/pagecheck.js"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    html += "<script>window.PELORIN_EXPECTED = {ann: '" + AnnColor.toLatin1() + "', bo: '"
        + BoColor.toLatin1() + "', body: '" + BodyColor.toLatin1() + "', nar: '"
        + NarColor.toLatin1() + "', pick: '" + PickColor.toLatin1() + "'};\n" + script.readAll()
        + "</script>\r\n";
    const QString checkedPath = m_dir.filePath(QStringLiteral("checked.htm"));
    QFile checked(checkedPath);
    QVERIFY(checked.open(QIODevice::WriteOnly));
    checked.write(html);
    checked.close();

    const QByteArray dom = dumpDom(checkedPath);
    const QByteArray open = "<pre id=\"pelorin-result\">";
    const qsizetype from = dom.indexOf(open);
    const qsizetype to = dom.indexOf("</pre>", from);
    QVERIFY2(from >= 0 && to > from,
             qPrintable(QStringLiteral("no check result in Chromium's page: ")
                        + QString::fromUtf8(dom.right(2000))));
    QByteArray json = dom.mid(from + open.size(), to - from - open.size());
    json.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
    QJsonParseError error;
    m_results = QJsonDocument::fromJson(json, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QCOMPARE(m_results.size(), 18); // every check ran
    QVERIFY2(!m_results.contains(QStringLiteral("check script")),
             qPrintable(m_results.value(QStringLiteral("check script"))
                            .toObject()
                            .value(QStringLiteral("actual"))
                            .toString()));
}

void TestHtmlBrowser::page_data()
{
    // One row per check the script in the page made.
    QTest::addColumn<QString>("check");
    for (const QString &name : m_results.keys())
        QTest::newRow(qPrintable(name)) << name;
}

void TestHtmlBrowser::page()
{
    QFETCH(QString, check);
    const QJsonObject r = m_results.value(check).toObject();
    QVERIFY2(r.value(QStringLiteral("ok")).toBool(),
             qPrintable(QStringLiteral("got %1, expected %2")
                            .arg(r.value(QStringLiteral("actual")).toString(),
                                 r.value(QStringLiteral("expected")).toString())));
}

// The page of a UTF-8 log with LF line ends: read as UTF-8 by the browser, every character
// shown as itself, each speaker in its colour.
void TestHtmlBrowser::utf8Page()
{
    AppState state;
    state.settings.iniPath = m_dir.filePath(QStringLiteral("missing.ini"));
    loadSettings(state.settings, state.palette);
    state.palette[0].code = AnnColor;
    state.palette[1].code = BoColor;
    const QString logPath = m_dir.filePath(QStringLiteral("utf8/chat.txt"));
    QVERIFY(QDir().mkpath(QFileInfo(logPath).path()));
    QFile logFile(logPath);
    QVERIFY(logFile.open(QIODevice::WriteOnly));
    logFile.write(
        QStringLiteral("あん の発言：\nこんばんは😀\nぼー の発言：\n𠮷野家で①\n").toUtf8());
    logFile.close();
    state.selection.setItems({{logPath, m_dir.filePath(QStringLiteral("utf8/_chat."))}});
    RecordingHost host;
    convertToHtml(state, host);
    QFile page(m_dir.filePath(QStringLiteral("utf8/_chat.htm")));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray check
        = "<script>window.addEventListener('load', function () {\n"
          "  function colorOf(text) {\n"
          "    var w = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);\n"
          "    for (var n = w.nextNode(); n; n = w.nextNode())\n"
          "      if (n.nodeValue.indexOf(text) >= 0) return "
          "getComputedStyle(n.parentElement).color;\n"
          "    return 'missing';\n"
          "  }\n"
          "  var out = document.createElement('pre');\n"
          "  out.id = 'pelorin-result';\n"
          "  out.textContent = [document.characterSet, colorOf('こんばんは😀'), "
          "colorOf('𠮷野家で①')]"
          ".join('|');\n"
          "  document.body.appendChild(out);\n"
          "});</script>\r\n";
    const QString checkedPath = m_dir.filePath(QStringLiteral("utf8/checked.htm"));
    QFile checked(checkedPath);
    QVERIFY(checked.open(QIODevice::WriteOnly));
    checked.write(page.readAll() + check);
    checked.close();
    const QByteArray dom = dumpDom(checkedPath);
    const QByteArray open = "<pre id=\"pelorin-result\">";
    const qsizetype from = dom.indexOf(open);
    QVERIFY2(from >= 0, dom.right(2000).constData());
    const QString result = QString::fromUtf8(dom.mid(from + open.size()).split('<').first());
    QCOMPARE(result, QStringLiteral("UTF-8|rgb(0, 0, 255)|rgb(0, 128, 0)"));
}

QTEST_GUILESS_MAIN(TestHtmlBrowser)
#include "tst_htmlbrowser.moc"

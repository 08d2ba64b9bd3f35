#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/intake.h"
#include "support/files.h"
#include "support/recordinghost.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A LINE export of one day.
QByteArray lineExport(const QString &chat, const QString &day, const QStringList &messages)
{
    return (QStringLiteral("[LINE] %1とのトーク履歴\n保存日時：2024/02/01 10:00\n\n%2(月)\n")
                .arg(chat, day)
            + messages.join(u'\n') + u'\n')
        .toUtf8();
}

// Messages on 28 days, the words on the last, and more after them.
QStringList manyDays()
{
    QStringList lines;
    for (int day = 1; day <= 28; ++day)
        lines << QStringLiteral("2023/05/%1(月)").arg(day, 2, 10, QLatin1Char('0'))
              << QStringLiteral("08:59\tじろう\tおはよう");
    lines << QStringLiteral("09:00\tじろう\tおやすみ needle");
    for (int k = 0; k < 40; ++k)
        lines << QStringLiteral("09:01\tじろう\tまた");
    return lines;
}

} // namespace

// A folder's index page in headless Chromium (driven by indexcheck.js over the DevTools
// protocol): its rows, its search across the pages it lists, the hits' links to their messages,
// chat text that tries to be markup, the links between pages, each page's months as a sparkline,
// both themes and a phone's width.
class TestIndexBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void index_data();
    void index();

private:
    QTemporaryDir m_dir;
    QJsonObject m_results;
};

void TestIndexBrowser::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    const auto log = [this](const QString &name, const QByteArray &bytes) {
        return writeFile(m_dir.filePath(name), bytes);
    };
    const QStringList logs {
        log(QStringLiteral("new.txt"),
            lineExport(QStringLiteral("はなこ"), QStringLiteral("2024/01/15"),
                       {QStringLiteral("21:03\tたろう\tこんばんは"),
                        QStringLiteral("21:04\tはなこ\tThe NEEDLE is here, ΟΔΟΣ"),
                        QStringLiteral("21:05\tはなこ\t<b>not bold</b> &lt; zebra \"q\" \\ "
                                       "</script>\u2028end"),
                        QStringLiteral("21:06\tはなこ\tｶﾞｯｺｳ ㈱ \U0001F600 Ⅻ")})),
        // The words after many short days: sections the page has not drawn yet are reckoned
        // taller than they are.
        log(QStringLiteral("old.txt"),
            lineExport(QStringLiteral("じろう"), QStringLiteral("2023/04/30"), manyDays())),
        log(QStringLiteral("undated.txt"),
            cp932::encode(QStringLiteral(
                "Ann の発言 :\r\nnothing here\r\nBo の発言 :\r\nyak <img src=x onerror=\"window."
                "PELORIN_INJECTED=1\"> <script>window.PELORIN_INJECTED=2</script>\r\n"))),
    };
    // The text log is dated by its file's time: older than the others, so it comes last.
    {
        QFile undated(logs.last());
        QVERIFY(undated.open(QIODevice::ReadWrite)
                && undated.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(12, 0)),
                                       QFileDevice::FileModificationTime));
    }
    AppState state;
    Settings &s = state.settings;
    s.iniPath = m_dir.filePath(QStringLiteral("settings.ini"));
    s.headerText = QStringLiteral(" の発言 :");
    s.changeType = 1;
    s.addStr = QStringLiteral("_");
    s.pageStyle = pageStyleWord(PageStyle::Modern);
    s.makeIndex = 1;
    state.palette = colorcode::defaultPalette();
    s.colorCount = 8;
    QList<Selection::Item> items;
    for (const QString &path : logs)
        items.append({path, outputStem(path, s.addStr)});
    state.selection.setItems(items);
    RecordingHost host;
    convertToHtml(state, host);
    QVERIFY(host.messages.isEmpty());

    const QByteArray expected = R"json({
      "rows": ["_new.htm", "_old.htm", "_undated.htm"],
      "search": "needle",
      "hits": ["_new.htm#u2", "_old.htm#u29"],
      "read": ["_new.htm.js", "_old.htm.js"],
      "alike": [["ＮＥＥＤＬＥ", ["_new.htm#u2", "_old.htm#u29"]], ["オヤスミ NEEDLE", ["_old.htm#u29"]],
                ["σ", ["_new.htm#u2"]], ["がっこう", ["_new.htm#u4"]], ["(株)", ["_new.htm#u4"]],
                ["\uD83D\uDE00", ["_new.htm#u4"]], ["XII", ["_new.htm#u4"]]],
      "firstHit": ["はなこ", "2024/01/15", "はなこ"],
      "snippets": [["zebra", "<b>not bold</b> &lt; zebra \"q\" \\ </script> end"],
                   ["yak", "yak <img src=x onerror=\"window.PELORIN_INJECTED=1\"> <script>window.PELORIN_INJECTED=2</script>"]],
      "nav": [["_old.htm", "prev", "_undated.htm"], ["_old.htm", "next", "_new.htm"],
              ["_undated.htm", "next", "_old.htm"]],
      "months": ["2024/01 4", "2023/05 69", null],
      "sparklines": [["月ごとの発言数: 2024/01 の 4 件", 2, true],
                     ["月ごとの発言数: 2023/05 の 69 件", 2, true], null],
      "timeline": [["2023年5月 69 件", [["じろう", "_old.htm#d20230501"]]],
                   ["2024年1月 4 件", [["はなこ", "_new.htm#d20240115"]]]]
    })json";
    const QString expectedPath
        = writeFile(m_dir.filePath(QStringLiteral("expected.json")), expected);
    QProcess node;
    QStringList args {QStringLiteral(PELORIN_SOURCE_DIR "/tests/browser/indexcheck.js"),
                      m_dir.filePath(QStringLiteral("_index.htm")), expectedPath};
    if (const QByteArray shots = qgetenv("PELORIN_SCREENSHOTS"); !shots.isEmpty())
        args.append(QString::fromLocal8Bit(shots));
    node.start(QStringLiteral("node"), args);
    QVERIFY2(node.waitForFinished(240000), "the index check did not finish");
    m_results = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    QVERIFY2(!m_results.isEmpty(), node.readAllStandardError().constData());
}

void TestIndexBrowser::index_data()
{
    QTest::addColumn<QJsonObject>("result");
    for (auto it = m_results.begin(); it != m_results.end(); ++it)
        QTest::newRow(qPrintable(it.key())) << it.value().toObject();
}

void TestIndexBrowser::index()
{
    QFETCH(QJsonObject, result);
    QVERIFY2(result.value(QStringLiteral("ok")).toBool(),
             qPrintable(QStringLiteral("got %1, expected %2")
                            .arg(result.value(QStringLiteral("actual")).toString(),
                                 result.value(QStringLiteral("expected")).toString())));
}

QTEST_GUILESS_MAIN(TestIndexBrowser)
#include "tst_indexbrowser.moc"

#include "app/batchrun.h"
#include "app/commandline.h"
#include "codec/cp932.h"
#include "settings/inifile.h"
#include "settings/settings.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

// `pelorin --batch --html` from the command line to the pages on disk.
class TestHtmlBatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void textAndXmlLogs();
    void modernPagesWithIndex();
    void exportPages();
};

namespace {

QString readPage(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? cp932::decode(f.readAll()) : QString();
}

} // namespace

void TestHtmlBatch::textAndXmlLogs()
{
    QTemporaryDir dir;
    // A settings file with the defaults, then the options this run needs.
    Settings settings;
    Palette palette;
    settings.iniPath = dir.filePath(QStringLiteral("settings.ini"));
    loadSettings(settings, palette);
    settings.jsForeColor = JsWanted;
    QVERIFY(saveSettings(settings, palette));
    writeIniValue(settings.iniPath, QStringLiteral("MsgRule"), QStringLiteral("Count"),
                  QStringLiteral("1"));
    writeIniValue(settings.iniPath, QStringLiteral("MsgRule"), QStringLiteral("rule_01"),
                  QStringLiteral("04<$>さん<$>最後にあったら"));
    writeIniValue(settings.iniPath, QStringLiteral("MsgRule"), QStringLiteral("Enable"),
                  QStringLiteral("1"));
    loadSettings(settings, palette);
    const QString header = settings.headerText;

    const QString text = writeFile(
        dir.filePath(QStringLiteral("day.one.txt")),
        cp932::encode(QStringLiteral("田中さん%1\r\nこんにちは\r\nBob%1\r\nhi\r\n").arg(header)));
    const QString xml = writeFile(
        dir.filePath(QStringLiteral("hist.xml")),
        "<?xml version=\"1.0\"?><?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>"
        "<Log><Message><From><User FriendlyName=\"Ann\"/></From><Text>yo &#x1F600;</Text></Message>"
        "<Leave><User FriendlyName=\"Ann\"/><Text>Ann left</Text></Leave></Log>");
    const QString broken = writeFile(dir.filePath(QStringLiteral("broken.xml")), "<Log>");

    CommandLine cl = parseCommandLine({QStringLiteral("--batch"), QStringLiteral("--html"),
                                       QStringLiteral("--settings"), settings.iniPath, text, xml});
    QVERIFY2(cl.error.isEmpty(), qPrintable(cl.error));
    QString errors;
    QTextStream err(&errors);
    QCOMPARE(runBatch(cl, dir.path(), err, false), ExitAllWritten);

    const QString textPage = readPage(dir.filePath(QStringLiteral("_day.one.htm")));
    QVERIFY(textPage.startsWith(
        QStringLiteral("<html>\r\n<head>\r\n<title>day : Bob + 田中さん</title>")));
    // The rule's colour for the name ending with さん, palette entry 1 for Bob.
    QVERIFY(textPage.contains(QStringLiteral(".HATSUGEN_01{color:%1;}").arg(palette[0].code)));
    QVERIFY(textPage.contains(QStringLiteral(".HATSUGEN_02{color:%1;}").arg(palette[3].code)));
    QVERIFY(textPage.contains(
        QStringLiteral("<font class=HATSUGEN_02 id=HATSUGEN_02>\r\n<dd>こんにちは<br>")));
    QVERIFY(textPage.endsWith(QStringLiteral("</html>\r\n")));

    const QString xmlPage = readPage(dir.filePath(QStringLiteral("_hist.htm")));
    QVERIFY(xmlPage.contains(
        QStringLiteral(
            "<dt>Ann %1\r\n<font class=HATSUGEN_01 id=HATSUGEN_01>\r\n<dd>yo &#128512;<br>")
            .arg(header)));
    QVERIFY(xmlPage.contains(QStringLiteral("<dt><font class=nar id=nar>Ann left</font><br>")));

    // A broken history is reported and written as nothing.
    cl = parseCommandLine({QStringLiteral("--batch"), QStringLiteral("--html"),
                           QStringLiteral("--settings"), settings.iniPath, broken});
    QCOMPARE(runBatch(cl, dir.path(), err, false), ExitSomeNotWritten);
    err.flush();
    QVERIFY2(errors.contains(QStringLiteral("Can't load xml")), qPrintable(errors));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("_broken.htm"))));
}

// One batch run: a name keeps its colour from log to log, and the folder gets its index.
void TestHtmlBatch::modernPagesWithIndex()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("settings.ini")); // missing: the defaults
    const auto log = [&dir](const char *name, const char *first, const char *second) {
        return writeFile(dir.filePath(QString::fromLatin1(name)),
                         cp932::encode(QStringLiteral("%1 の発言：\r\nx\r\n%2 の発言：\r\ny\r\n")
                                           .arg(QLatin1String(first), QLatin1String(second))));
    };
    const QString a = log("a.txt", "Ann", "Bo");
    const QString b = log("b.txt", "Bo", "Cy");
    const CommandLine cl
        = parseCommandLine({QStringLiteral("--batch"), QStringLiteral("--html"),
                            QStringLiteral("--page"), QStringLiteral("modern"),
                            QStringLiteral("--index"), QStringLiteral("--settings"), ini, a, b});
    QString errors;
    QTextStream err(&errors);
    QCOMPARE(runBatch(cl, dir.path(), err, false), ExitAllWritten);

    QFile page(dir.filePath(QStringLiteral("_b.htm")));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    QVERIFY(html.startsWith("<!DOCTYPE html>"));
    // Bo had the second default colour (#008040) in a.txt and keeps it; Cy takes the first.
    QVERIFY(html.contains(".s1{--cl:#008040;"));
    QVERIFY(html.contains(".s2{--cl:#AE00AE;"));
    QFile index(dir.filePath(QStringLiteral("_index.htm")));
    QVERIFY(index.open(QIODevice::ReadOnly));
    const QByteArray rows = index.readAll();
    QVERIFY(rows.contains("<a href=\"_a.htm\">a.txt</a>"));
    QVERIFY(rows.contains("<a href=\"_b.htm\">b.txt</a>"));

    // An index that cannot be written is said, and the run does not end as a success.
    QVERIFY(index.remove());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("_index.htm")));
    QCOMPARE(runBatch(cl, dir.path(), err, false), ExitSomeNotWritten);
    err.flush();
    QVERIFY2(errors.contains(dir.filePath(QStringLiteral("_index.htm"))), qPrintable(errors));
}

// A chat export's page shows its replies as links, its reactions and edits, and its pictures
// from copies beside the page; where the export wrote instants the page names the zone.
void TestHtmlBatch::exportPages()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("tg/photos")));
    const QByteArray picture = "\x89PNG\r\n\x1a\n not really";
    writeFile(dir.filePath(QStringLiteral("tg/photos/p 1#.jpg")), picture);
    const QString telegram = writeFile(dir.filePath(QStringLiteral("tg/result.json")),
                                       R"({"name":"Ann","type":"personal_chat","id":1,"messages":[
{"id":1,"type":"message","date":"2024-01-15T21:03:00","from":"Ann","from_id":"user1","text":"hi"},
{"id":2,"type":"message","date":"2024-01-15T21:04:00","from":"Bo","from_id":"user2",
 "reply_to_message_id":1,"edited":"2024-01-15T21:05:00","photo":"photos/p 1#.jpg",
 "reactions":[{"type":"emoji","count":1,"emoji":"👍"}],"text":"see"},
{"id":3,"type":"message","date":"2024-01-15T21:06:00","from":"Ann","from_id":"user1",
 "photo":"../outside.jpg","text":""}]})");
    writeFile(dir.filePath(QStringLiteral("outside.jpg")), picture);
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("meta/msgs/inbox/ann_1")));
    writeFile(dir.filePath(QStringLiteral("meta/msgs/inbox/ann_1/a.jpg")), picture);
    const QString meta
        = writeFile(dir.filePath(QStringLiteral("meta/msgs/inbox/ann_1/message_1.json")),
                    R"({"participants":[{"name":"Ann"},{"name":"Bo"}],"messages":[
{"sender_name":"Ann","timestamp_ms":1705320000000,"content":"x",
 "photos":[{"uri":"msgs/inbox/ann_1/a.jpg"}]}],"title":"Ann"})");
    // A group where nobody spoke yet is written all the same, with its events.
    const QString joined = writeFile(
        dir.filePath(QStringLiteral("direct-messages-group.js")),
        R"(window.YTD.direct_messages_group.part0 = [{"dmConversation":{"conversationId":"9",
"messages":[{"joinConversation":{"initiatingUserId":"3","participantsSnapshot":["3","1"],
"createdAt":"2020-06-13T15:12:04.979Z"}}]}}])");
    const CommandLine cl = parseCommandLine(
        {QStringLiteral("--batch"), QStringLiteral("--html"), QStringLiteral("--page"),
         QStringLiteral("modern"), QStringLiteral("--timezone"), QStringLiteral("Asia/Tokyo"),
         QStringLiteral("--settings"), ini, telegram, meta, joined});
    QString errors;
    QTextStream err(&errors);
    QCOMPARE(runBatch(cl, dir.path(), err, false), ExitAllWritten);

    QFile page(dir.filePath(QStringLiteral("tg/_result.htm")));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    QVERIFY(html.contains(u"img-src 'self'"));
    QVERIFY(html.contains(u"<a class=\"re\" href=\"#u1\">↩ Ann「hi」</a>"));
    QVERIFY(html.contains(u"<img src=\"_result.htm.files/p%201_.jpg\""));
    QVERIFY(html.contains(u"<span class=\"rx\">👍</span>"));
    QVERIFY(html.contains(u"<span class=\"ed\">編集済み</span>"));
    QVERIFY(!html.contains(u"時刻は")); // Telegram writes the times its app showed
    // Each message's link names its record in the export, and the page ends with the export.
    QVERIFY(html.contains(u"<a href=\"#u2\" title=\"元の記録 ID 2\">Bo</a>"));
    QVERIFY(html.contains(u"<dt>ファイル名</dt><dd>result.json</dd>"));
    QFile copy(dir.filePath(QStringLiteral("tg/_result.htm.files/p 1_.jpg")));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), picture);
    // Nothing from outside the export is taken.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("tg/_result.htm.files"))).entryList(QDir::Files),
             QStringList {QStringLiteral("p 1_.jpg")});

    QFile metaPage(dir.filePath(QStringLiteral("meta/msgs/inbox/ann_1/_message_1.htm")));
    QVERIFY(metaPage.open(QIODevice::ReadOnly));
    const QString metaHtml = QString::fromUtf8(metaPage.readAll());
    QVERIFY(metaHtml.contains(u"・時刻は Asia/Tokyo (UTC+09:00)"));
    QVERIFY(metaHtml.contains(u"<img src=\"_message_1.htm.files/a.jpg\""));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("_direct-messages-group_3, 1.htm"))));
}

QTEST_GUILESS_MAIN(TestHtmlBatch)
#include "tst_htmlbatch.moc"

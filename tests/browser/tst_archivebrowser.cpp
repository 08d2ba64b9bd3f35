#include "app/batchrun.h"
#include "app/commandline.h"
#include "app/verifyrun.h"
#include "codec/cp932.h"
#include "settings/inifile.h"
#include "support/files.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

// An archive's pages as a reader sees them in headless Chromium (archivecheck.js): a chat merged
// from three exports (a message two of them hold shown once, the days none holds said, every
// source named with its checksum, which --verify reads back), and a redacted run whose pages and
// index search give nothing of who the people are.
class TestArchiveBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void merged();
    void redacted_data();
    void redacted();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    int run(const QStringList &args);

    QTemporaryDir m_dir;
    QJsonObject m_seen;
};

namespace {

QByteArray lineExport(const QString &savedOn, const QStringList &lines)
{
    return (QStringLiteral("[LINE] はなことのトーク履歴\n保存日時：%1 23:00\n\n").arg(savedOn)
            + lines.join(u'\n') + u'\n')
        .toUtf8();
}

const QStringList Details
    = {QStringLiteral("たろう"), QStringLiteral("はなこ"), QStringLiteral("090-1234-5678"),
       QStringLiteral("hanako.s@example.jp"), QStringLiteral("150-0041")};

} // namespace

int TestArchiveBrowser::run(const QStringList &args)
{
    QString err;
    QTextStream errStream(&err);
    const int status = runBatch(parseCommandLine(args), m_dir.path(), errStream, false);
    errStream.flush();
    if (!err.isEmpty())
        qWarning("%s", qPrintable(err));
    return status;
}

void TestArchiveBrowser::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    const QString ini = path(QStringLiteral("s.ini"));
    QVERIFY(writeIniValue(ini, QStringLiteral("Hatsugen"), QStringLiteral("Type"),
                          QStringLiteral("0")));
    const QString a = writeFile(
        path(QStringLiteral("in/a.txt")),
        lineExport(QStringLiteral("2024/01/02"),
                   {QStringLiteral("2024/01/01(月)"), QStringLiteral("10:00\tはなこ\tfirst day"),
                    QStringLiteral("2024/01/02(火)"),
                    QStringLiteral("10:00\tたろう\tboth hold this")}));
    const QString b = writeFile(path(QStringLiteral("in/b.txt")),
                                lineExport(QStringLiteral("2024/01/02"),
                                           {QStringLiteral("2024/01/02(火)"),
                                            QStringLiteral("10:00\tたろう\tboth hold this")}));
    const QString c = writeFile(path(QStringLiteral("in/c.txt")),
                                lineExport(QStringLiteral("2024/01/10"),
                                           {QStringLiteral("2024/01/10(水)"),
                                            QStringLiteral("09:00\tはなこ\tafter the gap")}));
    const QStringList page = {QStringLiteral("--batch"),
                              QStringLiteral("--html"),
                              QStringLiteral("--page"),
                              QStringLiteral("modern"),
                              QStringLiteral("--index"),
                              QStringLiteral("--settings"),
                              ini};
    QCOMPARE(run(page
                 + QStringList {QStringLiteral("--merge"), QStringLiteral("-o"),
                                path(QStringLiteral("merged")), a, b, c}),
             ExitAllWritten);
    const QString log
        = writeFile(path(QStringLiteral("in/talk.txt")),
                    cp932::encode(QStringLiteral(
                        "たろう の発言 :\r\nはなこ、090-1234-5678 に電話して\r\n"
                        "はなこ の発言 :\r\nhanako.s@example.jp か 〒150-0041 へ\r\n")));
    QCOMPARE(run(page
                 + QStringList {QStringLiteral("--redact"), QStringLiteral("-o"),
                                path(QStringLiteral("redacted")), log}),
             ExitAllWritten);

    const QJsonObject task {
        {QStringLiteral("pages"),
         QJsonArray {path(QStringLiteral("merged/_a_merged.htm")),
                     path(QStringLiteral("redacted/_talk.htm"))}},
        {QStringLiteral("index"), path(QStringLiteral("redacted/_index.htm"))},
        {QStringLiteral("words"), QJsonArray::fromStringList(Details)},
    };
    QProcess node;
    node.start(QStringLiteral("node"),
               {QStringLiteral(PELORIN_SOURCE_DIR "/tests/browser/archivecheck.js"),
                writeFile(path(QStringLiteral("task.json")), QJsonDocument(task).toJson())});
    QVERIFY2(node.waitForFinished(240000), "the archive check did not finish");
    m_seen = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    QVERIFY2(m_seen.contains(QStringLiteral("texts")), node.readAllStandardError().constData());
    QCOMPARE(m_seen.value(QStringLiteral("console")).toArray(), QJsonArray());
    QCOMPARE(m_seen.value(QStringLiteral("requests")).toArray(), QJsonArray());
}

void TestArchiveBrowser::merged()
{
    const QString text = m_seen.value(QStringLiteral("texts"))
                             .toObject()
                             .value(path(QStringLiteral("merged/_a_merged.htm")))
                             .toString();
    QVERIFY2(!text.isEmpty(), "the merged page was not written");
    QCOMPARE(text.count(QStringLiteral("both hold this")), 1);
    QVERIFY(text.contains(QStringLiteral("first day"))
            && text.contains(QStringLiteral("after the gap")));
    QVERIFY(text.contains(QStringLiteral("2024/01/03 〜 2024/01/09 の記録はありません")));
    // Every source is named with its checksum, as --verify reads them.
    for (const char *name : {"a.txt", "b.txt", "c.txt"}) {
        const QByteArray sum
            = QCryptographicHash::hash(readFile(path(QStringLiteral("in/") + QLatin1String(name))),
                                       QCryptographicHash::Sha256)
                  .toHex();
        QVERIFY2(text.contains(QLatin1String(name)) && text.contains(QLatin1String(sum)), name);
    }
    // --verify reads them back (given, as they lie outside the page's folder): all the same,
    // then one changed.
    const QStringList verify
        = {QStringLiteral("--verify"), path(QStringLiteral("merged/_a_merged.htm")),
           path(QStringLiteral("in/a.txt")), path(QStringLiteral("in/b.txt")),
           path(QStringLiteral("in/c.txt"))};
    QString said;
    QTextStream out(&said);
    QCOMPARE(runVerify(parseCommandLine(verify), out), ExitAllWritten);
    writeFile(path(QStringLiteral("in/b.txt")), lineExport(QStringLiteral("2024/01/02"), {}));
    QCOMPARE(runVerify(parseCommandLine(verify), out), ExitSomeNotWritten);
}

void TestArchiveBrowser::redacted_data()
{
    QTest::addColumn<QString>("detail");
    for (const QString &detail : Details)
        QTest::newRow(qPrintable(detail)) << detail;
}

void TestArchiveBrowser::redacted()
{
    QFETCH(QString, detail);
    const QJsonObject texts = m_seen.value(QStringLiteral("texts")).toObject();
    const QString page = texts.value(path(QStringLiteral("redacted/_talk.htm"))).toString();
    QVERIFY2(page.contains(QStringLiteral("この記録は伏せ字にしてあります")),
             "no notice on the page");
    QVERIFY(!page.contains(detail));
    QVERIFY(!texts.value(path(QStringLiteral("redacted/_index.htm"))).toString().contains(detail));
    QCOMPARE(m_seen.value(QStringLiteral("answers")).toObject().value(detail).toString(),
             QStringLiteral("見つかりませんでした。"));
}

QTEST_GUILESS_MAIN(TestArchiveBrowser)
#include "tst_archivebrowser.moc"

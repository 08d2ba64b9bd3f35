#include "engine/convert/provenancerun.h"
#include "engine/sourcehashes.h"
#include "engine/text/redaction.h"
#include "support/files.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The end of a page that says where it came from: what it names, escaped, and given back whole
// to --verify; a source outside the page's folder is named by its file name alone.
class TestProvenance : public QObject
{
    Q_OBJECT

private slots:
    void footerNamesItsSource_data();
    void footerNamesItsSource();
    void checksumStartedAhead_data();
    void checksumStartedAhead();
};

void TestProvenance::footerNamesItsSource_data()
{
    QTest::addColumn<QString>("log"); // under the temporary folder
    QTest::addColumn<QString>("chat"); // the chat of an export that holds many, else empty
    QTest::addColumn<QString>("pageFolder");
    QTest::addColumn<QString>("name"); // as the page names it
    QTest::addColumn<QString>("shown"); // as the footer's HTML shows it
    QTest::addColumn<bool>("redacted");

    QTest::newRow("beside the page") << "chat.txt"
                                     << ""
                                     << ""
                                     << "chat.txt"
                                     << ">chat.txt<" << false;
    QTest::newRow("below the page") << "logs/2024/chat.txt"
                                    << ""
                                    << ""
                                    << "logs/2024/chat.txt"
                                    << ">logs/2024/chat.txt<" << false;
    QTest::newRow("above the page: the name only") << "chat.txt"
                                                   << ""
                                                   << "out/pages"
                                                   << "chat.txt"
                                                   << ">chat.txt<" << false;
    QTest::newRow("elsewhere: the name only") << "home/ann/トーク.txt"
                                              << ""
                                              << "out"
                                              << "トーク.txt"
                                              << ">トーク.txt<" << false;
    QTest::newRow("markup in the name") << "a&<b>\"c'.txt"
                                        << ""
                                        << ""
                                        << "a&<b>\"c'.txt"
                                        << ">a&amp;&lt;b&gt;&quot;c'.txt<" << false;
    QTest::newRow("a chat of an export of many: the export") << "exports/result.json"
                                                             << "/Ann"
                                                             << "exports"
                                                             << "result.json"
                                                             << ">result.json<" << false;
    QTest::newRow("redacted: a name in the file name") << "Annとのトーク.txt"
                                                       << ""
                                                       << ""
                                                       << "人物Aとのトーク.txt"
                                                       << ">人物Aとのトーク.txt<" << true;
}

void TestProvenance::footerNamesItsSource()
{
    QFETCH(QString, log);
    QFETCH(QString, chat);
    QFETCH(QString, pageFolder);
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(bool, redacted);
    QTemporaryDir tmp;
    const QByteArray bytes = "たろう 「こんにちは」\r\n";
    const QString path = writeFile(tmp.filePath(log), bytes);
    const QDir pages(tmp.path() + u'/' + pageFolder);
    pages.mkpath(QStringLiteral("."));
    qputenv("SOURCE_DATE_EPOCH", "1765342800");
    SourceHashes hashes;
    RedactedNames names;
    names.add({QStringLiteral("Ann")});
    Provenance p = provenanceOf({{path + chat, QStringLiteral("2024/01/15 21:03")}},
                                pages.filePath(QStringLiteral("_chat.htm")),
                                QStringLiteral("Asia/Tokyo (UTC+09:00)"), hashes,
                                redacted ? &names : nullptr);
    qunsetenv("SOURCE_DATE_EPOCH");

    QCOMPARE(p.sources.size(), 1);
    const ProvenanceSource &s = p.sources.first();
    QCOMPARE(s.name, name);
    QCOMPARE(s.size, bytes.size());
    QCOMPARE(s.sha256, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    QCOMPARE(p.convertedAt, QStringLiteral("2025-12-10T05:00:00Z"));
    const QString html = provenanceHtml(p);
    for (const QString &says : QStringList {
             shown, QStringLiteral("<dt>大きさ</dt><dd>33 バイト</dd>"),
             QString(QStringLiteral("<code>") + s.sha256 + QStringLiteral("</code>")),
             QStringLiteral("<dt>保存日時</dt><dd>2024/01/15 21:03</dd>"),
             QStringLiteral("<dd>Pelorin "), QStringLiteral("<dd>Asia/Tokyo (UTC+09:00)</dd>"),
             QStringLiteral("<dd>2025-12-10T05:00:00Z</dd>")})
        QVERIFY2(html.contains(says), qPrintable(says));
    QVERIFY(!html.contains(tmp.path())); // no folder of the user's
    QCOMPARE(provenanceText(p).count(s.sha256), 1);
    // --verify reads the sources back from the page's bytes, also from a Shift-JIS page.
    const auto back = readProvenance(QByteArray("<p>本文</p>" + html.toUtf8()));
    QVERIFY(back);
    QCOMPARE(back->size(), 1);
    QCOMPARE(back->first().name, name);
    QCOMPARE(back->first().sha256, s.sha256);
    QCOMPARE(back->first().size, s.size);
}

// A checksum started while its log is read is the file's as it is when asked for.
void TestProvenance::checksumStartedAhead_data()
{
    QTest::addColumn<bool>("changed"); // the file is written anew before its checksum is asked
    QTest::addColumn<bool>("otherStarted"); // another file's checksum is started in between
    QTest::newRow("asked as started") << false << false;
    QTest::newRow("written anew since") << true << false;
    QTest::newRow("left off for another") << false << true;
}

void TestProvenance::checksumStartedAhead()
{
    QFETCH(bool, changed);
    QFETCH(bool, otherStarted);
    QTemporaryDir tmp;
    QByteArray bytes = "たろう 「やあ」\r\n";
    const QString path = writeFile(tmp.filePath(QStringLiteral("a.txt")), bytes);
    SourceHashes hashes;
    hashes.start(path);
    if (changed) {
        bytes += "はなこ 「どうも」\r\n";
        writeFile(path, bytes);
    }
    if (otherStarted)
        hashes.start(writeFile(tmp.filePath(QStringLiteral("b.txt")), "x"));
    const QFileInfo info(path);
    QCOMPARE(hashes.sha256(path, info.size(), info.lastModified()),
             QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QTEST_GUILESS_MAIN(TestProvenance)
#include "tst_provenance.moc"

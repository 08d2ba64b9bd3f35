#include "engine/read/exportpaths.h"
#include "engine/read/logreader.h"
#include "engine/read/shared/chatplaces.h"
#include "engine/runtext.h"
#include "support/exportrecords.h"
#include "support/files.h"

#include <QDir>
#include <QDirIterator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

// Exports as real phones, desktop apps and messengers write them: structural twins of real LINE
// talk histories, XML histories and the exports of other chat apps (the same bytes for their
// structure, invented names and texts), each beside the list of its records as a reader must give
// them back (support/exportrecords.h tells the form of that list).
namespace {

const QString Header = QStringLiteral(" の発言："); // as the settings file gives it back

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void twins_data();
    void twins();
    void foreignKinds_data();
    void foreignKinds();
    void metaText_data();
    void metaText();
};

void TestExports::twins_data()
{
    QTest::addColumn<QString>("path");
    // Every file with its list of records beside it, in folders as deep as the export has them
    // (a data package's channel lies in messages/c123/ beside files the reader looks at).
    const QDir root(QStringLiteral(PELORIN_SOURCE_DIR "/tests/data/exports"));
    QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(QStringLiteral(".records"))
            && QFile::exists(path.left(path.lastIndexOf(u'.')) + QStringLiteral(".records")))
            paths.append(path);
    }
    paths.sort();
    for (const QString &path : paths)
        QTest::newRow(qPrintable(root.relativeFilePath(path))) << path;
}

// Every record comes back with its sender, date, time and whole text, every event as an event,
// every day line as one; the counts tell how many of each.
void TestExports::twins()
{
    QFETCH(QString, path);
    QFile expectedFile(path.left(path.lastIndexOf(u'.')) + QStringLiteral(".records"));
    QVERIFY(expectedFile.open(QIODevice::ReadOnly));
    const QStringList expected
        = QString::fromUtf8(expectedFile.readAll()).split(u'\n', Qt::SkipEmptyParts);

    // An export of many chats gives each of them, its records after a "chat" line with its name.
    QList<exportpaths::Chat> chats;
    QString broken;
    const bool holdsChats = exportpaths::chatsOf(path, chats, &broken);
    QVERIFY2(broken.isEmpty(), qPrintable(broken));
    if (!holdsChats)
        chats = {{path, QString()}};
    QStringList read;
    QList<QStringList> eachChat;
    LogReader reader;
    reader.setTimeZone(QTimeZone(9 * 3600)); // exports stamped in UTC shown as in Japan
    for (const exportpaths::Chat &chat : chats) {
        QVERIFY2(reader.open(chat.path, Header), qPrintable(reader.errorString()));
        QCOMPARE(reader.format().lineExport() || reader.format().chatExport(), !reader.isXml());
        if (holdsChats)
            read.append(QStringLiteral("chat\t") + chat.name);
        eachChat.append(readRecords(reader, Header));
        read += eachChat.last();
    }
    // A run notes where each chat starts and reads the next from there: the chats one after
    // another, then again last first, give the same records.
    ChatPlaces places;
    LogReader placed;
    placed.setTimeZone(QTimeZone(9 * 3600));
    placed.setChatPlaces(&places);
    for (qsizetype i = 0; holdsChats && i < 2 * chats.size(); ++i) {
        const qsizetype chat = i < chats.size() ? i : 2 * chats.size() - 1 - i;
        QVERIFY2(placed.open(chats[chat].path, Header), qPrintable(placed.errorString()));
        QCOMPARE(readRecords(placed, Header), eachChat[chat]);
    }
    const auto count = [](const QStringList &records, QStringView kind) {
        return std::count_if(records.begin(), records.end(),
                             [kind](const QString &r) { return r.startsWith(kind); });
    };
    qInfo("%s: %lld messages, %lld events, %lld day lines (of %lld, %lld, %lld)",
          qPrintable(QFileInfo(path).fileName()), qint64(count(read, u"msg\t")),
          qint64(count(read, u"event\t")), qint64(count(read, u"date\t")),
          qint64(count(expected, u"msg\t")), qint64(count(expected, u"event\t")),
          qint64(count(expected, u"date\t")));
    for (qsizetype i = 0; i < qMin(read.size(), expected.size()); ++i)
        QCOMPARE(read[i], expected[i]);
    QCOMPARE(read.size(), expected.size());

    // The page's date range runs from the earliest date to the latest, in whatever order the
    // log holds them.
    if (holdsChats)
        return;
    // A message of an export read by lines names the line it starts on, which holds its
    // sender (a page's links say it).
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QStringList fileLines = QString(utf8(readFile(path))).split(u'\n');
    QVERIFY(reader.rewind());
    QString line;
    LineInfo info;
    while (!utf8.hasError() && reader.readLine(line, &info)) {
        if (info.role == LineRole::Header && info.sourceLine > 0)
            QVERIFY2(fileLines.value(info.sourceLine - 1)
                         .contains(line.chopped(Header.size()).trimmed()),
                     qPrintable(line));
    }
    QStringList dates;
    for (const QString &record : expected)
        dates.append(record.section(u'\t', 1, 1));
    std::sort(dates.begin(), dates.end());
    QCOMPARE(reader.stamps().firstDate(), dates.first());
    QCOMPARE(reader.stamps().lastDate(), dates.last());
}

void TestExports::foreignKinds_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("said"); // the message, empty when none
    const int looks = int(ForeignKind::LooksLike);
    QTest::newRow("a log with another header") << "たろう> こんばんは\n"
                                               << int(ForeignKind::None) << QString();
    QTest::newRow("empty") << " \r\n" << int(ForeignKind::Empty) << "空のファイルでした。";
    QTest::newRow("a picture") << QString::fromLatin1("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01")
                               << int(ForeignKind::NotText)
                               << "文字のファイルではありませんでした（画像や圧縮ファイルなど）。";
    QTest::newRow("LINE in a form not read")
        << "[LINE] x\nhello\n"
        << looks << "LINE のトーク履歴のようですが、読める形ではありませんでした。";
    QTest::newRow("WhatsApp, messages copied out")
        << "[9:03 PM, 12/31/2020] Ann: hi\n"
        << looks << "WhatsApp のトークの書き出しのようですが、読める形ではありませんでした。";
    QTest::newRow("WhatsApp, messages copied out on a 24-hour clock")
        << "[21:03, 31/12/2020] Ann: hi\n"
        << looks << "WhatsApp のトークの書き出しのようですが、読める形ではありませんでした。";
    QTest::newRow("KakaoTalk") << "Ann 님과 카카오톡 대화\n"
                               << looks
                               << "カカオトークのトークの書き出しのようです。この形は読めません。";
    QTest::newRow("JSON") << "[\n  {\"from\": \"Ann\"}\n]" << looks
                          << "JSON のデータのようです。チャットのログとしては読めません。";
    QTest::newRow("a page") << "<!DOCTYPE html>\n<html>" << looks
                            << "HTML のページのようです。チャットのログとしては読めません。";
}

// What a log that gave no speakers looks like, and what the message says of it.
void TestExports::foreignKinds()
{
    QFETCH(QString, head);
    QFETCH(int, kind);
    QFETCH(QString, said);
    LogFormat format;
    format.foreign = foreignKind(head, &format.foreignFormat);
    QCOMPARE(int(format.foreign), kind);
    QCOMPARE(runtext::foreignKindText(format), said);
}

// Meta writes every byte of a text's UTF-8 as a character of its own; a text that is not such
// bytes is shown as written.
void TestExports::metaText_data()
{
    QTest::addColumn<QByteArray>("content"); // as the JSON writes it
    QTest::addColumn<QString>("shown");
    QTest::newRow("bytes") << QByteArray("\\u00e3\\u0081\\u00be\\u00e3\\u0081\\u009f ok")
                           << QStringLiteral("また ok");
    QTest::newRow("bytes of Latin letters")
        << QByteArray("\\u00c3\\u00a9t\\u00c3\\u00a9") << QStringLiteral("été");
    QTest::newRow("a Latin letter typed") << QByteArray("caf\\u00e9") << QStringLiteral("café");
    QTest::newRow("ends inside a character")
        << QByteArray("ok \\u00e3\\u0081") << QStringLiteral("ok ã\u0081");
    QTest::newRow("beside a character past U+00FF")
        << QByteArray("\\u00c3\\u00a9 \\u3053") << QStringLiteral("Ã© こ");
    QTest::newRow("ASCII") << QByteArray("plain text") << QStringLiteral("plain text");
    // Read the quick way, or as written where a message is not all bytes.
    QTest::newRow("bytes beside other escapes")
        << QByteArray("\\\"q\\\" \\u0041\\u00e3\\u0081\\u0082") << QStringLiteral("\"q\" Aあ");
    QTest::newRow("bytes of the replacement character")
        << QByteArray("\\u00ef\\u00bf\\u00bd") << QStringLiteral("ï¿½");
    QTest::newRow("bytes beside UTF-8 as it is")
        << QByteArray("あ \\u00e3\\u0081\\u0082") << QStringLiteral("あ ã\u0081\u0082");
    // Plain text is taken sixteen bytes at a time: escapes and UTF-8 at and across the ends of
    // such blocks.
    QTest::newRow("escapes across blocks")
        << QByteArray("0123456789abcd\\\"q\\\" 0123456789abcdef\\u00e3\\u0081\\u0082")
            + QByteArray(33, 'x')
        << QStringLiteral("0123456789abcd\"q\" 0123456789abcdefあ") + QString(33, u'x');
    QTest::newRow("UTF-8 as it is past a block")
        << QByteArray("0123456789abcdef0123\\u00e3\\u0081\\u0082 あ")
        << QStringLiteral("0123456789abcdef0123ã\u0081\u0082 あ");
}

void TestExports::metaText()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    // Written on one line, and indented as the exports are, with runs of blanks and brackets
    // at every place of the sixteen-byte blocks between the strings.
    const QByteArray pad(17, ' ');
    const QByteArray layouts[] = {
        "{\"participants\": [{\"name\": \"Ann\"}], \"messages\": [{\"sender_name\": \"Ann\", "
        "\"timestamp_ms\": 1700000000000, \"content\": \""
            + content + "\"}], \"title\": \"Ann\"}",
        "{\n\"participants\": [\n" + pad + "{\n" + pad + "\"name\": \"Ann\"\n" + pad
            + "}\n],\n\"messages\": [\n" + pad + "{\n" + pad + "\"sender_name\": \"Ann\",\n" + pad
            + "\"timestamp_ms\": 1700000000000,\n" + pad + "\"photos\": [" + pad + "],\n" + pad
            + "\"content\": \"" + content + "\"\n" + pad + "}\n" + pad
            + "],\n\"title\": \"Ann\"\n}",
    };
    for (const QByteArray &json : layouts) {
        const QTemporaryDir dir;
        const QString path = writeFile(dir.filePath(QStringLiteral("message_1.json")), json);
        LogReader reader;
        reader.setTimeZone(QTimeZone(9 * 3600));
        QVERIFY2(reader.open(path, Header), qPrintable(reader.errorString()));
        const QStringList read = readRecords(reader, Header);
        QCOMPARE(read.last().section(u'\t', 4), exportrecords::escaped(shown));
    }
}

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"

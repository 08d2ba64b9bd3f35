// The log reader: encodings and line ends told from the whole file, lines handed out piece by
// piece, a second pass, progress, and what a file that is no log is found to be.
#include "codec/cp932.h"
#include "engine/read/formats/xmlhistory/xmlhistory.h"
#include "engine/read/logreader.h"
#include "support/files.h"
#include "support/samples.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList readAll(LogReader &reader)
{
    QStringList lines;
    QString line;
    while (reader.readLine(line))
        lines.append(line);
    return lines;
}

using textcodec::Choice;
using textcodec::Encoding;

} // namespace

class TestLogReader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        return writeFile(m_dir.filePath(name), bytes);
    }

private slots:
    void splitting_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("empty file") << QByteArray() << QStringList {};
        QTest::newRow("one line ended") << QByteArray("a\r\n") << QStringList {"a"};
        QTest::newRow("last line without break is kept")
            << QByteArray("a\r\nb") << QStringList {"a", "b"};
        QTest::newRow("only a break") << QByteArray("\r\n") << QStringList {""};
        QTest::newRow("empty lines kept")
            << QByteArray("a\r\n\r\nb\r\n") << QStringList {"a", "", "b"};
        QTest::newRow("lone LF and CR do not split")
            << QByteArray("a\nb\rc\r\nd") << QStringList {"a\nb\rc", "d"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList {"a\r", "b"};
        // Without CR LF or LF anywhere, lines end at CR.
        QTest::newRow("lone CR ends the line when there is nothing else")
            << QByteArray("a\r") << QStringList {"a"};
        QTest::newRow("shift-jis")
            << cp932::encode(u"A の発言 :\r\n―――――\r\n") << QStringList {"A の発言 :", "―――――"};
        // A stray lead byte before CR LF must not swallow the CR.
        QTest::newRow("lead byte before break")
            << QByteArray("a\x81\r\nb") << QStringList {cp932::decode("a\x81"), "b"};
    }

    void splitting()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        const QString path = write(QStringLiteral("log.txt"), bytes);
        LogReader reader;
        QVERIFY(reader.open(path, QString()));
        QCOMPARE(reader.lineCount(), lines.size());
        QCOMPARE(readAll(reader), lines);
        QVERIFY(!reader.failed());
        // The second pass reads the same lines again.
        QVERIFY(reader.rewind());
        QCOMPARE(readAll(reader), lines);
    }

    // The reader works in 1 MiB pieces: breaks and characters split across pieces.
    void pieceBoundaries_data()
    {
        QTest::addColumn<int>("pad"); // bytes before the interesting spot
        const int piece = 1 << 20;
        QTest::newRow("CR LF across") << piece - 1;
        QTest::newRow("CR LF just before") << piece - 2;
        QTest::newRow("character across") << piece - 3;
    }

    void pieceBoundaries()
    {
        QFETCH(int, pad);
        QByteArray bytes(pad, 'x');
        bytes += cp932::encode(u"―\r\n発言");
        const QString path = write(QStringLiteral("big.txt"), bytes);
        LogReader reader;
        QVERIFY(reader.open(path, QString()));
        const QStringList expected {QString(pad, u'x') + u"―", QStringLiteral("発言")};
        QCOMPARE(readAll(reader), expected);
        QCOMPARE(reader.lineCount(), 2);
    }

    void detectionLooksAtTheWholeLog_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("firstLine");
        const QByteArray ascii(1 << 20, 'a');
        const int automatic = int(Choice::Auto);
        QTest::newRow("Shift-JIS after a megabyte of ASCII")
            << ascii + "\r\n" + cp932::encode(u"発言") << automatic << int(Encoding::ShiftJis)
            << QString::fromLatin1(ascii);
        QTest::newRow("ASCII only")
            << QByteArray("a\r\nb") << automatic << int(Encoding::ShiftJis) << QStringLiteral("a");
        // E3 82 A2 is a code page 932 pair and a half-width katakana as well.
        QTest::newRow("UTF-8 that is plausible Shift-JIS")
            << QStringLiteral("アア\nイ").toUtf8() << automatic << int(Encoding::Utf8)
            << QStringLiteral("アア");
        QTest::newRow("UTF-8, then a stray byte past the first megabyte")
            << QStringLiteral("ア\n").toUtf8() + ascii + "\x82" << automatic
            << int(Encoding::ShiftJis) << cp932::decode(QStringLiteral("ア").toUtf8());
        QTest::newRow("UTF-8 whose last character is cut off")
            << QStringLiteral("ア\nイ").toUtf8().chopped(1) << automatic << int(Encoding::Utf8)
            << QStringLiteral("ア");
        QTest::newRow("ASCII whose last byte begins a character")
            << QByteArray("a\n\xE3") << automatic << int(Encoding::ShiftJis) << QStringLiteral("a");
        QTest::newRow("LINE export of ASCII only")
            << QByteArray("[LINE] Chat history with Bo\n") << automatic << int(Encoding::Utf8)
            << QStringLiteral("―――――");
        QTest::newRow("LINE export with a damaged byte")
            << QByteArray("[LINE] \x82\n") << automatic << int(Encoding::Utf8)
            << QStringLiteral("―――――");
        QTest::newRow("Shift-JIS asked for UTF-8")
            << QStringLiteral("アア\n").toUtf8() << int(Choice::ShiftJis) << int(Encoding::ShiftJis)
            << cp932::decode(QStringLiteral("アア").toUtf8());
        QTest::newRow("UTF-16 asked for, big-endian without a mark")
            << QByteArray("\0a\0\n\0b", 6) << int(Choice::Utf16) << int(Encoding::Utf16BE)
            << QStringLiteral("a");
        QTest::newRow("UTF-8 asked for, its mark skipped")
            << QByteArray("\xEF\xBB\xBFx\xFF") << int(Choice::Utf8) << int(Encoding::Utf8)
            << QString(QChar(u'x')) + QChar(0xDCFF);
    }

    void detectionLooksAtTheWholeLog()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, choice);
        QFETCH(int, encoding);
        QFETCH(QString, firstLine);
        LogReader reader;
        QVERIFY(reader.open(write(QStringLiteral("log.txt"), bytes), QString(), Choice(choice)));
        QCOMPARE(int(reader.format().detection.encoding), encoding);
        QString line;
        QVERIFY(reader.readLine(line));
        QCOMPARE(line, firstLine);
    }

    // Only the classic log, Shift-JIS split at CR LF, keeps the message to adjust the header
    // text; any other log without speakers is looked at as another kind of file (the batch run
    // names the reading of the same logs, tst_batchrun).
    void classicLogOrAnotherKind_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("classic");
        QTest::addColumn<int>("foreign");
        const QByteArray json = "{\"from\": \"Ann\"}";
        QTest::newRow("CR LF") << json + "\r\n" << true << int(ForeignKind::None);
        QTest::newRow("LF") << json + "\n" << false << int(ForeignKind::LooksLike);
        QTest::newRow("no line end") << json << false << int(ForeignKind::LooksLike);
        QTest::newRow("an app's export without messages")
            << QByteArray("19/01/2022, 11:43 - Messages and calls are end-to-end encrypted.\n")
            << false << int(ForeignKind::WithoutMessages);
    }

    void classicLogOrAnotherKind()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, classic);
        QFETCH(int, foreign);
        LogReader reader;
        QVERIFY(reader.open(write(QStringLiteral("kind.txt"), bytes), QString()));
        reader.lookAtForeignKind();
        QCOMPARE(reader.format().classicLog(), classic);
        QCOMPARE(int(reader.format().foreign), foreign);
    }

    // Characters and line ends across the reader's 1 MiB pieces, in the other encodings.
    void piecesInOtherEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const int piece = 1 << 20;
        const QString pad(piece / 2 - 2, u'x');
        QTest::newRow("UTF-8 emoji across") << QByteArray(piece - 2, 'x') + "😀\nZ"
                                            << QStringList {QString(piece - 2, u'x') + u"😀", "Z"};
        QTest::newRow("UTF-16LE CR LF across")
            << samples::encode(pad + u"\r\nZ", samples::kinds()[3]) << QStringList {pad, "Z"};
        QTest::newRow("Shift-JIS LF ends the piece") << QByteArray(piece - 1, 'x') + "\nZ\n"
                                                     << QStringList {QString(piece - 1, u'x'), "Z"};
    }

    void piecesInOtherEncodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        LogReader reader;
        QVERIFY(reader.open(write(QStringLiteral("big.txt"), bytes), QString()));
        QCOMPARE(readAll(reader), lines);
        QCOMPARE(reader.lineCount(), lines.size());
    }

    void unreadableLogsHaveNoLines_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::newRow("missing") << "missing.txt" << int(LogReader::Status::NotFound);
        QTest::newRow("folder") << "folder.txt" << int(LogReader::Status::IsDirectory);
        QTest::newRow("broken xml") << "broken.xml" << int(LogReader::Status::XmlNotLoaded);
        // A sound history whose text finds no room is not called broken.
        QTest::newRow("xml, no room for its text")
            << "whole.xml" << int(LogReader::Status::ReadError);
        QTest::newRow("half a UTF-16 unit") << "odd.txt" << int(LogReader::Status::Undecodable);
        // A data package's channel is gone through before its first message is given.
        const int broke = int(LogReader::Status::ReadError);
        QTest::newRow("Discord package cut short") << "messages.json" << broke;
        QTest::newRow("Discord package CSV open quote") << "messages.csv" << broke;
    }

    void unreadableLogsHaveNoLines()
    {
        QFETCH(QString, name);
        QFETCH(int, status);
        QDir(m_dir.path()).mkdir(QStringLiteral("folder.txt"));
        write(QStringLiteral("broken.xml"), "<log><unclosed></log>");
        write(QStringLiteral("messages.json"), "[\n{\"ID\": 1, \"Timestamp\": \"2022-09");
        write(QStringLiteral("messages.csv"),
              "ID,Timestamp,Contents,Attachments\r\n1,2020,\"a\r\n");
        write(QStringLiteral("odd.txt"),
              QByteArray("\xFF\xFE"
                         "a\0b",
                         5));
        write(QStringLiteral("whole.xml"),
              "<?xml version=\"1.0\"?><Log><Message><From><User FriendlyName=\"A\"/></From>"
              "<Text>hi</Text></Message></Log>");
        const QByteArray tmp = qgetenv("TMPDIR");
        if (name == u"whole.xml")
            qputenv("TMPDIR", m_dir.filePath(QStringLiteral("broken.xml")).toUtf8()); // a file
        LogReader reader;
        const bool opened = reader.open(m_dir.filePath(name), QStringLiteral(" の発言 :"));
        if (tmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", tmp);
        QVERIFY(!opened);
        QCOMPARE(int(reader.status()), status);
        QVERIFY(!reader.errorString().isEmpty());
        QCOMPARE(reader.lineCount(), 0);
        QCOMPARE(readAll(reader), QStringList {});
        QVERIFY(!reader.rewind());
    }

    // Standard input has no name: its first bytes tell an XML history from a text log.
    void xmlByItsStart_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("xml");

        QTest::newRow("declaration") << QByteArray("<?xml version=\"1.0\"?><Log>") << true;
        QTest::newRow("byte order mark and blanks")
            << QByteArray("\xEF\xBB\xBF\r\n <?xml ") << true;
        QTest::newRow("UTF-16 little-endian") << QByteArray("\xFF\xFE<\0?\0x\0m\0l\0", 12) << true;
        QTest::newRow("UTF-16 big-endian") << QByteArray("\xFE\xFF\0<\0?\0x\0m\0l", 12) << true;
        QTest::newRow("UTF-16 cut short") << QByteArray("\xFF\xFE<\0?\0", 6) << false;
        QTest::newRow("text log") << cp932::encode(u"A の発言：\r\n") << false;
        QTest::newRow("a name in brackets") << QByteArray("<xml> says\r\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void xmlByItsStart()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, xml);
        QCOMPARE(XmlHistoryFormat::startsLikeXml(head), xml);
    }
};

QTEST_GUILESS_MAIN(TestLogReader)
#include "tst_logreader.moc"

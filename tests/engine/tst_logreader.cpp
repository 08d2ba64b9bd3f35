#include "codec/cp932.h"
#include "engine/logreader.h"

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

} // namespace

class TestLogReader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
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
        QTest::newRow("trailing lone CR stays") << QByteArray("a\r") << QStringList {"a\r"};
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

    void unreadableLogsHaveNoLines_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::newRow("missing") << "missing.txt" << int(LogReader::Status::NotFound);
        QTest::newRow("folder") << "folder.txt" << int(LogReader::Status::IsDirectory);
        QTest::newRow("broken xml") << "broken.xml" << int(LogReader::Status::XmlNotLoaded);
    }

    void unreadableLogsHaveNoLines()
    {
        QFETCH(QString, name);
        QFETCH(int, status);
        QDir(m_dir.path()).mkdir(QStringLiteral("folder.txt"));
        write(QStringLiteral("broken.xml"), "<log><unclosed></log>");
        LogReader reader;
        QVERIFY(!reader.open(m_dir.filePath(name), QStringLiteral(" の発言 :")));
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
        QCOMPARE(startsLikeXml(head), xml);
    }
};

QTEST_GUILESS_MAIN(TestLogReader)
#include "tst_logreader.moc"

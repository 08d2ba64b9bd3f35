#include "engine/read/lineexport.h"
#include "engine/read/logreader.h"
#include "support/files.h"
#include "support/samples.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Header = QStringLiteral("の発言："); // as the settings file gives it back
const QString Sep = QStringLiteral("―――――");

QStringList notice(const QString &text)
{
    return {Sep, text, Sep};
}

// A Japanese group export as a phone writes it: quoted multi-line text, a system event,
// 午前/午後 times, a sticker, an emoji, quotes doubled by the export and quotes of a sender.
const QStringList Japanese {
    "[LINE] 山田のトーク履歴",
    "保存日時：2024/01/15 21:03",
    "",
    "2024/01/15(月)",
    "21:03\t山田\t了解です😀",
    "午後9:04\t自分\t\"一行目",
    "\"\"引用\"\"の二行目\"",
    "21:05\t\t山田がメッセージの送信を取り消しました",
    "21:06\t山田\t[スタンプ]",
    "21:07\t山田\t\"\"\"はい\"\"と言った\"",
    "21:08\t自分\t\"そう\"",
    "",
    "2024/01/16(火)",
    "午前0:15\t自分\tおやすみ",
};

} // namespace

class TestLineExport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    LogReader *open(LogReader &reader, const QByteArray &bytes)
    {
        const QString path = writeFile(m_dir.filePath(QStringLiteral("talk.txt")), bytes);
        return reader.open(path, Header) ? &reader : nullptr;
    }

private slots:
    void converted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const auto kinds = samples::kinds();
        QTest::newRow("Japanese, BOM and CR LF")
            << samples::encode(Japanese.join("\r\n") + "\r\n", kinds[2])
            << notice("[LINE] 山田のトーク履歴") + notice("保存日時：2024/01/15 21:03")
                + notice("2024/01/15(月)")
                + QStringList {"山田 の発言：", "21:03 了解です😀", "自分 の発言：",
                               "午後9:04 一行目", "\"引用\"の二行目"}
                + notice("21:05 山田がメッセージの送信を取り消しました")
                + QStringList {"山田 の発言：",          "21:06 [スタンプ]", "山田 の発言：",
                               "21:07 \"はい\"と言った", "自分 の発言：",    "21:08 \"そう\""}
                + notice("2024/01/16(火)") + QStringList {"自分 の発言：", "午前0:15 おやすみ"};
        QTest::newRow("English, LF")
            << QByteArray("[LINE] Chat history with Bob\nSaved on: 01/15/2024, 21:03\n\n"
                          "Mon, 01/15/2024\n9:03 PM\tBob\t\"Hi\nthere\"\n"
                          "9:04 PM\t\tBob left the chat.\n9:05 PM\tAnn\t[Photo]\n")
            << notice("[LINE] Chat history with Bob") + notice("Saved on: 01/15/2024, 21:03")
                + notice("Mon, 01/15/2024") + QStringList {"Bob の発言：", "9:03 PM Hi", "there"}
                + notice("9:04 PM Bob left the chat.")
                + QStringList {"Ann の発言：", "9:05 PM [Photo]"};
        // An opening quote that no line closes is the text's own; the lines after it are read
        // again as they are, and a line without a time continues its message.
        QTest::newRow("quote never closed, continuation lines")
            << QByteArray(
                   "[LINE] x\n21:00\tA\t\"open\nmore\n\n21:01\tB\tone\ntwo\n\n2024/01/16(火)\n")
            << notice("[LINE] x") + QStringList {"A の発言：", "21:00 \"open", "more",
                                                 "B の発言：", "21:01 one",    "two"}
                + notice("2024/01/16(火)");
    }

    void converted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        LogReader reader;
        QVERIFY(open(reader, bytes));
        QVERIFY(reader.format().lineExport);
        QStringList read;
        for (QString line; reader.readLine(line);)
            read.append(line);
        QCOMPARE(read, lines);
        // Progress counts the export's own lines, every one of them read.
        QCOMPARE(reader.linesConsumed(), reader.lineCount());
    }

    // The line that opens each message or notice carries its date and time, for the page
    // writers; a second pass notes nothing twice.
    void stamps()
    {
        LogReader reader;
        QVERIFY(open(reader, Japanese.join(u'\n').toUtf8()));
        for (int pass = 0; pass < 2; ++pass) {
            QStringList stamped;
            LineStamps::Cursor cursor(reader.stamps());
            QString line, date, time;
            for (qsizetype i = 0; reader.readLine(line); ++i) {
                if (line != Sep && cursor.at(i, &date, &time))
                    stamped.append(line + u'@' + date + u' ' + time);
            }
            QCOMPARE(
                stamped,
                (QStringList {"山田 の発言：@2024/01/15 21:03", "自分 の発言：@2024/01/15 21:04",
                              "山田 の発言：@2024/01/15 21:06", "山田 の発言：@2024/01/15 21:07",
                              "自分 の発言：@2024/01/15 21:08", "自分 の発言：@2024/01/16 00:15"}));
            QCOMPARE(reader.stamps().size(), 9); // two date lines and an event as well
            QCOMPARE(reader.stamps().lastDate(), QStringLiteral("2024/01/16"));
            QVERIFY(reader.rewind());
        }
    }

    void times_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("time");
        QTest::newRow("24-hour") << "21:03" << QTime(21, 3);
        QTest::newRow("午後") << "午後9:03" << QTime(21, 3);
        QTest::newRow("午前0時") << "午前0:15" << QTime(0, 15);
        QTest::newRow("12 AM") << "12:30 AM" << QTime(0, 30);
        QTest::newRow("PM first") << "PM 12:05" << QTime(12, 5);
        QTest::newRow("seconds") << "09:03:07" << QTime(9, 3, 7);
        QTest::newRow("13 PM") << "13:00 PM" << QTime();
        QTest::newRow("not a time") << "9時3分" << QTime();
    }

    void times()
    {
        QFETCH(QString, text);
        QFETCH(QTime, time);
        QCOMPARE(parseLineTime(text).value_or(QTime()), time);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("Japanese") << "2024/01/15(月)" << QDate(2024, 1, 15);
        QTest::newRow("dotted") << "2024.01.15 月曜日" << QDate(2024, 1, 15);
        QTest::newRow("dotted, English") << "2024.01.15 Monday" << QDate(2024, 1, 15);
        QTest::newRow("English") << "Mon, 01/15/2024" << QDate(2024, 1, 15);
        QTest::newRow("day first") << "Mon, 15/01/2024" << QDate(2024, 1, 15);
        QTest::newRow("no such day") << "2024/02/30(金)" << QDate();
        QTest::newRow("text after it") << "2024/01/15 に会おう" << QDate();
        QTest::newRow("English text after it") << "2024.01.15 Monkey" << QDate();
    }

    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(parseLineDate(text).value_or(QDate()), date);
    }
};

QTEST_GUILESS_MAIN(TestLineExport)
#include "tst_lineexport.moc"

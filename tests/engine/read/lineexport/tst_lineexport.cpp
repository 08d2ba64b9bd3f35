// LINE exports line by line: the header-line text, roles and stamps they are turned into, and
// their times and day lines in every form the app writes.
#include "engine/read/formats/lineexport/lineexportwords.h"
#include "engine/read/logreader.h"
#include "engine/read/shared/clock.h"
#include "engine/read/shared/dates.h"
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
        // iOS: records end in CR LF, the line breaks inside a quoted text are bare LF, and the
        // hour after midnight is 24.
        QTest::newRow("iOS: CR LF records, LF inside, 24:32")
            << QByteArray("\xEF\xBB\xBF[LINE] x\r\n\r\n2024/01/15(\xE6\x9C\x88)\r\n"
                          "24:32\tA\tlate\r\n"
                          "23:59\tB\t\"one\n\ntwo\"\r\n24:01\tC\tthree\r\n")
            << notice("[LINE] x") + notice("2024/01/15(月)")
                + QStringList {"A の発言：", "24:32 late", "B の発言：", "23:59 one",
                               "",           "two",        "C の発言：", "24:01 three"};
        // The desktop app's export: no "[LINE] ", unquoted lines of a message, events with a
        // sender, a line that starts with a time but has no tab.
        QTest::newRow("desktop app")
            << QByteArray("Chat history in \"Firm\"\nSaved on: 5/4/2020, 17:03\n\n"
                          "Fri, 1/19/2018\n17:37\tBob invited you to a group.\n"
                          "18:00\tBob\tplan:\n09:30 start\n\n- bring food\n"
                          "18:01\tAnn\tAnn added a note.\n")
            << notice("Chat history in \"Firm\"") + notice("Saved on: 5/4/2020, 17:03")
                + notice("Fri, 1/19/2018") + notice("17:37 Bob invited you to a group.")
                + QStringList {"Bob の発言：", "18:00 plan:", "09:30 start", "", "- bring food"}
                + notice("18:01 Ann added a note.");
        // Line ends of every kind at every place in a run of four characters, beside control
        // characters that are none (tab, vertical tab, form feed, U+0001); the last a CR.
        QTest::newRow("line ends among control characters")
            << QByteArray("[LINE] x\n2024/01/15(\xE6\x9C\x88)\n21:00\tA\ta\tb\r\n"
                          "21:01\tB\t\f\v\x01\r\nc\n\tdd\x01\n\x0b\r\ne\r")
            << notice("[LINE] x") + notice("2024/01/15(月)")
                + QStringList {"A の発言：", "21:00 a\tb", "B の発言：", "21:01 \f\v\x01",
                               "c",          "\tdd\x01",   "\x0b",       "e"};
        // A quoted text may hold lines that read like a header line or a day line: they stay
        // lines of the text. A time that cannot be read still opens a record of its own.
        QTest::newRow("lines inside a quoted text")
            << QByteArray("[LINE] x\n2024/01/15(\xE6\x9C\x88)\n21:00\tA\t\"Bo の発言：\n"
                          "2024/01/16(\xE7\x81\xAB)\n\"\"q\"\"\"\n25:99\tB\tdamaged\n")
            << notice("[LINE] x") + notice("2024/01/15(月)")
                + QStringList {"A の発言：", "21:00 Bo の発言：", "2024/01/16(火)",
                               "\"q\"",      "B の発言：",        "25:99 damaged"};
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
        QVERIFY(reader.format().lineExport());
        QStringList read;
        QList<LineRole> roles;
        bool lf = true; // every line, the separators that close notices too, ends in LF
        LineInfo info;
        for (QString line; reader.readLine(line, &info);) {
            read.append(line);
            roles.append(info.role);
            lf &= info.end == textcodec::LineEnd::Lf;
        }
        QCOMPARE(read, lines);
        // A pass for the speakers alone gives the same lines, the header lines with their text.
        QVERIFY(reader.rewind());
        reader.setHeadersOnly(true);
        QList<LineRole> rolesAgain;
        for (QString line; reader.readLine(line, &info);) {
            if (info.role == LineRole::Header)
                QCOMPARE(line, lines[rolesAgain.size()]);
            rolesAgain.append(info.role);
        }
        QCOMPARE(rolesAgain, roles);
        reader.setHeadersOnly(false);
        // An export whose lines all end in LF is written with LF alone.
        QCOMPARE(lf, !bytes.contains('\r'));
        // Progress counts the export's own lines, every one of them read.
        QCOMPARE(reader.linesConsumed(), reader.lineCount());
    }

    // The line that opens each message or notice carries its date and time, for the page
    // writers; a second pass notes nothing twice. "24:32" is half past midnight of its day line.
    void stamps()
    {
        LogReader reader;
        QVERIFY(open(reader, (Japanese.join(u'\n') + "\n24:32\t自分\tまだ起きてる").toUtf8()));
        for (int pass = 0; pass < 2; ++pass) {
            QStringList stamped;
            QList<qint64> places; // each message's line in the export, for the page's links
            LineStamps::Cursor cursor(reader.stamps());
            QString line, date, time;
            LineInfo info;
            for (qsizetype i = 0; reader.readLine(line, &info); ++i) {
                if (line != Sep && cursor.at(i, &date, &time))
                    stamped.append(line + u'@' + date + u' ' + time);
                if (info.role == LineRole::Header)
                    places.append(info.sourceLine);
            }
            QCOMPARE(
                stamped,
                (QStringList {"山田 の発言：@2024/01/15 21:03", "自分 の発言：@2024/01/15 21:04",
                              "山田 の発言：@2024/01/15 21:06", "山田 の発言：@2024/01/15 21:07",
                              "自分 の発言：@2024/01/15 21:08", "自分 の発言：@2024/01/16 00:15",
                              "自分 の発言：@2024/01/16 24:32"}));
            QCOMPARE(reader.stamps().size(), 10); // two day lines and an event as well
            QCOMPARE(reader.stamps().lastDate(), QStringLiteral("2024/01/16"));
            QCOMPARE(places, (QList<qint64> {5, 6, 9, 10, 11, 14, 15}));
            QCOMPARE(reader.chatName(), QStringLiteral("山田"));
            QCOMPARE(reader.savedOn(), QStringLiteral("2024/01/15 21:03"));
            QVERIFY(reader.rewind());
        }
    }

    void times_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // empty: no time
        QTest::newRow("24-hour") << "21:03"
                                 << "21:03";
        QTest::newRow("hour of one digit") << "9:03"
                                           << "09:03";
        QTest::newRow("seconds") << "09:03:07"
                                 << "09:03:07";
        QTest::newRow("iOS after midnight") << "24:32"
                                            << "24:32";
        QTest::newRow("last of the night") << "29:59"
                                           << "29:59";
        QTest::newRow("午後") << "午後9:03"
                              << "21:03";
        QTest::newRow("午後 and a blank") << "午後 9:03"
                                          << "21:03";
        QTest::newRow("ideographic blanks") << "\u3000午後\u30009:03\u3000"
                                            << "21:03";
        QTest::newRow("午前0時") << "午前0:15"
                                 << "00:15";
        QTest::newRow("上午") << "上午09:59"
                              << "09:59";
        QTest::newRow("下午12 is noon") << "下午12:13"
                                        << "12:13";
        QTest::newRow("오후") << "오후 9:03"
                              << "21:03";
        QTest::newRow("12 AM") << "12:30 AM"
                               << "00:30";
        QTest::newRow("PM first") << "PM 12:05"
                                  << "12:05";
        QTest::newRow("pm after, no blank") << "9:03pm"
                                            << "21:03";
        QTest::newRow("30 o'clock") << "30:00"
                                    << "";
        QTest::newRow("13 PM") << "13:00 PM"
                               << "";
        QTest::newRow("60 minutes") << "9:60"
                                    << "";
        QTest::newRow("not a time") << "9時3分"
                                    << "";
    }

    void times()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const auto time = parseClockTime(text);
        QCOMPARE(time ? time->text() : QString(), shown);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("order");
        QTest::addColumn<QDate>("date");
        const int unknown = int(DayOrder::Unknown), dayFirst = int(DayOrder::DayFirst);
        QTest::newRow("Japanese") << "2024/01/15(月)" << unknown << QDate(2024, 1, 15);
        QTest::newRow("full-width parentheses")
            << "2018/08/22（水）" << unknown << QDate(2018, 8, 22);
        QTest::newRow("not padded, 週日") << "2016/5/8（週日）" << unknown << QDate(2016, 5, 8);
        QTest::newRow("dotted") << "2024.01.15 月曜日" << unknown << QDate(2024, 1, 15);
        QTest::newRow("dotted, English") << "2024.01.15 Monday" << unknown << QDate(2024, 1, 15);
        QTest::newRow("dotted, 星期") << "2020.07.21 星期二" << unknown << QDate(2020, 7, 21);
        QTest::newRow("weekday after") << "2015/12/25 Fri" << unknown << QDate(2015, 12, 25);
        QTest::newRow("年月日") << "2019年3月18日(月)" << unknown << QDate(2019, 3, 18);
        QTest::newRow("Korean") << "2019. 7. 10. (수)" << unknown << QDate(2019, 7, 10);
        QTest::newRow("English") << "Mon, 01/15/2024" << unknown << QDate(2024, 1, 15);
        QTest::newRow("English, not padded") << "Fri, 1/19/2018" << unknown << QDate(2018, 1, 19);
        QTest::newRow("either order, month first")
            << "Wed, 10/07/2019" << unknown << QDate(2019, 10, 7);
        QTest::newRow("either order, day first")
            << "Wed, 10/07/2019" << dayFirst << QDate(2019, 7, 10);
        QTest::newRow("Buddhist era") << "Wed, 10/07/2562 BE" << dayFirst << QDate(2019, 7, 10);
        QTest::newRow("day above 12") << "Mon, 15/01/2024" << unknown << QDate(2024, 1, 15);
        QTest::newRow("no such day") << "2024/02/30(金)" << unknown << QDate();
        QTest::newRow("text after it") << "2024/01/15 に会おう" << unknown << QDate();
        QTest::newRow("English text after it") << "2024.01.15 Monkey" << unknown << QDate();
        QTest::newRow("no year") << "Mon, 11/9" << unknown << QDate();
        QTest::newRow("Thai, no comma") << "ศ. 28/11/2568" << unknown << QDate(2025, 11, 28);
        QTest::newRow("German, dotted") << "Mo., 18.03.2024" << unknown << QDate(2024, 3, 18);
        QTest::newRow("German, either order agrees")
            << "Mi., 12.03.2025" << unknown << QDate(2025, 3, 12);
        QTest::newRow("Vietnamese") << "Th 2, 06/04/2026" << unknown << QDate(2026, 4, 6);
        QTest::newRow("Portuguese, year first")
            << "2024.03.18 segunda-feira" << unknown << QDate(2024, 3, 18);
        // Names that are words of text too count only where they agree with the date.
        QTest::newRow("disagreeing weekday") << "Do., 18.03.2024" << unknown << QDate();
        QTest::newRow("disagreeing word") << "sex, 18/03/2024" << unknown << QDate();
        QTest::newRow("disagreeing, year first") << "2024.03.18 Sonntag" << unknown << QDate();
    }

    void dates()
    {
        QFETCH(QString, text);
        QFETCH(int, order);
        QFETCH(QDate, date);
        const auto parsed = parseWrittenDate(text, DayOrder(order));
        QCOMPARE(parsed ? parsed->date : QDate(), date);
    }

    // The app's own words in each display language: the chat's name in the title, the
    // placeholders and the events; texts that look like them stay words of a sender.
    void words_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("placeholders");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("Japanese") << "[LINE] 山田とのトーク履歴"
                                  << "山田" << QStringList {"[写真]", "☎ 通話時間 0:20"}
                                  << QStringList {"山田がノートに投稿しました。",
                                                  "メッセージの送信を取り消しました"}
                                  << QStringList {"写真だよ", "[写真集]"};
        QTest::newRow("English") << "[LINE] Chat history with Ann"
                                 << "Ann" << QStringList {"[Photo]", "Missed call"}
                                 << QStringList {"Group call ended.", "Ann unsent a message."}
                                 << QStringList {"Photo", "[Photo] of us"};
        QTest::newRow("Chinese, traditional")
            << "[LINE] 與小熊的聊天記錄"
            << "小熊" << QStringList {"[貼圖]", "[聯絡資訊]"}
            << QStringList {"群組通話已結束。", "小熊已收回訊息"} << QStringList {"貼圖很可愛"};
        QTest::newRow("Chinese, simplified")
            << "[LINE] 与小林的聊天记录"
            << "小林" << QStringList {"[贴图]", "未接来电"}
            << QStringList {"群组通话已结束。", "小林撤回了一条消息"} << QStringList {"贴图"};
        QTest::newRow("Korean") << "[LINE] 민지와의 대화"
                                << "민지" << QStringList {"[스티커]", "[음성메시지]"}
                                << QStringList {"그룹통화가 종료되었습니다.",
                                                "민지님이 메시지를 취소했습니다."}
                                << QStringList {"사진"};
        QTest::newRow("Thai") << "[LINE] ประวัติการแชทในกลุ่ม \"ชมรมจักรยาน\""
                              << "ชมรมจักรยาน" << QStringList {"[สติกเกอร์]", "ไม่ได้รับสาย"}
                              << QStringList {"การโทรกลุ่มสิ้นสุดลงแล้ว", "ยกเลิกข้อความแล้ว"}
                              << QStringList {"รูป", "แล้ว"};
        QTest::newRow("Indonesian")
            << "[LINE] Riwayat obrolan dengan Sari"
            << "Sari" << QStringList {"[Pesan suara]", "Panggilan tak terjawab"}
            << QStringList {"Panggilan grup berakhir.", "Sari membatalkan pengiriman pesan."}
            << QStringList {"Foto", "pesan."};
        QTest::newRow("Vietnamese")
            << "[LINE] Lịch sử trò chuyện với nhóm Tổ Trực Ca"
            << "Tổ Trực Ca" << QStringList {"[Ảnh]", "Cuộc gọi nhỡ"}
            << QStringList {"Cuộc gọi nhóm đã kết thúc.", "Minh Khoa đã thu hồi tin nhắn."}
            << QStringList {"Ảnh"};
        QTest::newRow("German") << "[LINE] Chatverlauf mit Lena"
                                << "Lena" << QStringList {"[Sprachnachricht]", "Verpasster Anruf"}
                                << QStringList {"Gruppenanruf beendet.",
                                                "Lena hat das Senden einer Nachricht "
                                                "zurückgenommen."}
                                << QStringList {"Foto", "[Foto] vom Strand"};
        QTest::newRow("French") << "[LINE] Historique des discussions avec Chloé"
                                << "Chloé" << QStringList {"[Message vocal]", "Appel manqué"}
                                << QStringList {"Appel de groupe terminé.",
                                                "Chloé a annulé l'envoi d'un message."}
                                << QStringList {"Vidéo"};
        QTest::newRow("Spanish") << "[LINE] Historial de chat con Lucía"
                                 << "Lucía" << QStringList {"[Mensaje de voz]", "Llamada perdida"}
                                 << QStringList {"Llamada grupal finalizada.",
                                                 "Lucía anuló el envío de un mensaje."}
                                 << QStringList {"Foto"};
        QTest::newRow("Portuguese")
            << "[LINE] Histórico de conversas com Ana"
            << "Ana" << QStringList {"[Mensagem de voz]", "Chamada perdida"}
            << QStringList {"Chamada em grupo encerrada.", "Ana cancelou o envio de uma mensagem."}
            << QStringList {"Foto"};
        QTest::newRow("Italian") << "[LINE] Cronologia chat con Giulia"
                                 << "Giulia" << QStringList {"[Messaggio vocale]", "Chiamata persa"}
                                 << QStringList {"Chiamata di gruppo terminata.",
                                                 "Giulia ha annullato l'invio di un messaggio."}
                                 << QStringList {"Foto"};
    }

    void words()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QFETCH(QStringList, placeholders);
        QFETCH(QStringList, events);
        QFETCH(QStringList, texts);
        QVERIFY(isLineExportTitle(title));
        QCOMPARE(chatName(title), name);
        for (const QString &text : placeholders)
            QVERIFY2(isPlaceholder(text) && !isEventText(text), qPrintable(text));
        for (const QString &text : events)
            QVERIFY2(isEventText(text) && !isPlaceholder(text), qPrintable(text));
        for (const QString &text : texts)
            QVERIFY2(!isPlaceholder(text) && !isEventText(text), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestLineExport)
#include "tst_lineexport.moc"

// KakaoTalk lines in the forms the twins do not hold, and lines that look like records but are
// a message's text; which heads are KakaoTalk's, and in which encoding a file that is not UTF-8
// throughout is read.
#include "engine/read/formats/formats.h"
#include "engine/read/formats/kakaotalk/kakaotalklines.h"
#include "engine/read/logreader.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QTest>

using kakaotalk::Line;

class TestKakaoTalk : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void heads_data();
    void heads();
    void encodings_data();
    void encodings();
};

void TestKakaoTalk::lines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("time"); // empty: none
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("text");
    const int text = int(Line::Kind::Text), day = int(Line::Kind::Day),
              message = int(Line::Kind::Message), event = int(Line::Kind::Event);
    const QDate d(2019, 7, 10);
    QTest::newRow("desktop, English") << "[Ann] [9:03 PM] hi" << message << QDate() << "21:03"
                                      << "Ann"
                                      << "hi";
    QTest::newRow("desktop, English day line")
        << "--------------- Wednesday, July 10, 2019 ---------------" << day << d << ""
        << ""
        << "Wednesday, July 10, 2019";
    QTest::newRow("desktop, a name with brackets, no text")
        << "[[팀] 하나] [오전 12:07]" << message << QDate() << "00:07"
        << "[팀] 하나"
        << "";
    QTest::newRow("iOS, English") << "Jul 10, 2019 at 21:03, Ann : hi" << message << d << "21:03"
                                  << "Ann"
                                  << "hi";
    QTest::newRow("iOS, English event")
        << "Jul 10, 2019 at 21:03: Ann invited Bo." << event << d << "21:03"
        << ""
        << "Ann invited Bo.";
    QTest::newRow("phone, a message without text")
        << "2019년 7월 10일 오후 9:03, Ann :" << message << d << "21:03"
        << "Ann"
        << "";
    QTest::newRow("text: a date and more")
        << "2019년 7월 10일 수요일에 만나요" << text << QDate() << ""
        << ""
        << "";
    QTest::newRow("text: brackets without a time") << "[1코스] [호수] 공원" << text << QDate() << ""
                                                   << ""
                                                   << "";
    QTest::newRow("text: dashes") << "-----------------------" << text << QDate() << ""
                                  << ""
                                  << "";
    QTest::newRow("text: no such day")
        << "2019. 2. 30. 오후 9:03, Ann : hi" << text << QDate() << ""
        << ""
        << "";
}

void TestKakaoTalk::lines()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QDate, date);
    QFETCH(QString, time);
    QFETCH(QString, sender);
    QFETCH(QString, text);
    const Line parsed = kakaotalk::parseLine(line);
    QCOMPARE(int(parsed.kind), kind);
    if (kind == int(Line::Kind::Text))
        return;
    QCOMPARE(parsed.date, date);
    QCOMPARE(parsed.time ? parsed.time->text() : QString(), time);
    QCOMPARE(parsed.sender, sender);
    QCOMPARE(parsed.text, text);
}

void TestKakaoTalk::heads_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<bool>("kakaoTalk");
    QTest::newRow("title and date saved")
        << "Ann 님과 카카오톡 대화\r\n저장한 날짜 : 2019-07-10 12:34:56\r\n"
        << true;
    QTest::newRow("cut to its records")
        << "\n--------------- 2019년 7월 10일 수요일 ---------------\n[Ann] [오후 9:03] hi\n"
        << true;
    QTest::newRow("a title alone") << "Ann 님과 카카오톡 대화\nこんばんは\n" << false;
    QTest::newRow("a log in brackets") << "[たろう] [21:03] こんばんは\n[はなこ] [21:04] やあ\n"
                                       << false;
}

void TestKakaoTalk::heads()
{
    QFETCH(QString, head);
    QFETCH(bool, kakaoTalk);
    QCOMPARE(formats::byHead(head) == FormatId::KakaoTalk, kakaoTalk);
}

void TestKakaoTalk::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<bool>("kakaoTalk");
    const QByteArray head = QStringLiteral("Ann 님과 카카오톡 대화\r\n저장한 날짜 : 2019-07-10 "
                                           "12:34:56\r\n\r\n[Ann] [오후 9:03] ")
                                .toUtf8();
    QTest::newRow("UTF-8 with a damaged byte") << head + "\xFF\r\n"
                                               << int(textcodec::Encoding::Utf8) << true;
    QTest::newRow("a Shift-JIS log") << QByteArray("\x82\xBD\x82\xEB\x82\xA4 \x82\xCC\x94\xAD"
                                                   "\x8C\xBE\x81\x46\r\nhi\r\n")
                                     << int(textcodec::Encoding::ShiftJis) << false;
}

void TestKakaoTalk::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(bool, kakaoTalk);
    QTemporaryDir dir;
    LogReader reader;
    QVERIFY(reader.open(writeFile(dir.filePath(QStringLiteral("talk.txt")), bytes),
                        QStringLiteral("の発言：")));
    QCOMPARE(int(reader.format().detection.encoding), encoding);
    QCOMPARE(reader.format().chatExport(), kakaoTalk);
}

QTEST_GUILESS_MAIN(TestKakaoTalk)
#include "tst_kakaotalk.moc"

#include "engine/read/formats/whatsapp/whatsapphead.h"
#include "engine/read/formats/whatsapp/whatsappreader.h"

#include <QTest>

using namespace whatsapp;

// What the twins of real exports (tst_exports) do not show: the heads of the phone languages
// that have no twin, the order of day and month where the dates do not tell it, and the chat's
// name in the file's.
class TestWhatsApp : public QObject
{
    Q_OBJECT

private slots:
    void heads_data();
    void heads();
    void dayOrder_data();
    void dayOrder();
    void chatNames_data();
    void chatNames();
};

void TestWhatsApp::heads_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("monthFirst");
    QTest::addColumn<QString>("read"); // "date time|rest", empty for no head
    QTest::newRow("US iPhone") << "[1/15/20, 9:03:07 PM] Ann: hi" << true
                               << "2020/01/15 21:03:07|Ann: hi";
    QTest::newRow("narrow space, a medium")
        << u"\u200e[15/1/20, 12:05:10\u202fAM] Ann: x"_qs << false << "2020/01/15 00:05:10|Ann: x";
    QTest::newRow("German Android")
        << "15.01.20, 21:03 - Ann: hi" << false << "2020/01/15 21:03|Ann: hi";
    QTest::newRow("Spanish") << "15/1/24, 9:03 p. m. - Ann: hi" << false
                             << "2024/01/15 21:03|Ann: hi";
    QTest::newRow("Japanese") << "2020/01/15 午後9:03 - Ann: hi" << false
                              << "2020/01/15 21:03|Ann: hi";
    QTest::newRow("Korean") << "2020. 1. 15. 오후 9:03 - Ann: hi" << false
                            << "2020/01/15 21:03|Ann: hi";
    QTest::newRow("an event") << "15/01/2020, 21:03 - Ann left" << false
                              << "2020/01/15 21:03|Ann left";
    QTest::newRow("no separator") << "15/01/2020, 21:03 Ann: hi" << false << QString();
    QTest::newRow("13 PM") << "[1/15/20, 13:03:07 PM] Ann: hi" << true << QString();
    QTest::newRow("a year of three digits") << "15/01/202, 21:03 - Ann: hi" << false << QString();
    QTest::newRow("a time alone") << "21:03 - Ann: hi" << false << QString();
}

// A line opens a record with the date and time it says, or it is a line of a message.
void TestWhatsApp::heads()
{
    QFETCH(QString, line);
    QFETCH(bool, monthFirst);
    QFETCH(QString, read);
    const auto head = parseHead(line);
    QCOMPARE(head.has_value(), !read.isEmpty());
    if (!head)
        return;
    const QDate date = dateOf(*head, monthFirst ? DayOrder::MonthFirst : DayOrder::DayFirst);
    const QString time = head->time.toString(head->seconds ? u"HH:mm:ss" : u"HH:mm");
    QCOMPARE(date.toString(u"yyyy/MM/dd") + u' ' + time + u'|' + head->rest, read);
}

void TestWhatsApp::dayOrder_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("order");
    const int day = int(DayOrder::DayFirst), month = int(DayOrder::MonthFirst);
    QTest::newRow("a day over 12")
        << QStringList {"[1/2/20, 9:03:07 PM] A: x", "[13/2/20, 9:03:07 PM] A: x"} << day;
    QTest::newRow("the dates run forward")
        << QStringList {"1/2/20, 21:03 - A: x", "1/3/20, 21:03 - A: x", "2/1/20, 21:03 - A: x"}
        << month;
    QTest::newRow("slashes and PM") << QStringList {"[1/2/20, 9:03:07 PM] A: x"} << month;
    QTest::newRow("slashes, 24 hours") << QStringList {"1/2/20, 21:03 - A: x"} << day;
}

void TestWhatsApp::dayOrder()
{
    QFETCH(QStringList, lines);
    QFETCH(int, order);
    DayOrderSurvey survey;
    for (const QString &line : lines)
        survey.add(*parseHead(line));
    QCOMPARE(int(survey.order()), order);
}

void TestWhatsApp::chatNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("Android") << "/x/WhatsApp Chat with Ann Lee.txt"
                             << "Ann Lee";
    QTest::newRow("German") << "WhatsApp-Chat mit Ann.txt"
                            << "Ann";
    QTest::newRow("Japanese") << "WhatsApp チャット - 山歩きの会.txt"
                              << "山歩きの会";
    QTest::newRow("iPhone, unzipped") << "/x/WhatsApp Chat - Ann - Bo/_chat.txt"
                                      << "Ann - Bo";
    QTest::newRow("renamed") << "/x/ann.txt" << QString();
}

void TestWhatsApp::chatNames()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(WhatsAppReader::chatNameOf(path), name);
}

QTEST_GUILESS_MAIN(TestWhatsApp)
#include "tst_whatsapp.moc"

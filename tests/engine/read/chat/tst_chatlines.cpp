#include "engine/read/chat/quotebook.h"
#include "engine/read/chat/recordlines.h"
#include "engine/read/linestamps.h"
#include "engine/read/shared/isotime.h"

#include <QFile>
#include <QTest>

// What the records of a chat export become on their way to the outputs: the quote a reply shows,
// and the times of instants in the reader's zone, pass after pass.
namespace {

// A chat's records from memory.
class HeldRecords : public RecordReader
{
public:
    explicit HeldRecords(QList<chat::Record> records)
        : m_records(std::move(records))
    {
    }
    const chat::Chat &chat() const override { return m_chat; }
    bool restart() override
    {
        m_next = 0;
        ++restarts;
        return true;
    }
    bool next(chat::Record &record) override
    {
        if (m_next >= m_records.size())
            return false;
        record = m_records.at(m_next++);
        return true;
    }
    qsizetype total() override { return m_records.size(); }
    qsizetype consumed() const override { return m_next; }
    bool failed() const override { return false; }
    QString errorString() const override { return {}; }

    int restarts = 0;

private:
    chat::Chat m_chat;
    QList<chat::Record> m_records;
    qsizetype m_next = 0;
};

chat::Record said(const QString &sender, const QDateTime &at, const QString &text)
{
    chat::Record r;
    r.message.sender = sender;
    r.message.when = chat::Moment::fromInstant(at);
    r.message.text = {text};
    return r;
}

} // namespace

class TestChatLines : public QObject
{
    Q_OBJECT

private slots:
    void replyQuotes_data();
    void replyQuotes();
    void quotesPastTheBound();
    void instantsShownInZone();
    void isoInstants_data();
    void isoInstants();
};

void TestChatLines::replyQuotes_data()
{
    QTest::addColumn<QStringList>("text");
    QTest::addColumn<QString>("attachment");
    QTest::addColumn<QString>("quote");
    QTest::newRow("blanks run together, lines joined")
        << QStringList {u"  明日は\t 海へ  "_qs, u"\u3000行こう "_qs} << QString()
        << u"明日は 海へ 行こう"_qs;
    QTest::newRow("cut after 40")
        << QStringList {u"0123456789 0123456789 0123456789 0123456789 tail"_qs} << QString()
        << u"0123456789 0123456789 0123456789 0123456"_qs;
    QTest::newRow("a blank at the cut")
        << QStringList {QString(39, u'x') + u"  y"_qs} << QString() << QString(39, u'x') + u' ';
    QTest::newRow("no text: the file's name")
        << QStringList {u" "_qs} << u"IMG_0001.jpg"_qs << u"IMG_0001.jpg"_qs;
}

// A reply quotes the start of the message it answers on one line, as the page shows it.
void TestChatLines::replyQuotes()
{
    QFETCH(QStringList, text);
    QFETCH(QString, attachment);
    QFETCH(QString, quote);
    QuoteBook book;
    chat::Message answered;
    answered.id = u"17"_qs;
    answered.sender = u"Ann"_qs;
    answered.text = text;
    if (!attachment.isEmpty())
        answered.attachments.append({attachment, u"写真"_qs, -1, {}});
    book.remember(answered);

    chat::Message reply;
    reply.replyTo = u"17"_qs;
    book.fill(reply);
    QCOMPARE(reply.replySender, u"Ann"_qs);
    QCOMPARE(reply.replyQuote, quote);
    chat::Message unknown;
    unknown.replyTo = u"18"_qs;
    book.fill(unknown);
    QVERIFY(unknown.replyQuote.isEmpty());
}

// Past its bound the book forgets the oldest quotes, and only those.
void TestChatLines::quotesPastTheBound()
{
    QuoteBook book;
    const int forgotten = 5000;
    for (int i = 0; i < QuoteBook::Bound + forgotten; ++i) {
        chat::Message m;
        m.id = QString::number(i);
        m.sender = u"Ann"_qs;
        m.text = {u"said "_qs + m.id};
        book.remember(m);
    }
    for (int i = 0; i < QuoteBook::Bound + forgotten; ++i) {
        chat::Message reply;
        reply.replyTo = QString::number(i);
        book.fill(reply);
        if (reply.replyQuote != (i < forgotten ? QString() : u"said "_qs + reply.replyTo))
            QFAIL(qPrintable(u"quote of "_qs + reply.replyTo + u": "_qs + reply.replyQuote));
    }
}

// Instants are shown in the reader's zone on either side of a change of its offset, also when
// the export goes back in time; the second pass (a page's) gives the same lines without reading
// the export again.
void TestChatLines::instantsShownInZone()
{
    const QTimeZone utc = QTimeZone::utc();
    auto held = std::make_unique<HeldRecords>(QList<chat::Record> {
        said(u"Ann"_qs, QDateTime(QDate(2024, 3, 31), QTime(0, 59), utc), u"before"_qs),
        said(u"Bo"_qs, QDateTime(QDate(2024, 3, 31), QTime(1, 0), utc), u"after"_qs),
        said(u"Ann"_qs, QDateTime(QDate(2024, 3, 30), QTime(12, 0), utc), u"back"_qs),
    });
    HeldRecords &records = *held;
    QFile file;
    const textcodec::Detection detection;
    const QString header = u" の発言："_qs, disk, path;
    LineStamps stamps;
    const bool wanted = true, again = true;
    const QTimeZone berlin("Europe/Berlin");
    const QHash<QString, QString> names;
    RecordLines lines(
        std::move(held),
        {file, detection, header, stamps, wanted, {}, berlin, disk, path, names, again});
    QVERIFY(lines.load());
    const auto pass = [&lines] {
        QStringList out;
        QString line;
        LineInfo info;
        lines.restart();
        while (lines.next(line, info)) {
            if (info.role == LineRole::Message)
                out.append(line);
        }
        return out;
    };
    const QStringList first = pass();
    QCOMPARE(first,
             (QStringList {u"01:59:00 before"_qs, u"03:00:00 after"_qs, u"13:00:00 back"_qs}));
    QCOMPARE(pass(), first);
    QCOMPARE(records.restarts, 1);
    QCOMPARE(lines.shownZone(), u"Europe/Berlin (UTC+01:00)"_qs);
}

void TestChatLines::isoInstants_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text :
         {"2024-01-15T21:03:05Z", "2024-01-15T21:03:05.123Z", "2024-01-15T21:03:05+09:00",
          "2020-09-07T12:34:56.789-05:30", "2020-09-07T12:34:56.7890000+00:00",
          "2024-02-30T10:00:00Z", "2024-01-15T24:00:00Z", "2024-01-15 21:03:05Z",
          "2024-01-15T21:03:05", "2024-01-15T21:03:05+9"})
        QTest::newRow(text) << QString::fromLatin1(text);
}

// An export's instants read by hand are the instants Qt reads.
void TestChatLines::isoInstants()
{
    QFETCH(QString, text);
    const QDateTime qt = QDateTime::fromString(text, Qt::ISODateWithMs);
    const QDateTime ours = isoDateTime(text);
    QCOMPARE(ours.isValid(), qt.isValid());
    if (qt.isValid())
        QCOMPARE(ours.toMSecsSinceEpoch(), qt.toMSecsSinceEpoch());
}

QTEST_GUILESS_MAIN(TestChatLines)
#include "tst_chatlines.moc"

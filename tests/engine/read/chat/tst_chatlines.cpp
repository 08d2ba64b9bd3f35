#include "engine/read/chat/aheadrecords.h"
#include "engine/read/chat/packedrecords.h"
#include "engine/read/chat/quotebook.h"
#include "engine/read/chat/recordlines.h"
#include "engine/read/linestamps.h"
#include "engine/read/shared/isotime.h"

#include <QBuffer>
#include <QFile>
#include <QTest>
#include <condition_variable>
#include <mutex>
#include <thread>

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
        m_broke = false;
        ++restarts;
        return true;
    }
    bool next(chat::Record &record) override
    {
        m_broke = m_next == failAt;
        if (m_next >= m_records.size() || m_broke)
            return false;
        record = m_records.at(m_next++);
        return true;
    }
    qsizetype total() override { return m_records.size(); }
    qsizetype consumed() const override { return m_next; }
    bool failed() const override { return m_broke; }
    QString errorString() const override
    {
        return failed() ? QStringLiteral("broken at %1").arg(failAt) : QString();
    }

    int restarts = 0;
    qsizetype failAt = -1; // where the export breaks off

private:
    chat::Chat m_chat;
    QList<chat::Record> m_records;
    qsizetype m_next = 0;
    bool m_broke = false;
};

chat::Record said(const QString &sender, const QDateTime &at, const QString &text)
{
    chat::Record r;
    r.message.sender = sender;
    r.message.when = chat::Moment::fromInstant(at);
    r.message.text = {text};
    return r;
}

// Records packed as they come (or packed elsewhere and taken whole), handed out in time order
// (records of one time as they came).
class Packed : public PackedRecords
{
public:
    using PackedRecords::Unknown;
    explicit Packed(const QList<std::pair<qint64, chat::Record>> &records, bool chunked = false)
    {
        PackedChunk chunk;
        for (const auto &[at, record] : records)
            (chunked ? static_cast<RecordSink &>(chunk) : *this).add(at, record);
        add(chunk);
        sort(false);
    }
    // The objects of a JSON array.
    explicit Packed(JsonObjects &objects, const NoteObject &note)
    {
        addObjects(objects, note);
        sort(false);
    }
};

// Every field of a record, a null string told from an empty one.
QString described(const chat::Record &r)
{
    QStringList out;
    const auto text = [&out](const QString &s) {
        out.append(s.isNull() ? u"<null>"_qs : s);
    };
    const auto list = [&](const QStringList &l) {
        out.append(QString::number(l.size()));
        for (const QString &s : l)
            text(s);
    };
    const auto moment = [&out](const chat::Moment &w) {
        out.append(w.at.toString(Qt::ISODateWithMs) + QString::number(w.at.timeSpec())
                   + QString::number(w.instant) + QString::number(w.seconds)
                   + QString::number(w.dayOnly));
    };
    const chat::Message &m = r.message;
    out.append(QString::number(int(r.kind)));
    text(m.id);
    out.append(QString::number(m.line));
    text(m.sender);
    list(m.recipients);
    moment(m.when);
    list(m.text);
    text(m.replyTo);
    text(m.replyQuote);
    text(m.replySender);
    out.append(QString::number(m.threaded + 2 * m.alsoSent + 4 * m.edited + 8 * m.forwarded));
    text(m.forwardedFrom);
    for (const chat::Reaction &reaction : m.reactions) {
        text(reaction.emoji);
        list(reaction.by);
    }
    for (const chat::Attachment &a : m.attachments) {
        text(a.name);
        text(a.kind);
        out.append(QString::number(a.size));
        text(a.path);
    }
    text(r.event.text);
    text(r.event.actor);
    moment(r.event.when);
    out.append(r.day.date.toString(Qt::ISODate));
    text(r.day.text);
    return out.join(u'|');
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
    void packedRecords();
    void packedObjects();
    void readAhead_data();
    void readAhead();
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

// Past its bound the book forgets the oldest quotes, and only those; asked while the chat is
// read, over many times its bound, it quotes what was said last under each id, by whom.
void TestChatLines::quotesPastTheBound()
{
    const QString senders[] = {u"Ann"_qs, u"Bob"_qs, u"Bob"_qs, u"Cy"_qs};
    auto said = [&senders](QuoteBook &book, int id, const QString &text) {
        chat::Message m;
        m.id = QString::number(id);
        m.sender = senders[id % 4];
        m.text = {text};
        book.remember(m);
    };
    auto answer = [](QuoteBook &book, int id) {
        chat::Message reply;
        reply.replyTo = QString::number(id);
        book.fill(reply);
        return reply;
    };
    auto quoted = [&answer](QuoteBook &book, int id) {
        return answer(book, id).replyQuote;
    };
    QuoteBook book;
    const int forgotten = 5000;
    for (int i = 0; i < QuoteBook::Bound + forgotten; ++i)
        said(book, i, u"said "_qs + QString::number(i));
    for (int i = 0; i < QuoteBook::Bound + forgotten; ++i) {
        const chat::Message reply = answer(book, i);
        const bool known = i >= forgotten;
        if (reply.replyQuote != (known ? u"said "_qs + QString::number(i) : QString())
            || reply.replySender != (known ? senders[i % 4] : QString()))
            QFAIL(qPrintable(u"quote of %1: "_qs.arg(i) + reply.replySender + u' '
                             + reply.replyQuote));
    }

    QuoteBook live;
    for (int i = 0; i < 5 * QuoteBook::Bound; ++i) {
        said(live, i, u"said "_qs + QString::number(i));
        if (i % 1000 == 999) // said again
            said(live, i - 10, u"edited "_qs + QString::number(i - 10));
        if (i % 997 != 0 || i < QuoteBook::Bound)
            continue;
        const int edited = i / 1000 * 1000 - 11;
        QCOMPARE(quoted(live, i - 500), u"said "_qs + QString::number(i - 500));
        QCOMPARE(quoted(live, edited), u"edited "_qs + QString::number(edited));
        QCOMPARE(quoted(live, i - QuoteBook::Bound - 20), QString());
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

// Every field comes back as it was packed, in time order, pass after pass, into one record
// reused: nothing of a record is left in the next.
void TestChatLines::packedRecords()
{
    chat::Record full;
    chat::Message &m = full.message;
    m = {u"id1"_qs,
         12,
         u"Ann"_qs,
         {u"Bob"_qs, QString()},
         chat::Moment::fromInstant(
             QDateTime(QDate(2024, 1, 15), QTime(21, 3, 5, 120), QTimeZone(9 * 3600))),
         {u"line"_qs, u""_qs, u"さようなら"_qs},
         u"id0"_qs,
         u"quote"_qs,
         u"Bob"_qs,
         true,
         true,
         {{u"👍"_qs, {u"Bob"_qs, u"Cid"_qs}}, {u"❤"_qs, {}}},
         {{u"a.jpg"_qs, u"写真"_qs, 1234, u"photos/a.jpg"_qs}},
         true,
         true,
         u"Cid"_qs};
    chat::Record bare;
    bare.message.when = chat::Moment::written(QDate(2024, 1, 15), QTime(22, 0), true);
    chat::Record event;
    event.kind = chat::Record::Kind::Event;
    event.event = {u"Ann left"_qs, u"Ann"_qs, chat::Moment::fromEpochMs(1705320000000)};
    chat::Record day;
    day.kind = chat::Record::Kind::Day;
    day.day = {QDate(2024, 1, 15), u"2024年1月15日"_qs};
    const QStringList expected
        = {described(day), described(full), described(bare), described(event)};

    for (const bool chunked : {false, true}) {
        Packed packed({{3000, event}, {2000, full}, {2000, bare}, {Packed::Unknown, day}}, chunked);
        chat::Record record;
        for (int pass = 0; pass < 2; ++pass) {
            QVERIFY(packed.restart());
            QStringList read;
            while (packed.next(record))
                read.append(described(record));
            QCOMPARE(read, expected);
            QCOMPARE(packed.consumed(), packed.total());
        }
    }
}

// A long array's objects packed where they are read while the caller is behind, and here
// otherwise, come out whole and in order either way. The caller waits halfway (well past the
// objects read on its own thread) until the reading thread has packed a batch, which it does
// as batches wait: so both ways are taken.
void TestChatLines::packedObjects()
{
    const int count = 3000;
    QByteArray json = "[";
    for (int i = 0; i < count; ++i)
        json += QByteArray(i ? "," : "") + "{\"n\":" + QByteArray::number(i) + ",\"t\":\"said "
            + QByteArray::number(i) + "\"}";
    json += "]";
    QBuffer device(&json);
    QVERIFY(device.open(QIODevice::ReadOnly));
    JsonPull pull(device);
    QCOMPARE(pull.next(), JsonPull::Token::StartArray);

    const std::thread::id here = std::this_thread::get_id();
    std::mutex mutex;
    std::condition_variable packedAway;
    bool away = false;
    JsonObjects objects(pull, JsonPull::takeObject, false,
                        [&](const rapidjson::Value &item, bool, qint64 index, RecordSink &into) {
                            chat::Record r = said(u"Ann"_qs, {}, json::string(item, "t"));
                            r.message.id = QString::number(index);
                            into.add(json::integer(item, "n"), r);
                            if (std::this_thread::get_id() != here) {
                                const std::lock_guard lock(mutex);
                                away = true;
                                packedAway.notify_all();
                            }
                        });
    qint64 noted = 0;
    Packed packed(objects, [&](const rapidjson::Value &item, bool) {
        QCOMPARE(json::integer(item, "n"), noted);
        if (noted++ == count / 2) {
            std::unique_lock lock(mutex);
            packedAway.wait(lock, [&away] { return away; });
        }
    });
    QCOMPARE(noted, count);
    QVERIFY(!pull.failed());
    chat::Record record;
    for (int i = 0; i < count; ++i) {
        QVERIFY(packed.next(record));
        QCOMPARE(record.message.id, QString::number(i));
        QCOMPARE(record.message.text, QStringList {u"said "_qs + QString::number(i)});
    }
    QVERIFY(!packed.next(record));
}

void TestChatLines::readAhead_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("failAt"); // -1: read to the end
    QTest::addColumn<int>("leftAt"); // the first pass is left after so many records; -1: not

    QTest::newRow("none") << 0 << -1 << -1;
    QTest::newRow("fewer than a batch") << 5 << -1 << -1;
    QTest::newRow("many batches") << 3000 << -1 << -1;
    QTest::newRow("broken off") << 3000 << 1500 << -1;
    QTest::newRow("broken at once") << 10 << 0 << -1;
    QTest::newRow("left, then read again") << 3000 << -1 << 300;
}

// Read on a thread of its own, an export's records come out as its reader gives them, with its
// progress and its failure where they happened, pass after pass; so do their lines.
void TestChatLines::readAhead()
{
    QFETCH(int, records);
    QFETCH(int, failAt);
    QFETCH(int, leftAt);
    QList<chat::Record> held;
    for (int i = 0; i < records; ++i)
        held.append(said(u"Ann"_qs, QDateTime::fromSecsSinceEpoch(i, QTimeZone::utc()),
                         QString::number(i)));
    auto wrapped = std::make_unique<HeldRecords>(held);
    wrapped->failAt = failAt;
    const std::unique_ptr<RecordReader> ahead = ::readAhead(std::move(wrapped));
    const int expected = failAt < 0 ? records : failAt;
    QVERIFY(ahead->load());
    chat::Record record;
    for (int pass = 0; pass < 3; ++pass) {
        QVERIFY(ahead->restart());
        int read = 0;
        while ((pass > 0 || read != leftAt) && ahead->next(record)) {
            QCOMPARE(record.message.text, QStringList {QString::number(read)});
            QCOMPARE(ahead->consumed(), ++read);
            QVERIFY(!ahead->failed());
        }
        if (pass == 0 && leftAt >= 0)
            continue;
        QCOMPARE(read, expected);
        QCOMPARE(ahead->failed(), failAt >= 0);
        QCOMPARE(ahead->errorString(), failAt < 0 ? QString() : u"broken at %1"_qs.arg(failAt));
        QVERIFY(!ahead->next(record));
    }

    // Their lines too are made on a thread of their own: the same messages with the progress
    // of each, and nothing of a record past the failure.
    auto again = std::make_unique<HeldRecords>(held);
    again->failAt = failAt;
    QFile file;
    const textcodec::Detection detection;
    const QString header = u" の発言："_qs, disk, path;
    LineStamps stamps;
    const bool wanted = true, readAgain = false;
    const QTimeZone utc = QTimeZone::utc();
    const QHash<QString, QString> names;
    RecordLines lines(
        ::readAhead(std::move(again)),
        {file, detection, header, stamps, wanted, {}, utc, disk, path, names, readAgain});
    QVERIFY(lines.load());
    for (int pass = 0; pass < 3; ++pass) {
        QVERIFY(lines.restart());
        int read = 0;
        QString line;
        LineInfo info;
        while ((pass > 0 || read != leftAt) && lines.next(line, info)) {
            if (info.role != LineRole::Message)
                continue;
            QCOMPARE(line.section(u' ', 1), QString::number(read));
            QCOMPARE(lines.linesConsumed(), ++read);
        }
        if (pass == 0 && leftAt >= 0)
            continue;
        QCOMPARE(read, expected);
        QCOMPARE(lines.failed(), failAt >= 0);
        QVERIFY(!lines.next(line, info));
    }
}

QTEST_GUILESS_MAIN(TestChatLines)
#include "tst_chatlines.moc"

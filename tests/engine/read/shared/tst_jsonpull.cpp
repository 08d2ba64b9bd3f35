#include "engine/read/shared/jsonobjects.h"
#include "engine/read/shared/jsonpull.h"

#include <QBuffer>
#include <QTest>

// A JSON export read value by value, its values whole: the same where a value lies inside one
// piece read from the device and where it runs across two, and a broken one named by the line
// it breaks on.
namespace {

constexpr qsizetype PieceBytes = 64 * 1024; // as JsonPull reads the device

// An array of `count` messages, one a line after the "[" of line 1, each about 200 bytes.
QList<QByteArray> messageLines(int count, int textBytes = 150)
{
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i)
        lines.append("{\"id\": " + QByteArray::number(i) + ", \"text\": \""
                     + QByteArray(textBytes, 'a') + "\\n\\u00e9\", \"from\": {\"name\": \"Ann\"}}"
                     + (i + 1 < count ? "," : ""));
    return lines;
}

QByteArray joined(const QList<QByteArray> &lines)
{
    return "[\n" + lines.join('\n') + "\n]\n";
}

// The message whose bytes run across the end of the first piece.
int acrossPieces(const QList<QByteArray> &lines)
{
    qsizetype at = 2;
    for (int i = 0; i < lines.size(); ++i) {
        if (at + lines[i].size() > PieceBytes)
            return i;
        at += lines[i].size() + 1;
    }
    return -1;
}

} // namespace

class TestJsonPull : public QObject
{
    Q_OBJECT

private slots:
    void whole_data();
    void whole();
    void broken_data();
    void broken();
    void amongOthers_data();
    void amongOthers();
    void skipped_data();
    void skipped();
    void placedMembers();
};

void TestJsonPull::whole_data()
{
    QTest::addColumn<bool>("ahead");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("textBytes");
    QTest::newRow("taken") << false << 700 << 150;
    // Read from the piece ahead where it holds the message whole, as a reader of its own reads
    // it; taken where it runs past.
    QTest::newRow("read ahead") << true << 700 << 150;
    QTest::newRow("longer than two pieces") << false << 3 << int(2 * PieceBytes + 100);
}

void TestJsonPull::whole()
{
    QFETCH(bool, ahead);
    QFETCH(int, count);
    QFETCH(int, textBytes);
    const QByteArray text = joined(messageLines(count, textBytes));
    QBuffer device;
    device.setData(text);
    QVERIFY(device.open(QIODevice::ReadOnly));
    JsonPull pull(device);
    QCOMPARE(pull.next(), JsonPull::Token::StartArray);
    rapidjson::Document m;
    int read = 0, readAhead = 0;
    while (pull.next() == JsonPull::Token::StartObject) {
        std::string piece(ahead ? pull.ahead() : std::string_view());
        piece.append(16, '\0'); // RapidJSON's SSE2 scan reads whole blocks of 16 bytes
        rapidjson::StringStream bytes(piece.c_str());
        m.ParseStream<rapidjson::kParseStopWhenDoneFlag>(bytes);
        if (ahead && !m.HasParseError()) {
            pull.pass(qint64(bytes.Tell()));
            ++readAhead;
        } else {
            QVERIFY(pull.take(m));
        }
        QCOMPARE(pull.token(), JsonPull::Token::EndObject);
        QCOMPARE(json::integer(m, "id"), qint64(read));
        QCOMPARE(json::string(m, "text"), QString(textBytes, u'a') + QStringLiteral("\né"));
        QCOMPARE(json::string(json::at(m, "from"), "name"), QStringLiteral("Ann"));
        ++read;
    }
    QCOMPARE(read, count);
    QCOMPARE(readAhead > count * 9 / 10, ahead);
    QCOMPARE(pull.token(), JsonPull::Token::EndArray);
    QCOMPARE(pull.next(), JsonPull::Token::End);
}

void TestJsonPull::broken_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("before"); // messages whole before the broken one
    const QList<QByteArray> lines = messageLines(700);
    const int across = acrossPieces(lines);
    QVERIFY(across > 0);
    const QString comma = QStringLiteral("Missing a comma or '}' after an object member.");
    // Message i stands on line i + 2.
    for (const auto &[name, i] : {std::pair<const char *, int>("in the first piece", 5),
                                  {"across two pieces", across},
                                  {"in a later piece", 600}}) {
        QList<QByteArray> broken = lines;
        broken[i].replace(", \"text\"", " \"text\"");
        QTest::addRow("no comma %s", name)
            << joined(broken) << QStringLiteral("line %1: %2").arg(i + 2).arg(comma) << i;
        broken = lines;
        broken[i].replace("aaaa", QByteArray("aa\0a", 4));
        QTest::addRow("NUL in a string %s", name)
            << joined(broken)
            << QStringLiteral("line %1: Missing a closing quotation mark in string.").arg(i + 2)
            << i;
        QTest::addRow("ends %s", name)
            << joined(lines).left(lines.mid(0, i).join('\n').size() + 2 + 40)
            << QStringLiteral("line %1: The document ended inside a value.").arg(i + 2) << i;
    }
}

void TestJsonPull::broken()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QFETCH(int, before);
    QBuffer device;
    device.setData(text);
    QVERIFY(device.open(QIODevice::ReadOnly));
    JsonPull pull(device);
    QCOMPARE(pull.next(), JsonPull::Token::StartArray);
    // Every message before the broken one is handed out in order, however far ahead the
    // reading went.
    int taken = 0;
    QVERIFY(!pull.eachObject([&taken](const rapidjson::Value &m) {
        taken += json::integer(m, "id") == taken ? 1 : 1000;
    }));
    QCOMPARE(taken, before);
    QVERIFY(pull.failed());
    QCOMPARE(pull.errorString(), QStringLiteral("the JSON breaks at ") + error);

    // Taken one at a time, as a reader asks: the break is known once the objects end, and
    // where the reading stands never goes back.
    QVERIFY(device.seek(0));
    pull.reset();
    QCOMPARE(pull.next(), JsonPull::Token::StartArray);
    JsonObjects objects(pull, JsonPull::takeObject, true);
    bool flag = false;
    qint64 offset = 0;
    taken = 0;
    while (const rapidjson::Value *m = objects.next(flag)) {
        taken += json::integer(*m, "id") == taken ? 1 : 1000;
        QVERIFY(!objects.failed());
        QVERIFY(objects.offset() > offset);
        offset = objects.offset();
    }
    QCOMPARE(taken, before);
    QVERIFY(objects.failed());
    QCOMPARE(pull.errorString(), QStringLiteral("the JSON breaks at ") + error);
}

void TestJsonPull::amongOthers_data()
{
    QTest::addColumn<int>("at"); // where items that are no object stand
    QTest::newRow("read on the caller's thread") << 10;
    QTest::newRow("read ahead") << 500;
}

// Items of the array that are no object: passed over by a reader that asks for them so, the
// end of the objects for one that does not.
void TestJsonPull::amongOthers()
{
    QFETCH(int, at);
    QList<QByteArray> lines = messageLines(700);
    lines.insert(at, "1, \"two\", [3, {\"id\": -1}], null,");
    QBuffer device;
    device.setData(joined(lines));
    QVERIFY(device.open(QIODevice::ReadOnly));
    for (const bool passOthers : {true, false}) {
        QVERIFY(device.seek(0));
        JsonPull pull(device);
        QCOMPARE(pull.next(), JsonPull::Token::StartArray);
        int taken = 0;
        {
            JsonObjects objects(pull, JsonPull::takeObject, passOthers);
            bool flag = false;
            while (const rapidjson::Value *m = objects.next(flag))
                taken += json::integer(*m, "id") == taken ? 1 : 1000;
            QVERIFY(!objects.failed());
        }
        QCOMPARE(taken, passOthers ? 700 : at);
    }
    // Left midway while reading ahead: its thread stops with it.
    QVERIFY(device.seek(0));
    JsonPull pull(device);
    QCOMPARE(pull.next(), JsonPull::Token::StartArray);
    JsonObjects objects(pull, JsonPull::takeObject, true);
    bool flag = false;
    for (int i = 0; i < 300; ++i)
        QVERIFY(objects.next(flag));
}

void TestJsonPull::skipped_data()
{
    QTest::addColumn<qsizetype>("escapeAt");
    // An escaped quote inside a member passed over, its backslash about the end of the first
    // piece or of a block of 16 bytes; brackets and an escaped backslash in strings after it.
    for (const qsizetype at :
         {qsizetype(31), qsizetype(32), PieceBytes - 2, PieceBytes - 1, PieceBytes})
        QTest::addRow("backslash at %lld", qint64(at)) << at;
}

// A member passed over ends where its text ends, whatever its strings hold.
void TestJsonPull::skipped()
{
    QFETCH(qsizetype, escapeAt);
    QByteArray text = "{\"skipped\": [\"";
    text += QByteArray(escapeAt - text.size(), 'a') + "\\\"]}, [\\\\\", \"{\"], \"after\": 1}";
    QCOMPARE(text.indexOf('\\'), escapeAt);
    QBuffer device;
    device.setData(text);
    QVERIFY(device.open(QIODevice::ReadOnly));
    JsonPull pull(device);
    QCOMPARE(pull.next(), JsonPull::Token::StartObject);
    QVERIFY(pull.seekKey("after"));
    QCOMPARE(pull.next(), JsonPull::Token::Number);
    QCOMPARE(pull.string(), QStringLiteral("1"));
    QCOMPARE(pull.next(), JsonPull::Token::EndObject);
}

// A member looked for where the object before held it is found wherever this one holds it,
// and not found where it has none.
void TestJsonPull::placedMembers()
{
    rapidjson::Document objects;
    objects.Parse(R"([{"a": 1, "b": 2, "bc": 3}, {"bc": 4, "b": 5}, {"a": 6}, {"b": 7}, 8])");
    QVERIFY(!objects.HasParseError());
    quint32 place = 0;
    QStringList found;
    for (const rapidjson::Value &object : objects.GetArray()) {
        const rapidjson::Value *b = json::member(object, "b", place);
        found.append(b ? QString::number(b->GetInt()) + u'@' + QString::number(place) : u"-"_qs);
    }
    QCOMPARE(found, QStringList({u"2@1"_qs, u"5@1"_qs, u"-"_qs, u"7@0"_qs, u"-"_qs}));
}

QTEST_GUILESS_MAIN(TestJsonPull)
#include "tst_jsonpull.moc"

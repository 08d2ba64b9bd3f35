// XML histories: their messages, notices, dates and recipients as header-line text, and the
// guards against documents built to exhaust the reader.
#include "engine/read/formats/xmlhistory/xmllog.h"

#include <QTest>

namespace {

const QString Header = QStringLiteral(" の発言 :");
const QString Sep = QStringLiteral("―――――");

QByteArray history(const QByteArray &events)
{
    return "<?xml version=\"1.0\"?>\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\n"
           "<Log FirstSessionID=\"1\" LastSessionID=\"1\">\n"
        + events + "\n</Log>\n";
}

QByteArray message(const QByteArray &name, const QByteArray &text)
{
    return "<Message Date=\"2005/01/01\"><From><User FriendlyName=\"" + name
        + "\"/></From><To><User FriendlyName=\"me\"/></To><Text Style=\"x\">" + text
        + "</Text></Message>";
}

// A message whose sender element holds `levels` nested elements around "x": with the log
// element, 4 + levels elements are open at the innermost.
QByteArray nestedSender(int levels)
{
    return "<Log><Message><From><User FriendlyName=\"Aki\">" + QByteArray("<b>").repeated(levels)
        + "x" + QByteArray("</b>").repeated(levels)
        + "</User></From><Text>hi</Text></Message></Log>";
}

// One element with `count` attributes.
QByteArray attributes(int count)
{
    QByteArray user = "<User FriendlyName=\"Aki\"";
    for (int i = 1; i < count; ++i)
        user += " a" + QByteArray::number(i) + "=\"\"";
    return "<Log><Message><From>" + user + "/></From><Text>hi</Text></Message></Log>";
}

// The guard reads the file a piece of this many bytes at a time: `xml` with blanks before it so
// that its byte `at` is the first of the second piece.
constexpr qsizetype PieceBytes = 1 << 20;
QByteArray acrossPieces(const QByteArray &xml, qsizetype at)
{
    return QByteArray(PieceBytes - at, ' ') + xml;
}

} // namespace

class TestXmlLog : public QObject
{
    Q_OBJECT

private slots:
    void converts_data();
    void converts();
    void refuses_data();
    void refuses();
};

void TestXmlLog::converts_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("text");

    QTest::newRow("message") << history(message("Aki", "hello")) << "Aki  の発言 :\r\nhello\r\n";
    QTest::newRow("two-line message")
        << history(message("Aki", "one\ntwo")) << "Aki  の発言 :\r\none\r\ntwo\r\n";
    QTest::newRow("character references for CR LF and CR")
        << history(message("Aki", "a&#13;&#10;b&#13;c")) << "Aki  の発言 :\r\na\r\nb\r\nc\r\n";
    // A join right after a message is a notice, whatever the name before it was.
    QTest::newRow("join after a long name")
        << history(message("Abcdefghijklmnopqrstu", "hi")
                   + "<Join><User FriendlyName=\"Bo\"/><Text>Bo joined</Text></Join>")
        << "Abcdefghijklmnopqrstu  の発言 :\r\nhi\r\n" + Sep + "\r\nBo joined\r\n" + Sep + "\r\n";
    QTest::newRow("join first") << history(
        "<Join><User FriendlyName=\"Bo\"/><Text>in</Text></Join>")
                                << Sep + "\r\nin\r\n" + Sep + "\r\n";
    QTest::newRow("sender element without a name")
        << history("<Message><From><User/></From><Text>x</Text></Message>")
        << Sep + "\r\nx\r\n" + Sep + "\r\n";
    // The serializer's entity text stays, so the page shows the ampersand.
    QTest::newRow("entity in name")
        << history(message("Tom &amp; Jerry", "x")) << "Tom &amp; Jerry  の発言 :\r\nx\r\n";
    // Offers of files and calls, their answers, people coming and going: notices that name the
    // file or the call, not words of the person.
    QTest::newRow("invitation is a notice naming its file")
        << history("<Invitation><From><User FriendlyName=\"Aki\"/></From><File>a.zip</File>"
                   "<Text>sent</Text></Invitation>")
        << "―――――\r\nsent (a.zip)\r\n―――――\r\n";
    QTest::newRow("leave") << history(
        "<Leave><User FriendlyName=\"Aki\"/><Text>Aki has left.</Text></Leave>")
                           << "―――――\r\nAki has left.\r\n―――――\r\n";
    // The log element is the document element, wherever it stands.
    QTest::newRow("no style sheet instruction")
        << QByteArray("<Log>" + message("Aki", "x") + "</Log>") << "Aki  の発言 :\r\nx\r\n";
    QTest::newRow("comment before the log")
        << QByteArray("<?xml version=\"1.0\"?><!-- saved --><?xml-stylesheet href='a'?>"
                      "<Log>"
                      + message("Aki", "x") + "</Log>")
        << "Aki  の発言 :\r\nx\r\n";
    QTest::newRow("emoji kept") << history(message("Aki", "&#x1F600;"))
                                << QString::fromUtf8("Aki  の発言 :\r\n\xF0\x9F\x98\x80\r\n");
    // Comments and processing instructions among the events are events without a sender.
    QTest::newRow("comment and processing instruction")
        << history("<!-- saved -->" + message("Aki", "x") + "<?mark a?>")
        << Sep + "\r\n saved \r\n" + Sep + "\r\nAki  の発言 :\r\nx\r\n" + Sep + "\r\na\r\n" + Sep
            + "\r\n";
    QTest::newRow("1000 elements deep") << nestedSender(996) << "Aki  の発言 :\r\nxhi\r\n";
    QTest::newRow("64 attributes") << attributes(64) << "Aki  の発言 :\r\nhi\r\n";
    QTest::newRow("Shift_JIS declaration")
        << QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><Log>"
                      + message("\x82\xa0", "\x82\xa2") + "</Log>")
        << "あ  の発言 :\r\nい\r\n";
    QTest::newRow("64 attributes across pieces")
        << acrossPieces(attributes(64), 40) << "Aki  の発言 :\r\nhi\r\n";
    // Markup in a comment counts for nothing, also where the comment goes on in the next piece.
    const QByteArray tag = "<U" + QByteArray(" a=\"\"").repeated(70) + ">";
    const QByteArray inComment = tag.repeated(PieceBytes / tag.size() + 1);
    QTest::newRow("attributes in a comment across pieces")
        << "<Log><!--" + inComment + "-->" + message("Aki", "x") + "</Log>"
        << Sep + "\r\n" + QString::fromLatin1(inComment) + "\r\n" + Sep
            + "\r\nAki  の発言 :\r\nx\r\n";
}

void TestXmlLog::converts()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, text);
    bool ok = false;
    QCOMPARE(readXmlLogData(xml, Header, &ok), text);
    QVERIFY(ok);
}

void TestXmlLog::refuses_data()
{
    QTest::addColumn<QByteArray>("xml");

    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int j = 0; j < 10; ++j)
            laughs += "&lol" + QByteArray::number(i - 1) + ";";
        laughs += "\">\n";
    }
    laughs += "]>\n<Log>" + message("a", "&lol9;") + "</Log>";
    QTest::newRow("billion laughs") << laughs;

    // Each expansion stays small, but there are very many of them.
    QByteArray quadratic = "<!DOCTYPE Log [<!ENTITY big \"" + QByteArray(4000, 'x') + "\">]><Log>"
        + message("a", QByteArray("&big;").repeated(100000)) + "</Log>";
    QTest::newRow("quadratic blow-up") << quadratic;
    QTest::newRow("external entity")
        << QByteArray("<!DOCTYPE Log [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><Log>"
                      + message("a", "&e;") + "</Log>");
    QTest::newRow("attribute list declared") << QByteArray(
        "<!DOCTYPE Log [<!ATTLIST User Style CDATA \"x\">]><Log>" + message("a", "x") + "</Log>");
    QTest::newRow("1001 elements deep") << nestedSender(997);
    QTest::newRow("5000 elements deep") << nestedSender(4996);
    QTest::newRow("65 attributes") << attributes(65);
    QTest::newRow("65 attributes across pieces") << acrossPieces(attributes(65), 40);
    QTest::newRow("entity declared across pieces") << acrossPieces(
        "<!DOCTYPE Log [<!ENTITY e \"x\">]><Log>" + message("a", "&e;") + "</Log>", 18);
    const QString wide = QString::fromLatin1(attributes(100000));
    QTest::newRow("100000 attributes in UTF-16") << QByteArray("\xff\xfe")
            + QByteArray(reinterpret_cast<const char *>(wide.utf16()), wide.size() * 2);
    QTest::newRow("not well-formed") << QByteArray("<Log><Message></Log>");
    QTest::newRow("not XML at all") << QByteArray("A の発言 :\r\nhi\r\n");
    QTest::newRow("empty file") << QByteArray();
}

void TestXmlLog::refuses()
{
    QFETCH(QByteArray, xml);
    bool ok = true;
    QCOMPARE(readXmlLogData(xml, Header, &ok), QString());
    QVERIFY(!ok);
}

QTEST_GUILESS_MAIN(TestXmlLog)
#include "tst_xmllog.moc"

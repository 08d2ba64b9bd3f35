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
    void bytesAsParser_data();
    void bytesAsParser();
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

// The byte reader takes the histories as they are written and leaves the rest to the parser;
// what it takes it converts as the parser does, to the line that names each sender.
void TestXmlLog::bytesAsParser_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("byBytes");

    const QByteArray pretty
        = "<?xml version='1.0' encoding='utf-8' standalone=\"yes\" ?>\r\n"
          "<Log>\r\n  <Message Date=\"1/2/2010\"\r\n    Time=\"10:00:00\">\r\n"
          "    <From>\r\n      <User FriendlyName=\"A\r\nB\tC\"/>\r\n    </From>"
          "\r\n    <Text>\r\n      one\r\n      two\r\n    </Text>\r\n  </Message>\r"
          "\n</Log>\r\n";
    QTest::newRow("laid out by an editor, CR LF") << pretty << true;
    QTest::newRow("byte order mark, lone CRs")
        << "\xEF\xBB\xBF" + QByteArray(pretty).replace("\r\n", "\r") << true;
    QTest::newRow("references and markup in names and text")
        << history(message("A &amp; &lt;B&gt; &#x1F600;&#233;", "x&#13;&#10;y &quot;]]&gt;")
                   + message("<!-- c --><b>C</b>", "<![CDATA[<i>]]><?p d?>z"))
        << true;
    QTest::newRow("sender in markup after other markup")
        << history("<Message><From><?p d?><User a=\"1\" FriendlyName='Q&apos;'/></From>"
                   "<Text>t</Text></Message><!-- note -->\xE3\x80\x80<?pi data?>")
        << true;
    QTest::newRow("1000 elements deep") << nestedSender(996) << true;
    const QByteArray cut = history(message("\xE6\xB1\x9F", "\xF0\x9F\x98\x80"));
    QTest::newRow("character cut by the piece's end")
        << acrossPieces(cut, cut.indexOf('\xE6') + 1) << true;
    QTest::newRow("Shift_JIS") << QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><Log>"
                                             + message("\x82\xa0", "x") + "</Log>")
                               << false;
    QTest::newRow("document type")
        << QByteArray("<!DOCTYPE Log><Log>" + message("a", "x") + "</Log>") << false;
    QTest::newRow("qualified names") << history("<a:Message><From><User FriendlyName=\"a\"/>"
                                                "</From><Text>x</Text></a:Message>")
                                     << false;
    QTest::newRow("1001 elements deep") << nestedSender(997) << false;
    QTest::newRow("65 attributes") << attributes(65) << false;
    QTest::newRow("tags that do not match")
        << history("<Message><Text>x</Message></Text>") << false;
    QTest::newRow("attribute twice") << history(message("a\" FriendlyName=\"b", "x")) << false;
    QTest::newRow("undeclared entity") << history(message("a", "&nbsp;")) << false;
    QTest::newRow("]]> in text") << history(message("a", "]]>")) << false;
    QTest::newRow("character reference to no character") << history(message("a", "&#1;")) << false;
    QTest::newRow("NUL") << history(message("a", QByteArray("x\0y", 3))) << false;
    QTest::newRow("not UTF-8") << history(message("a", "\xE6\xB1")) << false;
    QTest::newRow("U+FFFE") << history(message("a", "\xEF\xBF\xBE")) << false;
    QTest::newRow("text after the log") << history(message("a", "x")) + "x" << false;
    QTest::newRow("cut short") << history(message("a", "x")).chopped(3) << false;
}

void TestXmlLog::bytesAsParser()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, byBytes);
    struct Reading
    {
        bool ok = false;
        QString text;
        QByteArray roles;
        QList<qint64> places;
    };
    const auto read = [&xml](XmlReading way) {
        Reading r;
        r.text = readXmlLogData(xml, Header, &r.ok, nullptr, &r.roles, &r.places, way);
        return r;
    };
    const Reading parser = read(XmlReading::ParserOnly);
    for (const XmlReading way : {XmlReading::Any, XmlReading::BytesOnly}) {
        const Reading r = read(way);
        if (way == XmlReading::BytesOnly && !byBytes) {
            QVERIFY(!r.ok);
            continue;
        }
        QCOMPARE(r.ok, parser.ok);
        QCOMPARE(r.text, parser.text);
        QCOMPARE(r.roles, parser.roles);
        QCOMPARE(r.places, parser.places);
    }
}

QTEST_GUILESS_MAIN(TestXmlLog)
#include "tst_xmllog.moc"

// The chat markup filter: which of a chat line's tags a page lets through and which it writes as
// text, in time linear in the line.
#include "engine/text/markupfilter.h"

#include <QTest>

class TestMarkupFilter : public QObject
{
    Q_OBJECT

private slots:
    void filters_data();
    void filters();
    void staysLinear();
};

void TestMarkupFilter::filters_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");

    // Presentational markup typed in a chat keeps working.
    QTest::newRow("bold") << "a <b>bold</b> word"
                          << "a <b>bold</b> word";
    QTest::newRow("upper case") << "<B>x</B><BR>"
                                << "<B>x</B><BR>";
    QTest::newRow("self-closing br") << "x<br/>y<br />"
                                     << "x<br/>y<br />";
    QTest::newRow("every allowed name")
        << "<i><u><s><strike><em><strong><big><small><sub><sup><tt>"
        << "<i><u><s><strike><em><strong><big><small><sub><sup><tt>";
    QTest::newRow("font attributes") << "<font color=red size=\"+1\" face='MS Gothic'>x</font>"
                                     << "<font color=red size=\"+1\" face='MS Gothic'>x</font>";
    QTest::newRow("entities pass") << "&hearts; &amp; &lt;"
                                   << "&hearts; &amp; &lt;";
    QTest::newRow("bare less-than") << "1 < 2"
                                    << "1 &lt; 2";

    // Everything else is shown as text.
    QTest::newRow("script") << "<script>alert(1)</script>"
                            << "&lt;script>alert(1)&lt;/script>";
    QTest::newRow("img onerror") << "<img src=x onerror=alert(1)>"
                                 << "&lt;img src=x onerror=alert(1)>";
    QTest::newRow("handler on allowed tag") << "<b onclick=alert(1)>x</b>"
                                            << "&lt;b onclick=alert(1)>x</b>";
    QTest::newRow("style on font") << "<font style=\"color:red\">"
                                   << "&lt;font style=\"color:red\">";
    QTest::newRow("class on font") << "<font class=Bbody id=Bbody>"
                                   << "&lt;font class=Bbody id=Bbody>";
    QTest::newRow("attribute on end tag") << "</font color=red>"
                                          << "&lt;/font color=red>";
    QTest::newRow("longer name") << "<bdi><bx><fonts>"
                                 << "&lt;bdi>&lt;bx>&lt;fonts>";
    QTest::newRow("iframe") << "<iframe src=//x></iframe>"
                            << "&lt;iframe src=//x>&lt;/iframe>";
    QTest::newRow("comment") << "<!-- x -->"
                             << "&lt;!-- x -->";
    QTest::newRow("doctype") << "<!DOCTYPE html>"
                             << "&lt;!DOCTYPE html>";
    QTest::newRow("processing instruction") << "<?php x ?>"
                                            << "&lt;?php x ?>";
    QTest::newRow("bogus end tag") << "</ x>"
                                   << "&lt;/ x>";
    QTest::newRow("unclosed tag") << "<b"
                                  << "&lt;b";
    // A later reader may take a ">" in a value for the end of the tag.
    QTest::newRow("'>' in a quoted value") << "<font face=\"a>b http://x/ onfocus=y\">x"
                                           << "&lt;font face=\"a>b http://x/ onfocus=y\">x";
    QTest::newRow("unclosed quote") << "<font color=\"red>x"
                                    << "&lt;font color=\"red>x";
    QTest::newRow("tag across a line break") << "<font\r\ncolor=red>"
                                             << "&lt;font\r\ncolor=red>";
    QTest::newRow("tag inside a tag") << "<b <script>>"
                                      << "&lt;b &lt;script>>";
    QTest::newRow("dt from the page's own markup") << "<dt>x</dd>"
                                                   << "&lt;dt>x&lt;/dd>";
}

void TestMarkupFilter::filters()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(filterChatMarkup(in), out);
}

void TestMarkupFilter::staysLinear()
{
    // Many unfinished tags on one long line (scripts/bench times it against half the line).
    const QString hostile = QString(QStringLiteral("<font color=x ")).repeated(200000);
    const QString out = filterChatMarkup(hostile);
    QCOMPARE(out.size(), hostile.size() + 3 * 200000);
    QVERIFY(out.startsWith(QStringLiteral("&lt;font color=x &lt;font")));
}

QTEST_GUILESS_MAIN(TestMarkupFilter)
#include "tst_markupfilter.moc"

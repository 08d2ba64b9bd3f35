#include "engine/text/linetests.h"

#include <QTest>

namespace {

// U = utterance, N = notice, F = frame, - = header-like (not fed to the state machine)
QString classes(const QStringList &lines, const LineTests &tests)
{
    NoticeState state;
    QString out;
    for (const QString &line : lines) {
        if (tests.isHeaderLine(line) || LineTests::isHashLine(line)) {
            out += u'-';
            continue;
        }
        switch (state.classify(line)) {
        case LineClass::Utterance:
            out += u'U';
            break;
        case LineClass::Notice:
            out += u'N';
            break;
        case LineClass::Frame:
            out += u'F';
            break;
        }
    }
    return out;
}

// The separator line (five U+2015) and a send notice.
const QString Sep = QStringLiteral("―――――"),
              Send = QStringLiteral("X が f を送信しようとしています。");

} // namespace

class TestLineTests : public QObject
{
    Q_OBJECT

private slots:
    void noticeStates_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain lines") << QStringList {"a", "b"} << "UU";
        QTest::newRow("a notice") << QStringList {"a", Sep, "joined", Sep, "b"} << "UFNFU";
        QTest::newRow("send notice keeps the notice open")
            << QStringList {Sep, Send, "other", Sep, "after"} << "FNNFU";
        QTest::newRow("two send notices")
            << QStringList {Sep, Send, Send, "x", Sep, "y"} << "FNNNFU";
        QTest::newRow("separator inside a frame does not restart it")
            << QStringList {Sep, Sep, Sep, "a"} << "FNFU";
        QTest::newRow("the closing line need not be a separator")
            << QStringList {Sep, "n", "close", "a"} << "FNFU";
        QTest::newRow("headers neither read nor change the state")
            << QStringList {Sep, "A の発言 :", "n", "# memo", "close", "u"} << "F-N-FU";
    }

    void noticeStates()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, expected);
        QCOMPARE(classes(lines, LineTests(QStringLiteral(" の発言 :"))), expected);
    }
};

QTEST_GUILESS_MAIN(TestLineTests)
#include "tst_linetests.moc"

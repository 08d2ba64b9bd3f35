// Wildcard patterns as header detection, speaker lookup and message rules use them.
#include "engine/text/wildcard.h"

#include <QTest>

class TestWildcard : public QObject
{
    Q_OBJECT

private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("expected");

        const QString header = QStringLiteral("*") + QStringLiteral(" の発言 :") + u'*';
        QTest::newRow("header in the middle") << "A の発言 : hi" << header << true;
        QTest::newRow("header missing") << "A の発言: hi" << header << false;
        QTest::newRow("empty text, star") << ""
                                          << "*" << true;
        QTest::newRow("empty text, letter") << ""
                                            << "a" << false;
        QTest::newRow("empty pattern") << ""
                                       << "" << true;
        QTest::newRow("empty pattern, text") << "a"
                                             << "" << false;
        QTest::newRow("case counts") << "Abc"
                                     << "abc" << false;
        QTest::newRow("question mark is one char") << "ab"
                                                   << "a?" << true;
        QTest::newRow("question mark needs a char") << "a"
                                                    << "a?" << false;
        QTest::newRow("hash is a digit") << "user7"
                                         << "user#" << true;
        QTest::newRow("hash is not a letter") << "userx"
                                              << "user#" << false;
        QTest::newRow("hash is ascii only") << "user７"
                                            << "user#" << false;
        QTest::newRow("list") << "b"
                              << "[abc]" << true;
        QTest::newRow("list miss") << "d"
                                   << "[abc]" << false;
        QTest::newRow("range") << "m"
                               << "[a-z]" << true;
        QTest::newRow("range is case significant") << "M"
                                                   << "[a-z]" << false;
        QTest::newRow("negated list") << "d"
                                      << "[!abc]" << true;
        QTest::newRow("negated list miss") << "a"
                                           << "[!abc]" << false;
        QTest::newRow("negated range") << "5"
                                       << "[!a-z]" << true;
        QTest::newRow("bracketed hash is literal") << "# memo"
                                                   << "[#] *" << true;
        QTest::newRow("bracketed hash not a digit") << "1 memo"
                                                    << "[#] *" << false;
        QTest::newRow("bracketed star is literal") << "a*b"
                                                   << "a[*]b" << true;
        QTest::newRow("bracketed star not a run") << "axxb"
                                                  << "a[*]b" << false;
        QTest::newRow("dash at the end is literal") << "-"
                                                    << "[a-]" << true;
        QTest::newRow("unclosed bracket matches nothing") << "[abc"
                                                          << "[abc" << false;
        QTest::newRow("unclosed bracket after star") << "x"
                                                     << "*[" << false;
        QTest::newRow("reversed range matches nothing") << "m"
                                                        << "[z-a]" << false;
        QTest::newRow("empty list stands for nothing") << "ab"
                                                       << "a[]b" << true;
        QTest::newRow("suffix") << "Xを送信しようとしています。"
                                << "*を送信しようとしています。" << true;
        QTest::newRow("suffix miss") << "を送信しようとしています。X"
                                     << "*を送信しようとしています。" << false;
        QTest::newRow("prefix") << "<dt>A の発言 : x"
                                << "<dt>A の発言 :*" << true;
        QTest::newRow("star then list") << "xxxay"
                                        << "*[a-c]?" << true;
        QTest::newRow("stars must all fit") << "abcabd"
                                            << "*abd" << true;
        QTest::newRow("retry after a partial match") << "aaab"
                                                     << "*aab" << true;
        QTest::newRow("two stars") << "one-two-three"
                                   << "*-*-*" << true;
        QTest::newRow("two stars miss") << "one-two"
                                        << "*-*-*" << false;
        QTest::newRow("custom header with digit") << "A さん3号 hi"
                                                  << "*さん#号*" << true;
        // A naive recursive matcher takes exponential time on this one.
        QTest::newRow("no exponential backtracking")
            << QString(5000, u'a') << QStringLiteral("*a*a*a*a*a*a*a*a*a*a*b") << false;
    }

    void matches()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, expected);
        QCOMPARE(wildcardMatch(text, pattern), expected);
        const WildcardPattern compiled(pattern);
        QCOMPARE(compiled.matches(text), expected);
        QCOMPARE(WildcardPattern(compiled).matches(text), expected); // copies keep working
    }
};

QTEST_GUILESS_MAIN(TestWildcard)
#include "tst_wildcard.moc"

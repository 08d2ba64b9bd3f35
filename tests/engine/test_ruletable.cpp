#include "engine/ruletable.h"
#include "engine/speakerkeys.h"
#include "settings/inifile.h"
#include "settings/settings.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Message rules as a run loads and applies them, and the speakers they are applied to.
class TestRuleTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void matches_data();
    void matches();
    void loading();
    void speakerOrder();
    void literalKeys();
    void wildcardHeaderKeys();
    void classNames();

private:
    Settings settingsWith(const QString &count, const QStringList &records);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRuleTable::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

Settings TestRuleTable::settingsWith(const QString &count, const QStringList &records)
{
    Settings s;
    s.iniPath = m_dir->filePath(QStringLiteral("rules.ini"));
    s.msgRuleEnable = 1;
    IniDocument doc;
    doc.setValue(QStringLiteral("MsgRule"), QStringLiteral("Count"), count);
    for (int r = 0; r < records.size(); ++r)
        doc.setValue(QStringLiteral("MsgRule"),
                     QStringLiteral("rule_%1").arg(r + 1, 2, 10, QLatin1Char('0')), records[r]);
    doc.save(s.iniPath);
    return s;
}

void TestRuleTable::matches_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("palette"); // 0: no rule matches

    const QStringList suffix {QStringLiteral("03<$>さん<$>最後にあったら")};
    QTest::newRow("ends with") << suffix << "田中さん" << 3;
    QTest::newRow("does not end with") << suffix << "さんま" << 0;
    const QStringList two {QStringLiteral("02<$>A<$>先頭にあったら"),
                           QStringLiteral("05<$>B<$>含まれていたら")};
    QTest::newRow("first rule wins") << two << "AB" << 2;
    QTest::newRow("second rule") << two << "xBx" << 5;
    QTest::newRow("case counts") << two << "ab" << 0;
    const QStringList star {QStringLiteral("04<$>*<$>先頭にあったら")};
    QTest::newRow("star matches the empty name") << star << "" << 4;
    QTest::newRow("star in text is a wildcard")
        << QStringList {QStringLiteral("06<$>Bo*b<$>先頭にあったら")} << "Bob Smith" << 6;
    QTest::newRow("other position word is the bare text")
        << QStringList {QStringLiteral("07<$>Bob<$>whatever")} << "Bob" << 7;
    QTest::newRow("record without separators is no rule")
        << QStringList {QStringLiteral("08 Bob"), QStringLiteral("02<$>Bob<$>先頭にあったら")}
        << "Bob" << 2;
    QTest::newRow("colour field read as its leading number")
        << QStringList {QStringLiteral("12x<$>B<$>先頭にあったら")} << "Bo" << 12;
}

void TestRuleTable::matches()
{
    QFETCH(QStringList, records);
    QFETCH(QString, name);
    QFETCH(int, palette);
    const RuleTable table = RuleTable::load(settingsWith(QString::number(records.size()), records));
    QCOMPARE(table.match(name).value_or(0), palette);
}

void TestRuleTable::loading()
{
    // Missing records are the match-all rule with colour 1.
    RuleTable table = RuleTable::load(
        settingsWith(QStringLiteral("3"), {QStringLiteral("05<$>A<$>先頭にあったら")}));
    QCOMPARE(table.size(), 3);
    QCOMPARE(table.match(QStringLiteral("Zed")).value_or(0), 1);
    QCOMPARE(table.at(2).pattern, QStringLiteral("**"));

    // A count beyond the 99 possible records reads 99 and does not wrap.
    table = RuleTable::load(settingsWith(QStringLiteral("2000000000"), {}));
    QCOMPARE(table.size(), 99);
    QVERIFY(RuleTable::load(settingsWith(QStringLiteral("-4"), {})).isEmpty());
    QVERIFY(RuleTable::load(settingsWith(QStringLiteral("x"), {})).isEmpty());

    Settings off = settingsWith(QStringLiteral("1"), {QStringLiteral("05<$>A<$>先頭にあったら")});
    off.msgRuleEnable = 0;
    QVERIFY(RuleTable::load(off).isEmpty());
}

void TestRuleTable::speakerOrder()
{
    SpeakerKeys keys(QStringLiteral(" の発言 :"));
    for (const char *line : {"b の発言 :", "a の発言 :", "A の発言 :", "a の発言 :", "い の発言 :",
                             "B の発言 :", "あ の発言 :", "a の発言 : more"})
        keys.add(QString::fromUtf8(line));
    keys.finish();
    // Distinct keys; case-only differences stay neighbours, lower case first by code point
    // would put "A" before "a".
    QCOMPARE(keys.names(), (QStringList {"A", "a", "B", "b", "あ", "い"}));
    QCOMPARE(keys.key(1), QStringLiteral("<dt>a の発言 :"));
}

void TestRuleTable::literalKeys()
{
    SpeakerKeys keys(QStringLiteral(" の発言 :"));
    const QStringList names {"user#1", "user11", "a*b", "aXb", "[x]", "x", "who?", "whom"};
    for (const QString &n : names)
        keys.add(QString(n + QStringLiteral(" の発言 :")));
    keys.finish();
    QCOMPARE(keys.count(), names.size());
    for (const QString &n : names) {
        const qsizetype s = keys.speakerOf(QString(n + QStringLiteral(" の発言 : tail")));
        QVERIFY2(s >= 0, qPrintable(n));
        QCOMPARE(keys.name(s), n);
    }
    QCOMPARE(keys.speakerOf(QStringLiteral("nobody の発言 :")), -1);
}

void TestRuleTable::wildcardHeaderKeys()
{
    // A custom header with "#" matches any digit; each line's key ends after its own match.
    SpeakerKeys keys(QStringLiteral(" 発言#:"));
    keys.add(QStringLiteral("Ann 発言1: hi 発言2:"));
    keys.add(QStringLiteral("Ann 発言2:"));
    keys.finish();
    QCOMPARE(keys.count(), 2);
    QCOMPARE(keys.name(0), QStringLiteral("Ann"));
    QCOMPARE(keys.headerPrefix(QStringLiteral("Ann 発言1: hi 発言2:")),
             QStringLiteral("Ann 発言1:"));
}

void TestRuleTable::classNames()
{
    QCOMPARE(speakerClassName(0), QStringLiteral("HATSUGEN_01"));
    QCOMPARE(speakerClassName(98), QStringLiteral("HATSUGEN_99"));
    QCOMPARE(speakerClassName(99), QStringLiteral("HATSUGEN_100"));
    QCOMPARE(speakerClassName(100), QStringLiteral("HATSUGEN_101"));
}

QTEST_GUILESS_MAIN(TestRuleTable)
#include "test_ruletable.moc"

#include "engine/text/ruletable.h"
#include "engine/text/speakerkeys.h"
#include "rules/messagerule.h"
#include "settings/inifile.h"
#include "settings/settings.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Message rules as a run loads and applies them.
class TestRuleTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void matches_data();
    void matches();
    void storedNumbers_data();
    void storedNumbers();
    void wildcardHeaderKeys();
};

void TestRuleTable::matches_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("palette"); // 0: no rule matches
    QTest::addColumn<int>("size");

    const QStringList suffix {"03<$>さん<$>最後にあったら"};
    QTest::newRow("ends with") << "1" << suffix << "田中さん" << 3 << 1;
    QTest::newRow("does not end with") << "1" << suffix << "さんま" << 0 << 1;
    const QStringList two {"02<$>A<$>先頭にあったら", "05<$>B<$>含まれていたら"};
    QTest::newRow("first rule wins") << "2" << two << "AB" << 2 << 2;
    QTest::newRow("second rule") << "2" << two << "xBx" << 5 << 2;
    QTest::newRow("case counts") << "2" << two << "ab" << 0 << 2;
    QTest::newRow("star matches the empty name")
        << "1" << QStringList {"04<$>*<$>先頭にあったら"} << "" << 4 << 1;
    QTest::newRow("star in text is a wildcard")
        << "1" << QStringList {"06<$>Bo*b<$>先頭にあったら"} << "Bob Smith" << 6 << 1;
    QTest::newRow("other position word: bare text")
        << "1" << QStringList {"07<$>Bob<$>whatever"} << "Bob" << 7 << 1;
    QTest::newRow("record without separators is no rule")
        << "2" << QStringList {"08 Bob", "02<$>Bob<$>先頭にあったら"} << "Bob" << 2 << 1;
    QTest::newRow("colour field that is no number")
        << "1" << QStringList {"12x<$>B<$>先頭にあったら"} << "Bo" << 0 << 1;
    QTest::newRow("colour field rounds half to even")
        << "1" << QStringList {"2.5<$>B<$>先頭にあったら"} << "Bo" << 2 << 1;
    // Records missing up to Count are the match-all rule with colour 1.
    QTest::newRow("missing records")
        << "3" << QStringList {"05<$>A<$>先頭にあったら"} << "Zed" << 1 << 3;
    // The 100th record is "rule_00"; beyond that Count is taken as 100 (no wrapped keys).
    QTest::newRow("huge count") << "2000000000" << QStringList() << "x" << 1 << 100;
    QTest::newRow("negative count") << "-4" << QStringList() << "x" << 0 << 0;
    QTest::newRow("count no number") << "x" << QStringList() << "x" << 0 << 0;
}

void TestRuleTable::matches()
{
    QFETCH(QString, count);
    QFETCH(QStringList, records);
    QFETCH(QString, name);
    QFETCH(int, palette);
    QFETCH(int, size);
    QTemporaryDir dir;
    Settings s;
    s.iniPath = dir.filePath(QStringLiteral("rules.ini"));
    IniDocument doc;
    doc.setValue(QStringLiteral("MsgRule"), QStringLiteral("Count"), count);
    for (int r = 0; r < records.size(); ++r)
        doc.setValue(QStringLiteral("MsgRule"), QStringLiteral("rule_0%1").arg(r + 1), records[r]);
    QVERIFY(doc.save(s.iniPath));

    QVERIFY(RuleTable::load(s).isEmpty()); // rules switched off
    s.msgRuleEnable = 1;
    const RuleTable table = RuleTable::load(s);
    QCOMPARE(table.size(), size);
    QCOMPARE(table.match(name).value_or(0), palette);
}

constexpr int NoNumber = -1000;

void TestRuleTable::storedNumbers_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("number"); // NoNumber: not read as a number

    QTest::newRow("whole") << "3" << 3;
    QTest::newRow("fraction") << "3.7" << 4;
    QTest::newRow("half down to even") << "2.5" << 2;
    QTest::newRow("half up to even") << "3.5" << 4;
    QTest::newRow("just over a half") << "2.5000000000000000001" << 3;
    QTest::newRow("sign and point") << "+7." << 7;
    QTest::newRow("point first") << ".5" << 0;
    QTest::newRow("negative") << "-2" << -2;
    QTest::newRow("half to 100") << "99.5" << 100;
    QTest::newRow("exponent") << "1e1" << NoNumber;
    QTest::newRow("hexadecimal") << "0x10" << NoNumber;
    QTest::newRow("comma") << "3,5" << NoNumber;
    QTest::newRow("beyond an int") << "99999999999" << NoNumber;
}

// Every reader of a stored number reads it the same way: the settings (the palette count),
// the rule list and the run's rules.
void TestRuleTable::storedNumbers()
{
    QFETCH(QString, stored);
    QFETCH(int, number);
    QTemporaryDir dir;
    Settings s;
    s.iniPath = dir.filePath(QStringLiteral("settings.ini"));
    IniDocument doc;
    doc.setValue(QStringLiteral("Color"), QStringLiteral("Count"), stored);
    doc.setValue(RuleSection, QStringLiteral("Count"), stored);
    for (int n = 1; n <= 100; ++n)
        doc.setValue(RuleSection, ruleKey(n), QStringLiteral("01<$>r%1<$>最後にあったら").arg(n));
    QVERIFY(doc.save(s.iniPath));

    const int count = number == NoNumber ? 0 : number;
    Palette palette;
    loadSettings(s, palette);
    QCOMPARE(s.colorCount, count >= 1 ? qMin(count, 99) : 8);

    const LoadedRules list = loadRules(s.iniPath);
    QCOMPARE(list.storedCount, count);
    QCOMPARE(list.rules.size(), qBound(0, count, 99));

    s.msgRuleEnable = 1;
    const RuleTable run = RuleTable::load(s);
    QCOMPARE(run.size(), qBound(0, count, 100));
    if (run.size() == 100) // the 100th rule is read from "rule_00"
        QCOMPARE(run.at(99).pattern, QStringLiteral("*r100"));
}

void TestRuleTable::wildcardHeaderKeys()
{
    // A custom header with "#" matches any digit; each line's key ends after its own match.
    SpeakerKeys keys(QStringLiteral(" 発言#:"));
    keys.add(QStringLiteral("Ann 発言1: hi 発言2:"));
    keys.add(QStringLiteral("Ann 発言2:"));
    keys.finish();
    QCOMPARE(keys.names(), (QStringList {"Ann", "Ann"}));
    QCOMPARE(keys.headerPrefix(QStringLiteral("Ann 発言1: hi 発言2:")),
             QStringLiteral("Ann 発言1:"));
}

QTEST_GUILESS_MAIN(TestRuleTable)
#include "tst_ruletable.moc"

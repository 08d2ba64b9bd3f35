#include "engine/ruletable.h"
#include "engine/speakerkeys.h"
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
    QTest::newRow("colour field's leading number")
        << "1" << QStringList {"12x<$>B<$>先頭にあったら"} << "Bo" << 12 << 1;
    // Records missing up to Count are the match-all rule with colour 1.
    QTest::newRow("missing records")
        << "3" << QStringList {"05<$>A<$>先頭にあったら"} << "Zed" << 1 << 3;
    // Beyond the 99 keys the records can have, Count is taken as 99 (no wrapped keys).
    QTest::newRow("huge count") << "2000000000" << QStringList() << "x" << 1 << 99;
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
#include "test_ruletable.moc"

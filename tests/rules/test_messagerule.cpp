#include "codec/cp932.h"
#include "rules/messagerule.h"
#include "settings/inifile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Rules = QList<MessageRule>;
Q_DECLARE_METATYPE(MessageRule)

namespace {

MessageRule rule(int colour, const QString &text, const QString &position = RulePositionStart)
{
    return {colour, text, position};
}

Rules numberedRules(int count)
{
    Rules rules;
    for (int n = 1; n <= count; ++n)
        rules.append(rule(n % 8 + 1, QStringLiteral("r%1").arg(n)));
    return rules;
}

} // namespace

class TestMessageRule : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;

    // The settings file as the program stores it: code page 932, CR LF.
    void writeFile(const QStringList &lines)
    {
        QFile file(m_ini);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(
            cp932::encode(QString(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))));
    }
    QString stored(const QString &key) const
    {
        return readIniValue(m_ini, RuleSection, key, QStringLiteral("<missing>"));
    }
    // Loads from scratch after writing Count and records 1 … count.
    void storeRules(const Rules &rules)
    {
        QStringList lines {QStringLiteral("[MsgRule]"), QStringLiteral("Enable=1"),
                           QStringLiteral("Count=%1").arg(rules.size())};
        for (int n = 1; n <= rules.size(); ++n)
            lines.append(ruleKey(n) + u'=' + formatRuleRecord(rules[n - 1]));
        writeFile(lines);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_ini = m_dir.filePath(QStringLiteral("基本設定よ.ini"));
    }
    void init() { QFile::remove(m_ini); }

    void recordRoundTrip_data()
    {
        QTest::addColumn<MessageRule>("rule");
        QTest::addColumn<QString>("record");
        QTest::newRow("ends with") << rule(3, QStringLiteral("さん"), RulePositionEnd)
                                   << QStringLiteral("03<$>さん<$>最後にあったら");
        QTest::newRow("two digits") << rule(12, QStringLiteral("A"), RulePositionContains)
                                    << QStringLiteral("12<$>A<$>含まれていたら");
        QTest::newRow("no colour")
            << rule(0, QStringLiteral("x")) << QStringLiteral("00<$>x<$>先頭にあったら");
        QTest::newRow("other position word")
            << rule(5, QStringLiteral("[a-c]*"), QStringLiteral("どこか"))
            << QStringLiteral("05<$>[a-c]*<$>どこか");
        QTest::newRow("empty text kept")
            << rule(1, QString()) << QStringLiteral("01<$><$>先頭にあったら");
    }
    void recordRoundTrip()
    {
        QFETCH(MessageRule, rule);
        QFETCH(QString, record);
        QCOMPARE(formatRuleRecord(rule), record);
        const auto parsed = parseRuleRecord(record);
        QVERIFY(parsed);
        QCOMPARE(*parsed, rule);
    }

    void parseOddRecords_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<bool>("isRecord");
        QTest::addColumn<MessageRule>("rule");
        QTest::addColumn<QString>("writtenBack");
        QTest::newRow("empty") << QString() << false << MessageRule() << QString();
        QTest::newRow("one-digit colour")
            << QStringLiteral("3<$>さん<$>最後にあったら") << false << MessageRule() << QString();
        QTest::newRow("three-digit colour")
            << QStringLiteral("003<$>さん<$>最後にあったら") << false << MessageRule() << QString();
        QTest::newRow("no separator")
            << QStringLiteral("marker") << false << MessageRule() << QString();
        QTest::newRow("retired slot") << RuleRetiredMarker << false << MessageRule() << QString();
        QTest::newRow("colour not a number") << QStringLiteral("ab<$>さん<$>最後にあったら") << true
                                             << rule(0, QStringLiteral("さん"), RulePositionEnd)
                                             << QStringLiteral("00<$>さん<$>最後にあったら");
        QTest::newRow("separator in text")
            << QStringLiteral("01<$>a<$>b<$>先頭にあったら") << true
            << rule(1, QStringLiteral("a"), QStringLiteral("b<$>先頭にあったら"))
            << QStringLiteral("01<$>a<$>b<$>先頭にあったら");
        QTest::newRow("second separator missing")
            << QStringLiteral("02<$>abc") << true << rule(2, QStringLiteral("abc"), QString())
            << QStringLiteral("02<$>abc<$>");
    }
    void parseOddRecords()
    {
        QFETCH(QString, record);
        QFETCH(bool, isRecord);
        const auto parsed = parseRuleRecord(record);
        QCOMPARE(bool(parsed), isRecord);
        if (!isRecord)
            return;
        QFETCH(MessageRule, rule);
        QFETCH(QString, writtenBack);
        QCOMPARE(*parsed, rule);
        QCOMPARE(formatRuleRecord(*parsed), writtenBack);
    }

    void loadStopsAtFirstBadRecord_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("ruleCount");
        QTest::addColumn<int>("storedCount");
        const QString r1 = QStringLiteral("rule_01=03<$>さん<$>最後にあったら");
        const QString r2 = QStringLiteral("rule_02=01<$>A<$>先頭にあったら");
        const QString r3 = QStringLiteral("rule_03=02<$>B<$>含まれていたら");
        QTest::newRow("no file") << QStringList() << 0 << 0;
        QTest::newRow("no count") << QStringList {r1, r2} << 0 << 0;
        QTest::newRow("count not a number")
            << QStringList {QStringLiteral("Count=abc"), r1} << 0 << 0;
        QTest::newRow("negative count") << QStringList {QStringLiteral("Count=-2"), r1} << 0 << -2;
        QTest::newRow("all read") << QStringList {QStringLiteral("Count=3"), r1, r2, r3} << 3 << 3;
        QTest::newRow("count limits reading")
            << QStringList {QStringLiteral("Count=2"), r1, r2, r3} << 2 << 2;
        QTest::newRow("second missing")
            << QStringList {QStringLiteral("Count=3"), r1, r3} << 1 << 3;
        QTest::newRow("first damaged")
            << QStringList {QStringLiteral("Count=2"), QStringLiteral("rule_01=3<$>x<$>y"), r2} << 0
            << 2;
        QTest::newRow("retired slot ends the list")
            << QStringList {QStringLiteral("Count=3"), r1,
                            QStringLiteral("rule_02=***削除していいです***"), r3}
            << 1 << 3;
        QTest::newRow("half rounds to even")
            << QStringList {QStringLiteral("Count=2.5"), r1, r2, r3} << 2 << 2;
        QTest::newRow("half rounds up to even")
            << QStringList {QStringLiteral("Count=1.5"), r1, r2, r3} << 2 << 2;
    }
    void loadStopsAtFirstBadRecord()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, ruleCount);
        QFETCH(int, storedCount);
        if (!lines.isEmpty()) {
            lines.prepend(QStringLiteral("[MsgRule]"));
            writeFile(lines);
        }
        const LoadedRules loaded = loadRules(m_ini);
        QCOMPARE(loaded.rules.size(), ruleCount);
        QCOMPARE(loaded.loadedRuleCount, ruleCount);
        QCOMPARE(loaded.storedCount, storedCount);
        if (ruleCount > 0)
            QCOMPARE(loaded.rules[0], rule(3, QStringLiteral("さん"), RulePositionEnd));
    }

    // Keys past rule_99 would wrap around to rule_00, rule_01 …; a huge Count must not hang.
    void countAboveNinetyNine_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("storedCount");
        QTest::newRow("150") << QStringLiteral("150") << 150;
        QTest::newRow("huge") << QStringLiteral("99999999999999")
                              << std::numeric_limits<int>::max();
        QTest::newRow("overflowing") << QStringLiteral("1e999") << std::numeric_limits<int>::max();
    }
    void countAboveNinetyNine()
    {
        QFETCH(QString, count);
        QFETCH(int, storedCount);
        QStringList lines {QStringLiteral("[MsgRule]"), QStringLiteral("Count=") + count,
                           QStringLiteral("rule_00=01<$>wrapped<$>先頭にあったら")};
        for (int n = 1; n <= 99; ++n)
            lines.append(ruleKey(n) + QStringLiteral("=01<$>r%1<$>先頭にあったら").arg(n));
        writeFile(lines);
        QElapsedTimer timer;
        timer.start();
        const LoadedRules loaded = loadRules(m_ini);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(loaded.rules.size(), 99);
        QCOMPARE(loaded.rules.last().text, QStringLiteral("r99"));
        QCOMPARE(loaded.storedCount, storedCount);
    }

    void saveRetiresUnusedSlots_data()
    {
        QTest::addColumn<int>("loaded");
        QTest::addColumn<int>("saved");
        QTest::newRow("all deleted") << 3 << 0;
        QTest::newRow("five to two") << 5 << 2;
        QTest::newRow("two to four") << 2 << 4;
        QTest::newRow("unchanged") << 4 << 4;
    }
    void saveRetiresUnusedSlots()
    {
        QFETCH(int, loaded);
        QFETCH(int, saved);
        storeRules(numberedRules(loaded));
        const LoadedRules before = loadRules(m_ini);
        QCOMPARE(before.loadedRuleCount, loaded);
        const Rules rules = numberedRules(saved);
        QVERIFY(saveRules(m_ini, rules, before.loadedRuleCount));

        QCOMPARE(stored(QStringLiteral("Count")), QString::number(saved));
        for (int n = 1; n <= saved; ++n)
            QCOMPARE(stored(ruleKey(n)), formatRuleRecord(rules[n - 1]));
        for (int n = saved + 1; n <= loaded; ++n)
            QCOMPARE(stored(ruleKey(n)), RuleRetiredMarker);
        QCOMPARE(stored(ruleKey(std::max(loaded, saved) + 1)), QStringLiteral("<missing>"));
        QCOMPARE(stored(QStringLiteral("Enable")), QStringLiteral("1"));
        QCOMPARE(loadRules(m_ini).rules, rules);
    }

    void saveAfterShortenedRead()
    {
        writeFile({QStringLiteral("[Color]"), QStringLiteral("Count=8"),
                   QStringLiteral("[MsgRule]"), QStringLiteral("Count=3"),
                   QStringLiteral("rule_01=03<$>さん<$>最後にあったら"),
                   QStringLiteral("rule_03=02<$>B<$>含まれていたら")});
        const LoadedRules loaded = loadRules(m_ini);
        QCOMPARE(loaded.loadedRuleCount, 1);
        QVERIFY(saveRules(m_ini, loaded.rules, loaded.loadedRuleCount));
        QCOMPARE(stored(QStringLiteral("Count")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("rule_01")), QStringLiteral("03<$>さん<$>最後にあったら"));
        QCOMPARE(stored(QStringLiteral("rule_02")), QStringLiteral("<missing>"));
        QCOMPARE(stored(QStringLiteral("rule_03")), QStringLiteral("02<$>B<$>含まれていたら"));
        QCOMPARE(readIniValue(m_ini, QStringLiteral("Color"), QStringLiteral("Count")),
                 QStringLiteral("8"));
    }

    void saveRefusesWhatCannotBeStored()
    {
        storeRules(numberedRules(2));
        QFile file(m_ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QVERIFY(!saveRules(m_ini, numberedRules(100), 2));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void addRuleRefusals_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<MessageRule>("rule");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("storedText");
        QTest::newRow("first") << 0 << rule(1, QStringLiteral("a")) << int(RuleRefusal::None)
                               << QStringLiteral("a");
        QTest::newRow("trimmed") << 3 << rule(1, QStringLiteral("  さん "))
                                 << int(RuleRefusal::None) << QStringLiteral("さん");
        QTest::newRow("99th") << 98 << rule(1, QStringLiteral("a")) << int(RuleRefusal::None)
                              << QStringLiteral("a");
        QTest::newRow("100th") << 99 << rule(1, QStringLiteral("a")) << int(RuleRefusal::TooMany)
                               << QString();
        QTest::newRow("separator") << 1 << rule(1, QStringLiteral("a<$>b"))
                                   << int(RuleRefusal::SeparatorInText) << QString();
        QTest::newRow("colour 100") << 1 << rule(100, QStringLiteral("a"))
                                    << int(RuleRefusal::ColorOutOfRange) << QString();
    }
    void addRuleRefusals()
    {
        QFETCH(int, existing);
        QFETCH(MessageRule, rule);
        QFETCH(int, refusal);
        QFETCH(QString, storedText);
        Rules rules = numberedRules(existing);
        const AddRuleResult result = addRule(rules, rule);
        QCOMPARE(int(result.refusal), refusal);
        if (refusal == int(RuleRefusal::None)) {
            QCOMPARE(result.number, existing + 1);
            QCOMPARE(rules.size(), existing + 1);
            QCOMPARE(rules.last().text, storedText);
        } else {
            QCOMPARE(result.number, 0);
            QCOMPARE(rules, numberedRules(existing));
        }
    }

    void reorderingKeepsOthersInPlace()
    {
        const Rules four = numberedRules(4);
        Rules rules = four;
        moveRuleUp(rules, 3);
        QCOMPARE(rules, (Rules {four[0], four[2], four[1], four[3]}));
        moveRuleDown(rules, 3);
        QCOMPARE(rules, (Rules {four[0], four[2], four[3], four[1]}));
        // Moves past an edge and numbers outside the list change nothing.
        for (int n : {-1, 0, 1, 5})
            moveRuleUp(rules, n);
        for (int n : {-1, 0, 4, 5})
            moveRuleDown(rules, n);
        for (int n : {0, 5})
            deleteRule(rules, n);
        QCOMPARE(rules, (Rules {four[0], four[2], four[3], four[1]}));
        deleteRule(rules, 2);
        QCOMPARE(rules, (Rules {four[0], four[3], four[1]}));
        QCOMPARE(replaceRule(rules, 2, rule(7, QStringLiteral(" x "))), RuleRefusal::None);
        QCOMPARE(rules, (Rules {four[0], rule(7, QStringLiteral("x")), four[1]}));
        QCOMPARE(replaceRule(rules, 2, rule(7, QStringLiteral("a<$>"))),
                 RuleRefusal::SeparatorInText);
        QCOMPARE(rules[1].text, QStringLiteral("x"));
    }

    void blankAndDuplicate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("exclude");
        QTest::addColumn<bool>("blank");
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("three blanks")
            << QStringLiteral("   ") << RulePositionStart << 0 << true << false;
        QTest::newRow("same text and place")
            << QStringLiteral("さん") << RulePositionEnd << 0 << false << true;
        QTest::newRow("blanks around")
            << QStringLiteral(" さん ") << RulePositionEnd << 0 << false << true;
        QTest::newRow("other place")
            << QStringLiteral("さん") << RulePositionStart << 0 << false << false;
        QTest::newRow("katakana differs")
            << QStringLiteral("サン") << RulePositionEnd << 0 << false << false;
        QTest::newRow("case differs")
            << QStringLiteral("a") << RulePositionContains << 0 << false << false;
        QTest::newRow("full-width differs")
            << QStringLiteral("Ａ") << RulePositionContains << 0 << false << false;
        QTest::newRow("own number left out")
            << QStringLiteral("さん") << RulePositionEnd << 1 << false << false;
        QTest::newRow("other number left out")
            << QStringLiteral("さん") << RulePositionEnd << 2 << false << true;
    }
    void blankAndDuplicate()
    {
        QFETCH(QString, text);
        QFETCH(QString, position);
        QFETCH(int, exclude);
        QFETCH(bool, blank);
        QFETCH(bool, duplicate);
        // The colour does not count: rule 1 has another colour than any rule compared with it.
        const Rules rules {rule(3, QStringLiteral("さん"), RulePositionEnd),
                           rule(2, QStringLiteral("A"), RulePositionContains)};
        QCOMPARE(isBlankRuleText(text), blank);
        QCOMPARE(findDuplicateRule(rules, text, position, exclude), duplicate);
    }
};

QTEST_GUILESS_MAIN(TestMessageRule)
#include "test_messagerule.moc"

#include "codec/cp932.h"
#include "rules/messagerule.h"
#include "settings/inifile.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(MessageRule)

namespace {

MessageRule rule(int colour, const QString &text, const QString &position = RulePositionStart)
{
    return {colour, text, position};
}

RuleList numbered(int count)
{
    RuleList rules;
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
        return readIniValue(m_ini, RuleSection, key, QStringLiteral("-"));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_ini = m_dir.filePath(QStringLiteral("基本設定よ.ini"));
    }
    void init() { QFile::remove(m_ini); }

    void records_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<bool>("isRecord");
        QTest::addColumn<MessageRule>("rule");
        QTest::addColumn<QString>("writtenBack");
        const QString san = QStringLiteral("さん");
        QTest::newRow("ends with")
            << QStringLiteral("03<$>さん<$>最後にあったら") << true << rule(3, san, RulePositionEnd)
            << QStringLiteral("03<$>さん<$>最後にあったら");
        QTest::newRow("two digits") << QStringLiteral("12<$>A<$>含まれていたら") << true
                                    << rule(12, QStringLiteral("A"), RulePositionContains)
                                    << QStringLiteral("12<$>A<$>含まれていたら");
        QTest::newRow("other position word")
            << QStringLiteral("05<$>[a-c]*<$>どこか") << true
            << rule(5, QStringLiteral("[a-c]*"), QStringLiteral("どこか"))
            << QStringLiteral("05<$>[a-c]*<$>どこか");
        QTest::newRow("colour not a number")
            << QStringLiteral("ab<$>さん<$>最後にあったら") << true << rule(0, san, RulePositionEnd)
            << QStringLiteral("00<$>さん<$>最後にあったら");
        QTest::newRow("separator in text")
            << QStringLiteral("01<$>a<$>b<$>先頭にあったら") << true
            << rule(1, QStringLiteral("a"), QStringLiteral("b<$>先頭にあったら"))
            << QStringLiteral("01<$>a<$>b<$>先頭にあったら");
        QTest::newRow("no second separator")
            << QStringLiteral("02<$>abc") << true << rule(2, QStringLiteral("abc"), QString())
            << QStringLiteral("02<$>abc<$>");
        for (const char *bad : {"", "3<$>さん<$>最後にあったら", "003<$>さん<$>最後にあったら",
                                "***削除していいです***"})
            QTest::newRow(bad) << QString::fromUtf8(bad) << false << MessageRule() << QString();
    }
    void records()
    {
        QFETCH(QString, record);
        QFETCH(bool, isRecord);
        QFETCH(MessageRule, rule);
        QFETCH(QString, writtenBack);
        const auto parsed = parseRuleRecord(record);
        QCOMPARE(bool(parsed), isRecord);
        if (isRecord) {
            QCOMPARE(*parsed, rule);
            QCOMPARE(formatRuleRecord(*parsed), writtenBack);
        }
    }

    // Reading stops at the first empty or damaged record; a Count above 99 reads 99 at most
    // (rule_00 is what a 100th key would wrap to) and a huge one must not hang.
    void loading_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QList<int>>("present"); // records rule_NN stored
        QTest::addColumn<int>("ruleCount");
        QTest::addColumn<int>("storedCount");
        QList<int> all;
        for (int n = 0; n <= 99; ++n)
            all.append(n);
        QTest::newRow("no count") << QString() << QList<int> {1, 2} << 0 << 0;
        QTest::newRow("not a number") << QStringLiteral("abc") << QList<int> {1} << 0 << 0;
        QTest::newRow("negative") << QStringLiteral("-2") << QList<int> {1} << 0 << -2;
        QTest::newRow("count limits") << QStringLiteral("2") << QList<int> {1, 2, 3} << 2 << 2;
        QTest::newRow("second missing") << QStringLiteral("3") << QList<int> {1, 3} << 1 << 3;
        QTest::newRow("first missing") << QStringLiteral("2") << QList<int> {2} << 0 << 2;
        QTest::newRow("half to even") << QStringLiteral("2.5") << QList<int> {1, 2, 3} << 2 << 2;
        QTest::newRow("half up to even") << QStringLiteral("1.5") << QList<int> {1, 2, 3} << 2 << 2;
        QTest::newRow("150") << QStringLiteral("150") << all << 99 << 150;
        QTest::newRow("huge") << QStringLiteral("2000000000") << all << 99 << 2000000000;
        QTest::newRow("exponent") << QStringLiteral("1e999") << all << 0 << 0;
    }
    void loading()
    {
        QFETCH(QString, count);
        QFETCH(QList<int>, present);
        QFETCH(int, ruleCount);
        QFETCH(int, storedCount);
        QStringList lines {QStringLiteral("[MsgRule]")};
        if (!count.isNull())
            lines.append(QStringLiteral("Count=") + count);
        for (int n : present)
            lines.append(ruleKey(n) + QStringLiteral("=03<$>r%1<$>最後にあったら").arg(n));
        writeFile(lines);
        const LoadedRules loaded = loadRules(m_ini);
        QCOMPARE(loaded.rules.size(), ruleCount);
        QCOMPARE(loaded.loadedRuleCount, ruleCount);
        QCOMPARE(loaded.storedCount, storedCount);
        for (int n = 1; n <= ruleCount; ++n)
            QCOMPARE(loaded.rules[n - 1], rule(3, QStringLiteral("r%1").arg(n), RulePositionEnd));
    }

    void saving_data()
    {
        QTest::addColumn<int>("loaded");
        QTest::addColumn<int>("saved");
        QTest::newRow("all deleted") << 3 << 0;
        QTest::newRow("five to two") << 5 << 2;
        QTest::newRow("two to four") << 2 << 4;
    }
    void saving()
    {
        QFETCH(int, loaded);
        QFETCH(int, saved);
        QVERIFY(saveRules(m_ini, numbered(loaded), 0));
        QVERIFY(writeIniValue(m_ini, RuleSection, QStringLiteral("Enable"), QStringLiteral("0")));
        const LoadedRules before = loadRules(m_ini);
        QCOMPARE(before.loadedRuleCount, loaded);
        const RuleList rules = numbered(saved);
        QVERIFY(saveRules(m_ini, rules, before.loadedRuleCount));

        QCOMPARE(stored(QStringLiteral("Count")), QString::number(saved));
        for (int n = 1; n <= saved; ++n)
            QCOMPARE(stored(ruleKey(n)), formatRuleRecord(rules[n - 1]));
        for (int n = saved + 1; n <= loaded; ++n)
            QCOMPARE(stored(ruleKey(n)), QStringLiteral("***削除していいです***"));
        QCOMPARE(stored(ruleKey(std::max(loaded, saved) + 1)), QStringLiteral("-"));
        QCOMPARE(stored(QStringLiteral("Enable")), QStringLiteral("0"));
        QCOMPARE(loadRules(m_ini).rules, rules);
    }

    void savingAfterShortenedRead()
    {
        writeFile({QStringLiteral("[MsgRule]"), QStringLiteral("Count=3"),
                   QStringLiteral("rule_01=03<$>さん<$>最後にあったら"),
                   QStringLiteral("rule_03=02<$>B<$>含まれていたら")});
        const LoadedRules loaded = loadRules(m_ini);
        QVERIFY(saveRules(m_ini, loaded.rules, loaded.loadedRuleCount));
        QCOMPARE(stored(QStringLiteral("Count")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("rule_02")), QStringLiteral("-"));
        QCOMPARE(stored(QStringLiteral("rule_03")), QStringLiteral("02<$>B<$>含まれていたら"));
    }

    // 100 rules would write rule_00 and overwrite rule_01: nothing is written.
    void savingRefusesHundredRules()
    {
        QVERIFY(saveRules(m_ini, numbered(2), 0));
        QFile file(m_ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QVERIFY(!saveRules(m_ini, numbered(100), 2));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void adding_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<MessageRule>("rule");
        QTest::addColumn<RuleRefusal>("refusal");
        QTest::newRow("trimmed") << 3 << rule(1, QStringLiteral("  さん ")) << RuleRefusal::None;
        QTest::newRow("99th") << 98 << rule(1, QStringLiteral("a")) << RuleRefusal::None;
        QTest::newRow("100th") << 99 << rule(1, QStringLiteral("a")) << RuleRefusal::TooMany;
        QTest::newRow("separator")
            << 1 << rule(1, QStringLiteral("a<$>b")) << RuleRefusal::SeparatorInText;
        QTest::newRow("longest text")
            << 0 << rule(1, QString(500, u'あ') + u'a') << RuleRefusal::None;
        QTest::newRow("text too long")
            << 0 << rule(1, QString(501, u'あ')) << RuleRefusal::TextTooLong;
        QTest::newRow("emoji") << 0 << rule(1, QStringLiteral("a\U0001F600"))
                               << RuleRefusal::UnstorableText;
        QTest::newRow("colour 100")
            << 1 << rule(100, QStringLiteral("a")) << RuleRefusal::ColorOutOfRange;
    }
    void adding()
    {
        QFETCH(int, existing);
        QFETCH(MessageRule, rule);
        QFETCH(RuleRefusal, refusal);
        RuleList rules = numbered(existing);
        const AddRuleResult result = addRule(rules, rule);
        QCOMPARE(result.refusal, refusal);
        if (refusal != RuleRefusal::None) {
            QCOMPARE(result.number, 0);
            QCOMPARE(rules, numbered(existing));
            return;
        }
        QCOMPARE(result.number, existing + 1);
        QCOMPARE(rules.last().text, rule.text.trimmed());
    }

    // The longest text the limit allows still reads back whole.
    void longestTextRoundTrip()
    {
        const RuleList rules {rule(12, QString(500, u'あ') + u'a', RulePositionEnd)};
        QVERIFY(saveRules(m_ini, rules, 0));
        QCOMPARE(loadRules(m_ini).rules, rules);
    }

    void reordering()
    {
        const RuleList four = numbered(4);
        RuleList rules = four;
        moveRuleUp(rules, 3);
        moveRuleDown(rules, 3);
        QCOMPARE(rules, (RuleList {four[0], four[2], four[3], four[1]}));
        // Past an edge, or outside the list: nothing changes.
        for (int n : {-1, 0, 1, 5}) {
            moveRuleUp(rules, n);
            moveRuleDown(rules, n == 1 ? 4 : n);
            deleteRule(rules, n == 1 ? 0 : n);
        }
        QCOMPARE(rules, (RuleList {four[0], four[2], four[3], four[1]}));
        deleteRule(rules, 2);
        QCOMPARE(replaceRule(rules, 2, rule(7, QStringLiteral(" x "))), RuleRefusal::None);
        QCOMPARE(rules, (RuleList {four[0], rule(7, QStringLiteral("x")), four[1]}));
        QCOMPARE(replaceRule(rules, 2, rule(7, QStringLiteral("a<$>"))),
                 RuleRefusal::SeparatorInText);
        QCOMPARE(rules[1].text, QStringLiteral("x"));
    }

    void duplicates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("exclude");
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("same, other colour")
            << QStringLiteral(" さん ") << RulePositionEnd << 0 << true;
        QTest::newRow("other place") << QStringLiteral("さん") << RulePositionStart << 0 << false;
        QTest::newRow("katakana") << QStringLiteral("サン") << RulePositionEnd << 0 << false;
        QTest::newRow("letter case") << QStringLiteral("a") << RulePositionContains << 0 << false;
        QTest::newRow("full width") << QStringLiteral("Ａ") << RulePositionContains << 0 << false;
        QTest::newRow("itself left out") << QStringLiteral("さん") << RulePositionEnd << 1 << false;
        QTest::newRow("another left out") << QStringLiteral("さん") << RulePositionEnd << 2 << true;
    }
    void duplicates()
    {
        QFETCH(QString, text);
        QFETCH(QString, position);
        QFETCH(int, exclude);
        QFETCH(bool, duplicate);
        const RuleList rules {rule(3, QStringLiteral("さん"), RulePositionEnd),
                              rule(2, QStringLiteral("A"), RulePositionContains)};
        QCOMPARE(findDuplicateRule(rules, text, position, exclude), duplicate);
        QVERIFY(isBlankRuleText(QStringLiteral("   ")) && !isBlankRuleText(text));
    }
};

QTEST_GUILESS_MAIN(TestMessageRule)
#include "tst_messagerule.moc"

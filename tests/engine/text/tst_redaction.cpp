#include "engine/text/redaction.h"

#include <QTest>

// What redaction masks and replaces, and what it leaves alone.
class TestRedaction : public QObject
{
    Q_OBJECT

private slots:
    void masks_data();
    void masks();
    void names_data();
    void names();
};

void TestRedaction::masks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("masked");
    const auto row = [](const char *name, const char *text, const char *masked) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(masked);
    };
    row("mobile", "携帯 090-1234-5678 まで", "携帯 [電話番号] まで");
    row("landline", "03-1234-5678です", "[電話番号]です");
    row("toll-free", "0120-123-456", "[電話番号]");
    row("international", "+81 90 1234 5678 / +81-3-1234-5678", "[電話番号] / [電話番号]");
    row("area code in brackets", "(03) 1234-5678", "[電話番号]");
    row("eleven digits", "09012345678", "[電話番号]");
    row("full-width", "０９０－１２３４－５６７８", "[電話番号]");
    row("e-mail", "mail: ann.lee+x@mail.example.co.jp!", "mail: [メール]!");
    row("postal code", "〒150-0041 と 1500041 と 150-0041", "[郵便番号] と 1500041 と [郵便番号]");
    row("address with prefecture", "東京都渋谷区神南1丁目2番3号に", "[住所]に");
    row("prefecture and city", "神奈川県横浜市です", "[住所]です");
    row("ward and house number", "新宿区西新宿2-8-1で", "[住所]で");
    row("house number after a town", "西新宿2-8-1", "[住所]");
    row("URL query", "https://example.com/a/b?x=1&y=2#top 見て",
        "https://example.com/a/b?[伏せ字]#top 見て");
    // Numbers that tell no one's whereabouts stay.
    row("dates and times", "2024-01-15 21:03 05-06-2024 2003/07/12",
        "2024-01-15 21:03 05-06-2024 2003/07/12");
    row("too many digits", "012345678901 と 123456789", "012345678901 と 123456789");
    row("question", "元気? 東京に行く", "元気? 東京に行く");
    row("hostile markup", "<script>090-1234-5678</script>", "<script>[電話番号]</script>");
}

void TestRedaction::masks()
{
    QFETCH(QString, text);
    QFETCH(QString, masked);
    maskPersonalDetails(text);
    QCOMPARE(text, masked);
}

void TestRedaction::names_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("redacted");
    QTest::newRow("longest first")
        << QStringList {QStringLiteral("Ann"), QStringLiteral("Ann Lee")}
        << QStringLiteral("Ann Lee said Ann") << QStringLiteral("人物B said 人物A");
    QTest::newRow("whole Latin names")
        << QStringList {QStringLiteral("Ann")} << QStringLiteral("Anna, Ann! xAnn Ann1 Annとの")
        << QStringLiteral("Anna, 人物A! xAnn Ann1 人物Aとの");
    QTest::newRow("Japanese names anywhere")
        << QStringList {QStringLiteral("たろう"), QStringLiteral("はなこ")}
        << QStringLiteral("たろうとはなこのトーク") << QStringLiteral("人物Aと人物Bのトーク");
    QTest::newRow("a name met again keeps its letter")
        << QStringList {QStringLiteral("Bo"), QStringLiteral("Cy"), QStringLiteral("Bo")}
        << QStringLiteral("[リアクション] 👍 Cy、Bo")
        << QStringLiteral("[リアクション] 👍 人物B、人物A");
    QTest::newRow("the header text stays")
        << QStringList {QStringLiteral("発言")} << QStringLiteral("発言 の発言：発言")
        << QStringLiteral("人物A の発言：人物A");
    QStringList many;
    for (int n = 0; n < 28; ++n)
        many.append(QStringLiteral("n%1").arg(n));
    QTest::newRow("after Z") << many << QStringLiteral("n0 n25 n26 n27")
                             << QStringLiteral("人物A 人物Z 人物AA 人物AB");
    // A chat of thousands of people: more names than one pattern can hold.
    QStringList crowd {QStringLiteral("Ann"), QStringLiteral("Ann Lee"), QStringLiteral("たろう")};
    for (int n = 0; n < 6000; ++n)
        crowd.append(QStringLiteral("member%1").arg(n, 4, 10, QLatin1Char('0')));
    QTest::newRow("thousands of names")
        << crowd
        << QStringLiteral("Ann Lee said Ann, Anna xAnn Ann1 たろうと member0000 member00001")
        << QStringLiteral("人物B said 人物A, Anna xAnn Ann1 人物Cと 人物D member00001");
}

void TestRedaction::names()
{
    QFETCH(QStringList, names);
    QFETCH(QString, text);
    QFETCH(QString, redacted);
    RedactedNames known;
    known.add(names);
    known.redact(text, QStringLiteral(" の発言："));
    QCOMPARE(text, redacted);
}

QTEST_GUILESS_MAIN(TestRedaction)
#include "tst_redaction.moc"

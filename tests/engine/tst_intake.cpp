// Taking logs into the selection: the paths of a drop, the extensions taken, output stems, order.
#include "engine/intake.h"

#include <QTest>

namespace {

QStringList paths(const Selection &s)
{
    QStringList out;
    for (const auto &item : s.items())
        out.append(item.path);
    return out;
}

} // namespace

class TestIntake : public QObject
{
    Q_OBJECT

private slots:
    void splitting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("one path") << "C:\\log\\a.txt" << QStringList {"C:\\log\\a.txt"};
        QTest::newRow("folder with a blank, then another drive")
            << "C:\\my logs\\a.txt D:\\b.txt" << QStringList {"C:\\my logs\\a.txt", "D:\\b.txt"};
        QTest::newRow("network path is not split off")
            << "C:\\a.txt \\\\server\\b.txt" << QStringList {"C:\\a.txt \\\\server\\b.txt"};
        QTest::newRow("unix paths") << "/home/u/my logs/a.txt /tmp/b.txt"
                                    << QStringList {"/home/u/my logs/a.txt", "/tmp/b.txt"};
        QTest::newRow("relative second path stays")
            << "/tmp/a b.txt c.txt" << QStringList {"/tmp/a b.txt c.txt"};
    }

    void splitting()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QCOMPARE(splitLogPathText(text), items);
    }

    void acceptanceAndStems_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("stem"); // with addStr "_"
        QTest::newRow("txt") << "C:\\log\\chat.txt" << true << "C:\\log\\_chat.";
        QTest::newRow("TXT") << "/log/CHAT.TXT" << true << "/log/_CHAT.";
        QTest::newRow("xml") << "/log/h.xml" << true << "/log/_h.";
        QTest::newRow("XML") << "/log/h.XML" << true << "/log/_h.";
        QTest::newRow("Txt refused") << "/log/a.Txt" << false << "";
        QTest::newRow("image refused") << "/log/a.png" << false << "";
        // Only the whole extension counts: a backup or an output is no log.
        QTest::newRow("four letters starting with txt") << "/log/a.txt5" << false << "";
        QTest::newRow("txt_old") << "/log/chat.txt_old" << false << "";
        QTest::newRow("no dot") << "txtfile" << false << "";
        QTest::newRow("json: its whole extension goes")
            << "/log/result.json" << true << "/log/_result.";
        QTest::newRow("too short after the dot") << "/log/a.tx" << false << "";
        QTest::newRow("no folder") << "a.txt" << true << "_a.";
        // On Linux a "\" is part of a name; only a path written the Windows way has folders.
        QTest::newRow("backslash in a name") << "/log/x\\chat.txt" << true << "/log/_x\\chat.";
        QTest::newRow("backslash, no folder") << "x\\chat.txt" << true << "_x\\chat.";
        QTest::newRow("server path") << "\\\\srv\\log\\chat.txt" << true << "\\\\srv\\log\\_chat.";
    }

    void acceptanceAndStems()
    {
        QFETCH(QString, path);
        QFETCH(bool, accepted);
        QFETCH(QString, stem);
        QCOMPARE(isLogPath(path), accepted);
        if (accepted)
            QCOMPARE(outputStem(path, QStringLiteral("_")), stem);
    }

    void orderIgnoresCaseAndKeepsNoDuplicates()
    {
        Selection s;
        // Case variants interleaved: the exact duplicate must still be found.
        QCOMPARE(addLogFiles(s,
                             {"/l/b.txt", "/l/A.txt", "/l/a.txt", "/l/B.txt", "/l/a.txt",
                              "/l/b.txt", "/l/c.txt"},
                             QStringLiteral("_")),
                 7);
        QCOMPARE(s.selectedCount(), 5);
        const QStringList got = paths(s);
        QCOMPARE(got.size(), 5);
        QCOMPARE(got.last(), QStringLiteral("/l/c.txt"));
        QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), 5);
        for (qsizetype i = 1; i < got.size(); ++i)
            QVERIFY2(compareLogPaths(got[i - 1], got[i]) < 0, qPrintable(got.join(u' ')));
        // Case variants are neighbours.
        QCOMPARE(got[0].toLower(), got[1].toLower());
        QCOMPARE(got[2].toLower(), got[3].toLower());
        QCOMPARE(s.stem(0), s.path(0).chopped(3).insert(3, u'_'));
    }

    void intakeAccumulates()
    {
        Selection s;
        addLogFiles(s, {"/l/b.txt"}, QStringLiteral("_"));
        addLogFiles(s, {"/l/a.txt", "/l/b.txt"}, QStringLiteral("x"));
        QCOMPARE(paths(s), (QStringList {"/l/a.txt", "/l/b.txt"}));
        QCOMPARE(s.stem(0), QStringLiteral("/l/xa."));
        QCOMPARE(s.stem(1), QStringLiteral("/l/_b.")); // the first intake's stem stays
        QCOMPARE(s.selectedCount(), 2);
    }

    void intakeOfNothingZeroesTheCountButKeepsThePairs()
    {
        Selection s;
        addLogFiles(s, {"/l/a.txt"}, QStringLiteral("_"));
        QCOMPARE(addLogFiles(s, {"/l/photo.jpg"}, QStringLiteral("_")), 0);
        QCOMPARE(s.selectedCount(), 0);
        QCOMPARE(s.items().size(), 1);
        addLogFiles(s, {"/l/b.xml"}, QStringLiteral("_"));
        QCOMPARE(s.selectedCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestIntake)
#include "tst_intake.moc"

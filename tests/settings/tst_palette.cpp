#include "settings/palette.h"

#include <QTest>

using namespace colorcode;

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QList<int>>("rgb"); // -1: left as the caller had it
        QTest::newRow("code") << "#FF8000" << QList<int> {255, 128, 0};
        QTest::newRow("bare digits") << "FF8000" << QList<int> {255, 128, 0};
        QTest::newRow("lower case") << "#8b8b00" << QList<int> {139, 139, 0};
        QTest::newRow("short keeps its #") << "#12" << QList<int> {0, -1, 0x12};
        QTest::newRow("short bare digits") << "8000" << QList<int> {0, 128, 0};
        QTest::newRow("empty") << "" << QList<int> {0, 0, 0};
        QTest::newRow("bad pairs") << "#12G" << QList<int> {0, -1, -1};
        QTest::newRow("bad red only") << "#ZZ8000" << QList<int> {-1, 128, 0};
        QTest::newRow("long keeps last six") << "#00112233" << QList<int> {0x11, 0x22, 0x33};
        QTest::newRow("full-width digits") << "#ＦＦ8000" << QList<int> {-1, 128, 0};
    }

    void split()
    {
        QFETCH(QString, code);
        QFETCH(QList<int>, rgb);
        int r = -1, g = -1, b = -1;
        splitColorCode(code, r, g, b);
        QCOMPARE((QList<int> {r, g, b}), rgb);
    }

    void conversions()
    {
        QCOMPARE(colorValueFromCode("#FF8000"), 33023); // red in the lowest byte
        QCOMPARE(codeToColorNumber("#0000ff"), 255);
        QCOMPARE(colorNumberToCode(255), QStringLiteral("#0000FF")); // zero-padded
        QCOMPARE(colorNumberToCode(0), QStringLiteral("#000000"));
        QCOMPARE(colorNumberToCode(-1), QStringLiteral("#FFFFFF"));
        QCOMPARE(componentToHex(10), QStringLiteral("0A"));
    }

    void defaults()
    {
        QCOMPARE(defaultColorLabel(9), QStringLiteral("発言の色－０９"));
        QCOMPARE(defaultColorLabel(12), QStringLiteral("発言の色－１２"));
        QCOMPARE(defaultColorCode(9), QStringLiteral("#AE00AE")); // slot 1 again
        QCOMPARE(defaultColorCode(16), QStringLiteral("#8B8B00"));
        QCOMPARE(twoDigits(100), QStringLiteral("00"));
        QCOMPARE(defaultPalette().size(), 8);
    }
};

QTEST_GUILESS_MAIN(TestPalette)
#include "tst_palette.moc"

#include "ui/rules/colorcombobox.h"

#include <QAbstractItemView>
#include <QImage>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <memory>

namespace {

// Colours found in a rectangle of an image.
QSet<QRgb> colorsIn(const QImage &image, const QRect &rect)
{
    QSet<QRgb> found;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            found.insert(image.pixel(x, y) | 0xFF000000u);
    return found;
}

Palette sample()
{
    return {{QStringLiteral("#FF0000"), QStringLiteral("あか")},
            {QStringLiteral("#0000FF"), QStringLiteral("あお")},
            {QStringLiteral("#008000"), QStringLiteral("とても長いみどりいろのなまえですよ")}};
}

} // namespace

class TestColorComboBox : public QObject
{
    Q_OBJECT

private slots:
    void colorValueRoundTrip_data();
    void colorValueRoundTrip();
    void fillsFromPalette();
    void popupShowsEveryEntryInItsColour();
    void popupFitsManyEntries_data();
    void popupFitsManyEntries();
    void closedBoxUsesTextColour();
};

void TestColorComboBox::colorValueRoundTrip_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QColor>("color");
    QTest::newRow("red") << 0xFF << QColor(255, 0, 0);
    QTest::newRow("green") << 0x8000 << QColor(0, 128, 0);
    QTest::newRow("blue") << 0xFF0000 << QColor(0, 0, 255);
    QTest::newRow("mixed") << (0x12 + 0x34 * 256 + 0x56 * 65536) << QColor(0x12, 0x34, 0x56);
    QTest::newRow("black") << 0 << QColor(0, 0, 0);
}

void TestColorComboBox::colorValueRoundTrip()
{
    QFETCH(int, value);
    QFETCH(QColor, color);
    QCOMPARE(ColorComboBox::colorFromValue(value), color);
    QCOMPARE(ColorComboBox::valueFromColor(color), value);
}

void TestColorComboBox::fillsFromPalette()
{
    ColorComboBox box;
    box.addColorItem(QStringLiteral("old"), 1);
    box.fillFromPalette(sample());
    QCOMPARE(box.count(), 3);
    QCOMPARE(box.itemText(1), QStringLiteral(" あお        "));
    QCOMPARE(box.itemColor(1), QColor(0, 0, 255));
    QCOMPARE(box.itemColor(2), QColor(0, 128, 0));
    box.addItem(QStringLiteral(" なし"));
    QCOMPARE(box.itemColor(3), QColor(Qt::black));
    QCOMPARE(box.colorValue(99), 0);
}

void TestColorComboBox::popupShowsEveryEntryInItsColour()
{
    ColorComboBox box;
    box.fillFromPalette(sample());
    box.addItem(QStringLiteral(" くろ"));
    box.setCurrentIndex(0);
    box.resize(80, box.sizeHint().height());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.showPopup();
    QAbstractItemView *list = box.view();
    QTRY_VERIFY(list->isVisible());
    QCOMPARE(list->verticalScrollBar()->maximum(), 0);

    const QImage image = list->viewport()->grab().toImage();
    const QPalette pal = list->palette();
    auto row = [&](int i) {
        return list->visualRect(list->model()->index(i, 0));
    };
    for (int i = 0; i < box.count(); ++i)
        QVERIFY2(list->viewport()->rect().contains(row(i)), qPrintable(QString::number(i)));

    // The current entry is highlighted, whatever its own colour.
    list->setCurrentIndex(list->model()->index(0, 0));
    const QSet<QRgb> first = colorsIn(image, row(0));
    QVERIFY(first.contains(pal.color(QPalette::Highlight).rgb()));
    QVERIFY(!first.contains(qRgb(255, 0, 0)));

    // The others: their own colour on the list background; no data means black.
    const QSet<QRgb> blue = colorsIn(image, row(1));
    QVERIFY(blue.contains(qRgb(0, 0, 255)));
    QVERIFY(blue.contains(pal.color(QPalette::Base).rgb()));
    QVERIFY(!blue.contains(pal.color(QPalette::Highlight).rgb()));
    QVERIFY(colorsIn(image, row(2)).contains(qRgb(0, 128, 0)));
    QVERIFY(colorsIn(image, row(3)).contains(qRgb(0, 0, 0)));

    // Text starts at the left edge: ink within the first few pixels after the leading blank,
    // and the long label is drawn whole, the list being widened to it.
    const QFontMetrics metrics(list->font());
    const QRect r = row(1);
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    QVERIFY(colorsIn(image, QRect(r.left(), r.top(), blank + metrics.height(), r.height()))
                .contains(qRgb(0, 0, 255)));
    QVERIFY(list->viewport()->width() >= metrics.horizontalAdvance(box.itemText(2)));
    box.hidePopup();
}

void TestColorComboBox::popupFitsManyEntries_data()
{
    // Styles differ in how they open the list: over the box, or below it with a row limit.
    QTest::addColumn<QString>("style");
    for (const QString &name : QStyleFactory::keys())
        QTest::newRow(qPrintable(name)) << name;
}

void TestColorComboBox::popupFitsManyEntries()
{
    QFETCH(QString, style);
    std::unique_ptr<QStyle> owned(QStyleFactory::create(style));
    ColorComboBox box;
    box.setStyle(owned.get());
    Palette many;
    for (int n = 1; n <= 20; ++n)
        many.append({colorcode::defaultColorCode(n), colorcode::defaultColorLabel(n)});
    box.fillFromPalette(many);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.showPopup();
    QTRY_VERIFY(box.view()->isVisible());
    const QRect last = box.view()->visualRect(box.model()->index(19, 0));
    QVERIFY(box.view()->viewport()->rect().contains(last));
    QCOMPARE(box.view()->verticalScrollBar()->maximum(), 0);
    box.hidePopup();
}

void TestColorComboBox::closedBoxUsesTextColour()
{
    ColorComboBox box;
    box.addColorItem(QStringLiteral(" ■■■■"), 0xFF);
    box.setTextColor(QColor(0, 0, 255));
    QCOMPARE(box.textColor(), QColor(0, 0, 255));
    box.resize(200, box.sizeHint().height());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QImage image = box.grab().toImage();
    const QSet<QRgb> seen = colorsIn(image, image.rect());
    QVERIFY(seen.contains(qRgb(0, 0, 255)));
    QVERIFY(!seen.contains(qRgb(255, 0, 0)));
}

QTEST_MAIN(TestColorComboBox)
#include "tst_colorcombobox.moc"

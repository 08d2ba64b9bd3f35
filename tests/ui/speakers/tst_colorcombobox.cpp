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

QSet<QRgb> colorsIn(const QImage &image, const QRect &rect)
{
    QSet<QRgb> found;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            found.insert(image.pixel(x, y) | 0xFF000000u);
    return found;
}

} // namespace

class TestColorComboBox : public QObject
{
    Q_OBJECT

private slots:
    void popupPaintsEveryEntry_data();
    void popupPaintsEveryEntry();
    void closedBoxUsesTextColour();
};

void TestColorComboBox::popupPaintsEveryEntry_data()
{
    // Styles open the list differently: over the box, or below it with a row limit.
    QTest::addColumn<QString>("style");
    for (const QString &name : QStyleFactory::keys())
        QTest::newRow(qPrintable(name)) << name;
}

void TestColorComboBox::popupPaintsEveryEntry()
{
    QFETCH(QString, style);
    std::unique_ptr<QStyle> owned(QStyleFactory::create(style));
    ColorComboBox box;
    box.setStyle(owned.get());
    Palette palette = {{QStringLiteral("#FF0000"), QStringLiteral("あか")},
                       {QStringLiteral("#0000FF"), QStringLiteral("あお")},
                       {QStringLiteral("#008000"), QStringLiteral("とても長いみどりいろのなまえ")}};
    for (int n = 4; n <= 20; ++n)
        palette.append({colorcode::defaultColorCode(n), colorcode::defaultColorLabel(n)});
    box.fillFromPalette(palette);
    box.setItemData(3, QVariant()); // no colour value
    box.resize(80, box.sizeHint().height());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.showPopup();
    QAbstractItemView *list = box.view();
    QTRY_VERIFY(list->isVisible());
    auto row = [&](int i) {
        return list->visualRect(list->model()->index(i, 0));
    };
    QVERIFY(list->viewport()->rect().contains(row(19)));
    QCOMPARE(list->verticalScrollBar()->maximum(), 0);

    const QImage image = list->viewport()->grab().toImage();
    const QPalette pal = list->palette();
    // The current entry is highlighted, whatever its own colour.
    const QSet<QRgb> first = colorsIn(image, row(0));
    QVERIFY(first.contains(pal.color(QPalette::Highlight).rgb()));
    QVERIFY(!first.contains(qRgb(255, 0, 0)));
    // The others: their own colour on the list background; no value means black.
    const QSet<QRgb> blue = colorsIn(image, row(1));
    QVERIFY(blue.contains(qRgb(0, 0, 255)));
    QVERIFY(blue.contains(pal.color(QPalette::Base).rgb()));
    QVERIFY(!blue.contains(pal.color(QPalette::Highlight).rgb()));
    QVERIFY(colorsIn(image, row(2)).contains(qRgb(0, 128, 0)));
    QVERIFY(colorsIn(image, row(3)).contains(qRgb(0, 0, 0)));

    // The text starts at the entry's left edge (after its leading blank), and a long name is
    // drawn whole: the list is widened to it.
    const QFontMetrics metrics(list->font());
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    const QRect r = row(1);
    QVERIFY(colorsIn(image, QRect(r.left(), r.top(), blank + metrics.height(), r.height()))
                .contains(qRgb(0, 0, 255)));
    QVERIFY(list->viewport()->width() >= metrics.horizontalAdvance(box.itemText(2)));
}

void TestColorComboBox::closedBoxUsesTextColour()
{
    ColorComboBox box;
    box.addColorItem(QStringLiteral(" ■■■■"), 0xFF); // red entry, blue box text
    box.setTextColor(QColor(0, 0, 255));
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

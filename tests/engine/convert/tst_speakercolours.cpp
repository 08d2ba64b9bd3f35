#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/convert/speakercolors.h"
#include "engine/intake.h"
#include "engine/page/distinctcolors.h"
#include "engine/page/readablecolor.h"
#include "engine/text/ruletable.h"
#include "engine/text/speakerkeys.h"
#include "settings/inifile.h"
#include "support/files.h"
#include "support/recordinghost.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <cmath>

namespace {

SpeakerKeys speakers(int count)
{
    SpeakerKeys keys(QStringLiteral(" の発言 :"));
    for (int k = 0; k < count; ++k)
        keys.add(QStringLiteral("M%1 の発言 :").arg(k, 3, 10, QLatin1Char('0')));
    keys.finish();
    return keys;
}

QStringList codesOf(const Palette &palette)
{
    QStringList codes;
    for (const PaletteEntry &e : palette)
        codes.append(e.code);
    return codes;
}

// CIE76 ΔE of two "#RRGGBB" colours: sRGB to XYZ to CIELAB under D65.
double deltaE76(const QString &p, const QString &q)
{
    const auto lab = [](const QString &code) {
        std::array<double, 3> v;
        for (int i = 0; i < 3; ++i) {
            const double c = code.mid(1 + 2 * i, 2).toInt(nullptr, 16) / 255.0;
            v[i] = c > 0.04045 ? std::pow((c + 0.055) / 1.055, 2.4) : c / 12.92;
        }
        const double xyz[3] = {(0.4124 * v[0] + 0.3576 * v[1] + 0.1805 * v[2]) / 0.9505,
                               0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2],
                               (0.0193 * v[0] + 0.1192 * v[1] + 0.9505 * v[2]) / 1.089};
        double f[3];
        for (int i = 0; i < 3; ++i)
            f[i] = xyz[i] > 0.008856 ? std::cbrt(xyz[i]) : 7.787 * xyz[i] + 16.0 / 116;
        return std::array<double, 3> {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
    };
    const auto a = lab(p), b = lab(q);
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

} // namespace

// The modern page's speaker colours: a colour of its own for each speaker, far enough from the
// others to tell apart and readable in both themes; fixed colours stay as they were fixed, and
// colours carried from log to log make way for each other on one page.
class TestSpeakerColours : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void coloursApart_data();
    void coloursApart();
    void fixedColoursStay();
    void carriedColours_data();
    void carriedColours();
};

void TestSpeakerColours::coloursApart_data()
{
    QTest::addColumn<Palette>("palette");
    QTest::addColumn<int>("speakers"); // how many the turn must have room for
    QTest::addColumn<QList<int>>("start"); // the turn's first numbers
    // Entry 4 (#C500C1) looks like entry 1 (#AE00AE) once both are readable.
    QTest::newRow("default palette")
        << colorcode::defaultPalette() << 30 << QList<int> {1, 2, 3, 5, 6, 7, 8, 9};
    QTest::newRow("no palette") << Palette() << 30 << QList<int> {1};
    // White in the dark theme is the text colour; the near-blue twin and the text colour go.
    QTest::newRow("greys and near twins") << Palette {{"#000000", ""},
                                                      {"#FFFFFF", ""},
                                                      {"#0000FF", ""},
                                                      {"#0000FE", ""},
                                                      {"#1F2328", ""}}
                                          << 25 << QList<int> {1, 3, 6};
}

void TestSpeakerColours::coloursApart()
{
    QFETCH(Palette, palette);
    QFETCH(int, speakers);
    QFETCH(QList<int>, start);
    distinct::ColorTurn turn(codesOf(palette));
    QVERIFY2(turn.size() >= speakers, qPrintable(QString::number(turn.size())));
    for (qsizetype k = 0; k < start.size(); ++k)
        QCOMPARE(turn.number(k), start[k]);
    QList<distinct::ThemeColors> shown;
    for (qsizetype k = 0; k < turn.size(); ++k)
        shown.append(distinct::themeColors(turn.code(turn.number(k))));
    for (qsizetype a = 0; a < shown.size(); ++a) {
        QVERIFY(readable::contrast(shown[a].light, QStringLiteral("#FFFFFF")) >= 4.5);
        QVERIFY(readable::contrast(shown[a].dark, QStringLiteral("#1B1D21")) >= 4.5);
        for (qsizetype b = a + 1; b < shown.size(); ++b) {
            for (const auto theme : {&distinct::ThemeColors::light, &distinct::ThemeColors::dark}) {
                const QString &p = shown[a].*theme, &q = shown[b].*theme;
                const QByteArray pair = (p + u' ' + q).toLatin1();
                QVERIFY2(readable::difference(p, q) >= distinct::MinimumDifference, pair);
                QVERIFY2(deltaE76(p, q) >= 12, pair);
            }
        }
    }
}

// A rule's colour and a colour carried from an earlier log stay, and the turn passes over what
// they hold, including a palette colour that looks like one of them; a number past the palette
// is carried too.
void TestSpeakerColours::fixedColoursStay()
{
    const QStringList palette = codesOf(colorcode::defaultPalette());
    distinct::ColorTurn turn(palette);
    RuleTable rules;
    rules.append(*RuleTable::parseRecord(QStringLiteral("02<$>M001<$>完全一致")));
    CarriedColors carried;
    carried.remember(QStringLiteral("M003"), 1, false);
    carried.remember(QStringLiteral("M004"), 10, false);
    const SpeakerHandover h = assignDistinctColors(speakers(8), rules, turn, carried);
    QStringList numbers;
    for (const SpeakerTableEntry &e : h.table)
        numbers.append(e.paletteIndex);
    QCOMPARE(numbers.join(u' '), QStringLiteral("3 2 5 1 10 6 7 8"));
    QCOMPARE(h.speakerColors[1], palette[1]);
    QCOMPARE(h.speakerColors[4], turn.code(10));
    QCOMPARE(h.table[4].colorCode, turn.code(10).mid(1));

    CarriedColors later;
    rememberColors(
        h.table, h, [&turn](int n) { return !turn.code(n).isEmpty(); }, later);
    QCOMPARE(later.find(QStringLiteral("M004"))->number, 10);
    QCOMPARE(later.size(), 8);
}

void TestSpeakerColours::carriedColours_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QStringList>("logs"); // each log's speakers, converted in one run
    QTest::addColumn<QString>("rule"); // a rule record, or none
    QTest::addColumn<QString>("chosen"); // the first dialog's choice: "name=number", or none
    QTest::addColumn<bool>("forRest"); // the first dialog keeps its colours for the rest
    QTest::addColumn<QString>("last"); // the last log's speakers and numbers
    const QStringList threeLogs {"A B", "B C", "A B C"};
    // A and C were both given the first colour; A had it first.
    QTest::newRow("modern, three logs") << pageStyleWord(PageStyle::Modern) << threeLogs << ""
                                        << "" << false << "A=1 B=2 C=3";
    QTest::newRow("classic, three logs, kept for the rest")
        << pageStyleWord(PageStyle::Classic) << threeLogs << ""
        << "" << true << "A=1 B=2 C=3";
    // A colour the user fixed, by a rule or in the dialog, stays; one the run gave makes way.
    QTest::newRow("modern, a rule's colour")
        << pageStyleWord(PageStyle::Modern) << QStringList {"A B", "A D"}
        << "01<$>D<$>先頭にあったら"
        << "" << false << "A=2 D=1";
    QTest::newRow("modern, one rule for two names")
        << pageStyleWord(PageStyle::Modern) << QStringList {"Xa", "Xa Xb"}
        << "03<$>X<$>先頭にあったら"
        << "" << false << "Xa=3 Xb=3";
    QTest::newRow("modern, chosen in the dialog")
        << pageStyleWord(PageStyle::Modern) << QStringList {"A C", "A B", "B C"} << ""
        << "C=2" << false << "B=1 C=2";
    // Colours the user kept for the rest of the run stay shared.
    QTest::newRow("modern, chosen for the rest")
        << pageStyleWord(PageStyle::Modern) << QStringList {"A B", "A B C"} << ""
        << "B=1" << true << "A=1 B=1 C=2";
    // More speakers than palette entries: the turn wraps, and carried colours stay.
    QTest::newRow("classic, more speakers than entries")
        << pageStyleWord(PageStyle::Classic) << QStringList {"A B", "B C", "A B C D E F G H I"}
        << ""
        << "" << true << "A=1 B=2 C=1 D=3 E=4 F=5 G=6 H=7 I=8";
}

// Logs converted in one run: whatever the first dialog chose, each later page gives every
// speaker the colour it had before, unless another speaker of the page holds it.
void TestSpeakerColours::carriedColours()
{
    QFETCH(QString, style);
    QFETCH(QStringList, logs);
    QFETCH(QString, rule);
    QFETCH(QString, chosen);
    QFETCH(bool, forRest);
    QFETCH(QString, last);
    QTemporaryDir dir;
    AppState state;
    Settings &s = state.settings;
    s.iniPath = dir.filePath(QStringLiteral("settings.ini"));
    s.headerText = QStringLiteral(" の発言 :");
    s.changeType = 1;
    s.addStr = QStringLiteral("_");
    s.pageStyle = style;
    state.palette = colorcode::defaultPalette();
    s.colorCount = 8;
    if (!rule.isEmpty()) {
        IniDocument ini;
        ini.setValue(QStringLiteral("MsgRule"), QStringLiteral("Count"), QStringLiteral("1"));
        ini.setValue(QStringLiteral("MsgRule"), QStringLiteral("rule_01"), rule);
        QVERIFY(ini.save(s.iniPath));
        s.msgRuleEnable = 1;
    }
    QList<Selection::Item> items;
    for (qsizetype i = 0; i < logs.size(); ++i) {
        QString log;
        for (const QString &name : logs[i].split(u' '))
            log += name + QStringLiteral(" の発言 :\r\nx\r\n");
        const QString path
            = writeFile(dir.filePath(QStringLiteral("%1.txt").arg(i)), cp932::encode(log));
        items.append({path, outputStem(path, s.addStr)});
    }
    state.selection.setItems(items);
    RecordingHost host;
    host.onSpeakerDialog = [&](SpeakerHandover &h) {
        for (SpeakerTableEntry &e : h.table) {
            if (host.speakerDialogs.size() == 1 && e.name == chosen.section(u'=', 0, 0))
                e.paletteIndex = chosen.section(u'=', 1);
        }
        h.forRestOfRun = forRest;
        h.colorDialogCloses = 2;
    };
    state.pageRun.begin(); // the run stays open, to show what it carries
    convertToHtml(state, host);
    QStringList got;
    for (const QString &name : logs.last().split(u' ')) {
        const CarriedColors::Color *c = state.pageRun.carried.find(name);
        got.append(name + u'=' + QString::number(c ? c->number : 0));
    }
    QCOMPARE(got.join(u' '), last);
    QCOMPARE(host.speakerDialogs.size(), forRest ? 1 : logs.size());
}

QTEST_GUILESS_MAIN(TestSpeakerColours)
#include "tst_speakercolours.moc"

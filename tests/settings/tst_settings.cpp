#include "codec/cp932.h"
#include "settings/inifile.h"
#include "settings/settings.h"
#include "settings/settingslocation.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;

    void writeFile(const QString &text) { writeBytes(cp932::encode(text)); }
    void writeBytes(const QByteArray &bytes)
    {
        QFile f(m_ini);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray fileBytes() const
    {
        QFile f(m_ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString stored(const QString &section, const QString &key) const
    {
        return readIniValue(m_ini, section, key, QStringLiteral("<none>"));
    }
    Palette load(Settings &s) const
    {
        Palette p;
        s.iniPath = m_ini;
        loadSettings(s, p);
        return p;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_ini = m_dir.filePath(SettingsFileName);
    }
    void init() { QFile::remove(m_ini); }

    void firstStartWritesEveryKey()
    {
        Settings s;
        Palette p = load(s);
        QCOMPARE(s.headerMode, QStringLiteral("1"));
        QCOMPARE(s.headerText, QStringLiteral(" の発言："));
        QCOMPARE(s.defaultDir, defaultLogDir());
        QCOMPARE(s.msgRuleEnable, 1);
        QCOMPARE(s.jsFontBold, QStringLiteral("いらない"));
        QCOMPARE(s.pageStyle, QStringLiteral("classic"));
        QVERIFY(pageStyleOf(s) != PageStyle::Modern);
        QCOMPARE(s.makeIndex, 0);
        QCOMPARE(p.size(), 8);
        QCOMPARE(p[7].label, QStringLiteral("発言の色－０８"));
        s.colorCountAtLoad = s.colorCount;
        QVERIFY(saveSettings(s, p));
        for (const char *key : {"No_01", "No_08"})
            QCOMPARE(stored("ColorLabel", key).left(5), QStringLiteral("発言の色－"));
        QCOMPARE(stored("JavaScript", "文字の太さ変更"), QStringLiteral("いらない"));
        QCOMPARE(stored("MsgRule", "Enable"), QStringLiteral("1"));
        QCOMPARE(stored("Page", "Style"), QStringLiteral("classic"));
        QCOMPARE(stored("Page", "Index"), QStringLiteral("0"));

        // The reader drops the leading blank, so from the second start on the header is shorter.
        Settings again;
        load(again);
        QCOMPARE(again.headerText, QStringLiteral("の発言："));
    }

    void paletteEntries_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("count 3, No_02 missing")
            << "[Color]\r\nCount=3\r\nNo_01=#111111\r\nNo_03=#ff8000\r\n"
            << QStringList {"#111111", "#008040", "#FF8000"};
        QTest::newRow("count 12, slots repeat")
            << "[Color]\r\nCount=12\r\n"
            << QStringList {"#AE00AE", "#008040", "#7468FF", "#C500C1", "#FF80C0", "#FF8000",
                            "#DF0000", "#8B8B00", "#AE00AE", "#008040", "#7468FF", "#C500C1"};
        const QStringList defaults {"#AE00AE", "#008040", "#7468FF", "#C500C1",
                                    "#FF80C0", "#FF8000", "#DF0000", "#8B8B00"};
        for (const char *count : {"0", "-2", "abc", "1e1", "99999999999"})
            QTest::newRow(count) << QString("[Color]\r\nCount=%1\r\nNo_01=#111111\r\n").arg(count)
                                 << defaults;
        QTest::newRow("count 1.5 rounds to 2") << "[Color]\r\nCount=1.5\r\nNo_01=#111111\r\n"
                                               << QStringList {"#111111", "#008040"};
    }

    void paletteEntries()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, codes);
        writeFile(file);
        Settings s;
        const Palette p = load(s);
        QCOMPARE(s.colorCount, codes.size());
        QStringList got;
        for (const PaletteEntry &e : p)
            got << e.code;
        QCOMPARE(got, codes);
        QCOMPARE(p.last().label, colorcode::defaultColorLabel(codes.size()));
    }

    void hugeCountLoadsNinetyNine()
    {
        writeFile("[Color]\r\nCount=2000000000\r\nNo_01=#123456\r\n");
        Settings s;
        const Palette p = load(s);
        QCOMPARE(s.colorCount, 99);
        QCOMPARE(p.size(), 99);
        QCOMPARE(p[0].code, QStringLiteral("#123456"));
        QCOMPARE(p[98].label, QStringLiteral("発言の色－９９"));
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // 42 = the field's value before the read
        // clang-format off
        const QList<std::pair<const char *, int>> rows {
            {"+7", 7}, {"-7", -7}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {".5", 0},
            {"0.50000000000000000001", 1}, {"-2147483648", -2147483647 - 1}, {"2147483648", 42},
            {"2147483647.5", 42}, {"12abc", 42}, {"1e2", 42}, {"-", 42}, {"１", 42}};
        // clang-format on
        for (const auto &[text, expected] : rows)
            QTest::newRow(text) << QString::fromUtf8(text) << expected;
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        writeFile("[Display]\r\nTOP=" + text + "\r\n[ChangeType]\r\ntype=40000\r\n");
        Settings s;
        s.alwaysOnTop = 42;
        s.changeType = 1;
        load(s);
        QCOMPARE(s.alwaysOnTop, expected);
        QCOMPARE(s.changeType, qint16(1)); // 40000 does not fit 16 bits
    }

    void textFields()
    {
        writeFile("[Hatsugen]\r\nType=7\r\nKotoba=さんの発言\r\n[OtherColor]\r\nBody=#ab12cd\r\n"
                  "[File]\r\nAddStr=\r\n[MsgRule]\r\nEnable=abc\r\n[DefaultDir]\r\nDir=/logs\r\n"
                  "[Page]\r\nStyle=modern\r\nIndex=1\r\n");
        Settings s;
        load(s);
        QVERIFY(pageStyleOf(s) == PageStyle::Modern);
        QCOMPARE(s.makeIndex, 1);
        QCOMPARE(s.headerMode, QStringLiteral("1"));
        QCOMPARE(s.headerText, QStringLiteral("さんの発言"));
        QCOMPARE(s.bodyColor, QStringLiteral("#AB12CD"));
        QCOMPARE(s.narColor, QStringLiteral("#0000FF"));
        QCOMPARE(s.addStr, QStringLiteral("_"));
        QCOMPARE(s.msgRuleEnable, 0);
        QCOMPARE(s.defaultDir, QStringLiteral("/logs/"));

        writeFile("[Hatsugen]\r\nType=0\r\nKotoba=さんの発言\r\n[Page]\r\nStyle=Modern\r\n");
        load(s);
        QVERIFY(pageStyleOf(s) != PageStyle::Modern); // any other word is the classic page
        QCOMPARE(s.headerMode, QStringLiteral("0"));
        QCOMPARE(s.headerText, QStringLiteral(" の発言 :"));
    }

    // The output prefix is part of a file name, never a path: anything else is the default.
    void outputPrefix_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("plain") << "out-"
                               << "out-";
        QTest::newRow("dots inside a name") << "..x"
                                            << "..x";
        QTest::newRow("parent folder") << "../"
                                       << "_";
        QTest::newRow("far away") << "../../../tmp/x"
                                  << "_";
        QTest::newRow("backslash") << "..\\x"
                                   << "_";
        QTest::newRow("this folder") << "."
                                     << "_";
        QTest::newRow("parent") << ".."
                                << "_";
    }

    void outputPrefix()
    {
        QFETCH(QString, stored);
        QFETCH(QString, loaded);
        writeFile("[File]\r\nAddStr=" + stored + "\r\n");
        Settings s;
        load(s);
        QCOMPARE(s.addStr, loaded);
    }

    void shrunkPaletteMarksRemovedEntries()
    {
        writeFile("[MsgRule]\r\nCount=1\r\nrule_01=01,x,1\r\n");
        Settings s;
        Palette p = load(s);
        s.colorCountAtLoad = s.colorCount;
        p.resize(5);
        QVERIFY(saveSettings(s, p));
        QCOMPARE(s.colorCount, 5);
        QCOMPARE(stored("Color", "Count"), QStringLiteral("5"));
        for (const char *key : {"No_06", "No_08"}) {
            QCOMPARE(stored("Color", key), QStringLiteral("***削除していいです***"));
            QCOMPARE(stored("ColorLabel", key), QStringLiteral("***削除していいです***"));
        }
        QCOMPARE(stored("Color", "No_09"), QStringLiteral("<none>"));
        QCOMPARE(stored("MsgRule", "Count"), QStringLiteral("1")); // rules left alone
        QCOMPARE(stored("MsgRule", "rule_01"), QStringLiteral("01,x,1"));
        Settings again;
        QCOMPARE(load(again).size(), 5);
    }

    void oversizedPaletteDoesNotOverwriteFirstEntries()
    {
        Settings s;
        Palette p = load(s);
        for (int n = 9; n <= 101; ++n)
            p.append({QStringLiteral("#0000%1").arg(n, 2, 16, QLatin1Char('0')), "x"});
        p[0].code = QStringLiteral("#FEDCBA");
        QVERIFY(saveSettings(s, p));
        QCOMPARE(stored("Color", "Count"), QStringLiteral("99"));
        QCOMPARE(stored("Color", "No_01"), QStringLiteral("#FEDCBA"));
        QCOMPARE(stored("Color", "No_00"), QStringLiteral("<none>"));
    }

    void garbageFileSurvives()
    {
        QByteArray garbage(64 * 1024, Qt::Uninitialized);
        QRandomGenerator rng(7);
        for (char &c : garbage)
            c = char(rng.bounded(256));
        writeBytes(garbage);
        Settings s;
        Palette p = load(s);
        QCOMPARE(p.size(), 8);
        QVERIFY(saveSettings(s, p));
        QVERIFY(fileBytes().startsWith(garbage));
        Settings again;
        load(again);
        QCOMPARE(again.addStr, QStringLiteral("_"));
    }

    // Settings loaded from a file that could not be read are defaults: no save replaces the
    // file, not even once it can be read again.
    void unreadableFileIsNeverReplaced()
    {
        QVERIFY(QDir(m_dir.path()).mkdir(SettingsFileName));
        Settings s;
        Palette p;
        s.iniPath = m_ini;
        const SettingsFileState state = loadSettings(s, p);
        QVERIFY(state.unreadable && !state.missing);
        QCOMPARE(state.reason, QStringLiteral("is a folder"));
        QVERIFY(QDir(m_dir.path()).rmdir(SettingsFileName));
        writeFile(QStringLiteral("[File]\r\nAddStr=mine\r\n"));
        QVERIFY(!saveSettings(s, p));
        QCOMPARE(stored("File", "AddStr"), QStringLiteral("mine"));
    }

    void location()
    {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        const QString configFile = config + QStringLiteral("/基本設定よ.ini");
        QCOMPARE(locateSettingsFile("rel/s.ini", m_dir.path()),
                 QDir::current().absoluteFilePath("rel/s.ini"));
        // Beside the program only when the file is already there (a portable copy), not merely
        // because that folder is writable.
        QCOMPARE(locateSettingsFile({}, m_dir.path()), configFile);
        writeFile(QString());
        QCOMPARE(locateSettingsFile({}, m_dir.path()), m_ini);
        const QString nowhere = m_dir.filePath("no/such/folder");
        QCOMPARE(locateSettingsFile({}, nowhere), configFile);
        QCOMPARE(locateSettingsFile({}, {}), configFile);
        QVERIFY(defaultLogDir().endsWith('/'));
        QCOMPARE(QDir(defaultLogDir()), QDir::home());

        // The per-user folder is created on first save.
        QDir(config).removeRecursively();
        Settings s;
        s.iniPath = locateSettingsFile({}, nowhere);
        Palette p;
        loadSettings(s, p);
        QVERIFY(saveSettings(s, p));
        QVERIFY(QFileInfo::exists(s.iniPath));
        QDir(config).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

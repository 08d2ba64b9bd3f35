#include "codec/cp932.h"
#include "settings/inifile.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
namespace {

// Test texts are written in UTF-8 and stored as the program stores them, in code page 932.
QByteArray sj(const QString &text)
{
    return cp932::encode(text);
}

const QString Missing = QStringLiteral("<default>");

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name = QStringLiteral("基本設定よ.ini")) const
    {
        return m_dir.filePath(name);
    }
    void writeFile(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readFile(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void readRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        auto row = [](const char *name, const QString &file, const QString &section,
                      const QString &key, const QString &expected) {
            QTest::newRow(name) << sj(file) << section << key << expected;
        };
        row("japanese names", "[JavaScript]\r\n背景色変更=いる\r\n", "JavaScript", "背景色変更",
            "いる");
        row("ascii case ignored", "[color]\r\ncOUNT=3\r\n", "COLOR", "Count", "3");
        row("full-width case kept", "[ＣＯＬＯＲ]\r\nk=1\r\n", "ｃｏｌｏｒ", "k", Missing);
        // ア and ヂ differ only in a trail byte that reads as 'A' / 'a'; ゾ ends in ']'.
        row("trail byte section", "[ア]\r\nk=1\r\n", "ヂ", "k", Missing);
        row("trail byte key", "[S]\r\nア=1\r\n", "S", "ヂ", Missing);
        row("bracket as trail byte", "[ゾ]\r\nk=1\r\n", "ゾ", "k", "1");
        row("first section wins", "[A]\r\nk=1\r\n[a]\r\nk=2\r\n", "A", "k", "1");
        row("only first section searched", "[A]\r\nx=1\r\n[A]\r\nk=2\r\n", "A", "k", Missing);
        row("first key wins", "[A]\r\nk=1\r\nK=2\r\n", "A", "k", "1");
        row("blanks trimmed", "[A]\r\n \t k \t= \t v w \t\r\n", "A", "k", "v w");
        row("double quotes", "[A]\r\nk=\"  q  \"\r\n", "A", "k", "  q  ");
        row("single quotes", "[A]\r\nk='x'\r\n", "A", "k", "x");
        row("unmatched quotes", "[A]\r\nk=\"x'\r\n", "A", "k", "\"x'");
        row("empty quotes", "[A]\r\nk=\"\"\r\n", "A", "k", Missing);
        row("empty value", "[A]\r\nk=\r\n", "A", "k", Missing);
        row("lone LF", "[A]\nk=1\n", "A", "k", "1");
        row("line without equals", "[A]\r\nk\r\n", "A", "k", Missing);
        row("key before any section", "k=1\r\n[A]\r\n", "A", "k", Missing);
        QTest::newRow("nul ends value") << QByteArray("[A]\r\nk=ab\0cd\r\n", 14) << QString("A")
                                        << QString("k") << QString("ab");
        QTest::newRow("nul first: missing")
            << QByteArray("[A]\r\nk=\0cd\r\n", 12) << QString("A") << QString("k") << Missing;
        QTest::newRow("invalid shift-jis kept")
            << QByteArray("[A]\r\nk=\x81\x20\xFF\r\n") << QString("A") << QString("k")
            << QString(QChar(0xDC81)) + QLatin1Char(' ') + QChar(0xDCFF);
    }

    void readRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeFile(path(), file);
        QCOMPARE(readIniValue(path(), section, key, Missing), expected);
    }

    void longValueCutAtCharacterBoundary_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expectedChars");
        QTest::newRow("double-byte") << QString(600, QChar(0x3042)) << 511; // never half of あ
        QTest::newRow("odd start") << QLatin1Char('a') + QString(600, QChar(0x3042)) << 512;
    }

    void longValueCutAtCharacterBoundary()
    {
        QFETCH(QString, value);
        QFETCH(int, expectedChars);
        writeFile(path(), sj("[長い]\r\n値=") + sj(value) + "\r\n");
        const QString got = readIniValue(path(), "長い", "値");
        QCOMPARE(got, value.left(expectedChars));
        QVERIFY(sj(got).size() <= 1023);
        // Writing another key keeps the long line whole.
        QVERIFY(writeIniValue(path(), "長い", "他", "1"));
        QVERIFY(readFile(path()).contains(sj(value)));
    }

    void writeRules_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        auto row = [](const char *name, const QString &before, const QString &section,
                      const QString &key, const QString &value, const QString &after) {
            QTest::newRow(name) << sj(before) << section << key << value << sj(after);
        };
        row("replace in place", "; メモ\r\n[色]\r\nk=1\r\nz=9\r\n", "色", "K", "2",
            "; メモ\r\n[色]\r\nK=2\r\nz=9\r\n");
        row("new key after last line of section", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "a", "k", "v",
            "[A]\r\nx=1\r\nk=v\r\n\r\n[B]\r\ny=2\r\n");
        row("new key in empty section", "[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n");
        row("new section at end", "[A]\r\nx=1", "新", "キー", "値",
            "[A]\r\nx=1\r\n[新]\r\nキー=値\r\n");
        row("empty file", "", "A", "k", "v", "[A]\r\nk=v\r\n");
        row("lone LF lines kept", "[A]\nx=1\n", "A", "y", "2", "[A]\nx=1\ny=2\r\n");
        row("first of duplicate sections", "[A]\r\nk=1\r\n[A]\r\nk=2\r\n", "A", "k", "3",
            "[A]\r\nk=3\r\n[A]\r\nk=2\r\n");
        row("line breaks become blanks", "", "A", "k", "a\r\nb\nc\rd", "[A]\r\nk=a b c d\r\n");
        row("unrepresentable character", "", "A", "k", "5€", "[A]\r\nk=5?\r\n");
        row("empty value stored", "[A]\r\nk=1\r\n", "A", "k", "", "[A]\r\nk=\r\n");
        // Untouched lines keep their bytes: an invalid sequence and a duplicate code (≒ as
        // 0x8790, which re-encoding would turn into 0x81E0).
        QTest::newRow("raw bytes kept")
            << QByteArray("[A]\r\nx=\x81\x20\xFF\r\ny=\x87\x90\r\n") << QString("A") << QString("k")
            << QString("v") << QByteArray("[A]\r\nx=\x81\x20\xFF\r\ny=\x87\x90\r\nk=v\r\n");
    }

    void writeRules()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        writeFile(path(), before);
        QVERIFY(writeIniValue(path(), section, key, value));
        QCOMPARE(readFile(path()), after);
    }

    void documentEqualsSeparateWrites()
    {
        // Gathering writes in one document must give the file that one call per key gives.
        const QByteArray messy
            = sj("; メモ\n[color]\ncount=2\n\n[Window]\r\nTop=3\r\n[Color]\r\nNo_01=x");
        const QList<QStringList> writes {{"Color", "Count", "5"}, {"Color", "No_03", "#FFFFFF"},
                                         {"新", "キー", "値"},    {"window", "TOP", "1"},
                                         {"Color", "No_04", "y"}, {"新", "別", "z"}};
        IniDocument doc(messy);
        writeFile(path(), messy);
        for (const QStringList &w : writes) {
            doc.setValue(w[0], w[1], w[2]);
            QVERIFY(writeIniValue(path(), w[0], w[1], w[2]));
        }
        QCOMPARE(doc.bytes(), readFile(path()));
        QCOMPARE(doc.value("COLOR", "no_03"), QStringLiteral("#FFFFFF"));
        QVERIFY(doc.save(path("batched.ini")));
        QCOMPARE(readFile(path("batched.ini")), doc.bytes());
    }

    void writeCreatesFileAndFolder()
    {
        const QString file = m_dir.filePath("new/folder/設定.ini");
        QVERIFY(writeIniValue(file, "Hatsugen", "Kotoba", " の発言："));
        QCOMPARE(readFile(file), sj("[Hatsugen]\r\nKotoba= の発言：\r\n"));
        // The leading blank is written but not read back.
        QCOMPARE(readIniValue(file, "hatsugen", "kotoba"), QStringLiteral("の発言："));
    }

    void failedWriteLeavesNothingBroken()
    {
        writeFile(path("plain"), "not a folder");
        QVERIFY(!writeIniValue(path("plain") + "/x.ini", "A", "k", "v"));
        QCOMPARE(readFile(path("plain")), QByteArray("not a folder"));

        // A path that exists but cannot be read as a file is never replaced.
        QVERIFY(QDir(m_dir.path()).mkpath("adir"));
        QVERIFY(IniDocument::load(path("adir")).readFailed());
        QVERIFY(!writeIniValue(path("adir"), "A", "k", "v"));
        QVERIFY(QFileInfo(path("adir")).isDir());
    }

    // A settings file kept as a link stays a link; the file it points to gets the new content,
    // also when it does not exist yet. A loop of links is refused.
    void linkedFileKeepsItsLink()
    {
        QVERIFY(QDir(m_dir.path()).mkpath("dotfiles"));
        QVERIFY(QFile::link("dotfiles/pelorin.ini", path("linked.ini")));
        QVERIFY(writeIniValue(path("linked.ini"), "A", "k", "v"));
        QVERIFY(QFileInfo(path("linked.ini")).isSymLink());
        QCOMPARE(readFile(path("dotfiles/pelorin.ini")), QByteArray("[A]\r\nk=v\r\n"));

        QVERIFY(QFile::link(path("loop2"), path("loop1")));
        QVERIFY(QFile::link(path("loop1"), path("loop2")));
        QVERIFY(!writeIniValue(path("loop1"), "A", "k", "v"));
        QVERIFY(QFileInfo(path("loop1")).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"

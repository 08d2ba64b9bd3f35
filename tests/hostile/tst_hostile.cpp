// `pelorin --batch` on hostile and broken files: the documented exit status, a clear message
// where one is due, no output written half-way (only the expected files in the folder), a
// bounded run time, and the log and the settings file left byte for byte as they were.
#include "../fuzz/htmlcheck.h"
#include "codec/cp932.h"
#include "hostilesupport.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <functional>

using namespace hostile;

namespace {

const QByteArray Header = cp932::encode(QStringLiteral(" の発言："));
const QByteArray CrLf = "\r\n";
const QString NoSpeakers = QStringLiteral("No speaker was found.");
const QString XmlNotLoaded = QStringLiteral("Could not load the XML history.");
const QString SaveFailed = QStringLiteral("Could not save the file:");

QByteArray sjis(const QString &text)
{
    return cp932::encode(text);
}

// Writes `head`, then `piece` `count` times, then `tail`, without holding the whole file in
// memory.
bool writeRepeated(const QString &path, const QByteArray &head, const QByteArray &piece,
                   qint64 count, const QByteArray &tail = QByteArray())
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(head) != head.size())
        return false;
    const qint64 perBlock = qMax<qint64>(1, (1 << 20) / piece.size());
    const QByteArray block = piece.repeated(perBlock);
    for (qint64 left = count; left > 0; left -= perBlock) {
        const qint64 n = qMin(left, perBlock) * piece.size();
        if (f.write(block.constData(), n) != n)
            return false;
    }
    return f.write(tail) == tail.size() && f.flush();
}

struct Workspace
{
    QTemporaryDir dir;
    QString log = dir.filePath(QStringLiteral("log.txt"));
    QString settings = dir.filePath(QStringLiteral("settings.ini"));
    QStringList args; // what follows "--batch --settings FILE"
    QStringList outputs; // files the run must leave besides the inputs
    QStringList inputs;

    QString path(const QString &name) const { return dir.filePath(name); }
};

struct Case
{
    std::function<void(Workspace &)> setup;
    int exitCode;
    QString message; // a text stderr must hold; empty: stderr must be empty
    // About what the case takes on an idle machine. Only a run far beyond it counts as hung:
    // the speed itself is measured by scripts/bench, not here.
    int timeoutSeconds;
    std::function<void(const Workspace &)> checkOutputs = nullptr;
};

// A run counts as hung only past this many times its case's seconds: room for the sanitizers
// and a machine busy with other work.
constexpr int HangFactor = 10;

// Fast enough under the sanitizers too (a few seconds), so always the full size.
constexpr qint64 BigLogBytes = 200LL << 20;

void plainSettings(Workspace &w, const QByteArray &extra = QByteArray())
{
    QVERIFY(writeFile(w.settings, "[File]\r\nAddStr=_\r\n" + extra));
}

QByteArray simpleLog()
{
    return sjis(QStringLiteral("A")) + Header + CrLf + "hello" + CrLf;
}

void useLog(Workspace &w, const QByteArray &bytes, const QString &mode = QStringLiteral("--text"))
{
    QVERIFY(writeFile(w.log, bytes));
    w.args = {mode, w.log};
}

QByteArray logElement(const QString &events)
{
    return (QStringLiteral("<Log>") + events + QStringLiteral("</Log>")).toUtf8();
}

QByteArray historyXml(const QString &events)
{
    return "<?xml version=\"1.0\"?>\n" + logElement(events);
}

QString message(const QString &from, const QString &text)
{
    return QStringLiteral("<Message><From><User FriendlyName=\"") + from
        + QStringLiteral("\"/></From><Text>") + text + QStringLiteral("</Text></Message>");
}

// Every code page 932 lead byte followed by every other byte (line breaks aside, which split
// the log): the invalid second bytes, the unassigned pairs and the valid ones; one lead byte a
// line, which also ends the line on its own.
QByteArray invalidPairs()
{
    QByteArray log = sjis(QStringLiteral("A")) + Header + CrLf;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0; trail <= 0xFF; ++trail) {
            if (trail == '\r' || trail == '\n')
                continue;
            log += char(lead);
            log += char(trail);
        }
        log += char(lead); // a lead byte at the end of a line
        log += CrLf;
    }
    return log;
}

void expectPage(const Workspace &w, const QString &name, qint64 minBytes)
{
    const QByteArray page = readFile(w.path(name));
    QVERIFY2(page.size() >= minBytes, qPrintable(QString::number(page.size())));
    QVERIFY(page.endsWith("</html>\r\n"));
}

QHash<QString, Case> cases()
{
    QHash<QString, Case> c;
    c[QStringLiteral("binary file named .txt")] = {[](Workspace &w) {
                                                       QByteArray bytes(1 << 20, Qt::Uninitialized);
                                                       QRandomGenerator gen(7);
                                                       for (char &b : bytes)
                                                           b = char(gen.bounded(256));
                                                       plainSettings(w);
                                                       useLog(w, bytes, QStringLiteral("--html"));
                                                   },
                                                   1, QStringLiteral("The file holds no text"), 60};
    c[QStringLiteral("0-byte log, text")] = {[](Workspace &w) {
                                                 plainSettings(w);
                                                 useLog(w, QByteArray());
                                             },
                                             1, QStringLiteral("The file is empty."), 20};
    c[QStringLiteral("0-byte log, html")] = {[](Workspace &w) {
                                                 plainSettings(w);
                                                 useLog(w, QByteArray(), QStringLiteral("--html"));
                                             },
                                             1, QStringLiteral("The file is empty."), 20};
    for (const QString &mode : {QStringLiteral("--text"), QStringLiteral("--html")}) {
        c[QStringLiteral("200 MB without a line break ") + mode]
            = {[mode](Workspace &w) {
                   plainSettings(w);
                   const QByteArray piece = sjis(QStringLiteral("あいうabc "));
                   QVERIFY(writeRepeated(w.log, "", piece, BigLogBytes / piece.size()));
                   w.args = {mode, w.log};
               },
               1, NoSpeakers, 90};
    }
    c[QStringLiteral("line of 10 million characters, text")]
        = {[](Workspace &w) {
               plainSettings(w);
               // 6 characters a piece.
               QVERIFY(writeRepeated(w.log, simpleLog(), sjis(QStringLiteral("長い<b>行")),
                                     10'000'000 / 6, CrLf));
               w.args = {QStringLiteral("--text"), w.log};
               w.outputs = {QStringLiteral("_log.txt")};
           },
           0, QString(), 90,
           [](const Workspace &w) {
               const QByteArray out = readFile(w.path(QStringLiteral("_log.txt")));
               const QByteArray log = readFile(w.log);
               QCOMPARE(out.size(), log.size() + 2); // one TAB for each message line
               const QByteArray start
                   = simpleLog().left(simpleLog().indexOf('\n') + 1) + "\thello\r\n\t";
               QVERIFY(out.startsWith(start));
           }};
    c[QStringLiteral("line of 10 million characters, html")] = {
        [](Workspace &w) {
            plainSettings(w);
            QVERIFY(writeRepeated(w.log, simpleLog(), sjis(QStringLiteral("<b>太</b><script>(L)")),
                                  10'000'000 / 20, CrLf));
            w.args = {QStringLiteral("--html"), w.log};
            w.outputs = {QStringLiteral("_log.htm")};
        },
        0, QString(), 120,
        [](const Workspace &w) {
            const QString page = cp932::decode(readFile(w.path(QStringLiteral("_log.htm"))));
            QVERIFY(page.size() > 10'000'000);
            QVERIFY(!page.contains(QStringLiteral("<script>")));
            QVERIFY(page.contains(QStringLiteral("<b>太</b>&lt;script>")));
        }};
    c[QStringLiteral("every invalid Shift-JIS pair")]
        = {[](Workspace &w) {
               plainSettings(w);
               useLog(w, invalidPairs());
               w.outputs = {QStringLiteral("_log.txt")};
           },
           0, QString(), 20,
           [](const Workspace &w) {
               // Nothing is lost: each line comes back with the same characters, message lines
               // after a TAB. (Characters with two codes, NEC and IBM extensions, come back under
               // the code the code page prefers.)
               const QList<QByteArray> in = readFile(w.log).split('\n');
               const QList<QByteArray> out
                   = readFile(w.path(QStringLiteral("_log.txt"))).split('\n');
               QCOMPARE(out.size(), in.size());
               QCOMPARE(out[0], in[0]);
               for (qsizetype i = 1; i + 1 < in.size(); ++i) {
                   QCOMPARE(out[i], '\t' + cp932::encode(cp932::decode(in[i])));
                   QCOMPARE(cp932::decode(out[i]), u'\t' + cp932::decode(in[i]));
               }
           }};
    for (const QString &mode : {QStringLiteral("--text"), QStringLiteral("--html")}) {
        c[QStringLiteral("header text thousands of times in one line ") + mode]
            = {[mode](Workspace &w) {
                   plainSettings(w);
                   QByteArray line;
                   for (int i = 0; i < 20000; ++i)
                       line += sjis(QStringLiteral("名")) + Header;
                   useLog(w, line + CrLf + line + CrLf + simpleLog(), mode);
                   w.outputs = {mode == u"--text" ? QStringLiteral("_log.txt")
                                                  : QStringLiteral("_log.htm")};
               },
               0, QString(), 60};
    }
    c[QStringLiteral("custom header of wildcards, matching")] = {
        [](Workspace &w) {
            plainSettings(
                w, sjis(QStringLiteral("[Hatsugen]\r\nType=1\r\nKotoba=*?*#*[!a]**?*[a-z]*\r\n")));
            QByteArray log;
            for (int i = 0; i < 2000; ++i)
                log += QByteArray(500, 'a') + "1bcd" + CrLf;
            useLog(w, log, QStringLiteral("--html"));
            w.outputs = {QStringLiteral("_log.htm")};
        },
        0, QString(), 60};
    c[QStringLiteral("custom header of wildcards, unclosed list")]
        = {[](Workspace &w) {
               plainSettings(w, sjis(QStringLiteral("[Hatsugen]\r\nType=1\r\nKotoba=[*?#[!\r\n")));
               useLog(w, "[*?#[!\r\n*?#\r\n" + simpleLog());
           },
           1, NoSpeakers, 20};
    c[QStringLiteral("xml not well formed")] = {
        [](Workspace &w) {
            plainSettings(w);
            w.log = w.path(QStringLiteral("log.xml"));
            useLog(w,
                   "<?xml version=\"1.0\"?><Log><Message><From><User FriendlyName=\"a\"/></From>");
        },
        1, XmlNotLoaded, 20};
    c[QStringLiteral("xml billion laughs")]
        = {[](Workspace &w) {
               plainSettings(w);
               w.log = w.path(QStringLiteral("log.xml"));
               QByteArray dtd = "<?xml version=\"1.0\"?>\n<!DOCTYPE Log [\n<!ENTITY a0 \"lol\">\n";
               for (int i = 1; i <= 10; ++i) {
                   dtd += "<!ENTITY a" + QByteArray::number(i) + " \"";
                   for (int k = 0; k < 10; ++k)
                       dtd += "&a" + QByteArray::number(i - 1) + ';';
                   dtd += "\">\n";
               }
               useLog(w,
                      dtd + "]>\n"
                          + logElement(message(QStringLiteral("&a10;"), QStringLiteral("&a10;"))),
                      QStringLiteral("--html"));
           },
           1, XmlNotLoaded, 20};
    c[QStringLiteral("xml external entity")]
        = {[](Workspace &w) {
               plainSettings(w);
               QVERIFY(writeFile(w.path(QStringLiteral("secret.txt")), "TOP-SECRET-4711"));
               w.inputs = {QStringLiteral("secret.txt")};
               w.log = w.path(QStringLiteral("log.xml"));
               const QByteArray url
                   = QUrl::fromLocalFile(w.path(QStringLiteral("secret.txt"))).toEncoded();
               useLog(w,
                      "<?xml version=\"1.0\"?>\n<!DOCTYPE Log [<!ENTITY xxe SYSTEM \"" + url
                          + "\">]>\n"
                          + logElement(message(QStringLiteral("A"), QStringLiteral("x&xxe;y"))));
           },
           1, XmlNotLoaded, 20};
    c[QStringLiteral("xml external subset")]
        = {[](Workspace &w) {
               plainSettings(w);
               QVERIFY(writeFile(w.path(QStringLiteral("secret.dtd")),
                                 "<!ENTITY xxe \"TOP-SECRET-4711\">"));
               w.inputs = {QStringLiteral("secret.dtd")};
               w.log = w.path(QStringLiteral("log.xml"));
               const QByteArray url
                   = QUrl::fromLocalFile(w.path(QStringLiteral("secret.dtd"))).toEncoded();
               useLog(w,
                      "<?xml version=\"1.0\"?>\n<!DOCTYPE Log SYSTEM \"" + url + "\">\n"
                          + logElement(message(QStringLiteral("A"), QStringLiteral("x&xxe;y"))));
               w.outputs = {QStringLiteral("_log.txt")};
           },
           -1, QString(), 20,
           [](const Workspace &w) {
               const QString out = QStringLiteral("_log.txt");
               if (QFile::exists(w.path(out)))
                   QVERIFY(!readFile(w.path(out)).contains("TOP-SECRET"));
           }};
    c[QStringLiteral("xml with 100000 events")]
        = {[](Workspace &w) {
               plainSettings(w);
               w.log = w.path(QStringLiteral("log.xml"));
               QString events;
               for (int i = 0; i < 100000; ++i)
                   events += message(QStringLiteral("user") + QString::number(i % 50),
                                     QStringLiteral("発言 ") + QString::number(i));
               useLog(w, historyXml(events), QStringLiteral("--html"));
               w.outputs = {QStringLiteral("_log.htm")};
           },
           0, QString(), 120,
           [](const Workspace &w) {
               const QString page = cp932::decode(readFile(w.path(QStringLiteral("_log.htm"))));
               QCOMPARE(page.count(QStringLiteral("<dd>")), 100000);
               QVERIFY(page.contains(QStringLiteral("発言 99999")));
           }};
    c[QStringLiteral("settings file of binary garbage")]
        = {[](Workspace &w) {
               QByteArray bytes(256 << 10, Qt::Uninitialized);
               QRandomGenerator gen(11);
               for (char &b : bytes)
                   b = char(gen.bounded(256));
               QVERIFY(writeFile(w.settings, bytes));
               useLog(w, simpleLog() + sjis(QStringLiteral("B")) + Header + CrLf,
                      QStringLiteral("--html"));
               w.outputs = {QStringLiteral("_log.htm")};
           },
           -1, QString(), 20};
    c[QStringLiteral("settings value of 10 MB")]
        = {[](Workspace &w) {
               // Only the first 1023 bytes of a value count: that much of it is the header text.
               QVERIFY(writeRepeated(w.settings, "[Hatsugen]\r\nType=1\r\nKotoba=", "x", 10 << 20,
                                     "\r\n[File]\r\nAddStr=_\r\n"));
               useLog(w,
                      "A" + QByteArray(1023, 'x') + CrLf + "hi" + CrLf + "B" + QByteArray(1022, 'x')
                          + CrLf);
               w.outputs = {QStringLiteral("_log.txt")};
           },
           0, QString(), 30,
           [](const Workspace &w) {
               QCOMPARE(readFile(w.path(QStringLiteral("_log.txt"))),
                        "A" + QByteArray(1023, 'x') + CrLf + "\thi" + CrLf + "\tB"
                            + QByteArray(1022, 'x') + CrLf);
           }};
    c[QStringLiteral("prefix of 10 MB")]
        = {[](Workspace &w) {
               // 1023 bytes of prefix make a file name no file system takes.
               QVERIFY(writeRepeated(w.settings, "[File]\r\nAddStr=", "p", 10 << 20, "\r\n"));
               useLog(w, simpleLog());
           },
           1, SaveFailed, 30};
    c[QStringLiteral("palette count of 2 000 000 000")]
        = {[](Workspace &w) {
               plainSettings(w, "[Color]\r\nCount=2000000000\r\nNo_01=#123456\r\n");
               QByteArray log;
               for (int i = 0; i < 300; ++i)
                   log += "s" + QByteArray::number(i) + Header + CrLf + "x" + CrLf;
               useLog(w, log, QStringLiteral("--html"));
               w.outputs = {QStringLiteral("_log.htm")};
           },
           0, QString(), 30,
           [](const Workspace &w) {
               const QByteArray page = readFile(w.path(QStringLiteral("_log.htm")));
               QVERIFY(page.contains("color:#123456"));
               QVERIFY(page.contains("HATSUGEN_300"));
           }};
    c[QStringLiteral("stored numbers at their limits")]
        = {[](Workspace &w) {
               // Under the sanitizers any overflow while colours are assigned ends the run.
               plainSettings(w,
                             sjis(QStringLiteral(
                                 "[ChangeType]\r\ntype=32767\r\n[Color]\r\nCount=2147483647\r\n"
                                 "[Speed]\r\nUP=-2147483648\r\n[Hutoji]\r\nYes=2147483647\r\n"
                                 "[NameToo]\r\nYes=1\r\n[Window]\r\nTop=2147483647\r\n"
                                 "Left=-2147483648\r\n[MsgRule]\r\nEnable=1\r\nCount=3\r\n"
                                 "rule_01=2147483647<$>A<$>先頭にあったら\r\n"
                                 "rule_02=-2147483648<$>B<$>先頭にあったら\r\n"
                                 "rule_03=99999999999<$>C<$>先頭にあったら\r\n")));
               QByteArray log;
               for (const char *name : {"A", "B", "C", "D"})
                   log += name + Header + CrLf + "x" + CrLf;
               useLog(w, log, QStringLiteral("--html"));
               w.outputs = {QStringLiteral("_log.htm")};
           },
           0, QString(), 20,
           [](const Workspace &w) {
               // Colour numbers outside the palette give no colour; the turn goes on from 1.
               const QByteArray page = readFile(w.path(QStringLiteral("_log.htm")));
               QVERIFY(page.contains(".HATSUGEN_01{color:;}"));
               QVERIFY(page.contains(".HATSUGEN_04{color:#AE00AE;}"));
           }};
    c[QStringLiteral("99 malformed rules")]
        = {[](Workspace &w) {
               QByteArray rules = "[MsgRule]\r\nEnable=1\r\nCount=99\r\n";
               const QByteArray bad[] = {"x",    "1<$>a<$>b", "<$><$>", "123<$>a",    "\"\"",
                                         "01<$", "=",         "\x81",   "01 <$>a<$>b"};
               for (int n = 1; n <= 99; ++n)
                   rules += "rule_" + QByteArray::number(n).rightJustified(2, '0') + '='
                       + bad[n % 9] + CrLf;
               plainSettings(w, rules);
               useLog(w, simpleLog() + sjis(QStringLiteral("B")) + Header + CrLf,
                      QStringLiteral("--html"));
               w.outputs = {QStringLiteral("_log.htm")};
           },
           0, QString(), 20,
           [](const Workspace &w) {
               expectPage(w, QStringLiteral("_log.htm"), 500);
           }};
    return c;
}

} // namespace

class HostileInputs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(programPath()), qPrintable(programPath())); }

    void batchRun_data()
    {
        QTest::addColumn<QString>("name");
        QStringList names = cases().keys();
        names.sort();
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << name;
    }

    void batchRun()
    {
        QFETCH(QString, name);
        const Case c = cases().value(name);
        Workspace w;
        QVERIFY(w.dir.isValid());
        c.setup(w);
        if (QTest::currentTestFailed())
            return;
        const QStringList before = entries(w.dir.path());
        const QByteArray logDigest = digestOf(w.log), settingsDigest = digestOf(w.settings);

        QProcess p;
        p.setProcessEnvironment(headlessEnvironment());
        p.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer clock;
        clock.start();
        p.start(programPath(),
                QStringList {QStringLiteral("--batch"), QStringLiteral("--settings"), w.settings}
                    + w.args);
        QVERIFY(p.waitForStarted());
        const bool finished = p.waitForFinished(c.timeoutSeconds * 1000 * HangFactor);
        if (!finished) {
            p.kill();
            p.waitForFinished();
        }
        QVERIFY2(finished,
                 qPrintable(QStringLiteral("still running after %1 ms").arg(clock.elapsed())));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        qInfo("%s: exit %d after %lld ms", qPrintable(name), p.exitCode(), clock.elapsed());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        if (c.exitCode >= 0)
            QCOMPARE(p.exitCode(), c.exitCode);
        else
            QVERIFY(p.exitCode() == 0 || p.exitCode() == 1);
        if (c.message.isEmpty() && c.exitCode == 0)
            QVERIFY2(err.isEmpty(), qPrintable(err.left(500)));
        else if (!c.message.isEmpty())
            QVERIFY2(err.contains(c.message) && err.contains(w.log), qPrintable(err.left(500)));
        if (p.exitCode() == 1)
            QVERIFY(!err.isEmpty());

        // The inputs are untouched; the folder holds them and the finished outputs, nothing else.
        QCOMPARE(digestOf(w.log), logDigest);
        QCOMPARE(digestOf(w.settings), settingsDigest);
        QStringList expected = before;
        for (const QString &out : w.outputs) {
            if (c.exitCode >= 0 || QFile::exists(w.path(out)))
                expected.append(out);
        }
        expected.sort();
        QCOMPARE(entries(w.dir.path()), expected);
        if (c.checkOutputs)
            c.checkOutputs(w);
        for (const QString &out : w.outputs) {
            if (out.endsWith(u".htm") && QFile::exists(w.path(out))) {
                const QString page = cp932::decode(readFile(w.path(out)));
                const qsizetype body = page.indexOf(QStringLiteral("<DL>"));
                QVERIFY(body > 0);
                qsizetype at = -1;
                QVERIFY2(htmlcheck::onlyAllowedTags(
                             QStringView(page).sliced(body),
                             [](const htmlcheck::Tag &t) {
                                 static const QStringList own
                                     = {QStringLiteral("dl"),   QStringLiteral("dt"),
                                        QStringLiteral("dd"),   QStringLiteral("font"),
                                        QStringLiteral("body"), QStringLiteral("html")};
                                 return htmlcheck::isChatTag(t)
                                     || (own.contains(t.name)
                                         && std::none_of(
                                             t.attributes.begin(), t.attributes.end(),
                                             [](const QString &a) { return a.startsWith(u"on"); }));
                             },
                             &at),
                         qPrintable(page.mid(body + at, 80)));
            }
        }
        // Big files go at once, not at the end of the suite.
        w.dir.remove();
    }
};

QTEST_GUILESS_MAIN(HostileInputs)
#include "tst_hostile.moc"

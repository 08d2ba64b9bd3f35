#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/run.h"
#include "engine/convert/runsteps.h"
#include "engine/intake.h"
#include "engine/read/linerole.h"
#include "support/files.h"
#include "support/filesizelimit.h"
#include "support/recordinghost.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

namespace {

const QString NoSpeakers = QStringLiteral("発言者が一人も見つかりませんでした。\r\n"
                                          "発言のヘッダを調整してみて下さい。");
// What the message adds for a log read as Shift-JIS with CR LF (one of ASCII alone too).
const QString ReadAsShiftJis = QStringLiteral("\r\n（Shift-JIS、改行 CR LF として読みました）");

// The status texts of a run, step by step: reading, converting, saving, cleared.
const QStringList RunSteps
    = {QStringLiteral("(*ｰｪｰ)σ[読み込みちぅ].."), QStringLiteral("(*´▽`)[終了](*ｰｪｰ)σ[変換ちぅ].."),
       QStringLiteral("(*´▽`)[終了](*´▽`)[終了](*ｰｪｰ)σ[保存ちぅ].."),
       QStringLiteral("ファイルを洗濯しれっ(゜▽、゜)y－~~~")};

} // namespace

class TestTextRun : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QDir m_dir;
    AppState m_state;
    RecordingHost m_host;

    QString log(const QString &name, const QString &text)
    {
        return bytesLog(name, cp932::encode(text));
    }
    QString bytesLog(const QString &name, const QByteArray &bytes)
    {
        return writeFile(m_dir.filePath(name), bytes);
    }
    void select(const QStringList &paths)
    {
        addLogFiles(m_state.selection, paths, m_state.settings.addStr);
    }
    QString output(const QString &logName)
    {
        return m_dir.filePath(u'_' + logName.chopped(3) + u"txt");
    }

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_dir.setPath(m_tmp->path());
        m_state = AppState();
        m_state.settings.headerText = QStringLiteral(" の発言 :");
        m_state.settings.addStr = QStringLiteral("_");
        m_host = RecordingHost();
    }

    void workedExample()
    {
        const QString in = QStringLiteral("A の発言 :\r\nhello\r\n―――――\r\n"
                                          "X が f を送信しようとしています。\r\ndone\r\n―――――\r\n"
                                          "# memo\r\nB の発言 :\r\nok\r\n");
        select({log(QStringLiteral("chat.txt"), in)});
        mnuRun_Click(m_state, m_host);
        const QString expected = QStringLiteral("A の発言 :\r\n\thello\r\n―――――\r\n"
                                                "\tX が f を送信しようとしています。\r\n\tdone\r\n"
                                                "―――――\r\n# memo\r\nB の発言 :\r\n\tok\r\n");
        QCOMPARE(readFile(output(QStringLiteral("chat.txt"))), cp932::encode(expected));
        QVERIFY(m_host.messages.isEmpty());
        QCOMPARE(m_host.statusTexts, RunSteps);
        QCOMPARE(m_state.colorDialogCloses, 2);
        QCOMPARE(m_state.selection.selectedCount(), 0);
        QVERIFY(m_state.selection.items().isEmpty());
        QCOMPARE(m_host.selectionClearedCount, 1);
        QCOMPARE(m_host.beginProgress, 1);
        QCOMPARE(m_host.endProgress, 1);
        QCOMPARE(m_host.progressMaximum, 8);
        QCOMPARE(m_host.progressValue, 8);
    }

    void linesAreKeptExactly_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("last line without break is kept")
            << cp932::encode(u"A の発言 :\r\nlast") << cp932::encode(u"A の発言 :\r\n\tlast\r\n");
        QTest::newRow("one header without break")
            << cp932::encode(u"A の発言 :") << cp932::encode(u"A の発言 :\r\n");
        QTest::newRow("tabs are added to tabs")
            << cp932::encode(u"A の発言 :\r\n\tx\r\n") << cp932::encode(u"A の発言 :\r\n\t\tx\r\n");
        QTest::newRow("hash line stays left")
            << cp932::encode(u"A の発言 :\r\na\r\n# m\r\nb")
            << cp932::encode(u"A の発言 :\r\n\ta\r\n# m\r\n\tb\r\n");
        QTest::newRow("lone LF stays inside its line")
            << cp932::encode(u"A の発言 :\r\na\nb\r\n")
            << cp932::encode(u"A の発言 :\r\n\ta\nb\r\n");
        // Invalid Shift-JIS and binary bytes come out exactly as they went in.
        QTest::newRow("damaged bytes survive")
            << QByteArray("A \x82\xcc\x94\xad\x8c\xbe :\r\n\x81\x00\xff\xa0x\r\n", 19)
            << QByteArray("A \x82\xcc\x94\xad\x8c\xbe :\r\n\t\x81\x00\xff\xa0x\r\n", 20);
        // A character of two codes is written as code page 932 writes it, as it always was.
        QTest::newRow("NEC row code") << cp932::encode(u"A の発言 :\r\n") + "\xed\x40\r\n"
                                      << cp932::encode(u"A の発言 :\r\n\t\u7e8a\r\n");
        // The file is read in pieces of a megabyte: a CR LF cut between two of them.
        const QByteArray head = cp932::encode(u"A の発言 :\r\n");
        const QByteArray filler((1 << 20) - 1 - head.size(), 'y');
        QTest::newRow("CR LF across pieces")
            << head + filler + "\r\nz" << head + '\t' + filler + "\r\n\tz\r\n";
        // A line of more than a megabyte, then lines that go on from where it left off.
        const QByteArray huge((1 << 20) + 3, 'h');
        const QByteArray frame = cp932::encode(SeparatorLine) + "\r\n";
        QTest::newRow("huge line") << head + "a\r\n" + huge + "\r\n" + frame + "n\r\n" + frame
                + head << head + "\ta\r\n\t" + huge + "\r\n" + frame + "\tn\r\n" + frame + head;
    }

    void linesAreKeptExactly()
    {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        select({bytesLog(QStringLiteral("k.txt"), in)});
        mnuRun_Click(m_state, m_host);
        QVERIFY(m_host.messages.isEmpty());
        QCOMPARE(readFile(output(QStringLiteral("k.txt"))), out);
    }

    // "≠ﾌ発言" holds the bytes of "の発言" from inside its first character: no header line.
    void headerBytesInsideACharacter()
    {
        m_state.settings.headerText = QStringLiteral("の発言");
        const QByteArray header = cp932::encode(u"A の発言\r\n");
        select({bytesLog(QStringLiteral("h.txt"), header + "\x81\x82\xcc\x94\xad\x8c\xbe\r\n")});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(readFile(output(QStringLiteral("h.txt"))),
                 header + "\t\x81\x82\xcc\x94\xad\x8c\xbe\r\n");
    }

    void nothingSelected()
    {
        m_state.selection.setItems({{QStringLiteral("/x/a.txt"), QStringLiteral("/x/_a.")}});
        m_state.selection.setHeldBack(true);
        mnuRun_Click(m_state, m_host); // stored but not counted: still nothing selected
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages[0].icon, RunHost::Icon::Critical);
        QCOMPARE(m_host.messages[0].prompt,
                 QStringLiteral("先にファイルを選択しれっつの（℃ ヽ(`Д´)ﾉ "));
        QCOMPARE(m_host.messages[0].title, QStringLiteral("ごるぁ"));
        QVERIFY(m_host.statusTexts.isEmpty());
        QCOMPARE(m_host.beginProgress, 0);
        QCOMPARE(m_state.selection.items().size(), 1);
    }

    void secondLogWithoutSpeakers()
    {
        select({log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nx\r\n")),
                log(QStringLiteral("b.txt"), QStringLiteral("no header\r\n"))});
        mnuRun_Click(m_state, m_host);
        QVERIFY(QFile::exists(output(QStringLiteral("a.txt"))));
        QVERIFY(!QFile::exists(output(QStringLiteral("b.txt"))));
        QCOMPARE(m_host.messages.size(), 1);
        // The message names what the log was read as, Shift-JIS (ASCII alone) too.
        QCOMPARE(m_host.messages[0].prompt, NoSpeakers + ReadAsShiftJis);
        QCOMPARE(m_host.messages[0].title, QStringLiteral("ログ解析エラー"));
        QCOMPARE(m_host.messages[0].context, m_dir.filePath(QStringLiteral("b.txt")));
        QCOMPARE(m_host.settingsDialogOpened, 1);
        // The first log set the outcome, and the text output leaves it for the second.
        QCOMPARE(m_state.selection.selectedCount(), 0);
    }

    void unreadableLogsAreReportedAsWithoutSpeakers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("missing") << "missing.txt" << NoSpeakers;
        QTest::newRow("folder") << "dir.txt" << NoSpeakers;
        // The header text cannot help an empty file: it is told as what it is.
        QTest::newRow("empty") << "empty.txt" << QStringLiteral("空のファイルでした。");
        QTest::newRow("binary") << "binary.txt" << NoSpeakers + ReadAsShiftJis;
        QTest::newRow("fifo, never waited on") << "fifo.txt" << NoSpeakers;
        QTest::newRow("device") << "zero.txt" << NoSpeakers;
    }

    void unreadableLogsAreReportedAsWithoutSpeakers()
    {
        QFETCH(QString, name);
        QFETCH(QString, prompt);
        QDir(m_tmp->path()).mkdir(QStringLiteral("dir.txt"));
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath("fifo.txt")).constData(), 0600), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_dir.filePath("zero.txt")));
        bytesLog(QStringLiteral("empty.txt"), QByteArray());
        bytesLog(QStringLiteral("binary.txt"), QByteArray("\x00\x01\xff\xfe\r\n\x89PNG", 11));
        select({m_dir.filePath(name)});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages[0].prompt, prompt);
        QVERIFY(!QFile::exists(output(name)));
        QCOMPARE(m_state.selection.selectedCount(), 1); // kept for another try
        QCOMPARE(QDir(m_tmp->path()).entryList({QStringLiteral("_*")}, QDir::Files),
                 QStringList {}); // no temporary file left behind
    }

    // Only a regular file is ever replaced: a link (and what it points to) and a FIFO stay.
    void outputThatCannotBeWrittenIsReportedAndNotCounted_data()
    {
        QTest::addColumn<int>("what");
        QTest::newRow("folder") << 0;
        QTest::newRow("link to another file") << 1;
        QTest::newRow("dangling link") << 2;
        QTest::newRow("fifo") << 3;
    }

    void outputThatCannotBeWrittenIsReportedAndNotCounted()
    {
        QFETCH(int, what);
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\n"));
        const QString b = log(QStringLiteral("b.txt"), QStringLiteral("B の発言 :\r\n"));
        const QString taken = output(QStringLiteral("b.txt"));
        const QString elsewhere = bytesLog(QStringLiteral("elsewhere"), "mine");
        if (what == 0)
            QVERIFY(QDir(m_tmp->path()).mkdir(QStringLiteral("_b.txt")));
        else if (what == 3)
            QCOMPARE(::mkfifo(QFile::encodeName(taken).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(what == 1 ? elsewhere : m_dir.filePath("made"), taken));
        QStringList expected = QDir(m_tmp->path()).entryList(QDir::AllEntries | QDir::System);
        expected.append(QStringLiteral("_a.txt"));
        expected.sort();
        select({a, b});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(readFile(elsewhere), QByteArray("mine"));
        QCOMPARE(QDir(m_tmp->path()).entryList(QDir::AllEntries | QDir::System), expected);
        QVERIFY(QFile::exists(output(QStringLiteral("a.txt"))));
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages[0].icon, RunHost::Icon::Critical);
        QCOMPARE(m_host.messages[0].title, QStringLiteral("保存エラー"));
        QCOMPARE(m_host.messages[0].prompt,
                 QStringLiteral("ファイルを保存できませんでした。\r\n")
                     + output(QStringLiteral("b.txt")));
        QCOMPARE(m_state.colorDialogCloses, 0);
        QCOMPARE(m_state.selection.selectedCount(), 2); // the last log was not written
    }

    void neverOverwritesItsOwnLog_data()
    {
        QTest::addColumn<QString>("addStr");
        QTest::newRow("empty prefix") << "";
        QTest::newRow("prefix leading back to the same folder") << "../logs/";
    }

    void neverOverwritesItsOwnLog()
    {
        QFETCH(QString, addStr);
        QDir(m_tmp->path()).mkdir(QStringLiteral("logs"));
        const QByteArray bytes = cp932::encode(u"A の発言 :\r\nx\r\n");
        const QString path = bytesLog(QStringLiteral("logs/self.txt"), bytes);
        m_state.settings.addStr = addStr;
        m_state.colorDialogCloses = 2; // a previous run's outcome must not count
        select({path});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(readFile(path), bytes);
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages[0].title, QStringLiteral("保存エラー"));
        QCOMPARE(m_host.messages[0].prompt,
                 QStringLiteral("変換元のログに上書きしちゃうので保存しませんでした。\r\n"
                                "変換後ファイル名の先頭につける文字を設定して下さい。"));
        QCOMPARE(m_state.selection.selectedCount(), 1);
    }

    // The text output of a.txt with the prefix "x" would be the selected log xa.txt.
    void neverOverwritesAnotherSelectedLog()
    {
        m_state.settings.addStr = QStringLiteral("x");
        const QByteArray bytes = cp932::encode(u"B の発言 :\r\nb\r\n");
        const QString other = bytesLog(QStringLiteral("xa.txt"), bytes);
        select({log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\n")), other});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(readFile(other), bytes);
        QCOMPARE(m_host.messages.size(), 1);
        QVERIFY(m_host.messages[0].prompt.startsWith(u"変換元のログに上書きしちゃう"));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("xxa.txt"))));
    }

    // A full disk: the last write fails, or one after the first buffer; either output kind.
    void writeErrorsAreReported_data()
    {
        QTest::addColumn<int>("changeType");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("limit");
        QTest::newRow("text, only write") << 0 << 10 << 50;
        QTest::newRow("text, after the first buffer") << 0 << 40000 << 300000;
        QTest::newRow("html, only write") << 1 << 10 << 200;
        QTest::newRow("html, after the first buffer") << 1 << 40000 << 300000;
    }

    void writeErrorsAreReported()
    {
        QFETCH(int, changeType);
        QFETCH(int, lines);
        QFETCH(int, limit);
        m_state.settings.changeType = qint16(changeType);
        const QString out = m_dir.filePath(m_state.settings.changeType ? "_big.htm" : "_big.txt");
        bytesLog(QFileInfo(out).fileName(), "earlier");
        select({log(QStringLiteral("big.txt"),
                    QStringLiteral("A の発言 :\r\n")
                        + QStringLiteral("message\r\n").repeated(lines))});
        {
            FileSizeLimit full(limit);
            mnuRun_Click(m_state, m_host);
        }
        QCOMPARE(readFile(out), QByteArray("earlier"));
        QCOMPARE(m_host.messages.size(), 1);
        QCOMPARE(m_host.messages[0].prompt,
                 QStringLiteral("ファイルを保存できませんでした。\r\n") + out);
        QCOMPARE(m_state.colorDialogCloses, 0);
        QCOMPARE(QDir(m_tmp->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void earlierOutputSurvivesALogWithoutSpeakers()
    {
        const QString out = output(QStringLiteral("c.txt"));
        bytesLog(QStringLiteral("_c.txt"), "earlier");
        select({log(QStringLiteral("c.txt"), QStringLiteral("nothing\r\n"))});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(readFile(out), QByteArray("earlier"));
        QCOMPARE(QDir(m_tmp->path()).entryList(QDir::Files).size(), 2);
    }

    // Long lines are written in pieces; a character outside the BMP on a piece boundary
    // must still come out as one "?".
    void longLinesAreWrittenWhole_data()
    {
        QTest::addColumn<int>("before");
        QTest::newRow("pair across the boundary") << 64 * 1024 - 1;
        QTest::newRow("pair right after it") << 64 * 1024;
        QTest::newRow("a million characters") << 1000 * 1000;
    }

    void longLinesAreWrittenWhole()
    {
        QFETCH(int, before);
        const QString body = QString(before, u'x') + QStringLiteral("😀y");
        const QString xml = QStringLiteral("<Log><Message><From><User FriendlyName=\"A\"/></From>"
                                           "<Text>")
            + body + QStringLiteral("</Text></Message></Log>");
        select({bytesLog(QStringLiteral("l.xml"), xml.toUtf8())});
        mnuRun_Click(m_state, m_host);
        // Code page 932 lacks the emoji: the text is UTF-8 with a mark rather than lose it.
        QCOMPARE(readFile(output(QStringLiteral("l.xml"))),
                 "\xEF\xBB\xBF" + QStringLiteral("A  の発言 :\r\n\t").toUtf8()
                     + QByteArray(before, 'x') + "\xF0\x9F\x98\x80y\r\n");
    }

    void speedUpShowsNothingAndHidesTheWindow()
    {
        m_state.settings.speedUp = 1;
        select({log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\n"))});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(m_host.statusTexts, QStringList {RunSteps.last()}); // set after the run
        QCOMPARE(m_host.progressUpdates, 0);
        QCOMPARE(m_host.beginProgress, 0);
        QCOMPARE(m_host.endProgress, 1);
        QCOMPARE(m_host.windowVisibility, (QList<bool> {false, true}));
        QCOMPARE(m_state.selection.selectedCount(), 0);
    }

    void commandLineRunLeavesTheProgressBarAlone()
    {
        m_state.settings.commandLineRun = true;
        select({log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nx\r\n"))});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(m_host.progressMaximum, -1);
        QCOMPARE(m_host.beginProgress + m_host.endProgress + m_host.selectionClearedCount, 0);
        QVERIFY(m_state.selection.items().isEmpty());
    }

    void progressIsForwardedSparingly()
    {
        QString text = QStringLiteral("A の発言 :\r\n");
        for (int i = 0; i < 20000; ++i)
            text += QStringLiteral("line\r\n");
        select({log(QStringLiteral("long.txt"), text)});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(m_host.progressMaximum, 20000);
        QCOMPARE(m_host.progressValue, 20000);
        QVERIFY2(m_host.progressUpdates <= 1001,
                 qPrintable(QString::number(m_host.progressUpdates)));
        QCOMPARE(m_host.statusTexts.count(RunSteps[1]), 1);
    }

    // Pending events are processed after a bounded amount of work, counted in lines and
    // characters rather than timed: between two pumps the progress moves by little.
    void eventsAfterBoundedWork_data()
    {
        QTest::addColumn<int>("changeType");
        QTest::addColumn<int>("lineLength");
        QTest::addColumn<int>("lines");
        for (const char *kind : {"text", "html"}) {
            QTest::addRow("%s, short lines", kind) << int(*kind == 'h') << 4 << 20000;
            QTest::addRow("%s, long lines", kind) << int(*kind == 'h') << 100000 << 60;
        }
    }

    void eventsAfterBoundedWork()
    {
        QFETCH(int, changeType);
        QFETCH(int, lineLength);
        QFETCH(int, lines);
        m_state.settings.changeType = qint16(changeType);
        const QByteArray text = cp932::encode(u"A の発言 :\r\n")
            + QByteArray(QByteArray(lineLength, 'x') + "\r\n").repeated(lines);
        select({bytesLog(QStringLiteral("long.txt"), text)});
        mnuRun_Click(m_state, m_host);
        QCOMPARE(m_state.colorDialogCloses, 2);

        const qsizetype perPump
            = qMin(EventPump::PumpLines, (EventPump::PumpChars + lineLength - 1) / lineLength);
        const int stride = qMax(1, lines / 1000);
        const int passes = changeType ? 2 : 1; // the page reads the log twice
        QVERIFY(m_host.eventsProcessed >= passes * (lines / perPump));
        int last = 0;
        for (int value : std::as_const(m_host.progressAtEvents)) {
            QVERIFY2(value - last <= perPump + stride, qPrintable(QString::number(value - last)));
            last = value;
        }
    }
};

QTEST_GUILESS_MAIN(TestTextRun)
#include "tst_textrun.moc"

#include "engine/appstate.h"
#include "engine/convert/run.h"
#include "engine/intake.h"
#include "support/files.h"
#include "support/recordinghost.h"
#include "support/samples.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sep = QStringLiteral("―――――");

} // namespace

// Both outputs of logs in every encoding and line end.
class TestLogEncodings : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    AppState m_state;

    QString write(const QString &name, const QByteArray &bytes)
    {
        return writeFile(m_tmp->filePath(name), bytes);
    }

    void convert(const QStringList &paths, int changeType)
    {
        m_state.settings.changeType = qint16(changeType);
        addLogFiles(m_state.selection, paths, m_state.settings.addStr);
        RecordingHost host;
        mnuRun_Click(m_state, host);
        QCOMPARE(m_state.colorDialogCloses, 2);
        if (changeType == 0) // the progress bar went all the way
            QCOMPARE(host.progressValue, host.progressMaximum);
    }

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_tmp = std::make_unique<QTemporaryDir>();
        m_state = AppState();
        m_state.settings.iniPath = m_tmp->filePath(QStringLiteral("missing.ini"));
        loadSettings(m_state.settings, m_state.palette); // every default
        m_state.settings.headerText = QStringLiteral("の発言：");
    }

    // The text output is the log with TABs put in, byte for byte, in the log's own encoding,
    // byte order mark and line ends (which also shows that each was detected).
    void textKeepsEveryByte_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QString>("encoding"); // the stored word
        QTest::addColumn<QByteArray>("output");
        for (const samples::Kind &kind : samples::kinds()) {
            const QString body = kind.encoding == textcodec::Encoding::ShiftJis
                ? QStringLiteral("こんばんは")
                : QStringLiteral("こんばんは 😀");
            const QStringList in {"たろう の発言：", body, Sep, "お知らせ", Sep,
                                  "はなこ の発言：", "x"};
            const QStringList out {"たろう の発言：", '\t' + body, Sep, "\tお知らせ", Sep,
                                   "はなこ の発言：", "\tx"};
            for (const auto &[endName, end] : samples::lineEnds()) {
                QTest::addRow("%s %s", qPrintable(kind.name), qPrintable(endName))
                    << samples::encode(in.join(end) + end, kind) << "自動"
                    << samples::encode(out.join(end) + end, kind);
            }
        }
        const QByteArray header = QStringLiteral("A の発言：").toUtf8();
        QTest::newRow("UTF-8 asked for, bytes that are no UTF-8")
            << header + "\n\xFF\xE3\x81\n"
            << "UTF-8" << header + "\n\t\xFF\xE3\x81\n";
        QTest::newRow("UTF-16 lone surrogate, last line without its end")
            << samples::encode(QStringLiteral("A の発言：\r\n") + QChar(0xD800),
                               samples::kinds()[3])
            << "自動"
            << samples::encode(QStringLiteral("A の発言：\r\n\t") + QChar(0xD800) + "\r\n",
                               samples::kinds()[3]);
        QTest::newRow("no line end at all") << header << "自動" << header + "\r\n";
        // The line end held most often decides: one stray line end of another kind stays
        // inside its line.
        QTest::newRow("LF log with one CR LF") << header + "\nx\r\ny\n"
                                               << "自動" << header + "\n\tx\r\n\ty\n";
        QTest::newRow("CR log with one LF") << header + "\rx\ny\rz\r"
                                            << "自動" << header + "\r\tx\ny\r\tz\r";
        // UTF-16 without its mark is told by its zero bytes.
        QTest::newRow("UTF-16LE without a mark")
            << samples::encode(QStringLiteral("A の発言：\r\nこんばんは\r\n"), samples::kinds()[3])
                   .sliced(2)
            << "自動"
            << samples::encode(QStringLiteral("A の発言：\r\n\tこんばんは\r\n"),
                               samples::kinds()[3])
                   .sliced(2);
        // Japanese text with few characters below U+0100 and many that end in a zero byte
        // (一 U+4E00, 言 U+8A00): its line ends, each half zero, tell it.
        QTest::newRow("UTF-16LE without a mark, few ASCII")
            << samples::encode(QStringLiteral("たろう の発言：\r\n一言\r\n"), samples::kinds()[3])
                   .sliced(2)
            << "自動"
            << samples::encode(QStringLiteral("たろう の発言：\r\n\t一言\r\n"), samples::kinds()[3])
                   .sliced(2);
        QTest::newRow("UTF-16BE without a mark, few ASCII, LF")
            << samples::encode(QStringLiteral("A の発言：\n一言\n"), samples::kinds()[4]).sliced(2)
            << "自動"
            << samples::encode(QStringLiteral("A の発言：\n\t一言\n"), samples::kinds()[4])
                   .sliced(2);
        // A LINE export gives its converted text, in UTF-8 with the export's mark and ends.
        QTest::newRow("LINE export")
            << samples::encode("[LINE] x\r\n21:03\tA\tはい\r\n", samples::kinds()[2]) << "自動"
            << samples::encode(
                   QStringList {Sep, "\t[LINE] x", Sep, "A の発言：", "\t21:03 はい", ""}.join(
                       "\r\n"),
                   samples::kinds()[2]);
    }

    void textKeepsEveryByte()
    {
        QFETCH(QByteArray, log);
        QFETCH(QString, encoding);
        QFETCH(QByteArray, output);
        m_state.settings.logEncoding = encoding;
        convert({write(QStringLiteral("chat.txt"), log)}, 0);
        QCOMPARE(readFile(m_tmp->filePath(QStringLiteral("_chat.txt"))), output);
    }

    // Any log but a Shift-JIS one gives a UTF-8 page that says so first in its head and is
    // otherwise the page the same log gives in Shift-JIS (which cannot hold the emoji).
    void pageOfOtherEncodings_data()
    {
        QTest::addColumn<int>("kind");
        for (int k = 1; k < samples::kinds().size(); ++k)
            QTest::newRow(qPrintable(samples::kinds()[k].name)) << k;
    }

    void pageOfOtherEncodings()
    {
        QFETCH(int, kind);
        const QString text = QStringLiteral("たろう の発言：\r\nこんばんは 😀 ①\r\n");
        const QString sjis = write(QStringLiteral("sjis/chat.txt"), cp932::encode(text));
        const QString other = write(QStringLiteral("other/chat.txt"),
                                    samples::encode(text, samples::kinds()[kind]));
        convert({sjis, other}, 1);
        const QByteArray page = readFile(m_tmp->filePath(QStringLiteral("other/_chat.htm")));
        const QByteArray head = "<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>";
        QVERIFY(page.startsWith(head));
        QVERIFY(page.contains(QStringLiteral("こんばんは 😀 ①").toUtf8()));
        const QString reference
            = cp932::decode(readFile(m_tmp->filePath(QStringLiteral("sjis/_chat.htm"))));
        QCOMPARE(QString::fromUtf8(page).remove(QStringLiteral("<meta charset=\"utf-8\">\r\n")),
                 QString(reference).replace(QStringLiteral("は ? ①"), QStringLiteral("は 😀 ①")));
    }
};

QTEST_GUILESS_MAIN(TestLogEncodings)
#include "tst_logencodings.moc"

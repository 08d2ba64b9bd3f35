#include "app/batchrun.h"
#include "app/commandline.h"
#include "app/language.h"
#include "codec/cp932.h"
#include "fileio/atomicfile.h"
#include "fileio/filename.h"
#include "settings/inifile.h"
#include "settings/settingslocation.h"
#include "support/files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <fcntl.h>
#include <linux/capability.h>
#include <memory>
#include <optional>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Root enters a folder whatever its mode; while this lives, the calling thread lacks the
// capabilities for that and meets folder modes as a user does.
class FolderModesApply
{
public:
    FolderModesApply()
    {
        if (::syscall(SYS_capget, &m_head, m_saved) != 0)
            return;
        __user_cap_data_struct dropped[2] = {m_saved[0], m_saved[1]};
        dropped[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_dropped = ::syscall(SYS_capset, &m_head, dropped) == 0;
    }
    ~FolderModesApply()
    {
        if (m_dropped)
            ::syscall(SYS_capset, &m_head, m_saved);
    }
    bool applies() const { return m_dropped || ::geteuid() != 0; }

private:
    __user_cap_header_struct m_head {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] {};
    bool m_dropped = false;
};

} // namespace

class TestBatchRun : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::optional<Translations> m_translations;
    QDir m_dir;
    QString m_ini;
    QString m_err;

    QString log(const QString &name, const QString &text)
    {
        return writeFile(m_dir.filePath(name), cp932::encode(text));
    }

    int run(const QStringList &args, bool terminal = false, StandardStreams streams = {})
    {
        m_err.clear();
        QTextStream err(&m_err);
        const CommandLine cl = parseCommandLine(args);
        if (!cl.error.isEmpty())
            return ExitUsage;
        // The program's folder holds no settings file: only --settings counts.
        const int status
            = runBatch(cl, m_dir.filePath(QStringLiteral("prog")), err, terminal, streams);
        err.flush();
        return status;
    }

    // The batch run speaks the language of the installed translations.
    void speak(Language language)
    {
        m_translations.reset();
        m_translations.emplace(*QCoreApplication::instance(), language,
                               dataDirFor(QStringLiteral(PELORIN_BINARY_DIR "/bin")));
    }

private slots:
    void init()
    {
        speak(Language::Japanese);
        QStandardPaths::setTestModeEnabled(true);
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_dir.setPath(m_tmp->path());
        m_dir.mkdir(QStringLiteral("prog"));
        m_ini = m_dir.filePath(QStringLiteral("s.ini"));
        QVERIFY(writeIniValue(m_ini, QStringLiteral("Hatsugen"), QStringLiteral("Type"),
                              QStringLiteral("0")));
        QVERIFY(writeIniValue(m_ini, QStringLiteral("ChangeType"), QStringLiteral("type"),
                              QStringLiteral("1")));
        QVERIFY(writeIniValue(m_ini, QStringLiteral("File"), QStringLiteral("AddStr"),
                              QStringLiteral("out-")));
    }

    // Every message in one language, one reason per log: a bad extension, a folder without
    // logs, a missing log, an XML history that does not load, a log without speakers, a name
    // that reaches nothing (a mistyped folder), an export that breaks while it is opened.
    void convertsEveryLogAndReportsTheRest_data()
    {
        QTest::addColumn<bool>("japanese");
        // extension, folder, missing, xml, speakers, nothing, broken
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("Japanese")
            << true
            << QStringList {
                   "ログの拡張子は .txt・.xml・.json・.csv・.tar・.zip のどれかにして下さい。",
                   "このフォルダにはログがありません（-r "
                   "を付ければサブフォルダも読みます）。",
                   "読み込めませんでした（ファイルがありません）。",
                   "XML の履歴を読み込めませんでした。",
                   "発言者が一人も見つかりませんでした。"
                   "発言のヘッダを調整してみて下さい。 (Shift-JIS, 改行 CR LF)",
                   "そのようなファイルもフォルダもありません。",
                   "読み込めませんでした（message_1.json: JSON が 1 行目で壊れています: "
                   "Missing a colon after a name of object member.）。"};
        QTest::newRow("English")
            << false
            << QStringList {"A log's extension must be one of .txt・.xml・.json・.csv・.tar・.zip.",
                            "No log in this folder (-r reads its subfolders "
                            "too).",
                            "could not be read (no such file).",
                            "Could not load the XML history.",
                            "No speaker was found. Try adjusting the speaker "
                            "header in the settings. (Shift-JIS, line ends CR LF)",
                            "No such file or folder.",
                            "could not be read (message_1.json: the JSON breaks at line 1: "
                            "Missing a colon after a name of object member.)."};
    }

    void convertsEveryLogAndReportsTheRest()
    {
        QFETCH(bool, japanese);
        QFETCH(QStringList, messages);
        speak(japanese ? Language::Japanese : Language::English);
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        const QString b = log(QStringLiteral("B.TXT"), QStringLiteral("B の発言 :\r\nyo"));
        const QString none = log(QStringLiteral("none.txt"), QStringLiteral("no header\r\n"));
        const QString xml = log(QStringLiteral("h.xml"), QStringLiteral("<Log"));
        const QString pic = log(QStringLiteral("pic.png"), QStringLiteral("\x89PNG"));
        const QString broken = log(QStringLiteral("message_1.json"),
                                   QStringLiteral("{\"participants\": [{\"name\": \"Ann\"}], "
                                                  "\"messages\": [{\"sender_name\" 1}]}"));
        const QString typo = m_dir.filePath(QStringLiteral("logz"));
        const QString gone = m_dir.filePath(QStringLiteral("gone.txt"));
        const QString empty = m_dir.filePath(QStringLiteral("empty"));
        log(QStringLiteral("empty/sub/c.txt"), QStringLiteral("C の発言 :\r\nhi\r\n"));
        const QByteArray iniBefore = readFile(m_ini);

        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, b, pic, empty, a, gone, none, xml,
                      typo, broken}),
                 ExitSomeNotWritten);

        QCOMPARE(readFile(m_dir.filePath(QStringLiteral("out-a.txt"))),
                 cp932::encode(u"A の発言 :\r\n\thi\r\n"));
        QCOMPARE(readFile(m_dir.filePath(QStringLiteral("out-B.txt"))),
                 cp932::encode(u"B の発言 :\r\n\tyo\r\n"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("out-none.txt"))));
        QCOMPARE(readFile(m_ini), iniBefore); // read, never written
        QCOMPARE(m_err.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList {pic + u": " + messages[0], empty + u": " + messages[1],
                               typo + u": " + messages[5], gone + u": " + messages[2],
                               xml + u": " + messages[3], broken + u": " + messages[6],
                               none + u": " + messages[4]}));
    }

    // Two saves of one log as one output, named after the first; neither gets one of its own.
    void mergesExportsOfOneChat()
    {
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        const QString b = log(QStringLiteral("b.txt"),
                              QStringLiteral("A の発言 :\r\nhi\r\nB の発言 :\r\nyo\r\n"));
        QCOMPARE(run({"--batch", "--text", "--merge", "--settings", m_ini, b, a}), ExitAllWritten);
        QCOMPARE(readFile(m_dir.filePath(QStringLiteral("out-a_merged.txt"))),
                 QByteArray("\xEF\xBB\xBF")
                     + QStringLiteral("A  の発言 :\r\n\thi\r\nB  の発言 :\r\n"
                                      "\tyo\r\n")
                           .toUtf8());
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("out-a.txt"))));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("out-b.txt"))));

        // Two exports of a whole account: one output a chat, as its own export gives it.
        const QByteArray tar = readFile(QStringLiteral(PELORIN_SOURCE_DIR)
                                        + "/tests/data/exports/skype/8_live_taro_export.tar");
        const QString y1 = writeFile(m_dir.filePath(QStringLiteral("y1/live.tar")), tar);
        const QString y2 = writeFile(m_dir.filePath(QStringLiteral("y2/live.tar")), tar);
        QCOMPARE(run({"--batch", "--text", "--merge", "--settings", m_ini, y1, y2}),
                 ExitAllWritten);
        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, y1}), ExitAllWritten);
        for (const QString chat : {"Hanako", "週末の山登り"}) {
            const QString single = m_dir.filePath(QStringLiteral("y1/out-live_") + chat);
            QCOMPARE(readFile(single + QStringLiteral("_merged.txt")),
                     readFile(single + QStringLiteral(".txt")));
        }
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("y2"))).count(), 3u); // ".", "..", live.tar
    }

    // A folder stands for its logs; converting it again converts only the logs, not the
    // outputs of the first run. Each row runs twice.
    void folders_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("written"); // every new file, below the test's folder

        QTest::newRow("the logs directly in it")
            << QStringList {} << QStringList {"logs/out-a.txt", "logs/out-link.txt"};
        // A thread's later pages and a channel's description are read with the log beside them.
        // An export of many chats among the logs gives a text for each chat beside it.
        QTest::newRow("recursive") << QStringList {"-r"}
                                   << QStringList {"logs/out-a.txt",
                                                   "logs/out-link.txt",
                                                   "logs/sub/c1/out-messages.txt",
                                                   "logs/sub/out-account_Ann.txt",
                                                   "logs/sub/out-account_Bo.txt",
                                                   "logs/sub/out-c.txt",
                                                   "logs/sub/thread/out-message_1.txt"};
        QTest::newRow("into an output folder inside it")
            << QStringList {"-r", "-o", "logs/out/"}
            << QStringList {"logs/out/out-a.txt",
                            "logs/out/out-link.txt",
                            "logs/out/sub/c1/out-messages.txt",
                            "logs/out/sub/out-account_Ann.txt",
                            "logs/out/sub/out-account_Bo.txt",
                            "logs/out/sub/out-c.txt",
                            "logs/out/sub/thread/out-message_1.txt"};
    }

    void folders()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, written);
        const QString header = QStringLiteral("A の発言 :\r\nhi\r\n");
        for (const char *name : {"logs/a.txt", "logs/.hidden.txt", "logs/sub/c.txt",
                                 "logs/sub/.git/d.txt", "other/e.txt"})
            log(QString::fromLatin1(name), header);
        log(QStringLiteral("logs/notes.png"), header);
        const QString page = QStringLiteral(
            R"({"participants": [{"name": "A"}], "messages": [{"sender_name": "A", )"
            R"("timestamp_ms": 1600000000000, "content": "hi"}]})");
        log(QStringLiteral("logs/sub/thread/message_1.json"), page);
        log(QStringLiteral("logs/sub/thread/message_2.json"), page);
        const QString chat
            = QStringLiteral(R"({"name": "%1", "messages": [{"id": 1, "type": "message", )"
                             R"("date": "2023-06-02T14:00:00", "from": "%1", "text": "hi"}]})");
        log(QStringLiteral("logs/sub/account.json"),
            QStringLiteral(R"({"about": "", "chats": {"about": "", "list": [)") + chat.arg(u"Ann")
                + u',' + chat.arg(u"Bo") + QStringLiteral("]}}"));
        log(QStringLiteral("logs/sub/c1/channel.json"),
            QStringLiteral(R"({"id": "1", "type": 1})"));
        log(QStringLiteral("logs/sub/c1/messages.json"),
            QStringLiteral(R"([{"ID": 1, "Timestamp": "2023-06-02 14:00:00", "Contents": "hi", )"
                           R"("Attachments": ""}])"));
        // Links: to a log (taken), to a folder elsewhere (not walked into).
        QVERIFY(
            QFile::link(QStringLiteral("a.txt"), m_dir.filePath(QStringLiteral("logs/link.txt"))));
        QVERIFY(QFile::link(QStringLiteral("../other"),
                            m_dir.filePath(QStringLiteral("logs/elsewhere"))));
        const auto files = [this] {
            QStringList list;
            for (QDirIterator it(m_dir.path(), QDir::Files | QDir::Hidden,
                                 QDirIterator::Subdirectories);
                 it.hasNext();)
                list.append(m_dir.relativeFilePath(it.next()));
            list.sort();
            return list;
        };
        const QStringList before = files();
        for (QString &option : options)
            option.replace(QStringLiteral("logs/"), m_dir.filePath(QStringLiteral("logs/")));
        const QStringList args = QStringList {"--batch", "--text", "--settings", m_ini} + options
            + QStringList {m_dir.filePath(QStringLiteral("logs"))};
        for (int pass = 1; pass <= 2; ++pass) {
            QCOMPARE(run(args), ExitAllWritten);
            QCOMPARE(m_err, QString());
        }
        QStringList created = files();
        for (const QString &name : before)
            created.removeOne(name);
        QCOMPARE(created, written);
        QCOMPARE(readFile(m_dir.filePath(written.first())),
                 cp932::encode(u"A の発言 :\r\n\thi\r\n"));
    }

    // A folder that can be listed but not entered is named and fails the run; the rest goes on.
    void folderThatCannotBeEntered()
    {
        log(QStringLiteral("logs/a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        log(QStringLiteral("logs/shut/b.txt"), QStringLiteral("B の発言 :\r\nyo\r\n"));
        const QString shut = m_dir.filePath(QStringLiteral("logs/shut"));
        const auto listOnly
            = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther; // 0644
        QVERIFY(QFile::setPermissions(shut, listOnly));
        int status = -1;
        {
            const FolderModesApply modes;
            if (modes.applies())
                status = run({"--batch", "--text", "--settings", m_ini, "-r",
                              m_dir.filePath(QStringLiteral("logs"))});
        }
        QVERIFY(QFile::setPermissions(shut, listOnly | QFile::ExeOwner));
        if (status == -1)
            QSKIP("root enters any folder here, and its capabilities could not be dropped");
        QCOMPARE(status, ExitSomeNotWritten);
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("logs/out-a.txt"))));
        QVERIFY(!QFile::exists(shut + QStringLiteral("/out-b.txt")));
        QVERIFY2(m_err.startsWith(shut + QStringLiteral(": 読み込めませんでした（"))
                     && m_err.count(u'\n') == 1,
                 qPrintable(m_err));
    }

    // Outputs go into the folder, made when missing; two logs that would have one output name
    // there give one output, and a file in the folder's place stops the run.
    void outputFolder()
    {
        const QString a = log(QStringLiteral("a/chat.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        const QString b = log(QStringLiteral("b/chat.txt"), QStringLiteral("B の発言 :\r\nyo\r\n"));
        const QString out = m_dir.filePath(QStringLiteral("new/out"));
        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, "-o", out, b, a}),
                 ExitSomeNotWritten);
        QCOMPARE(readFile(out + QStringLiteral("/out-chat.txt")),
                 cp932::encode(u"A の発言 :\r\n\thi\r\n"));
        QCOMPARE(m_err,
                 b + QStringLiteral(": 変換しませんでした。出力が ") + a
                     + QStringLiteral(" の出力と同じ名前になります。\n"));

        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, "-o", a, b}), ExitUsage);
        QCOMPARE(m_err,
                 a
                     + QStringLiteral(": 出力フォルダを作れませんでした（フォルダではありません）。"
                                      "ログは変換しません。\n"));
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("b"))).entryList(QDir::Files),
                 QStringList {"chat.txt"});
    }

    // The saved setting decides whether a folder of pages gets an index page; --index and
    // --no-index override it for the run. A page whose search data cannot be written stands,
    // marked in the index, and fails the run.
    void indexPage_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("option"); // empty: none
        QTest::addColumn<bool>("made");
        QTest::addColumn<bool>("dataBlocked"); // a folder in the search data's place
        QTest::newRow("saved on") << "1"
                                  << "" << true << false;
        QTest::newRow("saved on, --no-index") << "1"
                                              << "--no-index" << false << false;
        QTest::newRow("saved off") << "0"
                                   << "" << false << false;
        QTest::newRow("saved off, --index") << "0"
                                            << "--index" << true << false;
        QTest::newRow("search data not written") << "1"
                                                 << "" << true << true;
    }

    void indexPage()
    {
        QFETCH(QString, saved);
        QFETCH(QString, option);
        QFETCH(bool, made);
        QFETCH(bool, dataBlocked);
        QVERIFY(writeIniValue(m_ini, QStringLiteral("Page"), QStringLiteral("Index"), saved));
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        if (dataBlocked)
            QVERIFY(m_dir.mkdir(QStringLiteral("out-a.htm.js")));
        QStringList args {"--batch", "--settings", m_ini, a};
        if (!option.isEmpty())
            args.prepend(option);
        QCOMPARE(run(args), dataBlocked ? ExitSomeNotWritten : ExitAllWritten);
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("out-a.htm"))));
        QCOMPARE(QFile::exists(m_dir.filePath(QStringLiteral("out-index.htm"))), made);
        QCOMPARE(m_err.contains(m_dir.filePath(QStringLiteral("out-a.htm.js"))), dataBlocked);
        if (made)
            QCOMPARE(QString::fromUtf8(readFile(m_dir.filePath(QStringLiteral("out-index.htm"))))
                         .contains(QStringLiteral("（検索できません）")),
                     dataBlocked);
    }

    // "-": the log from standard input, its output, and nothing else, to standard output. The
    // temporary copy of the log is gone afterwards. A reader that goes away hears nothing more.
    void standardInput_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("to"); // standard output: "file", "read-only" or "closed pipe"
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("output"); // the whole text, or the page's start
        QTest::addColumn<QString>("err"); // the start of the only line

        const QByteArray text = cp932::encode(u"A の発言 :\r\nhi");
        QTest::newRow("text") << text << "--text"
                              << "file" << 0 << cp932::encode(u"A の発言 :\r\n\thi\r\n") << "";
        QTest::newRow("an XML history as a page")
            << QByteArray("<?xml version=\"1.0\"?><Log><Message><From><User FriendlyName=\"Aki\"/>"
                          "</From><Text>hi</Text></Message></Log>")
            << "--html"
            << "file" << 0 << QByteArray("<html>\r\n<head>\r\n<title>stdin : Aki") << "";
        QTest::newRow("no speakers")
            << QByteArray("x\r\n") << "--text"
            << "file" << 1 << QByteArray()
            << "標準入力: 発言者が一人も見つかりませんでした。発言のヘッダを調整してみて下さい。";
        QTest::newRow("standard output refuses writes")
            << text << "--text"
            << "read-only" << 1 << QByteArray() << "標準出力: 書き出せませんでした（";
        QTest::newRow("standard output's reader gone")
            << text << "--text"
            << "closed pipe" << ExitOutputClosed << QByteArray() << "";
    }

    void standardInput()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, kind);
        QFETCH(QString, to);
        QFETCH(int, status);
        QFETCH(QByteArray, output);
        QFETCH(QString, err);
        const QString in = m_dir.filePath(QStringLiteral("in"));
        const QString out = m_dir.filePath(QStringLiteral("out"));
        QVERIFY(fileio::writeFileAtomically(in, input));
        QVERIFY(fileio::writeFileAtomically(out, {}));
        QFile inFile(in), outFile(out);
        QVERIFY(inFile.open(QIODevice::ReadOnly));
        QVERIFY(outFile.open(to == u"file" ? QIODevice::WriteOnly : QIODevice::ReadOnly));
        int pipe[2];
        QCOMPARE(::pipe(pipe), 0);
        ::close(pipe[0]);
        const int outFd = to == u"closed pipe" ? pipe[1] : outFile.handle();
        std::signal(SIGPIPE, SIG_IGN); // as main does
        const QString temporary = m_dir.filePath(QStringLiteral("tmp"));
        QVERIFY(m_dir.mkdir(QStringLiteral("tmp")));
        qputenv("TMPDIR", QFile::encodeName(temporary));
        const int result
            = run({"--batch", kind, "--settings", m_ini, "-"}, false, {inFile.handle(), outFd});
        ::close(pipe[1]);
        qunsetenv("TMPDIR");
        QCOMPARE(result, status);
        outFile.close();
        const QByteArray written = readFile(out);
        QCOMPARE(kind == u"--html" ? written.left(output.size()) : written, output);
        QVERIFY2(err.isEmpty() ? m_err.isEmpty() : m_err.startsWith(err) && m_err.count(u'\n') == 1,
                 qPrintable(m_err));
        QVERIFY(QDir(temporary).isEmpty());
    }

    // The run's last line on a terminal, unless --quiet; --quiet keeps only the errors.
    void summary_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("tail"); // how standard error ends

        const QString error = QStringLiteral(": 発言者が一人も見つかりませんでした。"
                                             "発言のヘッダを調整してみて下さい。 (Shift-JIS, "
                                             "改行 CR LF)\n");
        QTest::newRow("terminal") << true << false << true << "2 件中 1 件を書き出しました\n";
        QTest::newRow("terminal, English") << false << false << true << "1 of 2 logs written\n";
        QTest::newRow("quiet") << true << true << true << error;
        QTest::newRow("no terminal") << true << false << false << error;
    }

    void summary()
    {
        QFETCH(bool, japanese);
        QFETCH(bool, quiet);
        QFETCH(bool, terminal);
        QFETCH(QString, tail);
        speak(japanese ? Language::Japanese : Language::English);
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言：\r\nhi\r\n"));
        const QString none = log(QStringLiteral("z.txt"), QStringLiteral("x\r\n"));
        QStringList args {"--batch", "--text", "--settings",
                          m_dir.filePath(QStringLiteral("new.ini"))};
        if (quiet)
            args.append(QStringLiteral("-q"));
        QCOMPARE(run(args + QStringList {a, none}, terminal), ExitSomeNotWritten);
        QVERIFY2(m_err.endsWith(tail), qPrintable(m_err));
        // Quiet: no notice of the missing settings file, no progress line.
        QCOMPARE(m_err.startsWith(none), quiet);
        QCOMPARE(m_err.contains(u'\r'), terminal && !quiet);
    }

    // A log without speakers: the line says what was read.
    void namesWhatWasReadWithoutSpeakers_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("read");
        const QByteArray utf8Lf = QStringLiteral("たろう: こんばんは\nはなこ: やあ\n").toUtf8();
        QTest::newRow("UTF-8 LF") << true << utf8Lf << "auto"
                                  << "(UTF-8, 改行 LF)";
        QTest::newRow("UTF-8 LF, English") << false << utf8Lf << "auto"
                                           << "(UTF-8, line ends LF)";
        QTest::newRow("read as Shift-JIS") << true << utf8Lf << "sjis"
                                           << "(Shift-JIS, 改行 LF)";
        QTest::newRow("Shift-JIS CR LF")
            << true << cp932::encode(u"たろう: こんばんは\r\n") << "auto"
            << "(Shift-JIS, 改行 CR LF)";
        QTest::newRow("ASCII CR LF") << false << QByteArray("no header\r\n") << "auto"
                                     << "(Shift-JIS, line ends CR LF)";
        QTest::newRow("UTF-16LE with its mark")
            << true << QByteArray("\xFF\xFEx\0\r\0\n\0", 8) << "auto"
            << "(UTF-16LE BOM 付き, 改行 CR LF)";
        // A LINE export holding events alone is told as one.
        QTest::newRow("LINE export of events only")
            << true << QStringLiteral("[LINE] x\n21:00\t\tAが退出しました\n").toUtf8() << "auto"
            << "(LINE のトーク履歴, UTF-8, 改行 LF)";
        // A log without a line end is no classic log: told as what it is, its reading named.
        QTest::newRow("Shift-JIS without a line end")
            << true << QByteArray("{\"from\": \"Ann\"}") << "auto"
            << "JSON のデータのようです。チャットのログとしては読めません。 (Shift-JIS, 改行 なし)";
    }

    void namesWhatWasReadWithoutSpeakers()
    {
        QFETCH(bool, japanese);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QString, read);
        speak(japanese ? Language::Japanese : Language::English);
        const QString path = m_dir.filePath(QStringLiteral("chat.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        QCOMPARE(run({"--batch", "--settings", m_ini, "--encoding", encoding, path}),
                 ExitSomeNotWritten);
        QVERIFY2(m_err.startsWith(path + u": ") && m_err.endsWith(u' ' + read + u'\n'),
                 qPrintable(m_err));
    }

    void allWrittenIsSilentAndExitsZero()
    {
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        const QString prog = m_dir.filePath(QStringLiteral("prog"));
        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, a}), ExitAllWritten);
        QCOMPARE(m_err, QString());
        QVERIFY(QDir(prog).isEmpty()); // no settings file appears anywhere
    }

    void htmlPagesToo()
    {
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        // The settings ask for HTML (ChangeType 1), and --text is not given.
        QCOMPARE(run({"--batch", "--settings", m_ini, a}), ExitAllWritten);
        QCOMPARE(m_err, QString());
        const QByteArray page = readFile(m_dir.filePath(QStringLiteral("out-a.htm")));
        QVERIFY(page.contains(cp932::encode(u"A の発言 :")));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("out-a.txt"))));
    }

    void customHeaderFromTheSettingsFile()
    {
        QVERIFY(writeIniValue(m_ini, QStringLiteral("Hatsugen"), QStringLiteral("Type"),
                              QStringLiteral("1")));
        QVERIFY(writeIniValue(m_ini, QStringLiteral("Hatsugen"), QStringLiteral("Kotoba"),
                              QStringLiteral("さん#号：")));
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("Aさん7号：\r\nhi\r\n"));
        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, a}), ExitAllWritten);
        QCOMPARE(readFile(m_dir.filePath(QStringLiteral("out-a.txt"))),
                 cp932::encode(u"Aさん7号：\r\n\thi\r\n"));
    }

    void missingSettingsFileMeansDefaults()
    {
        const QString ini = m_dir.filePath(QStringLiteral("nope.ini"));
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言：\r\nhi\r\n"));
        QCOMPARE(run({"--batch", "--text", "--settings", ini, a}), ExitAllWritten);
        QVERIFY(m_err.startsWith(ini + u": "));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("_a.txt")))); // default prefix
        QVERIFY(!QFile::exists(ini));
    }

    // A prefix that would put the output elsewhere is said once; the run goes on with "_".
    void refusedPrefix_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("..") << "..";
        QTest::newRow("a folder") << "out/";
        QTest::newRow("a backslash, Shift-JIS's yen") << "\\";
    }

    void refusedPrefix()
    {
        QFETCH(QString, prefix);
        QVERIFY(writeIniValue(m_ini, QStringLiteral("File"), QStringLiteral("AddStr"), prefix));
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, a}), ExitAllWritten);
        QCOMPARE(m_err,
                 m_ini + QStringLiteral(": 設定ファイルの設定文字「") + prefix
                     + QStringLiteral("」は使えないので、「_」を使います。\n"));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("_a.txt"))));
    }

    // Settings that cannot be read would convert with other names and kinds: nothing runs.
    void unreadableSettingsStopTheRun()
    {
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        const QString folder = m_dir.filePath(QStringLiteral("prog"));
        QCOMPARE(run({"--batch", "--text", "--settings", folder, a}), ExitUsage);
        QCOMPARE(m_err,
                 folder
                     + QStringLiteral(": 設定ファイルを読み込めませんでした（フォルダです）。"
                                      "ログは変換しません。\n"));
        QCOMPARE(m_dir.entryList(QDir::Files), (QStringList {"a.txt", "s.ini"}));
    }

    // Every refusal is one line naming the log and the reason; the others are converted.
    void refusedOutputs()
    {
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\n"));
        const QByteArray bytes = cp932::encode(u"B の発言 :\r\n");
        const QString outA = log(QStringLiteral("out-a.txt"), QStringLiteral("B の発言 :\r\n"));
        const QString b = log(QStringLiteral("b.txt"), QStringLiteral("B の発言 :\r\n"));
        QVERIFY(QFile::link(m_ini, m_dir.filePath(QStringLiteral("out-b.txt"))));
        const QByteArray ini = readFile(m_ini);
        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, a, outA, b}), ExitSomeNotWritten);
        QCOMPARE(readFile(outA), bytes);
        QCOMPARE(readFile(m_ini), ini);
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("out-out-a.txt"))));
        QCOMPARE(m_err.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList {
                     a
                         + QStringLiteral(": 変換元のログに上書きしちゃうので保存しませんでした。"
                                          "変換後ファイル名の先頭につける文字を設定して下さい。"),
                     b + QStringLiteral(": ファイルを保存できませんでした。 ")
                         + m_dir.filePath(QStringLiteral("out-b.txt"))
                         + QStringLiteral(" （シンボリックリンクです）")}));
    }

    // A Shift-JIS name is read and its output written under the same bytes; names reach the
    // terminal with their control characters and undecodable bytes escaped.
    void namesThatAreNotUtf8()
    {
        const auto at = [this](const char *name) {
            return QByteArray(QFile::encodeName(m_dir.path()) + '/' + name);
        };
        const char *name = "\x83\x8d\x83O.txt", *escape = "\x1b[2J.txt";
        for (const char *n : {name, escape}) {
            const int fd = ::open(at(n).constData(), O_WRONLY | O_CREAT, 0644);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, "A \x82\xcc\x94\xad\x8c\xbe :\r\n", 13), 13);
            ::close(fd);
        }
        const QString sjis = fileio::decodeName(at(name)), esc = fileio::decodeName(at(escape));
        QCOMPARE(run({"--batch", "--html", "--settings", m_ini, sjis, esc}), ExitAllWritten);
        QCOMPARE(::access(at("out-\x83\x8d\x83O.htm").constData(), F_OK), 0);
        QCOMPARE(::access(at("out-\x1b[2J.htm").constData(), F_OK), 0);

        QCOMPARE(run({"--batch", "--settings", m_ini, esc}, true), ExitAllWritten);
        QVERIFY2(m_err.contains(QStringLiteral("1/1 \\x1B[2J.txt")), qPrintable(m_err));
        QVERIFY(!m_err.contains(QStringLiteral("\x1b[2J")));
        // Qt's own removal of the folder cannot name these.
        for (const char *n : {name, escape, "out-\x83\x8d\x83O.htm", "out-\x1b[2J.htm"})
            QCOMPARE(::unlink(at(n).constData()), 0);
    }

    void progressLineOnATerminal()
    {
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        const QString none = log(QStringLiteral("z.txt"), QStringLiteral("x\r\n"));
        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, a, none}, true),
                 ExitSomeNotWritten);
        QVERIFY2(m_err.contains(QStringLiteral("1/2 a.txt")), qPrintable(m_err));
        // A message first clears the progress line; the run ends with the line cleared.
        QVERIFY(m_err.contains(QStringLiteral("\r\x1b[K") + none + u": "));
        const QString tail = m_err.sliced(m_err.lastIndexOf(u'\n') + 1);
        QVERIFY(tail.isEmpty() || tail.endsWith(QStringLiteral("\r\x1b[K")));
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batchrun.moc"

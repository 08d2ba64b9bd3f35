#include "codec/cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// The installed kind of start: the real binary, no display, no platform plugin chosen.
class TestBatchEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString Program = QStringLiteral(PELORIN_BINARY_DIR "/bin/pelorin");

    struct Result
    {
        int status;
        QByteArray out, err;
    };

    // `locale` holds NAME=VALUE settings of the locale variables; the others are removed.
    Result pelorin(const QStringList &args, const QStringList &locale = {"LC_ALL=C.UTF-8"})
    {
        return run(Program, args, locale);
    }
    // The program started by `script` in a shell, where "$0" is the program.
    Result shell(const QString &script, const QStringList &args = {})
    {
        return run(QStringLiteral("/bin/sh"), QStringList {"-c", script, Program} + args,
                   {"LC_ALL=C.UTF-8"});
    }

    Result run(const QString &program, const QStringList &args, const QStringList &locale)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL",
                                 "LC_MESSAGES", "LANG", "LANGUAGE"})
            env.remove(QLatin1String(name));
        for (const QString &setting : locale)
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_dir.path());
        p.start(program, args);
        if (!p.waitForFinished(60000))
            return {-1, {}, "did not finish"};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }

    // How many lock requests wait for a lock on the file with this inode (/proc/locks).
    static int lockWaiters(ino_t inode)
    {
        QFile locks(QStringLiteral("/proc/locks"));
        if (!locks.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray id = ':' + QByteArray::number(qulonglong(inode)) + ' ';
        int waiters = 0;
        for (const QByteArray &line : locks.readAll().split('\n'))
            waiters += line.contains("->") && line.contains(id);
        return waiters;
    }

private slots:
    void convertsWithoutADisplay()
    {
        write(QStringLiteral("chat.txt"), cp932::encode(u"A の発言：\r\nこんにちは\r\n"));
        write(QStringLiteral("empty.txt"), QByteArray());
        const QString ini = m_dir.filePath(QStringLiteral("none.ini"));
        const Result r = pelorin({"--batch", "--text", "--settings", ini, "chat.txt", "empty.txt"});
        QCOMPARE(r.status, 1);
        QFile out(m_dir.filePath(QStringLiteral("_chat.txt")));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), cp932::encode(u"A の発言：\r\n\tこんにちは\r\n"));
        QVERIFY2(
            QString::fromUtf8(r.err).endsWith(QStringLiteral("\nempty.txt: The file is empty.\n")),
            r.err.constData());
        QVERIFY(!QFile::exists(ini));
    }

    // Raw bytes from the shell: a Shift-JIS name is read, its output gets the same bytes.
    void shiftJisNameOnTheCommandLine()
    {
        const QByteArray dir = QFile::encodeName(m_dir.path()) + '/';
        const QByteArray log = dir + "\x83\x8d\x83O.txt", out = dir + "_\x83\x8d\x83O.txt";
        const int fd = ::open(log.constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "A \x82\xcc\x94\xad\x8c\xbe\x81\x46\r\nx\r\n", 14), 14);
        ::close(fd);
        const Result r = shell(QStringLiteral("exec \"$0\" --batch --text --settings none.ini "
                                              "\"$(printf '\\203\\215\\203O.txt')\""));
        QCOMPARE(r.status, 0);
        QCOMPARE(::access(out.constData(), F_OK), 0);
        ::unlink(log.constData());
        ::unlink(out.constData());
    }

    // A file size limit (as a full disk) stops the output's last write: reported, exit 1,
    // the earlier output untouched, the program not killed by the signal.
    void fileSizeLimitIsReported()
    {
        write(QStringLiteral("big.txt"),
              cp932::encode(u"A の発言：\r\n") + QByteArray("message\r\n").repeated(300));
        write(QStringLiteral("_big.txt"), "earlier");
        const Result r = shell(QStringLiteral("ulimit -f 1 && exec \"$0\" \"$@\""),
                               {"--batch", "--text", "--settings", "none.ini", "big.txt"});
        QCOMPARE(r.status, 1);
        QFile out(m_dir.filePath(QStringLiteral("_big.txt")));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), QByteArray("earlier"));
        QVERIFY2(QString::fromUtf8(r.err).contains(
                     QStringLiteral("big.txt: Could not save the file: _big.txt (")
                     + QString::fromLocal8Bit(std::strerror(EFBIG)) + u')'),
                 r.err.constData());
    }

    // What the program prints without a display, in the language the locale asks for.
    void languageAndDisplay_data()
    {
        QTest::addColumn<QStringList>("locale");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        const QStringList ja {"LANG=ja_JP.UTF-8"};
        QTest::newRow("version, Japanese")
            << ja << QStringList {"--version"} << 0
            << "Pelorin 2.00\n著作権 (c) Pelorin の作者たち。\nMIT ライセンス: "
               "自由に使い、変え、配ることができます。無保証です。\n"
            << "";
        QTest::newRow("usage error, LC_MESSAGES")
            << QStringList {"LC_MESSAGES=ja_JP.UTF-8", "LANG=C"} << QStringList {"--batch"} << 2
            << ""
            << "pelorin: --batch には LOG が一つ以上要ります。\n詳しくは「pelorin "
               "--help」で見られます。\n";
        QTest::newRow("window without a display, English")
            << QStringList {} << QStringList {} << 2 << ""
            << "pelorin: no display is available; --batch converts logs without one.\n";
        QTest::newRow("window start with a log, no display, Japanese")
            << ja << QStringList {"chat.txt"} << 2 << ""
            << "pelorin: ディスプレイがありません。--batch "
               "を付ければディスプレイなしで変換できます。\n";
    }

    void languageAndDisplay()
    {
        QFETCH(QStringList, locale);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Result r = pelorin(args, locale);
        QCOMPARE(r.status, status);
        QCOMPARE(QString::fromUtf8(r.out), out);
        QCOMPARE(QString::fromUtf8(r.err), err);
    }

    // The archiving options from a shell: standard input and output, folders, an output
    // folder, --quiet. Each script runs in a fresh folder holding logs/chat.txt.
    void archiving_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err");

        const QString program = QStringLiteral("\"$0\" --batch --settings none.ini ");
        QTest::newRow("a filter") << "cat logs/chat.txt | " + program + "-q --text -" << 0
                                  << cp932::encode(u"A の発言：\r\n\tこんにちは\r\n") << "";
        // More output than the pipe holds, so the program is still writing when head leaves.
        QTest::newRow("a filter cut short")
            << "{ printf 'A の発言：\\n'; yes message | head -n 100000; } >big.txt && { " + program
                + "-q --text - <big.txt; echo $? >status; } | head -c 1 >/dev/null; cat status"
            << 0 << QByteArray("141\n") << "";
        QTest::newRow("a filter without speakers")
            << "printf 'x' | " + program + "-q --text -" << 1 << QByteArray()
            << "standard input: No speaker was found. Try adjusting the speaker header in the "
               "settings. (Shift-JIS, line ends none)\n";
        // A closed stream's slot is not taken by another descriptor, so it is said as closed.
        QTest::newRow("standard input closed")
            << program + "-q --text - <&-" << 1 << QByteArray() << "Standard input is closed.\n";
        QTest::newRow("standard output closed") << program + "-q --text - <logs/chat.txt >&-" << 1
                                                << QByteArray() << "Standard output is closed.\n";
        QTest::newRow("a folder twice, into an output folder in it")
            << program + "-q --text -r -o logs/out logs && " + program
                + "--text --quiet --recursive --output-dir logs/out logs && find . -type f | sort"
            << 0 << QByteArray("./logs/chat.txt\n./logs/out/_chat.txt\n") << "";
    }

    void archiving()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("logs")));
        QFile log(dir.filePath(QStringLiteral("logs/chat.txt")));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(cp932::encode(u"A の発言：\r\nこんにちは\r\n"));
        log.close();
        const Result r = shell(QStringLiteral("cd \"$1\" && ") + script, {dir.path()});
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, out);
        QCOMPARE(QString::fromUtf8(r.err), err);
    }

    // Every line fits a terminal of 80 columns, a wide (East Asian) character taking two.
    // "-" keeps a copy of standard input in a folder of its own in TMPDIR: interrupted while
    // reading it, the run leaves nothing behind and ends by the signal.
    void interruptedStandardInputLeavesNothing_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl-C") << SIGINT;
        QTest::newRow("kill") << SIGTERM;
        QTest::newRow("terminal closed") << SIGHUP;
    }

    void interruptedStandardInputLeavesNothing()
    {
        QFETCH(int, signal);
        QTemporaryDir tmp;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp.path());
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(Program, {"--batch", "--text", "--settings", m_dir.filePath("none.ini"), "-"});
        QVERIFY(p.waitForStarted());
        p.write(QByteArray("A \x82\xcc\x94\xad\x8c\xbe :\r\n").repeated(1000)); // never closed
        // The copy is under way once the folder holds a file.
        const auto copying = [&tmp] {
            const QStringList folders
                = QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            return !folders.isEmpty()
                && !QDir(tmp.filePath(folders.first())).entryList(QDir::Files).isEmpty();
        };
        QTRY_VERIFY_WITH_TIMEOUT(copying(), 60000);
        QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit); // ended by the signal
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void helpInBothLanguages_data()
    {
        QTest::addColumn<QStringList>("locale");
        QTest::addColumn<QString>("start");
        QTest::newRow("English") << QStringList {"LC_ALL=C.UTF-8"} << "Usage:\n";
        QTest::newRow("Japanese") << QStringList {"LANG=ja_JP.UTF-8"} << "使い方:\n";
    }

    void helpInBothLanguages()
    {
        QFETCH(QStringList, locale);
        QFETCH(QString, start);
        const Result r = pelorin({"--help"}, locale);
        QCOMPARE(r.status, 0);
        const QString help = QString::fromUtf8(r.out);
        QVERIFY(help.startsWith(start));
        for (const QString &line : help.split(u'\n')) {
            int columns = 0;
            for (const QChar c : line)
                columns = c == u'\t' ? (columns / 8 + 1) * 8
                                     : columns + (c.unicode() >= 0x1100 ? 2 : 1);
            QVERIFY2(columns <= 80, qPrintable(line));
        }
        // Only option names, placeholders and file names stay in Latin letters.
        if (locale.first().startsWith(u"LANG=ja"))
            QVERIFY(!help.contains(QRegularExpression(QStringLiteral("[a-z]{3,} [a-z]{3,}"))));
    }

    // Two runs that write index pages into one folder at once take turns: while one holds the
    // folder, the other waits, and the index ends up with the rows of both.
    void concurrentIndexRuns()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("shared")));
        QStringList first {"--batch",  "--html", "--index", "--settings",
                           "none.ini", "-o",     "shared"};
        QStringList second = first;
        for (int n = 0; n < 20; ++n) {
            for (const char *run : {"a", "b"}) {
                const QString name = QStringLiteral("%1%2.txt").arg(QLatin1String(run)).arg(n);
                write(name, cp932::encode(u"A の発言：\r\nx\r\n"));
                (*run == 'a' ? first : second).append(name);
            }
        }
        // The test holds the folder as a run would; both runs must wait for it.
        const QByteArray shared = QFile::encodeName(m_dir.filePath(QStringLiteral("shared")));
        const int fd = ::open(shared.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        struct stat st;
        QVERIFY(::fstat(fd, &st) == 0 && ::flock(fd, LOCK_EX) == 0);
        QProcess a, b;
        for (QProcess *p : {&a, &b}) {
            p->setWorkingDirectory(m_dir.path());
            p->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        }
        a.start(Program, first);
        b.start(Program, second);
        const bool bothWait = QTest::qWaitFor(
            [&] {
                return lockWaiters(st.st_ino) == 2 || a.state() == QProcess::NotRunning
                    || b.state() == QProcess::NotRunning;
            },
            120000);
        const bool finishedWhileHeld
            = a.state() == QProcess::NotRunning || b.state() == QProcess::NotRunning;
        ::close(fd); // lets the runs go on
        const auto finish = [](QProcess &p) {
            return p.state() == QProcess::NotRunning || p.waitForFinished(60000);
        };
        QVERIFY(finish(a) && finish(b));
        QVERIFY2(bothWait && !finishedWhileHeld, "a run wrote the index while the folder was held");
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        QFile index(m_dir.filePath(QStringLiteral("shared/_index.htm")));
        QVERIFY(index.open(QIODevice::ReadOnly));
        QCOMPARE(index.readAll().count("<tr data-page="), 40);
    }
};

QTEST_GUILESS_MAIN(TestBatchEndToEnd)
#include "tst_batch_e2e.moc"

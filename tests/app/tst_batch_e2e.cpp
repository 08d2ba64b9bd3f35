#include "codec/cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

    Result pelorin(const QStringList &args) { return run(Program, args); }
    // The program started by `script` in a shell, where "$0" is the program.
    Result shell(const QString &script, const QStringList &args = {})
    {
        return run(QStringLiteral("/bin/sh"), QStringList {"-c", script, Program} + args);
    }

    Result run(const QString &program, const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
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
        QVERIFY2(QString::fromUtf8(r.err).contains(
                     QStringLiteral("empty.txt: 発言者が一人も見つかりませんでした。")),
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
                     QStringLiteral("big.txt: ファイルを保存できませんでした。 _big.txt (")
                     + QString::fromLocal8Bit(std::strerror(EFBIG)) + u')'),
                 r.err.constData());
    }

    void usageAndVersion()
    {
        QCOMPARE(pelorin({"--version"}).out, QByteArray("Pelorin 2.00\n"));
        const Result r = pelorin({"--batch"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("--batch"));
        QCOMPARE(pelorin({"--help"}).status, 0);
    }
};

QTEST_GUILESS_MAIN(TestBatchEndToEnd)
#include "tst_batch_e2e.moc"

// Outputs on FAT and exFAT, as on USB sticks and SD cards: no extended attributes, and through
// FUSE no chmod. The images are mounted by the kernel or, where it lacks the file system,
// through FUSE; both need root, and the test is skipped where neither can mount them.
#include "fileio/atomicfile.h"
#include "support/files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool run(const QStringList &command, QString *output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(command.first(), command.mid(1));
    const bool ok
        = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output += command.join(u' ') + u": " + QString::fromLocal8Bit(p.readAll()).trimmed()
            + (p.error() == QProcess::FailedToStart ? u"not installed"_qs : QString()) + u'\n';
    return ok;
}

// Unmounts when it goes, however the test ended.
struct Mount
{
    QString dir;
    ~Mount()
    {
        if (!dir.isEmpty() && !run({u"umount"_qs, dir}))
            run({u"umount"_qs, u"-l"_qs, dir});
    }
};

// Forks a writer that opens `path`, writes a few MB and waits to be killed, and kills it with
// SIGKILL once it says it has written. What it said: "written", or why it could not.
QString killWriterMidWrite(const QString &path)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return u"no pipe"_qs;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        fileio::AtomicFile file(path);
        const QByteArray said = file.open() && file.write(QByteArray(3 << 20, 'x'))
            ? QByteArray("written")
            : file.errorString().toUtf8();
        if (::write(pipeFds[1], said.constData(), size_t(said.size())) < 0)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(pipeFds[1]);
    char said[200];
    const ssize_t n = pid > 0 ? ::read(pipeFds[0], said, sizeof said) : -1;
    ::close(pipeFds[0]);
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return n > 0 ? QString::fromUtf8(said, n) : u"the writer ended without a word"_qs;
}

} // namespace

class TestRemovableMedia : public QObject
{
    Q_OBJECT

private slots:
    void killedWritersOnRemovableMedia_data()
    {
        QTest::addColumn<QString>("mkfs");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("fuseMount"); // then the image and the folder
        QTest::newRow("FAT") << "mkfs.vfat"
                             << "vfat" << QStringList {"fusefat", "-o", "rw+"};
        QTest::newRow("exFAT") << "mkfs.exfat"
                               << "exfat"
                               << QStringList {"mount", "-o", "loop", "-t", "exfat-fuse"};
    }

    // A replaced output gets what the file system gives for its mode; killed writers leave at
    // most one temporary, which the next write removes: in the end only the output is left.
    void killedWritersOnRemovableMedia()
    {
        QFETCH(QString, mkfs);
        QFETCH(QString, type);
        QFETCH(QStringList, fuseMount);
        if (::geteuid() != 0)
            QSKIP("mounting the FAT and exFAT images needs root");
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString image = tmp.filePath(u"image"_qs);
        const QString dir = tmp.filePath(u"mounted"_qs);
        QVERIFY(QDir().mkdir(dir));
        QFile img(image);
        QVERIFY(img.open(QIODevice::WriteOnly) && img.resize(64 << 20));
        img.close();
        QString tried;
        if (!run({mkfs, image}, &tried))
            QSKIP(qPrintable(u"cannot make the image (scripts/deps.sh installs the tools)\n"_qs
                             + tried));
        Mount mount;
        if (run({u"mount"_qs, u"-o"_qs, u"loop"_qs, u"-t"_qs, type, image, dir}, &tried)
            || run(fuseMount + QStringList {image, dir}, &tried))
            mount.dir = dir;
        else
            QSKIP(qPrintable(u"cannot mount the image (no loop device or FUSE?)\n"_qs + tried));

        // Shorter than a cluster, and than the temporary's mark.
        const QString out = dir + u"/_chat.htm";
        const QByteArray page = QByteArray("<p>second</p>\n").repeated(100);
        QString error;
        for (const QByteArray &bytes : {QByteArray("first"), page}) {
            QVERIFY2(fileio::writeFileAtomically(out, bytes, &error), qPrintable(error));
            QCOMPARE(readFile(out), bytes);
        }
        for (int killed = 1; killed <= 3; ++killed) {
            QCOMPARE(killWriterMidWrite(out), u"written"_qs);
            QCOMPARE(readFile(out), page);
            QCOMPARE(entries(dir).size(), 2);
        }
        QVERIFY2(fileio::writeFileAtomically(out, "last", &error), qPrintable(error));
        QCOMPARE(readFile(out), QByteArray("last"));
        QCOMPARE(entries(dir), QStringList {u"_chat.htm"_qs});
    }

private:
    static QStringList entries(const QString &dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                   | QDir::NoDotAndDotDot);
    }
};

QTEST_GUILESS_MAIN(TestRemovableMedia)
#include "tst_removablemedia.moc"

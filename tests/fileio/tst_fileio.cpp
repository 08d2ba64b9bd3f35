#include "fileio/atomicfile.h"
#include "fileio/filename.h"
#include "support/files.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

class TestFileIo : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString path(const QString &name) const { return m_tmp->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_tmp->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        QFile f(path("file"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("earlier") == 7);
    }

    void namesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("utf-8") << QByteArray("チャット.txt") << u"チャット.txt"_qs;
        QTest::newRow("shift-jis")
            << QByteArray("\x83\x8d\x83O.txt") << u"\xDC83\xDC8D\xDC83O.txt"_qs;
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << u"\xDCC0\xDCAF"_qs;
        QTest::newRow("utf-8 surrogate") << QByteArray("\xED\xB2\x83") << u"\xDCED\xDCB2\xDC83"_qs;
        QTest::newRow("cut at the end") << QByteArray("a\xE3\x81") << u"a\xDCE3\xDC81"_qs;
        QTest::newRow("astral") << QByteArray("\xF0\x9F\x98\x80") << u"\U0001F600"_qs;
    }

    void namesKeepTheirBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QCOMPARE(fileio::decodeName(bytes), name);
        QCOMPARE(fileio::encodeName(name), bytes);
    }

    void printableNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("terminal escape") << u"\x1b]0;x\x07.txt"_qs << u"\\x1B]0;x\\x07.txt"_qs;
        QTest::newRow("undecodable") << u"\xDC83\xDC8D.txt"_qs << u"\\x83\\x8D.txt"_qs;
        QTest::newRow("line break, bidi") << u"a\nb\u202Ec"_qs << u"a\\x0Ab\\u202Ec"_qs;
        QTest::newRow("japanese") << u"ログ.txt"_qs << u"ログ.txt"_qs;
    }

    void printableNames()
    {
        QFETCH(QString, name);
        QTEST(fileio::printable(name), "shown");
    }

    // Any failed write, the first or one after many, leaves the earlier file as it was.
    void failedWritesChangeNothing_data()
    {
        QTest::addColumn<fileio::AtomicFile::Temporary>("temporary");
        QTest::addColumn<int>("limit");
        using T = fileio::AtomicFile::Temporary;
        QTest::newRow("unnamed, last write") << T::UnnamedIfPossible << 3 * 4096 - 1;
        QTest::newRow("unnamed, first write") << T::UnnamedIfPossible << 100;
        QTest::newRow("named, last write") << T::Named << 3 * 4096 - 1;
    }

    void failedWritesChangeNothing()
    {
        QFETCH(fileio::AtomicFile::Temporary, temporary);
        QFETCH(int, limit);
        const QStringList before = entries();
        fileio::AtomicFile file(path("file"), temporary);
        bool committed = true;
        {
            FileSizeLimit full(limit);
            QVERIFY(file.open());
            for (int i = 0; i < 3; ++i)
                file.write(QByteArray(4096, 'x'));
            committed = file.commit();
        }
        QVERIFY(!committed);
        QCOMPARE(file.errorString(), QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(readFile(path("file")), QByteArray("earlier"));
        QCOMPARE(entries(), before);
    }

    // The named temporary is hidden next to the file. What already has its name is removed only
    // when it is a temporary a writer that is gone left behind; anything else (the user's own
    // file, a folder, a living writer's temporary) stays, and the temporary takes another name.
    void temporaryNameTaken_data()
    {
        QTest::addColumn<int>("what");
        QTest::addColumn<QString>("used");
        QTest::newRow("a stale temporary") << 0 << ".file.pelorin-tmp";
        QTest::newRow("the user's file") << 1 << ".file.pelorin-tmp-2";
        QTest::newRow("a folder") << 2 << ".file.pelorin-tmp-2";
        QTest::newRow("a living writer's temporary") << 3 << ".file.pelorin-tmp-2";
    }

    void temporaryNameTaken()
    {
        QFETCH(int, what);
        QFETCH(QString, used);
        const QString taken = path(".file.pelorin-tmp");
        if (what == 2) {
            QVERIFY(QDir().mkdir(taken));
        } else {
            writeFile(taken, "mine");
            // The mark a temporary carries: the id of the process writing it.
            pid_t pid = ::getpid();
            if (what == 0) { // a process that is gone
                pid = ::fork();
                if (pid == 0)
                    ::_exit(0);
                ::waitpid(pid, nullptr, 0);
            }
            const QByteArray value = QByteArray::number(qint64(pid));
            if (what != 1)
                QCOMPARE(::setxattr(QFile::encodeName(taken).constData(), "user.pelorin.temporary",
                                    value.constData(), size_t(value.size()), 0),
                         0);
        }
        fileio::AtomicFile file(path("file"), fileio::AtomicFile::Temporary::Named);
        QVERIFY(file.open() && file.write("new"));
        QCOMPARE(readFile(path(used)), QByteArray("new"));
        QVERIFY(file.commit());
        QCOMPARE(readFile(path("file")), QByteArray("new"));
        QCOMPARE(QFileInfo::exists(taken), what != 0);
        QVERIFY(!QFile::exists(path(".file.pelorin-tmp-2")));
    }

    // The new file keeps the permission bits of the old (a read-only file only the superuser
    // may replace).
    void namedTemporaryAndPermissions()
    {
        QCOMPARE(::chmod(QFile::encodeName(path("file")).constData(), 0444), 0);
        fileio::AtomicFile file(path("file"), fileio::AtomicFile::Temporary::Named);
        if (::geteuid() != 0) {
            QVERIFY(!file.open());
            QCOMPARE(readFile(path("file")), QByteArray("earlier"));
            return;
        }
        QVERIFY(file.open() && file.write("new"));
        QVERIFY(file.commit());
        QCOMPARE(readFile(path("file")), QByteArray("new"));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(path("file")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0444u);
    }
};

QTEST_GUILESS_MAIN(TestFileIo)
#include "tst_fileio.moc"

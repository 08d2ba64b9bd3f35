#include "fileio/atomicfile.h"
#include "fileio/filename.h"
#include "fileio/temporarymark.h"
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

    // The named temporary is hidden next to the file. Opening removes every temporary of the
    // file that a writer that is gone left behind, under any of its names, marked by the
    // attribute or (on FAT, which keeps no attributes) in its first bytes; anything else stays.
    // `taken` and `left`: what stands under each name before and after, a letter a name: a, A
    // the attribute of a writer that is gone or living; m, M the mark of one; o another user's
    // file with a gone writer's mark; u the user's own file; d a folder; "." nothing.
    // `used`: the name the new temporary takes.
    void temporaryNameTaken_data()
    {
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("used");
        QTest::newRow("stale, by the attribute") << u"a"_qs << u"."_qs << 0;
        QTest::newRow("stale, by the mark") << u"m"_qs << u"."_qs << 0;
        QTest::newRow("the user's file, a folder") << u"ud"_qs << u"ud"_qs << 2;
        QTest::newRow("living writers among stale ones") << u"mAmM"_qs << u".A.M"_qs << 0;
        QTest::newRow("the user's and another user's among stale ones")
            << u"umom"_qs << u"u.o."_qs << 1;
        QTest::newRow("sixteen killed runs") << u"m"_qs.repeated(16) << u"."_qs.repeated(16) << 0;
    }

    void temporaryNameTaken()
    {
        QFETCH(QString, taken);
        QFETCH(QString, left);
        QFETCH(int, used);
        const auto nameAt = [](int i) {
            return QString::fromUtf8(fileio::AtomicFile::temporaryName("file", i));
        };
        pid_t gone = ::fork(); // a process id that no process has any more
        if (gone == 0)
            ::_exit(0);
        ::waitpid(gone, nullptr, 0);
        for (int i = 0; i < taken.size(); ++i) {
            const char what = taken[i].toLatin1();
            const QString name = path(nameAt(i));
            if (what == 'd') {
                QVERIFY(QDir().mkdir(name));
                continue;
            }
            const pid_t writer = (what == 'A' || what == 'M') ? ::getpid() : gone;
            const QByteArray mark = QStringLiteral("mMo").contains(what)
                ? fileio::temporaryMark(writer)
                : QByteArray();
            writeFile(name, mark + "partial");
            const QByteArray value = QByteArray::number(qint64(writer));
            if (what == 'a' || what == 'A')
                QCOMPARE(::setxattr(QFile::encodeName(name).constData(), "user.pelorin.temporary",
                                    value.constData(), size_t(value.size()), 0),
                         0);
            if (what == 'o' && ::chown(QFile::encodeName(name).constData(), 1, 1) != 0)
                QSKIP("another user's file needs root");
        }
        QStringList leftNames {u"file"_qs};
        for (int i = 0; i < left.size(); ++i)
            if (left[i] != u'.')
                leftNames << nameAt(i);
        leftNames.sort();

        fileio::AtomicFile file(path("file"), fileio::AtomicFile::Temporary::Named);
        QVERIFY(file.open() && file.write("new"));
        // Uncommitted, it carries the mark in its first bytes.
        QVERIFY(readFile(path(nameAt(used))).startsWith(fileio::temporaryMark(::getpid())));
        QStringList open = leftNames + QStringList {nameAt(used)};
        open.sort();
        QCOMPARE(entries(), open);
        QVERIFY(file.commit());
        QCOMPARE(readFile(path("file")), QByteArray("new"));
        QCOMPARE(entries(), leftNames);
    }

    // While uncommitted, the mark holds the place of the data's first bytes; the committed file
    // is the data alone, whether shorter than the mark or written across it in pieces.
    void namedTemporaryKeepsTheData_data()
    {
        QTest::addColumn<QByteArrayList>("pieces");
        const QByteArray mark(fileio::TemporaryMarkSize, 'm');
        QTest::newRow("nothing") << QByteArrayList {};
        QTest::newRow("shorter than the mark") << QByteArrayList {"new"};
        QTest::newRow("as long as the mark") << QByteArrayList {mark};
        QTest::newRow("across it in pieces")
            << QByteArrayList {"", mark.left(20), mark.left(20), "", QByteArray(5000, 'z')};
    }

    void namedTemporaryKeepsTheData()
    {
        QFETCH(QByteArrayList, pieces);
        fileio::AtomicFile file(path("file"), fileio::AtomicFile::Temporary::Named);
        QVERIFY(file.open());
        for (const QByteArray &piece : pieces)
            QVERIFY(file.write(piece));
        QVERIFY(file.commit());
        QCOMPARE(readFile(path("file")), pieces.join());
        QCOMPARE(entries(), QStringList {u"file"_qs});
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

#include "app/batchrun.h"
#include "app/commandline.h"
#include "codec/cp932.h"
#include "settings/inifile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <memory>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QString NoSpeakers = QStringLiteral("発言者が一人も見つかりませんでした。 "
                                          "発言のヘッダを調整してみて下さい。");

} // namespace

class TestBatchRun : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QDir m_dir;
    QString m_ini;
    QString m_err;

    QString log(const QString &name, const QString &text)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        const QByteArray bytes = cp932::encode(text);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    int run(const QStringList &args, bool terminal = false)
    {
        m_err.clear();
        QTextStream err(&m_err);
        const CommandLine cl = parseCommandLine(args);
        if (!cl.error.isEmpty())
            return ExitUsage;
        // The program's folder holds no settings file: only --settings counts.
        const int status = runBatch(cl, m_dir.filePath(QStringLiteral("prog")), err, terminal);
        err.flush();
        return status;
    }

private slots:
    void init()
    {
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

    void convertsEveryLogAndReportsTheRest()
    {
        const QString a = log(QStringLiteral("a.txt"), QStringLiteral("A の発言 :\r\nhi\r\n"));
        const QString b = log(QStringLiteral("B.TXT"), QStringLiteral("B の発言 :\r\nyo"));
        const QString none = log(QStringLiteral("none.txt"), QStringLiteral("no header\r\n"));
        const QString pic = m_dir.filePath(QStringLiteral("pic.png"));
        const QString gone = m_dir.filePath(QStringLiteral("gone.txt"));
        const QByteArray iniBefore = readFile(m_ini);

        QCOMPARE(run({"--batch", "--text", "--settings", m_ini, b, pic, a, gone, none}),
                 ExitSomeNotWritten);

        QCOMPARE(readFile(m_dir.filePath(QStringLiteral("out-a.txt"))),
                 cp932::encode(u"A の発言 :\r\n\thi\r\n"));
        QCOMPARE(readFile(m_dir.filePath(QStringLiteral("out-B.txt"))),
                 cp932::encode(u"B の発言 :\r\n\tyo\r\n"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("out-none.txt"))));
        QCOMPARE(readFile(m_ini), iniBefore); // read, never written
        const QStringList lines = m_err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(
            lines,
            (QStringList {
                pic + QStringLiteral(": ログの拡張子は TXT, txt, XML, xml のどれかにして下さい。"),
                gone + QStringLiteral(": 読み込めませんでした (no such file)"),
                gone + u": " + NoSpeakers, none + u": " + NoSpeakers}));
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

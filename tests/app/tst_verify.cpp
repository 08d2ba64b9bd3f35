#include "app/batchrun.h"
#include "app/commandline.h"
#include "app/language.h"
#include "app/verifyrun.h"
#include "codec/cp932.h"
#include "settings/inifile.h"
#include "settings/settingslocation.h"
#include "support/files.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

// `pelorin --verify PAGE [SOURCE…]` after a batch run: whether the log a page was made of is
// still the same file.
class TestVerify : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_translations.emplace(*QCoreApplication::instance(), Language::Japanese,
                               dataDirFor(QStringLiteral(PELORIN_BINARY_DIR "/bin")));
    }
    void saysWhetherTheSourceIsTheSame_data();
    void saysWhetherTheSourceIsTheSame();

private:
    std::optional<Translations> m_translations;
};

void TestVerify::saysWhetherTheSourceIsTheSame_data()
{
    QTest::addColumn<QString>("page"); // "classic": a page without its provenance
    QTest::addColumn<QByteArray>("change"); // "" same, "edit", "grow", "remove", "move"
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");

    QTest::newRow("same") << "modern" << QByteArray() << int(ExitAllWritten)
                          << "logs/chat.txt: 同じです\n";
    QTest::newRow("a byte changed") << "modern" << QByteArray("edit") << int(ExitSomeNotWritten)
                                    << "logs/chat.txt: 変わっています\n";
    QTest::newRow("a line added") << "modern" << QByteArray("grow") << int(ExitSomeNotWritten)
                                  << "logs/chat.txt: 変わっています\n";
    QTest::newRow("gone") << "modern" << QByteArray("remove") << int(ExitSomeNotWritten)
                          << "logs/chat.txt: 見つかりません\n";
    QTest::newRow("moved, and named after the page")
        << "modern" << QByteArray("move") << int(ExitAllWritten) << "moved.txt: 同じです\n";
    QTest::newRow("asked for on a classic page")
        << "provenance" << QByteArray() << int(ExitAllWritten) << "logs/chat.txt: 同じです\n";
    QTest::newRow("a classic page says nothing of its source")
        << "classic" << QByteArray() << int(ExitNotVerifiable)
        << "_chat.htm: このページには、どのファイルから作ったかが書かれていません。\n";
    QTest::newRow("no page") << "modern" << QByteArray("nopage") << int(ExitNotVerifiable)
                             << "_chat.htm: ページを読めませんでした（";
}

void TestVerify::saysWhetherTheSourceIsTheSame()
{
    QFETCH(QString, page);
    QFETCH(QByteArray, change);
    QFETCH(int, status);
    QFETCH(QString, says);
    QTemporaryDir tmp;
    QDir::setCurrent(tmp.path());
    const QString ini = tmp.filePath(QStringLiteral("s.ini"));
    QVERIFY(writeIniValue(ini, QStringLiteral("Hatsugen"), QStringLiteral("Type"),
                          QStringLiteral("0")));
    const QString log = writeFile(tmp.filePath(QStringLiteral("logs/chat.txt")),
                                  cp932::encode(QStringLiteral("A の発言 :\r\nhi\r\n")));
    QStringList args = {QStringLiteral("--batch"),
                        QStringLiteral("--html"),
                        QStringLiteral("--settings"),
                        ini,
                        QStringLiteral("-o"),
                        tmp.path(),
                        QStringLiteral("--page"),
                        page == u"modern" ? QStringLiteral("modern") : QStringLiteral("classic")};
    if (page == u"provenance")
        args << QStringLiteral("--provenance");
    QString err;
    QTextStream errStream(&err);
    QCOMPARE(runBatch(parseCommandLine(args << log), tmp.path(), errStream, false), ExitAllWritten);

    QStringList verify = {QStringLiteral("--verify"), QStringLiteral("_chat.htm")};
    if (change == "edit")
        writeFile(log, cp932::encode(QStringLiteral("B の発言 :\r\nhi\r\n")));
    else if (change == "grow")
        writeFile(log, cp932::encode(QStringLiteral("A の発言 :\r\nhi\r\nhi\r\n")));
    else if (change == "remove")
        QFile::remove(log);
    else if (change == "nopage")
        QFile::remove(QStringLiteral("_chat.htm"));
    else if (change == "move" && QFile::rename(log, QStringLiteral("moved.txt")))
        verify << QStringLiteral("moved.txt");
    QString out;
    QTextStream outStream(&out);
    QCOMPARE(runVerify(parseCommandLine(verify), outStream), status);
    outStream.flush();
    QVERIFY2(out.startsWith(says), qPrintable(out));
}

QTEST_GUILESS_MAIN(TestVerify)
#include "tst_verify.moc"

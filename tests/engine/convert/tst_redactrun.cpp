#include "app/batchrun.h"
#include "app/commandline.h"
#include "codec/cp932.h"
#include "support/files.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QUrl>

// `pelorin --batch --redact` over the twins of every export format and a text log full of
// personal details: nothing of who the people are, or how to reach them, is left in any output.
class TestRedactRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void nothingOriginalSurvives_data();
    void nothingOriginalSurvives();
};

namespace {

const QString Notice = QStringLiteral("この記録は伏せ字にしてあります（人名・電話番号・住所など）");

// What the invented text log says, each a detail that must not survive.
const QStringList LogDetails = {
    QStringLiteral("たろう"),
    QStringLiteral("はなこ"),
    QStringLiteral("090-1234-5678"),
    QStringLiteral("03-1234-5678"),
    QStringLiteral("0120-123-456"),
    QStringLiteral("8765 4321"),
    QStringLiteral("1234-5678"),
    QStringLiteral("09087654321"),
    QStringLiteral("hanako.s@example.jp"),
    QStringLiteral("150-0041"),
    QStringLiteral("神南1丁目"),
    QStringLiteral("西新宿2-8-1"),
    QStringLiteral("渋谷区"),
    QStringLiteral("user=hanako"),
};

QString textLog()
{
    return QStringLiteral("たろう の発言：\r\n"
                          "はなこ、電話は 090-1234-5678 か 03-1234-5678、会社は 0120-123-456\r\n"
                          "はなこ の発言：\r\n"
                          "hanako.s@example.jp に送って。〒150-0041 東京都渋谷区神南1丁目2番3号\r\n"
                          "(03) 1234-5678 と +81 90 8765 4321 と 09087654321 もどうぞ、たろう\r\n"
                          "たろう の発言：\r\n"
                          "https://example.com/map?user=hanako&z=3 の新宿区西新宿2-8-1 ね\r\n");
}

// The twins of real exports the run reads, one a name (outputs of the same name would meet in
// the output folder), and the names of everyone who speaks in them.
QStringList exportTwins(QStringList &speakers)
{
    QStringList twins, seen;
    QDirIterator it(QStringLiteral(PELORIN_SOURCE_DIR "/tests/data/exports"),
                    {QStringLiteral("*.records")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString records = it.next();
        const QString stem = records.chopped(int(qstrlen("records")));
        for (const char *ext : {"txt", "json", "zip", "tar", "xml", "js"}) {
            const QString twin = stem + QLatin1String(ext);
            const QString name = QFileInfo(twin).completeBaseName();
            if (!QFileInfo::exists(twin) || seen.contains(name))
                continue;
            seen.append(name);
            twins.append(twin);
            for (const QString &line : QString::fromUtf8(readFile(records)).split(u'\n')) {
                const QStringList fields = line.split(u'\t');
                if (fields.size() > 3 && fields[0] == u"msg" && !speakers.contains(fields[3]))
                    speakers.append(fields[3]);
            }
        }
    }
    return twins;
}

// The text of an output: UTF-8 where it is valid UTF-8, else Shift-JIS; links decoded, and
// without the stand-ins, whose letters are no one's name ("人物J" is not "J").
QString outputText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = cp932::decode(bytes);
    text += u'\n' + QUrl::fromPercentEncoding(text.toUtf8());
    return text.remove(QRegularExpression(QStringLiteral("人物[A-Z]+")));
}

// Whether `text` occurs; a name of Latin letters only where no other letter touches it.
bool holds(const QString &output, const QString &text)
{
    const bool latin = text.front().isLetter() && text.front().script() == QChar::Script_Latin;
    return output.contains(
        QRegularExpression(latin ? QStringLiteral("(?<![\\p{Latin}\\p{N}])%1(?![\\p{Latin}\\p{N}])")
                                       .arg(QRegularExpression::escape(text))
                                 : QRegularExpression::escape(text),
                           QRegularExpression::UseUnicodePropertiesOption));
}

} // namespace

void TestRedactRun::nothingOriginalSurvives_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("text") << QStringList {QStringLiteral("--text")};
    QTest::newRow("classic pages and index")
        << QStringList {QStringLiteral("--html"), QStringLiteral("--page"),
                        QStringLiteral("classic"), QStringLiteral("--index")};
    QTest::newRow("modern pages and index")
        << QStringList {QStringLiteral("--html"), QStringLiteral("--page"),
                        QStringLiteral("modern"), QStringLiteral("--index")};
}

void TestRedactRun::nothingOriginalSurvives()
{
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    QStringList forbidden = LogDetails;
    QStringList logs = exportTwins(forbidden);
    // A LINE export is named after the partner; the text log after its two speakers and a number.
    const QString line = dir.filePath(QStringLiteral("[LINE] みおとのトーク.txt"));
    QVERIFY(QFile::copy(
        QStringLiteral(PELORIN_SOURCE_DIR "/tests/data/exports/line/mobile-ja-2021.txt"), line));
    logs << line
         << writeFile(dir.filePath(QStringLiteral("たろうとはなこ 090-1234-5678.txt")),
                      cp932::encode(textLog()));
    const QString out = dir.filePath(QStringLiteral("out"));
    const CommandLine cl = parseCommandLine(
        QStringList {QStringLiteral("--batch"), QStringLiteral("--redact"), QStringLiteral("-q"),
                     QStringLiteral("--settings"), dir.filePath(QStringLiteral("settings.ini")),
                     QStringLiteral("-o"), out}
        + options + logs);
    QVERIFY2(cl.error.isEmpty(), qPrintable(cl.error));
    QString err;
    QTextStream errStream(&err);
    runBatch(cl, dir.path(), errStream, false);

    const bool pages = options.contains(QStringLiteral("--html"));
    int written = 0;
    QStringList names;
    QDirIterator it(out, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = path.sliced(out.size() + 1);
        names.append(name);
        const QString output = outputText(readFile(path));
        for (const QString &text : std::as_const(forbidden)) {
            QVERIFY2(!holds(name, text), qPrintable(name + u" is named with " + text));
            QVERIFY2(!holds(output, text), qPrintable(name + u" holds " + text));
        }
        if (pages && name.endsWith(QStringLiteral(".htm")) && !name.endsWith(u"index.htm")) {
            QVERIFY2(output.contains(Notice), qPrintable(name));
            ++written;
        }
    }
    // The renamed logs' outputs are there, named by stand-ins and marks.
    const QString ext = pages ? QStringLiteral("htm") : QStringLiteral("txt");
    for (const QString &pattern : {QStringLiteral("_\\[LINE\\] 人物[A-Z]+とのトーク\\.%1"),
                                   QStringLiteral("_人物[A-Z]+と人物[A-Z]+ \\[電話番号\\]\\.%1")})
        QVERIFY2(names.indexOf(QRegularExpression(u'^' + pattern.arg(ext) + u'$')) >= 0,
                 qPrintable(names.join(u' ')));
    QVERIFY(!pages || written >= logs.size());
}

QTEST_GUILESS_MAIN(TestRedactRun)
#include "tst_redactrun.moc"

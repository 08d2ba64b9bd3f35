#include "engine/convert/runsteps.h"
#include "engine/read/logreader.h"
#include "engine/text/linetests.h"
#include "settings/settings.h"

#include <QTemporaryDir>
#include <QTest>

// Several exports of one chat read as one: time order, what two of them hold once, a notice
// where none covers some days, and text logs that tell no times.
namespace {

// A LINE export saved on `saved`, the day its first message was said unless told.
QString lineExport(const QString &body, const QString &saved = QStringLiteral("2024/03/18 23:00"))
{
    return QStringLiteral("[LINE] 山田とのトーク履歴\n保存日時：") + saved + QStringLiteral("\n\n")
        + body;
}

} // namespace

class TestMergedLog : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void merge_data()
    {
        QTest::addColumn<QStringList>("logs");
        QTest::addColumn<QString>("read");
        const QString day18 = QStringLiteral("\n2024/03/18(月)\n");
        QTest::newRow("overlapping exports")
            << QStringList {lineExport(day18 + "10:00\t山田\tおはよう\n10:01\t佐藤\tはい\n"),
                            lineExport(day18 + "10:01\t佐藤\tはい\n10:02\t佐藤\tまたね\n")}
            << "―――――|2024/03/18(月)|―――――|山田  の発言 :|10:00 おはよう|佐藤  の発言 :"
               "|10:01 はい|佐藤  の発言 :|10:02 またね";
        QTest::newRow("said twice in a minute, held once by the other")
            << QStringList {lineExport(day18 + "10:00\t山田\t了解\n10:00\t山田\t了解\n"),
                            lineExport(day18 + "10:00\t山田\t了解\n")}
            << "―――――|2024/03/18(月)|―――――|山田  の発言 :|10:00 了解|山田  の発言 :"
               "|10:00 了解";
        QTest::newRow("days no export covers")
            << QStringList {lineExport(day18 + "10:00\t山田\tおはよう\n"),
                            lineExport("\n2024/03/25(月)\n09:00\t佐藤\t久しぶり\n")}
            << "―――――|2024/03/18(月)|―――――|山田  の発言 :|10:00 おはよう|―――――"
               "|2024/03/19 〜 2024/03/24 の記録はありません|―――――|―――――|2024/03/25(月)"
               "|―――――|佐藤  の発言 :|09:00 久しぶり";
        QTest::newRow("an export covers the days up to its saving")
            << QStringList {lineExport(day18 + "10:00\t山田\tおはよう\n", "2024/03/31 22:00"),
                            lineExport("\n2024/04/03(水)\n09:00\t佐藤\t久しぶり\n")}
            << "―――――|2024/03/18(月)|―――――|山田  の発言 :|10:00 おはよう|―――――"
               "|2024/04/01 〜 2024/04/02 の記録はありません|―――――|―――――|2024/04/03(水)"
               "|―――――|佐藤  の発言 :|09:00 久しぶり";
        QTest::newRow("a silence within one export is no gap")
            << QStringList {lineExport(day18
                                       + "10:00\t山田\tおはよう\n\n2024/03/30(土)\n"
                                         "10:00\t山田\tまた\n"),
                            lineExport("\n2024/03/25(月)\n09:00\t佐藤\t久しぶり\n")}
            << "―――――|2024/03/18(月)|―――――|山田  の発言 :|10:00 おはよう|―――――"
               "|2024/03/25(月)|―――――|佐藤  の発言 :|09:00 久しぶり|―――――|2024/03/30(土)"
               "|―――――|山田  の発言 :|10:00 また";
        QTest::newRow("text logs without times: the later one adds what it has more")
            << QStringList {QStringLiteral("山田 の発言 :\nこんにちは\n佐藤 の発言 :\nどうも\n"),
                            QStringLiteral("山田 の発言 :\nこんにちは\n佐藤 の発言 :\nどうも\n"
                                           "―――――\n山田さんが退室しました\n―――――\n"
                                           "佐藤 の発言 :\nまた明日\n")}
            << "山田  の発言 :|こんにちは|佐藤  の発言 :|どうも|―――――|山田さんが退室しました"
               "|―――――|佐藤  の発言 :|また明日";
    }
    void merge()
    {
        QFETCH(QStringList, logs);
        QFETCH(QString, read);
        QStringList paths;
        for (qsizetype i = 0; i < logs.size(); ++i) {
            paths.append(m_dir.filePath(QStringLiteral("log%1.txt").arg(i)));
            QFile file(paths.last());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(logs[i].toUtf8());
        }
        const LineTests tests(StandardHeaderText);
        LogReader reader;
        reader.setMergedWith(paths.mid(1), lineSorting(tests));
        QVERIFY(reader.open(paths.first(), StandardHeaderText));
        QVERIFY(reader.format().chatExport());
        // Both passes of a page give the same lines.
        for (int pass = 0; pass < 2; ++pass) {
            QVERIFY(reader.rewind());
            QStringList lines;
            QString line;
            while (reader.readLine(line))
                lines.append(line);
            QVERIFY2(!reader.failed(), qPrintable(reader.errorString()));
            QCOMPARE(lines.join(u'|'), read);
        }
    }

    void missingExport()
    {
        const QString present = m_dir.filePath(QStringLiteral("present.txt"));
        QFile file(present);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lineExport("\n2024/03/18(月)\n10:00\t山田\tおはよう\n").toUtf8());
        file.close();
        const QString missing = m_dir.filePath(QStringLiteral("missing.txt"));
        LogReader reader;
        reader.setMergedWith({missing}, {});
        QVERIFY(!reader.open(present, StandardHeaderText));
        QVERIFY2(reader.errorString().startsWith(missing), qPrintable(reader.errorString()));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestMergedLog)
#include "tst_mergedlog.moc"

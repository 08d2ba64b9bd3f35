// The folder's index page (engine/page/index/): the search data beside each page, the rows
// newest first, a page that would take the index's name, and a file of that name the program
// did not write.
#include "codec/cp932.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/intake.h"
#include "engine/page/index/searchdata.h"
#include "engine/page/index/termindex.h"
#include "support/files.h"
#include "support/recordinghost.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QByteArray sjisLog(const QString &text)
{
    return cp932::encode(text);
}

// Bytes this process has read through system calls so far.
qint64 bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("rchar: "))
            return line.mid(7).toLongLong();
    }
    return -1;
}

// Sets a file's time of last writing to 2001/02/03, at noon so that no zone moves its day.
void setWritten(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite)
            && file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(12, 0)),
                                QFileDevice::FileModificationTime));
}

} // namespace

// The folder's index: the search data of a page, the index's place among the pages, and a file
// of its name that is none of the program's.
class TestPageIndex : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void searchData_data();
    void searchData();
    void rowsNewestFirst_data();
    void rowsNewestFirst();
    void textLogDates_data();
    void textLogDates();
    void pageNeverTakesTheIndex_data();
    void pageNeverTakesTheIndex();
    void foreignIndexReadOnlyAtItsHead_data();
    void foreignIndexReadOnlyAtItsHead();
    void termFiles_data();
    void termFiles();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void run(const QStringList &names);
    QString pagesHolding(const QString &words) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    RecordingHost m_host;
};

void TestPageIndex::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_state = AppState();
    m_host = RecordingHost();
    Settings &s = m_state.settings;
    s.iniPath = path(QStringLiteral("settings.ini"));
    s.headerText = QStringLiteral(" の発言 :");
    s.changeType = 1;
    s.bodyColor = QStringLiteral("#000000");
    s.narColor = QStringLiteral("#0000FF");
    s.addStr = QStringLiteral("_");
    s.pageStyle = pageStyleWord(PageStyle::Modern);
    s.makeIndex = 1;
    m_state.palette = colorcode::defaultPalette();
    s.colorCount = 8;
}

void TestPageIndex::run(const QStringList &names)
{
    QList<Selection::Item> items;
    for (const QString &name : names)
        items.append({path(name), outputStem(path(name), m_state.settings.addStr)});
    m_state.selection.setItems(items);
    convertToHtml(m_state, m_host);
}

// Each utterance in the page's order (its anchor's number), its speaker and its plain text;
// every string a literal that is safe inside a page's script.
void TestPageIndex::searchData_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<QByteArray>("utterances");
    QTest::newRow("lines, notices, a text before any speaker")
        << "before\r\nAl の発言 :first\r\nmore\r\n―――――\r\nBo joined\r\n―――――\r\nstill Al\r\n"
           "Bo の発言 :\r\n"
        << QByteArray("0,\"first\\nmore\\nstill Al\",\n1,\"\",\n");
    QTest::newRow("markup, references, hearts")
        << "Al の発言 :\r\n<b>bold</b> &amp; &lt;b&gt; &#x263A; &nosuch; (L)\r\n"
        << QByteArray("0,\"bold & \\u003cb\\u003e \xE2\x98\xBA &nosuch; \xE2\x99\xA5\",\n");
    QTest::newRow("what could end a script or a string")
        << QStringLiteral("Al の発言 :\r\n</script><!-- \"q\" 'a' \\ \t\u2028\u2029\x01\r\n")
        << QByteArray("0,\"\\u003c/script\\u003e\\u003c!-- \\\"q\\\" 'a' \\\\ \\u0009\\u2028\\u2029"
                      "\\u0001\",\n");
}

void TestPageIndex::searchData()
{
    QFETCH(QString, log);
    QFETCH(QByteArray, utterances);
    writeFile(path(QStringLiteral("a.txt")), "\xEF\xBB\xBF" + log.toUtf8());
    run({QStringLiteral("a.txt")});
    const QByteArray data = readFile(path(QStringLiteral("_a.htm.js")));
    QVERIFY2(data.startsWith("/* Pelorin search data */\npelorinSearchData(1, \"_a.htm\", ["),
             data.constData());
    QCOMPARE(data.mid(data.indexOf("], [\n") + 5), utterances + "]);\n");
    // The page numbers the same utterances.
    const QByteArray page = readFile(path(QStringLiteral("_a.htm")));
    const qsizetype count = utterances.count(",\n");
    const auto anchor = [](qsizetype n) {
        return QByteArray("id=\"u" + QByteArray::number(n) + '"');
    };
    QVERIFY(page.contains(anchor(count)));
    QVERIFY(!page.contains(anchor(count + 1)));
}

// Dated logs newest first, by their last date; the chat's own name where the log tells it; the
// links between pages in a modern page, none in a classic one.
void TestPageIndex::rowsNewestFirst_data()
{
    QTest::addColumn<bool>("modern");
    QTest::newRow("modern pages") << true;
    QTest::newRow("classic pages") << false;
}

void TestPageIndex::rowsNewestFirst()
{
    QFETCH(bool, modern);
    m_state.settings.pageStyle
        = modern ? pageStyleWord(PageStyle::Modern) : pageStyleWord(PageStyle::Classic);
    for (const char *name : {"mobile-ja-2019.txt", "mobile-ja-2021.txt", "sample-en-ampm-2017.txt"})
        QVERIFY(QFile::copy(QStringLiteral(PELORIN_SOURCE_DIR "/tests/data/exports/line/")
                                + QLatin1String(name),
                            path(QLatin1String(name))));
    writeFile(path(QStringLiteral("undated.txt")), sjisLog(QStringLiteral("Al の発言 :\r\nx\r\n")));
    setWritten(path(QStringLiteral("undated.txt"))); // dated by its file, older than the rest
    run({QStringLiteral("mobile-ja-2019.txt"), QStringLiteral("undated.txt"),
         QStringLiteral("sample-en-ampm-2017.txt"), QStringLiteral("mobile-ja-2021.txt")});
    const QString index = QString::fromUtf8(readFile(path(QStringLiteral("_index.htm"))));
    QStringList order;
    for (qsizetype at = index.indexOf(u"<tr data-page=\""); at >= 0;
         at = index.indexOf(u"<tr data-page=\"", at + 1))
        order.append(index.mid(at + 15, index.indexOf(u'"', at + 15) - at - 15));
    QCOMPARE(order,
             QStringList({"_mobile-ja-2021.htm", "_mobile-ja-2019.htm", "_sample-en-ampm-2017.htm",
                          "_undated.htm"}));
    QVERIFY(index.contains(u">山本 翔</a><span class=\"log\">mobile-ja-2019.txt</span>"));
    QVERIFY(index.contains(u"<td class=\"date\">2019/02/01 ～ 2019/04/16</td>"));
    QCOMPARE(readFile(path(QStringLiteral("_undated.htm")))
                 .contains("<a href=\"_index.htm#older=_undated.htm\" rel=\"prev\">"),
             modern);
    QCOMPARE(index.contains(u"data-anchors=\"1\""), modern);

    // Each dated page's utterances per month, all of them counted, under either style; a
    // later run keeps them (and the months' first days) with the row it reads back.
    const auto rowOf = [](const QString &index, QStringView page) {
        const qsizetype at = index.indexOf(u"<tr data-page=\"" + page);
        return index.mid(at, index.indexOf(u'\n', at) - at);
    };
    const QString row = rowOf(index, u"_mobile-ja-2019.htm");
    const QString months = row.section(QStringLiteral("data-months=\""), 1).section(u'"', 0, 0);
    QVERIFY2(months.startsWith(u"2019/02 ") && months.count(u' ') == 3, qPrintable(row));
    qsizetype counted = 0;
    for (const QString &count : months.split(u' ').mid(1))
        counted += count.toLongLong();
    QCOMPARE(QString::number(counted),
             row.section(QStringLiteral("data-utterances=\""), 1).section(u'"', 0, 0));
    QVERIFY(row.contains(u"<td class=\"trend\"><svg class=\"spark\""));
    // A modern page's rows tell each month's first day too, which the timeline links to.
    QCOMPARE(row.contains(u"\" data-days=\"1 "), modern);
    QVERIFY(!rowOf(index, u"_undated.htm").contains(u"<svg"));
    run({QStringLiteral("undated.txt")});
    QCOMPARE(rowOf(QString::fromUtf8(readFile(path(QStringLiteral("_index.htm")))),
                   u"_mobile-ja-2019.htm"),
             row);
}

// A text log tells no dates: the index takes the one in its name, else its file's, marked so
// (also in a row read back from the index by a later run).
void TestPageIndex::textLogDates_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("dates");
    const QString fileDate = QStringLiteral("2001/02/03 (ファイルの日時)");
    QTest::newRow("yyyy-mm-dd") << "2003-07-12.txt"
                                << "2003/07/12";
    QTest::newRow("yyyymmdd") << "chat20030712.txt"
                              << "2003/07/12";
    QTest::newRow("yyyy_mm_dd") << "chat_2003_07_12.txt"
                                << "2003/07/12";
    QTest::newRow("yyyy.mm.dd") << "chat.2003.07.12.txt"
                                << "2003/07/12";
    QTest::newRow("no such day") << "2003-13-12.txt" << fileDate;
    QTest::newRow("mixed separators") << "2003-07_12.txt" << fileDate;
    QTest::newRow("more digits") << "120030712.txt" << fileDate;
    QTest::newRow("no date") << "chat.txt" << fileDate;
}

void TestPageIndex::textLogDates()
{
    QFETCH(QString, name);
    QFETCH(QString, dates);
    writeFile(path(name), sjisLog(QStringLiteral("Al の発言 :\r\nx\r\n")));
    setWritten(path(name));
    run({name});
    writeFile(path(QStringLiteral("later.txt")), sjisLog(QStringLiteral("Bo の発言 :\r\ny\r\n")));
    run({QStringLiteral("later.txt")});
    const QString index = QString::fromUtf8(readFile(path(QStringLiteral("_index.htm"))));
    QVERIFY2(index.contains(u"<td class=\"date\">" + dates + u"</td>"), qPrintable(index));
}

// A log whose page would have the index's name: refused before anything is read or written,
// also when this run makes no index but an index is there.
void TestPageIndex::pageNeverTakesTheIndex_data()
{
    QTest::addColumn<bool>("makeIndex");
    QTest::addColumn<bool>("indexThere");
    QTest::newRow("making an index") << true << false;
    QTest::newRow("making an index over an earlier one") << true << true;
    QTest::newRow("an earlier index, no index this time") << false << true;
}

void TestPageIndex::pageNeverTakesTheIndex()
{
    QFETCH(bool, makeIndex);
    QFETCH(bool, indexThere);
    writeFile(path(QStringLiteral("a.txt")), sjisLog(QStringLiteral("Al の発言 :\r\nx\r\n")));
    writeFile(path(QStringLiteral("index.txt")), sjisLog(QStringLiteral("Bo の発言 :\r\ny\r\n")));
    if (indexThere)
        run({QStringLiteral("a.txt")});
    m_host = RecordingHost();
    m_state.settings.makeIndex = makeIndex ? 1 : 0;
    run({QStringLiteral("index.txt")});

    QCOMPARE(m_host.speakerDialogs.size(), 0); // refused before its colours were asked
    QCOMPARE(m_host.messages.size(), 1);
    QVERIFY(m_host.messages[0].prompt.endsWith(path(QStringLiteral("_index.htm"))));
    QCOMPARE(m_host.messages[0].context, path(QStringLiteral("index.txt")));
    const QByteArray index = readFile(path(QStringLiteral("_index.htm")));
    QCOMPARE(index.contains("Pelorin index"), indexThere);
    QCOMPARE(index.contains("data-page=\"_a.htm\""), indexThere);
    QVERIFY(!QFile::exists(path(QStringLiteral("_index.htm.js"))));
}

// A file of the index's name that the program did not write, however large, or a link to one:
// only its head is read, and it is left alone.
void TestPageIndex::foreignIndexReadOnlyAtItsHead_data()
{
    QTest::addColumn<bool>("link");
    QTest::newRow("a file of 1 GB") << false;
    QTest::newRow("a link to one") << true;
}

void TestPageIndex::foreignIndexReadOnlyAtItsHead()
{
    QFETCH(bool, link);
    constexpr qint64 Size = qint64(1) << 30;
    const QString big = path(link ? QStringLiteral("big.htm") : QStringLiteral("_index.htm"));
    QFile file(big);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(Size)); // sparse: no disk used
    file.close();
    if (link)
        QVERIFY(QFile::link(big, path(QStringLiteral("_index.htm"))));
    writeFile(path(QStringLiteral("a.txt")), sjisLog(QStringLiteral("Al の発言 :\r\nx\r\n")));

    const qint64 before = bytesRead();
    run({QStringLiteral("a.txt")});
    QVERIFY(bytesRead() - before < 16 * 1024 * 1024);
    QCOMPARE(QFileInfo(big).size(), Size);
    QCOMPARE(QFileInfo(path(QStringLiteral("_index.htm"))).isSymLink(), link);
    QVERIFY(QFile::exists(path(QStringLiteral("_a.htm")))); // the page itself was written
    QCOMPARE(m_host.messages.size(), 1);
    QVERIFY(m_host.messages[0].prompt.endsWith(path(QStringLiteral("_index.htm"))));
}

// What the index's term files say of the folded words (one or two units): "PAGE:COUNT …", the
// pages newest first.
QString TestPageIndex::pagesHolding(const QString &words) const
{
    QStringList pages, found;
    TermFiles files;
    for (const QByteArray &line : readFile(path(QStringLiteral("_index.htm"))).split('\n')) {
        if (line.startsWith("<tr data-page=\""))
            pages.append(QString::fromUtf8(line.mid(15, line.indexOf('"', 15) - 15)));
        else if (const QString meta = readTermsMeta(QString::fromUtf8(line)); !meta.isEmpty())
            files = TermFiles::fromAttribute(meta);
    }
    searchterms::Term term = 0;
    if (!files.isValid() || !searchterms::termOf(searchterms::fold(words), term))
        return QStringLiteral("no term files");
    QByteArray key;
    appendJsString(searchterms::termText(term), key);
    const QByteArray shard
        = readFile(path(files.folder)
                   + QStringLiteral("/%1.js").arg(searchterms::shardOf(term, files.shards), 4, 10,
                                                  QLatin1Char('0')));
    const qsizetype at = shard.indexOf(QByteArray('\n' + key + ",\""));
    if (at < 0)
        return QString();
    const qsizetype from = at + key.size() + 3;
    QList<std::pair<quint32, quint32>> postings;
    if (!searchterms::readPostings(shard.mid(from, shard.indexOf('"', from) - from), postings))
        return QStringLiteral("unreadable");
    for (const auto &[row, count] : postings)
        found.append(pages.value(row) + u':' + QString::number(count));
    return found.join(u' ');
}

// The term files, over runs into the same folder: folded as the search folds, counted by
// utterances, kept for the pages a run leaves alone, renewed for those it writes again, gone
// with their pages. Each step writes a log and converts it ("NAME=TEXT"), removes a file
// ("-NAME"), or gives one other bytes of the same size and time ("~NAME").
void TestPageIndex::termFiles_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("pages");
    const QString a = QStringLiteral("a.txt=Al の発言 :\r\nアリガトウ ＨＥＬＬＯ\r\nBo の発言 :\r\n"
                                     "ありがとう ありがとう\r\nhello\r\n");
    const QString b = QStringLiteral("b.txt=Cy の発言 :\r\nありがとう\r\n");
    QTest::newRow("kana, width and case alike") << QStringList {a} << "リガ"
                                                << "_a.htm:2";
    QTest::newRow("one unit") << QStringList {a} << "Ｈ"
                              << "_a.htm:2";
    QTest::newRow("a page added") << QStringList {a, b} << "あり"
                                  << "_b.htm:1 _a.htm:2";
    QTest::newRow("a log written again")
        << QStringList {a, b, QStringLiteral("a.txt=Al の発言 :\r\nさよなら\r\n")} << "あり"
        << "_b.htm:1";
    QTest::newRow("a page gone") << QStringList {a, b, QStringLiteral("-_b.htm"), a} << "あり"
                                 << "_a.htm:2";
    QTest::newRow("what a run leaves alone is not read again")
        << QStringList {a, QStringLiteral("~_a.htm.js"), b} << "あり"
        << "_b.htm:1 _a.htm:2";
    QTest::newRow("no such words") << QStringList {a} << "zq"
                                   << "";
}

void TestPageIndex::termFiles()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, words);
    QFETCH(QString, pages);
    int runs = 0;
    for (const QString &step : steps) {
        if (step.startsWith(u'-')) {
            QVERIFY(QFile::remove(path(step.mid(1))));
            continue;
        }
        if (step.startsWith(u'~')) { // the same size and time, other bytes
            const QByteArray name = QFile::encodeName(path(step.mid(1)));
            struct stat st;
            QVERIFY(::stat(name.constData(), &st) == 0);
            writeFile(path(step.mid(1)), QByteArray(st.st_size, '/'));
            const struct timespec times[2] = {st.st_atim, st.st_mtim};
            QVERIFY(::utimensat(AT_FDCWD, name.constData(), times, 0) == 0);
            continue;
        }
        const QString name = step.section(u'=', 0, 0);
        writeFile(path(name), sjisLog(step.section(u'=', 1)));
        run({name});
        ++runs;
    }
    QCOMPARE(pagesHolding(words), pages);
    QVERIFY(m_host.messages.isEmpty());
    // Two folders take turns: the one the index names, and no other left behind.
    const QStringList folders = QDir(m_dir->path()).entryList({QStringLiteral("_index.search-*")});
    QCOMPARE(folders, QStringList {runs % 2 ? "_index.search-a" : "_index.search-b"});
}

QTEST_GUILESS_MAIN(TestPageIndex)
#include "tst_pageindex.moc"

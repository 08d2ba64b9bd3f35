#include "engine/read/logreader.h"
#include "support/exportrecords.h"
#include "support/files.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// Random LINE exports in every form the app writes them, each made beside the records it holds
// and read back: every sender, date, time and text line of every message, every event and every
// day line. Title, saved-on line, blank lines and empty days come and go; line ends are CR LF,
// LF, or CR LF with bare LF inside quoted texts as iOS writes them.
namespace {

const QString Header = QStringLiteral(" の発言：");
constexpr int CasesPerForm = 40;

QString two(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

QString weekday(QDate date, const char16_t *const names[7])
{
    return QString::fromUtf16(names[date.dayOfWeek() - 1]);
}

const char16_t *const Ja[7] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
const char16_t *const Zh[7] = {u"一", u"二", u"三", u"四", u"五", u"六", u"日"};
const char16_t *const En[7] = {u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat", u"Sun"};
const char16_t *const De[7] = {u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa", u"So"};
const char16_t *const Th[7] = {u"จ", u"อ", u"พ", u"พฤ", u"ศ", u"ส", u"อา"};
const char16_t *const Vi[7] = {u"Th 2", u"Th 3", u"Th 4", u"Th 5", u"Th 6", u"Th 7", u"CN"};
const char16_t *const EnLong[7]
    = {u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday", u"Sunday"};

QString slashed(QDate d)
{
    return QString::number(d.year()) + u'/' + two(d.month()) + u'/' + two(d.day());
}

QString dotted(QDate d)
{
    return QString::number(d.year()) + u'.' + two(d.month()) + u'.' + two(d.day());
}

struct Form
{
    const char *name;
    bool blanks; // "21:03 sender text" rather than TABs
    bool quoted; // a text of several lines is quoted (else its lines simply follow)
    QString title; // %1: the chat's name; empty when the form has none
    QString savedOn;
    QString (*day)(QDate);
    QString (*time)(int hour, int minute);
    QString unsent; // %1: who
    bool hour24 = false; // iOS writes the hour after midnight as 24
};

const Form Forms[] = {
    {"iPhone, Japanese", false, true, QStringLiteral("[LINE] %1とのトーク履歴"),
     QStringLiteral("保存日時：2024/03/01 21:03"),
     [](QDate d) -> QString { return slashed(d) + u'(' + weekday(d, Ja) + u')'; },
     [](int h, int m) -> QString { return two(h) + u':' + two(m); },
     QStringLiteral("%1がメッセージの送信を取り消しました"), true},
    {"Android, Japanese, 午前/午後", false, false, QStringLiteral("[LINE] %1のトーク履歴"),
     QStringLiteral("保存日時：2019/03/01 9:03"),
     [](QDate d) -> QString { return slashed(d) + u'(' + weekday(d, Ja) + u')'; },
     [](int h, int m) -> QString {
         return (h < 12 ? QStringLiteral("午前") : QStringLiteral("午後")) + QString::number(h % 12)
             + u':' + two(m);
     },
     QStringLiteral("%1がメッセージの送信を取り消しました")},
    {"phone, English, 12-hour", false, true, QStringLiteral("[LINE] Chat history with %1"),
     QStringLiteral("Saved on：2020/02/12 02:42"),
     [](QDate d) -> QString {
         return weekday(d, En) + QStringLiteral(", ") + two(d.month()) + u'/' + two(d.day()) + u'/'
             + QString::number(d.year());
     },
     [](int h, int m) -> QString {
         return two(h % 12 == 0 ? 12 : h % 12) + u':' + two(m)
             + (h < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
     },
     QStringLiteral("%1 unsent a message.")},
    {"phone, Chinese, 上午/下午", false, true, QStringLiteral("[LINE] 與%1的聊天記錄"),
     QStringLiteral("儲存日期：2020/10/01 09:32"),
     [](QDate d) -> QString { return slashed(d) + u'（' + u'週' + weekday(d, Zh) + u'）'; },
     [](int h, int m) -> QString {
         return (h < 12 ? QStringLiteral("上午") : QStringLiteral("下午"))
             + two(h % 12 == 0 ? 12 : h % 12) + u':' + two(m);
     },
     QStringLiteral("%1已收回訊息")},
    {"phone, Thai, Buddhist era", false, true, QString(), QString(),
     [](QDate d) -> QString {
         return weekday(d, En) + QStringLiteral(", ") + two(d.day()) + u'/' + two(d.month()) + u'/'
             + QString::number(d.year() + 543) + QStringLiteral(" BE");
     },
     [](int h, int m) -> QString { return two(h) + u':' + two(m); },
     QStringLiteral("%1 unsent a message.")},
    {"desktop, English", false, false, QStringLiteral("Chat history in \"%1\""),
     QStringLiteral("Saved on: 5/4/2020, 17:03"),
     [](QDate d) -> QString {
         return weekday(d, En) + QStringLiteral(", ") + QString::number(d.month()) + u'/'
             + QString::number(d.day()) + u'/' + QString::number(d.year());
     },
     [](int h, int m) -> QString { return two(h) + u':' + two(m); },
     QStringLiteral("%1 unsent a message.")},
    {"phone, German, dotted", false, true, QStringLiteral("[LINE] Chatverlauf mit %1"),
     QStringLiteral("Gespeichert am: 19.03.2024 21:40"),
     [](QDate d) -> QString {
         return weekday(d, De) + QStringLiteral("., ") + two(d.day()) + u'.' + two(d.month()) + u'.'
             + QString::number(d.year());
     },
     [](int h, int m) -> QString { return two(h) + u':' + two(m); },
     QStringLiteral("%1 hat das Senden einer Nachricht zurückgenommen.")},
    {"phone, Thai group, no comma", false, true, QStringLiteral("[LINE] ประวัติการแชทในกลุ่ม \"%1\""),
     QStringLiteral("บันทึกเมื่อ 04/12/2568 07:48"),
     [](QDate d) -> QString {
         return weekday(d, Th) + QStringLiteral(". ") + two(d.day()) + u'/' + two(d.month()) + u'/'
             + QString::number(d.year() + 543);
     },
     [](int h, int m) -> QString { return two(h) + u':' + two(m); },
     QStringLiteral("%1 ยกเลิกข้อความแล้ว")},
    {"phone, Vietnamese", false, true, QStringLiteral("[LINE] Lịch sử trò chuyện với %1"),
     QStringLiteral("Ngày lưu: 07/04/2026 08:15"),
     [](QDate d) -> QString {
         return weekday(d, Vi) + QStringLiteral(", ") + two(d.day()) + u'/' + two(d.month()) + u'/'
             + QString::number(d.year());
     },
     [](int h, int m) -> QString { return two(h) + u':' + two(m); },
     QStringLiteral("%1 đã thu hồi tin nhắn.")},
    {"desktop 2025, blanks, Chinese", true, false, QString(), QString(),
     [](QDate d) -> QString { return dotted(d) + QStringLiteral(" 星期") + weekday(d, Zh); },
     [](int h, int m) -> QString { return two(h) + u':' + two(m); },
     QStringLiteral("%1已收回訊息")},
    {"desktop 2026, blanks, English", true, false, QString(), QString(),
     [](QDate d) -> QString { return dotted(d) + u' ' + weekday(d, EnLong); },
     [](int h, int m) -> QString { return two(h) + u':' + two(m); },
     QStringLiteral("%1 unsent a message.")},
};

// Words of the texts: none starts with a time or reads as a day line, an event or a quote.
const QStringList Texts = {
    QStringLiteral("了解です"),
    QStringLiteral("おつかれ〜"),
    QStringLiteral("[スタンプ]"),
    QStringLiteral("ok"),
    QStringLiteral("see you at 9"),
    QStringLiteral("明日は雨らしいよ"),
    QStringLiteral("好的謝謝"),
    QStringLiteral("555"),
    QStringLiteral("http://192.0.2.9/a?b=1"),
    QStringLiteral("それな笑 😀"),
    QStringLiteral("- bring food"),
    QStringLiteral("\"引用\"の話"),
    QStringLiteral("(會議室已借好)"),
    QStringLiteral("10分遅れる"),
    QStringLiteral("on my way"),
};
const QStringList OneWordNames = {QStringLiteral("Nok"),
                                  QStringLiteral("Aki"),
                                  QStringLiteral("はたけ"),
                                  QStringLiteral("王大明"),
                                  QStringLiteral("林小雲（blue sky）"),
                                  QStringLiteral("みの")};
const QStringList TabNames
    = {QStringLiteral("山田 太郎"),   QStringLiteral("Ann Lee"), QStringLiteral("自分"),
       QStringLiteral("陳小安(ABC)"), QStringLiteral("Nok"),     QStringLiteral("Bob")};

struct Generated
{
    QByteArray bytes;
    QStringList records;
};

Generated generate(const Form &form, quint32 seed)
{
    QRandomGenerator random(seed);
    const auto chance = [&random](int percent) {
        return int(random.bounded(100)) < percent;
    };
    const auto pick = [&random](const QStringList &list) {
        return list[random.bounded(int(list.size()))];
    };
    // How lines end: CR LF, LF, or iOS's CR LF with LF inside quoted texts.
    const int ends = int(random.bounded(3));
    const QString end = ends == 1 ? QStringLiteral("\n") : QStringLiteral("\r\n");
    const QString inner = ends == 2 ? QStringLiteral("\n") : end;
    const QStringList &names = form.blanks ? OneWordNames : TabNames;

    QString out;
    QStringList records;
    if (chance(20))
        out += end;
    const bool titled = !form.title.isEmpty() && chance(70);
    if (titled)
        out += form.title.arg(pick(names)) + end;
    if (!form.savedOn.isEmpty() && chance(60))
        out += form.savedOn + end + end;
    QDate date = QDate(2013, 1, 1).addDays(random.bounded(5000));
    const int days = 1 + int(random.bounded(5));
    int serial = 0; // makes the first word of each text of blanks unique, as names are told by them
    for (int d = 0; d < days; ++d) {
        date = date.addDays(1 + random.bounded(40));
        if (d > 0 && chance(70))
            out += end;
        out += form.day(date) + end;
        records.append(QStringLiteral("date\t") + slashed(date) + u'\t' + form.day(date));
        // A day may hold nothing, but the first of an export without a title holds records.
        const int count = d == 0 && !titled ? 1 + int(random.bounded(5)) : int(random.bounded(6));
        QList<int> minutes;
        for (int k = 0; k < count; ++k)
            minutes.append(int(random.bounded(24 * 60)));
        std::sort(minutes.begin(), minutes.end());
        for (const int at : std::as_const(minutes)) {
            const int h = at / 60, m = at % 60;
            const QString written
                = form.hour24 && h == 0 ? QStringLiteral("24:") + two(m) : form.time(h, m);
            const QString shown = form.hour24 && h == 0 ? written : two(h) + u':' + two(m);
            const QString sender = pick(names);
            if (chance(10)) {
                const QString text = form.unsent.arg(sender);
                out += written + (form.blanks ? QStringLiteral(" ") : QStringLiteral("\t\t")) + text
                    + end;
                records.append(QStringLiteral("event\t") + slashed(date) + u'\t' + written + u' '
                               + text);
                continue;
            }
            QStringList lines;
            for (int n = chance(25) ? 2 + int(random.bounded(3)) : 1; n > 0; --n)
                lines.append(pick(Texts));
            if (form.blanks)
                lines.first().prepend(QString::number(++serial) + u'.');
            if (lines.size() > 2 && chance(50))
                lines[1].clear(); // a blank line inside the text
            if (lines.size() > 1 && form.quoted && chance(50))
                lines.last() = form.time(9, 30) + QStringLiteral(" 集合"); // quoted, it stays
            const QString sep = form.blanks ? QStringLiteral(" ") : QStringLiteral("\t");
            out += written + sep + sender + sep;
            if (lines.size() > 1 && form.quoted) {
                QStringList quoted = lines;
                for (QString &line : quoted)
                    line.replace(u'"', QStringLiteral("\"\""));
                out += u'"' + quoted.join(inner) + u'"' + end;
            } else {
                out += lines.join(end) + end;
            }
            records.append(QStringList {QStringLiteral("msg"), slashed(date), shown, sender,
                                        exportrecords::escaped(lines.join(u'\n'))}
                               .join(u'\t'));
        }
    }
    QByteArray bytes = out.toUtf8();
    if (chance(30))
        bytes.prepend("\xEF\xBB\xBF");
    return {bytes, records};
}

} // namespace

class TestLineGenerated : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void generated_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<quint32>("seed");
        for (int f = 0; f < int(std::size(Forms)); ++f) {
            for (quint32 seed = 1; seed <= CasesPerForm; ++seed)
                QTest::addRow("%s #%u", Forms[f].name, seed) << f << seed;
        }
    }

    void generated()
    {
        QFETCH(int, form);
        QFETCH(quint32, seed);
        const Generated made = generate(Forms[form], seed);
        const QString path = writeFile(m_dir.filePath(QStringLiteral("talk.txt")), made.bytes);
        LogReader reader;
        QVERIFY(reader.open(path, Header));
        QVERIFY2(reader.format().lineExport(), made.bytes.left(200).constData());
        const QStringList read = readRecords(reader, Header);
        for (qsizetype i = 0; i < qMin(read.size(), made.records.size()); ++i)
            QCOMPARE(read[i], made.records[i]);
        QCOMPARE(read.size(), made.records.size());
    }
};

QTEST_GUILESS_MAIN(TestLineGenerated)
#include "tst_linegenerated.moc"

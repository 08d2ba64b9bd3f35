// Logs of the encoding benchmark, and the time a log takes to open (its encoding and line ends
// detected, a LINE export recognised):
//   encodingbench utf8 LOG MEGABYTES   the engine benchmark's log in UTF-8 with LF line ends
//   encodingbench ascii LOG MEGABYTES  the same without any character beyond ASCII
//   encodingbench line LOG MEGABYTES   a LINE talk-history export (BOM, CR LF)
//   encodingbench open LOG             seconds to open LOG, best of five, and what it was read as
// The generators print the log's size in bytes.
#include "common/loggen.h"
#include "engine/read/logreader.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

qint64 megabytes(const char *arg)
{
    return qint64(std::atof(arg) * 1024 * 1024);
}

// The engine benchmark's Shift-JIS log, as text with LF line ends, cut at a line end so that
// its UTF-8 stays within `bytes`.
QByteArray utf8Log(qint64 bytes, bool asciiOnly)
{
    loggen::Options options;
    options.targetBytes = bytes;
    options.hashEvery = 25;
    QString text = cp932::decode(loggen::generate(options))
                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (asciiOnly) {
        for (QChar &c : text) {
            if (c.unicode() >= 0x80)
                c = QChar(u'a' + c.unicode() % 26);
        }
    }
    QByteArray out = text.toUtf8();
    out.truncate(out.lastIndexOf('\n', bytes - 1) + 1);
    return out;
}

QByteArray lineExport(qint64 bytes)
{
    static const char *const names[] = {"山田", "自分", "Taro", "みかん☆", "黒猫", "ゆず"};
    static const char *const words[] = {"了解です",
                                        "😀",
                                        "明日の会議",
                                        "どうする？",
                                        "[スタンプ]",
                                        "[写真]",
                                        "www",
                                        "ありがとう",
                                        "hello",
                                        "OK",
                                        "ちょっと待って",
                                        "🍣🍺",
                                        "http://example.com/a?b=1",
                                        "予定表"};
    std::mt19937 rng(20240115);
    auto pick = [&rng](size_t n) {
        return size_t(rng() % n);
    };
    QByteArray out("\xEF\xBB\xBF[LINE] 山田のトーク履歴\r\n保存日時：2024/01/15 21:03\r\n");
    QDate day(2020, 1, 1);
    qint64 message = 0;
    while (out.size() < bytes) {
        out += "\r\n" + day.toString(u"yyyy/MM/dd").toUtf8() + "(月)\r\n";
        for (int m = 0; m < 200 && out.size() < bytes; ++m, ++message) {
            const QByteArray time
                = QByteArray::number(m / 10 + 8) + ':' + QByteArray::number(10 + m % 50);
            if (message % 50 == 49) {
                out += time + "\t\t" + names[pick(6)] + "がメッセージの送信を取り消しました\r\n";
                continue;
            }
            QByteArray text;
            for (size_t n = 1 + pick(8); n > 0; --n)
                text += words[pick(14)] + QByteArray(" ");
            if (message % 15 == 14)
                text = "\"" + text + "\r\n\"\"引用\"\"の続き\r\n" + text + "\"";
            out += (message % 2 ? "午後" : "") + time + '\t' + names[pick(6)] + '\t' + text
                + "\r\n";
        }
        day = day.addDays(1);
    }
    return out;
}

bool write(const char *path, const QByteArray &bytes)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    std::printf("%lld\n", static_cast<long long>(bytes.size()));
    return true;
}

int open(const char *path)
{
    double best = 1e9;
    LogReader reader;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!reader.open(QString::fromLocal8Bit(path), QStringLiteral(" の発言：")))
            return 1;
        best = qMin(best, timer.nsecsElapsed() / 1e9);
    }
    const auto &d = reader.format().detection;
    std::printf("%.4f %s %s%s\n", best, qPrintable(textcodec::encodingName(d.encoding)),
                qPrintable(textcodec::lineEndName(d.lineEnd).remove(u' ')),
                reader.format().lineExport() ? " LINE" : "");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray what = argc > 1 ? argv[1] : "";
    if (what == "open" && argc == 3)
        return open(argv[2]);
    if (argc != 4) {
        std::fprintf(stderr, "usage: encodingbench utf8|ascii|line LOG MEGABYTES | open LOG\n");
        return 2;
    }
    const qint64 bytes = megabytes(argv[3]);
    if (what == "utf8" || what == "ascii")
        return write(argv[2], utf8Log(bytes, what == "ascii")) ? 0 : 1;
    if (what == "line")
        return write(argv[2], lineExport(bytes)) ? 0 : 1;
    return 2;
}

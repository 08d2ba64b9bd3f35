#include "xmlgen.h"

#include <QString>
#include <random>

namespace xmlgen {
namespace {

const char *const Names[]
    = {"青木", "Ben &amp; co", "小林&lt;ko&gt;", "Dana", "江藤 &quot;e&quot;", "Fumi"};
constexpr quint32 NameCount = sizeof Names / sizeof *Names;
const char *const Words[]
    = {"こんにちは", "今日は", "hello", "there",   "晴れ",       "(L)", "&amp;",
       "&lt;b&gt;",  "ですね", "了解",  "see you", "ありがとう", "😀",   "잘 지내"};
constexpr quint32 WordCount = sizeof Words / sizeof *Words;

QByteArray two(int n)
{
    return QByteArray::number(n).rightJustified(2, '0');
}

} // namespace

QByteArray generate(qint64 targetBytes)
{
    std::mt19937 rng(20261210); // fully specified by the standard: the same bytes everywhere
    const auto pick = [&rng](quint32 n) {
        return quint32(rng() % n);
    };
    const auto words = [&](int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += QByteArray(i ? " " : "") + Words[pick(WordCount)];
        return text;
    };
    QByteArray out = "<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type='text/xsl' "
                     "href='MessageLog.xsl'?>\r\n<Log FirstSessionID=\"1\" LastSessionID=\"9\">";
    out.reserve(targetBytes + 4096);
    for (qint64 i = 1; out.size() < targetBytes; ++i) {
        const qint64 s = i * 37;
        const int day = 1 + int(s / 86400 % 28), month = 1 + int(s / (86400 * 28) % 12);
        const int h = int(s / 3600 % 24), m = int(s / 60 % 60), sec = int(s % 60);
        const QByteArray attributes = "Date=\"" + QByteArray::number(month) + "/"
            + QByteArray::number(day) + "/2010\" Time=\"" + QByteArray::number(h % 12 ? h % 12 : 12)
            + ":" + two(m) + ":" + two(sec) + (h < 12 ? " AM" : " PM") + "\" DateTime=\"2010-"
            + two(month) + "-" + two(day) + "T" + two(h) + ":" + two(m) + ":" + two(sec)
            + ".001Z\" SessionID=\"" + QByteArray::number(1 + i / 500) + "\"";
        const quint32 from = pick(NameCount), to = (from + 1 + pick(NameCount - 1)) % NameCount;
        const QByteArray sender = QByteArray("<User FriendlyName=\"") + Names[from] + "\"/>";
        const quint32 kind = pick(100);
        if (kind < 90) {
            QByteArray text = words(1 + int(pick(14)));
            if (pick(10) == 0)
                text += "\n" + words(4);
            out += "<Message " + attributes + "><From>" + sender
                + "</From><To><User FriendlyName=\"" + Names[to]
                + "\"/></To><Text Style=\"font-family:Meiryo; color:#000000; \">" + text
                + "</Text></Message>";
        } else if (kind < 95) {
            const QByteArray file = "photo" + QByteArray::number(i) + ".jpg";
            out += "<Invitation " + attributes + "><From>" + sender + "</From><File>" + file
                + "</File><Text Style=\"color:#545454; \">" + Names[from] + " sends " + file
                + "</Text></Invitation>";
        } else {
            const bool join = kind < 98;
            const char *element = join ? "Join" : "Leave";
            out += QByteArray("<") + element + " " + attributes + ">" + sender
                + "<Text Style=\"color:#545454; \">" + Names[from]
                + (join ? " has joined." : " has left.") + "</Text></" + element + ">";
        }
    }
    return out + "</Log>";
}

} // namespace xmlgen

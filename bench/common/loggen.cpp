#include "loggen.h"

#include "codec/cp932.h"

#include <QFile>
#include <random>
#include <vector>

namespace loggen {
namespace {

const char *const BaseNames[] = {
    "ぽぷる", "Taro",   "みかん☆",  "ｷﾀｰ",        "さくら(仕事中)", "ＮＡＯ",
    "黒猫",   "yuki_2", "ソーダ水", "表示テスト", "ゆず",           "Bob",
};
constexpr int BaseNameCount = int(sizeof BaseNames / sizeof *BaseNames);

const char *const Words[] = {
    "こんにちは",
    "今日は",
    "いい天気",
    "ですね",
    "そうそう",
    "ところで",
    "明日の",
    "会議",
    "どうする？",
    "了解です",
    "www",
    "(L)",
    "ありがとう",
    "ごめん",
    "ちょっと",
    "待って",
    "hello",
    "OK",
    "http://example.com/a?b=1",
    "予定表",
    "―ね",
    "～",
    "ﾃｽﾄ",
    "漢字変換",
    "表示",
    "ソフト",
    "能力",
    "①",
    "Ⅱ",
    "㈱",
    "ばっちり",
    "(^^)",
    "orz",
    "ファイル",
};
constexpr int WordCount = int(sizeof Words / sizeof *Words);

QByteArray sj(const QString &text)
{
    return cp932::encode(text);
}

struct Generator
{
    explicit Generator(const Options &o)
        : options(o)
        , rng(o.seed)
    {
        for (int i = 0; i < qMax(1, o.speakers); ++i)
            headers.push_back(sj(speakerName(i) + o.headerText) + "\r\n");
        for (const char *w : Words)
            words.push_back(sj(QString::fromUtf8(w)));
        separator = sj(QString(5, QChar(0x2015))) + "\r\n";
    }

    quint32 pick(quint32 n) { return quint32(rng() % n); }

    void messageLine(QByteArray &out)
    {
        const int n = 1 + int(pick(12));
        for (int i = 0; i < n; ++i) {
            if (i > 0 && pick(3) == 0)
                out.append(' ');
            out.append(words[pick(WordCount)]);
        }
        out.append("\r\n");
    }

    void notice(QByteArray &out, int speaker)
    {
        out.append(separator);
        out.append(sj(speakerName(speaker)
                      + QStringLiteral(" さんがファイル \"memo.txt\" "
                                       "を送信しようとしています。\r\n")));
        out.append(sj(QStringLiteral("転送を完了しました。\r\n")));
        out.append(separator);
    }

    QByteArray run()
    {
        QByteArray out;
        out.reserve(options.targetBytes + 4096);
        qint64 utterance = 0;
        while (out.size() < options.targetBytes) {
            const int speaker = int(pick(quint32(headers.size())));
            out.append(headers[speaker]);
            const int lines = 1 + int(pick(4));
            for (int i = 0; i < lines; ++i)
                messageLine(out);
            ++utterance;
            if (options.noticeEvery > 0 && utterance % options.noticeEvery == 0)
                notice(out, speaker);
            if (options.hashEvery > 0 && utterance % options.hashEvery == 0)
                out.append(sj(QStringLiteral("# %1 接続が切れました\r\n").arg(utterance)));
        }
        return out;
    }

    const Options &options;
    std::mt19937 rng; // fully specified by the standard: the same bytes everywhere
    std::vector<QByteArray> headers;
    std::vector<QByteArray> words;
    QByteArray separator;
};

} // namespace

QString speakerName(int index)
{
    const QString base = QString::fromUtf8(BaseNames[index % BaseNameCount]);
    return index < BaseNameCount ? base : base + QString::number(index / BaseNameCount + 1);
}

QByteArray generate(const Options &options)
{
    return Generator(options).run();
}

bool writeFile(const QString &path, const Options &options)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = generate(options);
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace loggen

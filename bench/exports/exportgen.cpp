// Writes the same chat as the export of each app the program reads: exportgen DIR MESSAGES
// LINE (line.txt), Telegram (result.json), Discord (discord.json), Skype (messages.json),
// Instagram/Messenger (message_1.json), WhatsApp (whatsapp.txt), KakaoTalk (kakaotalk.txt).
// Eight speakers, texts of varied length, a few minutes between messages. Prints each file's
// name and size.
#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTimeZone>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

const char *const Speakers[]
    = {"たろう", "はなこ", "じろう", "さくら", "Ken", "Mia", "ゆうき", "あおい"};
const char *const Words[] = {"こんばんは",         "明日の集合は駅の北口で",
                             "了解です！",         "写真ありがとう",
                             "それはいいね",       "see you tomorrow",
                             "また来週",           "何時に着く？",
                             "雨なら中止にしよう", "ok 👍"};

struct Message
{
    QDateTime at; // UTC
    int speaker;
    QByteArray text;
};

Message message(qint64 i)
{
    Message m;
    m.at = QDateTime(QDate(2020, 1, 1), QTime(0, 0), QTimeZone::utc()).addSecs(i * 173);
    m.speaker = int((i * 7 + i / 3) % 8);
    const int words = 1 + int(i % 9);
    for (int w = 0; w < words; ++w) {
        if (w)
            m.text += ' ';
        m.text += Words[(i + w * 3) % 10];
    }
    return m;
}

QByteArray jsonString(const QByteArray &utf8)
{
    QByteArray out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// Meta's strings: every UTF-8 byte escaped as a character of its own.
QByteArray metaString(const QByteArray &utf8)
{
    QByteArray out = "\"";
    for (const char c : utf8) {
        const uchar u = uchar(c);
        if (u >= 0x80)
            out += QByteArray("\\u00") + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out + '"';
}

QByteArray iso(const QDateTime &at, const char *format)
{
    return at.toString(QString::fromLatin1(format)).toUtf8();
}

bool write(const QString &dir, const char *name, const std::function<void(QByteArray &)> &fill)
{
    QByteArray bytes;
    fill(bytes);
    QFile file(dir + u'/' + QString::fromLatin1(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    std::printf("%s %lld\n", name, static_cast<long long>(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: exportgen DIR MESSAGES\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const qint64 n = std::atoll(argv[2]);
    const QTimeZone tokyo(9 * 3600);
    bool ok = true;
    ok &= write(dir, "line.txt", [&](QByteArray &b) {
        b += "[LINE] ベンチのトーク履歴\r\n保存日時：2024/01/15 21:00\r\n\r\n";
        QDate day;
        for (qint64 i = 0; i < n; ++i) {
            const Message m = message(i);
            const QDateTime local = m.at.toTimeZone(tokyo);
            if (local.date() != day) {
                day = local.date();
                b += iso(local, "yyyy/MM/dd") + "(月)\r\n";
            }
            b += iso(local, "HH:mm") + '\t' + Speakers[m.speaker] + '\t' + m.text + "\r\n";
        }
    });
    ok &= write(dir, "result.json", [&](QByteArray &b) {
        b += "{\n \"name\": \"ベンチ\",\n \"type\": \"private_group\",\n \"id\": 1,\n "
             "\"messages\": [";
        for (qint64 i = 0; i < n; ++i) {
            const Message m = message(i);
            b += i ? ",\n  {\n" : "\n  {\n";
            b += "   \"id\": " + QByteArray::number(i + 1) + ",\n   \"type\": \"message\",\n";
            b += "   \"date\": \"" + iso(m.at.toTimeZone(tokyo), "yyyy-MM-ddTHH:mm:ss") + "\",\n";
            b += "   \"date_unixtime\": \"" + QByteArray::number(m.at.toSecsSinceEpoch()) + "\",\n";
            b += QByteArray("   \"from\": \"") + Speakers[m.speaker] + "\",\n   \"from_id\": \"user"
                + QByteArray::number(m.speaker) + "\",\n";
            b += "   \"text\": " + jsonString(m.text)
                + ",\n   \"text_entities\": [\n    {\n"
                  "     \"type\": \"plain\",\n     \"text\": "
                + jsonString(m.text) + "\n    }\n   ]\n  }";
        }
        b += "\n ]\n}\n";
    });
    ok &= write(dir, "discord.json", [&](QByteArray &b) {
        b += "{\n  \"guild\": {\n    \"id\": \"1\",\n    \"name\": \"ベンチ\",\n    \"iconUrl\": "
             "\"\"\n  },\n"
             "  \"channel\": {\n    \"id\": \"2\",\n    \"type\": \"GuildTextChat\",\n    "
             "\"categoryId\": \"3\",\n"
             "    \"category\": \"雑談\",\n    \"name\": \"general\",\n    \"topic\": null\n  },\n"
             "  \"dateRange\": {\n    \"after\": null,\n    \"before\": null\n  },\n"
             "  \"exportedAt\": \"2024-01-15T21:00:00+09:00\",\n  \"messages\": [";
        for (qint64 i = 0; i < n; ++i) {
            const Message m = message(i);
            b += i ? ",\n    {\n" : "\n    {\n";
            b += "      \"id\": \"" + QByteArray::number(700000000000000000LL + i) + "\",\n";
            b += "      \"type\": \"Default\",\n      \"timestamp\": \""
                + iso(m.at.toTimeZone(tokyo), "yyyy-MM-ddTHH:mm:ss.zzz") + "+09:00\",\n";
            b += "      \"timestampEdited\": null,\n      \"callEndedTimestamp\": null,\n"
                 "      \"isPinned\": false,\n";
            b += "      \"content\": " + jsonString(m.text) + ",\n";
            b += "      \"author\": {\n        \"id\": \"" + QByteArray::number(m.speaker + 100)
                + "\",\n        \"name\": \"user" + QByteArray::number(m.speaker)
                + "\",\n        \"discriminator\": \"0000\",\n        \"nickname\": \""
                + Speakers[m.speaker]
                + "\",\n        \"color\": null,\n        \"isBot\": false,\n"
                  "        \"avatarUrl\": \"\"\n      },\n";
            b += "      \"attachments\": [],\n      \"embeds\": [],\n      \"stickers\": [],\n"
                 "      \"reactions\": [],\n      \"mentions\": []\n    }";
        }
        b += "\n  ],\n  \"messageCount\": " + QByteArray::number(n) + "\n}";
    });
    ok &= write(dir, "messages.json", [&](QByteArray &b) {
        b += "{\"userId\":\"8:live:u0\",\"exportDate\":\"2024-01-15T12:00\",\"conversations\":[{"
             "\"id\":\"19:bench@thread.skype\",\"displayName\":\"ベンチ\",\"version\":1,"
             "\"properties\":{\"conversationblocked\":false},\"threadProperties\":{\"topic\":"
             "\"ベンチ\"},\"MessageList\":[";
        for (qint64 i = n - 1; i >= 0; --i) { // newest first, as Skype writes them
            const Message m = message(i);
            b += "{\"id\":\"" + QByteArray::number(m.at.toMSecsSinceEpoch())
                + "\",\"displayName\":\"" + Speakers[m.speaker] + "\",\"originalarrivaltime\":\""
                + iso(m.at, "yyyy-MM-ddTHH:mm:ss.zzz")
                + "Z\",\"messagetype\":\"RichText\","
                  "\"version\":1,\"content\":"
                + jsonString(m.text)
                + ",\"conversationid\":\"19:bench@thread.skype\",\"from\":\"8:live:u"
                + QByteArray::number(m.speaker) + "\",\"properties\":null,\"amsreferences\":null}";
            if (i)
                b += ',';
        }
        b += "]}]}";
    });
    ok &= write(dir, "message_1.json", [&](QByteArray &b) {
        b += "{\n  \"participants\": [\n";
        for (int s = 0; s < 8; ++s)
            b += "    {\n      \"name\": " + metaString(Speakers[s])
                + (s < 7 ? "\n    },\n" : "\n    }\n");
        b += "  ],\n  \"messages\": [";
        for (qint64 i = n - 1; i >= 0; --i) {
            const Message m = message(i);
            b += "\n    {\n      \"sender_name\": " + metaString(Speakers[m.speaker])
                + ",\n      \"timestamp_ms\": " + QByteArray::number(m.at.toMSecsSinceEpoch())
                + ",\n      \"content\": " + metaString(m.text)
                + ",\n      \"is_geoblocked_for_viewer\": false\n    }";
            if (i)
                b += ',';
        }
        b += "\n  ],\n  \"title\": " + metaString("ベンチ")
            + ",\n  \"is_still_participant\": true,\n  \"thread_path\": \"inbox/bench_1\",\n"
              "  \"magic_words\": []\n}\n";
    });
    ok &= write(dir, "whatsapp.txt", [&](QByteArray &b) {
        for (qint64 i = 0; i < n; ++i) {
            const Message m = message(i);
            b += iso(m.at.toTimeZone(tokyo), "dd/MM/yyyy, HH:mm") + " - " + Speakers[m.speaker]
                + ": " + m.text + '\n';
        }
    });
    ok &= write(dir, "kakaotalk.txt", [&](QByteArray &b) {
        b += "ベンチ 님과 카카오톡 대화\n저장한 날짜 : 2024-01-15 21:00:00\n\n";
        QDate day;
        for (qint64 i = 0; i < n; ++i) {
            const Message m = message(i);
            const QDateTime local = m.at.toTimeZone(tokyo);
            if (local.date() != day) {
                day = local.date();
                b += "\n--------------- " + QByteArray::number(day.year()) + "년 "
                    + QByteArray::number(day.month()) + "월 " + QByteArray::number(day.day())
                    + "일 수요일 ---------------\n";
            }
            const int h = local.time().hour();
            b += QByteArray("[") + Speakers[m.speaker] + "] [" + (h < 12 ? "오전 " : "오후 ")
                + QByteArray::number(h % 12 == 0 ? 12 : h % 12) + ':' + iso(local, "mm") + "] "
                + m.text + '\n';
        }
    });
    return ok ? 0 : 1;
}

// The readers of chat apps' exports on arbitrary bytes, under the names their files go by:
// - whatever the bytes, every chat the export is said to hold opens or fails with a reason,
//   and reading it gives the same lines in a second pass; an app's export, read as records,
//   gives lines without a line break inside (a text log keeps a lone LF inside its lines);
// - the JSON tokenizer takes every text RapidJSON takes as a whole document to its end, and
//   taking the document whole gives RapidJSON's document.
//
// Input: a control byte (which name the file goes by), then the bytes.
#include "engine/read/exportpaths.h"
#include "engine/read/logreader.h"
#include "engine/read/shared/jsonpull.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace {

// The failed condition named on the way out: a crash report alone does not tell which.
void checkAt(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "failed: %s\n", what);
    std::abort();
}
#define check(ok) checkAt((ok), #ok)

const char *const Names[] = {
    "result.json",  "messages.json",      "message_1.json", "export.zip",
    "export.tar",   "_chat.txt",          "KakaoTalk.txt",  "channel.json",
    "messages.csv", "direct-messages.js", "talk.txt",
};

std::string written(const rapidjson::Value &value)
{
    rapidjson::StringBuffer out;
    rapidjson::Writer<rapidjson::StringBuffer> writer(out);
    value.Accept(writer);
    return std::string(out.GetString(), out.GetSize());
}

QStringList lines(LogReader &reader)
{
    QStringList out;
    QString line;
    while (out.size() < 20000 && reader.readLine(line)) {
        check(!reader.format().chatExport() || !line.contains(u'\n'));
        out.append(line);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    rapidjson::Document doc;
    doc.Parse(bytes.constData(), size_t(bytes.size()));
    // RapidJSON ends a document at a NUL byte, and passes over any start of a byte order mark;
    // the tokenizer rightly calls either an error.
    const bool partMark = !bytes.isEmpty() && QByteArrayView("\xEF\xBB\xBF").contains(bytes[0])
        && !bytes.startsWith("\xEF\xBB\xBF");
    if (!doc.HasParseError() && !bytes.contains('\0') && !partMark) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        JsonPull pull(buffer);
        JsonPull::Token t;
        while ((t = pull.next()) != JsonPull::Token::End)
            check(t != JsonPull::Token::Error);
        // A document taken whole by its quick scan is the document.
        buffer.seek(0);
        JsonPull again(buffer);
        t = again.next();
        if (t == JsonPull::Token::StartObject || t == JsonPull::Token::StartArray) {
            rapidjson::Document taken;
            check(again.take(taken));
            check(written(taken) == written(doc)); // not ==, which a repeated name fails
            check(again.next() == JsonPull::Token::End);
        }
    }

    static QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(Names[data[0] % std::size(Names)]));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QList<exportpaths::Chat> chats;
    QString error;
    if (!exportpaths::chatsOf(path, chats, &error))
        chats = {{path, QString()}};
    for (qsizetype i = 0; i < qMin<qsizetype>(chats.size(), 4); ++i) {
        LogReader reader;
        reader.setTimeZone(QTimeZone::utc());
        if (!reader.open(chats[i].path, QStringLiteral(" の発言："))) {
            check(!reader.errorString().isEmpty()
                  || reader.status() != LogReader::Status::ReadError);
            continue;
        }
        const QStringList first = lines(reader);
        if (reader.failed() || !reader.rewind())
            continue;
        check(lines(reader) == first || reader.failed());
    }
    QFile::remove(path);
    return 0;
}

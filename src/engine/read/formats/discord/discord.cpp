#include "engine/read/formats/discord/discord.h"

#include "engine/read/chat/recordlines.h"
#include "engine/read/formats/discord/exporter.h"
#include "engine/read/formats/discord/package.h"

#include <QRegularExpression>

namespace {

enum class Form { None, Exporter, PackageJson, PackageCsv };

Form formOf(QStringView head)
{
    // The exporter's channel: its guild (an object of plain values), then its channel.
    static const QRegularExpression exporter(
        QStringLiteral("^\\s*\\{\\s*\"guild\":\\s*\\{([^{}\"]|\"([^\"\\\\]|\\\\.)*\")*\\},\\s*"
                       "\"channel\":\\s*\\{"));
    static const QRegularExpression packageJson(QStringLiteral("^\\s*\\[\\s*\\{\\s*\"ID\":"));
    static const QRegularExpression packageCsv(
        QStringLiteral("^ID,Timestamp,Contents,Attachments(\\r?\\n|$)"));
    const QString text = head.left(4096).toString();
    if (exporter.match(text).hasMatch())
        return Form::Exporter;
    if (packageJson.match(text).hasMatch())
        return Form::PackageJson;
    if (packageCsv.match(text).hasMatch())
        return Form::PackageCsv;
    return Form::None;
}

} // namespace

QStringList DiscordFormat::extensions() const
{
    return {QStringLiteral("JSON"), QStringLiteral("json"), QStringLiteral("CSV"),
            QStringLiteral("csv")};
}

QString DiscordFormat::dialogName() const
{
    return QStringLiteral("Discord の書き出し");
}

Sureness DiscordFormat::byHead(QStringView head) const
{
    return formOf(head) == Form::None ? Sureness::No : Sureness::Sure;
}

std::unique_ptr<FormatReader> DiscordFormat::reader(const ReadSource &source) const
{
    // Which form: the head again, as UTF-8 (both forms are written so), after any mark.
    QByteArray head;
    if (source.file.seek(0))
        head = source.file.read(4096);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    const Form form = formOf(QString::fromUtf8(head));
    std::unique_ptr<RecordReader> records = form == Form::Exporter
        ? exporterRecords(source.file)
        : packageRecords(source.file, source.diskPath, form == Form::PackageCsv);
    return std::make_unique<RecordLines>(std::move(records), source);
}

const char *DiscordFormat::noMessagesText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "Discord の書き出しですが、メッセージが一つもありませんでした。");
}

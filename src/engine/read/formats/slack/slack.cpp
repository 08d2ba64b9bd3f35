#include "engine/read/formats/slack/slack.h"

#include "engine/read/chat/quotebook.h"
#include "engine/read/formats/slack/slacktext.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>

namespace {

// One conversation's day files, each streamed in turn: only one message is held at a time.
class SlackReader : public RecordReader
{
public:
    SlackReader(std::shared_ptr<const ExportFiles> files, QString key)
        : m_files(std::move(files))
        , m_key(std::move(key))
    {
    }

    bool load() override;
    const chat::Chat &chat() const override { return m_chat; }
    bool restart() override;
    bool next(chat::Record &record) override;
    qsizetype total() override { return m_total; }
    qsizetype consumed() const override
    {
        return m_done + (m_pull ? qsizetype(m_pull->offset()) : 0);
    }
    bool failed() const override { return !m_error.isEmpty(); }
    QString errorString() const override { return m_error; }

private:
    bool open();
    void close();

    std::shared_ptr<const ExportFiles> m_files;
    QString m_key;
    slack::Workspace m_workspace;
    chat::Chat m_chat;
    QStringList m_days; // the day files, in date order
    qsizetype m_day = 0; // the next day file to open
    std::unique_ptr<QIODevice> m_device;
    std::unique_ptr<JsonPull> m_pull;
    rapidjson::Document m_item;
    QuoteBook m_quotes;
    qsizetype m_total = 0;
    qsizetype m_done = 0; // bytes of the day files read through
    QString m_error;
    bool m_loaded = false;
};

bool SlackReader::load()
{
    if (!slack::load(*m_files, m_workspace, &m_error))
        return false;
    const auto it
        = std::find_if(m_workspace.conversations.cbegin(), m_workspace.conversations.cend(),
                       [this](const slack::Conversation &c) { return c.key == m_key; });
    if (it == m_workspace.conversations.cend()) {
        m_error = QCoreApplication::translate("FileError", "the export holds no such chat");
        return false;
    }
    m_chat.name = it->name;
    m_chat.participants = it->members;
    const QString folder = m_workspace.root + it->folder + u'/';
    m_chat.source = m_files->path() + u'/' + folder;
    static const QRegularExpression dayFile(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\.json$"));
    for (const QString &name : m_files->children(folder)) {
        if (dayFile.match(name).hasMatch()) {
            m_days.append(folder + name);
            m_total += qsizetype(m_files->size(folder + name));
        }
    }
    m_days.sort();
    m_loaded = true;
    return restart();
}

bool SlackReader::restart()
{
    if (!m_loaded)
        return false;
    m_error.clear();
    close();
    m_day = 0;
    m_done = 0;
    m_quotes.clear();
    return true;
}

void SlackReader::close()
{
    if (m_pull)
        m_done += qsizetype(m_pull->offset());
    m_pull.reset();
    m_device.reset();
}

// Opens the next day file at its array; false at the end or when it cannot be read.
bool SlackReader::open()
{
    close();
    if (m_day >= m_days.size())
        return false;
    const QString &name = m_days.at(m_day++);
    m_device = m_files->file(name, &m_error);
    if (!m_device) {
        m_error = QStringLiteral("%1: %2").arg(name, m_error);
        return false;
    }
    m_pull = std::make_unique<JsonPull>(*m_device);
    if (m_pull->next() == JsonPull::Token::StartArray)
        return true;
    m_error = QStringLiteral("%1: %2").arg(
        name, m_pull->failed() ? m_pull->errorString() : QStringLiteral("not a list"));
    return false;
}

bool SlackReader::next(chat::Record &record)
{
    if (failed())
        return false;
    for (;;) {
        if (!m_pull && !open())
            return false;
        const JsonPull::Token token = m_pull->next();
        if (token == JsonPull::Token::EndArray) {
            close();
            continue;
        }
        const QString &name = m_days.at(m_day - 1);
        if (token != JsonPull::Token::StartObject) {
            m_error = QStringLiteral("%1: %2").arg(
                name, m_pull->failed() ? m_pull->errorString() : QStringLiteral("not a message"));
            return false;
        }
        m_item.SetNull();
        m_item.GetAllocator().Clear();
        if (!m_pull->take(m_item)) {
            m_error = QStringLiteral("%1: %2").arg(name, m_pull->errorString());
            return false;
        }
        slack::learnBot(m_item, m_workspace);
        if (!slack::record(m_item, m_workspace, record))
            continue;
        if (record.kind == chat::Record::Kind::Message) {
            m_quotes.fill(record.message);
            m_quotes.remember(record.message);
        }
        return true;
    }
}

} // namespace

QString SlackFormat::dialogName() const
{
    return QStringLiteral("Slack の書き出し");
}

QStringList SlackFormat::extensions() const
{
    return {QStringLiteral("ZIP"), QStringLiteral("zip")};
}

bool SlackFormat::holdsChats(const ExportFiles &files) const
{
    QString root;
    if (!slack::findRoot(files, root))
        return false;
    for (const char *list : {"channels.json", "groups.json", "mpims.json", "dms.json"}) {
        if (files.contains(root + QLatin1String(list)))
            return true;
    }
    return false;
}

bool SlackFormat::chats(const ExportFiles &files, QList<ExportChat> &out, QString *error) const
{
    slack::Workspace workspace;
    if (!slack::load(files, workspace, error))
        return false;
    for (const slack::Conversation &c : workspace.conversations)
        out.append({c.key, c.name});
    return true;
}

std::unique_ptr<RecordReader> SlackFormat::chatReader(std::shared_ptr<const ExportFiles> files,
                                                      const QString &key) const
{
    return std::make_unique<SlackReader>(std::move(files), key);
}

#include "engine/read/formats/slack/slack.h"

#include "engine/read/chat/quotebook.h"
#include "engine/read/chat/sortedrecords.h"
#include "engine/read/formats/slack/slacktext.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>

namespace {

// One conversation, gathered whole from its day files: a thread's replies are said over days
// and shown together under the message they answer.
class SlackReader : public SortedRecords
{
public:
    SlackReader(std::shared_ptr<const ExportFiles> files, QString key)
        : m_files(std::move(files))
        , m_key(std::move(key))
    {
    }

    bool load() override;

private:
    // What places a record, gathered in the day files' order, in its thread.
    struct Place
    {
        QString ts; // the record's own; a thread is named by its first message's
        bool broadcast = false; // a reply also sent to the channel
    };
    void place(const std::vector<Place> &places);
    void quote();

    std::shared_ptr<const ExportFiles> m_files;
    QString m_key;
};

bool SlackReader::load()
{
    slack::Workspace workspace;
    if (!slack::load(*m_files, workspace, &m_error))
        return false;
    const auto it = std::find_if(workspace.conversations.cbegin(), workspace.conversations.cend(),
                                 [this](const slack::Conversation &c) { return c.key == m_key; });
    if (it == workspace.conversations.cend()) {
        m_error = QCoreApplication::translate("FileError", "the export holds no such chat");
        return false;
    }
    m_chat.name = it->name;
    m_chat.participants = it->members;
    const QString folder = workspace.root + it->folder + u'/';
    m_chat.source = m_files->path() + u'/' + folder;
    static const QRegularExpression dayFile(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\.json$"));
    QStringList days;
    for (const QString &name : m_files->children(folder)) {
        if (dayFile.match(name).hasMatch())
            days.append(folder + name);
    }
    days.sort();
    std::vector<Place> places;
    for (const QString &day : std::as_const(days)) {
        const bool read = slack::eachItem(*m_files, day, &m_error, [&](const rapidjson::Value &m) {
            slack::learnBot(m, workspace);
            chat::Record r;
            if (!slack::record(m, workspace, r))
                return;
            const bool message = r.kind == chat::Record::Kind::Message;
            places.push_back({message ? r.message.id : json::string(m, "ts"),
                              json::string(m, "subtype") == u"thread_broadcast"});
            const QDateTime &at = message ? r.message.when.at : r.event.when.at;
            add(at.isValid() ? at.toMSecsSinceEpoch() : Unknown, std::move(r));
        });
        if (!read)
            return false;
    }
    place(places);
    quote();
    return true;
}

// Each message in the order the channel had it, each followed by its thread's replies in time
// order. A reply whose message the export lacks stays where it was said; one also sent to the
// channel is shown in its thread and again where it was said.
void SlackReader::place(const std::vector<Place> &places)
{
    std::vector<Held> &held = records();
    const auto isReply = [&](size_t i) {
        return !held[i].record.message.replyTo.isEmpty();
    };
    QHash<QString, std::vector<size_t>> threads;
    for (size_t i = 0; i < held.size(); ++i) {
        if (!isReply(i))
            threads.insert(places[i].ts, {});
    }
    std::vector<bool> inThread(held.size());
    size_t copies = 0;
    for (size_t i = 0; i < held.size(); ++i) {
        const auto thread = threads.find(held[i].record.message.replyTo);
        if (isReply(i) && thread != threads.end()) {
            thread->push_back(i);
            inThread[i] = true;
            copies += places[i].broadcast;
        }
    }
    for (auto thread = threads.begin(); thread != threads.end(); ++thread) {
        std::stable_sort(thread->begin(), thread->end(),
                         [&](size_t a, size_t b) { return held[a].at < held[b].at; });
    }
    // A reply also sent to the channel is shown twice, so it is copied, never moved.
    std::vector<Held> placed;
    placed.reserve(held.size() + copies);
    for (size_t i = 0; i < held.size(); ++i) {
        if (inThread[i]) {
            if (places[i].broadcast) {
                placed.push_back(held[i]);
                placed.back().record.message.alsoSent = true;
            }
            continue;
        }
        placed.push_back(std::move(held[i]));
        // Taken, so that a message the export holds twice (edited) is followed by its replies
        // once.
        for (const size_t reply : threads.take(places[i].ts)) {
            if (places[reply].broadcast)
                placed.push_back(held[reply]);
            else
                placed.push_back(std::move(held[reply]));
            placed.back().record.message.threaded = true;
        }
    }
    held.swap(placed);
}

// Each reply quotes the start of the message it answers, said before it.
void SlackReader::quote()
{
    QuoteBook quotes;
    for (Held &held : records()) {
        if (held.record.kind != chat::Record::Kind::Message)
            continue;
        quotes.fill(held.record.message);
        quotes.remember(held.record.message);
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
                                                      const QString &key, ChatPlaces *) const
{
    return std::make_unique<SlackReader>(std::move(files), key);
}

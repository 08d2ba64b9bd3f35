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
    // A record as the day files hold it, with what places it in its thread.
    struct Said
    {
        QString ts; // the record's own; a thread is named by its first message's
        chat::Record record;
        bool broadcast = false; // a reply also sent to the channel
        bool inThread = false; // a reply to a message the export holds
        bool isReply() const { return !record.message.replyTo.isEmpty(); }
        qint64 at() const
        {
            const QDateTime &at = record.kind == chat::Record::Kind::Event ? record.event.when.at
                                                                           : record.message.when.at;
            return at.isValid() ? at.toMSecsSinceEpoch() : Unknown;
        }
    };
    void place(std::vector<Said> &said);
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
    std::vector<Said> said;
    for (const QString &day : std::as_const(days)) {
        const bool read = slack::eachItem(*m_files, day, &m_error, [&](const rapidjson::Value &m) {
            slack::learnBot(m, workspace);
            Said one;
            if (!slack::record(m, workspace, one.record))
                return;
            one.ts = one.record.kind == chat::Record::Kind::Message ? one.record.message.id
                                                                    : json::string(m, "ts");
            one.broadcast = json::string(m, "subtype") == u"thread_broadcast";
            said.push_back(std::move(one));
        });
        if (!read)
            return false;
    }
    place(said);
    quote();
    return true;
}

// Each message in the order the channel had it, each followed by its thread's replies in time
// order. A reply whose message the export lacks stays where it was said; one also sent to the
// channel is shown in its thread and again where it was said.
void SlackReader::place(std::vector<Said> &said)
{
    QHash<QString, std::vector<size_t>> threads;
    for (const Said &one : said) {
        if (!one.isReply())
            threads.insert(one.ts, {});
    }
    for (size_t i = 0; i < said.size(); ++i) {
        const auto thread = threads.find(said[i].record.message.replyTo);
        if (said[i].isReply() && thread != threads.end()) {
            thread->push_back(i);
            said[i].inThread = true;
        }
    }
    for (auto thread = threads.begin(); thread != threads.end(); ++thread) {
        std::stable_sort(thread->begin(), thread->end(),
                         [&](size_t a, size_t b) { return said[a].at() < said[b].at(); });
    }
    // A reply also sent to the channel is shown twice, so it is copied, never moved.
    for (Said &one : said) {
        const qint64 at = one.at(); // before the record is moved away
        if (one.inThread) {
            if (one.broadcast) {
                chat::Record copy = one.record;
                copy.message.alsoSent = true;
                add(at, std::move(copy));
            }
            continue;
        }
        add(at, std::move(one.record));
        // Taken, so that a message the export holds twice (edited) is followed by its replies once.
        for (const size_t reply : threads.take(one.ts)) {
            Said &r = said[reply];
            const qint64 replyAt = r.at();
            chat::Record shown;
            if (r.broadcast)
                shown = r.record;
            else
                shown = std::move(r.record);
            shown.message.threaded = true;
            add(replyAt, std::move(shown));
        }
    }
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
                                                      const QString &key) const
{
    return std::make_unique<SlackReader>(std::move(files), key);
}

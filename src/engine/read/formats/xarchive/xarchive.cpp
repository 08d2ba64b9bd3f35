#include "engine/read/formats/xarchive/xarchive.h"

#include "engine/read/chat/sortedrecords.h"
#include "engine/read/formats/xarchive/xarchivelisting.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace {

// The device of a file moved to `offset`: by seeking where it can, else by reading up to it (an
// entry of a ZIP is read from its start).
bool moveTo(QIODevice &device, qint64 offset)
{
    if (device.seek(offset))
        return true;
    if (!device.seek(0))
        return false;
    char buffer[64 * 1024];
    for (qint64 left = offset; left > 0;) {
        const qint64 got = device.read(buffer, std::min<qint64>(left, sizeof buffer));
        if (got <= 0)
            return false;
        left -= got;
    }
    return true;
}

// One conversation's records, read whole from every file that holds part of it, and handed out
// oldest first (the archive writes them newest first).
class XArchiveReader : public SortedRecords
{
public:
    XArchiveReader(std::shared_ptr<const ExportFiles> files, QString key)
        : m_files(std::move(files))
        , m_key(std::move(key))
    {
    }

    bool load() override;

private:
    QString mediaPath(const QString &folder, const QString &fileName) const;
    bool readStretch(const xarchive::Stretch &stretch, const xarchive::People &people,
                     std::vector<xarchive::Reacted> &reactions);
    void addReactions(const std::vector<xarchive::Reacted> &reactions);

    std::shared_ptr<const ExportFiles> m_files;
    QString m_key;
};

QString XArchiveReader::mediaPath(const QString &folder, const QString &fileName) const
{
    for (const char *media : {"direct_messages_media/", "direct_messages_group_media/"}) {
        const QString path = folder + QLatin1String(media) + fileName;
        if (m_files->isSingle() ? QFileInfo::exists(QDir(m_files->path()).filePath(path))
                                : m_files->contains(path))
            return path;
    }
    return {};
}

bool XArchiveReader::readStretch(const xarchive::Stretch &stretch, const xarchive::People &people,
                                 std::vector<xarchive::Reacted> &reactions)
{
    const std::unique_ptr<QIODevice> device = m_files->file(stretch.file, &m_error);
    if (!device)
        return false;
    // Past the colon after "messages", to the list itself.
    char c = 0;
    bool ok = moveTo(*device, stretch.offset);
    while (ok && device->getChar(&c) && c != ':')
        ok = QChar::isSpace(uchar(c));
    JsonPull pull(*device);
    if (!ok || c != ':' || pull.next() != JsonPull::Token::StartArray) {
        //: X's archive: a file that changed since its conversations were listed.
        m_error = stretch.file + QStringLiteral(": ")
            + (pull.failed() ? pull.errorString()
                             : QCoreApplication::translate("FileError",
                                                           "the file changed while it was read"));
        return false;
    }
    const QString folder
        = m_files->isSingle() ? QString() : stretch.file.left(stretch.file.lastIndexOf(u'/') + 1);
    const xarchive::MediaPath media = [&](const QString &file) {
        return mediaPath(folder, file);
    };
    pull.eachObject([&](const rapidjson::Value &item) {
        chat::Record record;
        QDateTime at;
        xarchive::Reacted reacted;
        if (xarchive::reaction(item, people, reacted))
            reactions.push_back(std::move(reacted));
        else if (xarchive::record(item, people, media, record, at))
            add(at.isValid() ? at.toMSecsSinceEpoch() : Unknown, std::move(record));
    });
    if (pull.failed()) {
        m_error = stretch.file + QStringLiteral(": ") + pull.errorString();
        return false;
    }
    return true;
}

// Reactions that older archives keep as items of their own, put on the messages they are to
// (oldest first, as they were given); one to a message the archive lacks is an event.
void XArchiveReader::addReactions(const std::vector<xarchive::Reacted> &reactions)
{
    QHash<QString, chat::Message *> byId;
    for (Held &held : records()) {
        if (held.record.kind == chat::Record::Kind::Message && !held.record.message.id.isEmpty())
            byId.insert(held.record.message.id, &held.record.message);
    }
    std::vector<chat::Record> lone;
    for (auto it = reactions.rbegin(); it != reactions.rend(); ++it) {
        if (chat::Message *m = byId.value(it->messageId)) {
            xarchive::addReaction(*m, it->emoji, it->by);
            continue;
        }
        chat::Record record;
        record.kind = chat::Record::Kind::Event;
        record.event
            = {it->by + QStringLiteral(" がメッセージに ") + it->emoji
                   + QStringLiteral(" でリアクションしました"),
               it->by, it->at.isValid() ? chat::Moment::fromInstant(it->at) : chat::Moment()};
        add(it->at.isValid() ? it->at.toMSecsSinceEpoch() : Unknown, std::move(record));
    }
}

bool XArchiveReader::load()
{
    const std::shared_ptr<const xarchive::Listing> listed = xarchive::listing(*m_files, &m_error);
    if (!listed)
        return false;
    const auto it = std::find_if(listed->chats.begin(), listed->chats.end(),
                                 [&](const xarchive::Listed &l) { return l.key == m_key; });
    if (it == listed->chats.end()) {
        //: X's archive without the conversation asked for.
        m_error = QCoreApplication::translate("FileError", "the export holds no such chat");
        return false;
    }
    m_chat.name = it->name;
    for (const QString &id : it->people)
        m_chat.participants.append(listed->people.name(id));
    std::vector<xarchive::Reacted> reactions;
    for (const xarchive::Stretch &stretch : it->stretches) {
        if (!readStretch(stretch, listed->people, reactions))
            return false;
    }
    addReactions(reactions);
    sort(true);
    return true;
}

} // namespace

QString XArchiveFormat::dialogName() const
{
    return QStringLiteral("X のアーカイブ");
}

QStringList XArchiveFormat::extensions() const
{
    return {QStringLiteral("ZIP"), QStringLiteral("zip")};
}

bool XArchiveFormat::holdsChats(const ExportFiles &files) const
{
    for (const QString &name : xarchive::messageFiles(files)) {
        if (xarchive::startsAsMessages(files.head(name, 128)))
            return true;
    }
    return false;
}

bool XArchiveFormat::chats(const ExportFiles &files, QList<ExportChat> &out, QString *error) const
{
    const std::shared_ptr<const xarchive::Listing> listed = xarchive::listing(files, error);
    if (!listed)
        return false;
    for (const xarchive::Listed &l : listed->chats)
        out.append({l.key, l.name});
    return true;
}

std::unique_ptr<RecordReader> XArchiveFormat::chatReader(std::shared_ptr<const ExportFiles> files,
                                                         const QString &key, ChatPlaces *) const
{
    return std::make_unique<XArchiveReader>(std::move(files), key);
}

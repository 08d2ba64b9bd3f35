#include "engine/read/formats/discord/package.h"

#include "engine/read/formats/discord/csvrows.h"
#include "engine/read/formats/discord/discordtext.h"
#include "engine/read/shared/exportfiles.h"
#include "engine/read/shared/jsonpull.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryFile>
#include <algorithm>
#include <vector>

namespace {

constexpr qint64 WindowBytes = 256 * 1024;

// The package writes its messages newest first: the reader first notes where each message
// lies and its id (ids grow with time), then reads them again one by one in the order of their
// ids, a window of the file at a time, so that the channel is never held whole.
class PackageRecords : public RecordReader
{
public:
    PackageRecords(QFile &file, bool csv, PackageBeside beside)
        : m_file(&file)
        , m_csv(csv)
        , m_beside(std::move(beside))
    {
    }
    PackageRecords(std::shared_ptr<const ExportFiles> files, QString name, bool csv,
                   PackageBeside beside)
        : m_files(std::move(files))
        , m_name(std::move(name))
        , m_csv(csv)
        , m_beside(std::move(beside))
    {
    }

    bool load() override
    {
        m_chat = {};
        m_chat.name = m_beside.chatName;
        m_sender = m_beside.userName;
        m_items.clear();
        m_error.clear();
        if (!m_file && !open())
            return false;
        if (!m_file->seek(0)) {
            m_error = m_file->errorString();
            return false;
        }
        if (!(m_csv ? indexCsv() : indexJson())) {
            if (m_files) // a channel of a package: which of its files broke
                m_error = m_name + QStringLiteral(": ") + m_error;
            return false;
        }
        // An id that is no number keeps its place after the message before it.
        quint64 last = 0;
        for (Item &item : m_items) {
            if (!item.id)
                item.id = last;
            last = item.id;
        }
        std::stable_sort(m_items.begin(), m_items.end(),
                         [](const Item &a, const Item &b) { return a.id < b.id; });
        return restart();
    }
    const chat::Chat &chat() const override { return m_chat; }
    bool restart() override
    {
        m_next = 0;
        m_consumed = 0;
        return !failed();
    }
    bool next(chat::Record &record) override;
    qsizetype total() override { return m_file ? qsizetype(m_file->size()) : 0; }
    qsizetype consumed() const override { return m_consumed; }
    bool failed() const override { return !m_error.isEmpty(); }
    QString errorString() const override { return m_error; }

private:
    struct Item
    {
        quint64 id;
        qint64 start;
        qint64 end;
    };
    struct Columns
    {
        int id = -1, timestamp = -1, contents = -1, attachments = -1;
    };

    bool open();
    bool indexJson();
    bool indexCsv();
    bool bytes(const Item &item, QByteArray &out);
    void fill(const QString &id, const QString &timestamp, const QString &contents,
              const QString &attachments, chat::Record &record) const;

    QFile *m_file = nullptr;
    std::shared_ptr<const ExportFiles> m_files;
    std::unique_ptr<QFile> m_own; // a channel of a package: its file, or a copy out of a ZIP
    const QString m_name;
    const bool m_csv;
    const PackageBeside m_beside;
    chat::Chat m_chat;
    QString m_sender;
    Columns m_columns;
    std::vector<Item> m_items;
    size_t m_next = 0;
    qsizetype m_consumed = 0;
    QByteArray m_window;
    qint64 m_windowStart = 0;
    qint64 m_lastStart = 0;
    QString m_error;
};

bool PackageRecords::open()
{
    std::unique_ptr<QIODevice> in = m_files->file(m_name, &m_error);
    if (!in) {
        m_error = m_name + QStringLiteral(": ") + m_error;
        return false;
    }
    if (auto *file = qobject_cast<QFile *>(in.get())) {
        in.release();
        m_own.reset(file);
        m_file = file;
        return true;
    }
    // An entry of a ZIP or TAR is read from its start only: copied out, to be read by windows.
    auto copy = std::make_unique<QTemporaryFile>();
    if (!copy->open()) {
        m_error = copy->errorString();
        return false;
    }
    QByteArray piece(qsizetype(WindowBytes), Qt::Uninitialized);
    for (;;) {
        const qint64 got = in->read(piece.data(), WindowBytes);
        if (got < 0 || (got > 0 && copy->write(piece.constData(), got) != got)) {
            m_error = m_name + QStringLiteral(": ")
                + (got < 0 ? in->errorString() : copy->errorString());
            return false;
        }
        if (got == 0)
            break;
    }
    if (!copy->flush()) {
        m_error = copy->errorString();
        return false;
    }
    m_own = std::move(copy);
    m_file = m_own.get();
    return true;
}

bool PackageRecords::indexJson()
{
    JsonPull pull(*m_file);
    rapidjson::Document item;
    if (pull.next() == JsonPull::Token::StartArray) {
        for (;;) {
            const JsonPull::Token t = pull.next();
            if (t == JsonPull::Token::EndArray)
                return true;
            if (t != JsonPull::Token::StartObject) { // anything else in the list is passed over
                if (t == JsonPull::Token::Error || !pull.skip())
                    break;
                continue;
            }
            const qint64 start = pull.offset() - 1;
            if (!pull.take(item))
                break;
            m_items.push_back(
                {json::idText(json::at(item, "ID")).toULongLong(), start, pull.offset()});
        }
    }
    m_error = pull.failed()
        ? pull.errorString()
        : QCoreApplication::translate("FileError", "the JSON holds no list of messages");
    return false;
}

bool PackageRecords::indexCsv()
{
    CsvRows rows(*m_file);
    rows.reset();
    QList<QByteArray> fields;
    if (rows.next(fields)) {
        // The columns by their names, in whatever order.
        m_columns = {};
        for (int i = 0; i < fields.size(); ++i) {
            const QByteArray name = fields[i].trimmed().toLower();
            if (name == "id")
                m_columns.id = i;
            else if (name == "timestamp")
                m_columns.timestamp = i;
            else if (name == "contents")
                m_columns.contents = i;
            else if (name == "attachments")
                m_columns.attachments = i;
        }
        while (rows.next(fields)) {
            if (fields.size() == 1 && fields[0].isEmpty())
                continue; // a blank line
            const QByteArray id = m_columns.id >= 0 ? fields.value(m_columns.id) : QByteArray();
            m_items.push_back({id.toULongLong(), rows.rowStart(), rows.offset()});
        }
    }
    m_error = rows.errorString();
    return !rows.failed();
}

bool PackageRecords::bytes(const Item &item, QByteArray &out)
{
    if (item.start < m_windowStart || item.end > m_windowStart + m_window.size()) {
        // Going back through a file written newest first, the window ends at the message.
        const qint64 size = qMax(WindowBytes, item.end - item.start);
        const qint64 from
            = item.start < m_lastStart ? qMax<qint64>(0, item.end - size) : item.start;
        if (!m_file->seek(from)) {
            m_error = m_file->errorString();
            return false;
        }
        m_window = m_file->read(size);
        m_windowStart = from;
        if (item.end > m_windowStart + m_window.size()) {
            //: A file that became shorter while it was read.
            m_error = m_file->errorString().isEmpty()
                ? QCoreApplication::translate("FileError", "the file changed while it was read")
                : m_file->errorString();
            return false;
        }
    }
    m_lastStart = item.start;
    out = m_window.mid(item.start - m_windowStart, item.end - item.start);
    return true;
}

bool PackageRecords::next(chat::Record &record)
{
    QByteArray raw;
    if (failed() || m_next >= m_items.size() || !bytes(m_items[m_next], raw))
        return false;
    m_consumed += qsizetype(raw.size());
    ++m_next;
    record = {};
    if (!m_csv) {
        rapidjson::Document item;
        item.Parse(raw.constData(), size_t(raw.size()));
        fill(json::idText(json::at(item, "ID")), json::string(item, "Timestamp"),
             json::string(item, "Contents"), json::string(item, "Attachments"), record);
        return true;
    }
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    CsvRows rows(buffer);
    rows.reset();
    QList<QByteArray> f;
    rows.next(f);
    const auto field = [&f](int column) {
        return QString::fromUtf8(f.value(column));
    };
    fill(field(m_columns.id), field(m_columns.timestamp), field(m_columns.contents),
         field(m_columns.attachments), record);
    return true;
}

void PackageRecords::fill(const QString &id, const QString &timestamp, const QString &contents,
                          const QString &attachments, chat::Record &record) const
{
    chat::Message &msg = record.message;
    msg.id = id;
    msg.sender = m_sender;
    msg.when = discord::moment(timestamp);
    if (!contents.isEmpty())
        msg.text = contents.split(u'\n');
    // The addresses of its files, parted by blanks.
    for (const QString &url : attachments.split(u' ', Qt::SkipEmptyParts)) {
        const QString name = discord::fileName(url);
        msg.attachments.append({name, discord::fileKind(name), -1, QString()});
    }
}

} // namespace

std::unique_ptr<RecordReader> packageRecords(QFile &file, bool csv, PackageBeside beside)
{
    return std::make_unique<PackageRecords>(file, csv, std::move(beside));
}

std::unique_ptr<RecordReader> packageRecords(std::shared_ptr<const ExportFiles> files,
                                             const QString &name, bool csv, PackageBeside beside)
{
    return std::make_unique<PackageRecords>(std::move(files), name, csv, std::move(beside));
}

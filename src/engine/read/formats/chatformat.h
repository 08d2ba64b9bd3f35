#pragma once

#include "codec/detect.h"
#include "codec/textcodec.h"
#include "engine/read/chat/recordreader.h"
#include "engine/read/linerole.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTimeZone>
#include <functional>
#include <memory>
#include <optional>

class ChatPlaces;

// One chat format: the names its files go by, how sure it is that a file is one of its own, and
// what the program says of it. The formats the program reads are turned into lines by the log
// reader; the others it only knows by sight, so that a file in one of them is named for what it
// is rather than taken for a log with another header text. formats.h lists them all.

enum class FormatId {
    XmlHistory, // MSN Messenger / Windows Messenger XML histories
    LineExport, // LINE talk-history exports
    TextLog, // logs with a header line for every utterance
    Telegram, // Telegram Desktop's JSON exports
    Discord, // the common exporter's JSON and Discord's own data package
    Skype, // Skype's exports of a whole account
    Meta, // Instagram's and Facebook Messenger's threads
    WhatsApp, // WhatsApp's text exports
    KakaoTalk, // KakaoTalk's text exports
    Slack, // Slack's workspace exports
    XArchive, // the direct messages of X's account archive
    Json, // known by sight only, from here on
    Html,
};

enum class Sureness { No, Perhaps, Sure };

class ExportFiles;
class LineStamps;
struct LogFormat;

// One chat of an export that holds many: the key that names it in a path ("skype.tar/Ann"; never
// holding a "/") and its name as the export gives it.
struct ExportChat
{
    QString key;
    QString name;
};

// What the reader knows of one line besides its text.
struct LineInfo
{
    // What the log's structure says the line is (LineRole::Unknown for a text log).
    LineRole role = LineRole::Unknown;
    // How the line ends in the file, where lines may end in different ways (a LINE export);
    // empty where the log's one line end (LogFormat) holds.
    std::optional<textcodec::LineEnd> end;
    // What a chat export's short line points at: for a Reply the anchor of the message it
    // answers ("u12") where the page holds it, for an Attachment the file's path in the export;
    // for a Header the message's own id in the export, where it has one.
    QString ref;
    // Where the line stands in a file read by lines (a text log, a LINE export): its line
    // number there, from 1; 0 where the format does not tell.
    qint64 sourceLine = 0;
};

// What a format's reader reads: the log file, opened (and for a format read as text, its
// encoding and line ends detected), and where it notes what it learns. The log reader that
// makes a format reader outlives it.
struct ReadSource
{
    QFile &file;
    const textcodec::Detection &detection;
    const QString &headerText; // the header text in force
    LineStamps &stamps; // when the utterances were said, where the format tells
    const bool &stampsWanted; // whether stamps noted while reading are wanted
    std::function<void()> pieceDone; // after every piece read outside next()
    const QTimeZone &timeZone; // where an export's instants are shown; invalid: the system's
    // The file's path on disk (for a log out of a ZIP or TAR, its temporary copy's), and the
    // path it goes by ("talks.zip/_chat.txt"): a format may read files beside it, or name the
    // chat by it.
    const QString &diskPath;
    const QString &logPath;
    const QHash<QString, QString> &names; // the user's names for ids (chat/exportnames.h)
    const bool &readAgain; // whether the log is read more than once
};

// The lines of one log in one format, pass after pass (LogReader asks the format for it).
class FormatReader
{
public:
    virtual ~FormatReader() = default;

    // Reads what must be read before the first line; false when the log does not load.
    virtual bool load() { return true; }
    // Notes in the log's format what only reading it tells.
    virtual void note(LogFormat &) const { }
    // Back to the first line; false when reading failed.
    virtual bool restart() = 0;
    // Whether the lines of this pass are wanted for their header lines alone: a reader may then
    // hand out the text of lines of any other known role empty.
    virtual void setHeadersOnly(bool) { }
    // The next line and what is known of it; false at the end or when reading failed.
    virtual bool next(QString &line, LineInfo &info) = 0;
    // Progress is measured in the file's own lines: how many it has, counted without disturbing
    // the reading, and how many have been read in this pass.
    virtual qsizetype lineCount() = 0;
    virtual qsizetype linesConsumed() const = 0;
    // The chat's name where the log tells it; empty otherwise.
    virtual QString chatName() const { return {}; }
    // The people the log names besides its speakers, where its format tells (a chat's
    // participants, who caused its events), as far as it has been read.
    virtual QStringList people() const { return {}; }
    // The zone times were shown in ("Asia/Tokyo (UTC+09:00)"), once a pass over the log showed
    // an instant in it; empty for a log whose times are as its app showed them.
    virtual QString shownZone() const { return {}; }
    // When the export says it was saved, as it writes the date ("2024/01/15 21:03" of a
    // "保存日時：" line); empty where it does not.
    virtual QString savedOn() const { return {}; }

    // The records the lines are made of, for a format read into records; nullptr for one read
    // as lines.
    virtual RecordReader *records() { return nullptr; }

    virtual bool failed() const = 0;
    virtual QString errorString() const = 0;
};

class ChatFormat
{
public:
    virtual ~ChatFormat() = default;

    virtual FormatId id() const = 0;
    // Whether the program reads the format; the others it only knows by sight.
    virtual bool isRead() const { return true; }
    // The reader of a log in the format; every format the program reads gives one.
    virtual std::unique_ptr<FormatReader> reader(const ReadSource &) const { return nullptr; }

    // The extensions of its files, each as it may be written ("txt", "TXT"): the intake, the
    // folder scans and the file dialog take a log by these.
    virtual QStringList extensions() const { return {}; }
    // The file dialog's name for its files ("めせのログ"); empty when they are among another
    // format's (a LINE export is a .txt like a text log).
    virtual QString dialogName() const { return {}; }

    // How sure the format is that a file is its own: by the file's name alone, before anything
    // is decoded (an XML history goes by its extension), and by the first kilobytes of its text.
    virtual Sureness byName(QStringView) const { return Sureness::No; }
    virtual Sureness byHead(QStringView) const { return Sureness::No; }

    // For a log that gave no speakers: whether its first lines look like the format in a form
    // the program does not read, and what to say of it then (a "RunMessage" text).
    virtual bool looksLike(QStringView) const { return false; }
    virtual const char *notReadText() const { return nullptr; }
    // What is said of a log read in the format that holds no message; nullptr: the header text
    // may be wrong, as for any log without speakers.
    virtual const char *noMessagesText() const { return nullptr; }
    // What a log read in the format is called where a message says how it was read ("LINE の
    // トーク履歴", a "RunMessage" text); nullptr where the encoding and line ends say enough.
    virtual const char *readAsText() const { return nullptr; }

    // Whether a file that goes by one of its extensions is no log of its own but a part of one
    // read through another file beside it (a thread's later pages, a channel's description), so
    // that a folder scan leaves it out.
    virtual bool isPartOfLog(const QString &path) const
    {
        Q_UNUSED(path);
        return false;
    }

    // For an export that holds many chats (a folder, a ZIP or TAR, or one file holding them
    // all): whether `files` is one in this format, the chats it holds (false when it cannot be
    // read; `error` says where it broke), and the records of one of them.
    virtual bool holdsChats(const ExportFiles &) const { return false; }
    virtual bool chats(const ExportFiles &, QList<ExportChat> &, QString *error) const
    {
        Q_UNUSED(error);
        return false;
    }
    // `places`, where the run notes where the chats of an export's files start (may be null).
    virtual std::unique_ptr<RecordReader> chatReader(std::shared_ptr<const ExportFiles>,
                                                     const QString &key, ChatPlaces *places) const
    {
        Q_UNUSED(key);
        Q_UNUSED(places);
        return nullptr;
    }
};

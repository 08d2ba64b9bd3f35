#pragma once

#include "engine/read/formats/formatreader.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

// One chat format: the names its files go by, how sure it is that a file is one of its own, and
// what the program says of it. The formats the program reads are turned into lines by the log
// reader; the others it only knows by sight, so that a file in one of them is named for what it
// is rather than taken for a log with another header text. formats.h lists them all.

enum class FormatId {
    XmlHistory, // MSN Messenger / Windows Messenger XML histories
    LineExport, // LINE talk-history exports
    TextLog, // logs with a header line for every utterance
    WhatsApp, // known by sight only, from here on
    KakaoTalk,
    Json,
    Html,
};

enum class Sureness { No, Perhaps, Sure };

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
};

#pragma once

#include "engine/read/chat/recordreader.h"
#include "engine/read/formats/chatformat.h"
#include "engine/read/shared/dates.h"
#include "engine/read/shared/textlines.h"

#include <QStringList>
#include <optional>

// The records of a WhatsApp export, line by line. A line that starts with a record's head
// (whatsapphead.h) opens a record; every other line continues the one before it. A record is
// - a message, "Name: text", its text on its first line and the lines after it; a medium in
//   it (a file attached or one left out) becomes an attachment, its mark of an edit `edited`;
// - an event, where no one is named ("Ann added Bo", Android) or where the app's own words
//   follow a name (an iPhone's "Ann: ‎Ann added Bo", marked by a left-to-right mark), which
//   keeps the name where its text does not hold it.
// Whether days or months come first is decided once for the whole export, from all its dates.
class WhatsAppReader : public RecordReader
{
public:
    explicit WhatsAppReader(const ReadSource &source);

    bool load() override;
    const chat::Chat &chat() const override { return m_chat; }
    bool restart() override;
    bool next(chat::Record &record) override;
    // Every line end ends a line, as in the reading.
    qsizetype total() override { return m_lines.count(true); }
    qsizetype consumed() const override { return m_lines.consumed(); }
    bool failed() const override { return m_lines.failed(); }
    QString errorString() const override { return m_lines.errorString(); }

    // The chat's name in the name WhatsApp gave the file ("WhatsApp Chat with Ann.txt",
    // "WhatsApp Chat - Ann/_chat.txt"); empty when it has none.
    static QString chatNameOf(const QString &path);

private:
    // Who said a record and when, for the lines of a record too long to be held at once,
    // which go on in a record of their own.
    struct Carried
    {
        chat::Record::Kind kind;
        QString who;
        chat::Moment when;
    };

    bool pull(QString &line);
    void convert(const QString &first, QStringList &more, chat::Record &record);
    void carry(const Carried &carried, QStringList &more, chat::Record &record);

    TextLines m_lines;
    chat::Chat m_chat;
    DayOrder m_order = DayOrder::DayFirst;
    QString m_ahead; // the head of the next record, read with the record before it
    bool m_hasAhead = false;
    qint64 m_aheadLine = 0; // its line number
    qint64 m_lineNumber = 0; // of the last line read
    std::optional<Carried> m_carried;
};

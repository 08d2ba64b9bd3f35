#pragma once

#include "engine/read/chat/recordreader.h"
#include "engine/read/shared/textlines.h"

#include <QDate>
#include <QList>
#include <QStringView>

// The records of a KakaoTalk text export (kakaotalklines.h tells its lines apart), read line by
// line: a record is handed out once the line after it shows it is complete. A line end inside a
// record's line (the phone apps end a record with CR LF and a line of its text with LF) always
// goes on with that record.
class KakaoTalkRecords : public RecordReader
{
public:
    KakaoTalkRecords(QFile &file, const textcodec::Detection &detection,
                     TextLines::PieceDone pieceDone);

    bool load() override;
    const chat::Chat &chat() const override { return m_chat; }
    bool restart() override;
    bool next(chat::Record &record) override;
    qsizetype total() override { return m_lines.count(); }
    qsizetype consumed() const override { return m_lines.consumed(); }
    bool failed() const override { return m_lines.failed(); }
    QString errorString() const override { return m_lines.errorString(); }

private:
    // The next piece of a line, `first` when it starts a line of the file.
    bool nextPiece(QStringView &piece, bool &first);
    // Starts a record with `record`; the one open before is handed out in `done`.
    bool open(chat::Record &&record, chat::Record &done);
    void close(chat::Record &record) const;

    TextLines m_lines;
    chat::Chat m_chat;
    QString m_line;
    QList<QStringView> m_pieces; // of m_line, split at the line ends inside it
    qsizetype m_piece = 0;
    qint64 m_pieceLine = 0; // the line number of the last piece, as an editor counts lines
    bool m_preamble = true; // before the first record: the title, the date saved, blank lines
    QDate m_day; // the last day line's: a desktop export's records are on it
    chat::Record m_open;
    bool m_isOpen = false;
};

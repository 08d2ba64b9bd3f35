#pragma once

#include "engine/read/chat/recordreader.h"

#include <QDate>
#include <QHash>
#include <QTimeZone>
#include <memory>
#include <vector>

class LogReader;

// Several exports of one chat read as one: their records in time order, a record that two of
// them both hold once, and a notice where none of them covers a stretch of days ("2019/08/02 〜
// 2020/03/15 の記録はありません"): an export covers the days up to the one it was saved on, where
// it tells that, else up to its last record. Streamed like any export: each source is read once per
// pass, and only the records of one minute are counted at a time.
//
// Records are compared by the minute they were said, as shown in the reader's time zone: a
// message is the same when its sender, that minute and its text (and the files it carries) are.
// Where one export holds a message twice in a minute and another once, it is shown twice. A
// record without a time keeps its place after the one before it in its own export; a log
// without any times (a text log) comes first, export after export, each adding only what the
// ones before it lack.
class MergedLog : public RecordReader
{
public:
    struct Source
    {
        std::unique_ptr<LogReader> log; // the export, opened
        // Its records: the export's own reader, or its lines read as records; owned by `log`
        // or by `lines`.
        RecordReader *records = nullptr;
        std::unique_ptr<RecordReader> lines;
    };
    MergedLog(std::vector<Source> sources, const QTimeZone &zone);
    ~MergedLog() override;

    bool load() override;
    // The first name an export tells, and everyone any of them names, as far as read.
    const chat::Chat &chat() const override;
    bool restart() override;
    bool next(chat::Record &record) override;
    qsizetype total() override;
    qsizetype consumed() const override;
    bool failed() const override;
    QString errorString() const override;

    const std::vector<Source> &sources() const { return m_sources; }

    // What is said where no export covers the days from `first` to `last`.
    static QString gapText(QDate first, QDate last);

private:
    struct Head
    {
        chat::Record record;
        bool has = false; // false once the export is read to its end
        qint64 minute = 0;
        qint64 lastMinute; // of its last record with a time
        bool started = false; // a record of it with a time was taken
    };
    bool advance(size_t s); // the next record of source s into its head
    qint64 minuteOf(const chat::Moment &when) const;
    quint64 sameKey(const chat::Record &record) const;
    bool startGroup(chat::Record &record);
    // The day export `s` says it was saved on ("2020/03/05 14:11", "2020-03-05T…"); invalid
    // where it tells none.
    QDate savedOnDay(size_t s) const;

    std::vector<Source> m_sources;
    std::vector<Head> m_heads;
    QTimeZone m_zone;
    mutable chat::Chat m_chat;
    bool m_inGroup = false;
    qint64 m_group = 0; // the minute whose records are being taken
    QDate m_groupDay; // and its day
    size_t m_source = 0; // whose records of that minute are being taken
    QHash<quint64, int> m_earlier; // of each record of the minute: most held by an export before
    QHash<quint64, int> m_mine; // and how many the current export held so far
    QDate m_lastDay; // of the last record given
    // The last day the exports read so far are known to cover: that of the last minute taken,
    // or the day an export that has ended says it was saved on, if later.
    QDate m_covered;
};

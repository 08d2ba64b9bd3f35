#include "engine/read/formats/lineexport/lineexportformat.h"

#include "engine/read/formats/lineexport/lineexport.h"
#include "engine/read/linestamps.h"
#include "engine/read/shared/textlines.h"

#include <vector>

namespace {

bool sameTime(const std::optional<ClockTime> &a, const std::optional<ClockTime> &b)
{
    if (!a || !b)
        return !a && !b;
    return a->hour == b->hour && a->minute == b->minute && a->second == b->second;
}

// The export's lines, each ended at any line end, converted as they are read. Its stamps are
// noted again in every pass, the one being read held alone (LineStamps::setRolling); they are
// complete once the export was read to its end.
class LineExportReader : public FormatReader
{
public:
    explicit LineExportReader(const ReadSource &source)
        : m_lines(source.file, source.detection, source.pieceDone)
        , m_converter(
              source.headerText,
              [this](ExportLine &line) {
                  const bool got = m_lines.nextAtAnyEnd(line.text, line.end, line.ended);
                  line.number = m_lines.consumed();
                  return got;
              },
              [this](const std::function<void(QStringView)> &line) { m_lines.survey(line); })
        , m_stamps(source.stamps)
        , m_stampsWanted(source.stampsWanted)
    {
        m_stamps.setRolling(true);
    }

    bool restart() override
    {
        if (!m_stampsDone)
            m_stamps.clear(); // noted again by this pass
        m_linesOut = 0;
        m_converter.reset();
        return m_lines.restart();
    }
    void setHeadersOnly(bool only) override { m_converter.setMessageTextWanted(!only); }
    bool next(QString &line, LineInfo &info) override;
    // In an export every LF ends a line, CR LF or not.
    qsizetype lineCount() override { return m_lines.count(true); }
    qsizetype linesConsumed() const override { return m_lines.consumed(); }
    QString chatName() const override { return m_converter.chatName(); }
    QString savedOn() const override { return m_converter.savedOn(); }
    bool failed() const override { return m_lines.failed(); }
    QString errorString() const override { return m_lines.errorString(); }

private:
    // A time's text, made once for each minute of the day that has one: records come a few
    // to a minute, and a new text each is a new allocation.
    QString timeText(const std::optional<ClockTime> &time)
    {
        if (!time || time->second >= 0 || time->hour < 0 || time->hour >= MaxHours
            || time->minute < 0 || time->minute >= 60)
            return time ? time->text() : QString();
        QString &made = m_minuteTexts[size_t(time->hour * 60 + time->minute)];
        if (made.isNull())
            made = time->text();
        return made;
    }

    static constexpr int MaxHours = 30; // "24:32" and on are written as such
    TextLines m_lines;
    std::vector<QString> m_minuteTexts = std::vector<QString>(MaxHours * 60);
    LineExportConverter m_converter;
    LineExportConverter::Converted m_converted; // its buffer is reused
    LineStamps &m_stamps;
    const bool &m_stampsWanted;
    QDate m_stampDate; // the date of the last stamp, and its text
    QString m_stampDateText;
    std::optional<ClockTime> m_stampTime; // the time of the last stamp, and its text
    QString m_stampTimeText;
    qsizetype m_linesOut = 0; // lines handed out in this pass
    bool m_stampsDone = false; // the export was read to its end once
};

bool LineExportReader::next(QString &line, LineInfo &info)
{
    const bool got = m_converter.next(m_converted);
    if (got) {
        const LineExportConverter::Stamp &stamp = m_converted.stamp;
        if (stamp.opens && m_stampsWanted) {
            if (stamp.date != m_stampDate) { // a date's text is made once
                m_stampDate = stamp.date;
                m_stampDateText = stamp.dateText();
            }
            if (!sameTime(stamp.time, m_stampTime)) { // and a time's while it stays the same
                m_stampTime = stamp.time;
                m_stampTimeText = timeText(stamp.time);
            }
            m_stamps.addRolling(m_linesOut, m_stampDateText, m_stampTimeText, stamp.repeated,
                                !m_stampsDone);
        }
        line = std::move(m_converted.text);
        info = {m_converted.role, m_converted.end};
        info.sourceLine = m_converted.sourceLine;
    }
    m_stampsDone |= !got && !m_lines.failed();
    if (!got || m_lines.failed())
        return false;
    ++m_linesOut;
    return true;
}

} // namespace

QStringList LineExportFormat::extensions() const
{
    return {QStringLiteral("TXT"), QStringLiteral("txt")};
}

Sureness LineExportFormat::byHead(QStringView head) const
{
    return startsAsLineExport(head) ? Sureness::Sure : Sureness::No;
}

bool LineExportFormat::looksLike(QStringView head) const
{
    const qsizetype newline = head.indexOf(u'\n');
    const QStringView first = newline < 0 ? head : head.first(newline);
    return first.startsWith(u"[LINE]") || first.contains(u"トーク履歴")
        || first.contains(u"聊天記錄") || first.startsWith(u"Chat history");
}

const char *LineExportFormat::notReadText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "LINE のトーク履歴のようですが、読める形ではありませんでした。");
}

const char *LineExportFormat::readAsText() const
{
    return QT_TRANSLATE_NOOP("RunMessage", "LINE のトーク履歴");
}

const char *LineExportFormat::noMessagesText() const
{
    return QT_TRANSLATE_NOOP("RunMessage",
                             "LINE のトーク履歴ですが、メッセージが一つもありませんでした。");
}

std::unique_ptr<FormatReader> LineExportFormat::reader(const ReadSource &source) const
{
    return std::make_unique<LineExportReader>(source);
}

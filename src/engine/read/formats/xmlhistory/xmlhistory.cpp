#include "engine/read/formats/xmlhistory/xmlhistory.h"

#include "engine/read/formats/xmlhistory/xmllog.h"
#include "engine/read/linestamps.h"
#include "engine/read/logformat.h"
#include "engine/read/shared/textlines.h"

#include <optional>

namespace {

// The history read whole and held as its converted text, one role for every line.
class XmlHistoryReader : public FormatReader
{
public:
    explicit XmlHistoryReader(const ReadSource &source)
        : m_file(source.file)
        , m_headerText(source.headerText)
        , m_stamps(source.stamps)
    {
    }

    bool load() override;
    // The indented text keeps every character: in code page 932 where it holds them all.
    void note(LogFormat &format) const override { format.textInUtf8 = m_lossy; }
    bool restart() override
    {
        m_linesOut = 0;
        m_headers = 0;
        return m_lines->restart();
    }
    bool next(QString &line, LineInfo &info) override
    {
        const bool got = m_lines->next(line);
        if (m_linesOut < m_roles.size())
            info.role = LineRole(m_roles[m_linesOut]);
        if (got && info.role == LineRole::Header && m_headers < m_places.size())
            info.sourceLine = m_places[m_headers++];
        if (got)
            ++m_linesOut;
        return got;
    }
    qsizetype lineCount() override { return m_lines->count(); }
    qsizetype linesConsumed() const override { return m_lines->consumed(); }
    bool failed() const override { return m_lines && m_lines->failed(); }
    QString errorString() const override { return m_lines ? m_lines->errorString() : QString(); }

private:
    QFile &m_file;
    const QString &m_headerText;
    LineStamps &m_stamps;
    std::optional<TextLines> m_lines;
    QByteArray m_roles; // one LineRole per line of the text
    QList<qint64> m_places; // where each message's sender is named in the document
    qsizetype m_headers = 0; // header lines handed out in this pass
    qsizetype m_linesOut = 0; // lines handed out in this pass
    bool m_lossy = false; // code page 932 lacks some of the text's characters
};

bool XmlHistoryReader::load()
{
    const QByteArray data = m_file.readAll();
    const bool readOk = m_file.error() == QFileDevice::NoError;
    m_file.close();
    bool ok = false;
    QString text;
    if (readOk)
        text = readXmlLogData(data, m_headerText, &ok, &m_stamps, &m_roles, &m_places);
    if (!ok) {
        m_roles.clear();
        m_places.clear();
        m_stamps.clear();
        return false;
    }
    cp932::encode(text, [this](char32_t, QByteArray &) { m_lossy = true; });
    m_lines.emplace(std::move(text));
    return true;
}

} // namespace

QStringList XmlHistoryFormat::extensions() const
{
    return {QStringLiteral("XML"), QStringLiteral("xml")};
}

QString XmlHistoryFormat::dialogName() const
{
    return QStringLiteral("MSNのログ");
}

std::unique_ptr<FormatReader> XmlHistoryFormat::reader(const ReadSource &source) const
{
    return std::make_unique<XmlHistoryReader>(source);
}

Sureness XmlHistoryFormat::byName(QStringView name) const
{
    return name.endsWith(u"xml") || name.endsWith(u"XML") ? Sureness::Sure : Sureness::No;
}

bool XmlHistoryFormat::startsLikeXml(QByteArrayView head)
{
    static constexpr char Declaration[] = "<?xml";
    const auto utf16 = [head](qsizetype firstByte) {
        for (qsizetype k = 0; k < 5; ++k) {
            const qsizetype at = 2 + 2 * k;
            if (at + 1 >= head.size() || head[at + firstByte] != Declaration[k]
                || head[at + 1 - firstByte] != 0)
                return false;
        }
        return true;
    };
    if (head.startsWith("\xFF\xFE"))
        return utf16(0);
    if (head.startsWith("\xFE\xFF"))
        return utf16(1);
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    while (!head.isEmpty()
           && (head[0] == ' ' || head[0] == '\t' || head[0] == '\r' || head[0] == '\n'))
        head = head.sliced(1);
    return head.startsWith(Declaration);
}

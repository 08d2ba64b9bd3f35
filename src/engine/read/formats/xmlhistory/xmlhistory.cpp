#include "engine/read/formats/xmlhistory/xmlhistory.h"

#include "engine/read/formats/xmlhistory/xmllog.h"
#include "engine/read/linestamps.h"
#include "engine/read/logformat.h"
#include "engine/read/shared/textlines.h"

#include <QSysInfo>
#include <QTemporaryFile>
#include <optional>

namespace {

// The history converted once, in load(), into a temporary file that every pass reads a piece at
// a time: the parser reads it once whatever the passes, and neither the document nor its text
// is held whole. The text is kept in UTF-16 as it is in memory, so writing and reading it back
// cost no more than a copy. The file has no name where the system allows (its name is never
// asked for), so a killed run leaves nothing behind.
class XmlHistoryReader : public FormatReader
{
public:
    explicit XmlHistoryReader(const ReadSource &source)
        : m_file(source.file)
        , m_headerText(source.headerText)
        , m_stamps(source.stamps)
        , m_pieceDone(source.pieceDone)
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
    qsizetype lineCount() override { return m_lineCount; }
    qsizetype linesConsumed() const override { return m_lines->consumed(); }
    bool failed() const override { return m_lines && m_lines->failed(); }
    // Empty when the history itself could not be read (the caller says so); else why not.
    QString errorString() const override
    {
        return !m_textError.isEmpty() ? m_textError : m_lines ? m_lines->errorString() : QString();
    }

private:
    bool convert();

    QFile &m_file;
    const QString &m_headerText;
    LineStamps &m_stamps;
    std::function<void()> m_pieceDone;
    QTemporaryFile m_text;
    QString m_textError; // the temporary file for the text could not be made or written
    std::optional<TextLines> m_lines;
    qsizetype m_lineCount = 0;
    QByteArray m_roles; // one LineRole per line of the text
    QList<qint64> m_places; // where each message's sender is named in the document
    qsizetype m_headers = 0; // header lines handed out in this pass
    qsizetype m_linesOut = 0; // lines handed out in this pass
    bool m_lossy = false; // code page 932 lacks some of the text's characters
};

bool XmlHistoryReader::convert()
{
    if (!m_text.open()) {
        m_textError = m_text.errorString();
        return false;
    }
    XmlLogOutput out;
    out.text = [this](QStringView piece) {
        // Looked at a slice at a time, as a piece holds a whole event, which may be as large as
        // the file. A pair of surrogates cut in two is lost to code page 932 as it is whole.
        constexpr qsizetype SliceChars = 1 << 16;
        for (qsizetype at = 0; !m_lossy && at < piece.size(); at += SliceChars)
            cp932::encode(piece.sliced(at, qMin(SliceChars, piece.size() - at)),
                          [this](char32_t, QByteArray &) { m_lossy = true; });
        const qint64 bytes = piece.size() * qint64(sizeof(char16_t));
        return m_text.write(reinterpret_cast<const char *>(piece.utf16()), bytes) == bytes;
    };
    out.stamps = &m_stamps;
    out.roles = &m_roles;
    out.places = &m_places;
    out.pieceDone = m_pieceDone;
    out.discard = [this] {
        m_lossy = false;
        return m_text.seek(0) && m_text.resize(0);
    };
    const bool ok = convertXmlLog(m_file, m_headerText, out) && m_text.flush();
    if (!ok && m_text.error() != QFileDevice::NoError)
        m_textError = m_text.errorString();
    m_lineCount = out.lines;
    return ok;
}

bool XmlHistoryReader::load()
{
    const bool ok = convert();
    m_file.close();
    if (!ok) {
        m_text.close(); // an unnamed file goes; a named one when the reader does
        m_roles.clear();
        m_places.clear();
        m_stamps.clear();
        return false;
    }
    textcodec::Detection detection;
    detection.encoding = QSysInfo::ByteOrder == QSysInfo::LittleEndian
        ? textcodec::Encoding::Utf16LE
        : textcodec::Encoding::Utf16BE;
    detection.lineEnd = textcodec::LineEnd::CrLf;
    detection.hasLineEnd = true;
    m_lines.emplace(m_text, detection, m_pieceDone);
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

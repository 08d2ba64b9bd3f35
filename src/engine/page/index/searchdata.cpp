#include "engine/page/index/searchdata.h"

#include "engine/text/markupfilter.h"
#include "engine/text/speakerkeys.h"
#include "fileio/filename.h"
#include "fileio/inputfile.h"

#include <QHash>
#include <array>
#include <cstring>
#include <unistd.h>

namespace {

const QByteArray DataMark = QByteArrayLiteral("/* Pelorin search data */\n");

// The named references chat text uses beyond the four that escaping writes.
char16_t namedReference(QStringView name)
{
    static const QHash<QString, char16_t> names {
        {QStringLiteral("amp"), u'&'},      {QStringLiteral("lt"), u'<'},
        {QStringLiteral("gt"), u'>'},       {QStringLiteral("quot"), u'"'},
        {QStringLiteral("apos"), u'\''},    {QStringLiteral("nbsp"), 0xA0},
        {QStringLiteral("hearts"), 0x2665}, {QStringLiteral("spades"), 0x2660},
        {QStringLiteral("clubs"), 0x2663},  {QStringLiteral("diams"), 0x2666},
        {QStringLiteral("copy"), 0xA9},     {QStringLiteral("reg"), 0xAE},
        {QStringLiteral("trade"), 0x2122},  {QStringLiteral("hellip"), 0x2026},
        {QStringLiteral("mdash"), 0x2014},  {QStringLiteral("ndash"), 0x2013},
        {QStringLiteral("laquo"), 0xAB},    {QStringLiteral("raquo"), 0xBB},
        {QStringLiteral("yen"), 0xA5},      {QStringLiteral("times"), 0xD7},
        {QStringLiteral("divide"), 0xF7},   {QStringLiteral("middot"), 0xB7},
        {QStringLiteral("deg"), 0xB0},      {QStringLiteral("plusmn"), 0xB1},
        {QStringLiteral("larr"), 0x2190},   {QStringLiteral("uarr"), 0x2191},
        {QStringLiteral("rarr"), 0x2192},   {QStringLiteral("darr"), 0x2193},
        {QStringLiteral("lsquo"), 0x2018},  {QStringLiteral("rsquo"), 0x2019},
        {QStringLiteral("ldquo"), 0x201C},  {QStringLiteral("rdquo"), 0x201D},
        {QStringLiteral("bull"), 0x2022},   {QStringLiteral("star"), 0x2606},
    };
    return names.value(name.toString(), 0);
}

// The character a reference starting at `at` ("&…;") stands for; `length` gets its length.
// False for anything that is no reference this knows: then the "&" is text.
bool readReference(QStringView text, qsizetype at, QString &out, qsizetype &length)
{
    const qsizetype end = text.indexOf(u';', at + 1);
    if (end < 0 || end - at > 12)
        return false;
    const QStringView body = text.sliced(at + 1, end - at - 1);
    uint code = 0;
    if (body.startsWith(u'#')) {
        bool ok = false;
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        code = body.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
    } else {
        code = namedReference(body);
        if (code == 0)
            return false;
    }
    const char32_t c = code;
    out += QString::fromUcs4(&c, 1);
    length = end - at + 1;
    return true;
}

} // namespace

void appendPlainText(QStringView html, QString &out)
{
    // Most lines hold neither markup nor a reference (Qt looks for a character in wide steps).
    if (!html.contains(u'<') && !html.contains(u'&')) {
        out += html;
        return;
    }
    out.reserve(out.size() + html.size());
    for (qsizetype i = 0; i < html.size();) {
        const QChar c = html[i];
        qsizetype length = 0;
        if (c == u'<') {
            i = chatTagEnd(html, i); // after the chat filter every "<" opens a whole tag
        } else if (c == u'&' && readReference(html, i, out, length)) {
            i += length;
        } else {
            out += c;
            ++i;
        }
    }
}

QString plainText(QStringView html)
{
    QString out;
    appendPlainText(html, out);
    return out;
}

namespace {

// Each UTF-16 unit as it stands in a string literal of a script, where it stands for itself:
// its one to three bytes of UTF-8 and then their count, four bytes written at once whatever
// the count (the next unit's bytes go over the rest). All zero where the unit needs more: an
// escape, or the other half of its pair.
struct ScriptUnits
{
    std::array<std::array<char, 4>, 0x10000> bytes {};

    ScriptUnits()
    {
        for (quint32 c = 0x20; c < 0x10000; ++c) {
            std::array<char, 4> &b = bytes[c];
            if (c == u'"' || c == u'\\' || c == u'<' || c == u'>' || (c >= 0xD800 && c < 0xE000)
                || c == 0x2028 || c == 0x2029)
                continue;
            if (c < 0x80) {
                b = {char(c), 0, 0, 1};
            } else if (c < 0x800) {
                b = {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)), 0, 2};
            } else {
                b = {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                     char(0x80 | (c & 0x3F)), 3};
            }
        }
    }
};

const ScriptUnits &scriptUnits()
{
    static const ScriptUnits units;
    return units;
}

} // namespace

void appendJsString(QStringView text, QByteArray &out)
{
    static const char Hex[] = "0123456789abcdef";
    const std::array<std::array<char, 4>, 0x10000> &plain = scriptUnits().bytes;
    const qsizetype at = out.size();
    // At most six bytes a unit ("\uXXXX"), and the quotes.
    out.resize(at + text.size() * 6 + 2);
    char *o = out.data() + at;
    const auto escape = [&o](char16_t u) {
        *o++ = '\\';
        *o++ = 'u';
        for (int shift = 12; shift >= 0; shift -= 4)
            *o++ = Hex[(u >> shift) & 0xF];
    };
    *o++ = '"';
    const char16_t *u = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = u[i];
        if (const std::array<char, 4> &b = plain[c]; b[3] != 0) {
            std::memcpy(o, b.data(), 4);
            o += b[3];
        } else if (c == u'\n') {
            *o++ = '\\';
            *o++ = 'n';
        } else if (c == u'"' || c == u'\\') {
            *o++ = '\\';
            *o++ = char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(u[i + 1])) {
            const char32_t code = QChar::surrogateToUcs4(c, u[++i]);
            *o++ = char(0xF0 | (code >> 18));
            *o++ = char(0x80 | ((code >> 12) & 0x3F));
            *o++ = char(0x80 | ((code >> 6) & 0x3F));
            *o++ = char(0x80 | (code & 0x3F));
        } else {
            // Controls, "<" and ">", line ends to a script, a lone surrogate (no character of
            // UTF-8).
            escape(c);
        }
    }
    *o++ = '"';
    out.resize(o - out.constData());
}

bool isOwnSearchData(const QString &path)
{
    return fileio::startsWithMark(path, DataMark);
}

void removeSearchData(const QString &path)
{
    if (isOwnSearchData(path))
        ::unlink(fileio::encodeName(path).constData());
}

SearchData::SearchData(const SpeakerKeys &keys, const LineStamps &stamps)
    : m_keys(keys)
    , m_stamps(stamps)
{
}

void SearchData::begin(const QString &pageName, QByteArray &out)
{
    out.append(DataMark).append("pelorinSearchData(1, ");
    appendJsString(pageName, out);
    out.append(", [");
    for (qsizetype k = 0; k < m_keys.count(); ++k) {
        if (k > 0)
            out.append(',');
        appendJsString(plainText(m_keys.name(k)), out);
    }
    out.append("], [\n");
}

void SearchData::flushUtterance(QByteArray &out)
{
    if (!m_pending)
        return;
    out.append(QByteArray::number(m_speaker)).append(',');
    appendJsString(m_text, out);
    m_terms.addUtterance(m_text);
    out.append(",\n");
    m_pending = false;
    m_text.resize(0);
}

void SearchData::write(const QString &line, LineRole role, LineRole sorted, QByteArray &out)
{
    // The lines are taken as the page took them, so the numbers agree with its anchors.
    const qsizetype at = m_line++;
    if (sorted == LineRole::Header) {
        qsizetype prefixLength = 0;
        const qsizetype speaker = m_keys.speakerOf(line, &prefixLength, role);
        if (speaker < 0)
            return;
        flushUtterance(out);
        QString date, time;
        qsizetype restated = 0;
        const bool stamped = m_stamps.at(at, &date, &time, &restated);
        if (stamped)
            m_stats.add(speaker, 0, date, time);
        if (stamped && !date.isEmpty() && date != m_lastDate) {
            appendJsString(date, out);
            out.append(",\n");
            m_lastDate = date;
        }
        if (!time.isEmpty()) {
            m_restatedLine = at + 1;
            m_restated = restated;
        }
        m_speaker = speaker;
        m_pending = true;
        const QStringView rest = QStringView(line).sliced(prefixLength);
        if (!rest.trimmed().isEmpty()) {
            m_text.resize(0);
            appendPlainText(rest, m_text);
        }
        return;
    }
    if (!isMessageLine(sorted) || m_speaker < 0)
        return;
    QStringView text = line;
    if (at == m_restatedLine && m_restated > 0 && line.size() >= m_restated
        && line.at(m_restated - 1) == u' ')
        text = text.sliced(m_restated);
    // Lines after a notice are still the utterance's words, under its anchor.
    if (!m_text.isEmpty())
        m_text += u'\n';
    appendPlainText(text, m_text);
}

void SearchData::finish(QByteArray &out)
{
    flushUtterance(out);
    out.append("]);\n");
}

#include "inifile.h"

#include "codec/cp932.h"
#include "fileio/atomicfile.h"
#include "fileio/filename.h"
#include "fileio/inputfile.h"

#include <optional>

namespace {

constexpr qsizetype MaxValueBytes = 1023; // the reader's buffer holds 1024 bytes with the NUL

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView trimmedBlanks(QStringView s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

// Names compare ignoring the case of ASCII letters only: full-width letters and kana are
// compared as they are.
QString foldedName(QStringView name)
{
    QString out = trimmedBlanks(name).toString();
    for (QChar &c : out) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(char16_t(c.unicode() + ('a' - 'A')));
    }
    return out;
}

// An INI line cannot hold a line break: each CR LF, CR or LF becomes one blank.
QString singleLine(const QString &text)
{
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

bool endsWithLineEnd(const QByteArray &raw)
{
    return raw.endsWith('\n') || raw.endsWith('\r');
}

// What the reader returns for a stored value: one pair of matching quotes enclosing the whole
// value removed; at most MaxValueBytes bytes (in code page 932), never splitting a double-byte
// character, up to the first NUL character; nothing (std::nullopt) when that leaves it empty.
std::optional<QString> readerResult(QStringView value)
{
    if (value.size() >= 2
        && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    if (value.isEmpty())
        return std::nullopt;

    qsizetype bytes = 0, keep = 0;
    while (keep < value.size()) {
        const qsizetype n = cp932::encodedLength(value.mid(keep, 1));
        if (bytes + n > MaxValueBytes)
            break;
        bytes += n;
        ++keep;
    }
    value = value.first(keep);

    // A value that is empty up to its first NUL counts as missing too: an empty prefix,
    // for one, would give the text output of a log the log's own name.
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul == 0)
        return std::nullopt;
    if (nul > 0)
        value = value.first(nul);
    return value.toString();
}

} // namespace

IniDocument::IniDocument(const QByteArray &bytes)
    : m_bytes(bytes)
{
    // Lines end at LF, CR LF or a lone CR. Neither byte can be the second byte of a Shift-JIS
    // character, so splitting the bytes before decoding never cuts a character in two.
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        if (end < size) {
            if (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
                ++end;
            ++end;
        }
        m_lines.append(parseLine(bytes.mid(start, end - start)));
        start = end;
    }
}

IniDocument::Line IniDocument::parseLine(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    qsizetype len = raw.size();
    while (len > 0 && (raw[len - 1] == '\n' || raw[len - 1] == '\r'))
        --len;
    const QString text = cp932::decode(QByteArrayView(raw.constData(), len));
    const QStringView body = trimmedBlanks(text);
    if (body.isEmpty()) {
        line.kind = Kind::Blank;
        return line;
    }

    if (body.startsWith(QLatin1Char('['))) {
        const qsizetype close = body.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = foldedName(body.mid(1, close - 1));
        }
        return line;
    }
    const qsizetype eq = body.indexOf(QLatin1Char('='));
    if (eq >= 0) {
        line.kind = Kind::Key;
        line.name = foldedName(body.first(eq));
        line.value = trimmedBlanks(body.mid(eq + 1)).toString();
    }
    return line;
}

IniDocument IniDocument::load(const QString &path)
{
    QByteArray bytes;
    QString reason;
    switch (fileio::readWholeFile(path, bytes, &reason)) {
    case fileio::ReadOpen::Ok:
        return IniDocument(bytes);
    case fileio::ReadOpen::NotFound: {
        IniDocument doc;
        doc.m_fileMissing = true;
        return doc;
    }
    default: {
        IniDocument doc;
        doc.m_readFailed = true;
        doc.m_readError = reason;
        return doc;
    }
    }
}

bool IniDocument::save(const QString &path) const
{
    if (m_readFailed)
        return false;
    // A settings file the user keeps as a link (into a folder of dotfiles, say) stays one: the
    // file it points to is replaced.
    const QString file = fileio::followLinks(path);
    if (file.isEmpty())
        return false;
    const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
    if (slash > 0 && !fileio::makeFolders(file.left(slash)))
        return false;
    return fileio::writeFileAtomically(file, bytes());
}

const QByteArray &IniDocument::bytes() const
{
    if (!m_bytesValid) {
        qsizetype total = 0;
        for (const Line &line : m_lines)
            total += line.raw.size();
        m_bytes.clear();
        m_bytes.reserve(total);
        for (const Line &line : m_lines)
            m_bytes.append(line.raw);
        m_bytesValid = true;
    }
    return m_bytes;
}

qsizetype IniDocument::findSection(const QString &foldedSection) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && m_lines[i].name == foldedSection)
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section)
        ++i;
    return i;
}

qsizetype IniDocument::findKey(qsizetype header, const QString &foldedKey) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (m_lines[i].kind == Kind::Key && m_lines[i].name == foldedKey)
            return i;
    }
    return -1;
}

QString IniDocument::value(const QString &section, const QString &key,
                           const QString &defaultValue) const
{
    const qsizetype header = findSection(foldedName(section));
    if (header < 0)
        return defaultValue;
    const qsizetype line = findKey(header, foldedName(key));
    if (line < 0)
        return defaultValue;
    return readerResult(m_lines[line].value).value_or(defaultValue);
}

void IniDocument::ensureLastLineEnded()
{
    if (!m_lines.isEmpty() && !endsWithLineEnd(m_lines.last().raw))
        m_lines.last().raw.append("\r\n");
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = singleLine(section);
    const QString keyName = singleLine(key);
    const QByteArray keyLine
        = cp932::encode(QString(keyName + QLatin1Char('=') + singleLine(value)))
        + QByteArrayLiteral("\r\n");
    m_bytesValid = false;

    const qsizetype header = findSection(foldedName(sectionName));
    if (header < 0) {
        ensureLastLineEnded();
        m_lines.append(
            parseLine(cp932::encode(QString(QLatin1Char('[') + sectionName + QLatin1Char(']')))
                      + QByteArrayLiteral("\r\n")));
        m_lines.append(parseLine(keyLine));
        return;
    }
    const qsizetype existing = findKey(header, foldedName(keyName));
    if (existing >= 0) {
        m_lines[existing] = parseLine(keyLine);
        return;
    }
    // A new key goes after the section's last non-blank line, before the blank lines that
    // separate it from the next section.
    const qsizetype end = sectionEnd(header);
    qsizetype last = header;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (m_lines[i].kind != Kind::Blank)
            last = i;
    }
    if (!endsWithLineEnd(m_lines[last].raw))
        m_lines[last].raw.append("\r\n");
    m_lines.insert(last + 1, parseLine(keyLine));
}

QString readIniValue(const QString &iniPath, const QString &section, const QString &key,
                     const QString &defaultValue)
{
    return IniDocument::load(iniPath).value(section, key, defaultValue);
}

bool writeIniValue(const QString &iniPath, const QString &section, const QString &key,
                   const QString &value)
{
    IniDocument doc = IniDocument::load(iniPath);
    if (doc.readFailed())
        return false;
    doc.setValue(section, key, value);
    return doc.save(iniPath);
}

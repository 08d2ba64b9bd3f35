#include "filename.h"

#include <QByteArray>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

namespace {

constexpr char16_t EscapeBase = 0xDC00; // + byte 0x80 … 0xFF

// Length of the valid UTF-8 sequence at `p` (1 … 4), or 0 when the byte there does not
// start one. Overlong forms, surrogates and code points past U+10FFFF are not valid.
int validSequence(const unsigned char *p, qsizetype left, char32_t &codePoint)
{
    const unsigned char b = p[0];
    if (b < 0x80) {
        codePoint = b;
        return 1;
    }
    int length;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        min = 0x80;
        codePoint = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        min = 0x800;
        codePoint = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        min = 0x10000;
        codePoint = b & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (p[k] & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

void appendEscape(QString &out, char prefix, uint value, int digits)
{
    out += QLatin1Char('\\');
    out += QLatin1Char(prefix);
    out += QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

bool shownEscaped(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F
        || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString decodeName(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    QString out;
    out.reserve(size);
    for (qsizetype i = 0; i < size;) {
        char32_t c = 0;
        const int n = validSequence(p + i, size - i, c);
        if (n == 0) {
            out += QChar(char16_t(EscapeBase + p[i]));
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += QChar(QChar::highSurrogate(c));
            out += QChar(QChar::lowSurrogate(c));
        } else {
            out += QChar(char16_t(c));
        }
        i += n;
    }
    return out;
}

QByteArray encodeName(QStringView name)
{
    QByteArray out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && i + 1 < name.size()
            && QChar::isLowSurrogate(name[i + 1].unicode())) {
            c = QChar::surrogateToUcs4(u, name[++i].unicode());
        } else if (u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF) {
            out += char(u - EscapeBase);
            continue;
        } else if (QChar::isSurrogate(u)) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

QString printable(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += text[i];
            out += text[++i];
        } else if (u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF) {
            appendEscape(out, 'x', u - EscapeBase, 2);
        } else if (QChar::isSurrogate(u)) {
            appendEscape(out, 'u', u, 4);
        } else if (shownEscaped(u)) {
            if (u <= 0xFF)
                appendEscape(out, 'x', u, 2);
            else
                appendEscape(out, 'u', u, 4);
        } else {
            out += text[i];
        }
    }
    return out;
}

QString currentDir()
{
    QByteArray buffer(4096, Qt::Uninitialized);
    while (!::getcwd(buffer.data(), size_t(buffer.size()))) {
        if (errno != ERANGE)
            return QStringLiteral(".");
        buffer.resize(buffer.size() * 2);
    }
    return decodeName(QByteArrayView(buffer.constData()));
}

QString absolutePath(const QString &path)
{
    if (path.startsWith(QLatin1Char('/')))
        return path;
    QString dir = currentDir();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + path;
}

QString followLinks(const QString &path)
{
    QByteArray current = encodeName(absolutePath(path));
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return decodeName(current);
        QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : 255) + 1, Qt::Uninitialized);
        const ssize_t length
            = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (length < 0 || length >= target.size())
            return QString();
        target.truncate(length);
        if (!target.startsWith('/'))
            target.prepend(current.left(current.lastIndexOf('/') + 1));
        current = target;
    }
    return QString();
}

} // namespace fileio

#include "engine/page/htmltext.h"

#include "codec/cp932.h"
#include "codec/textcodec.h"
#include "engine/read/formats/formats.h"
#include "engine/text/markupfilter.h"

#include <QCryptographicHash>
#include <QStringEncoder>

void prepareHtmlLine(QString &line)
{
    // Most lines hold neither: one look at each character decides, eight at a time (as in
    // escapeHtmlLine).
    char16_t markup = 0;
    char16_t paren = 0;
    const char16_t *text = QStringView(line).utf16();
    for (qsizetype i = 0, n = line.size(); i < n; ++i) {
        markup |= char16_t(text[i] == u'<');
        paren |= char16_t(text[i] == u'(');
    }
    if (markup)
        line = filterChatMarkup(line);
    if (!paren)
        return;
    // Every "(L)" and "(l)" becomes the heart, after the filter so that the heart's markup is
    // the page's own. One pass does both: the heart holds no "(", so replacing "(L)" first can
    // neither make nor break an "(l)".
    QString out;
    qsizetype copied = 0;
    for (qsizetype at = line.indexOf(QLatin1Char('(')); at >= 0 && at + 2 < line.size();
         at = line.indexOf(QLatin1Char('('), at + 1)) {
        const QChar letter = line[at + 1];
        if ((letter == u'L' || letter == u'l') && line[at + 2] == u')') {
            out += QStringView(line).sliced(copied, at - copied);
            out += HeartHtml;
            copied = at + 3;
            at += 2;
        }
    }
    if (copied > 0) {
        out += QStringView(line).sliced(copied);
        line = std::move(out);
    }
}

bool htmlLineUnchanged(QByteArrayView bytes)
{
    if (bytes.contains('<'))
        return false;
    for (qsizetype at = bytes.indexOf('('); at >= 0 && at + 2 < bytes.size();
         at = bytes.indexOf('(', at + 1)) {
        if ((bytes[at + 1] == 'L' || bytes[at + 1] == 'l') && bytes[at + 2] == ')')
            return false;
    }
    return true;
}

void escapeHtmlLine(QString &line)
{
    // Most lines hold none of them: the look at every character has no branch, and gathers in
    // a unit rather than a bool, so that the compiler takes eight characters at a time.
    char16_t special = 0;
    const char16_t *text = QStringView(line).utf16();
    for (qsizetype i = 0, n = line.size(); i < n; ++i) {
        const char16_t c = text[i];
        special |= char16_t((c == u'<') | (c == u'>') | (c == u'&') | (c == u'"'));
    }
    if (special != 0)
        line = htmlEscaped(line);
}

QString pageBaseName(const QString &logPath)
{
    // Only the log's extension goes: a name may hold dots of its own ("chat.2024-01-15.txt").
    QString fileName = logPath.mid(logPath.lastIndexOf(QLatin1Char('/')) + 1);
    if (formats::isLogName(fileName))
        fileName.truncate(fileName.lastIndexOf(u'.'));
    return fileName;
}

QString htmlEscaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += u"&amp;";
            break;
        case '<':
            out += u"&lt;";
            break;
        case '>':
            out += u"&gt;";
            break;
        case '"':
            out += u"&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString markupText(QStringView markup)
{
    // After the chat filter every "<" opens a whole tag.
    QString out;
    out.reserve(markup.size());
    for (qsizetype i = 0; i < markup.size();) {
        if (markup[i] == u'<') {
            i = chatTagEnd(markup, i);
        } else {
            out += markup[i];
            ++i;
        }
    }
    return out;
}

void appendPageText(QStringView text, bool utf8Page, QByteArray &out)
{
    if (utf8Page) {
        textcodec::utf8PageAppend(text, out);
        return;
    }
    static const cp932::Replacement reference = cp932::numericReference;
    cp932::encodeAppend(text, out, reference);
}

void appendUtf8(QStringView text, QByteArray &out)
{
    // Qt's encoder: ASCII runs go through in wide steps; a lone surrogate becomes U+FFFD.
    thread_local QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const qsizetype at = out.size();
    out.resize(at + encoder.requiredSpace(text.size()));
    char *end = encoder.appendToBuffer(out.data() + at, text);
    out.resize(end - out.constData());
}

QString hashSource(QByteArrayView sha256)
{
    return QStringLiteral("'sha256-") + QString::fromLatin1(sha256.toByteArray().toBase64())
        + QLatin1Char('\'');
}

QString hashSource(QStringView text)
{
    return hashSource(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256));
}

QString securityPolicyMeta(QStringView scriptSources, QStringView styleSources, QStringView more)
{
    return QStringLiteral("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
                          "'none'; script-src ")
        + scriptSources + QStringLiteral("; style-src ") + styleSources
        + (more.isEmpty() ? QString() : QStringLiteral("; ") + more)
        + QStringLiteral("; base-uri 'none'; form-action 'none'\">\n");
}

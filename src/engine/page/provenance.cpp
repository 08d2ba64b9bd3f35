#include "engine/page/provenance.h"

#include "engine/page/htmltext.h"

#include <QLocale>
#include <QUrl>

namespace {

// What opens the sources' lists: the last one in a page is its provenance (chat text before it
// is escaped, so it cannot hold this).
constexpr QByteArrayView SourceOpen = "<dl class=\"src\" ";

QString sizeText(qint64 size)
{
    return size < 0 ? QStringLiteral("不明")
                    : QLocale::c().toString(size) + QStringLiteral(" バイト");
}

QString zoneText(const Provenance &p)
{
    return p.timeZone.isEmpty() ? QStringLiteral("記録に書かれたとおり") : p.timeZone;
}

void row(QString &html, QStringView term, const QString &value, bool code = false)
{
    html += QStringLiteral("<dt>") % term % QStringLiteral("</dt><dd>")
        % (code ? QStringLiteral("<code>") : QString()) % htmlEscaped(value)
        % (code ? QStringLiteral("</code>") : QString()) % QStringLiteral("</dd>\n");
}

// The value of `name="…"` within `tag`; nothing when the tag lacks it.
std::optional<QString> attribute(QByteArrayView tag, QByteArrayView name)
{
    const QByteArray key = " " + name.toByteArray() + "=\"";
    const qsizetype at = tag.indexOf(key);
    if (at < 0)
        return std::nullopt;
    const qsizetype from = at + key.size();
    const qsizetype end = tag.indexOf('"', from);
    if (end < 0)
        return std::nullopt;
    return QString::fromLatin1(tag.sliced(from, end - from));
}

} // namespace

QString provenanceHtml(const Provenance &p)
{
    QString html = QStringLiteral("<footer class=\"prov\" id=\"provenance\">\n<h2>出典</h2>\n");
    for (const ProvenanceSource &s : p.sources) {
        html += QString::fromUtf8(SourceOpen) % QStringLiteral("data-name=\"")
            % QString::fromLatin1(QUrl::toPercentEncoding(s.name))
            % QStringLiteral("\" data-size=\"") % QString::number(s.size)
            % QStringLiteral("\" data-sha256=\"") % htmlEscaped(s.sha256) % QStringLiteral("\">\n");
        row(html, u"ファイル名", s.name);
        row(html, u"大きさ", sizeText(s.size));
        row(html, u"SHA-256", s.sha256.isEmpty() ? s.note : s.sha256, !s.sha256.isEmpty());
        if (!s.savedOn.isEmpty())
            row(html, u"保存日時", s.savedOn);
        html += QStringLiteral("</dl>\n");
    }
    html += QStringLiteral("<dl class=\"run\">\n");
    row(html, u"変換したプログラム", p.program);
    row(html, u"表示の時間帯", zoneText(p));
    row(html, u"変換日時", p.convertedAt);
    html += QStringLiteral("</dl>\n</footer>\n");
    return html;
}

QString provenanceText(const Provenance &p)
{
    QString text = QStringLiteral("\n---- 出典 ----\n");
    for (const ProvenanceSource &s : p.sources) {
        text += QStringLiteral("ファイル名: ") % s.name % u'\n';
        text += QStringLiteral("大きさ: ") % sizeText(s.size) % u'\n';
        text += QStringLiteral("SHA-256: ") % (s.sha256.isEmpty() ? s.note : s.sha256) % u'\n';
        if (!s.savedOn.isEmpty())
            text += QStringLiteral("保存日時: ") % s.savedOn % u'\n';
    }
    text += QStringLiteral("変換したプログラム: ") % p.program % u'\n';
    text += QStringLiteral("表示の時間帯: ") % zoneText(p) % u'\n';
    text += QStringLiteral("変換日時: ") % p.convertedAt % u'\n';
    return text;
}

std::optional<QList<ProvenanceSource>> readProvenance(QByteArrayView page)
{
    const qsizetype footer = page.lastIndexOf(QByteArrayView("<footer class=\"prov\""));
    if (footer < 0)
        return std::nullopt;
    QList<ProvenanceSource> sources;
    for (qsizetype at = page.indexOf(SourceOpen, footer); at >= 0;
         at = page.indexOf(SourceOpen, at + 1)) {
        const qsizetype end = page.indexOf('>', at);
        if (end < 0)
            break;
        const QByteArrayView tag = page.sliced(at, end - at);
        const auto name = attribute(tag, "data-name");
        const auto size = attribute(tag, "data-size");
        const auto sha = attribute(tag, "data-sha256");
        if (!name || !size || !sha || name->isEmpty())
            continue;
        ProvenanceSource s;
        s.name = QString::fromUtf8(QByteArray::fromPercentEncoding(name->toLatin1()));
        bool ok = false;
        s.size = size->toLongLong(&ok);
        if (!ok)
            s.size = -1;
        s.sha256 = *sha;
        sources.append(s);
    }
    return sources;
}

QString placeTitle(qint64 line, QStringView record)
{
    if (line > 0)
        return QString::fromUtf8(LineTitleBefore) + QString::number(line)
            + QString::fromUtf8(LineTitleAfter);
    if (!record.isEmpty())
        return QStringLiteral("元の記録 ID ") + record;
    return {};
}

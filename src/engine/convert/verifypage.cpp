#include "engine/convert/verifypage.h"

#include "engine/sourcehashes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The provenance stands at the page's end: this much of it is read, enough for thousands of
// sources however long the page is.
constexpr qint64 TailBytes = 4 * 1024 * 1024;

SourceCheck::State check(const ProvenanceSource &named, const QString &path)
{
    using State = SourceCheck::State;
    if (named.sha256.isEmpty())
        return State::NotHashed;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return State::Missing;
    if (named.size >= 0 && file.size() != named.size)
        return State::Changed; // no need to read gigabytes to tell
    return sha256Hex(file) == named.sha256 ? State::Same : State::Changed;
}

} // namespace

bool PageCheck::allSame() const
{
    if (outcome != Outcome::Checked)
        return false;
    for (const SourceCheck &s : sources) {
        if (s.state != SourceCheck::State::Same)
            return false;
    }
    return true;
}

PageCheck verifyPage(const QString &pagePath, const QStringList &given)
{
    PageCheck result;
    QFile page(pagePath);
    if (QFileInfo(pagePath).isDir() || !page.open(QIODevice::ReadOnly)) {
        result.error
            = QFileInfo(pagePath).isDir() ? QStringLiteral("is a folder") : page.errorString();
        return result;
    }
    if (page.size() > TailBytes)
        page.seek(page.size() - TailBytes);
    const QByteArray tail = page.readAll();
    if (page.error() != QFileDevice::NoError) {
        result.error = page.errorString();
        return result;
    }
    const auto sources = readProvenance(tail);
    if (!sources || sources->isEmpty()) {
        result.outcome = PageCheck::Outcome::NoProvenance;
        return result;
    }
    result.outcome = PageCheck::Outcome::Checked;
    const QDir folder = QFileInfo(pagePath).absoluteDir();
    for (qsizetype n = 0; n < sources->size(); ++n) {
        SourceCheck c;
        c.named = sources->at(n);
        c.path = n < given.size() ? given[n] : folder.filePath(c.named.name);
        c.state = check(c.named, c.path);
        result.sources.append(c);
    }
    return result;
}
